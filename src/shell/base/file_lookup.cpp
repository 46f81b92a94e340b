#include "shell/base/file_lookup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool same_ignoring_case(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return ascii_lower(x) == ascii_lower(y);
         });
}

std::string find_file_any_case(const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path given(name);
  if (name.empty() || fs::exists(given, error)) {
    return name;
  }
  const fs::path folder = given.has_parent_path() ? given.parent_path() : fs::path(".");
  const std::string wanted = given.filename().string();
  std::vector<std::string> matches;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string candidate = it->path().filename().string();
    if (same_ignoring_case(candidate, wanted)) {
      matches.push_back(candidate);
    }
  }
  if (matches.empty()) {
    return name;
  }
  std::sort(matches.begin(), matches.end());
  return given.has_parent_path() ? (folder / matches.front()).string() : matches.front();
}
