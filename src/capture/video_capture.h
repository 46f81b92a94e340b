#pragma once
// Offline capture to a video file, or to a folder of PNG frames and a WAV
// (--capture): the show drawn on a virtual clock at the video's rate, every
// frame encoded, with the music played from the place the clock rule gives
// for --start and looping where its file ends.
//
//   VideoCapture::open(settings, start_ms, size, data, error)   decodes the
//                          music of `data`, opens the file for frames of `size`;
//                          nullptr with `error` set when the file cannot be had.
//                          With settings.supersample N the device draws at N
//                          times `size`, and each frame is averaged down over
//                          N x N pixels
//   As the run's capture:  its player presents the video's frames; each is
//                          read back and handed to the encoder with its share
//                          of the music
//   failed()               a frame could not be read back or encoded
//   finish(interrupted)    flushes the encoders and closes the file, then says
//                          on stderr what was written; false when it failed
//
// A progress line (frames done, percent, encoding speed, time left) is kept on
// standard error while it runs on a terminal.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/capture_settings.h"
#include "capture/encoding_queue.h"
#include "capture/music_pcm.h"
#include "capture/video_player.h"
#include "gfx/presenter.h"
#include "shell/base/file_lookup.h"
#include "show/players.h"

class VideoCapture : public ShowCapture {
 public:
  // Frames from show time `start_ms` on the grid of `steps_per_second`.
  static std::unique_ptr<VideoCapture> open(const CaptureSettings& settings, int start_ms,
                                            int steps_per_second, PixelSize size,
                                            const DataFolder& data, std::string& error);

  double music_length_ms() const override { return pacing_.music_length_ms; }
  std::unique_ptr<ShowPlayer> make_player(Show& show, Platform& platform,
                                          VirtualClock& clock) override;
  bool failed() const { return failed_; }
  bool finish(bool interrupted);

 private:
  VideoCapture(const CaptureSettings& settings, int start_ms, int steps_per_second,
               std::optional<DecodedMusic> music, std::unique_ptr<FrameSink> file);
  bool frame_done(long frame);
  bool write_sound_to(long frame);
  void show_progress(long frames, bool last);

  CaptureSettings capture_;
  int start_ms_;
  int steps_per_second_;
  VideoPacing pacing_;
  // The frames' pixels: the platform's, once the run makes the player.
  Presenter* presenter_ = nullptr;
  bool failed_ = false;
  std::optional<DecodedMusic> music_;
  // The file, encoded on a thread of its own while the next frame is drawn.
  EncodingQueue queue_;
  double frame_ms_;
  long expected_frames_;
  // The music's sample frame where the video starts, and how many followed.
  long first_sample_ = 0;
  long samples_written_ = 0;
  std::vector<std::uint8_t> rgba_;
  std::vector<std::uint8_t> averaged_;  // a supersampled frame at the video's size
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point last_progress_;
  bool on_terminal_;
};
