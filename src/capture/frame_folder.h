#pragma once
// A capture into a folder (--capture DIR/): each picture as a PNG named by its
// number, 000000.png, 000001.png, ..., which tools read back as a sequence
// (ffmpeg -framerate R -i DIR/%06d.png), and the sound beside them as
// music.wav, 16-bit stereo PCM at 44100 Hz.
//
//   open(dir, audio, error)   makes the folder; nullptr with `error` set when it
//                             cannot be made or written into
//   As a FrameSink: a picture is written at the size it comes in.

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "capture/frame_sink.h"

class FrameFolder : public FrameSink {
 public:
  static constexpr int SOUND_RATE = 44100;

  static std::unique_ptr<FrameFolder> open(const std::string& dir, bool audio, std::string& error);
  ~FrameFolder() override;
  FrameFolder(const FrameFolder&) = delete;
  FrameFolder& operator=(const FrameFolder&) = delete;

  bool write_frame(const std::uint8_t* rgba, int width, int height) override;
  bool write_audio(const float* interleaved_stereo, long frames) override;
  bool finish(std::string& error) override;
  long frames_written() const override { return frames_; }
  const std::string& error() const override { return error_; }

 private:
  explicit FrameFolder(std::filesystem::path dir) : dir_(std::move(dir)) {}
  bool fail(std::string text);

  std::filesystem::path dir_;
  std::FILE* wav_ = nullptr;
  long frames_ = 0;
  long sound_frames_ = 0;
  bool lost_ = false;
  bool finished_ = false;
  std::string error_;
};
