// Captures for archives on our stand-in data: FFV1 with FLAC in .mkv and a
// folder of PNG frames with music.wav hold exactly the frames --frames-at
// writes and the music at the clock rule's place; a supersampled capture has
// smooth edges and the plain capture's flat areas.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/music_pcm.h"
#include "e2e/plovermix_run.h"
#include "e2e/png_file.h"
#include "show/bmp_fixture.h"

namespace {

namespace fs = std::filesystem;
using e2e::Png;
using e2e::read_png;
using e2e::read_text;

// What a file's streams decode to: each picture's RGB bytes (from bgr0), and
// the sound as interleaved 16-bit samples.
struct Decoded {
  std::vector<std::vector<std::uint8_t>> pictures;
  std::vector<std::int16_t> sound;
  std::string video_codec, sound_codec;
};

void take(const AVFrame& frame, Decoded& out) {
  if (frame.width > 0) {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < frame.height; ++y) {
      const std::uint8_t* row = frame.data[0] + static_cast<std::ptrdiff_t>(y) * frame.linesize[0];
      for (int x = 0; x < frame.width; ++x) {
        rgb.insert(rgb.end(), {row[4 * x + 2], row[4 * x + 1], row[4 * x]});
      }
    }
    out.pictures.push_back(std::move(rgb));
  } else {
    const auto* samples = reinterpret_cast<const std::int16_t*>(frame.data[0]);
    out.sound.insert(out.sound.end(), samples, samples + 2 * frame.nb_samples);
  }
}

Decoded decode(const fs::path& path) {
  Decoded out;
  AVFormatContext* in = nullptr;
  if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return out;
  avformat_find_stream_info(in, nullptr);
  std::vector<AVCodecContext*> decoders;
  for (unsigned i = 0; i < in->nb_streams; ++i) {
    const AVCodec* codec = avcodec_find_decoder(in->streams[i]->codecpar->codec_id);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, in->streams[i]->codecpar);
    avcodec_open2(decoder, codec, nullptr);
    decoders.push_back(decoder);
    (codec->type == AVMEDIA_TYPE_VIDEO ? out.video_codec : out.sound_codec) = codec->name;
  }
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  const auto drain = [&](AVCodecContext* decoder) {
    while (avcodec_receive_frame(decoder, frame) == 0) take(*frame, out);
  };
  while (av_read_frame(in, packet) == 0) {
    avcodec_send_packet(decoders[static_cast<std::size_t>(packet->stream_index)], packet);
    drain(decoders[static_cast<std::size_t>(packet->stream_index)]);
    av_packet_unref(packet);
  }
  for (AVCodecContext* decoder : decoders) {
    avcodec_send_packet(decoder, nullptr);
    drain(decoder);
    avcodec_free_context(&decoder);
  }
  av_frame_free(&frame);
  av_packet_free(&packet);
  avformat_close_input(&in);
  return out;
}

std::vector<std::uint8_t> rgb_of(const Png& png) {
  std::vector<std::uint8_t> rgb;
  for (std::size_t i = 0; i < png.rgba.size(); i += 4) {
    rgb.insert(rgb.end(), png.rgba.begin() + static_cast<std::ptrdiff_t>(i),
               png.rgba.begin() + static_cast<std::ptrdiff_t>(i) + 3);
  }
  return rgb;
}

// libswresample's float-to-s16 rule, the conversion the capture's 16-bit
// sound promises: round(x * 32768), clipped.
std::int16_t s16(float x) {
  const long v = std::lrint(x * 32768.0f);
  return static_cast<std::int16_t>(v > 32767 ? 32767 : v < -32768 ? -32768 : v);
}

class ArchiveCapture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = fresh_folder("plovermix-archive");
    ASSERT_EQ(e2e::write_stand_in_data(dir), "");
    std::string error;
    const auto music = decode_music((dir / "vorn.mp3").string(), error);
    ASSERT_TRUE(music) << error;
    decoded_music = music->samples;
  }
  static void TearDownTestSuite() { fs::remove_all(dir); }

  static void run(const std::string& arguments) {
    ASSERT_EQ(e2e::run_plovermix(dir, arguments), 0) << arguments << "\n"
                                                     << read_text(dir / "output.txt");
  }
  // The music as the capture decoder gives it, from sample frame `first` on,
  // converted to 16 bits.
  static std::vector<std::int16_t> music_s16(long first, long frames) {
    std::vector<std::int16_t> samples;
    for (long i = 2 * first; i < 2 * (first + frames); ++i) {
      samples.push_back(s16(decoded_music[static_cast<std::size_t>(i)]));
    }
    return samples;
  }

  static inline fs::path dir;
  static inline std::vector<float> decoded_music;
};

TEST_F(ArchiveCapture, FfvOneAndAFolderHoldTheRenderedBytesAndTheMusic) {
  // Video frame i of a 60 fps capture from 60 s shows grid body 3600 + i, at
  // (3600 + i) * 1000 / 60 ms: the frames --frames-at writes for those times.
  const int frames[] = {0, 30, 59};
  run("--fixed-step --frames-at 60000,60500,60983 --out '" + (dir / "png").string() + "'");
  run("--capture '" + (dir / "a.mkv").string() + "' --codec ffv1 --start 60000 --end 61000");
  run("--capture '" + (dir / "seq").string() + "/' --start 60000 --end 60100");

  const Decoded mkv = decode(dir / "a.mkv");
  EXPECT_EQ(mkv.video_codec, "ffv1");
  EXPECT_EQ(mkv.sound_codec, "flac");
  ASSERT_EQ(mkv.pictures.size(), 60u);
  for (int i : frames) {
    const fs::path png = dir / "png" / ("frame-" + std::to_string(60000 + i * 1000 / 60) + ".png");
    EXPECT_TRUE(mkv.pictures[static_cast<std::size_t>(i)] == rgb_of(read_png(png))) << png;
  }
  EXPECT_TRUE(read_text(dir / "seq" / "000000.png") == read_text(dir / "png" / "frame-60000.png"));
  EXPECT_TRUE(fs::exists(dir / "seq" / "000005.png"));
  EXPECT_FALSE(fs::exists(dir / "seq" / "000006.png")) << "0.1 s at 60 fps is six frames";

  // 60 s lies in the music's first pass: the sound starts 60 s into the file.
  const long first = 60L * 44100;
  ASSERT_GE(mkv.sound.size(), 2u * 44100);
  const std::vector<std::int16_t> flac(mkv.sound.begin(), mkv.sound.begin() + 2 * 44100);
  EXPECT_TRUE(flac == music_s16(first, 44100)) << "one second of the FLAC stream";

  // music.wav: 16-bit stereo at 44100 Hz, as long as the six frames.
  const std::string wav = read_text(dir / "seq" / "music.wav");
  ASSERT_EQ(wav.size(), 44u + 4410u * 4u);
  const Decoded wav_read = decode(dir / "seq" / "music.wav");
  EXPECT_EQ(wav_read.sound_codec, "pcm_s16le");
  EXPECT_TRUE(wav_read.sound == music_s16(first, 4410));
}

// Luminance of pixel (x, y), on a 0..255 scale.
double light(const Png& png, int x, int y) {
  const std::array<int, 3> c = png.at(x, y);
  return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
}

TEST_F(ArchiveCapture, SupersamplingSmoothsEdgesAndKeepsFlatAreas) {
  // The tunnel: flat-coloured stripes and patches on its rings and walls.
  run("--capture '" + (dir / "plain").string() + "/' --start 40000 --end 40010");
  run("--capture '" + (dir / "ss").string() + "/' --supersample 2 --start 40000 --end 40010");
  const Png plain = read_png(dir / "plain" / "000000.png");
  const Png ss = read_png(dir / "ss" / "000000.png");
  ASSERT_EQ(plain.width, 800);
  ASSERT_EQ(ss.width, 800);
  ASSERT_EQ(ss.height, 600);

  // A hard step of the plain frame: two neighbours far apart. It is smoothed
  // in a frame with a value between the two sides (a quarter of the way or
  // more from either) at or beside it; few are in the plain frame itself.
  const auto smooth_at = [](const Png& png, int x, int y, double low, double high) {
    const double quarter = (high - low) / 4;
    bool between = false;
    for (int dx = -1; dx <= 2; ++dx) {
      const double v = light(png, x + dx, y);
      between = between || (v > low + quarter && v < high - quarter);
    }
    return between;
  };
  int steps = 0, smoothed = 0, smooth_already = 0, flat = 0, flat_kept = 0;
  for (int y = 2; y < 598; ++y) {
    for (int x = 2; x < 797; ++x) {
      const double a = light(plain, x, y), b = light(plain, x + 1, y);
      if (std::abs(a - b) > 60.0) {
        ++steps;
        smoothed += smooth_at(ss, x, y, std::min(a, b), std::max(a, b)) ? 1 : 0;
        smooth_already += smooth_at(plain, x, y, std::min(a, b), std::max(a, b)) ? 1 : 0;
      }
      // Flat: the plain frame's 5 x 5 neighbourhood all within 1 of its centre.
      bool even = true;
      for (int dy = -2; dy <= 2 && even; ++dy) {
        for (int dx = -2; dx <= 2 && even; ++dx) {
          for (std::size_t c = 0; c < 3; ++c) {
            even = even && std::abs(plain.at(x + dx, y + dy)[c] - plain.at(x, y)[c]) <= 1;
          }
        }
      }
      if (even) {
        ++flat;
        bool kept = true;
        for (std::size_t c = 0; c < 3; ++c) {
          kept = kept && std::abs(ss.at(x, y)[c] - plain.at(x, y)[c]) <= 2;
        }
        flat_kept += kept ? 1 : 0;
      }
    }
  }
  ASSERT_GT(steps, 1000) << "the frame has edges";
  // Edges along the pixel grid stay hard; slanted ones, the most, are smoothed.
  EXPECT_GT(smoothed, steps / 2) << smoothed << " of " << steps << " steps smoothed";
  EXPECT_LT(smooth_already, steps / 4)
      << smooth_already << " of " << steps << " in the plain frame";
  ASSERT_GT(flat, 20000) << "the frame has flat areas";
  EXPECT_EQ(flat_kept, flat) << "flat pixels within 2 of the plain capture";
}

}  // namespace
