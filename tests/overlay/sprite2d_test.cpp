#include "overlay/sprite2d.h"

#include <gtest/gtest.h>

#include "show/bmp_fixture.h"
#include "show/trace_sprites.h"

namespace {

class Sprite2dTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fresh_folder("plovermix-sprite2d");
    trace = &install_trace_device();
  }
  void TearDown() override {
    release_device();
    std::filesystem::remove_all(dir);
  }
  std::string path(const char* name) const { return (dir / name).string(); }

  std::filesystem::path dir;
  TraceDevice* trace = nullptr;
};

TEST_F(Sprite2dTest, FreshOverlayDrawsOpaqueAtOriginFullSizeInItsOwnBracket) {
  write_bmp(path("a.bmp"), 4, 3, 0xFF0000);
  sprite2d image(path("a.bmp").c_str(), 0xFF000000u);
  EXPECT_EQ(image.width(), 4);
  EXPECT_EQ(image.height(), 3);
  trace->clear_trace();

  EXPECT_EQ(image.draw(), D3D_OK);
  ASSERT_EQ(trace->calls().size(), 3u);
  EXPECT_EQ(trace->calls()[0], "BeginScene()");
  EXPECT_EQ(sprite_file(trace->calls()[1]), path("a.bmp"));
  EXPECT_EQ(trace->calls()[2], "EndScene()");
  const SpriteDraw& d = trace->draws().at(0).sprite_args;
  EXPECT_EQ(d.color, 0xFFFFFFFFu);
  EXPECT_EQ(d.position_x, 0.0f);
  EXPECT_EQ(d.position_y, 0.0f);
  EXPECT_EQ(d.scale_x, 1.0f);
  EXPECT_EQ(d.scale_y, 1.0f);
  EXPECT_EQ(d.rotation, 0.0f);
}

TEST_F(Sprite2dTest, SettersAndAddersReachTheDraw) {
  write_bmp(path("a.bmp"), 2, 2, 0xFFFFFF);
  sprite2d image(path("a.bmp").c_str(), 0xFF000000u);
  image.set_position(10, 20);
  image.move(1.5f, -2);
  image.set_scale(0, 0);
  image.grow(1, 2);
  image.shift_rotation_center(50, 50);
  image.shift_rotation_center(0.5f, 0.5f);
  image.set_rotation(1);
  image.rotate(0.25f);
  image.set_color(0x66FFFFFFu);
  image.add_color(0x01000000u);
  trace->clear_trace();
  image.draw();

  const SpriteDraw& d = trace->draws().at(0).sprite_args;
  EXPECT_EQ(d.position_x, 11.5f);
  EXPECT_EQ(d.position_y, 18.0f);
  EXPECT_EQ(d.scale_x, 1.0f);
  EXPECT_EQ(d.scale_y, 2.0f);
  EXPECT_EQ(d.center_x, 50.5f);
  EXPECT_EQ(d.center_y, 50.5f);
  EXPECT_EQ(d.rotation, 1.25f);
  EXPECT_EQ(d.color, 0x67FFFFFFu);
}

TEST_F(Sprite2dTest, ColourAdditionWrapsAroundTheWholeWord) {
  sprite2d image(path("none.bmp").c_str(), 0xFF000000u);
  image.add_color(0x01000000u);
  EXPECT_EQ(image.color(), 0x00FFFFFFu);  // alpha 0xFF carries out of the word
  image.set_color(0xFFFFFFFFu);
  image.add_color(0x09000000u);
  EXPECT_EQ(image.color(), 0x08FFFFFFu);
}

TEST_F(Sprite2dTest, HeaderSizeKeepsTheLow16Bits) {
  write_file(path("wide.bmp"), bmp_bytes(2, 2, 0xFFFFFF, 70000));
  sprite2d image(path("wide.bmp").c_str(), 0xFF000000u);
  EXPECT_EQ(image.width(), 4464);
  EXPECT_EQ(image.height(), 2);
}

// Missing, empty, truncated and non-BMP files: no texture, draws fail and touch
// nothing, and a file shorter than the header is not read past its end.
TEST_F(Sprite2dTest, UnloadableFilesGiveAnOverlayThatDrawsNothing) {
  write_file(path("empty.bmp"), {});
  std::vector<std::uint8_t> shortened = bmp_bytes(2, 2, 0xFFFFFF);
  shortened.resize(25);
  write_file(path("short.bmp"), shortened);
  write_file(path("text.bmp"), {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'});

  for (const char* name : {"missing.bmp", "empty.bmp", "short.bmp", "text.bmp"}) {
    SCOPED_TRACE(name);
    trace->clear_trace();
    sprite2d image(path(name).c_str(), 0xFF000000u);
    EXPECT_FALSE(image.has_texture());
    EXPECT_EQ(image.load(path(name).c_str(), 0xFF000000u), E_FAIL);
    EXPECT_EQ(image.width(), 0);
    EXPECT_EQ(image.height(), 0);
    EXPECT_EQ(image.draw(), E_FAIL);
    EXPECT_TRUE(trace->draws().empty());
    EXPECT_FALSE(trace->in_scene());
    EXPECT_TRUE(trace->misuse().empty());
  }
}

TEST_F(Sprite2dTest, ReleaseFreesTheTextureOnceAndLaterDrawsFail) {
  write_bmp(path("a.bmp"), 2, 2, 0xFFFFFF);
  {
    sprite2d image(path("a.bmp").c_str(), 0xFF000000u);
    EXPECT_EQ(trace->live_textures(), 1u);
    // Loading again replaces the texture rather than leaking it.
    EXPECT_EQ(image.load(path("a.bmp").c_str(), 0xFF000000u), D3D_OK);
    EXPECT_EQ(trace->live_textures(), 1u);
    image.release();
    EXPECT_EQ(trace->live_textures(), 0u);
    EXPECT_EQ(image.draw(), E_FAIL);
  }
  EXPECT_EQ(trace->live_textures(), 0u);
}

}  // namespace
