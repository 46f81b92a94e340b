// The show's 800 x 600 frame on real pixels: the picture in the window and
// the back buffer's rectangles and point sizes at the screen's resolution.

#include "gfx/render_scale.h"

#include <gtest/gtest.h>

#include "gfx/device_state.h"
#include "gfx/gl_pipeline.h"

TEST(FitPicture, TheLargest4By3PictureCentredWithBlackBars) {
  struct Case {
    PixelSize drawable;
    PixelRect picture;
  };
  const Case cases[] = {
      // 1080 high: 1080 * 4 / 3 = 1440 wide, (1920 - 1440) / 2 = 240 either side.
      {{1920, 1080}, {240, 0, 1440, 1080}},
      // 768 * 4 / 3 = 1024, (1366 - 1024) / 2 = 171.
      {{1366, 768}, {171, 0, 1024, 768}},
      // 1600 * 4 / 3 = 2133.33: 2133 wide, (2560 - 2133) / 2 = 213 (the odd pixel to the right).
      {{2560, 1600}, {213, 0, 2133, 1600}},
      // Exactly 4:3: the whole drawable, larger or smaller than 800 x 600.
      {{800, 600}, {0, 0, 800, 600}},
      {{640, 480}, {0, 0, 640, 480}},
      // 2160 * 4 / 3 = 2880, (3840 - 2880) / 2 = 480: a fractional 3.6 times 800.
      {{3840, 2160}, {480, 0, 2880, 2160}},
      // Taller than 4:3 (a portrait screen): full width, 1080 * 3 / 4 = 810 high,
      // (1920 - 810) / 2 = 555 above and below.
      {{1080, 1920}, {0, 555, 1080, 810}},
  };
  for (const Case& c : cases) {
    const PixelRect got = fit_picture(c.drawable);
    EXPECT_EQ(got, c.picture) << c.drawable.width << " x " << c.drawable.height << " gives "
                              << got.x << "," << got.y << " " << got.width << " x " << got.height;
  }
  EXPECT_EQ(fit_picture(PixelSize{0, 0}), PixelRect{}) << "a minimised window shows nothing";
}

TEST(ScaleRect, ViewportsAndClearRectanglesGrowByHeightOver600) {
  D3DVIEWPORT8 full{0, 0, 800, 600, 0.0f, 1.0f};
  D3DVIEWPORT8 inset{600, 20, 180, 135, 0.0f, 1.0f};
  // s = 1: nothing moves.
  EXPECT_EQ(scale_viewport(PixelSize{800, 600}, inset), (PixelRect{600, 20, 180, 135}));
  // s = 1200 / 600 = 2.
  EXPECT_EQ(scale_viewport(PixelSize{1600, 1200}, inset), (PixelRect{1200, 40, 360, 270}));
  // s = 1080 / 600 = 1.8: 600 * 1.8 = 1080, 20 * 1.8 = 36, 180 * 1.8 = 324, 135 * 1.8 = 243.
  EXPECT_EQ(scale_viewport(PixelSize{1440, 1080}, inset), (PixelRect{1080, 36, 324, 243}));
  EXPECT_EQ(scale_viewport(PixelSize{1440, 1080}, full), (PixelRect{0, 0, 1440, 1080}));
  // s = 1600 / 600 = 8 / 3: the right edge 800 * 8 / 3 = 2133.33 rounds to the 2133-pixel width.
  EXPECT_EQ(scale_viewport(PixelSize{2133, 1600}, full), (PixelRect{0, 0, 2133, 1600}));
  // Two clear rectangles that share the edge x = 100 still share it: 100 * 8 / 3 = 266.67 -> 267.
  const PixelRect left = scale_rect(PixelSize{2133, 1600}, D3DRECT{10, 10, 100, 50});
  const PixelRect right = scale_rect(PixelSize{2133, 1600}, D3DRECT{100, 10, 200, 50});
  EXPECT_EQ(left, (PixelRect{27, 27, 240, 106}));
  EXPECT_EQ(left.x + left.width, right.x);
  // A back buffer narrower than 4:3 clips what falls beyond its right edge.
  EXPECT_EQ(scale_viewport(PixelSize{2000, 1600}, full), (PixelRect{0, 0, 2000, 1600}));
}

TEST(FillBlock, PointSizesAreShowPixelsAndSpritesKeepTheirSharpness) {
  DeviceState state;
  state.render_states[D3DRS_POINTSIZE] = float_state_bits(10.8f);
  state.render_states[D3DRS_POINTSIZE_MIN] = float_state_bits(4.0f);
  state.render_states[D3DRS_POINTSIZE_MAX] = float_state_bits(64.0f);
  FixedFunctionBlock block{};
  fill_block(state, D3DPT_POINTLIST, false, 1.0f, block);
  EXPECT_FLOAT_EQ(block.point_params[0], 10.8f);
  EXPECT_FLOAT_EQ(block.point_size_range[0], 4.0f);
  EXPECT_FLOAT_EQ(block.texel_sharpening, 1.0f);
  // A 10.8-pixel point of the show covers 10.8 * 1.8 = 19.44 pixels of a 1080-line back buffer,
  // and its clamp grows with it; the viewport stays in the show's units.
  fill_block(state, D3DPT_POINTLIST, false, 1.8f, block);
  EXPECT_FLOAT_EQ(block.point_params[0], 19.44f);
  EXPECT_FLOAT_EQ(block.point_size_range[0], 7.2f);
  EXPECT_FLOAT_EQ(block.point_size_range[1], 115.2f);
  EXPECT_FLOAT_EQ(block.viewport_size[1], 600.0f);
  EXPECT_FLOAT_EQ(block.texel_sharpening, 1.0f) << "stage 0 filters by point: already sharp";
  fill_block(state, D3DPT_TRIANGLEFAN, true, 1.8f, block);
  EXPECT_FLOAT_EQ(block.texel_sharpening, 1.8f) << "the sprite drawer's linear filter";
}
