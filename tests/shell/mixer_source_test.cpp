// The music through SDL2_mixer: the decoded length, the fallback clock and
// what it says when the file or the sound device cannot be had.
#include "shell/mixer_source.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/music_stream.h"
#include "showdata/mp3_encoder.h"
#include "support/fresh_folder.h"

namespace {

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
  std::ofstream(path("short.mp3"), std::ios::binary)
      .write(reinterpret_cast<const char*>(mp3.data()), static_cast<std::streamsize>(mp3.size()));
  MixerSource source("short.mp3", path("short.mp3"));
  if (source.falling_back()) {
    GTEST_SKIP() << "no sound device here";
  }
  EXPECT_NEAR(source.length_ms(), 1500.0, 30.0);
  MixerSource missing("missing.mp3", path("missing.mp3"));
  EXPECT_EQ(missing.length_ms(), 0.0) << "unknown: a pass counts as 74180 ms";
}

TEST_F(MixerFiles, MissingFileFallsBackToElapsedTimeWithOneLogLine) {
  MixerSource source("vorn.mp3", path("vorn.mp3"));
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
  MixerSource source("vorn.mp3", path("vorn.mp3"));
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
    music_stream music(std::make_unique<MixerSource>(entry.path().filename(), entry.path()));
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
  MixerSource source(file.filename(), file);
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

using FallbackClock = InFreshFolder;

TEST_F(FallbackClock, PausesAndResumesLikeTheMusic) {
  MixerSource source("vorn.mp3", path("vorn.mp3"));  // missing: the clock is the time since play()
  ASSERT_TRUE(source.falling_back());
  source.play();
  source.pause();
  const int at_pause = source.position_ms();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(source.position_ms(), at_pause);
  source.resume();
  const int after = source.position_ms();
  EXPECT_GE(after, at_pause);
  EXPECT_LT(after, at_pause + 150) << "the pause is not counted";
}

}  // namespace
