#include "capture/frame_capture.h"

#include <gtest/gtest.h>

#include "show/bmp_fixture.h"
#include "support/held_frame.h"

namespace {

class FrameCaptureTest : public ::testing::Test {
 protected:
  void SetUp() override { dir = fresh_folder("plovermix-capture"); }
  void TearDown() override { std::filesystem::remove_all(dir); }

  std::filesystem::path dir;
  HeldFrame presenter;
};

// Times come in any order; one frame may be the first to reach several of them.
TEST_F(FrameCaptureTest, WritesEachTimeOnceAtTheFirstFrameReachingIt) {
  presenter.frame.assign(800 * 600 * 4, 0x80);
  FrameCapture capture({1000, 0, 990, 1000}, dir.string(), &presenter);
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
  FrameCapture no_pixels({0, 5000}, dir.string(), &presenter);
  EXPECT_FALSE(no_pixels.after_present(0));
  EXPECT_FALSE(std::filesystem::exists(dir / "frame-0.png"));
  FrameCapture no_presenter({0}, dir.string(), nullptr);
  EXPECT_FALSE(no_presenter.after_present(0));

  presenter.frame.assign(800 * 600 * 4, 0);
  FrameCapture unwritable({0}, (dir / "no" / "such" / "folder").string(), &presenter);
  EXPECT_FALSE(unwritable.after_present(0));

  FrameCapture never({250000}, dir.string(), &presenter);
  EXPECT_TRUE(never.after_present(240000));
  EXPECT_EQ(never.missing(), std::vector<int>{250000});
}

}  // namespace
