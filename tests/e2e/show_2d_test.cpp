// The whole show in 2D: the built program with hand-made overlays, frames
// written at chosen times and the trace beside them; and run_show to its end
// on the trace device.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "audio/position_source.h"
#include "e2e/png_file.h"
#include "gfx/trace_device.h"
#include "math/show_random.h"
#include "shell/base/render_helpers.h"
#include "show/bmp_fixture.h"
#include "show/run_show.h"
#include "show/show_fixture.h"

namespace {

namespace fs = std::filesystem;
using e2e::Png;
using e2e::read_png;

// A value of our own trace lines: the text after "key": up to the next , or }.
std::string json_field(const std::string& line, const std::string& key) {
  const std::string tag = "\"" + key + "\":";
  const std::size_t at = line.find(tag);
  if (at == std::string::npos) {
    return "";
  }
  std::size_t start = at + tag.size();
  std::size_t end = start;
  if (line[start] == '[') {
    end = line.find(']', start) + 1;
  } else if (line[start] == '"') {
    end = line.find('"', start + 1) + 1;
  } else {
    end = line.find_first_of(",}", start);
  }
  return line.substr(start, end - start);
}

std::vector<float> json_floats(const std::string& array) {
  std::vector<float> values;
  std::stringstream in(array.substr(1, array.size() - 2));
  std::string item;
  while (std::getline(in, item, ',')) {
    values.push_back(std::stof(item));
  }
  return values;
}

// Colour channel of a one-colour overlay drawn at `alpha` over black.
bool near(int actual, int expected) { return std::abs(actual - expected) <= 3; }

struct SpriteLine {
  float x = 0, y = 0;
  unsigned alpha = 0;
};

class Show2dProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    data = fresh_folder("plovermix-e2e-data");
    out = fresh_folder("plovermix-e2e-out");
    write_bmp(data / "Talvores.bmp", 100, 50, 0xFF0000);
    write_bmp(data / "Presents.bmp", 100, 50, 0x00FF00);
    write_bmp(data / "sp1.bmp", 40, 40, 0x0000FF);
    // The broken ones: the show runs on without them.
    write_file(data / "trai.bmp", {});
    std::vector<std::uint8_t> shortened = bmp_bytes(8, 8, 0xFFFFFF);
    shortened.resize(40);
    write_file(data / "caca.bmp", shortened);
    write_file(data / "clouds.bmp", bmp_bytes(8, 8, 0xFFFFFF, 70000));
    write_file(data / "vorn.bmp", {'I', 'D', '3', 0, 0, 0, 'n', 'o', 't', ' ', 'b', 'm', 'p'});
    // No .3ds file at all: the node inset's camera has no path, and the 2D
    // show must still be drawn on the whole screen.
  }

  // Kept when a check failed, to look at the frames and the trace.
  void TearDown() override {
    if (!HasFailure()) {
      fs::remove_all(data);
      fs::remove_all(out);
    }
  }

  int run(const std::string& arguments) {
    const std::string command = std::string(PLOVERMIX_BINARY_DIR) +
                                "/plovermix --windowed --data " + data.string() + " " + arguments +
                                " > " + (out / "stdout.txt").string() + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The trace's lines, split into frames: [0] is loading, [n + 1] frame n.
  std::vector<std::vector<std::string>> trace_frames() const {
    std::vector<std::vector<std::string>> frames(1);
    std::ifstream in(out / "trace.jsonl");
    std::string line;
    while (std::getline(in, line)) {
      if (line.rfind("{\"frame\":", 0) == 0) {
        frames.emplace_back();
      }
      frames.back().push_back(line);
    }
    return frames;
  }

  static std::vector<SpriteLine> sprites_of(const std::vector<std::string>& frame,
                                            const std::string& file) {
    std::vector<SpriteLine> found;
    for (const std::string& line : frame) {
      if (json_field(line, "call") == "\"DrawSprite\"" &&
          json_field(line, "texture") == "\"" + file + "\"") {
        const std::vector<float> position = json_floats(json_field(line, "position"));
        const std::string color = json_field(line, "color");
        found.push_back({position[0], position[1],
                         static_cast<unsigned>(std::stoul(color.substr(3, 2), nullptr, 16))});
      }
    }
    return found;
  }

  fs::path data;
  fs::path out;
};

TEST_F(Show2dProgram, FramesAtChosenTimesShowTheOverlaysWhereTheTraceSays) {
  ASSERT_EQ(run("--frames-at 0,1000,3500,12000 --out " + out.string() + " --trace " +
                (out / "trace.jsonl").string()),
            0)
      << std::ifstream(out / "stdout.txt").rdbuf();

  const std::vector<std::vector<std::string>> frames = trace_frames();
  ASSERT_GT(frames.size(), 2u);
  int loading_presents = 0;
  for (const std::string& line : frames[0]) {
    loading_presents += json_field(line, "call") == "\"Present\"" ? 1 : 0;
  }
  EXPECT_EQ(loading_presents, 5);

  // Frame lines count up from 0 with a show time that never goes back, and
  // every frame but none after the last one asked for is presented.
  int previous_t = -1;
  for (std::size_t n = 1; n < frames.size(); ++n) {
    EXPECT_EQ(json_field(frames[n][0], "frame"), std::to_string(n - 1));
    const int t = std::stoi(json_field(frames[n][0], "t"));
    EXPECT_GE(t, previous_t);
    previous_t = t;
    EXPECT_EQ(frames[n].back(), "{\"call\":\"Present\"}") << "frame " << n - 1;
  }
  EXPECT_GE(previous_t, 12000);

  for (int wanted : {0, 1000, 3500, 12000}) {
    SCOPED_TRACE("t=" + std::to_string(wanted));
    const Png png = read_png(out / ("frame-" + std::to_string(wanted) + ".png"));
    ASSERT_EQ(png.width, 800);
    ASSERT_EQ(png.height, 600);
    // The frame written is the first whose show time reaches the time asked.
    std::size_t n = 1;
    while (std::stoi(json_field(frames[n][0], "t")) < wanted) {
      ++n;
    }
    const std::vector<SpriteLine> talvores = sprites_of(frames[n], "Talvores.bmp");
    const std::vector<SpriteLine> presents = sprites_of(frames[n], "Presents.bmp");
    const std::vector<SpriteLine> sp1 = sprites_of(frames[n], "sp1.bmp");
    ASSERT_EQ(sp1.size(), 1u);
    EXPECT_EQ(sp1[0].x, 10.0f);
    const auto corner = png.at(30, 30);  // the corner mark, blue at alpha 0x33
    EXPECT_TRUE(near(corner[2], 0x33) && corner[0] == 0) << corner[0] << " " << corner[2];
    const auto empty = png.at(790, 5);
    EXPECT_EQ(empty, (std::array<int, 3>{0, 0, 0}));

    if (wanted < 3000) {
      ASSERT_EQ(talvores.size(), 1u);
      ASSERT_TRUE(presents.empty());
      if (wanted == 0) {
        EXPECT_EQ(talvores[0].x, 70.0f);
        EXPECT_EQ(talvores[0].y, 400.0f);
        EXPECT_EQ(talvores[0].alpha, 0x67u);
      } else {
        EXPECT_LT(talvores[0].y, 390.0f);  // rising
      }
      const auto red =
          png.at(static_cast<int>(talvores[0].x) + 50, static_cast<int>(talvores[0].y) + 25);
      EXPECT_TRUE(near(red[0], static_cast<int>(talvores[0].alpha)) && red[1] == 0)
          << red[0] << " " << red[1] << " alpha " << talvores[0].alpha;
    } else {
      ASSERT_EQ(presents.size(), 1u);
      const auto green =
          png.at(static_cast<int>(presents[0].x) + 50, static_cast<int>(presents[0].y) + 25);
      EXPECT_TRUE(near(green[1], static_cast<int>(presents[0].alpha)) && green[0] == 0)
          << green[1] << " alpha " << presents[0].alpha;
      if (!talvores.empty()) {
        // Window B's clear comes after A's draw: the title moved but is not seen.
        const auto erased =
            png.at(static_cast<int>(talvores[0].x) + 50, static_cast<int>(talvores[0].y) + 25);
        EXPECT_EQ(erased[0], 0);
      }
    }
  }
}

TEST_F(Show2dProgram, RunsToItsEndWithAFixedStep) {
  EXPECT_EQ(run("--fixed-step 200"), 0) << std::ifstream(out / "stdout.txt").rdbuf();
}

TEST_F(Show2dProgram, BadViewingOptionsAreRefused) {
  EXPECT_EQ(run("--frames-at 0,x --out " + out.string()), 2);
  EXPECT_EQ(run("--frames-at 100"), 2);
  EXPECT_EQ(run("--fixed-step -5"), 2);
}

// The whole schedule on the trace device: every frame to the end, no misuse
// of the device, nothing left behind.
TEST(Show2dTrace, RunsTheWholeScheduleOnTheTraceDevice) {
  const fs::path data = fresh_folder("plovermix-e2e-trace");
  for (const char* name :
       {"logo.bmp", "since.bmp", "Presents.bmp", "Talvores.bmp", "gilb.bmp", "tesk.bmp",
        "tesk2.bmp", "pamo.bmp", "vostl.bmp", "orvex.bmp", "dulam.bmp", "clouds.bmp", "trai.bmp",
        "caca.bmp", "caca2.bmp", "sp1.bmp", "vorn.bmp", "zevuvero.bmp", "title.bmp"}) {
    write_bmp(data / name, 16, 16, 0x808080);
  }
  show_rand_reset();
  ScriptedMusic music;  // unheard: the virtual clock is the music
  ScriptedPlatform platform(music);
  std::string error;
  ASSERT_TRUE(platform.make_device({}, error));
  TraceDevice& trace = *platform.trace;
  ShowViewing viewing;
  viewing.fixed_step_ms = 50.0;

  EXPECT_FALSE(run_show(platform, DataFolder(data), viewing));

  // 0 to 240000 ms in steps of 50: 4801 frames presented, the next one ends the show.
  EXPECT_EQ(trace.presents(), 5 + 4801);
  EXPECT_TRUE(trace.misuse().empty()) << trace.misuse().front();
  const std::size_t sprite_draws = trace.calls_starting("DrawSprite").size();
  EXPECT_GT(sprite_draws, 4801u);
  release_device();
  fs::remove_all(data);
}

}  // namespace
