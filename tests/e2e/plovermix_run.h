#pragma once
// Running the built program on a data folder, as the end-to-end tests do,
// and reading what the sanitizers said about the run.

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace e2e {

namespace fs = std::filesystem;

inline int run_plovermix(const fs::path& data, const std::string& arguments) {
  // Under the sanitizer build a leak report must not decide the exit status:
  // sanitizer_findings reads the report instead.
  const std::string command =
      "LSAN_OPTIONS=exitcode=0 " PLOVERMIX_BINARY_DIR "/plovermix --windowed --data '" +
      data.string() + "' " + arguments + " > '" + (data / "output.txt").string() + "' 2>&1";
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

inline std::string read_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Writes our stand-in data into `dir` with the built showdata; "" when done,
// else what showdata said.
inline std::string write_stand_in_data(const fs::path& dir) {
  fs::create_directories(dir);
  const fs::path said = dir / "showdata.txt";
  const std::string command =
      PLOVERMIX_BINARY_DIR "/showdata '" + dir.string() + "' > '" + said.string() + "' 2>&1";
  if (std::system(command.c_str()) == 0) {
    return {};
  }
  std::string why = "showdata failed: ";
  why += read_text(said);
  return why;
}

// What the sanitizers found in our code: every error report but leaks whose
// stacks never pass through our sources (the GL driver's own, from modules
// already unloaded at exit).
inline std::string sanitizer_findings(const std::string& output) {
  std::string findings;
  std::istringstream lines(output);
  std::string line, block;
  bool in_leak = false;
  const auto flush = [&] {
    if (in_leak && block.find(PLOVERMIX_SOURCE_DIR) != std::string::npos) findings += block;
    block.clear();
    in_leak = false;
  };
  while (std::getline(lines, line)) {
    if (line.find("leak of") != std::string::npos) {
      flush();
      in_leak = true;
    }
    if (in_leak) {
      block += line + "\n";
      if (line.empty()) flush();
    } else if (line.find("runtime error") != std::string::npos ||
               line.find("ERROR: AddressSanitizer") != std::string::npos) {
      findings += line + "\n";
    }
  }
  flush();
  return findings;
}

}  // namespace e2e
