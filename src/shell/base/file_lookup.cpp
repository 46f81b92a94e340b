#include "shell/base/file_lookup.h"

#include <algorithm>
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

std::string DataFolder::path(const std::string& name) const {
  return root_.empty() ? name : (root_ / name).string();
}

std::string DataFolder::shown() const {
  // As the working directory would name it: absolute, links resolved.
  std::error_code error;
  const std::filesystem::path folder = root_.empty() ? "." : root_;
  const std::filesystem::path real = std::filesystem::weakly_canonical(folder, error);
  return (error ? folder : real).string();
}

std::string DataFolder::find(const std::string& name) const {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path given(name);
  if (name.empty() || fs::exists(path(name), error)) {
    return name;
  }
  const fs::path folder = given.parent_path();
  const std::string wanted = given.filename().string();
  std::vector<std::string> matches;
  for (fs::directory_iterator it(path(folder.empty() ? "." : folder.string()), error), end;
       !error && it != end; it.increment(error)) {
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
