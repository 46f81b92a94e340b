// The whole show with its 3D scenes: the built program on the small scene set,
// frames written at chosen times and checked by region, and the runs on
// missing data whose logs must say only what is missing.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "e2e/plovermix_run.h"
#include "gfx/image_file.h"
#include "show/bmp_fixture.h"
#include "show/scenes3d_fixture.h"
#include "show/show_fixture.h"

namespace {

namespace fs = std::filesystem;
using e2e::read_text;
using e2e::run_plovermix;
using e2e::sanitizer_findings;

// The mean colour of a rectangle and how many of its pixels are bright.
struct Region {
  double r = 0, g = 0, b = 0;
  int bright = 0;
};

Region measure(const Image& image, int x0, int y0, int x1, int y1) {
  Region region;
  int count = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const std::size_t i =
          (static_cast<std::size_t>(y) * image.width + static_cast<std::size_t>(x)) * 4;
      const int r = image.rgba[i], g = image.rgba[i + 1], b = image.rgba[i + 2];
      region.r += r;
      region.g += g;
      region.b += b;
      region.bright += (r + g + b > 600) ? 1 : 0;
      ++count;
    }
  }
  region.r /= count;
  region.g /= count;
  region.b /= count;
  return region;
}

class Show3dRun : public ::testing::Test {
 protected:
  void SetUp() override { dir = fresh_folder("plovermix-e2e-3d-" + std::to_string(::getpid())); }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir);
  }
  void write_show_data() {
    // Black overlays draw nothing, so the frames show the scenes alone.
    for (const char* name : OVERLAY_FILES) write_bmp(dir / name, 2, 2, 0x000000);
    write_bmp(dir / "particle.bmp", 4, 4, 0xFFFFFF);
    write_bmp(dir / "particule2.bmp", 4, 4, 0xFF0000);
    scenes3d::write_scene_set(dir);
  }
  Image frame(int t) {
    Image image;
    std::string error;
    EXPECT_TRUE(load_image_file((dir / "frames" / ("frame-" + std::to_string(t) + ".png")).string(),
                                image, error))
        << error;
    return image;
  }

  fs::path dir;
};

TEST_F(Show3dRun, FramesShowFogParticlesAndInsetWhereTheyShould) {
  write_show_data();
  ASSERT_EQ(run_plovermix(dir,
                          "--fixed-step 100 --frames-at 13000,35000,62000,70000,140000 "
                          "--out '" +
                              (dir / "frames").string() + "'"),
            0)
      << read_text(dir / "output.txt");
  EXPECT_EQ(sanitizer_findings(read_text(dir / "output.txt")), "");
  EXPECT_FALSE(fs::exists(dir / "plovermix.log")) << read_text(dir / "plovermix.log");

  // Echec: the fountain's first points in the middle; the node wall fills the
  // inset's 300 x 180 at (300, 400), and the screen around it stays black.
  const Image echec = frame(13000);
  ASSERT_EQ(echec.width, 800u);
  EXPECT_GE(measure(echec, 300, 200, 500, 390).bright, 20);
  EXPECT_GE(measure(echec, 302, 402, 598, 578).r, 250.0);
  EXPECT_LE(measure(echec, 40, 420, 290, 580).r, 2.0);
  EXPECT_LE(measure(echec, 610, 420, 760, 580).r, 2.0);
  EXPECT_LE(measure(echec, 300, 582, 600, 600).r, 2.0);

  // Tunnel: a cloud of points around the emitter, and no inset any more.
  const Image tunnel = frame(35000);
  ASSERT_EQ(tunnel.width, 800u);
  EXPECT_GE(measure(tunnel, 300, 200, 500, 400).bright, 200);
  EXPECT_LE(measure(tunnel, 302, 450, 598, 578).r, 2.0);

  // Indus: the unlit wall 1000 away takes 80 % of the white fog, e^(-1.5 d / 1000);
  // the cleared background is not fogged.
  const Image indus = frame(62000);
  ASSERT_EQ(indus.width, 800u);
  const Region wall = measure(indus, 300, 225, 500, 375);
  EXPECT_NEAR(wall.r, 204.0, 12.0);
  EXPECT_NEAR(wall.b, 204.0, 12.0);
  EXPECT_LE(measure(indus, 0, 0, 40, 40).r, 2.0);

  // Greets: black fog, dense: the white wall 60 away keeps 86 %, the one 800
  // away about 13 %.
  const Image greets = frame(70000);
  ASSERT_EQ(greets.width, 800u);
  EXPECT_NEAR(measure(greets, 180, 280, 220, 320).r, 218.0, 12.0);
  EXPECT_NEAR(measure(greets, 590, 290, 610, 310).r, 32.0, 12.0);

  // Credits: thin black fog; the wall 100 away is nearly white.
  const Image credits = frame(140000);
  ASSERT_EQ(credits.width, 800u);
  EXPECT_GE(measure(credits, 380, 280, 420, 320).r, 245.0);
  EXPECT_LE(measure(credits, 0, 0, 40, 40).r, 2.0);
}

// Whatever the log says must be a message about something missing: each
// known text is taken out, and only line breaks may be left.
std::string unexplained(std::string log, const std::vector<std::string>& known) {
  for (const std::string& text : known) {
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text)) {
      log.erase(at, text.size());
    }
  }
  log.erase(std::remove(log.begin(), log.end(), '\n'), log.end());
  return log;
}

TEST_F(Show3dRun, WholeShowOnMissingDataLogsOnlyWhatIsMissing) {
  ASSERT_EQ(run_plovermix(dir, "--fixed-step 1000"), 0) << read_text(dir / "output.txt");
  EXPECT_EQ(sanitizer_findings(read_text(dir / "output.txt")), "");
  const std::string log = read_text(dir / "plovermix.log");
  // The particle images: "particule2.bmp", then "particle.bmp" for each system.
  std::size_t texture_messages = 0;
  for (std::size_t at = log.find("Erreur loadtex"); at != std::string::npos;
       at = log.find("Erreur loadtex", at + 1)) {
    ++texture_messages;
  }
  EXPECT_EQ(texture_messages, 3u);
  EXPECT_EQ(unexplained(log, {"Erreur loadtex", "Camera load problem : 1",
                              "Camera draw impossible : no path",
                              "ComputeTangentVector : pas assez de cl\xe9s dans la trajectoire "
                              "pour le calcul des tangentes"}),
            "");
}

TEST_F(Show3dRun, WholeShowOnTheSceneSetRunsToItsEndWithAnEmptyLog) {
  write_show_data();
  ASSERT_EQ(run_plovermix(dir, "--fixed-step 500"), 0) << read_text(dir / "output.txt");
  EXPECT_EQ(sanitizer_findings(read_text(dir / "output.txt")), "");
  EXPECT_FALSE(fs::exists(dir / "plovermix.log")) << read_text(dir / "plovermix.log");
}

// A window the picture's size is drawn into directly, turned over; any other
// size is given a copy of the back buffer. The stand-in show, every scene and
// overlay, must come out the same both ways, to the byte.
TEST(ShowWindow, DrawnIntoDirectlyItGivesTheBackBuffersFrames) {
  const fs::path data = fresh_folder("plovermix-window");
  ASSERT_EQ(
      std::system((PLOVERMIX_BINARY_DIR "/showdata '" + data.string() + "' > /dev/null").c_str()),
      0);
  const std::vector<int> times = {5000, 13000, 20000, 35000, 62000, 70000, 140000};
  std::string at = std::to_string(times[0]);
  for (std::size_t i = 1; i < times.size(); ++i) at += "," + std::to_string(times[i]);
  const auto frames = [&](const std::string& window, const std::string& out) {
    return run_plovermix(data, window + " --fixed-step 250 --frames-at " + at + " --out '" +
                                   (data / out).string() + "'");
  };
  ASSERT_EQ(frames("", "direct"), 0) << read_text(data / "output.txt");
  ASSERT_EQ(frames("--windowed 1000x750", "copied"), 0) << read_text(data / "output.txt");
  for (const int t : times) {
    const std::string name = "frame-" + std::to_string(t) + ".png";
    Image direct, copied;
    std::string error;
    ASSERT_TRUE(load_image_file((data / "direct" / name).string(), direct, error)) << error;
    ASSERT_TRUE(load_image_file((data / "copied" / name).string(), copied, error)) << error;
    ASSERT_EQ(direct.width, 800u);
    EXPECT_TRUE(direct.rgba == copied.rgba) << "the frames at " << t << " ms differ";
    // The desktop's format has no alpha: blends leave none in a frame.
    for (std::size_t i = 3; i < copied.rgba.size(); i += 4) {
      ASSERT_EQ(copied.rgba[i], 255) << "at " << t << " ms, pixel " << i / 4;
    }
  }
  fs::remove_all(data);
}

}  // namespace
