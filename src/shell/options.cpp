#include "shell/options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "audio/music_stream.h"

namespace {

bool takes_value(const std::vector<std::string>& args, std::size_t i) {
  return i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0;
}

std::string absolute_path(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path made = std::filesystem::absolute(path, ignored);
  return made.empty() ? path : made.string();
}

// A whole number from `low` to `high`, all of `text`, digits only.
std::optional<int> parse_whole(const std::string& text, long low, long high) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high) {
    return std::nullopt;
  }
  return static_cast<int>(value);
}

// "0,1000,3500": whole milliseconds, 0 or more each.
bool parse_times(const std::string& text, std::vector<int>& times) {
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::optional<int> value = parse_whole(text.substr(start, comma - start), 0, 2147483647L);
    if (!value) {
      return false;
    }
    times.push_back(*value);
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
      // A step of one music pass or more would wrap the clock at every frame:
      // the show would stand still or jump about.
      if (step >= MUSIC_PASS_MS) {
        error = "--fixed-step must be shorter than one pass of the music (" +
                std::to_string(static_cast<int>(MUSIC_PASS_MS)) + " ms), not '" + args[i + 1] + "'";
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
  } else if (arg == "--steps-per-second") {
    const std::optional<int> steps =
        takes_value(args, i) ? parse_whole(args[i + 1], 1, 1000) : std::nullopt;
    if (!steps) {
      error = "--steps-per-second needs a whole number from 1 to 1000";
      return false;
    }
    viewing.steps_per_second = *steps;
    ++i;
  } else if (arg == "--original-pacing") {
    viewing.original_pacing = true;
  } else if (arg == "--mute") {
    viewing.mute = true;
  }
  return true;
}

bool is_viewing_option(const std::string& arg) {
  for (const char* name : {"--fixed-step", "--frames-at", "--out", "--trace", "--steps-per-second",
                           "--original-pacing", "--mute"}) {
    if (arg == name) {
      return true;
    }
  }
  return false;
}

// --windowed [WxH] and --render-size WxH; false with `error` set when malformed.
bool parse_size_option(const std::vector<std::string>& args, std::size_t& i, Options& options,
                       std::string& error) {
  const std::string& arg = args[i];
  const bool windowed = arg == "--windowed";
  if (windowed) {
    options.windowed = true;
    if (!takes_value(args, i)) {
      return true;  // the size is optional
    }
  }
  const std::optional<PixelSize> size =
      takes_value(args, i) ? parse_pixel_size(args[i + 1]) : std::nullopt;
  if (!size) {
    error = arg + " needs a size in pixels, as in " + arg + " 1280x960";
    return false;
  }
  (windowed ? options.window_size : options.render_size.emplace()) = *size;
  ++i;
  return true;
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--windowed" || arg == "--render-size") {
      if (!parse_size_option(args, i, options, error)) {
        return std::nullopt;
      }
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

std::optional<PixelSize> parse_pixel_size(const std::string& text) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) {
    return std::nullopt;
  }
  const std::optional<int> width = parse_whole(text.substr(0, x), 1, 16384);
  const std::optional<int> height = parse_whole(text.substr(x + 1), 1, 16384);
  if (!width || !height) {
    return std::nullopt;
  }
  return PixelSize{*width, *height};
}

std::string usage_text() {
  return "usage: plovermix [options]\n"
         "Plays the show from the data files in the working directory (or --data DIR).\n"
         "\n"
         "  --windowed [WxH]  a resizable window (default 800x600) instead of full screen\n"
         "  --render-size WxH  the size the show is drawn at (default: the picture's\n"
         "                 size on screen; 800x600 on a virtual clock); a machine too\n"
         "                 slow for it falls back to 800x600\n"
         "  --data DIR     the folder holding the show's files; it becomes the working\n"
         "                 directory, so plovermix.log is written there\n"
         "  --fixed-step [MS]  a virtual clock that advances MS per presented frame\n"
         "                 (default 1000/60), with no waiting\n"
         "  --frames-at T1,T2,... --out DIR\n"
         "                 write the first frame at or past each show time Ti (ms) as\n"
         "                 DIR/frame-Ti.png, then end (virtual clock)\n"
         "  --trace FILE   every frame, device call and sprite draw as JSON lines\n"
         "  --steps-per-second N  frame bodies per second of show time (default 60),\n"
         "                 the same on every display\n"
         "  --original-pacing  one frame body per present, as in 2002: the show's\n"
         "                 speed then follows the display's refresh\n"
         "  --mute         the music at volume 0; the show still keeps to it\n"
         "  --help         this text\n"
         "  --version      the version\n"
         "\n"
         "Keys: Escape ends the show (so does closing the window); Space pauses and\n"
         "resumes; F11 or Alt+Enter toggles full screen.\n";
}
