#pragma once
// What a video capture is asked for (--capture and its settings).

#include <optional>
#include <string>

struct CaptureSettings {
  std::string file;  // empty: no capture
  int fps_num = 60, fps_den = 1;
  std::optional<int> end_ms;  // unset: the show's end
  int crf = 18;
  std::string preset = "veryfast";  // libx264's
};
