// Video files read back with libavformat and libavcodec directly, as a player
// would find them: the streams, their timing and the colours of a picture.
#include "capture/video_file.h"

#include "capture/encoding_queue.h"
#include "capture/frame_folder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "support/fresh_folder.h"

namespace {

// A stream as a reader finds it; times in seconds.
struct Found {
  AVCodecID codec;
  int width, height, channels, rate;
  double fps, start, end = 0.0;  // the start time, and where the last packet ends
  long packets = 0;
};

// The streams of `path`, video first; `picture`, when given, gets its first picture.
std::vector<Found> read_back(const std::string& path, AVFrame* picture = nullptr) {
  std::vector<Found> found;
  AVFormatContext* in = nullptr;
  if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return found;
  avformat_find_stream_info(in, nullptr);
  for (unsigned i = 0; i < in->nb_streams; ++i) {
    const AVStream& s = *in->streams[i];
    const AVCodecParameters& p = *s.codecpar;
    found.push_back({p.codec_id, p.width, p.height, p.ch_layout.nb_channels, p.sample_rate,
                     av_q2d(s.avg_frame_rate),
                     static_cast<double>(s.start_time) * av_q2d(s.time_base)});
  }
  const AVCodec* h264 = avcodec_find_decoder(AV_CODEC_ID_H264);
  AVCodecContext* decoder = avcodec_alloc_context3(h264);
  if (!found.empty()) avcodec_parameters_to_context(decoder, in->streams[0]->codecpar);
  avcodec_open2(decoder, h264, nullptr);
  AVPacket* packet = av_packet_alloc();
  bool got = picture == nullptr;
  while (av_read_frame(in, packet) == 0) {
    Found& f = found[packet->stream_index];
    ++f.packets;
    const double end = static_cast<double>(packet->pts + packet->duration);
    f.end = std::max(f.end, end * av_q2d(in->streams[packet->stream_index]->time_base));
    if (!got && packet->stream_index == 0) avcodec_send_packet(decoder, packet);
    got = got || avcodec_receive_frame(decoder, picture) == 0;
    av_packet_unref(packet);
  }
  if (!got && avcodec_send_packet(decoder, nullptr) == 0) avcodec_receive_frame(decoder, picture);
  av_packet_free(&packet);
  avcodec_free_context(&decoder);
  avformat_close_input(&in);
  return found;
}

std::vector<std::uint8_t> flat_rgba(int width, int height, std::array<std::uint8_t, 3> rgb) {
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < width * height; ++i) rgba.insert(rgba.end(), {rgb[0], rgb[1], rgb[2], 255});
  return rgba;
}

// 30 grey frames at 320x240, each with the sound of its own span (440 Hz
// left, 660 Hz right), as a capture hands them over.
void write_thirty(VideoFile& file, int fps_num, int fps_den) {
  const std::vector<std::uint8_t> picture = flat_rgba(320, 240, {90, 90, 90});
  std::vector<float> sound;
  for (int i = 0; i < 44100; ++i)
    for (const double hz : {440.0, 660.0})
      sound.push_back(static_cast<float>(0.5 * std::sin(2 * M_PI * hz * i / 44100)));
  long sent = 0;
  for (int frame = 1; frame <= 30; ++frame) {
    ASSERT_TRUE(file.write_frame(picture.data(), 320, 240)) << file.error();
    const long due = static_cast<long>(frame * 44100LL * fps_den / fps_num);
    ASSERT_TRUE(file.write_audio(sound.data() + 2 * sent, due - sent)) << file.error();
    sent = due;
  }
}

const VideoSettings kSmall{.width = 320, .height = 240, .fps_num = 30};

class VideoFileTest : public InFreshFolder {};

TEST_F(VideoFileTest, StreamsComeBackWithTheirSizeRateAndTiming) {
  // Sound and pictures start and end together: MP4 marks the AAC encoder's
  // priming and last padding (to its 1 ms movie clock); Matroska does not,
  // which leaves up to 1024 samples of each.
  const double mp4_slack = 0.002, mkv_slack = 1024 / 44100.0 + 0.002;
  struct Case {
    const char* name;
    int fps_num, fps_den;
    double slack;
  };
  for (const Case& c :
       {Case{"a.mp4", 30, 1, mp4_slack}, Case{"a.mkv", 30, 1, mkv_slack},
        Case{"b.mp4", 60000, 1001, mp4_slack}, Case{"b.mkv", 60000, 1001, mkv_slack}}) {
    SCOPED_TRACE(c.name);
    VideoSettings settings = kSmall;
    settings.fps_num = c.fps_num;
    settings.fps_den = c.fps_den;
    std::string error;
    std::unique_ptr<VideoFile> file = VideoFile::open(path(c.name), settings, error);
    ASSERT_TRUE(file) << error;
    write_thirty(*file, c.fps_num, c.fps_den);
    EXPECT_EQ(file->frames_written(), 30);
    ASSERT_TRUE(file->finish(error)) << error;

    const std::vector<Found> streams = read_back(path(c.name));
    ASSERT_EQ(streams.size(), 2u);
    const Found& video = streams[0];
    const Found& sound = streams[1];
    EXPECT_EQ(video.codec, AV_CODEC_ID_H264);
    EXPECT_EQ(video.width, 320);
    EXPECT_EQ(video.height, 240);
    EXPECT_EQ(video.packets, 30);
    const double asked = static_cast<double>(c.fps_num) / c.fps_den;
    EXPECT_NEAR(video.fps, asked, 0.01);
    EXPECT_NEAR(video.end - video.start, 30 / asked, 0.002);
    EXPECT_EQ(sound.codec, AV_CODEC_ID_AAC);
    EXPECT_EQ(sound.channels, 2);
    EXPECT_EQ(sound.rate, 44100);
    EXPECT_NEAR(sound.start, video.start, c.slack);
    EXPECT_NEAR(sound.end, video.end, c.slack);
  }
}

TEST_F(VideoFileTest, PictureComesBackInItsColoursTopRowFirstWhenScaled) {
  // A quarter-size source, its top half one colour and the bottom another.
  const std::array<std::uint8_t, 3> top = {200, 40, 90}, bottom = {20, 180, 60};
  std::vector<std::uint8_t> source = flat_rgba(160, 60, top);
  const std::vector<std::uint8_t> lower = flat_rgba(160, 60, bottom);
  source.insert(source.end(), lower.begin(), lower.end());
  VideoSettings settings = kSmall;
  settings.audio = false;
  std::string error;
  std::unique_ptr<VideoFile> file = VideoFile::open(path("c.mkv"), settings, error);
  ASSERT_TRUE(file) << error;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(file->write_frame(source.data(), 160, 120));
  ASSERT_TRUE(file->finish(error)) << error;

  AVFrame* picture = av_frame_alloc();
  EXPECT_EQ(read_back(path("c.mkv"), picture).size(), 1u);
  ASSERT_EQ(picture->format, AV_PIX_FMT_YUV420P);
  ASSERT_EQ(picture->width, 320);
  ASSERT_EQ(picture->height, 240);
  EXPECT_EQ(picture->color_range, AVCOL_RANGE_MPEG);
  EXPECT_EQ(picture->colorspace, AVCOL_SPC_SMPTE170M);
  for (const auto& [y, rgb] : {std::pair{60, top}, std::pair{180, bottom}}) {
    // Limited-range BT.601, back to RGB.
    const int x = 160;
    const double c = 1.164 * (picture->data[0][y * picture->linesize[0] + x] - 16);
    const double d = picture->data[1][y / 2 * picture->linesize[1] + x / 2] - 128;
    const double e = picture->data[2][y / 2 * picture->linesize[2] + x / 2] - 128;
    EXPECT_NEAR(c + 1.596 * e, rgb[0], 6.0) << "row " << y;
    EXPECT_NEAR(c - 0.392 * d - 0.813 * e, rgb[1], 6.0) << "row " << y;
    EXPECT_NEAR(c + 2.017 * d, rgb[2], 6.0) << "row " << y;
  }
  av_frame_free(&picture);
}

TEST_F(VideoFileTest, RefusesWhatItCannotWriteAndSaysWhy) {
  std::string error;
  EXPECT_FALSE(VideoFile::open(path("a.xyz"), kSmall, error));
  EXPECT_NE(error.find("unknown video format for " + path("a.xyz")), std::string::npos) << error;
  // Known to FFmpeg, but no home for H.264 and AAC.
  EXPECT_FALSE(VideoFile::open(path("a.wav"), kSmall, error));
  EXPECT_NE(error.find(path("a.wav")), std::string::npos) << error;
  const std::string nowhere = path("no/such/folder/a.mp4");
  EXPECT_FALSE(VideoFile::open(nowhere, kSmall, error));
  EXPECT_NE(error.find(nowhere + ": No such file or directory"), std::string::npos) << error;
  VideoSettings odd = kSmall;
  odd.width = 321;
  error.clear();
  EXPECT_FALSE(VideoFile::open(path("odd.mp4"), odd, error));
  EXPECT_FALSE(error.empty());
  // An archive's codec in a container few programs read it from.
  VideoSettings lossless = kSmall;
  lossless.codec = VideoCodec::ffv1;
  EXPECT_FALSE(VideoFile::open(path("archive.mp4"), lossless, error));
  EXPECT_EQ(error, "FFV1 goes into .mkv, not into " + path("archive.mp4"));
  EXPECT_TRUE(std::filesystem::is_empty(folder())) << "a refused file was left behind";
  // A folder capture where a file stands in the way.
  std::ofstream(path("taken")) << "a file";
  EXPECT_FALSE(FrameFolder::open(path("taken") + "/frames/", true, error));
  EXPECT_EQ(error.rfind("cannot make the folder " + path("taken") + "/frames/: ", 0), 0u) << error;
}

TEST_F(VideoFileTest, TellsOfLostDataAndTakesNothingOnceFinished) {
  std::string error;
  if (std::filesystem::exists("/dev/full")) {
    // Every write to /dev/full fails as on a full disk.
    std::filesystem::create_symlink("/dev/full", path("full.mkv"));
    std::unique_ptr<VideoFile> full = VideoFile::open(path("full.mkv"), kSmall, error);
    ASSERT_TRUE(full) << error;
    const std::vector<std::uint8_t> grey = flat_rgba(320, 240, {90, 90, 90});
    for (int i = 0; i < 30; ++i) full->write_frame(grey.data(), 320, 240);
    EXPECT_FALSE(full->finish(error));
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
  }
  // Dropped without finish(): the destructor finishes it.
  write_thirty(*VideoFile::open(path("dropped.mp4"), kSmall, error), 30, 1);
  EXPECT_EQ(read_back(path("dropped.mp4"))[0].packets, 30);
  // Neither container is readable without a picture: no file, and no success.
  EXPECT_FALSE(VideoFile::open(path("empty.mp4"), kSmall, error)->finish(error));
  EXPECT_FALSE(std::filesystem::exists(path("empty.mp4")));

  std::unique_ptr<VideoFile> file = VideoFile::open(path("done.mkv"), kSmall, error);
  ASSERT_TRUE(file) << error;
  EXPECT_FALSE(file->write_frame(nullptr, 320, 240));
  write_thirty(*file, 30, 1);
  ASSERT_TRUE(file->finish(error)) << error;
  const float sound[2] = {};
  EXPECT_FALSE(file->write_frame(flat_rgba(320, 240, {1, 2, 3}).data(), 320, 240));
  EXPECT_FALSE(file->write_audio(sound, 1));
  EXPECT_TRUE(file->finish(error));
  EXPECT_EQ(read_back(path("done.mkv"))[0].packets, 30);
}

// Through the worker thread: every picture and sound in order, each picture
// buffer handed back to be filled again, and a full disk stops the queue and
// is reported by finish().
TEST_F(VideoFileTest, TheQueueEncodesAllInOrderAndPassesOnAFullDisk) {
  std::string error;
  {
    EncodingQueue queue(VideoFile::open(path("queued.mp4"), kSmall, error), 2);
    const std::vector<float> sound(2 * 1470, 0.25f);
    std::vector<std::uint8_t> rgba;
    for (int frame = 0; frame < 30; ++frame) {
      rgba = flat_rgba(320, 240, {static_cast<std::uint8_t>(frame * 8), 40, 200});
      ASSERT_TRUE(queue.write_frame(rgba, 320, 240)) << queue.error();
      ASSERT_TRUE(queue.write_audio(sound.data(), 1470)) << queue.error();
    }
    ASSERT_TRUE(queue.finish(error)) << error;
    EXPECT_EQ(queue.frames_written(), 30);
  }
  AVFrame* first = av_frame_alloc();
  const std::vector<Found> found = read_back(path("queued.mp4"), first);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].packets, 30);
  EXPECT_NEAR(found[1].end - found[1].start, 1.0, 0.05);
  EXPECT_LT(first->data[0][0], 60) << "the first picture comes first (dark red, low luma)";
  av_frame_free(&first);

  if (std::filesystem::exists("/dev/full")) {
    std::filesystem::create_symlink("/dev/full", path("full.mkv"));
    EncodingQueue full(VideoFile::open(path("full.mkv"), kSmall, error));
    std::vector<std::uint8_t> grey;
    for (int i = 0; i < 300; ++i) {
      grey = flat_rgba(320, 240, {90, 90, 90});
      if (!full.write_frame(grey, 320, 240)) break;
    }
    EXPECT_FALSE(full.finish(error));
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
  }
}

}  // namespace
