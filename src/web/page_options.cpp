#include "web/page_options.h"

#include "show/seek.h"
#include "show/time_text.h"

namespace {

struct Parameter {
  std::string name;
  std::string value;
};

Parameter split(const std::string& text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) {
    return {text, ""};
  }
  return {text.substr(0, equals), text.substr(equals + 1)};
}

// "1000,25000": each time with its text; false when any is not a whole ms.
bool read_frames(const std::string& text, std::vector<FrameAsked>& frames) {
  std::vector<int> times;
  if (!parse_times(text, times)) {
    return false;
  }
  std::size_t start = 0;
  for (const int t : times) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    frames.push_back({t, text.substr(start, comma - start)});
    start = comma + 1;
  }
  return true;
}

}  // namespace

std::optional<PageOptions> parse_page_options(const std::vector<std::string>& parameters,
                                              std::string& error,
                                              std::vector<std::string>& ignored) {
  PageOptions options;
  for (const std::string& text : parameters) {
    const auto [name, value] = split(text);
    if (name == "fixed-step") {
      options.viewing.fixed_step_ms = DEFAULT_FIXED_STEP_MS;
    } else if (name == "own") {
      options.own_files = true;
    } else if (name == "autoplay") {
      // The page's own: it started the show without waiting for a gesture.
    } else if (name == "mute") {
      options.viewing.mute = true;
    } else if (name == "steps-per-second") {
      const std::optional<int> steps = parse_whole(value, 1, 1000);
      if (!steps) {
        error = "steps-per-second needs a whole number from 1 to 1000";
        return std::nullopt;
      }
      options.viewing.steps_per_second = *steps;
    } else if (name == "trace") {
      options.trace = true;
    } else if (name == "frames-at") {
      options.frames_at.clear();
      if (!read_frames(value, options.frames_at)) {
        error = "frames-at needs show times in ms, as in frames-at=0,1000,3500";
        return std::nullopt;
      }
      options.viewing.fixed_step_ms = DEFAULT_FIXED_STEP_MS;
    } else if (name == "start") {
      const std::optional<int> start = parse_show_time(value);
      if (!start || *start > SHOW_END_MS) {
        error = "start needs a show time from 0 to 4:00, in ms or as m:ss.mmm";
        return std::nullopt;
      }
      options.viewing.start_ms = *start;
    } else {
      ignored.push_back(name);
    }
  }
  return options;
}
