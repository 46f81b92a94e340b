// The whole show under the address and undefined-behaviour sanitizers (this
// program runs in the sanitizer build's pass too): once on our stand-in data,
// every scene visited, and once on a folder where every file is damaged.
// Both must run to the end with nothing for the sanitizers to report.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e/plovermix_run.h"
#include "show/bmp_fixture.h"

namespace {

namespace fs = std::filesystem;
using e2e::read_text;
using e2e::run_plovermix;
using e2e::sanitizer_findings;

class WholeShow : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fresh_folder("plovermix-whole-show");
    const std::string command = PLOVERMIX_BINARY_DIR "/showdata '" + dir.string() + "' > '" +
                                (dir / "showdata.txt").string() + "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << read_text(dir / "showdata.txt");
    fs::remove(dir / "showdata.txt");
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir);
  }
  // A large step keeps the run short and still lands in every scene.
  void play_to_the_end() {
    ASSERT_EQ(run_plovermix(dir, "--fixed-step 250"), 0) << read_text(dir / "output.txt");
    EXPECT_EQ(sanitizer_findings(read_text(dir / "output.txt")), "");
  }

  fs::path dir;
};

TEST_F(WholeShow, StandInDataPlaysCleanly) {
  play_to_the_end();
  EXPECT_FALSE(fs::exists(dir / "plovermix.log")) << read_text(dir / "plovermix.log");
}

std::vector<std::uint8_t> bytes_of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// Each file of the data gets one kind of damage, in turn, so every kind
// meets every sort of file (overlay, particle image, scene, texture, music).
TEST_F(WholeShow, EveryFileDamagedStillPlaysCleanly) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_GT(files.size(), 30u);
  const std::vector<std::uint8_t> other_format = bytes_of(files.front());
  for (std::size_t i = 0; i < files.size(); ++i) {
    const fs::path& file = files[i];
    std::vector<std::uint8_t> bytes = bytes_of(file);
    fs::remove(file);
    switch (i % 6) {
      case 0:  // cut in the middle of its data
        bytes.resize(bytes.size() / 2);
        write(file, bytes);
        break;
      case 1:
        write(file, {});
        break;
      case 2:  // garbage that keeps the file's first bytes, so it is read as its format
        for (std::size_t b = 8; b < bytes.size(); ++b) {
          bytes[b] = static_cast<std::uint8_t>(b * 2654435761u >> 13);
        }
        write(file, bytes);
        break;
      case 3:  // another file's bytes: a wrong format under the right name
        write(file, i == 0 ? std::vector<std::uint8_t>{'M', 'M', 1} : other_format);
        break;
      case 4:
        fs::create_directory(file);
        break;
      case 5:
        fs::create_symlink(dir / "nowhere" / file.filename(), file);
        break;
    }
  }
  play_to_the_end();
}

}  // namespace
