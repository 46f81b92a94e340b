#pragma once
// The command line. Options never change what the show does; they choose where
// it runs (window, data folder) and how it is watched.

#include <optional>
#include <string>
#include <vector>

#include "capture/capture_settings.h"
#include "gfx/presenter.h"
#include "show/run_show.h"

struct Options {
  bool windowed = false;
  PixelSize window_size;  // of the resizable window, 800 x 600 unless given
  // The back buffer's size; unset: the picture's size in the window (800 x 600
  // on a virtual clock).
  std::optional<PixelSize> render_size;
  std::string data_dir;        // empty: the working directory
  std::string screenshot_dir;  // empty: the pictures folder, else the home folder
  // Presents wait for the display's retrace (--vsync on|off).
  bool vsync = true;
  // The on-screen display after a seek, a pause or a key (--no-osd: never).
  bool osd = true;
  // Samples a pixel of the back buffer (--msaa N); 1: none.
  int msaa = 1;
  bool help = false;
  bool version = false;
  // How the show is watched and paced: --fixed-step, --trace,
  // --steps-per-second, --original-pacing, --mute. Paths are made absolute,
  // as messages name them.
  ShowViewing viewing;
  // Show times whose first presented frame is written as out_dir/frame-T.png.
  std::vector<int> frames_at;
  std::string out_dir;
  // Offline rendering to a video file (--capture and its settings).
  CaptureSettings capture;
};

// nullopt with `error` set for an unknown option or a missing value.
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error);
std::string usage_text();
// "1280x960": both whole and from 1 to 16384.
std::optional<PixelSize> parse_pixel_size(const std::string& text);
