// --start on our stand-in data: every frame reached by running the bodies
// before it unseen is, pixel for pixel, the frame of a run from the start.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2e/plovermix_run.h"
#include "show/bmp_fixture.h"

namespace {

namespace fs = std::filesystem;
using e2e::read_text;
using e2e::run_plovermix;

class StartAnywhere : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = fresh_folder("plovermix-start");
    const std::string command = PLOVERMIX_BINARY_DIR "/showdata '" + dir.string() + "' > '" +
                                (dir / "showdata.txt").string() + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << read_text(dir / "showdata.txt");
  }
  static void TearDownTestSuite() { fs::remove_all(dir); }

  static std::string frame(const std::string& run, int t) {
    return read_text(dir / run / ("frame-" + std::to_string(t) + ".png"));
  }
  static void run(const std::string& arguments) {
    ASSERT_EQ(run_plovermix(dir, arguments), 0) << arguments << "\n"
                                                << read_text(dir / "output.txt");
  }

  static inline fs::path dir;
};

TEST_F(StartAnywhere, EveryWindowAndTheInsetAsInAStraightRun) {
  // The echec scene under the node inset, tunnel, indus, greets (between grid
  // times: both runs write the first frame past it), credits.
  const int times[] = {15000, 40000, 65000, 100100, 200000};
  run("--fixed-step 250 --frames-at 15000,40000,65000,100100,200000 --out '" +
      (dir / "straight").string() + "'");
  for (int t : times) {
    const std::string out = "start-" + std::to_string(t);
    run("--fixed-step 250 --start " + std::to_string(t) + " --frames-at " + std::to_string(t) +
        " --out '" + (dir / out).string() + "'");
    const std::string straight = frame("straight", t);
    ASSERT_FALSE(straight.empty()) << t;
    EXPECT_TRUE(frame(out, t) == straight) << "t=" << t;
  }
}

TEST_F(StartAnywhere, TheDefaultStepToo) {
  run("--frames-at 15000 --out '" + (dir / "straight-60").string() + "'");
  run("--start 0:15 --frames-at 15000 --out '" + (dir / "start-60").string() + "'");
  const std::string straight = frame("straight-60", 15000);
  ASSERT_FALSE(straight.empty());
  EXPECT_TRUE(frame("start-60", 15000) == straight);
}

}  // namespace
