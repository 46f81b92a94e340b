#include "shell/base/log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "shell/base/file_lookup.h"

namespace {
LogFile* current = nullptr;
}  // namespace

LogFile::LogFile(std::filesystem::path path) : path_(std::move(path)), previous_(current) {
  current = this;
}

LogFile::~LogFile() { current = previous_; }

void hold_log(bool hold) {
  if (current != nullptr) {
    current->held_ = hold;
  }
}

void write_log(const char* format, ...) {
  LogFile* log = current;
  if (log == nullptr || log->held_) {
    return;
  }
  std::FILE* file = std::fopen(log->path_.c_str(), "a+");
  if (file == nullptr) {
    // An unwritable folder drops the message and the show goes on; the user
    // hears of it once, not once a message.
    if (!log->told_) {
      log->told_ = true;
      const char* why = std::strerror(errno);
      std::fprintf(stderr, "plovermix: cannot write %s in %s (%s); the show runs without its log\n",
                   log->path_.filename().c_str(),
                   DataFolder(log->path_.parent_path()).shown().c_str(), why);
    }
    return;
  }
  va_list args;
  va_start(args, format);
  std::vfprintf(file, format, args);
  va_end(args);
  std::fclose(file);
}
