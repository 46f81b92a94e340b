#include "capture/video_capture.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "audio/music_stream.h"
#include "capture/frame_folder.h"
#include "capture/video_file.h"
#include "show/data_files.h"
#include "show/seek.h"

namespace {

double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double real(long count) { return static_cast<double>(count); }

std::string clock_text(double seconds) {
  const long whole = std::lround(std::max(0.0, seconds));
  char text[32];
  std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  return text;
}

// `in` (RGBA, `size`) averaged over n x n pixels, rounded: the area filter
// that makes a supersampled frame's edges smooth and leaves its flat areas as
// they were.
PixelSize average_down(const std::vector<std::uint8_t>& in, PixelSize size, int n,
                       std::vector<std::uint8_t>& out) {
  const PixelSize small{size.width / n, size.height / n};
  const auto row = static_cast<std::size_t>(size.width) * 4;
  const int area = n * n;
  out.resize(static_cast<std::size_t>(small.width) * small.height * 4);
  std::vector<int> sums(static_cast<std::size_t>(small.width) * 4);
  for (int y = 0; y < small.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    for (int dy = 0; dy < n; ++dy) {
      const std::uint8_t* line = in.data() + static_cast<std::size_t>(y * n + dy) * row;
      for (std::size_t x = 0; x < static_cast<std::size_t>(small.width) * n; ++x) {
        for (std::size_t c = 0; c < 4; ++c) {
          sums[x / static_cast<std::size_t>(n) * 4 + c] += line[x * 4 + c];
        }
      }
    }
    std::uint8_t* into = out.data() + static_cast<std::size_t>(y) * small.width * 4;
    for (std::size_t i = 0; i < sums.size(); ++i) {
      into[i] = static_cast<std::uint8_t>((sums[i] + area / 2) / area);
    }
  }
  return small;
}

}  // namespace

std::unique_ptr<VideoCapture> VideoCapture::open(const CaptureSettings& settings, int start_ms,
                                                 int steps_per_second, PixelSize size,
                                                 const DataFolder& data, std::string& error) {
  std::string music_error;
  std::optional<DecodedMusic> music = decode_music(data.path(data.find(MUSIC_FILE)), music_error);
  if (!music || music->frames() == 0) {
    // As the player runs silent, the video goes on without sound.
    std::fprintf(stderr, "plovermix: %s; the video has no sound\n", music_error.c_str());
    music.reset();
  }
  std::unique_ptr<FrameSink> file;
  if (settings.into_folder()) {
    file = FrameFolder::open(settings.file, music.has_value(), error);
  } else {
    VideoSettings video;
    video.codec = settings.codec;
    video.width = size.width;
    video.height = size.height;
    video.fps_num = settings.fps_num;
    video.fps_den = settings.fps_den;
    video.crf = settings.crf;
    video.preset = settings.preset;
    video.audio = music.has_value();
    file = VideoFile::open(settings.file, video, error);
  }
  if (file == nullptr) {
    return nullptr;
  }
  return std::unique_ptr<VideoCapture>(
      new VideoCapture(settings, start_ms, steps_per_second, std::move(music), std::move(file)));
}

VideoCapture::VideoCapture(const CaptureSettings& settings, int start_ms, int steps_per_second,
                           std::optional<DecodedMusic> music, std::unique_ptr<FrameSink> file)
    : capture_(settings),
      start_ms_(start_ms),
      steps_per_second_(steps_per_second),
      music_(std::move(music)),
      queue_(std::move(file)),
      frame_ms_(1000.0 * capture_.fps_den / capture_.fps_num),
      started_(std::chrono::steady_clock::now()),
      last_progress_(started_),
      on_terminal_(isatty(STDERR_FILENO) != 0) {
  // The show ends after 240000 ms; the frame past it is not in the video.
  const int end = std::min(capture_.end_ms.value_or(SHOW_END_MS + 1), SHOW_END_MS + 1);
  expected_frames_ = std::max(1L, std::lround(std::ceil((end - start_ms_) / frame_ms_)));
  pacing_.fps_num = capture_.fps_num;
  pacing_.fps_den = capture_.fps_den;
  if (music_) {
    pacing_.music_length_ms = music_->length_ms();
    // The sound starts where the music goes for the show's start.
    const MusicPlace place = music_place(start_ms_, music_->length_ms());
    first_sample_ = std::lround(place.position_ms / 1000.0 * music_->sample_rate);
  }
  if (capture_.end_ms) {
    pacing_.end_ms = *capture_.end_ms;
  }
  pacing_.frame_done = [this](long frame) { return frame_done(frame); };
}

std::unique_ptr<ShowPlayer> VideoCapture::make_player(Show& show, Platform& platform,
                                                      VirtualClock& clock) {
  presenter_ = platform.presenter();
  return std::make_unique<VideoPlayer>(show, platform, clock, pacing_, start_ms_, steps_per_second_,
                                       failed_);
}

// The music up to the end of `frame`, looping at the file's end.
bool VideoCapture::write_sound_to(long frame) {
  if (!music_) {
    return true;
  }
  const long total = music_->frames();
  const long wanted = std::lround(real(frame + 1) * frame_ms_ * music_->sample_rate / 1000.0);
  while (samples_written_ < wanted) {
    const long at = (first_sample_ + samples_written_) % total;
    const long count = std::min(wanted - samples_written_, total - at);
    if (!queue_.write_audio(music_->samples.data() + 2 * at, count)) {
      return false;
    }
    samples_written_ += count;
  }
  return true;
}

bool VideoCapture::frame_done(long frame) {
  std::optional<PixelSize> size =
      presenter_ != nullptr ? presenter_->read_presented_frame(rgba_) : std::nullopt;
  std::vector<std::uint8_t>& picture = capture_.supersample > 1 ? averaged_ : rgba_;
  if (size && capture_.supersample > 1) {
    size = average_down(rgba_, *size, capture_.supersample, averaged_);
  }
  if (!size || !queue_.write_frame(picture, size->width, size->height) || !write_sound_to(frame)) {
    std::fprintf(stderr, "%splovermix: %s\n", on_terminal_ ? "\n" : "",
                 size ? queue_.error().c_str() : "the frame could not be read back");
    return false;
  }
  show_progress(frame + 1, false);
  return true;
}

void VideoCapture::show_progress(long frames, bool last) {
  if (!on_terminal_ || (!last && seconds_since(last_progress_) < 0.25)) {
    return;
  }
  last_progress_ = std::chrono::steady_clock::now();
  const double elapsed = seconds_since(started_);
  const double fps = elapsed > 0.0 ? real(frames) / elapsed : 0.0;
  const long shown = std::min(frames, expected_frames_);
  const double left = fps > 0.0 ? real(expected_frames_ - shown) / fps : 0.0;
  std::fprintf(stderr, "\rcapture: %ld/%ld frames %5.1f%%  %.1f fps  %s left ", frames,
               expected_frames_, 100.0 * real(shown) / real(expected_frames_), fps,
               clock_text(left).c_str());
  if (last) {
    std::fputc('\n', stderr);
  }
}

bool VideoCapture::finish(bool interrupted) {
  std::string error;
  const bool finished = queue_.finish(error);
  const long frames = queue_.frames_written();
  show_progress(frames, true);
  if (!finished) {
    std::fprintf(stderr, "plovermix: %s\n", error.c_str());
    return false;
  }
  const double seconds = seconds_since(started_);
  if (interrupted) {
    std::fprintf(stderr, "plovermix: capture interrupted; %s holds the first %ld frames\n",
                 capture_.file.c_str(), frames);
  } else {
    std::fprintf(stderr, "plovermix: wrote %s: %ld frames at %d/%d fps in %.1f s (%.1f fps)\n",
                 capture_.file.c_str(), frames, capture_.fps_num, capture_.fps_den, seconds,
                 seconds > 0.0 ? real(frames) / seconds : 0.0);
  }
  return true;
}
