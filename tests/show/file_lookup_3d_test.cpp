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
  }
  void TearDown() override { fs::remove_all(dir); }
  void touch(const std::string& name) const { std::ofstream(dir / name) << "x"; }
  std::string find_file_any_case(const std::string& name) const {
    return DataFolder(dir).find(name);
  }

  fs::path dir;
};

TEST_F(FileLookup, ExactSpellingWinsOverOtherCases) {
  touch("echec.3ds");
  touch("ECHEC.3ds");
  EXPECT_EQ(find_file_any_case("echec.3ds"), "echec.3ds");
}

TEST_F(FileLookup, OtherCaseIsFoundInTheDataFolderAndInASubfolder) {
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

// Names are looked up, opened and reported against the data folder, whatever
// the working directory is.
TEST_F(FileLookup, TheDataFolderNotTheWorkingDirectoryHoldsTheFiles) {
  touch("Vorn.MP3");
  const DataFolder data(dir);
  EXPECT_EQ(data.find("vorn.mp3"), "Vorn.MP3");
  EXPECT_EQ(data.path("Vorn.MP3"), (dir / "Vorn.MP3").string());
  EXPECT_EQ(data.shown(), fs::canonical(dir).string());
  EXPECT_EQ(DataFolder().find("vorn.mp3"), "vorn.mp3") << "not in the working directory";
  EXPECT_EQ(DataFolder().path("vorn.mp3"), "vorn.mp3");
}

}  // namespace
