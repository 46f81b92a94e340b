#include "shell/show_place.h"

#include <system_error>

namespace {

constexpr const char* LOG_FILE = "plovermix.log";

std::filesystem::path state_folder(const std::string& state_home, const std::string& home) {
  // The XDG base directory rule: an unset or relative XDG_STATE_HOME is ignored.
  if (!state_home.empty() && std::filesystem::path(state_home).is_absolute()) {
    return std::filesystem::path(state_home) / "plovermix";
  }
  return std::filesystem::path(home.empty() ? "/tmp" : home) / ".local" / "state" / "plovermix";
}

}  // namespace

ShowPlace choose_show_place(const std::string& data_dir, bool here_has_show,
                            const std::filesystem::path& program, const std::string& state_home,
                            const std::string& home) {
  ShowPlace place{data_dir, std::filesystem::path(data_dir) / LOG_FILE, false};
  if (!data_dir.empty() || here_has_show) {
    return place;
  }
  std::error_code error;
  const std::filesystem::path installed =
      (program.parent_path() / ".." / "share" / "plovermix" / "data").lexically_normal();
  if (program.empty() || !std::filesystem::is_directory(installed, error)) {
    return place;
  }
  place.data_dir = installed.string();
  place.log_file = state_folder(state_home, home) / LOG_FILE;
  place.installed = true;
  return place;
}
