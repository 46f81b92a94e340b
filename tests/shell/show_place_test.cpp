// Where a run reads the show and writes its log when no data folder is named.
#include "shell/show_place.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fresh_folder.h"

namespace {

namespace fs = std::filesystem;

class ShowPlaceTest : public InFreshFolder {
 protected:
  void SetUp() override {
    InFreshFolder::SetUp();
    program = folder() / "usr" / "bin" / "plovermix";
    fs::create_directories(program.parent_path());
  }
  void install_data() { fs::create_directories(folder() / "usr" / "share" / "plovermix" / "data"); }

  fs::path program;
};

TEST_F(ShowPlaceTest, AGivenFolderOrAShowHereIsPlayedWhereItIsWithItsLog) {
  install_data();
  const ShowPlace given = choose_show_place("my/show", false, program, "/state", "/home/u");
  EXPECT_EQ(given.data_dir, "my/show");
  EXPECT_EQ(given.log_file, fs::path("my/show/plovermix.log"));
  EXPECT_FALSE(given.installed);
  const ShowPlace here = choose_show_place("", true, program, "/state", "/home/u");
  EXPECT_EQ(here.data_dir, "");
  EXPECT_EQ(here.log_file, fs::path("plovermix.log"));
  EXPECT_FALSE(here.installed);
}

TEST_F(ShowPlaceTest, NoShowHerePlaysTheInstalledOneAndLogsUnderTheStateFolder) {
  // Without an installed show (a program run from its build tree), nothing changes.
  EXPECT_FALSE(choose_show_place("", false, program, "/state", "/home/u").installed);
  install_data();
  const ShowPlace installed = choose_show_place("", false, program, "/state", "/home/u");
  EXPECT_TRUE(installed.installed);
  EXPECT_EQ(installed.data_dir, (folder() / "usr" / "share" / "plovermix" / "data").string());
  EXPECT_EQ(installed.log_file, fs::path("/state/plovermix/plovermix.log"));
  // An unset or relative XDG_STATE_HOME falls back to the home folder's.
  for (const char* state : {"", "relative/state"}) {
    EXPECT_EQ(choose_show_place("", false, program, state, "/home/u").log_file,
              fs::path("/home/u/.local/state/plovermix/plovermix.log"))
        << state;
  }
}

}  // namespace
