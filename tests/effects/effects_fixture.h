#pragma once
// Installs a trace device as the show's device, restarts the shared random
// generator and gives each test a fresh folder holding the two particle
// images, which the device reads from and whose log starts empty.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "gfx/trace_device.h"
#include "math/show_random.h"
#include "shell/base/log.h"
#include "shell/base/render_helpers.h"
#include "showdata/bmp_writer.h"

class EffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    show_rand_reset();
    auto made = std::make_unique<TraceDevice>();
    trace = made.get();
    ASSERT_EQ(install_device(std::move(made)), D3D_OK);
    dir = std::filesystem::temp_directory_path() /
          ("plovermix_effects_" + std::to_string(::getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    log.emplace(dir / "plovermix.log");
    device->SetFileFolder(dir);
    showdata::write_bmp(dir / "particle.bmp", showdata::RgbImage(4, 4, {255, 255, 255}));
    showdata::write_bmp(dir / "particule2.bmp", showdata::RgbImage(4, 4, {255, 0, 0}));
    trace->clear_trace();
  }
  void TearDown() override {
    EXPECT_TRUE(trace->misuse().empty()) << trace->misuse().front();
    log.reset();
    std::filesystem::remove_all(dir);
    release_device();
  }
  std::string log_text() const {
    std::ifstream in(dir / "plovermix.log", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TraceDevice* trace = nullptr;
  std::filesystem::path dir;
  std::optional<LogFile> log;
};
