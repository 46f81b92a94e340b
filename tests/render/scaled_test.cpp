// The back buffer at the screen's resolution: the show keeps drawing in its
// 800 x 600 units, and the frame looks like the 800 x 600 one enlarged.

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "render/render_fixture.h"
#include "render/sprite_texture.h"

namespace {

constexpr D3DVIEWPORT8 kFull{0, 0, 800, 600, 0.0f, 1.0f};

int channel(const std::vector<std::uint8_t>& rgba, int width, int x, int y, int c) {
  return rgba[(static_cast<std::size_t>(y) * width + x) * 4 + c];
}

// No channel of the 3 x 3 pixels around (x, y) differs from the centre's by more than 1.
bool flat(const std::vector<std::uint8_t>& rgba, int width, int x, int y) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      for (int c = 0; c < 3; ++c) {
        if (std::abs(channel(rgba, width, x + dx, y + dy, c) - channel(rgba, width, x, y, c)) > 1) {
          return false;
        }
      }
    }
  }
  return true;
}

// Within `tolerance` of the range from a to b.
bool between(int value, int a, int b, int tolerance) {
  return value >= std::min(a, b) - tolerance && value <= std::max(a, b) + tolerance;
}

}  // namespace

class ScaledRenderTest : public SpriteTextureTest {
 protected:
  void render_at(PixelSize size) {
    ASSERT_TRUE(presenter->set_render_size(size));
    ASSERT_EQ(dev->SetViewport(&kFull), D3D_OK);
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF4080C0u, 1.0f, 0),
              D3D_OK);
  }

  // The image at scale 1 with its corner at (100, 50), presented at `size`.
  void unscaled_sprite_at_100_50(PixelSize size) {
    render_at(size);
    sprite(SpriteDraw{.position_x = 100, .position_y = 50});
    present();
  }

  // Quads, clear rectangles, a viewport inset, point sprites and colour-keyed
  // sprites, all in the show's units.
  void draw_scene() {
    const D3DRECT rects[] = {{20, 20, 120, 80}, {130, 20, 160, 80}};
    ASSERT_EQ(dev->Clear(2, rects, D3DCLEAR_TARGET, 0xFF20A040u, 1.0f, 0), D3D_OK);
    set(D3DRS_LIGHTING, FALSE);
    set(D3DRS_CULLMODE, D3DCULL_NONE);
    bind_vertices(screen_quad(250, 150, 60, 0.5f, 0xFFE0C020u), FVF_XYZ_DIFFUSE);
    draw(D3DPT_TRIANGLELIST, 2);

    const D3DVIEWPORT8 inset{600, 400, 160, 120, 0.0f, 1.0f};
    ASSERT_EQ(dev->SetViewport(&inset), D3D_OK);
    ASSERT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF602080u, 1.0f, 0), D3D_OK);
    bind_vertices(quad<XyzColor>(-0.5f, 0.5f, 0.5f, -0.5f,
                                 [](float x, float y) {
                                   return XyzColor{x, y, 0.5f, 0xFF00FFFFu};
                                 }),
                  FVF_XYZ_DIFFUSE);
    draw(D3DPT_TRIANGLELIST, 2);
    ASSERT_EQ(dev->SetViewport(&kFull), D3D_OK);

    set(D3DRS_POINTSPRITEENABLE, TRUE);
    set_float(D3DRS_POINTSIZE, 40.0f);
    dev->SetTexture(0, texture_);
    bind_vertices(std::vector<XyzColor>{{ndc_x(150), ndc_y(450), 0.5f, 0xFFFFFFFFu}},
                  FVF_XYZ_DIFFUSE);
    draw(D3DPT_POINTLIST, 1);
    dev->SetTexture(0, nullptr);
    set_float(D3DRS_POINTSIZE, 1.0f);
    set_float(D3DRS_POINTSIZE_MIN, 8.0f);
    bind_vertices(std::vector<XyzColor>{{ndc_x(400), ndc_y(500), 0.5f, 0xFFFF00FFu}},
                  FVF_XYZ_DIFFUSE);
    draw(D3DPT_POINTLIST, 1);
    set(D3DRS_POINTSPRITEENABLE, FALSE);

    const SpriteDraw large{.scale_x = 10, .scale_y = 10, .position_x = 300, .position_y = 300};
    sprite(large);
    sprite(SpriteDraw{
        .scale_x = 8, .scale_y = 8, .rotation = 0.5f, .position_x = 500, .position_y = 200});
    const SpriteDraw plain{.position_x = 100, .position_y = 200};
    sprite(plain);
  }
};

TEST_F(ScaledRenderTest, TwiceTheSizeBoxFilteredMatchesTheShowsFrame) {
  render_at(PixelSize{800, 600});
  draw_scene();
  present();
  const std::vector<std::uint8_t> small = frame_;
  // The scene is all there in the small frame (each feature's centre).
  EXPECT_TRUE(near(70, 50, Rgb{0x20, 0xA0, 0x40})) << "clear rectangle";
  EXPECT_TRUE(near(250, 150, Rgb{0xE0, 0xC0, 0x20})) << "quad";
  EXPECT_TRUE(near(610, 410, Rgb{0x60, 0x20, 0x80})) << "inset cleared";
  EXPECT_TRUE(near(680, 460, Rgb{0, 255, 255})) << "quad in the inset";
  EXPECT_TRUE(near(135, 440, kTexels[0][0])) << "point sprite";
  EXPECT_TRUE(near(400, 500, Rgb{255, 0, 255})) << "8-pixel point";
  EXPECT_TRUE(near(302, 302, kTexels[0][0])) << "sprite";

  render_at(PixelSize{1600, 1200});
  draw_scene();
  present();
  ASSERT_EQ(frame_size_, (PixelSize{1600, 1200}));
  const std::vector<std::uint8_t>& large = frame_;
  constexpr int kBoxTolerance = 4;
  int compared = 0, differing = 0;
  std::ostringstream first;
  for (int y = 1; y < 599; ++y) {
    for (int x = 1; x < 799; ++x) {
      if (!flat(small, 800, x, y)) {
        continue;
      }
      ++compared;
      for (int c = 0; c < 3; ++c) {
        const double box =
            (channel(large, 1600, 2 * x, 2 * y, c) + channel(large, 1600, 2 * x + 1, 2 * y, c) +
             channel(large, 1600, 2 * x, 2 * y + 1, c) +
             channel(large, 1600, 2 * x + 1, 2 * y + 1, c)) /
            4.0;
        if (std::abs(box - channel(small, 800, x, y, c)) > kBoxTolerance) {
          if (differing++ < 5) {
            first << " (" << x << ", " << y << ") channel " << c << ": " << box << " against "
                  << channel(small, 800, x, y, c) << ";";
          }
          break;
        }
      }
    }
  }
  EXPECT_GT(compared, 400000) << "most of the frame is flat";
  EXPECT_EQ(differing, 0) << "of " << compared << " flat pixels, first:" << first.str();
}

TEST_F(ScaledRenderTest, SpriteTexelsBecomeWholeBlocksAtTwiceTheSize) {
  // At s = 2 the image's corner at (100, 50) lands on the pixel corner (200, 100):
  // each texel covers 2 x 2 pixels of its own colour, the keyed one the background,
  // with no blend into the neighbours and nothing left or above of the corner.
  unscaled_sprite_at_100_50(PixelSize{1600, 1200});
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      const Rgb expected = x == 3 && y == 0 ? kBackground : kTexels[y][x];
      for (const int dy : {0, 1}) {
        for (const int dx : {0, 1}) {
          EXPECT_TRUE(near(200 + 2 * x + dx, 100 + 2 * y + dy, expected))
              << "texel " << x << "," << y;
        }
      }
    }
  }
  for (const int y : {100, 103}) {
    EXPECT_TRUE(near(199, y, kBackground)) << "left of the image";
    EXPECT_TRUE(near(208, y, kBackground)) << "right of the image";
  }
  for (const int x : {200, 207}) {
    EXPECT_TRUE(near(x, 99, kBackground)) << "above the image";
    EXPECT_TRUE(near(x, 104, kBackground)) << "below the image";
  }
}

TEST_F(ScaledRenderTest, AColourKeyedEdgeFadesToTheBackgroundAtAFractionalScale) {
  // At s = 1.8 the blue texel spans x 183.6 to 185.4 and the keyed one 185.4 to
  // 187.2 on the first texel row (y 90 to 91.8). Pixel 185 straddles the two:
  // whatever its share, it lies between blue and the background, never darker.
  unscaled_sprite_at_100_50(PixelSize{1440, 1080});
  const Rgb blue = kTexels[0][2];
  EXPECT_TRUE(near(184, 90, blue));
  EXPECT_TRUE(near(186, 90, kBackground));
  const Rgb edge = pixel(185, 90);
  EXPECT_TRUE(between(edge.r, blue.r, kBackground.r, kTolerance) &&
              between(edge.g, blue.g, kBackground.g, kTolerance) &&
              between(edge.b, blue.b, kBackground.b, kTolerance))
      << "pixel (185, 90) is " << edge << ", between " << blue << " and " << kBackground;
}

// A resize clears the new back buffer with the depth mask on, behind the
// device's cache: the next draws still write depth only as ZWRITEENABLE says,
// and the new storage holds no frame to read back before the next present.
TEST_F(ScaledRenderTest, AResizeKeepsTheDepthStatesAndHoldsNoFrame) {
  set(D3DRS_LIGHTING, FALSE);
  set(D3DRS_CULLMODE, D3DCULL_NONE);
  set(D3DRS_ZWRITEENABLE, FALSE);
  bind_vertices(screen_quad(400, 300, 50, 0.2f, 0xFFFF0000u), FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);
  present();
  ASSERT_TRUE(presenter->set_render_size(PixelSize{1600, 1200}));
  std::vector<std::uint8_t> rgba;
  EXPECT_FALSE(presenter->read_presented_frame(rgba).has_value());
  draw(D3DPT_TRIANGLELIST, 2);  // red and near, its depth not written
  bind_vertices(screen_quad(400, 300, 50, 0.5f, 0xFF0000FFu), FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);  // blue and farther: over the red
  present();
  EXPECT_TRUE(near(800, 600, Rgb{0, 0, 255}));
}
