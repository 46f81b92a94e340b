#include "shell/base/log.h"

#include <cstdarg>
#include <cstdio>

void write_log(const char* format, ...) {
  std::FILE* file = std::fopen("plovermix.log", "a+");
  if (file == nullptr) {
    return;  // an unwritable folder drops the message: the show goes on
  }
  va_list args;
  va_start(args, format);
  std::vfprintf(file, format, args);
  va_end(args);
  std::fclose(file);
}
