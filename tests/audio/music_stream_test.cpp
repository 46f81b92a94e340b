#include "audio/music_stream.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "audio/mixer_source.h"
#include "audio/virtual_clock.h"
#include "support/fresh_folder.h"

namespace {

// Plays back a script of stream positions, one per reading.
class ScriptedSource : public PositionSource {
 public:
  explicit ScriptedSource(std::deque<int> readings) : readings_(std::move(readings)) {}
  bool play() override { return true; }
  int position_ms() override {
    const int value = readings_.front();
    readings_.pop_front();
    return value;
  }
  void close() override {}

 private:
  std::deque<int> readings_;
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

using MixerFiles = InFreshFolder;

TEST_F(MixerFiles, MissingFileFallsBackToElapsedTimeWithOneLogLine) {
  MixerSource source("vorn.mp3");
  EXPECT_TRUE(source.falling_back());
  EXPECT_TRUE(source.play());
  EXPECT_GE(source.position_ms(), 0);
  source.position_ms();
  const std::string log = log_text();
  EXPECT_EQ(log.rfind("\nmusic: cannot play \"vorn.mp3\" (", 0), 0u) << log;
  EXPECT_EQ(log.find("\nmusic", 1), std::string::npos) << "one line only: " << log;
}

TEST_F(MixerFiles, NoSoundDeviceIsOneLineOnStandardError) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  testing::internal::CaptureStderr();
  MixerSource source("vorn.mp3");
  source.play();
  source.position_ms();
  const std::string said = testing::internal::GetCapturedStderr();
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  EXPECT_TRUE(source.falling_back());
  EXPECT_EQ(said.rfind("plovermix: cannot play the music \"vorn.mp3\" (no sound device: ", 0), 0u)
      << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "one line only: " << said;
}

TEST_F(MixerFiles, EveryCorpusMp3OpensPlaysAndCloses) {
  const std::filesystem::path corpus = std::filesystem::path(PLOVERMIX_CORPUS_DIR) / "mp3";
  if (!std::filesystem::exists(corpus)) {
    GTEST_SKIP() << "no public test files here";
  }
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".mp3" && ext != ".bit")) {
      continue;
    }
    SCOPED_TRACE(entry.path().string());
    music_stream music(std::make_unique<MixerSource>(entry.path().c_str()));
    EXPECT_EQ(music.play(), 0);
    const double first = music.get_time();
    EXPECT_GE(first, 0.0);
    music.get_time();
    music.close();
    ++files;
  }
  EXPECT_GT(files, 20);
}

// Music that stops in mid-show hands over to the own clock where it stood:
// the show neither jumps ahead nor starts again.
TEST_F(MixerFiles, AStopInMidShowGoesOnFromTheLastPosition) {
  const std::filesystem::path file =
      std::filesystem::path(PLOVERMIX_CORPUS_DIR) / "mp3/tinytag/lavc_stereo_5s.mp3";
  if (!std::filesystem::exists(file)) {
    GTEST_SKIP() << "no public test files here";
  }
  MixerSource source(file.c_str());
  ASSERT_TRUE(source.play());
  int before = source.position_ms();
  for (int waited = 0; before < 300 && waited < 3000; waited += 10) {
    SDL_Delay(10);
    before = source.position_ms();
  }
  if (before < 300) {
    GTEST_SKIP() << "the audio device does not play here";
  }
  // Far from the time since play, as after a loop of the stream.
  ASSERT_EQ(Mix_SetMusicPosition(3.0), 0);
  before = source.position_ms();
  ASSERT_GE(before, 3000);
  Mix_HaltMusic();
  const int after = source.position_ms();
  EXPECT_GE(after, before);
  EXPECT_LT(after, before + 100);
  EXPECT_NE(log_text().find("the stream stopped playing"), std::string::npos) << log_text();
  source.close();
}

}  // namespace
