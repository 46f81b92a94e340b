#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "shell/base/log.h"
#include "shell/base/render_helpers.h"
#include "shell/options.h"
#include "support/fresh_folder.h"

namespace {

using InTempFolder = InFreshFolder;

TEST_F(InTempFolder, LogAppendsExactlyWhatCallersWrite) {
  std::ofstream(path("plovermix.log")) << "earlier run";
  write_log("\n%s", "a");
  write_log("\nb");
  write_log(" continued %d", 7);
  EXPECT_EQ(log_text(), "earlier run\na\nb continued 7");
}

TEST_F(InTempFolder, LogThatCannotBeOpenedDropsTheMessageAndSaysSoOnce) {
  // A folder in the log's place cannot be opened for appending, even by root.
  std::filesystem::create_directory(path("plovermix.log"));
  testing::internal::CaptureStderr();
  write_log("\nlost");
  write_log("\nlost too");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "plovermix: cannot write plovermix.log in " + folder().string() +
                " (Is a directory); the show runs without its log\n");
  EXPECT_TRUE(std::filesystem::is_directory(path("plovermix.log")));
  EXPECT_TRUE(std::filesystem::is_empty(path("plovermix.log")));
}

TEST(ClearColour, ComponentsAreTakenModulo256AndOpaque) {
  EXPECT_EQ(clear_color(0, 0, 0), 0xFF000000u);
  EXPECT_EQ(clear_color(256, 0, 1), 0xFF000001u);
  EXPECT_EQ(clear_color(255, 128, 64), 0xFFFF8040u);
  EXPECT_EQ(clear_color(-1, 0, 0), 0xFFFF0000u);
}

TEST(Options, KnownOptionsParseAndUnknownOnesAreRefused) {
  std::string error;
  const auto parsed = parse_options({"--windowed", "--data", "some/dir"}, error);
  ASSERT_TRUE(parsed);
  EXPECT_TRUE(parsed->windowed);
  EXPECT_EQ(parsed->data_dir, "some/dir");

  EXPECT_FALSE(parse_options({"--bogus"}, error));
  EXPECT_EQ(error, "unknown option '--bogus'");
  EXPECT_FALSE(parse_options({"--data"}, error));
  EXPECT_EQ(error, "--data needs a folder");
  // A step of a whole music pass would hold the clock at 0 for ever.
  EXPECT_FALSE(parse_options({"--fixed-step", "74180"}, error));
  EXPECT_EQ(error,
            "--fixed-step must be shorter than one pass of the music (74180 ms), not '74180'");
  EXPECT_TRUE(parse_options({"--fixed-step", "74179.5"}, error));
}

}  // namespace
