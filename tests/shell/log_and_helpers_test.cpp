#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "shell/log.h"
#include "shell/options.h"
#include "shell/render_helpers.h"

namespace {

class InTempFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("plovermix-shell-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
  }
  static std::string read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::filesystem::path folder_;
  std::filesystem::path previous_;
};

TEST_F(InTempFolder, LogAppendsExactlyWhatCallersWrite) {
  std::ofstream("plovermix.log") << "earlier run";
  write_log("\n%s", "a");
  write_log("\nb");
  write_log(" continued %d", 7);
  EXPECT_EQ(read("plovermix.log"), "earlier run\na\nb continued 7");
}

TEST_F(InTempFolder, LogThatCannotBeOpenedDropsTheMessage) {
  // A folder in the log's place cannot be opened for appending, even by root.
  std::filesystem::create_directory("plovermix.log");
  write_log("\nlost");
  EXPECT_TRUE(std::filesystem::is_directory("plovermix.log"));
  EXPECT_TRUE(std::filesystem::is_empty("plovermix.log"));
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
}

}  // namespace
