#pragma once
// Scene tests run with a fresh folder of their own (the log and the fixture
// files land there, and the device reads images from it) with a trace device
// installed as the global device.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "format3ds/stdout_capture.h"
#include "gfx/trace_device.h"
#include "shell/base/file_lookup.h"
#include "shell/base/log.h"
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
    log_.emplace(folder_ / "plovermix.log");
    auto made = std::make_unique<TraceDevice>();
    trace = made.get();
    install_device(std::move(made));
    device->SetFileFolder(folder_);
  }

  void TearDown() override {
    release_device();
    log_.reset();
    std::filesystem::remove_all(folder_);
  }

  // Where the fixture's file `name` lies, and the folder as the show's files' one.
  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  DataFolder data() const { return DataFolder(folder_); }

  // Everything written to "plovermix.log" so far.
  std::string logText() const {
    std::ifstream in(folder_ / "plovermix.log", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  void writeScene(const std::string& name, const writer3ds::SceneDesc& scene) {
    ASSERT_TRUE(writer3ds::write_file(path(name), writer3ds::build_file(scene)));
  }

  void writeBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    ASSERT_TRUE(writer3ds::write_file(path(name), bytes));
  }

  // A small image the texture loader reads, whatever the file's extension says.
  void writeImage(const std::string& name) {
    ASSERT_TRUE(showdata::write_bmp(path(name), showdata::RgbImage(1, 1, showdata::Rgb{9, 9, 9})));
  }

  TraceDevice* trace = nullptr;

 private:
  std::filesystem::path folder_;
  std::optional<LogFile> log_;
};
