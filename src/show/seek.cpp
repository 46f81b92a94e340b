#include "show/seek.h"

#include <algorithm>
#include <span>

#include "show/schedule.h"

int seek_target(SeekKey key, int t) {
  // The scene windows in show order: the titles, then the five 3D scenes.
  const std::span<const SceneWindow> windows = scene_windows();
  // The first window that begins after t.
  const auto later =
      std::upper_bound(windows.begin(), windows.end(), t,
                       [](int time, const SceneWindow& window) { return time < window.start_ms; });
  switch (key) {
    case SeekKey::back:
      return std::max(0, t - SEEK_STEP_MS);
    case SeekKey::forward:
      return std::min(SHOW_END_MS, t + SEEK_STEP_MS);
    case SeekKey::previous_scene:
      // The window before the one t is in; the first one stays where it is.
      return later - windows.begin() >= 2 ? (later - 2)->start_ms : 0;
    case SeekKey::next_scene:
      return later != windows.end() ? later->start_ms : t;
    case SeekKey::home:
      break;
  }
  return 0;
}

long seek_on_grid(Show& show, Pacer& pacer, int target, bool from_start) {
  const long goal = pacer.first_at_or_after(target);
  long k = pacer.next();
  if (from_start || goal < k) {
    show.rewind();
    k = 0;
  }
  for (; k < goal; ++k) {
    if (show.unseen_body_at(pacer.time_of(k)) == FrameEnd::show_over) {
      break;
    }
  }
  pacer.restart_at(goal);
  return goal;
}
