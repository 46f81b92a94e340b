#include "shell/screenshot.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <vector>

#include "capture/frame_capture.h"

namespace fs = std::filesystem;

namespace {

// XDG_PICTURES_DIR from a user-dirs.dirs file, as xdg-user-dir reads it:
// "$HOME/..." or an absolute path, in double quotes; "" when not there.
std::string pictures_entry(const fs::path& file, const std::string& home) {
  std::ifstream in(file);
  const std::string key = "XDG_PICTURES_DIR=\"";
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key, 0) != 0 || line.back() != '"') {
      continue;
    }
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.rfind("$HOME", 0) == 0) {
      value = home + value.substr(5);
    }
    return value.empty() || value.front() != '/' ? "" : value;
  }
  return "";
}

}  // namespace

fs::path screenshot_folder(const std::string& asked, const std::string& home,
                           const std::string& config_home) {
  if (!asked.empty()) {
    return asked;
  }
  const fs::path config = !config_home.empty() ? fs::path(config_home) : fs::path(home) / ".config";
  const std::string pictures = pictures_entry(config / "user-dirs.dirs", home);
  std::error_code ignored;
  if (!pictures.empty() && fs::is_directory(pictures, ignored)) {
    return pictures;
  }
  return home;
}

std::string screenshot_name(int t) {
  char name[64];
  std::snprintf(name, sizeof name, "plovermix-%d-%02d-%03d.png", t / 60000, t / 1000 % 60,
                t % 1000);
  return name;
}

ScreenshotResult save_screenshot(Presenter& presenter, const fs::path& folder, int t) {
  std::vector<std::uint8_t> rgba;
  const std::optional<PixelSize> size = presenter.read_presented_frame(rgba);
  if (!size) {
    return {false, "the screenshot could not be read back"};
  }
  std::error_code made;
  fs::create_directories(folder, made);
  const std::string name = screenshot_name(t);
  fs::path file = folder / name;
  // A screenshot of the same moment, taken before, is kept.
  for (int n = 2; fs::exists(file, made); ++n) {
    file = folder / (name.substr(0, name.size() - 4) + "-" + std::to_string(n) + ".png");
  }
  errno = 0;
  if (!write_png(file.string(), rgba.data(), size->width, size->height)) {
    const std::string why = made ? made.message() : std::strerror(errno != 0 ? errno : EIO);
    return {false, "cannot write the screenshot " + file.string() + ": " + why};
  }
  return {true, "screenshot " + file.string()};
}
