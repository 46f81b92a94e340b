#include "show/pacer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/smooth_clock.h"
#include "show/run_show.h"
#include "show/show_fixture.h"

namespace {

constexpr double HZ60 = 1000.0 / 60;

// Bodies per present for presents every `interval` ms, the pacing clock
// reading exactly the present's time.
std::vector<long> bodies_at_rate(double interval, int presents) {
  Pacer pacer;
  std::vector<long> counts;
  for (int i = 0; i < presents; ++i) {
    counts.push_back(pacer.due(i * interval).count);
  }
  return counts;
}

long total(const std::vector<long>& counts, std::size_t from = 0) {
  long sum = 0;
  for (std::size_t i = from; i < counts.size(); ++i) {
    sum += counts[i];
  }
  return sum;
}

TEST(Pacer, BodiesLieOnTheGridOfSixtyPerSecondWithoutDrift) {
  const Pacer pacer;
  EXPECT_EQ(pacer.time_of(0), 0);
  EXPECT_EQ(pacer.time_of(1), 16);
  EXPECT_EQ(pacer.time_of(2), 33);
  EXPECT_EQ(pacer.time_of(3), 50);
  EXPECT_EQ(pacer.time_of(60), 1000);
  EXPECT_EQ(pacer.time_of(14400), 240000);
  EXPECT_EQ(pacer.time_of(14401), 240016);
  EXPECT_EQ(Pacer(50).time_of(7), 140);
  // The body a seek lands on: the first at or after the time sought.
  EXPECT_EQ(pacer.first_at_or_after(0), 0);
  EXPECT_EQ(pacer.first_at_or_after(16), 1);
  EXPECT_EQ(pacer.first_at_or_after(17), 2);
  EXPECT_EQ(pacer.first_at_or_after(240000), 14400);
  EXPECT_EQ(Pacer(50).first_at_or_after(141), 8);
  // Bodies come in order, none left out, none twice.
  Pacer paced;
  long next = 0;
  for (int i = 0; i < 500; ++i) {
    const DueBodies due = paced.due(i * 7.3);
    ASSERT_EQ(due.first, next);
    next += due.count;
  }
}

TEST(Pacer, DisplaysOfAnyRateGetSixtyBodiesASecond) {
  // 144 Hz: 60 bodies a second, with presents of the last frame again between.
  const std::vector<long> fast = bodies_at_rate(1000.0 / 144, 1440);
  EXPECT_NEAR(static_cast<double>(total(fast)), 600.0, 1.0);
  for (long count : fast) {
    ASSERT_LE(count, 1);
  }
  // 30 Hz: two bodies each present once started.
  const std::vector<long> slow = bodies_at_rate(1000.0 / 30, 300);
  for (std::size_t i = 1; i < slow.size(); ++i) {
    ASSERT_EQ(slow[i], 2) << "present " << i;
  }
}

TEST(Pacer, SixtyHertzOnTheSmoothedMusicClockRunsOneBodyPerPresent) {
  // The music reports in 46.4 ms steps; presents come at 60 Hz with up to 2 ms
  // of jitter in when the clock is read.
  constexpr double REPORT_STEP = 2048 * 1000.0 / 44100;
  Pacer pacer;
  SmoothClock clock;
  const double jitter[] = {0.0, 1.3, -0.7, 2.0, -1.9, 0.4, -2.0, 1.1};
  std::vector<long> counts;
  for (int i = 0; i < 1200; ++i) {
    const double wall = i * HZ60 + jitter[i % 8];
    const double report = REPORT_STEP * std::floor(wall / REPORT_STEP);
    counts.push_back(pacer.due(clock.read(report, wall)).count);
  }
  // After a second to settle, never zero and never two.
  for (std::size_t i = 60; i < counts.size(); ++i) {
    ASSERT_EQ(counts[i], 1) << "present " << i;
  }
}

TEST(Pacer, APauseStopsBodiesAndClockTogether) {
  Pacer pacer;
  SmoothClock clock;
  double wall = 0.0, music = 0.0;
  const auto present = [&] {
    wall += HZ60;
    return pacer.due(clock.read(music, wall));
  };
  for (int i = 0; i < 120; ++i) {
    music = wall + HZ60;
    present();
  }
  const long next = present().first + 1;
  clock.pause(wall);
  for (int i = 0; i < 120; ++i) {
    EXPECT_EQ(present().count, 0) << "paused, the last frame again";
  }
  clock.resume(wall);
  for (int i = 0; i < 10; ++i) {
    music += HZ60;
    const DueBodies due = present();
    EXPECT_EQ(due.first, next + i) << "on from where it stood, no catching up";
    EXPECT_EQ(due.count, 1);
  }
}

using PacedBodies = LoadedShowFixture;

TEST_F(PacedBodies, OnlyTheLastOfSeveralIsDrawnAndEachSeesItsGridTime) {
  Pacer pacer;
  std::vector<int> seen;
  show.on_frame = [&](long, int t) { seen.push_back(t); };
  ASSERT_EQ(run_due_bodies(show, pacer, pacer.due(0.0)), FrameEnd::present);
  EXPECT_EQ(find_call("SetDiscard"), trace->calls().size()) << "one body: nothing to discard";
  ASSERT_EQ(run_due_bodies(show, pacer, pacer.due(1000.0 / 30)), FrameEnd::present);
  EXPECT_EQ(seen, (std::vector<int>{0, 16, 33}));
  // The first of the two runs unseen, the second is drawn.
  const std::string title = "DrawSprite(\"Talvores.bmp\"";
  const std::size_t unseen = find_call(title, find_call("SetDiscard(TRUE)"));
  const std::size_t drawn = find_call(title, unseen + 1);
  const std::size_t off = find_call("SetDiscard(FALSE)");
  EXPECT_LT(unseen, off);
  EXPECT_LT(off, drawn);
  EXPECT_LT(drawn, trace->calls().size());
}

TEST_F(PacedBodies, TheEndTestInADiscardedBodyEndsTheShowAndDrawsAgain) {
  Pacer pacer;
  pacer.due(239990.0);  // up to 240000: the show's last frame
  ASSERT_EQ(run_due_bodies(show, pacer, pacer.due(240100.0)), FrameEnd::show_over);
  EXPECT_EQ(show.loop.t, 240016);
  EXPECT_EQ(trace->calls().back(), "SetDiscard(FALSE)");
}

}  // namespace
