// The program a draw gets runs the pixel stages its states ask for, and no
// more: a draw that cannot fail the alpha test must not be able to discard.

#include "gfx/shader_variant.h"

#include <gtest/gtest.h>

#include "gfx/device.h"
#include "gfx/device_state.h"

namespace {

class DummyTexture : public Texture {
 public:
  void Release() override {}
  std::uint32_t width() const override { return 1; }
  std::uint32_t height() const override { return 1; }
  const std::string& source() const override { return name_; }

 private:
  std::string name_ = "t.bmp";
};

std::uint32_t variant_of(const DeviceState& state, D3DPRIMITIVETYPE type, bool sprite,
                         float scale = 1.0f) {
  FixedFunctionBlock block{};
  fill_block(state, type, sprite, scale, block);
  return shader_variant(block, false);
}

TEST(ShaderVariant, FollowsTheStagesADrawRuns) {
  DummyTexture texture;
  DeviceState state;
  // A new device lights vertices (Direct3D's default), with no texture, alpha test or fog.
  EXPECT_EQ(variant_of(state, D3DPT_TRIANGLELIST, false), SHADER_LIGHTING);
  state.render_states[D3DRS_LIGHTING] = 0;
  EXPECT_EQ(variant_of(state, D3DPT_TRIANGLELIST, false), 0u);

  // The alpha test switched on with ALWAYS passes everything: no discard.
  state.render_states[D3DRS_ALPHATESTENABLE] = 1;
  state.render_states[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  EXPECT_EQ(variant_of(state, D3DPT_TRIANGLELIST, false) & SHADER_ALPHA_TEST, 0u);
  state.render_states[D3DRS_ALPHAFUNC] = D3DCMP_GREATER;
  EXPECT_NE(variant_of(state, D3DPT_TRIANGLELIST, false) & SHADER_ALPHA_TEST, 0u);
  state.render_states[D3DRS_ALPHATESTENABLE] = 0;

  // Fog and lighting reach transformed vertices only.
  state.render_states[D3DRS_FOGENABLE] = 1;
  state.render_states[D3DRS_FOGVERTEXMODE] = D3DFOG_EXP;
  EXPECT_EQ(variant_of(state, D3DPT_TRIANGLELIST, false), SHADER_FOG);
  state.render_states[D3DRS_LIGHTING] = 1;
  state.fvf = D3DFVF_XYZRHW;
  EXPECT_EQ(variant_of(state, D3DPT_TRIANGLELIST, false), SHADER_PRETRANSFORMED);
  state.fvf = 0;
  state.render_states[D3DRS_LIGHTING] = 0;
  state.render_states[D3DRS_FOGENABLE] = 0;

  // Point sprites read their coordinates across the point; without a texture
  // no texture feature is asked for, whatever the point states.
  state.render_states[D3DRS_POINTSPRITEENABLE] = 1;
  EXPECT_EQ(variant_of(state, D3DPT_POINTLIST, false), SHADER_POINTS);
  state.texture = &texture;
  EXPECT_EQ(variant_of(state, D3DPT_POINTLIST, false),
            SHADER_POINTS | SHADER_TEXTURE | SHADER_POINT_COORD);
  EXPECT_EQ(variant_of(state, D3DPT_TRIANGLELIST, false), SHADER_TEXTURE);

  // The sprite drawer modulates alpha, and filters sharply only on an enlarged back buffer.
  EXPECT_EQ(variant_of(state, D3DPT_TRIANGLESTRIP, true), SHADER_TEXTURE | SHADER_MODULATE_ALPHA);
  EXPECT_EQ(variant_of(state, D3DPT_TRIANGLESTRIP, true, 1.8f),
            SHADER_TEXTURE | SHADER_MODULATE_ALPHA | SHADER_SHARP_SPRITE);
}

// Only a texture whose alpha is the colour key's may take the one-fetch sharp filter.
TEST(ShaderVariant, KeyedAlphaMeansOpaqueOrTransparentBlack) {
  Image image{2, 1, {10, 20, 30, 255, 0, 0, 0, 0}};
  EXPECT_TRUE(keyed_alpha_only(image));
  image.rgba[7] = 128;  // half transparent: its colour is not weighed by alpha yet
  EXPECT_FALSE(keyed_alpha_only(image));
  image.rgba = {10, 20, 30, 255, 9, 0, 0, 0};  // transparent but not black
  EXPECT_FALSE(keyed_alpha_only(image));
}

}  // namespace
