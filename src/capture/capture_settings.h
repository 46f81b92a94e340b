#pragma once
// What a video capture is asked for (--capture and its settings).

#include <optional>
#include <string>

enum class VideoCodec { h264, ffv1 };

struct CaptureSettings {
  std::string file;  // empty: no capture; ending in '/': a folder of PNG frames
  int fps_num = 60, fps_den = 1;
  std::optional<int> end_ms;  // unset: the show's end
  VideoCodec codec = VideoCodec::h264;
  int crf = 18;
  std::string preset = "veryfast";  // libx264's
  // Each frame drawn at this many times the video's size, then averaged down.
  int supersample = 1;

  bool into_folder() const { return !file.empty() && file.back() == '/'; }
};
