#pragma once
// The frames of a video: the show on a virtual clock at the video's rate.
//
//   VideoPacing    frame i at i * 1000 * fps_den / fps_num ms of playing from
//                  the start, the music looping at its file's length; each
//                  frame shows the last body of the grid its show time has
//                  reached
//   VideoPlayer    one video frame per step, handed to `frame_done` once
//                  presented; `failed` says when that refused one

#include <functional>
#include <limits>

#include "audio/music_stream.h"
#include "audio/virtual_clock.h"
#include "show/pacer.h"
#include "show/platform.h"
#include "show/players.h"
#include "show/show.h"

struct VideoPacing {
  int fps_num = 60, fps_den = 1;
  double music_length_ms = MUSIC_PASS_MS;
  // Frames at this show time or later are left out (the show's own end
  // leaves out the first frame past it).
  int end_ms = std::numeric_limits<int>::max();
  // After frame i is presented; false stops the run (a failure).
  std::function<bool(long frame)> frame_done;
};

class VideoPlayer : public ShowPlayer {
 public:
  VideoPlayer(Show& show, Platform& platform, VirtualClock& clock, const VideoPacing& video,
              int start_ms, int steps_per_second, bool& failed);
  bool step() override;

 private:
  Show& show_;
  Platform& platform_;
  VirtualClock& clock_;
  const VideoPacing& video_;
  int start_ms_;
  bool& failed_;
  Pacer grid_;
  double frame_ms_;
  double first_w_ = 0.0;
  long frame_ = -1;  // -1: the first step seeks to the start
};
