#include "capture/video_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "capture/av_support.h"

namespace {

// The largest window side the player takes; it keeps width * height * 4 in range.
constexpr int kMaxSide = 16384;

struct Encoder {
  AvPtr<AVCodecContext, avcodec_free_context> codec;
  AvPtr<AVFrame, av_frame_free> frame;
  AVStream* stream = nullptr;
};

}  // namespace

struct VideoFile::Impl {
  // "" when the file is created and its header written.
  std::string open();
  std::string open_encoder(Encoder& encoder, const AVCodec* codec);
  // Hands `frame` (nullptr: the end) to the encoder and what comes out to the muxer.
  int encode(Encoder& encoder, AVFrame* frame);
  bool encode_sound();

  // A refused call: the file itself is as good as before.
  bool refuse(std::string text) {
    error = std::move(text);
    return false;
  }
  // Something meant for the file was lost; the first such loss is the one told.
  bool lose(const std::string& what, int code) {
    if (!lost) error = what + path + ": " + av_error_text(code);
    lost = true;
    return false;
  }
  bool writable() {
    if (finished) return refuse(path + " is already finished");
    return !lost;
  }

  std::string path;
  VideoSettings settings;
  AvPtr<AVFormatContext, avformat_free_context> output;
  Encoder video, sound;
  AvPtr<AVPacket, av_packet_free> packet;
  AvPtr<SwsContext, sws_freeContext> scaler;
  int scaler_width = 0, scaler_height = 0;
  int sound_fill = 0;  // samples waiting in sound.frame
  std::int64_t sound_pts = 0;
  long frames = 0;
  bool lost = false;
  bool finished = false;
  std::string error;
};

std::string VideoFile::Impl::open() {
  const VideoSettings& s = settings;
  const bool lossless = s.codec == VideoCodec::ffv1;
  if (s.width <= 0 || s.height <= 0 || (!lossless && (s.width % 2 || s.height % 2)))
    return "the video size " + std::to_string(s.width) + "x" + std::to_string(s.height) +
           " must be even (H.264 halves it for colour)";
  if (s.fps_num <= 0 || s.fps_den <= 0) return "the frame rate must be positive";
  if (s.crf < 0 || s.crf > 51) return "the quality (crf) must lie in 0..51";
  if (s.audio && (s.audio_rate <= 0 || s.audio_bitrate <= 0))
    return "the sound rate and bit rate must be positive";

  const AVOutputFormat* format = av_guess_format(nullptr, path.c_str(), nullptr);
  if (!format) return "unknown video format for " + path + " (use .mp4 or .mkv)";
  // Archives take Matroska; an MP4 with FFV1 is one that few programs read.
  if (lossless && std::string(format->name) != "matroska")
    return "FFV1 goes into .mkv, not into " + path;
  const AVCodecID picture_codec = lossless ? AV_CODEC_ID_FFV1 : AV_CODEC_ID_H264;
  const AVCodecID sound_codec = lossless ? AV_CODEC_ID_FLAC : AV_CODEC_ID_AAC;
  if (avformat_query_codec(format, picture_codec, FF_COMPLIANCE_NORMAL) != 1 ||
      (s.audio && avformat_query_codec(format, sound_codec, FF_COMPLIANCE_NORMAL) != 1))
    return "a " + std::string(format->name) + " file cannot hold H.264 and AAC: " + path +
           " (use .mp4 or .mkv)";
  AVFormatContext* context = nullptr;
  avformat_alloc_output_context2(&context, format, nullptr, path.c_str());
  output.reset(context);
  packet.reset(av_packet_alloc());
  if (!output || !packet) return "out of memory for " + path;

  const AVCodec* encoder =
      lossless ? avcodec_find_encoder(picture_codec) : avcodec_find_encoder_by_name("libx264");
  if (!encoder)
    return lossless ? "this FFmpeg has no FFV1 encoder"
                    : "this FFmpeg has no H.264 encoder (libx264)";
  video.codec.reset(avcodec_alloc_context3(encoder));
  if (!video.codec) return "out of memory for " + path;
  AVCodecContext& v = *video.codec;
  v.width = s.width;
  v.height = s.height;
  av_reduce(&v.framerate.num, &v.framerate.den, s.fps_num, s.fps_den, INT32_MAX);
  v.time_base = av_inv_q(v.framerate);
  v.thread_count = 0;  // as many as the machine has
  std::string failed;
  if (lossless) {
    // RGB as drawn: every byte of a frame comes back from the file.
    v.pix_fmt = AV_PIX_FMT_BGR0;
    v.colorspace = AVCOL_SPC_RGB;
    v.color_range = AVCOL_RANGE_JPEG;
    v.level = 3;  // slices, so that the encoder runs on every core, and their checksums
    failed = open_encoder(video, encoder);
    if (!failed.empty()) return "cannot start the FFV1 encoder: " + failed;
  } else {
    v.pix_fmt = AV_PIX_FMT_YUV420P;
    // What write_frame's conversion makes; players read the tags to undo it.
    v.color_range = AVCOL_RANGE_MPEG;
    v.colorspace = AVCOL_SPC_SMPTE170M;
    v.color_primaries = AVCOL_PRI_SMPTE170M;
    v.color_trc = AVCOL_TRC_SMPTE170M;
    if (av_opt_set(v.priv_data, "preset", s.preset.c_str(), 0) < 0 ||
        av_opt_set_int(v.priv_data, "crf", s.crf, 0) < 0)
      return "libx264 takes no preset or crf";
    failed = open_encoder(video, encoder);
    if (!failed.empty())
      return "cannot start the H.264 encoder (preset \"" + s.preset + "\"): " + failed;
  }
  video.stream->avg_frame_rate = v.framerate;

  if (s.audio) {
    const AVCodec* sound_encoder = avcodec_find_encoder(sound_codec);
    const char* sound_name = lossless ? "FLAC" : "AAC";
    if (!sound_encoder) return "this FFmpeg has no " + std::string(sound_name) + " encoder";
    sound.codec.reset(avcodec_alloc_context3(sound_encoder));
    if (!sound.codec) return "out of memory for " + path;
    AVCodecContext& a = *sound.codec;
    a.sample_fmt = lossless ? AV_SAMPLE_FMT_S16 : AV_SAMPLE_FMT_FLTP;
    a.ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    a.sample_rate = s.audio_rate;
    if (!lossless) a.bit_rate = s.audio_bitrate;
    a.time_base = {1, s.audio_rate};
    failed = open_encoder(sound, sound_encoder);
    if (!failed.empty())
      return "cannot start the " + std::string(sound_name) + " encoder at " +
             std::to_string(s.audio_rate) + " Hz: " + failed;
  }

  if (!(format->flags & AVFMT_NOFILE)) {
    const int created = avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (created < 0) return "cannot create " + path + ": " + av_error_text(created);
  }
  // MP4's index goes to the front once the file is done, so that a browser
  // plays it while it downloads; other containers leave the option unused.
  AVDictionary* options = nullptr;
  av_dict_set(&options, "movflags", "+faststart", 0);
  const int started = avformat_write_header(output.get(), &options);
  av_dict_free(&options);
  if (started < 0) {
    // A file without its header is of no use to anyone.
    avio_closep(&output->pb);
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return "cannot start writing " + path + ": " + av_error_text(started);
  }
  return {};
}

std::string VideoFile::Impl::open_encoder(Encoder& encoder, const AVCodec* codec) {
  AVCodecContext& c = *encoder.codec;
  if (output->oformat->flags & AVFMT_GLOBALHEADER) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int status = avcodec_open2(&c, codec, nullptr);
  encoder.stream = status < 0 ? nullptr : avformat_new_stream(output.get(), nullptr);
  encoder.frame.reset(status < 0 ? nullptr : av_frame_alloc());
  if (status >= 0 && (!encoder.stream || !encoder.frame)) status = AVERROR(ENOMEM);
  if (status >= 0) status = avcodec_parameters_from_context(encoder.stream->codecpar, &c);
  if (status < 0) return av_error_text(status);
  encoder.stream->time_base = c.time_base;

  AVFrame& f = *encoder.frame;
  if (c.codec_type == AVMEDIA_TYPE_VIDEO) {
    f.format = c.pix_fmt;
    f.width = c.width;
    f.height = c.height;
  } else {
    f.format = c.sample_fmt;
    f.nb_samples = c.frame_size;
    f.sample_rate = c.sample_rate;
    status = av_channel_layout_copy(&f.ch_layout, &c.ch_layout);
  }
  if (status >= 0) status = av_frame_get_buffer(&f, 0);
  return status < 0 ? av_error_text(status) : std::string();
}

int VideoFile::Impl::encode(Encoder& encoder, AVFrame* frame) {
  int status = avcodec_send_frame(encoder.codec.get(), frame);
  while (status >= 0) {
    status = avcodec_receive_packet(encoder.codec.get(), packet.get());
    if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return 0;
    if (status < 0) break;
    av_packet_rescale_ts(packet.get(), encoder.codec->time_base, encoder.stream->time_base);
    packet->stream_index = encoder.stream->index;
    status = av_interleaved_write_frame(output.get(), packet.get());
  }
  return status;
}

bool VideoFile::Impl::encode_sound() {
  AVFrame& f = *sound.frame;
  f.nb_samples = sound_fill;
  f.pts = sound_pts;
  const int status = encode(sound, &f);
  sound_pts += sound_fill;
  sound_fill = 0;
  return status < 0 ? lose("cannot encode the sound of ", status) : true;
}

VideoFile::VideoFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

VideoFile::~VideoFile() {
  std::string ignored;
  finish(ignored);
}

std::unique_ptr<VideoFile> VideoFile::open(const std::string& path, const VideoSettings& settings,
                                           std::string& error) {
  quiet_ffmpeg_log();
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->settings = settings;
  error = impl->open();
  if (!error.empty()) return nullptr;
  return std::unique_ptr<VideoFile>(new VideoFile(std::move(impl)));
}

bool VideoFile::write_frame(const std::uint8_t* rgba, int width, int height) {
  Impl& m = *impl_;
  if (!m.writable()) return false;
  if (!rgba || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    return m.refuse("no picture of " + std::to_string(width) + "x" + std::to_string(height) +
                    " can go into " + m.path);
  if (!m.scaler || width != m.scaler_width || height != m.scaler_height) {
    const AVPixelFormat stored = m.video.codec->pix_fmt;
    m.scaler.reset(sws_getContext(width, height, AV_PIX_FMT_RGBA, m.settings.width,
                                  m.settings.height, stored, SWS_BICUBIC, nullptr, nullptr,
                                  nullptr));
    if (!m.scaler) return m.refuse("cannot convert pictures of that size for " + m.path);
    if (stored == AV_PIX_FMT_YUV420P) {
      // Full-range RGB in, limited-range BT.601 out: what the stream is tagged as.
      const int* bt601 = sws_getCoefficients(SWS_CS_ITU601);
      sws_setColorspaceDetails(m.scaler.get(), bt601, 1, bt601, 0, 0, 1 << 16, 1 << 16);
    }
    m.scaler_width = width;
    m.scaler_height = height;
  }
  AVFrame& f = *m.video.frame;
  // The encoder may still hold the last picture.
  int status = av_frame_make_writable(&f);
  if (status >= 0) {
    const std::uint8_t* rows[] = {rgba};
    const int stride[] = {width * 4};
    sws_scale(m.scaler.get(), rows, stride, 0, height, f.data, f.linesize);
    f.pts = m.frames;
    status = m.encode(m.video, &f);
  }
  if (status < 0) return m.lose("cannot encode frame " + std::to_string(m.frames) + " of ", status);
  ++m.frames;
  return true;
}

bool VideoFile::write_audio(const float* interleaved_stereo, long frames) {
  Impl& m = *impl_;
  if (!m.writable()) return false;
  if (!m.sound.codec) return m.refuse(m.path + " was opened without sound");
  if (frames < 0 || (frames > 0 && !interleaved_stereo))
    return m.refuse("no sound of " + std::to_string(frames) + " frames can go into " + m.path);
  AVFrame& f = *m.sound.frame;
  const int frame_size = m.sound.codec->frame_size;
  const float* in = interleaved_stereo;
  while (frames > 0) {
    if (m.sound_fill == 0) {
      const int status = av_frame_make_writable(&f);
      if (status < 0) return m.lose("cannot encode the sound of ", status);
    }
    const int n = static_cast<int>(std::min<long>(frames, frame_size - m.sound_fill));
    if (f.format == AV_SAMPLE_FMT_S16) {
      std::int16_t* out = reinterpret_cast<std::int16_t*>(f.data[0]) + 2 * m.sound_fill;
      for (int i = 0; i < 2 * n; ++i) out[i] = to_pcm16(in[i]);
    } else {
      float* left = reinterpret_cast<float*>(f.data[0]) + m.sound_fill;
      float* right = reinterpret_cast<float*>(f.data[1]) + m.sound_fill;
      for (int i = 0; i < n; ++i) {
        left[i] = in[2 * i];
        right[i] = in[2 * i + 1];
      }
    }
    in += 2 * n;
    frames -= n;
    m.sound_fill += n;
    if (m.sound_fill == frame_size && !m.encode_sound()) return false;
  }
  return true;
}

bool VideoFile::finish(std::string& error) {
  Impl& m = *impl_;
  if (!m.finished) {
    m.finished = true;
    // Each step runs even after a loss, so that what did reach the file stays
    // playable; the answer still tells of the loss.
    if (m.sound.codec) {
      // The encoder pads a short last frame itself.
      if (m.sound_fill > 0) m.encode_sound();
      if (const int status = m.encode(m.sound, nullptr); status < 0)
        m.lose("cannot encode the sound of ", status);
    }
    if (const int status = m.encode(m.video, nullptr); status < 0)
      m.lose("cannot encode the last frames of ", status);
    if (const int status = av_write_trailer(m.output.get()); status < 0)
      m.lose("cannot finish ", status);
    if (const int status = avio_closep(&m.output->pb); status < 0) m.lose("cannot close ", status);
    if (m.frames == 0) {
      // Without a picture neither container is readable; such a file would only mislead.
      std::error_code ignored;
      std::filesystem::remove(m.path, ignored);
      if (!m.lost) m.error = "no picture was written to " + m.path + ", so it is removed";
      m.lost = true;
    }
  }
  if (m.lost) error = m.error;
  return !m.lost;
}

long VideoFile::frames_written() const { return impl_->frames; }

const std::string& VideoFile::error() const { return impl_->error; }
