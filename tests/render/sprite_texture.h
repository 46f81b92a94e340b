#pragma once
// The sprite tests' image: 4 x 2 saturated texels, the top-right one black,
// which the colour key 0xFF000000 makes transparent; and a fixture that loads
// it keyed over a cleared background.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "render/render_fixture.h"
#include "showdata/bmp_writer.h"

const Rgb kBackground{0x40, 0x80, 0xC0};

// A 4 x 2 image: red, green, blue, black / white, yellow, cyan, magenta.
inline const Rgb kTexels[2][4] = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 0, 0}},
                                  {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}}};

// Writes the image as a BMP named after `name` and gives its path.
inline std::string write_texture(const std::string& name) {
  showdata::RgbImage image(4, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      const Rgb& c = kTexels[y][x];
      image.set(x, y,
                showdata::Rgb{static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g),
                              static_cast<std::uint8_t>(c.b)});
    }
  }
  const std::string path =
      (std::filesystem::temp_directory_path() / ("plovermix_render_" + name + ".bmp")).string();
  EXPECT_TRUE(showdata::write_bmp(path, image));
  return path;
}

class SpriteTextureTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (dev == nullptr) return;
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF4080C0u, 1.0f, 0);
    ASSERT_EQ(
        dev->CreateTextureFromFile(
            write_texture(::testing::UnitTest::GetInstance()->current_test_info()->name()).c_str(),
            true, 0xFF000000u, &texture_),
        D3D_OK);
  }
  void TearDown() override {
    if (texture_ != nullptr) texture_->Release();
    RenderTest::TearDown();
  }
  void sprite(const SpriteDraw& s) {
    ASSERT_EQ(dev->BeginScene(), D3D_OK);
    ASSERT_EQ(dev->DrawSprite(texture_, s), D3D_OK);
    ASSERT_EQ(dev->EndScene(), D3D_OK);
  }
  Texture* texture_ = nullptr;
};
