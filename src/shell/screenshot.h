#pragma once
// The screenshot key (F12, S): the presented picture at its render size, as
// a PNG named by the show time, plovermix-<m>-<ss>-<mmm>.png.
//
//   screenshot_folder(asked, home, config_home)   where screenshots go: the
//                  folder asked for (--screenshot-dir), else the desktop's
//                  pictures folder as user-dirs.dirs names it (in
//                  config_home, else home/.config), where it exists, else home
//   screenshot_name(t)   "plovermix-1-01-500.png" for 61500 ms
//   save_screenshot(presenter, folder, t)   writes the presented frame into
//                  `folder` (made when missing) under a name no file has yet
//                  (a "-2", "-3", ... before ".png" when needed); says the
//                  file written, or why none was

#include <filesystem>
#include <string>

#include "gfx/presenter.h"

std::filesystem::path screenshot_folder(const std::string& asked, const std::string& home,
                                        const std::string& config_home);
std::string screenshot_name(int t);
struct ScreenshotResult {
  bool written = false;
  std::string message;  // "screenshot FILE", or why it could not be written
};
ScreenshotResult save_screenshot(Presenter& presenter, const std::filesystem::path& folder, int t);
