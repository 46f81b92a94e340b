// The back buffer that follows the picture until the machine is too slow for
// it: then 800 x 600 for good, said once on standard error and in the log.
#include "show/render_size_fit.h"

#include <gtest/gtest.h>

#include "support/fresh_folder.h"

namespace {

class SizedPresenter final : public Presenter {
 public:
  PixelSize render_size() const override { return size; }
  bool set_render_size(PixelSize asked) override {
    size = asked;
    ++resizes;
    return true;
  }
  void keep_presented_frames() override {}
  std::optional<PixelSize> read_presented_frame(std::vector<std::uint8_t>&) override {
    return std::nullopt;
  }
  bool set_samples(int, std::string&) override { return true; }
  void set_overlay(std::optional<OverlayImage>) override {}
  PixelSize size{};
  int resizes = 0;
};

using RenderSizeFitTest = InFreshFolder;

TEST_F(RenderSizeFitTest, FollowsThePictureUntilTooSlowThenStaysAt800x600) {
  SizedPresenter presenter;
  RenderSizeFit fit(true, 1000.0 / 60.0);
  fit.fit(presenter, PixelSize{1440, 1080});
  EXPECT_EQ(presenter.size, (PixelSize{1440, 1080}));
  // Frames of 30 ms (a 60 Hz display allows under 21): for two seconds, then one more.
  testing::internal::CaptureStderr();
  double now = 0.0;
  for (; now <= 2040.0; now += 30.0) {
    fit.frame_drawn(presenter, 30.0, now);
  }
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(presenter.size, PixelSize{});
  EXPECT_EQ(said,
            "plovermix: drawing at 1440x1080 is too slow for this display; drawing at 800x600 from "
            "now on\n");
  EXPECT_EQ(log_text(),
            "\nDrawing at 1440x1080 is too slow for this display; drawing at 800x600 from now on");
  // A larger picture no longer brings the size back, and slow frames say nothing more.
  const int resizes = presenter.resizes;
  fit.fit(presenter, PixelSize{2880, 2160});
  fit.frame_drawn(presenter, 500.0, now + 5000.0);
  EXPECT_EQ(presenter.resizes, resizes);
}

TEST_F(RenderSizeFitTest, AnAskedSizeStaysAndFastFramesKeepTheSize) {
  SizedPresenter presenter;
  presenter.size = PixelSize{1280, 960};
  RenderSizeFit asked(false, 1000.0 / 60.0);
  asked.fit(presenter, PixelSize{1440, 1080});
  EXPECT_EQ(presenter.size, (PixelSize{1280, 960}));
  RenderSizeFit following(true, 1000.0 / 60.0);
  for (double now = 0.0; now < 5000.0; now += 16.0) {
    following.frame_drawn(presenter, 16.0, now);
  }
  EXPECT_EQ(presenter.resizes, 0);
}

}  // namespace
