#pragma once
// Where a capture's pictures and sound go, in the order given: a video file
// (VideoFile) or a folder of PNG frames beside a WAV (FrameFolder).
//
//   write_frame   one picture: RGBA, top row first, rows tightly packed
//   write_audio   interleaved stereo float at 44100 Hz, any amount at a time
//   finish        completes what was written; later calls give the first
//                 call's answer. false when anything was lost on the way
//   frames_written, error   pictures written so far; the last failure's text
//
// to_pcm16(x) is the one rule by which float sound becomes 16-bit samples
// (FLAC, WAV): libswresample's, round(x * 32768) clipped to the 16-bit range.

#include <cmath>
#include <cstdint>
#include <string>

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  virtual bool write_frame(const std::uint8_t* rgba, int width, int height) = 0;
  virtual bool write_audio(const float* interleaved_stereo, long frames) = 0;
  virtual bool finish(std::string& error) = 0;
  virtual long frames_written() const = 0;
  virtual const std::string& error() const = 0;
};

inline std::int16_t to_pcm16(float sample) {
  const long scaled = std::lrint(sample * 32768.0f);
  return static_cast<std::int16_t>(scaled > 32767 ? 32767 : scaled < -32768 ? -32768 : scaled);
}
