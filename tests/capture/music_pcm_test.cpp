// Music decoded to the player's 44100 Hz stereo: MP3s from the data tool's own
// encoder, a mono WAV written here, and files that are missing, damaged or
// hold no sound.
#include "capture/music_pcm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "capture/video_file.h"
#include "showdata/mp3_encoder.h"
#include "support/fresh_folder.h"

namespace {

// 440 Hz on the left, 660 Hz on the right.
std::vector<std::uint8_t> tone_mp3(double seconds, int rate) {
  std::vector<std::int16_t> pcm;
  for (long i = 0; i < std::lround(seconds * rate); ++i)
    for (const double hz : {440.0, 660.0})
      pcm.push_back(static_cast<std::int16_t>(
          16000 * std::sin(2 * M_PI * hz * static_cast<double>(i) / rate)));
  return showdata::encode_mp3(pcm, rate, 128);
}

template <class T>
void write_file(const std::string& path, const std::vector<T>& data, const void* head = nullptr,
                std::streamsize head_size = 0) {
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(head), head_size);
  out.write(reinterpret_cast<const char*>(data.data()),
            static_cast<std::streamsize>(data.size() * sizeof(T)));
}

// Per second, in one channel over [from_s, to_s), from its rising zero crossings.
double frequency(const DecodedMusic& music, int channel, double from_s, double to_s) {
  int rising = 0;
  for (auto i = std::lround(from_s * 44100); i < std::lround(to_s * 44100); ++i)
    rising += music.samples[2 * i + channel] <= 0 && music.samples[2 * i + 2 + channel] > 0;
  return rising / (to_s - from_s);
}

class MusicPcmTest : public InFreshFolder {};

TEST_F(MusicPcmTest, Mp3sOfAnyRateComeBackAtTheirLengthAndPitch) {
  std::vector<std::uint8_t> joined = tone_mp3(1, 44100);
  const std::vector<std::uint8_t> second = tone_mp3(1, 22050);
  joined.insert(joined.end(), second.begin(), second.end());
  // A joined file changes rate halfway; only the start's encoder delay is
  // marked, so the join keeps the second part's delay, padding and tag.
  struct Case {
    const char* name;
    std::vector<std::uint8_t> mp3;
    double slack_ms;
  };
  for (const Case& c :
       {Case{"cd.mp3", tone_mp3(2, 44100), 60}, Case{"half.mp3", tone_mp3(2, 22050), 60},
        Case{"joined.mp3", joined, 150}}) {
    SCOPED_TRACE(c.name);
    write_file(path(c.name), c.mp3);
    std::string error;
    const std::optional<DecodedMusic> music = decode_music(path(c.name), error);
    ASSERT_TRUE(music) << error;
    EXPECT_EQ(music->sample_rate, 44100);
    EXPECT_NEAR(music->length_ms(), 2000, c.slack_ms);
    // Past the join, which is noise for a moment.
    EXPECT_NEAR(frequency(*music, 0, 1.2, 1.9), 440, 2);
    EXPECT_NEAR(frequency(*music, 1, 1.2, 1.9), 660, 2);
  }
}

TEST_F(MusicPcmTest, MonoPlaysOnBothChannelsAtItsOwnLevel) {
  // 1 s of 441 Hz at half the full scale: 16-bit PCM, one channel, 22050 Hz.
  std::vector<std::int16_t> pcm;
  for (int i = 0; i < 22050; ++i)
    pcm.push_back(static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * M_PI * i / 50))));
  const auto bytes = static_cast<std::uint32_t>(pcm.size() * 2);
  const struct {
    char riff[4];
    std::uint32_t riff_size;
    char wave_fmt[8];
    std::uint32_t fmt_size;
    std::uint16_t pcm, channels;
    std::uint32_t rate, byte_rate;
    std::uint16_t block, bits;
    char data[4];
    std::uint32_t data_size;
  } wav{{'R', 'I', 'F', 'F'},
        36 + bytes,
        {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '},
        16,
        1,
        1,
        22050,
        44100,
        2,
        16,
        {'d', 'a', 't', 'a'},
        bytes};
  write_file(path("mono.wav"), pcm, &wav, sizeof wav);
  std::string error;
  const std::optional<DecodedMusic> music = decode_music(path("mono.wav"), error);
  ASSERT_TRUE(music) << error;
  EXPECT_EQ(music->frames(), 44100);  // every sample: 1 s at the player's rate
  float peak = 0;
  for (long i = 0; i < music->frames(); ++i) {
    ASSERT_EQ(music->samples[2 * i], music->samples[2 * i + 1]) << "frame " << i;
    peak = std::max(peak, std::abs(music->samples[2 * i]));
  }
  EXPECT_NEAR(peak, 0.5, 0.01);
  EXPECT_NEAR(frequency(*music, 0, 0.1, 0.9), 441, 2);
}

TEST_F(MusicPcmTest, DamageInsideAFileIsSkippedAndTheRestPlays) {
  std::vector<std::uint8_t> damaged = tone_mp3(2, 44100);
  write_file(path("truncated.mp3"),
             std::vector<std::uint8_t>(damaged.begin(), damaged.begin() + damaged.size() / 2));
  std::uint32_t noise = 1;
  for (std::size_t i = damaged.size() / 3; i < damaged.size() / 3 + 2000; ++i) {
    noise = noise * 1664525u + 1013904223u;
    damaged[i] = static_cast<std::uint8_t>(noise >> 24);
  }
  write_file(path("damaged.mp3"), damaged);
  std::string error;
  const std::optional<DecodedMusic> music = decode_music(path("damaged.mp3"), error);
  ASSERT_TRUE(music) << error;
  // 2000 bytes are about five frames (26 ms each) and the resync after them.
  EXPECT_GT(music->length_ms(), 1700);
  EXPECT_LT(music->length_ms(), 2000);
  EXPECT_NEAR(frequency(*music, 0, 1.2, 1.7), 440, 4);
  const std::optional<DecodedMusic> half = decode_music(path("truncated.mp3"), error);
  ASSERT_TRUE(half) << error;
  EXPECT_NEAR(half->length_ms(), 1000, 60);
}

TEST_F(MusicPcmTest, RefusesMissingDamagedAndSilentFilesAndSaysWhy) {
  std::string error;
  EXPECT_FALSE(decode_music(path("missing.mp3"), error));
  EXPECT_NE(error.find(path("missing.mp3") + ": No such file or directory"), std::string::npos)
      << error;

  write_file(path("letters.mp3"), std::vector<char>(5000, 'A'));
  write_file(path("empty.mp3"), std::vector<char>());
  std::filesystem::create_directory(path("folder.mp3"));
  const std::vector<std::uint8_t> black(800 * 600 * 4);
  VideoFile::open(path("silent.mkv"), VideoSettings{.audio = false}, error)
      ->write_frame(black.data(), 800, 600);
  for (const char* name : {"letters.mp3", "empty.mp3", "folder.mp3", "silent.mkv"}) {
    error.clear();
    EXPECT_FALSE(decode_music(path(name), error)) << name;
    EXPECT_NE(error.find(path(name)), std::string::npos) << error;
  }
}

}  // namespace
