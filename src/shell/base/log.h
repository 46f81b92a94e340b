#pragma once
// Diagnostic lines appended to the log file, "plovermix.log" in the data folder
// unless the program names another. Each call opens, writes and closes the
// file, so a message is on disk at once. Callers' formats begin with "\n";
// nothing is added.
//
//   LogFile log(path)    write_log appends to `path` while `log` lives (the
//                        show's one log, as `device` is its one device); with
//                        none alive, messages are dropped
//   write_log(format, ...)
//   hold_log(hold)       while held, messages are dropped: frames replayed for
//                        a seek say nothing the run has not said

#include <filesystem>

class LogFile {
 public:
  explicit LogFile(std::filesystem::path path);
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

 private:
  friend void write_log(const char* format, ...);
  friend void hold_log(bool hold);

  std::filesystem::path path_;
  LogFile* previous_;
  bool held_ = false;
  bool told_ = false;
};

void write_log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void hold_log(bool hold);
