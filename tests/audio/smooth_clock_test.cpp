#include "audio/smooth_clock.h"

#include <gtest/gtest.h>

#include <memory>

#include "audio/music_stream.h"

namespace {

// A stream that reports its position as a sound device does: in steps of one
// 2048-sample buffer at 44.1 kHz, going back to 0 at the end of each pass.
// `truth` is the time the reports stand for, in show time.
class SteppedSource : public PositionSource {
 public:
  static constexpr double STEP_MS = 2048 * 1000.0 / 44100;  // 46.4 ms

  explicit SteppedSource(const double& truth) : truth_(truth) {}
  bool play() override { return true; }
  int position_ms() override {
    const double stepped = STEP_MS * static_cast<long>(truth_ / STEP_MS);
    return static_cast<int>(stepped) % static_cast<int>(MUSIC_PASS_MS);
  }
  void close() override {}

 private:
  const double& truth_;
};

struct Playing {
  double truth = 0.0;  // where the music really is
  double wall = 0.0;
  music_stream music{std::make_unique<SteppedSource>(truth)};
  SmoothClock clock;

  // One reading at a 60 Hz present, the music having played on with the wall clock.
  double present() {
    wall += 1000.0 / 60;
    truth += 1000.0 / 60;
    return clock.read(music.get_time(), wall);
  }
};

TEST(SmoothClock, AdvancesEvenlyOnSteppedReportsAndAcrossTheStreamsEnd) {
  Playing run;
  run.truth = SteppedSource::STEP_MS * 1550;  // a report at 71982 ms: the end 2.2 s on
  run.music.play();
  double last = run.clock.read(run.music.get_time(), run.wall);
  for (int i = 0; i < 600; ++i) {
    const double now = run.present();
    const double advance = now - last;
    ASSERT_GE(advance, 15.0) << "reading " << i << " at " << now;
    ASSERT_LE(advance, 18.4) << "reading " << i << " at " << now;
    // Within a frame of the music: one pass counted at the wrap, not two or none.
    ASSERT_NEAR(now, run.truth, 17.0) << "reading " << i;
    last = now;
  }
  EXPECT_GT(run.truth, MUSIC_PASS_MS + 5000.0);
}

TEST(SmoothClock, AJumpOfSecondsIsTakenAtOnce) {
  Playing run;
  run.music.play();
  for (int i = 0; i < 120; ++i) {
    run.present();
  }
  run.truth += 3000.0;  // a stall of the program while the music played on
  run.wall += 3000.0;
  EXPECT_NEAR(run.present(), run.truth, 47.0) << "within one report step";
  for (int i = 0; i < 30; ++i) {
    run.present();
  }
  EXPECT_NEAR(run.present(), run.truth, 17.0);
}

TEST(SmoothClock, StandsStillWhilePausedAndRunsOnFromThere) {
  Playing run;
  run.music.play();
  for (int i = 0; i < 60; ++i) {
    run.present();
  }
  const double at_pause = run.present();
  run.clock.pause(run.wall);
  for (int i = 0; i < 60; ++i) {
    run.wall += 1000.0 / 60;  // the music stands still too
    ASSERT_EQ(run.clock.read(run.music.get_time(), run.wall), at_pause);
  }
  run.clock.resume(run.wall);
  const double after = run.present();
  EXPECT_GE(after, at_pause + 15.0);
  EXPECT_LE(after, at_pause + 18.4);
}

}  // namespace
