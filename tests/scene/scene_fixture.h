#pragma once
// Scene tests run in a fresh folder of their own (the log and the fixture
// files land there) with a FakeDevice installed as the global device.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "format3ds/stdout_capture.h"
#include "scene/fake_device.h"
#include "shell/base/render_helpers.h"
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
    auto made = std::make_unique<FakeDevice>();
    fake = made.get();
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

  FakeDevice* fake = nullptr;

 private:
  std::filesystem::path folder_;
  std::filesystem::path previous_;
};
