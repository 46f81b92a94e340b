#include "capture/music_pcm.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <cstdint>

#include "capture/av_support.h"

namespace {

constexpr int kRate = 44100;

using Resampler = AvPtr<SwrContext, swr_free>;

AVChannelLayout known_order(const AVChannelLayout& layout) {
  AVChannelLayout known{};
  if (layout.order == AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_default(&known, layout.nb_channels);
  else
    av_channel_layout_copy(&known, &layout);
  return known;
}

// Appends decoded frames to `out` as stereo at kRate. A decoder may change rate
// or channels mid-file (joined or damaged MP3s), so the resampler follows each
// frame's own format and is set up afresh when it changes; handing it planes
// it does not expect would read past the frame.
class ToStereo {
 public:
  explicit ToStereo(std::vector<float>& out) : out_(out) {}
  ToStereo(const ToStereo&) = delete;
  ToStereo& operator=(const ToStereo&) = delete;
  ~ToStereo() { av_channel_layout_uninit(&layout_); }

  // 0, or the AVERROR that stopped the conversion
  int add(const AVFrame& frame) {
    AVChannelLayout layout = known_order(frame.ch_layout);
    const bool same = swr_ && frame.format == format_ && frame.sample_rate == rate_ &&
                      av_channel_layout_compare(&layout, &layout_) == 0;
    int status = same ? 0 : restart(frame, layout);
    av_channel_layout_uninit(&layout);
    if (status == 0)
      status = convert(const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples);
    return status < 0 ? status : 0;
  }

  int drain() {
    int got = 1;
    while (swr_ && got > 0) got = convert(nullptr, 0);
    return got < 0 ? got : 0;
  }

 private:
  int restart(const AVFrame& frame, const AVChannelLayout& layout) {
    const int drained = drain();
    if (drained < 0) return drained;
    swr_.reset();
    av_channel_layout_uninit(&layout_);
    av_channel_layout_copy(&layout_, &layout);
    format_ = frame.format;
    rate_ = frame.sample_rate;

    SwrContext* swr = nullptr;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    int status = swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_FLT, kRate, &layout_,
                                     static_cast<AVSampleFormat>(frame.format), frame.sample_rate,
                                     0, nullptr);
    Resampler owned(swr);
    if (status < 0) return status;
    if (layout.nb_channels == 1) {
      // The default mix puts mono at -3 dB on each side; a mono file should
      // sound as loud as it was made.
      const double both[] = {1.0, 1.0};
      status = swr_set_matrix(swr, both, 1);
      if (status < 0) return status;
    }
    status = swr_init(swr);
    if (status < 0) return status;
    swr_ = std::move(owned);
    return 0;
  }

  // Converted frames appended, or an AVERROR.
  int convert(const std::uint8_t** in, int in_frames) {
    const int room = swr_get_out_samples(swr_.get(), in_frames);
    if (room <= 0) return room;
    const std::size_t kept = out_.size();
    out_.resize(kept + static_cast<std::size_t>(room) * 2);
    auto* at = reinterpret_cast<std::uint8_t*>(out_.data() + kept);
    const int got = swr_convert(swr_.get(), &at, room, in, in_frames);
    out_.resize(kept + static_cast<std::size_t>(got > 0 ? got : 0) * 2);
    return got;
  }

  std::vector<float>& out_;
  Resampler swr_;
  AVChannelLayout layout_{};
  int format_ = AV_SAMPLE_FMT_NONE;
  int rate_ = 0;
};

std::string failure(const char* what, const std::string& path, int code, const char* after = "") {
  return what + path + after + ": " + av_error_text(code);
}

}  // namespace

double DecodedMusic::length_ms() const {
  return sample_rate > 0 ? static_cast<double>(frames()) * 1000.0 / sample_rate : 0.0;
}

long DecodedMusic::frames() const { return static_cast<long>(samples.size() / 2); }

std::optional<DecodedMusic> decode_music(const std::string& path, std::string& error) {
  quiet_ffmpeg_log();
  AVFormatContext* opened = nullptr;
  int status = avformat_open_input(&opened, path.c_str(), nullptr, nullptr);
  AvPtr<AVFormatContext, avformat_close_input> input(opened);
  if (status < 0) {
    // The file could be read, but not as music.
    const bool not_music =
        status == AVERROR_INVALIDDATA || status == AVERROR(EINVAL) || status == AVERROR_EOF;
    error = not_music ? failure("the music file ", path, status, " is damaged or not music")
                      : failure("cannot open the music file ", path, status);
    return std::nullopt;
  }
  status = avformat_find_stream_info(input.get(), nullptr);
  if (status < 0) {
    error = failure("cannot read the music file ", path, status);
    return std::nullopt;
  }
  const AVCodec* codec = nullptr;
  const int stream = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  if (stream < 0) {
    error = stream == AVERROR_STREAM_NOT_FOUND
                ? "the music file " + path + " holds no audio"
                : failure("cannot decode the music in ", path, stream);
    return std::nullopt;
  }
  for (unsigned i = 0; i < input->nb_streams; ++i)
    if (static_cast<int>(i) != stream) input->streams[i]->discard = AVDISCARD_ALL;

  AvPtr<AVCodecContext, avcodec_free_context> decoder(avcodec_alloc_context3(codec));
  AvPtr<AVPacket, av_packet_free> packet(av_packet_alloc());
  AvPtr<AVFrame, av_frame_free> frame(av_frame_alloc());
  status = decoder && packet && frame ? 0 : AVERROR(ENOMEM);
  if (status == 0)
    status = avcodec_parameters_to_context(decoder.get(), input->streams[stream]->codecpar);
  if (status == 0) {
    decoder->pkt_timebase = input->streams[stream]->time_base;
    status = avcodec_open2(decoder.get(), codec, nullptr);
  }
  if (status < 0) {
    error = failure("cannot decode the music in ", path, status);
    return std::nullopt;
  }

  DecodedMusic music;
  music.sample_rate = kRate;
  ToStereo to_stereo(music.samples);
  // Every frame the decoder has ready. A damaged packet gives an error here
  // and is dropped by the decoder; the frames after it still come.
  const auto take_frames = [&] {
    for (;;) {
      const int got = avcodec_receive_frame(decoder.get(), frame.get());
      if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return 0;
      if (got < 0) continue;
      const int converted = to_stereo.add(*frame);
      av_frame_unref(frame.get());
      if (converted < 0) return converted;
    }
  };
  for (;;) {
    const int read = av_read_frame(input.get(), packet.get());
    if (read == AVERROR_EOF) break;
    if (read < 0) {
      error = failure("cannot read the music file ", path, read);
      return std::nullopt;
    }
    // A packet the decoder refuses is skipped, as a damaged one should be.
    if (packet->stream_index == stream) avcodec_send_packet(decoder.get(), packet.get());
    av_packet_unref(packet.get());
    status = take_frames();
    if (status < 0) break;
  }
  if (status >= 0) {
    avcodec_send_packet(decoder.get(), nullptr);
    status = take_frames();
  }
  if (status >= 0) status = to_stereo.drain();
  if (status < 0) {
    error = failure("cannot convert the music in ", path, status);
    return std::nullopt;
  }
  if (music.samples.empty()) {
    error = "none of the music file " + path + " could be decoded";
    return std::nullopt;
  }
  return music;
}
