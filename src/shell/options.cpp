#include "shell/options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>

#include "audio/music_stream.h"
#include "show/seek.h"
#include "show/time_text.h"

namespace {

std::string absolute_path(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path made = std::filesystem::absolute(path, ignored);
  return made.empty() ? path : made.string();
}

// "60", "60000/1001": a positive rate of at most 1000 frames per second.
bool parse_rate(const std::string& text, CaptureSettings& capture) {
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

// The largest side of a window or a back buffer.
constexpr int MAX_SIDE = 16384;

// libx264's presets, fastest first.
constexpr const char* X264_PRESETS[] = {"ultrafast", "superfast", "veryfast", "faster",  "fast",
                                        "medium",    "slow",      "slower",   "veryslow"};

// Where descriptions in --help end: the widest option with its value fits
// before them, and a line stays within 79 characters.
constexpr std::size_t OPTION_COLUMN = 26;
constexpr std::size_t HELP_WIDTH = 79;

constexpr const char* KEYS =
    "Keys: Escape ends the show (so does closing the window); Space pauses and\n"
    "resumes; F11 or Alt+Enter toggles full screen; Left and Right seek 10 s back\n"
    "and forth, PageUp and PageDown go to the previous and next scene, Home to\n"
    "the start; F12 or S writes a screenshot; F1 shows the keys on the display.";

// `text` with a line break wherever the next word would pass `width`.
std::string wrapped(const std::string& text, std::size_t width) {
  std::istringstream words(text);
  std::string out;
  std::size_t line = 0;
  for (std::string word; words >> word;) {
    if (line > 0 && line + 1 + word.size() > width) {
      out += '\n';
      line = 0;
    } else if (line > 0) {
      out += ' ';
      ++line;
    }
    out += word;
    line += word.size();
  }
  return out;
}

// CLI11's layout of --help; this CLI11 leaves long descriptions on one line.
class HelpFormatter : public CLI::Formatter {
 public:
  HelpFormatter() { column_width(OPTION_COLUMN); }
  std::string make_option_desc(const CLI::Option* option) const override {
    return wrapped(option->get_description(), HELP_WIDTH - OPTION_COLUMN);
  }
};

// Refuses the command line; CLI11's own refusals are ParseErrors too.
[[noreturn]] void refuse(const std::string& message) { throw CLI::ValidationError(message); }

// Reads an option's value into the options; false when the value is not one.
using ValueReader = std::function<bool(const std::string& value)>;

// An option with a value, read as it comes, so that a later one wins. CLI11
// takes the value as optional: the option followed by nothing or by another
// option ("--...") reads "", which an optional value's reader accepts and a
// required one's refuses. A value refused is "NAME needs WHAT".
CLI::Option* add_value(CLI::App& app, const std::string& name, const std::string& value_name,
                       const std::string& help, const std::string& needs, ValueReader read) {
  const auto take = [name, needs, read = std::move(read)](const std::string& value) {
    if (!read(value)) {
      refuse(name + " needs " + needs);
    }
  };
  return app.add_option_function<std::string>(name, take, help)
      ->type_name(value_name)
      ->expected(0, 1)
      ->trigger_on_parse();
}

// Stores `value` where there is one.
template <typename T>
bool set(T& into, const std::optional<T>& value) {
  if (value) {
    into = *value;
  }
  return value.has_value();
}

// A path made absolute, as messages name it.
ValueReader absolute_path_into(std::string& path) {
  return [&path](const std::string& text) {
    path = absolute_path(text);
    return !text.empty();
  };
}

// --fixed-step [MS]: the default step when MS is not given.
bool read_fixed_step(const std::string& text, ShowViewing& viewing) {
  viewing.fixed_step_ms = DEFAULT_FIXED_STEP_MS;
  if (text.empty()) {
    return true;
  }
  char* end = nullptr;
  const double step = std::strtod(text.c_str(), &end);
  if (*end != '\0' || !std::isfinite(step) || step <= 0.0) {
    return false;
  }
  // A step of one music pass or more would wrap the clock at every frame:
  // the show would stand still or jump about.
  if (step >= MUSIC_PASS_MS) {
    refuse("--fixed-step must be shorter than one pass of the music (" +
           std::to_string(static_cast<int>(MUSIC_PASS_MS)) + " ms), not '" + text + "'");
  }
  viewing.fixed_step_ms = step;
  return true;
}

void add_place_options(CLI::App& app, Options& options) {
  app.option_defaults()->group("Window and data");
  add_value(app, "--windowed", "[WxH]",
            "a resizable window (default 800x600) instead of full screen",
            "a size in pixels, as in --windowed 1280x960", [&options](const std::string& text) {
              options.windowed = true;
              return text.empty() || set(options.window_size, parse_pixel_size(text));
            });
  add_value(app, "--render-size", "WxH",
            "the size the show is drawn at (default: the picture's size on screen; 800x600 on a "
            "virtual clock); a machine too slow for it falls back to 800x600",
            "a size in pixels, as in --render-size 1280x960", [&options](const std::string& text) {
              options.render_size = parse_pixel_size(text);
              return options.render_size.has_value();
            });
  add_value(app, "--data", "DIR",
            "the folder holding the show's files, where plovermix.log is written too", "a folder",
            [&options](const std::string& text) {
              options.data_dir = text;
              return !text.empty();
            });
  add_value(app, "--msaa", "N",
            "draw with N samples a pixel (2, 4 or 8, where the driver offers them), for edges "
            "without steps",
            "a sample count: 2, 4 or 8", [&options](const std::string& text) {
              options.msaa = text == "2" ? 2 : text == "4" ? 4 : text == "8" ? 8 : 1;
              return options.msaa > 1;
            });
  add_value(app, "--vsync", "on|off",
            "presents wait for the display's refresh (on, the default), or come as the show's "
            "60-per-second grid wants them (off)",
            "on or off", [&options](const std::string& text) {
              options.vsync = text == "on";
              return text == "on" || text == "off";
            });
  app.add_flag_callback(
      "--no-osd", [&options] { options.osd = false; },
      "no on-screen display (time, scene and timeline after a seek, a pause or a key)");
  add_value(app, "--screenshot-dir", "DIR",
            "where F12 and S write screenshots (default: the pictures folder, else the home "
            "folder)",
            "a folder", absolute_path_into(options.screenshot_dir));
}

void add_playing_options(CLI::App& app, ShowViewing& viewing) {
  app.option_defaults()->group("Playing");
  add_value(app, "--steps-per-second", "N",
            "frame bodies per second of show time (default 60), the same on every display",
            "a whole number from 1 to 1000", [&viewing](const std::string& text) {
              return set(viewing.steps_per_second, parse_whole(text, 1, 1000));
            });
  app.add_flag("--original-pacing", viewing.original_pacing,
               "one frame body per present, as in 2002: the show's speed then follows the "
               "display's refresh");
  app.add_flag("--mute", viewing.mute, "the music at volume 0; the show still keeps to it");
  add_value(app, "--loop", "[N]",
            "after the end the show starts again from the beginning; N passes in all (the "
            "first counts), else until Escape",
            "a number of passes from 1 to 1000000", [&viewing](const std::string& text) {
              viewing.passes = 0;
              return text.empty() || set(viewing.passes, parse_whole(text, 1, 1000000));
            });
  add_value(app, "--start", "T",
            "start at show time T (ms, or m:ss.mmm), exactly as a run from the beginning would "
            "be there",
            "a show time from 0 to 4:00, in ms or as m:ss.mmm",
            [&viewing](const std::string& text) {
              const std::optional<int> start = parse_show_time(text);
              return start && *start <= SHOW_END_MS && set(viewing.start_ms, start);
            });
}

void add_checking_options(CLI::App& app, Options& options) {
  ShowViewing& viewing = options.viewing;
  app.option_defaults()->group("Frames and traces");
  add_value(app, "--fixed-step", "[MS]",
            "a virtual clock that advances MS per presented frame (default 1000/60), with no "
            "waiting",
            "a positive number of milliseconds",
            [&viewing](const std::string& text) { return read_fixed_step(text, viewing); });
  add_value(app, "--frames-at", "T1,T2,...",
            "with --out: write the first frame at or past each show time Ti (ms) as "
            "DIR/frame-Ti.png, then end (virtual clock)",
            "show times in ms, as in --frames-at 0,1000,3500", [&options](const std::string& text) {
              options.frames_at.clear();
              return parse_times(text, options.frames_at);
            });
  add_value(app, "--out", "DIR", "the folder for the frames of --frames-at", "a folder",
            absolute_path_into(options.out_dir));
  add_value(app, "--trace", "FILE", "every frame, device call and sprite draw as JSON lines",
            "a file", absolute_path_into(viewing.trace_file));
}

// --capture FILE, and its settings, which are returned.
std::vector<CLI::Option*> add_capture_options(CLI::App& app, CaptureSettings& capture) {
  app.option_defaults()->group("Capture to video");
  add_value(app, "--capture", "FILE",
            "render the show to a video (.mp4: H.264 and AAC; .mkv), offline, with the music, "
            "then end; DIR/: a PNG per frame and music.wav",
            "a file, as in --capture show.mp4", [&capture](const std::string& text) {
              // absolute() keeps the slash that asks for a folder.
              capture.file = absolute_path(text);
              return !text.empty();
            });
  return {
      add_value(app, "--fps", "R", "the capture's frames per second (default 60; 60000/1001)",
                "frames per second, as in --fps 60 or --fps 60000/1001",
                [&capture](const std::string& text) { return parse_rate(text, capture); }),
      add_value(app, "--end", "T", "where the capture ends (default: the show's end)",
                "a show time after 0, in ms or as m:ss.mmm",
                [&capture](const std::string& text) {
                  capture.end_ms = parse_show_time(text);
                  return capture.end_ms && *capture.end_ms > 0;
                }),
      add_value(app, "--codec", "C",
                "the capture's video codec: h264 (default) or ffv1 (lossless, in .mkv, with "
                "FLAC sound)",
                "h264 or ffv1",
                [&capture](const std::string& text) {
                  capture.codec = text == "ffv1" ? VideoCodec::ffv1 : VideoCodec::h264;
                  return text == "ffv1" || text == "h264";
                }),
      add_value(app, "--crf", "Q", "the capture's H.264 quality, 0 (lossless) to 51 (default 18)",
                "a quality from 0 (lossless) to 51 (worst)",
                [&capture](const std::string& text) {
                  return set(capture.crf, parse_whole(text, 0, 51));
                }),
      add_value(app, "--preset", "P",
                "the H.264 encoder's preset, ultrafast to veryslow (default veryfast): slower "
                "ones make smaller files",
                "an x264 preset: ultrafast, superfast, veryfast, faster, fast, medium, slow, "
                "slower or veryslow",
                [&capture](const std::string& text) {
                  const bool known = std::find(std::begin(X264_PRESETS), std::end(X264_PRESETS),
                                               text) != std::end(X264_PRESETS);
                  if (known) {
                    capture.preset = text;
                  }
                  return known;
                }),
      add_value(app, "--supersample", "N",
                "draw each captured frame at N times its size (2 to 4) and average it down: "
                "edges without steps",
                "a whole number from 2 to 4",
                [&capture](const std::string& text) {
                  return set(capture.supersample, parse_whole(text, 2, 4));
                }),
  };
}

// The command line, each option once with its help; parsing it fills `options`.
std::unique_ptr<CLI::App> command_line(Options& options) {
  auto app = std::make_unique<CLI::App>(
      "Plays the show from the data files in the working directory (or --data DIR).", "plovermix");
  app->formatter(std::make_shared<HelpFormatter>());
  app->footer(KEYS);
  app->set_help_flag();  // --help is a flag like the others: the caller prints the text
  app->allow_extras();   // left over for the check below, which words the message
  app->add_flag("-h,--help", options.help, "this text");
  app->add_flag("--version", options.version, "the version");
  add_place_options(*app, options);
  add_playing_options(*app, options.viewing);
  add_checking_options(*app, options);
  const std::vector<CLI::Option*> capture_settings = add_capture_options(*app, options.capture);

  // The combinations, once every option is read.
  app->callback([&line = *app, &options, capture_settings] {
    if (const std::vector<std::string> unknown = line.remaining(); !unknown.empty()) {
      refuse("unknown option '" + unknown.front() + "'");
    }
    if (!options.vsync && options.viewing.original_pacing) {
      refuse("--vsync off goes without --original-pacing, whose speed would then have no bound");
    }
    if (options.frames_at.empty() != options.out_dir.empty()) {
      refuse("--frames-at and --out go together");
    }
    const CaptureSettings& capture = options.capture;
    if (capture.file.empty() &&
        std::any_of(capture_settings.begin(), capture_settings.end(),
                    [](const CLI::Option* setting) { return setting->count() > 0; })) {
      refuse("--fps, --end, --codec, --crf, --preset and --supersample go with --capture");
    }
    const bool h264_settings = line.count("--crf") > 0 || line.count("--preset") > 0;
    if (capture.codec == VideoCodec::ffv1 && h264_settings) {
      refuse("--crf and --preset are H.264's; FFV1 is lossless and has neither");
    }
    if (capture.into_folder() && (h264_settings || line.count("--codec") > 0)) {
      refuse("--codec, --crf and --preset are for a video file, not a folder of PNG frames");
    }
    const PixelSize drawn = options.render_size.value_or(PixelSize{});
    if (std::max(drawn.width, drawn.height) * capture.supersample > MAX_SIDE) {
      refuse("--supersample " + std::to_string(capture.supersample) + " would draw past " +
             std::to_string(MAX_SIDE) + " pixels a side; ask for a smaller --render-size");
    }
    if (options.viewing.passes != 1 && (!capture.file.empty() || !options.frames_at.empty())) {
      refuse("--loop goes with neither --capture nor --frames-at, which end with the show");
    }
    if (capture.end_ms && *capture.end_ms <= options.viewing.start_ms) {
      refuse("--end must come after --start");
    }
  });
  return app;
}

}  // namespace

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
  Options options;
  const std::unique_ptr<CLI::App> app = command_line(options);
  std::vector<std::string> last_first(args.rbegin(), args.rend());  // as CLI11 takes them
  try {
    app->parse(last_first);
  } catch (const CLI::ParseError& refused) {
    error = refused.what();
    return std::nullopt;
  }
  return options;
}

std::optional<PixelSize> parse_pixel_size(const std::string& text) {
  const std::size_t x = text.find('x');
  if (x == std::string::npos) {
    return std::nullopt;
  }
  const std::optional<int> width = parse_whole(text.substr(0, x), 1, MAX_SIDE);
  const std::optional<int> height = parse_whole(text.substr(x + 1), 1, MAX_SIDE);
  if (!width || !height) {
    return std::nullopt;
  }
  return PixelSize{*width, *height};
}

std::string usage_text() {
  Options unread;
  return command_line(unread)->help();
}
