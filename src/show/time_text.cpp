#include "show/time_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

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
