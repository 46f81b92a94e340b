// The screenshot key's files: where they go, their names, and what a folder
// that cannot be written gives.

#include "shell/screenshot.h"

#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <fstream>

#include "show/bmp_fixture.h"
#include "support/held_frame.h"

namespace {

namespace fs = std::filesystem;

class Screenshots : public ::testing::Test {
 protected:
  void SetUp() override { home = fresh_folder("plovermix-screenshots"); }
  void TearDown() override { fs::remove_all(home); }
  void user_dirs(const fs::path& config, const std::string& pictures_line) {
    fs::create_directories(config);
    std::ofstream(config / "user-dirs.dirs")
        << "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
        << pictures_line << "\n";
  }
  fs::path home;
};

TEST_F(Screenshots, TheFolderAskedForElseThePicturesFolderWhereItExistsElseHome) {
  const std::string h = home.string();
  EXPECT_EQ(screenshot_folder("/tmp/shots", h, ""), "/tmp/shots");
  EXPECT_EQ(screenshot_folder("", h, ""), home) << "no user-dirs.dirs";
  user_dirs(home / ".config", "XDG_PICTURES_DIR=\"$HOME/Bilder\"");
  EXPECT_EQ(screenshot_folder("", h, ""), home) << "named, but not there";
  fs::create_directories(home / "Bilder");
  EXPECT_EQ(screenshot_folder("", h, ""), home / "Bilder");
  // XDG_CONFIG_HOME is where the file is read from when set.
  user_dirs(home / "elsewhere", "XDG_PICTURES_DIR=\"" + h + "/Photos\"");
  fs::create_directories(home / "Photos");
  EXPECT_EQ(screenshot_folder("", h, (home / "elsewhere").string()), home / "Photos");
}

TEST_F(Screenshots, NamedByTheShowTimeAndNeverOverwritten) {
  EXPECT_EQ(screenshot_name(0), "plovermix-0-00-000.png");
  EXPECT_EQ(screenshot_name(61500), "plovermix-1-01-500.png");
  EXPECT_EQ(screenshot_name(239999), "plovermix-3-59-999.png");

  HeldFrame presenter;
  presenter.size = {4, 2};
  presenter.frame = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 9,  9,  9,  255,
                     1,   2, 3, 255, 4, 5,   6, 255, 7, 8, 9,   255, 10, 11, 12, 255};
  const fs::path shots = home / "new" / "shots";
  const ScreenshotResult first = save_screenshot(presenter, shots, 61500);
  EXPECT_TRUE(first.written);
  EXPECT_EQ(first.message, "screenshot " + (shots / "plovermix-1-01-500.png").string());
  EXPECT_EQ(save_screenshot(presenter, shots, 61500).message,
            "screenshot " + (shots / "plovermix-1-01-500-2.png").string());
  int width = 0, height = 0, channels = 0;
  unsigned char* pixels =
      stbi_load((shots / "plovermix-1-01-500.png").c_str(), &width, &height, &channels, 4);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(width, 4);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(std::vector<std::uint8_t>(pixels, pixels + 32), presenter.frame);
  stbi_image_free(pixels);
}

TEST_F(Screenshots, AFolderThatCannotBeWrittenOrNoFrameIsAMessage) {
  HeldFrame presenter;
  presenter.size = {4, 2};
  const ScreenshotResult none = save_screenshot(presenter, home, 0);
  EXPECT_FALSE(none.written);
  EXPECT_EQ(none.message, "the screenshot could not be read back");
  presenter.frame.assign(32, 0);
  std::ofstream(home / "taken") << "a file";
  const ScreenshotResult refused = save_screenshot(presenter, home / "taken" / "shots", 1000);
  EXPECT_FALSE(refused.written);
  const std::string& said = refused.message;
  EXPECT_EQ(said.rfind("cannot write the screenshot " +
                           (home / "taken" / "shots" / "plovermix-0-01-000.png").string() + ": ",
                       0),
            0u)
      << said;
}

}  // namespace
