// Every input kept in fuzz/regressions/<target>/ (the inputs that once broke
// a reader, and a few broken shapes kept on purpose) runs through its fuzz
// target's own entry on every unit run, the sanitizer build included.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz_entries.h"

namespace {

namespace fs = std::filesystem;

class KeptInputs : public ::testing::TestWithParam<FuzzEntry> {};

TEST_P(KeptInputs, RunCleanly) {
  const fs::path folder = fs::path(PLOVERMIX_SOURCE_DIR) / "fuzz" / "regressions" / GetParam().name;
  ASSERT_TRUE(fs::is_directory(folder)) << folder;
  int count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    SCOPED_TRACE(entry.path().filename().string());
    EXPECT_EQ(GetParam().run(bytes.data(), bytes.size()), 0);
    ++count;
  }
  EXPECT_GT(count, 0) << "no kept input in " << folder;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, KeptInputs, ::testing::ValuesIn(FUZZ_ENTRIES),
                         [](const auto& kept) { return std::string(kept.param.name); });

}  // namespace
