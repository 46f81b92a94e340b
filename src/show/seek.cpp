#include "show/seek.h"

#include <algorithm>
#include <iterator>

namespace {
// Where the scene windows begin: the titles, then the five 3D scenes.
constexpr int SCENE_STARTS[] = {0, 12600, 31000, 61500, 68000, 136000};
}  // namespace

int seek_target(SeekKey key, int t) {
  switch (key) {
    case SeekKey::back:
      return std::max(0, t - SEEK_STEP_MS);
    case SeekKey::forward:
      return std::min(SHOW_END_MS, t + SEEK_STEP_MS);
    case SeekKey::previous_scene: {
      // The window before the one t is in; the first one stays where it is.
      const int* current = std::upper_bound(std::begin(SCENE_STARTS), std::end(SCENE_STARTS), t);
      return current - std::begin(SCENE_STARTS) >= 2 ? *(current - 2) : 0;
    }
    case SeekKey::next_scene: {
      const int* next = std::upper_bound(std::begin(SCENE_STARTS), std::end(SCENE_STARTS), t);
      return next != std::end(SCENE_STARTS) ? *next : t;
    }
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
