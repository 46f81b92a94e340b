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
#include "showdata/mp3_encoder.h"
#include "support/fresh_folder.h"

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

using MixerFiles = InFreshFolder;

// The loop's length is the decoded file's, which a seek needs.
TEST_F(MixerFiles, TheLengthIsTheDecodedFiles) {
  const int rate = 44100;
  std::vector<std::int16_t> pcm(static_cast<std::size_t>(rate) * 2 * 3 / 2, 0);  // 1.5 s stereo
  for (std::size_t i = 0; i < pcm.size(); ++i) {
    pcm[i] = static_cast<std::int16_t>((i / 2) % 100 * 300);
  }
  const std::vector<std::uint8_t> mp3 = showdata::encode_mp3(pcm, rate, 128);
  ASSERT_FALSE(mp3.empty());
  std::ofstream("short.mp3", std::ios::binary)
      .write(reinterpret_cast<const char*>(mp3.data()), static_cast<std::streamsize>(mp3.size()));
  MixerSource source("short.mp3");
  if (source.falling_back()) {
    GTEST_SKIP() << "no sound device here";
  }
  EXPECT_NEAR(source.length_ms(), 1500.0, 30.0);
  MixerSource missing("missing.mp3");
  EXPECT_EQ(missing.length_ms(), 0.0) << "unknown: a pass counts as 74180 ms";
}

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
