#include "capture/video_player.h"

#include <algorithm>
#include <cmath>

#include "shell/base/render_helpers.h"
#include "show/seek.h"

VideoPlayer::VideoPlayer(Show& show, Platform& platform, VirtualClock& clock,
                         const VideoPacing& video, int start_ms, int steps_per_second, bool& failed)
    : show_(show),
      platform_(platform),
      clock_(clock),
      video_(video),
      start_ms_(start_ms),
      failed_(failed),
      grid_(steps_per_second),
      frame_ms_(1000.0 * video.fps_den / video.fps_num) {}

// Escape or a close request (Ctrl-C too) ends the video like the end of the
// show: the frames so far make it.
bool VideoPlayer::step() {
  if (frame_ < 0) {
    // The music goes to the start's place in its loop, the show to the same time.
    const double landed = show_.music->seek(start_ms_);
    const double pass = std::floor(landed / MUSIC_PASS_MS);
    first_w_ = pass * clock_.pass_ms() + (landed - pass * MUSIC_PASS_MS);
    clock_.set(first_w_);
    seek_on_grid(show_, grid_, static_cast<int>(landed), true);
    frame_ = 0;
  }
  if (platform_.wants_end()) {
    return false;
  }
  clock_.set(first_w_ + static_cast<double>(frame_) * frame_ms_);
  const int t = show_.clock_time();
  if (t >= video_.end_ms) {
    return false;
  }
  const long reached = grid_.first_at_or_after(t + 1);
  const long first = grid_.next();
  if (reached > first &&
      run_due_bodies(show_, grid_, DueBodies{first, reached - first}) == FrameEnd::show_over) {
    return false;
  }
  grid_.restart_at(std::max(first, reached));
  present_frame();
  if (!video_.frame_done(frame_)) {
    failed_ = true;
    return false;
  }
  ++frame_;
  return true;
}
