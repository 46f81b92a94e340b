#pragma once
// A video file written offline, in the container that the file's extension
// names (.mp4 or .mkv): H.264 through libx264 with AAC sound, or, for
// archives, lossless FFV1 in RGB (bgr0: the pictures' own bytes) with FLAC
// sound, in .mkv only. An MP4 is only playable once finish() has written its
// index, which it moves to the front (movflags +faststart) so that a browser
// plays the file while it downloads; a capture that is cut short (Ctrl-C) must
// still call finish().
//
//   open          nullptr with `error` set: settings out of range, a container
//                 that cannot hold the codecs, a file that cannot be created,
//                 a missing encoder
//   write_frame   one picture: RGBA, top row first, rows tightly packed; a size
//                 other than the settings' is scaled to it
//   write_audio   interleaved stereo at settings.audio_rate, any amount at a time
//   finish        encodes what the encoders still hold (the last sound padded),
//                 writes the index and closes the file; later calls give the
//                 first call's answer, and the destructor calls it when not done.
//                 false when any frame or sound was lost on the way, or when no
//                 picture was written: that file is removed, being unreadable
//   error         the last failure's text

#include <cstdint>
#include <memory>
#include <string>

#include "capture/capture_settings.h"
#include "capture/frame_sink.h"

struct VideoSettings {
  VideoCodec codec = VideoCodec::h264;
  int width = 800, height = 600;
  int fps_num = 60, fps_den = 1;
  int crf = 18;  // libx264's settings
  std::string preset = "veryfast";
  bool audio = true;
  int audio_rate = 44100;
  int audio_bitrate = 192000;
};

class VideoFile : public FrameSink {
 public:
  static std::unique_ptr<VideoFile> open(const std::string& path, const VideoSettings& settings,
                                         std::string& error);
  ~VideoFile() override;
  VideoFile(const VideoFile&) = delete;
  VideoFile& operator=(const VideoFile&) = delete;

  bool write_frame(const std::uint8_t* rgba, int width, int height) override;
  bool write_audio(const float* interleaved_stereo, long frames) override;
  bool finish(std::string& error) override;
  long frames_written() const override;
  const std::string& error() const override;

 private:
  struct Impl;
  explicit VideoFile(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};
