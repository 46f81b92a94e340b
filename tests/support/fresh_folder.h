#pragma once
// Runs a test with a fresh folder of its own, whose "plovermix.log" is the log
// while the test runs, so that it holds only what the test wrote; reads it
// back as bytes.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "shell/base/log.h"

class InFreshFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ =
        std::filesystem::temp_directory_path() / ("plovermix-" + std::to_string(::getpid()) + "-" +
                                                  info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    log_.emplace(folder_ / "plovermix.log");
  }
  void TearDown() override {
    log_.reset();
    std::filesystem::remove_all(folder_);
  }

  std::string log_text() const {
    std::ifstream in(folder_ / "plovermix.log", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  std::optional<LogFile> log_;
};
