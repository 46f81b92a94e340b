#include "show/players.h"

#include <algorithm>

#include "shell/base/render_helpers.h"
#include "show/seek.h"

FrameEnd run_due_bodies(Show& show, const Pacer& pacer, DueBodies due) {
  const long end = due.first + due.count;
  for (long k = due.first; k < end; ++k) {
    if (due.count > 1) {
      device->SetDiscard(k + 1 < end);
    }
    if (show.frame_body_at(pacer.time_of(k)) == FrameEnd::show_over) {
      device->SetDiscard(false);
      return FrameEnd::show_over;
    }
  }
  return FrameEnd::present;
}

FixedStepPlayer::FixedStepPlayer(Show& show, Platform& platform, VirtualClock& clock,
                                 double step_ms, ShowCapture* capture, int start_ms, int passes)
    : show_(show),
      platform_(platform),
      clock_(clock),
      step_ms_(step_ms),
      capture_(capture),
      start_ms_(start_ms),
      passes_(passes) {}

// One frame body, one present; the end test inside the body leaves without presenting.
bool FixedStepPlayer::step() {
  if (!started_) {
    started_ = true;
    for (int t = show_.clock_time(); t < start_ms_; t = show_.clock_time()) {
      if (show_.unseen_body_at(t) == FrameEnd::show_over) {
        return false;
      }
      go_to_step(steps_ + 1);
    }
  }
  if (platform_.wants_end() || drawn_body() == FrameEnd::show_over) {
    return false;
  }
  present_frame();
  if (capture_ != nullptr && !capture_->frame_presented(show_.loop.t)) {
    return false;
  }
  go_to_step(steps_ + 1);
  return true;
}

// Step k at k times the step: a running sum of 1000/60 would fall short of
// the grid's whole milliseconds (199.99... at the twelfth step).
void FixedStepPlayer::go_to_step(long k) {
  steps_ = k;
  clock_.set(static_cast<double>(k) * step_ms_);
}

// The body at the clock's time; at the show's end with a pass to come, that
// pass's first body, from the state loading left and the music's start.
FrameEnd FixedStepPlayer::drawn_body() {
  if (show_.frame_body() == FrameEnd::present) {
    return FrameEnd::present;
  }
  if (!passes_.another()) {
    return FrameEnd::show_over;
  }
  show_.rewind();
  show_.music->seek(0);
  go_to_step(0);
  return show_.frame_body();
}

LivePlayer::LivePlayer(Show& show, Platform& platform, int steps_per_second, bool original_pacing,
                       int start_ms, int passes)
    : show_(show),
      platform_(platform),
      pacer_(steps_per_second),
      original_(original_pacing),
      start_ms_(start_ms),
      passes_(passes) {}

// Unless paused, the frame bodies due (drawing only the last); then the
// present, of the last frame again when no body ran.
bool LivePlayer::step() {
  if (!started_) {
    started_ = true;
    if (start_ms_ > 0) {
      seek_to(start_ms_, paused_);
    }
  }
  if (platform_.wants_end()) {
    return false;
  }
  follow_pause();
  drew_ = false;
  while (const std::optional<SeekKey> key = platform_.take_seek()) {
    seek_to(seek_target(*key, show_.loop.t), paused_);
  }
  if (!paused_ && run_bodies() == FrameEnd::show_over) {
    if (!passes_.another()) {
      return false;
    }
    seek_to(0, true);  // what the end left half drawn is never shown
  }
  platform_.frame_time(show_.loop.t);
  present_frame();
  platform_.presented(drew_);
  return true;
}

// The music and the pacing clock stop and go on together.
void LivePlayer::follow_pause() {
  const bool wanted = platform_.paused();
  if (wanted == paused_) {
    return;
  }
  paused_ = wanted;
  if (paused_) {
    show_.music->pause();
    clock_.pause(platform_.now_ms());
  } else {
    show_.music->resume();
    clock_.resume(platform_.now_ms());
  }
}

// The music goes where the clock rule puts `target`, the show to the same time.
void LivePlayer::seek_to(int target, bool show_at_once) {
  const auto landed = static_cast<int>(show_.music->seek(target));
  const long goal = seek_on_grid(show_, pacer_, landed, original_);
  if (show_at_once) {
    // Paused, the place sought is shown at once; the player goes on from there.
    drew_ = show_.frame_body_at(pacer_.time_of(goal)) == FrameEnd::present;
    pacer_.restart_at(goal + 1);
  }
}

FrameEnd LivePlayer::run_bodies() {
  if (original_) {
    drew_ = true;
    return show_.frame_body();
  }
  // What is drawn should meet what is heard, which trails the stream's position.
  const double now =
      clock_.read(show_.music->get_time(), platform_.now_ms()) - show_.music->latency_ms();
  const DueBodies due = pacer_.due(now);
  drew_ = due.count > 0;
  return run_due_bodies(show_, pacer_, due);
}
