#pragma once
// How a loaded show is played. Each step() runs the frame bodies due and
// presents once; false once the show is over (Escape or a close request at
// the top of a step, the end test, or a capture that has what it wanted).
//
//   ShowCapture       what a capture adds to a run on the virtual clock
//   FixedStepPlayer   a virtual clock advancing by a fixed step per present,
//                     with no waiting
//   LivePlayer        the music's clock: the bodies due on a fixed grid, the
//                     viewer's pause and seek keys
//   run_due_bodies(show, pacer, due)  the bodies before one present, at their
//                     grid times, the drawing of all but the last discarded
//   PassCount         --loop: whether the show's end starts another pass

#include <memory>

#include "audio/music_stream.h"
#include "audio/smooth_clock.h"
#include "audio/virtual_clock.h"
#include "show/pacer.h"
#include "show/platform.h"
#include "show/show.h"

// The passes of a run: `limit` in all (the first counts), 0 for ever.
class PassCount {
 public:
  explicit PassCount(int limit) : limit_(limit) {}
  // At the show's end: true, and one more pass counted, when another follows.
  bool another() {
    if (limit_ != 0 && done_ >= limit_) {
      return false;
    }
    ++done_;
    return true;
  }

 private:
  int limit_;
  int done_ = 1;
};

class ShowPlayer {
 public:
  virtual ~ShowPlayer() = default;
  virtual bool step() = 0;
};

// What a capture (PNG frames, a video) adds to a run on the virtual clock.
class ShowCapture {
 public:
  virtual ~ShowCapture() = default;
  // Where the virtual clock's pass of the music ends (a video loops the music
  // where its file ends).
  virtual double music_length_ms() const { return MUSIC_PASS_MS; }
  // The loaded show's player; nullptr: one frame body per present at the fixed step.
  virtual std::unique_ptr<ShowPlayer> make_player(Show& /*show*/, Platform& /*platform*/,
                                                  VirtualClock& /*clock*/) {
    return nullptr;
  }
  // After each present of the fixed step's player, at show time t; false ends the run.
  virtual bool frame_presented(int /*t*/) { return true; }
};

class FixedStepPlayer : public ShowPlayer {
 public:
  // Bodies before `start_ms` run unseen in the first step, exactly as a run
  // from the start has them; later passes start at 0. `capture` may be null.
  FixedStepPlayer(Show& show, Platform& platform, VirtualClock& clock, double step_ms,
                  ShowCapture* capture, int start_ms, int passes = 1);
  bool step() override;

 private:
  FrameEnd drawn_body();
  void go_to_step(long k);

  Show& show_;
  Platform& platform_;
  VirtualClock& clock_;
  double step_ms_;
  ShowCapture* capture_;
  int start_ms_;
  PassCount passes_;
  long steps_ = 0;  // steps since the pass began: the clock reads steps_ * step_ms_
  bool started_ = false;
};

class LivePlayer : public ShowPlayer {
 public:
  LivePlayer(Show& show, Platform& platform, int steps_per_second, bool original_pacing,
             int start_ms, int passes = 1);
  bool step() override;

 private:
  void follow_pause();
  // `show_at_once`: the body at the target is drawn now, not when next due.
  void seek_to(int target, bool show_at_once);
  FrameEnd run_bodies();

  Show& show_;
  Platform& platform_;
  Pacer pacer_;
  SmoothClock clock_;
  bool original_;
  int start_ms_;
  PassCount passes_;
  bool started_ = false;
  bool paused_ = false;
  bool drew_ = false;
};

FrameEnd run_due_bodies(Show& show, const Pacer& pacer, DueBodies due);
