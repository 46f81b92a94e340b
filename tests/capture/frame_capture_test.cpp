#include "capture/frame_capture.h"

#include <gtest/gtest.h>

#include "show/bmp_fixture.h"
#include "show/trace_sprites.h"

namespace {

class FrameCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fresh_folder("plovermix-capture");
    trace = &install_trace_device();
  }
  void TearDown() override {
    release_device();
    std::filesystem::remove_all(dir);
  }

  std::filesystem::path dir;
  TraceDevice* trace = nullptr;
};

// Times come in any order; one frame may be the first to reach several of them.
TEST_F(FrameCaptureTest, WritesEachTimeOnceAtTheFirstFrameReachingIt) {
  trace->set_presented_frame(std::vector<std::uint8_t>(800 * 600 * 4, 0x80));
  FrameCapture capture({1000, 0, 990, 1000}, dir.string());
  EXPECT_TRUE(capture.after_present(0));
  EXPECT_TRUE(std::filesystem::exists(dir / "frame-0.png"));
  EXPECT_TRUE(capture.after_present(500));
  EXPECT_FALSE(std::filesystem::exists(dir / "frame-990.png"));
  EXPECT_FALSE(capture.done());
  EXPECT_TRUE(capture.after_present(1016));
  EXPECT_TRUE(std::filesystem::exists(dir / "frame-990.png"));
  EXPECT_TRUE(std::filesystem::exists(dir / "frame-1000.png"));
  EXPECT_TRUE(capture.done());
  EXPECT_TRUE(capture.missing().empty());
}

TEST_F(FrameCaptureTest, ADeviceWithoutPixelsOrAnUnwritableFolderIsAFailure) {
  FrameCapture no_pixels({0, 5000}, dir.string());
  EXPECT_FALSE(no_pixels.after_present(0));
  EXPECT_FALSE(std::filesystem::exists(dir / "frame-0.png"));

  trace->set_presented_frame(std::vector<std::uint8_t>(800 * 600 * 4, 0));
  FrameCapture unwritable({0}, (dir / "no" / "such" / "folder").string());
  EXPECT_FALSE(unwritable.after_present(0));

  FrameCapture never({250000}, dir.string());
  EXPECT_TRUE(never.after_present(240000));
  EXPECT_EQ(never.missing(), std::vector<int>{250000});
}

}  // namespace
