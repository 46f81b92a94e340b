#include "audio/music_stream.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "audio/virtual_clock.h"

namespace {

// Plays back a script of stream positions, one per reading; a file of
// `length` ms that notes where it was sought to.
class ScriptedSource : public PositionSource {
 public:
  explicit ScriptedSource(std::deque<int> readings, double length = 0.0, int* sought = nullptr)
      : readings_(std::move(readings)), length_(length), sought_(sought) {}
  bool play() override { return true; }
  int position_ms() override {
    const int value = readings_.front();
    readings_.pop_front();
    return value;
  }
  void close() override {}
  void seek(int position_ms) override { *sought_ = position_ms; }
  double length_ms() const override { return length_; }

 private:
  std::deque<int> readings_;
  double length_;
  int* sought_;
};

std::vector<double> clock_readings(std::deque<int> positions) {
  const std::size_t n = positions.size();
  music_stream music(std::make_unique<ScriptedSource>(std::move(positions)));
  EXPECT_EQ(music.play(), 0);
  std::vector<double> times;
  for (std::size_t i = 0; i < n; ++i) {
    times.push_back(music.get_time());
  }
  return times;
}

TEST(MusicClock, EveryStepBackCountsAsOneWholePass) {
  EXPECT_EQ(clock_readings({100, 74000, 50}), (std::vector<double>{100, 74000, 74230}));
  EXPECT_EQ(clock_readings({500, 500, 501}), (std::vector<double>{500, 500, 501}));
  EXPECT_EQ(clock_readings({1000, 999}), (std::vector<double>{1000, 74180 + 999}));
  EXPECT_EQ(clock_readings({10, 5, 1, 0}),
            (std::vector<double>{10, 74180 + 5, 2 * 74180 + 1, 3 * 74180}));
}

TEST(MusicClock, VirtualClockReadsUnbrokenAcrossPasses) {
  VirtualClock clock;
  music_stream music(clock.source());
  ASSERT_EQ(music.play(), 0);
  EXPECT_EQ(music.get_time(), 0.0);
  clock.advance(74179.5);
  EXPECT_EQ(music.get_time(), 74179.0);
  clock.advance(0.5);
  EXPECT_EQ(music.get_time(), 74180.0);
  clock.advance(50000.0);
  EXPECT_EQ(music.get_time(), 124180.0);
  clock.advance(50000.0);
  EXPECT_EQ(music.get_time(), 174180.0);
}

// After w ms of playing a file of length L, the stream is at w mod L in pass
// w div L; the show time counts 74180 ms a pass.
TEST(MusicClock, ASeekGoesWhereTheLoopingStreamWouldBe) {
  int sought = -1;
  music_stream full(
      std::make_unique<ScriptedSource>(std::deque<int>{51660, 74170, 10}, 74180.0, &sought));
  ASSERT_EQ(full.play(), 0);
  EXPECT_EQ(full.seek(200000), 200000.0);
  EXPECT_EQ(sought, 51640);
  EXPECT_EQ(full.get_time(), 200020.0);
  EXPECT_EQ(full.get_time(), 222530.0);
  EXPECT_EQ(full.get_time(), 222550.0) << "the next pass follows the sought one";

  // A 60 s file: 55820 ms into the second pass exists, 65820 does not.
  music_stream shorter(std::make_unique<ScriptedSource>(std::deque<int>{20}, 60000.0, &sought));
  ASSERT_EQ(shorter.play(), 0);
  EXPECT_EQ(shorter.seek(130000), 130000.0);
  EXPECT_EQ(sought, 55820);
  EXPECT_EQ(shorter.seek(140000), 148360.0) << "the start of the third pass";
  EXPECT_EQ(sought, 0);
  EXPECT_EQ(shorter.get_time(), 148380.0);
}

}  // namespace
