#include "capture/av_support.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

void quiet_ffmpeg_log() {
  static const bool quiet = [] {
    av_log_set_level(AV_LOG_ERROR);
    return true;
  }();
  (void)quiet;
}

std::string av_error_text(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}
