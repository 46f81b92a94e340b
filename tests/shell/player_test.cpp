// The live player's options, picture size and present pacing.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "shell/base/render_helpers.h"
#include "shell/options.h"
#include "show/present_pacing.h"
#include "show/time_text.h"

namespace {

TEST(PlayerOptions, SizesStepsAndSwitchesParse) {
  std::string error;
  const auto plain = parse_options({"--windowed", "--mute"}, error);
  ASSERT_TRUE(plain) << error;
  EXPECT_TRUE(plain->windowed);
  EXPECT_EQ(plain->window_size, (PixelSize{800, 600}));
  EXPECT_TRUE(plain->viewing.mute);
  EXPECT_FALSE(plain->render_size);
  EXPECT_EQ(plain->viewing.steps_per_second, 60);
  EXPECT_FALSE(plain->viewing.original_pacing);
  EXPECT_EQ(plain->viewing.passes, 1) << "one pass unless --loop";
  EXPECT_TRUE(plain->vsync);
  EXPECT_EQ(plain->msaa, 1) << "the picture the render tests check";
  EXPECT_TRUE(plain->osd);
  const auto quiet = parse_options({"--no-osd"}, error);
  ASSERT_TRUE(quiet) << error;
  EXPECT_FALSE(quiet->osd);

  const auto given = parse_options({"--windowed", "1280x960", "--render-size", "1920x1440",
                                    "--steps-per-second", "120", "--original-pacing"},
                                   error);
  ASSERT_TRUE(given) << error;
  EXPECT_EQ(given->window_size, (PixelSize{1280, 960}));
  const auto drawn = parse_options({"--vsync", "off", "--msaa", "8"}, error);
  ASSERT_TRUE(drawn) << error;
  EXPECT_FALSE(drawn->vsync);
  EXPECT_EQ(drawn->msaa, 8);
  EXPECT_EQ(given->render_size, (PixelSize{1920, 1440}));
  EXPECT_EQ(given->viewing.steps_per_second, 120);
  EXPECT_TRUE(given->viewing.original_pacing);

  // An optional value is not taken from the option that follows.
  const auto stepped = parse_options({"--fixed-step", "--trace", "run.jsonl"}, error);
  ASSERT_TRUE(stepped) << error;
  EXPECT_EQ(stepped->viewing.fixed_step_ms, DEFAULT_FIXED_STEP_MS);
  EXPECT_TRUE(std::filesystem::path(stepped->viewing.trace_file).is_absolute());

  const auto endless = parse_options({"--loop", "--mute"}, error);
  ASSERT_TRUE(endless) << error;
  EXPECT_EQ(endless->viewing.passes, 0) << "until Escape";
  EXPECT_TRUE(endless->viewing.mute);
  const auto counted = parse_options({"--loop", "3", "--start", "230000"}, error);
  ASSERT_TRUE(counted) << error;
  EXPECT_EQ(counted->viewing.passes, 3);
}

TEST(PlayerOptions, StartAndCaptureParse) {
  EXPECT_EQ(parse_show_time("100000"), 100000);
  EXPECT_EQ(parse_show_time("1:40"), 100000);
  EXPECT_EQ(parse_show_time("3:20.5"), 200500);
  EXPECT_EQ(parse_show_time("0:01.025"), 1025);
  for (const char* bad : {"", "1:4", "1:60", "1:40.1234", "-5", "1:40.", "a:10", "1.5"}) {
    EXPECT_FALSE(parse_show_time(bad)) << bad;
  }
  std::string error;
  const auto options = parse_options({"--capture", "clip.mkv", "--start", "1:00", "--end", "66000",
                                      "--fps", "60000/1001", "--crf", "23", "--preset", "slow"},
                                     error);
  ASSERT_TRUE(options) << error;
  EXPECT_EQ(options->viewing.start_ms, 60000);
  EXPECT_EQ(options->capture.end_ms, 66000);
  EXPECT_EQ(options->capture.fps_num, 60000);
  EXPECT_EQ(options->capture.fps_den, 1001);
  EXPECT_EQ(options->capture.crf, 23);
  EXPECT_EQ(options->capture.preset, "slow");
  EXPECT_EQ(std::filesystem::path(options->capture.file).filename(), "clip.mkv");
  EXPECT_TRUE(std::filesystem::path(options->capture.file).is_absolute());
  EXPECT_EQ(options->capture.codec, VideoCodec::h264);
  EXPECT_FALSE(options->capture.into_folder());

  const auto archive =
      parse_options({"--capture", "a.mkv", "--codec", "ffv1", "--supersample", "4"}, error);
  ASSERT_TRUE(archive) << error;
  EXPECT_EQ(archive->capture.codec, VideoCodec::ffv1);
  EXPECT_EQ(archive->capture.supersample, 4);
  const auto folder = parse_options({"--capture", "frames/"}, error);
  ASSERT_TRUE(folder) << error;
  EXPECT_TRUE(folder->capture.into_folder()) << folder->capture.file;
  EXPECT_TRUE(std::filesystem::path(folder->capture.file).is_absolute());
}

TEST(PlayerOptions, MalformedValuesAreRefusedWithWhatIsExpected) {
  const struct {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"--windowed", "big"}, "--windowed needs a size in pixels, as in --windowed 1280x960"},
      {{"--windowed", "0x600"}, "--windowed needs a size in pixels, as in --windowed 1280x960"},
      {{"--render-size"}, "--render-size needs a size in pixels, as in --render-size 1280x960"},
      {{"--render-size", "800x-600"},
       "--render-size needs a size in pixels, as in --render-size 1280x960"},
      {{"--steps-per-second"}, "--steps-per-second needs a whole number from 1 to 1000"},
      {{"--steps-per-second", "0"}, "--steps-per-second needs a whole number from 1 to 1000"},
      {{"--steps-per-second", "60.5"}, "--steps-per-second needs a whole number from 1 to 1000"},
      {{"--steps-per-second", "1001"}, "--steps-per-second needs a whole number from 1 to 1000"},
      {{"--start", "4:00.001"}, "--start needs a show time from 0 to 4:00, in ms or as m:ss.mmm"},
      {{"--capture", "a.mp4", "--fps", "0"},
       "--fps needs frames per second, as in --fps 60 or --fps 60000/1001"},
      {{"--capture", "a.mp4", "--crf", "52"},
       "--crf needs a quality from 0 (lossless) to 51 (worst)"},
      {{"--capture", "a.mp4", "--preset", "placebo"},
       "--preset needs an x264 preset: ultrafast, superfast, veryfast, faster, fast, medium, "
       "slow, slower or veryslow"},
      {{"--preset", "slow"},
       "--fps, --end, --codec, --crf, --preset and --supersample go with --capture"},
      {{"--supersample", "2"},
       "--fps, --end, --codec, --crf, --preset and --supersample go with --capture"},
      {{"--capture", "a.mkv", "--codec", "vp9"}, "--codec needs h264 or ffv1"},
      {{"--capture", "a.mkv", "--codec", "ffv1", "--crf", "0"},
       "--crf and --preset are H.264's; FFV1 is lossless and has neither"},
      {{"--capture", "a.mkv", "--preset", "slow", "--codec", "ffv1"},
       "--crf and --preset are H.264's; FFV1 is lossless and has neither"},
      {{"--capture", "d/", "--codec", "h264"},
       "--codec, --crf and --preset are for a video file, not a folder of PNG frames"},
      {{"--capture", "a.mp4", "--supersample", "5"},
       "--supersample needs a whole number from 2 to 4"},
      {{"--capture", "a.mp4", "--supersample", "4", "--render-size", "4800x3600"},
       "--supersample 4 would draw past 16384 pixels a side; ask for a smaller --render-size"},
      {{"--capture", "a.mp4", "--start", "5000", "--end", "5000"}, "--end must come after --start"},
      {{"--loop", "0"}, "--loop needs a number of passes from 1 to 1000000"},
      {{"--vsync", "maybe"}, "--vsync needs on or off"},
      {{"--vsync", "off", "--original-pacing"},
       "--vsync off goes without --original-pacing, whose speed would then have no bound"},
      {{"--msaa", "3"}, "--msaa needs a sample count: 2, 4 or 8"},
      {{"--loop", "two"}, "--loop needs a number of passes from 1 to 1000000"},
      {{"--loop", "2", "--capture", "a.mp4"},
       "--loop goes with neither --capture nor --frames-at, which end with the show"},
      {{"--frames-at", "0", "--out", "d", "--loop"},
       "--loop goes with neither --capture nor --frames-at, which end with the show"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(parse_options(c.args, error)) << c.args[0];
    EXPECT_EQ(error, c.error);
  }
}

TEST(PlayerOptions, HelpListsEveryOptionAndKey) {
  const std::string help = usage_text();
  for (const char* item : {"--windowed [WxH]",
                           "--render-size WxH",
                           "--data DIR",
                           "--screenshot-dir DIR",
                           "--fixed-step",
                           "--frames-at",
                           "--trace FILE",
                           "--steps-per-second N",
                           "--original-pacing",
                           "--mute",
                           "--vsync on|off",
                           "--no-osd",
                           "--msaa N",
                           "--help",
                           "--version",
                           "--start T",
                           "--loop [N]",
                           "--capture FILE",
                           "--fps R",
                           "--end T",
                           "--crf Q",
                           "--preset P",
                           "--codec C",
                           "--supersample N",
                           "Escape",
                           "Space",
                           "F11",
                           "Alt+Enter",
                           "Left and Right",
                           "PageUp and PageDown",
                           "Home",
                           "F12 or S",
                           "F1 shows the keys"}) {
    EXPECT_NE(help.find(item), std::string::npos) << item;
  }
}

std::set<std::string> long_options_in(const std::string& text) {
  const std::regex long_option("--[a-z][a-z-]*");
  std::set<std::string> names;
  for (std::sregex_iterator it(text.begin(), text.end(), long_option), end; it != end; ++it) {
    names.insert(it->str());
  }
  return names;
}

TEST(PlayerOptions, HelpAndReadmeListTheSameOptions) {
  // The help's option lines begin with two spaces and the option's names ("-h,--help").
  std::set<std::string> in_help;
  std::istringstream help(usage_text());
  for (std::string line; std::getline(help, line);) {
    if (line.rfind("  -", 0) == 0) {
      in_help.merge(long_options_in(line.substr(0, line.find(' ', 2))));
    }
  }
  // The first column of the README's tables under "## Options".
  std::ifstream file(PLOVERMIX_SOURCE_DIR "/README.md");
  std::set<std::string> in_readme;
  bool in_options = false;
  for (std::string line; std::getline(file, line);) {
    if (line.rfind("## ", 0) == 0) {
      in_options = line == "## Options";
    } else if (in_options && line.rfind("| `", 0) == 0) {
      in_readme.merge(long_options_in(line.substr(0, line.find('|', 1))));
    }
  }
  EXPECT_EQ(in_help, in_readme);
}

TEST(PictureSize, AsTallAsTheDrawableAtFourToThree) {
  EXPECT_EQ(picture_size({1920, 1080}), (PixelSize{1440, 1080}));
  EXPECT_EQ(picture_size({800, 600}), (PixelSize{800, 600}));
  EXPECT_EQ(picture_size({1366, 768}), (PixelSize{1024, 768}));
  EXPECT_EQ(picture_size({1000, 601}), (PixelSize{801, 601}));  // 801.33 rounds down
  // Narrower than 4:3: the width limits, the height follows.
  EXPECT_EQ(picture_size({1280, 1024}), (PixelSize{1280, 960}));
  EXPECT_EQ(picture_size({0, 0}), (PixelSize{1, 1}));
}

TEST(PresentLimiter, KeepsPresentsAtTheRefreshWithoutCatchingUp) {
  PresentLimiter limiter(refresh_interval_ms(0));  // unknown: 60 Hz
  double now = 0.0;
  int presents = 0;
  while (now < 1000.0) {
    now += limiter.wait_after(now) + 5.0;  // each frame takes 5 ms to draw
    ++presents;
  }
  EXPECT_NEAR(presents, 60, 1);
  // A stall of 100 ms: the next present waits a whole interval again.
  now += 100.0;
  EXPECT_NEAR(limiter.wait_after(now), 1000.0 / 60, 1e-9);
  EXPECT_NEAR(refresh_interval_ms(144), 1000.0 / 144, 1e-9);
}

TEST(SlowFrameWatch, TellsOnceAfterTwoSecondsOfSlowFramesRunning) {
  SlowFrameWatch watch(20.0);
  double now = 0.0;
  const auto frames = [&](double took, int count) {
    int told = 0;
    for (int i = 0; i < count; ++i) {
      now += took;
      told += watch.add(took, now) ? 1 : 0;
    }
    return told;
  };
  EXPECT_EQ(frames(33.0, 50), 0);  // 1.65 s slow
  EXPECT_EQ(frames(16.0, 1), 0);   // one in time starts the count again
  EXPECT_EQ(frames(33.0, 60), 0);  // 1.98 s
  EXPECT_EQ(frames(33.0, 1), 1);   // 2.01 s running
  EXPECT_EQ(frames(33.0, 200), 0) << "said once";
}

}  // namespace
