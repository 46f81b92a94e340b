#pragma once
// The three ways a loaded show is played. Each step() runs the frame bodies
// due and presents once; false once the show is over (Escape or a close
// request at the top of a step, the end test, the last frame asked for, or a
// failure, which `failed` then says).
//
//   FixedStepPlayer   a virtual clock advancing by a fixed step per present,
//                     with no waiting; PNG frames at chosen times
//   VideoPlayer       a virtual clock at a video's rate (see VideoPacing)
//   LivePlayer        the music's clock: the bodies due on a fixed grid, the
//                     viewer's pause and seek keys
//   run_due_bodies(show, pacer, due)  the bodies before one present, at their
//                     grid times, the drawing of all but the last discarded

#include <functional>
#include <limits>

#include "audio/music_stream.h"
#include "audio/smooth_clock.h"
#include "audio/virtual_clock.h"
#include "show/frame_capture.h"
#include "show/pacer.h"
#include "show/platform.h"
#include "show/show.h"

// A video's pace: frame i at i * 1000 * fps_den / fps_num ms of playing from
// the start, the music looping at its file's length; each frame shows the last
// body of the grid its show time has reached.
struct VideoPacing {
  int fps_num = 60, fps_den = 1;
  double music_length_ms = MUSIC_PASS_MS;
  // Frames at this show time or later are left out (the show's own end
  // leaves out the first frame past it).
  int end_ms = std::numeric_limits<int>::max();
  // After frame i is presented; false stops the run (a failure).
  std::function<bool(long frame)> frame_done;
};

class ShowPlayer {
 public:
  virtual ~ShowPlayer() = default;
  virtual bool step() = 0;
};

class FixedStepPlayer : public ShowPlayer {
 public:
  // Bodies before `start_ms` run unseen in the first step, exactly as a run
  // from the start has them. `capture` may be null.
  FixedStepPlayer(Show& show, Platform& platform, VirtualClock& clock, double step_ms,
                  FrameCapture* capture, int start_ms, bool& failed);
  bool step() override;

 private:
  Show& show_;
  Platform& platform_;
  VirtualClock& clock_;
  double step_ms_;
  FrameCapture* capture_;
  int start_ms_;
  bool& failed_;
  bool started_ = false;
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

class LivePlayer : public ShowPlayer {
 public:
  LivePlayer(Show& show, Platform& platform, int steps_per_second, bool original_pacing,
             int start_ms);
  bool step() override;

 private:
  void follow_pause();
  void seek_to(int target);
  FrameEnd run_bodies();

  Show& show_;
  Platform& platform_;
  Pacer pacer_;
  SmoothClock clock_;
  bool original_;
  int start_ms_;
  bool started_ = false;
  bool paused_ = false;
  bool drew_ = false;
};

FrameEnd run_due_bodies(Show& show, const Pacer& pacer, DueBodies due);
