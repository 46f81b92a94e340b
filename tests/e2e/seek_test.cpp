// --start and --capture on our stand-in data: every frame reached by running
// the bodies before it unseen is, pixel for pixel, the frame of a run from the
// start; a capture holds the range asked for, with the music in step. And the
// data's ending, reached that way: its last sign is read well before the end.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "capture/music_pcm.h"
#include "e2e/plovermix_run.h"
#include "e2e/png_file.h"
#include "show/bmp_fixture.h"

namespace {

namespace fs = std::filesystem;
using e2e::read_text;
using e2e::run_plovermix;

class StartAnywhere : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = fresh_folder("plovermix-start");
    ASSERT_EQ(e2e::write_stand_in_data(dir), "");
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

TEST_F(StartAnywhere, TheCreditsCloseOnALastSignReadWellBeforeTheEnd) {
  run("--fixed-step --start 229000 --frames-at 229000,239900 --out '" + (dir / "ending").string() +
      "'");
  // How wide the sign's orange rules are: red well over blue (its cream text
  // and the white stars are not).
  const auto rules_width = [](const e2e::Png& png) {
    int left = png.width, right = -1;
    for (int y = 0; y < png.height; ++y) {
      for (int x = 0; x < png.width; ++x) {
        if (png.at(x, y)[0] - png.at(x, y)[2] > 100) {
          left = std::min(left, x);
          right = std::max(right, x);
        }
      }
    }
    return right - left + 1;
  };
  // 11 s before the end a fifth of the picture wide, at the end over half.
  EXPECT_GE(rules_width(e2e::read_png(dir / "ending" / "frame-229000.png")), 160);
  EXPECT_GE(rules_width(e2e::read_png(dir / "ending" / "frame-239900.png")), 400);
}

// What ffprobe says of the file's streams, one "key=value|..." line each.
std::string probe(const fs::path& file) {
  const fs::path out = file.string() + ".probe";
  const std::string command =
      "ffprobe -v error -count_packets -show_entries "
      "stream=codec_name,width,height,r_frame_rate,channels,sample_rate,nb_read_packets "
      "-of compact=p=0 '" +
      file.string() + "' > '" + out.string() + "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
  return read_text(out);
}

// How alike two stereo stretches are (1: the same sound), `count` frames each.
double likeness(const float* a, const float* b, long count) {
  double ab = 0.0, aa = 0.0, bb = 0.0;
  for (long i = 0; i < 2 * count; ++i) {
    ab += a[i] * b[i];
    aa += a[i] * a[i];
    bb += b[i] * b[i];
  }
  return aa > 0.0 && bb > 0.0 ? ab / std::sqrt(aa * bb) : 0.0;
}

TEST_F(StartAnywhere, ACaptureHoldsTheRangeWithTheMusicInStep) {
  const fs::path clip = dir / "clip.mp4";
  run("--capture '" + clip.string() + "' --start 60000 --end 63000");
  EXPECT_EQ(probe(clip),
            "codec_name=h264|width=800|height=600|r_frame_rate=60/1|nb_read_packets=180\n"
            // 3 s of 44100 Hz in packets of 1024, and the encoder's priming packet.
            "codec_name=aac|sample_rate=44100|channels=2|r_frame_rate=0/0|nb_read_packets=131\n");
  // The index (moov) before the pictures (mdat): a browser plays it while it downloads.
  const std::string bytes = read_text(clip);
  EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));
  std::string error;
  const auto sound = decode_music(clip.string(), error);
  ASSERT_TRUE(sound) << error;
  EXPECT_NEAR(sound->length_ms(), 3000.0, 50.0);
  const auto music = decode_music((dir / "vorn.mp3").string(), error);
  ASSERT_TRUE(music) << error;
  // One second in, the video's sound is the music at 61 s: the best match
  // within 50 ms either way lies within 2 ms of it.
  const long window = 8192, at = 44100, heard = 61 * 44100;
  long best_lag = 0;
  double best = -1.0;
  for (long lag = -2205; lag <= 2205; lag += 7) {
    const double alike =
        likeness(sound->samples.data() + 2 * at, music->samples.data() + 2 * (heard + lag), window);
    if (alike > best) {
      best = alike;
      best_lag = lag;
    }
  }
  EXPECT_GT(best, 0.9);
  EXPECT_LE(std::abs(best_lag), 88) << "lag in samples";
}

}  // namespace
