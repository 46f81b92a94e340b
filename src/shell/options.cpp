#include "shell/options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "audio/music_stream.h"
#include "show/seek.h"

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

// "60", "60000/1001": a positive rate of at most 1000 frames per second.
bool parse_rate(const std::string& text, CaptureOptions& capture) {
  const std::size_t slash = text.find('/');
  const std::optional<int> num = parse_whole(text.substr(0, slash), 1, 1000000);
  const std::optional<int> den =
      slash == std::string::npos ? 1 : parse_whole(text.substr(slash + 1), 1, 1000000);
  if (!num || !den || *num > 1000L * *den) {
    return false;
  }
  capture.fps_num = *num;
  capture.fps_den = *den;
  return true;
}

// libx264's presets, fastest first.
constexpr const char* X264_PRESETS[] = {"ultrafast", "superfast", "veryfast", "faster",  "fast",
                                        "medium",    "slow",      "slower",   "veryslow"};

// --capture FILE, --fps, --end, --crf, --preset; false with `error` set when malformed.
bool parse_capture_option(const std::vector<std::string>& args, std::size_t& i,
                          CaptureOptions& capture, std::string& error) {
  const std::string& arg = args[i];
  const std::string value = takes_value(args, i) ? args[i + 1] : std::string();
  bool ok = !value.empty();
  if (arg == "--capture") {
    if (ok) {
      capture.file = absolute_path(value);
    } else {
      error = "--capture needs a file, as in --capture show.mp4";
    }
  } else if (arg == "--fps") {
    ok = ok && parse_rate(value, capture);
    if (!ok) {
      error = "--fps needs frames per second, as in --fps 60 or --fps 60000/1001";
    }
  } else if (arg == "--end") {
    capture.end_ms = parse_show_time(value);
    ok = ok && capture.end_ms && *capture.end_ms > 0;
    if (!ok) {
      error = "--end needs a show time after 0, in ms or as m:ss.mmm";
    }
  } else if (arg == "--preset") {
    ok = std::find(std::begin(X264_PRESETS), std::end(X264_PRESETS), value) !=
         std::end(X264_PRESETS);
    if (ok) {
      capture.preset = value;
    } else {
      error =
          "--preset needs an x264 preset: ultrafast, superfast, veryfast, faster, fast, medium, "
          "slow, slower or veryslow";
    }
  } else {
    const std::optional<int> crf = ok ? parse_whole(value, 0, 51) : std::nullopt;
    ok = crf.has_value();
    capture.crf = crf.value_or(capture.crf);
    if (!ok) {
      error = "--crf needs a quality from 0 (lossless) to 51 (worst)";
    }
  }
  i += ok ? 1 : 0;
  return ok;
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
  } else if (arg == "--start") {
    const std::optional<int> start =
        takes_value(args, i) ? parse_show_time(args[i + 1]) : std::nullopt;
    if (!start || *start > SHOW_END_MS) {
      error = "--start needs a show time from 0 to 4:00, in ms or as m:ss.mmm";
      return false;
    }
    viewing.start_ms = *start;
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
                           "--start", "--original-pacing", "--mute"}) {
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
    } else if (arg == "--capture" || arg == "--fps" || arg == "--end" || arg == "--crf" ||
               arg == "--preset") {
      if (!parse_capture_option(args, i, options.capture, error)) {
        return std::nullopt;
      }
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
  const CaptureOptions& capture = options.capture;
  if (capture.file.empty() &&
      (capture.end_ms || capture.crf != CaptureOptions{}.crf ||
       capture.preset != CaptureOptions{}.preset || capture.fps_num != CaptureOptions{}.fps_num ||
       capture.fps_den != CaptureOptions{}.fps_den)) {
    error = "--fps, --end, --crf and --preset go with --capture";
    return std::nullopt;
  }
  if (capture.end_ms && *capture.end_ms <= options.viewing.start_ms) {
    error = "--end must come after --start";
    return std::nullopt;
  }
  return options;
}

std::optional<int> parse_show_time(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos) {
    return parse_whole(text, 0, 2147483647L);
  }
  const std::size_t dot = text.find('.', colon);
  const std::string seconds = text.substr(colon + 1, dot - colon - 1);
  const std::string millis = dot == std::string::npos ? "0" : text.substr(dot + 1);
  const std::optional<int> m = parse_whole(text.substr(0, colon), 0, 35000);
  const std::optional<int> s = seconds.size() == 2 ? parse_whole(seconds, 0, 59) : std::nullopt;
  const std::optional<int> ms = millis.size() <= 3 ? parse_whole(millis, 0, 999) : std::nullopt;
  if (!m || !s || !ms) {
    return std::nullopt;
  }
  // ".5" is half a second: the digits are a decimal fraction.
  const int scale = millis.size() == 1 ? 100 : millis.size() == 2 ? 10 : 1;
  return (*m * 60 + *s) * 1000 + *ms * scale;
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
         "  --start T      start at show time T (ms, or m:ss.mmm), exactly as a run\n"
         "                 from the beginning would be there\n"
         "  --capture FILE  render the show to a video (.mp4: H.264 and AAC; .mkv),\n"
         "                 offline, with the music, then end\n"
         "  --fps R        the capture's frames per second (default 60; 60000/1001)\n"
         "  --end T        where the capture ends (default: the show's end)\n"
         "  --crf Q        the capture's H.264 quality, 0 (lossless) to 51 (default 18)\n"
         "  --preset P     the H.264 encoder's preset, ultrafast to veryslow\n"
         "                 (default veryfast): slower ones make smaller files\n"
         "  --help         this text\n"
         "  --version      the version\n"
         "\n"
         "Keys: Escape ends the show (so does closing the window); Space pauses and\n"
         "resumes; F11 or Alt+Enter toggles full screen; Left and Right seek 10 s back\n"
         "and forth, PageUp and PageDown go to the previous and next scene, Home to\n"
         "the start.\n";
}
