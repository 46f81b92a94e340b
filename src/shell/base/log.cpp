#include "shell/base/log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {
bool held = false;
}  // namespace

void hold_log(bool hold) { held = hold; }

void write_log(const char* format, ...) {
  if (held) {
    return;
  }
  std::FILE* file = std::fopen("plovermix.log", "a+");
  if (file == nullptr) {
    // An unwritable folder drops the message and the show goes on; the user
    // hears of it once, not once a message.
    static bool told = false;
    if (!told) {
      told = true;
      const char* why = std::strerror(errno);
      std::error_code ignored;
      std::fprintf(
          stderr,
          "plovermix: cannot write plovermix.log in %s (%s); the show runs without its log\n",
          std::filesystem::current_path(ignored).c_str(), why);
    }
    return;
  }
  va_list args;
  va_start(args, format);
  std::vfprintf(file, format, args);
  va_end(args);
  std::fclose(file);
}
