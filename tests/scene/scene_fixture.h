#pragma once
// Scene tests run in a fresh folder of their own (the log and the fixture
// files land there) with a trace device installed as the global device.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "format3ds/stdout_capture.h"
#include "gfx/trace_device.h"
#include "shell/base/render_helpers.h"
#include "showdata/bmp_writer.h"
#include "showdata/writer3ds.h"

class SceneTest : public testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/plovermix-scene-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    previous_ = fs::current_path();
    fs::current_path(folder_);
    auto made = std::make_unique<TraceDevice>();
    trace = made.get();
    install_device(std::move(made));
  }

  void TearDown() override {
    release_device();
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(folder_);
  }

  // Everything written to "plovermix.log" so far.
  std::string logText() const {
    std::ifstream in("plovermix.log", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  void writeScene(const std::string& name, const writer3ds::SceneDesc& scene) {
    ASSERT_TRUE(writer3ds::write_file(name, writer3ds::build_file(scene)));
  }

  void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    ASSERT_TRUE(writer3ds::write_file(name, bytes));
  }

  // A small image the texture loader reads, whatever the file's extension says.
  void writeImage(const std::string& name) {
    ASSERT_TRUE(showdata::write_bmp(name, showdata::RgbImage(1, 1, showdata::Rgb{9, 9, 9})));
  }

  TraceDevice* trace = nullptr;

 private:
  std::filesystem::path folder_;
  std::filesystem::path previous_;
};
