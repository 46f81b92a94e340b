#include "shell/options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

bool takes_value(const std::vector<std::string>& args, std::size_t i) {
  return i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0;
}

std::string absolute_path(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path made = std::filesystem::absolute(path, ignored);
  return made.empty() ? path : made.string();
}

// "0,1000,3500": whole milliseconds, 0 or more each.
bool parse_times(const std::string& text, std::vector<int>& times) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string item = text.substr(start, comma - start);
    char* end = nullptr;
    errno = 0;
    const long value = item.empty() ? -1 : std::strtol(item.c_str(), &end, 10);
    if (value < 0 || value > 2147483647L || errno != 0 || *end != '\0') {
      return false;
    }
    times.push_back(static_cast<int>(value));
    start = comma + 1;
  }
  return !times.empty();
}

// The viewing options; false with `error` set when one is malformed.
bool parse_viewing_option(const std::vector<std::string>& args, std::size_t& i,
                          ShowViewing& viewing, std::string& error) {
  const std::string& arg = args[i];
  if (arg == "--fixed-step") {
    viewing.fixed_step_ms = DEFAULT_FIXED_STEP_MS;
    if (takes_value(args, i)) {
      char* end = nullptr;
      const double step = std::strtod(args[i + 1].c_str(), &end);
      if (*end != '\0' || !std::isfinite(step) || step <= 0.0) {
        error = "--fixed-step needs a positive number of milliseconds, not '" + args[i + 1] + "'";
        return false;
      }
      viewing.fixed_step_ms = step;
      ++i;
    }
  } else if (arg == "--frames-at") {
    viewing.frames_at.clear();
    if (!takes_value(args, i) || !parse_times(args[i + 1], viewing.frames_at)) {
      error = "--frames-at needs show times in ms, as in --frames-at 0,1000,3500";
      return false;
    }
    ++i;
  } else if (arg == "--out" || arg == "--trace") {
    if (!takes_value(args, i)) {
      error = arg + (arg == "--out" ? " needs a folder" : " needs a file");
      return false;
    }
    (arg == "--out" ? viewing.out_dir : viewing.trace_file) = absolute_path(args[++i]);
  }
  return true;
}

bool is_viewing_option(const std::string& arg) {
  return arg == "--fixed-step" || arg == "--frames-at" || arg == "--out" || arg == "--trace";
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--windowed") {
      options.windowed = true;
    } else if (arg == "--data") {
      if (i + 1 >= args.size()) {
        error = "--data needs a folder";
        return std::nullopt;
      }
      options.data_dir = args[++i];
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (is_viewing_option(arg)) {
      if (!parse_viewing_option(args, i, options.viewing, error)) {
        return std::nullopt;
      }
    } else {
      error = "unknown option '" + arg + "'";
      return std::nullopt;
    }
  }
  if (options.viewing.frames_at.empty() != options.viewing.out_dir.empty()) {
    error = "--frames-at and --out go together";
    return std::nullopt;
  }
  return options;
}

std::string usage_text() {
  return "usage: plovermix [options]\n"
         "Plays the show from the data files in the working directory (or --data DIR).\n"
         "\n"
         "  --windowed     an 800 x 600 window instead of full screen\n"
         "  --data DIR     the folder holding the show's files; it becomes the working\n"
         "                 directory, so plovermix.log is written there\n"
         "  --fixed-step [MS]  a virtual clock that advances MS per presented frame\n"
         "                 (default 1000/60), with no waiting\n"
         "  --frames-at T1,T2,... --out DIR\n"
         "                 write the first frame at or past each show time Ti (ms) as\n"
         "                 DIR/frame-Ti.png, then end (virtual clock)\n"
         "  --trace FILE   every frame, device call and sprite draw as JSON lines\n"
         "  --help         this text\n"
         "  --version      the version\n";
}
