#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "shell/base/file_lookup.h"

namespace {

namespace fs = std::filesystem;

class FileLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("plovermix_lookup_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "sub");
    old_dir = fs::current_path();
    fs::current_path(dir);
  }
  void TearDown() override {
    fs::current_path(old_dir);
    fs::remove_all(dir);
  }
  static void touch(const fs::path& path) { std::ofstream(path) << "x"; }

  fs::path dir, old_dir;
};

TEST_F(FileLookup, ExactSpellingWinsOverOtherCases) {
  touch("echec.3ds");
  touch("ECHEC.3ds");
  EXPECT_EQ(find_file_any_case("echec.3ds"), "echec.3ds");
}

TEST_F(FileLookup, OtherCaseIsFoundInTheWorkingFolderAndInASubfolder) {
  touch("echec.3ds");
  touch("sub/Node.3DS");
  EXPECT_EQ(find_file_any_case("echec.3DS"), "echec.3ds");
  EXPECT_EQ(find_file_any_case("sub/node.3ds"), "sub/Node.3DS");
}

// Directory order differs between disks; name order makes the pick the same everywhere.
TEST_F(FileLookup, SeveralOtherCasesGiveTheFirstInNameOrder) {
  touch("eChec.3ds");
  touch("Echec.3ds");
  touch("sub/wall.BMP");
  touch("ECHEC.3ds");
  touch("sub/WALL.bmp");
  EXPECT_EQ(find_file_any_case("echec.3DS"), "ECHEC.3ds");
  EXPECT_EQ(find_file_any_case("sub/Wall.bmp"), "sub/WALL.bmp");
}

TEST_F(FileLookup, MissingFileKeepsTheShowsSpelling) {
  touch("echec.3ds.bak");
  EXPECT_EQ(find_file_any_case("echec.3DS"), "echec.3DS");
  EXPECT_EQ(find_file_any_case("nowhere/echec.3DS"), "nowhere/echec.3DS");
  EXPECT_EQ(find_file_any_case(""), "");
}

TEST_F(FileLookup, OnlyAsciiLettersFoldSoAnAccentedNameMustMatchItsBytes) {
  touch("Cam\xE9ra.3ds");
  EXPECT_EQ(find_file_any_case("CAM\xE9RA.3DS"), "Cam\xE9ra.3ds");
  EXPECT_EQ(find_file_any_case("Cam\xC9ra.3ds"), "Cam\xC9ra.3ds");
}

}  // namespace
