#pragma once
// Offline capture to a video file (--capture): the show drawn on a virtual
// clock at the video's rate, every frame encoded, with the music played from
// the place the clock rule gives for --start and looping where its file ends.
//
//   CaptureSession::open(options, data, error)   decodes the music of `data`, opens the file;
//                          nullptr with `error` set when the file cannot be had
//   pacing(presenter)      the run's VideoPacing: each presented frame is read
//                          back from `presenter` and handed to the encoder
//                          with its share of the music
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

#include "gfx/presenter.h"
#include "shell/base/file_lookup.h"
#include "shell/options.h"
#include "shell/video/encoding_queue.h"
#include "shell/video/music_pcm.h"
#include "show/run_show.h"

class CaptureSession {
 public:
  static std::unique_ptr<CaptureSession> open(const Options& options, const DataFolder& data,
                                              std::string& error);

  VideoPacing pacing(Presenter& presenter);
  bool finish(bool interrupted);

 private:
  CaptureSession(const Options& options, std::optional<DecodedMusic> music,
                 std::unique_ptr<VideoFile> file);
  bool frame_done(long frame);
  bool write_sound_to(long frame);
  void show_progress(long frames, bool last);

  CaptureOptions capture_;
  int start_ms_;
  std::optional<DecodedMusic> music_;
  // The file, encoded on a thread of its own while the next frame is drawn.
  EncodingQueue queue_;
  double frame_ms_;
  long expected_frames_;
  // The music's sample frame where the video starts, and how many followed.
  long first_sample_ = 0;
  long samples_written_ = 0;
  Presenter* presenter_ = nullptr;
  std::vector<std::uint8_t> rgba_;
  std::chrono::steady_clock::time_point started_;
  std::chrono::steady_clock::time_point last_progress_;
  bool on_terminal_;
};
