// The player as a desktop user runs it: a real X server (Xvfb) at 1920 x 1080
// with a window manager, the show full screen, the screen grabbed with xwd in
// the echec scene, where the whole picture is lit; and the screenshot key
// pressed with xdotool. Needs Debian's xvfb, openbox, x11-apps and xdotool;
// without them it skips, except in CI.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/plovermix_run.h"
#include "e2e/png_file.h"
#include "render/require_gl.h"
#include "show/bmp_fixture.h"

namespace {

namespace fs = std::filesystem;
using e2e::read_text;

bool on_path(const std::string& program) {
  return std::system(("command -v " + program + " > /dev/null 2>&1").c_str()) == 0;
}

std::uint32_t big_endian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  }
  return value;
}

// An X window dump's pixels (ZPixmap, 24 or 32 bits a pixel, either byte
// order), as RGB, top row first; empty when it is not one.
struct XwdImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  std::array<int, 3> at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

XwdImage read_xwd(const std::string& xwd) {
  XwdImage image;
  if (xwd.size() < 100) return image;
  const std::uint32_t header = big_endian(xwd, 0), bits_per_pixel = big_endian(xwd, 44);
  const bool little = big_endian(xwd, 28) == 0;
  const std::uint32_t line = big_endian(xwd, 48), colours = big_endian(xwd, 76);
  const std::uint32_t masks[] = {big_endian(xwd, 56), big_endian(xwd, 60), big_endian(xwd, 64)};
  const int width = static_cast<int>(big_endian(xwd, 16));
  const int height = static_cast<int>(big_endian(xwd, 20));
  const std::size_t pixels = header + std::size_t{colours} * 12;
  const std::size_t stride = bits_per_pixel / 8;
  if ((stride != 3 && stride != 4) || xwd.size() < pixels + std::size_t{line} * height) {
    return image;
  }
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t at = pixels + std::size_t{line} * y + stride * x;
      std::uint32_t value = 0;
      for (std::size_t i = 0; i < stride; ++i) {
        const std::size_t byte = little ? stride - 1 - i : i;
        value = (value << 8) | static_cast<unsigned char>(xwd[at + byte]);
      }
      for (const std::uint32_t mask : masks) {
        image.rgb.push_back(static_cast<std::uint8_t>((value & mask) / (mask & (~mask + 1))));
      }
    }
  }
  return image;
}

// The lit part of a picture: inclusive bounds, right < left when none.
struct LitBox {
  int left = 0, top = 0, right = -1, bottom = -1;
};

LitBox lit_box(const XwdImage& image) {
  LitBox box{image.width, image.height, -1, -1};
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::array<int, 3> c = image.at(x, y);
      if (c[0] + c[1] + c[2] > 30) {
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
      }
    }
  }
  return box;
}

class XDesktop : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"xvfb-run", "openbox", "xwd", "xdotool"}) {
      if (!on_path(program)) {
        if (in_ci()) GTEST_FAIL() << program << " is missing; scripts/install-deps installs it";
        GTEST_SKIP() << program << " is missing";
      }
    }
    fs::create_directories(out);
    ASSERT_EQ(e2e::write_stand_in_data(data), "");
  }
  void TearDown() override { fs::remove_all(dir); }
  // x_desktop.sh on the show until AT ms, with `arguments` and `environment`.
  void run_until(int at, const std::string& arguments, const std::string& environment = "") {
    const std::string command = environment + " xvfb-run -a -s '-screen 0 1920x1080x24' " +
                                PLOVERMIX_SOURCE_DIR "/tests/e2e/x_desktop.sh " +
                                PLOVERMIX_BINARY_DIR "/plovermix '" + data.string() + "' " +
                                std::to_string(at) + " '" + out.string() + "' " + arguments;
    ASSERT_EQ(std::system(command.c_str()), 0) << read_text(out / "show.txt");
  }

  // The frame a fixed-step run draws at show time t, as a PNG.
  e2e::Png fixed_step_frame(int t) const {
    EXPECT_EQ(e2e::run_plovermix(data, "--fixed-step --frames-at " + std::to_string(t) +
                                           " --out '" + (out / "frames").string() + "'"),
              0)
        << read_text(data / "output.txt");
    return e2e::read_png(out / "frames" / ("frame-" + std::to_string(t) + ".png"));
  }

  const fs::path dir = fresh_folder("plovermix-x-desktop");
  const fs::path data = dir / "data", out = dir / "out";
};

TEST_F(XDesktop, FullScreenFillsTheHeightAndFramesKeepTheirGrid) {
  run_until(14000, "");

  // 1920 x 1080 holds the 4:3 picture as 1440 x 1080, bars left and right.
  const XwdImage screen = read_xwd(read_text(out / "screen.xwd"));
  ASSERT_EQ(screen.width, 1920);
  ASSERT_EQ(screen.height, 1080);
  const LitBox box = lit_box(screen);
  // Nothing lit in the bars; the scene lit to within a few pixels of the
  // picture's edges (the grab may come a little late, the camera moving).
  EXPECT_GE(box.left, 240);
  EXPECT_LE(box.left, 250);
  EXPECT_LE(box.right, 1679);
  EXPECT_GE(box.right, 1669);
  EXPECT_LE(box.top, 10);
  EXPECT_GE(box.bottom, 1069);

  // Every frame body has its line, body k at k x 1000 / 60 ms, however the
  // presents fell; and the run got past the moment of the grab.
  std::istringstream trace(read_text(out / "trace.json"));
  const std::regex frame_line(R"(\{"frame":(\d+),"t":(\d+)\})");
  long expected = 0;
  std::string line;
  std::smatch match;
  while (std::getline(trace, line)) {
    if (!std::regex_match(line, match, frame_line)) continue;
    ASSERT_EQ(std::stol(match[1]), expected);
    ASSERT_EQ(std::stol(match[2]), expected * 1000 / 60) << line;
    ++expected;
  }
  EXPECT_GE(expected * 1000 / 60, 14000);
}

TEST_F(XDesktop, TheScreenshotKeyWritesTheFrameShownAtItsRenderSize) {
  const fs::path shots = out / "shots";
  run_until(14000, "--windowed --screenshot-dir '" + shots.string() + "'",
            "X_DESKTOP_KEY=F12 X_DESKTOP_WAIT_FOR=screenshot");
  const std::string said = read_text(out / "show.txt");
  const std::smatch named = [&] {
    std::smatch match;
    std::regex_search(said, match,
                      std::regex(R"(plovermix: screenshot (\S+-(\d)-(\d\d)-(\d\d\d)\.png))"));
    return match;
  }();
  ASSERT_FALSE(named.empty()) << said;
  const fs::path file = named[1].str();
  EXPECT_EQ(file.parent_path(), shots);
  const int t = std::stoi(named[2]) * 60000 + std::stoi(named[3]) * 1000 + std::stoi(named[4]);
  // A frame the trace says was shown: its body ran at t.
  EXPECT_NE(read_text(out / "trace.json").find(",\"t\":" + std::to_string(t) + "}"),
            std::string::npos);

  // The 800 x 600 window is drawn into directly; the screenshot is that frame,
  // the one a fixed-step run draws at t.
  const e2e::Png shot = e2e::read_png(file);
  ASSERT_EQ(shot.width, 800);
  ASSERT_EQ(shot.height, 600);
  const e2e::Png drawn = fixed_step_frame(t);
  ASSERT_EQ(drawn.rgba.size(), shot.rgba.size());
  long differing = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      differing += shot.at(x, y) != drawn.at(x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST_F(XDesktop, TheDisplayLiesOverThePictureInTheWindowOnly) {
  // Space pauses, and a paused show keeps the display up; the window is grabbed alone.
  run_until(14000, "--windowed", "X_DESKTOP_KEY=space X_DESKTOP_GRAB=window");
  // Paused, the window shows the frame of the last body the trace holds.
  const std::string trace = read_text(out / "trace.json");
  const std::size_t last = trace.rfind("\"t\":");
  ASSERT_NE(last, std::string::npos);
  const int t = std::stoi(trace.substr(last + 4));
  const XwdImage window = read_xwd(read_text(out / "screen.xwd"));
  ASSERT_EQ(window.width, 800);
  ASSERT_EQ(window.height, 600);
  const e2e::Png drawn = fixed_step_frame(t);
  ASSERT_EQ(drawn.width, 800);
  // The bar is the foot of the picture, 44 of its 600 rows; above it nothing
  // differs, in it the display does.
  long above = 0, in_bar = 0;
  for (int y = 0; y < 600; ++y) {
    for (int x = 0; x < 800; ++x) {
      const bool differs = window.at(x, y) != drawn.at(x, y);
      (y < 600 - 44 ? above : in_bar) += differs ? 1 : 0;
    }
  }
  EXPECT_EQ(above, 0) << "at t=" << t;
  EXPECT_GT(in_bar, 800 * 44 / 2) << "at t=" << t;
}

TEST_F(XDesktop, AScreenshotFolderThatCannotBeWrittenIsToldOnTheDisplayToo) {
  std::ofstream(out / "taken") << "a file where the folder would be";
  run_until(14000, "--windowed --screenshot-dir '" + (out / "taken" / "shots").string() + "'",
            "X_DESKTOP_KEY=F12 X_DESKTOP_WAIT_FOR='cannot write' X_DESKTOP_GRAB=window");
  const std::string said = read_text(out / "show.txt");
  EXPECT_NE(said.find("plovermix: cannot write the screenshot " +
                      (out / "taken" / "shots").string() + "/plovermix-"),
            std::string::npos)
      << said;
  // The message in orange on the bar's text line, after the time and the scene.
  const XwdImage window = read_xwd(read_text(out / "screen.xwd"));
  ASSERT_EQ(window.height, 600);
  int orange = 0;
  for (int y = 600 - 44 + 3; y < 600 - 44 + 20; ++y) {
    for (int x = 250; x < 790; ++x) {
      const std::array<int, 3> c = window.at(x, y);
      orange += c[0] > 200 && c[2] < 120 ? 1 : 0;
    }
  }
  EXPECT_GT(orange, 50);
}

}  // namespace
