// Point sprites and the screen sprite drawer on llvmpipe.

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "render/render_fixture.h"
#include "render/sprite_texture.h"

namespace {

struct Rgba {
  double r, g, b, a;
};

Rgba texel(int x, int y) {
  x = std::clamp(x, 0, 3);
  y = std::clamp(y, 0, 1);
  if (x == 3 && y == 0) {
    return Rgba{0, 0, 0, 0};  // the colour key: transparent black
  }
  const Rgb& c = kTexels[y][x];
  return Rgba{c.r / 255.0, c.g / 255.0, c.b / 255.0, 1};
}

// What the sprite drawer should leave at pixel (px, py): the pixel centre
// mapped back into the image, the texture filtered linearly with clamping,
// modulated by the colour and blended SRCALPHA / INVSRCALPHA over the
// background; the alpha test drops alpha 0.
Rgb expected_sprite_pixel(int px, int py, const SpriteDraw& s) {
  const double rx = px - static_cast<double>(s.position_x) + 0.5 - s.center_x;
  const double ry = py - static_cast<double>(s.position_y) + 0.5 - s.center_y;
  const double c = std::cos(s.rotation), n = std::sin(s.rotation);
  const double ix = (rx * c - ry * n + s.center_x) / s.scale_x;
  const double iy = (rx * n + ry * c + s.center_y) / s.scale_y;
  if (ix < 0 || iy < 0 || ix >= 4 || iy >= 2) {
    return kBackground;
  }
  const double u = ix - 0.5, v = iy - 0.5;
  const int x0 = static_cast<int>(std::floor(u)), y0 = static_cast<int>(std::floor(v));
  const double fx = u - x0, fy = v - y0;
  Rgba t{0, 0, 0, 0};
  for (int j = 0; j < 2; ++j) {
    for (int i = 0; i < 2; ++i) {
      const double w = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
      const Rgba k = texel(x0 + i, y0 + j);
      t = Rgba{t.r + w * k.r, t.g + w * k.g, t.b + w * k.b, t.a + w * k.a};
    }
  }
  const auto channel = [&s](int shift) { return ((s.color >> shift) & 0xFF) / 255.0; };
  const double a = t.a * channel(24);
  if (to_byte(a) == 0) {
    return kBackground;
  }
  const auto blend = [a](double src, int back) {
    return to_byte(src * a + back / 255.0 * (1 - a));
  };
  return Rgb{blend(t.r * channel(16), kBackground.r), blend(t.g * channel(8), kBackground.g),
             blend(t.b * channel(0), kBackground.b)};
}

}  // namespace

class SpriteTest : public SpriteTextureTest {};

TEST_F(SpriteTest, PointSpriteSizeCentreAndTextureOrientation) {
  // A 2 x 2 corner of the texture would do; the whole 4 x 2 image spreads over
  // a 40-pixel square: 10-pixel columns, 20-pixel rows.
  set(D3DRS_LIGHTING, FALSE);
  set(D3DRS_POINTSPRITEENABLE, TRUE);
  set_float(D3DRS_POINTSIZE, 40.0f);
  dev->SetTexture(0, texture_);
  bind_vertices(std::vector<XyzColor>{{ndc_x(200), ndc_y(200), 0.5f, 0xFFFFFFFFu}},
                FVF_XYZ_DIFFUSE);
  draw(D3DPT_POINTLIST, 1);
  // The minimum size wins over a smaller POINTSIZE.
  dev->SetTexture(0, nullptr);
  set_float(D3DRS_POINTSIZE, 1.0f);
  set_float(D3DRS_POINTSIZE_MIN, 8.0f);
  bind_vertices(std::vector<XyzColor>{{ndc_x(500), ndc_y(200), 0.5f, 0xFFFF00FFu}},
                FVF_XYZ_DIFFUSE);
  draw(D3DPT_POINTLIST, 1);
  present();
  // Square from 180 to 220 around the centre pixel 200.
  EXPECT_TRUE(near(185, 190, kTexels[0][0])) << "top-left texel at the top-left";
  EXPECT_TRUE(near(195, 190, kTexels[0][1]));
  EXPECT_TRUE(near(215, 190, Rgb{0, 0, 0})) << "colour-keyed texel, no blending: black";
  EXPECT_TRUE(near(185, 210, kTexels[1][0])) << "second row at the bottom";
  EXPECT_TRUE(near(215, 210, kTexels[1][3]));
  EXPECT_TRUE(near(178, 200, kBackground)) << "left of the square";
  EXPECT_TRUE(near(222, 200, kBackground)) << "right of the square";
  EXPECT_TRUE(near(200, 178, kBackground)) << "above the square";
  EXPECT_TRUE(near(200, 222, kBackground)) << "below the square";
  const Rgb magenta{255, 0, 255};
  EXPECT_TRUE(near(497, 197, magenta)) << "8-pixel minimum";
  EXPECT_TRUE(near(502, 202, magenta)) << "8-pixel minimum";
  EXPECT_TRUE(near(494, 200, kBackground));
  EXPECT_TRUE(near(506, 200, kBackground));
}

TEST_F(SpriteTest, ScaleTranslationAndColourKey) {
  SpriteDraw s;
  s.position_x = 100;
  s.position_y = 50;
  sprite(s);
  s.position_x = 300;
  s.position_y = 300;
  s.scale_x = 10;
  s.scale_y = 20;
  sprite(s);
  present();
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      const Rgb expected = x == 3 && y == 0 ? kBackground : kTexels[y][x];
      EXPECT_TRUE(near(100 + x, 50 + y, expected)) << "scale 1, texel " << x << "," << y;
      const int px = 300 + 10 * x + 5, py = 300 + 20 * y + 10;
      EXPECT_TRUE(near(px, py, expected_sprite_pixel(px, py, s)))
          << "scale 10 x 20, texel " << x << "," << y;
    }
  }
  EXPECT_TRUE(near(99, 50, kBackground));
  EXPECT_TRUE(near(104, 50, kBackground));
  EXPECT_TRUE(near(100, 52, kBackground));
  EXPECT_TRUE(near(341, 310, kBackground));
  EXPECT_TRUE(near(310, 341, kBackground));
}

TEST_F(SpriteTest, PositiveRotationTurnsCounterClockwiseOnScreen) {
  SpriteDraw s;
  s.scale_x = 10;
  s.scale_y = 10;
  s.rotation = static_cast<float>(M_PI / 2);
  s.position_x = 400;
  s.position_y = 300;
  sprite(s);
  present();
  // A quarter turn counter-clockwise about the top-left corner: the image's
  // x axis points up the screen and its y axis to the right.
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      const Rgb expected = x == 3 && y == 0 ? kBackground : kTexels[y][x];
      const int px = 400 + 10 * y + 5, py = 300 - 10 * x - 5;
      const Rgb exact = expected_sprite_pixel(px, py, s);
      ASSERT_LT(std::abs(exact.r - expected.r) + std::abs(exact.g - expected.g), 40)
          << "the expected-colour formula itself";
      EXPECT_TRUE(near(px, py, exact)) << "texel " << x << "," << y;
    }
  }
}

TEST_F(SpriteTest, ColourModulatesAndItsAlphaBlends) {
  SpriteDraw half;
  half.scale_x = 10;
  half.scale_y = 10;
  half.position_x = 100;
  half.position_y = 100;
  half.color = 0xFF808080u;
  sprite(half);
  SpriteDraw faint = half;
  faint.position_y = 200;
  faint.color = 0x40FFFFFFu;
  sprite(faint);
  present();
  for (const int px : {105, 115, 125}) {
    EXPECT_TRUE(near(px, 115, expected_sprite_pixel(px, 115, half))) << "colour 0x808080 at " << px;
    EXPECT_TRUE(near(px, 215, expected_sprite_pixel(px, 215, faint))) << "alpha 0x40 at " << px;
  }
}

TEST_F(SpriteTest, UnfoggedWhileFogIsOnAndStatesComeBack) {
  // 3D states a scene left: fog on (white, EXP), lighting off, blending off, culling CW.
  set(D3DRS_LIGHTING, FALSE);
  set(D3DRS_FOGENABLE, TRUE);
  set(D3DRS_FOGCOLOR, 0xFFFFFFFFu);
  set(D3DRS_FOGVERTEXMODE, D3DFOG_EXP);
  set_float(D3DRS_FOGDENSITY, 1.0f);
  set(D3DRS_CULLMODE, D3DCULL_CW);
  SpriteDraw s;
  s.scale_x = 10;
  s.scale_y = 10;
  s.position_x = 100;
  s.position_y = 100;
  sprite(s);
  // After the sprite: culling CW still drops a clockwise quad, and a counter-clockwise
  // alpha-0 quad at depth 0.5 is fogged (f = e^-0.5) and opaque (no blending).
  bind_vertices(screen_quad(400, 300, 50, 0.5f, 0x00000000u), FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);
  auto reversed = screen_quad(600, 300, 50, 0.5f, 0x00000000u);
  std::swap(reversed[1], reversed[2]);
  std::swap(reversed[4], reversed[5]);
  bind_vertices(reversed, FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);
  present();
  EXPECT_TRUE(near(105, 115, expected_sprite_pixel(105, 115, s)));
  EXPECT_TRUE(near(115, 105, expected_sprite_pixel(115, 105, s))) << "sprite texels are not fogged";
  const int fogged = to_byte(1.0 - std::exp(-0.5));
  EXPECT_TRUE(near(400, 300, kBackground)) << "culling came back";
  EXPECT_TRUE(near(600, 300, Rgb{fogged, fogged, fogged})) << "fog and blending states came back";
}

TEST_F(SpriteTest, StageZeroModulatesByDiffuseTakesTextureAlphaAndWraps) {
  // The show's mesh vertices carry alpha 0: with the default stage the texture's
  // alpha decides, so a SRCALPHA / INVSRCALPHA draw still covers the background.
  set(D3DRS_LIGHTING, FALSE);
  set(D3DRS_CULLMODE, D3DCULL_NONE);
  set(D3DRS_ALPHABLENDENABLE, TRUE);
  set(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  set(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  dev->SetTexture(0, texture_);
  // u runs 0 to 2 across 160 pixels: the 4 texels twice (WRAP), 20 pixels each.
  const float l = ndc_x(100), r = ndc_x(260), t = ndc_y(100), b = ndc_y(180);
  const D3DCOLOR grey = 0x00808080u;
  bind_vertices(std::vector<XyzColorUv>{{l, t, 0.5f, grey, 0, 0},
                                        {r, t, 0.5f, grey, 2, 0},
                                        {l, b, 0.5f, grey, 0, 1},
                                        {l, b, 0.5f, grey, 0, 1},
                                        {r, t, 0.5f, grey, 2, 0},
                                        {r, b, 0.5f, grey, 2, 1}},
                FVF_XYZ_DIFFUSE_TEX1);
  draw(D3DPT_TRIANGLELIST, 2);
  present();
  const auto half = [](const Rgb& c) {
    return Rgb{to_byte(c.r / 255.0 * (128 / 255.0)), to_byte(c.g / 255.0 * (128 / 255.0)),
               to_byte(c.b / 255.0 * (128 / 255.0))};
  };
  for (const int repeat : {0, 1}) {
    const int x = 100 + 80 * repeat;
    EXPECT_TRUE(near(x + 10, 120, half(kTexels[0][0]))) << "red texel, repeat " << repeat;
    EXPECT_TRUE(near(x + 30, 120, half(kTexels[0][1]))) << "green texel, repeat " << repeat;
    EXPECT_TRUE(near(x + 70, 120, kBackground)) << "keyed texel: alpha 0, repeat " << repeat;
    EXPECT_TRUE(near(x + 10, 160, half(kTexels[1][0]))) << "white texel, repeat " << repeat;
  }
}
