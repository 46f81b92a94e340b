// The trace device: it answers like a real device, records names, and
// flags misuse.

#include "gfx/trace_device.h"

#include <gtest/gtest.h>

#include <cstring>

#include "gfx/sprite_quad.h"

namespace {

VertexBuffer* filled_buffer(TraceDevice& device, std::uint32_t vertices) {
  VertexBuffer* buffer = nullptr;
  EXPECT_EQ(device.CreateVertexBuffer(vertices * 16, 0, FVF_XYZ_DIFFUSE, D3DPOOL_DEFAULT, &buffer),
            D3D_OK);
  std::uint8_t* data = nullptr;
  EXPECT_EQ(buffer->Lock(0, vertices * 16, &data, 0), D3D_OK);
  std::memset(data, 0, vertices * 16);
  EXPECT_EQ(buffer->Unlock(), D3D_OK);
  return buffer;
}

}  // namespace

TEST(TraceDevice, StartsWithDirect3DDefaults) {
  TraceDevice device;
  const DeviceState& s = device.state();
  EXPECT_EQ(s.render_states[D3DRS_ZENABLE], D3DZB_TRUE);
  EXPECT_EQ(s.render_states[D3DRS_ZFUNC], D3DCMP_LESSEQUAL);
  EXPECT_EQ(s.render_states[D3DRS_CULLMODE], D3DCULL_CCW);
  EXPECT_EQ(s.render_states[D3DRS_LIGHTING], TRUE);
  EXPECT_EQ(s.render_states[D3DRS_SRCBLEND], D3DBLEND_ONE);
  EXPECT_EQ(s.render_states[D3DRS_DESTBLEND], D3DBLEND_ZERO);
  EXPECT_EQ(s.float_state(D3DRS_FOGDENSITY), 1.0f);
  EXPECT_EQ(s.float_state(D3DRS_POINTSIZE), 1.0f);
  EXPECT_EQ(s.float_state(D3DRS_POINTSIZE_MIN), 0.0f) << "Direct3D 8's minimum";
  D3DVIEWPORT8 viewport{};
  ASSERT_EQ(device.GetViewport(&viewport), D3D_OK);
  EXPECT_EQ(viewport.Width, 800u);
  EXPECT_EQ(viewport.Height, 600u);
  EXPECT_EQ(viewport.MaxZ, 1.0f);
}

TEST(TraceDevice, RecordsCallsByNameAndTheStateAtEachDraw) {
  TraceDevice device;
  VertexBuffer* buffer = filled_buffer(device, 3);
  device.SetRenderState(D3DRS_FOGENABLE, TRUE);
  device.SetRenderState(D3DRS_FOGDENSITY, float_state_bits(0.0015f));
  device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCCOLOR);
  device.BeginScene();
  device.SetStreamSource(0, buffer, 16);
  device.SetVertexShader(FVF_XYZ_DIFFUSE);
  EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  device.SetRenderState(D3DRS_FOGENABLE, FALSE);
  EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  device.EndScene();
  buffer->Release();

  const std::vector<std::string> expected_prefix = {
      "CreateVertexBuffer(48, 0, D3DFVF_XYZ|D3DFVF_DIFFUSE, 0) -> vb#1",
      "Lock(vb#1, 0, 48, 0)",
      "Unlock(vb#1)",
      "SetRenderState(D3DRS_FOGENABLE, TRUE)",
      "SetRenderState(D3DRS_FOGDENSITY, 0.0015)",
      "SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCCOLOR)",
      "BeginScene()",
      "SetStreamSource(0, vb#1, 16)",
      "SetVertexShader(D3DFVF_XYZ|D3DFVF_DIFFUSE)",
      "DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1)",
  };
  ASSERT_GE(device.calls().size(), expected_prefix.size());
  for (std::size_t i = 0; i < expected_prefix.size(); ++i) {
    EXPECT_EQ(device.calls()[i], expected_prefix[i]);
  }
  EXPECT_EQ(device.calls().back(), "Release(vb#1)");
  ASSERT_EQ(device.draws().size(), 2u);
  EXPECT_TRUE(device.draws()[0].state.bool_state(D3DRS_FOGENABLE));
  EXPECT_FALSE(device.draws()[1].state.bool_state(D3DRS_FOGENABLE));
  EXPECT_EQ(device.calls()[device.draws()[0].call_index],
            "DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1)");
  EXPECT_TRUE(device.misuse().empty());
}

TEST(TraceDevice, FlagsMisuse) {
  TraceDevice device;
  VertexBuffer* buffer = filled_buffer(device, 3);
  device.SetVertexShader(FVF_XYZ_DIFFUSE);
  device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1);  // outside a bracket, no buffer
  device.BeginScene();
  device.BeginScene();  // nested
  std::uint8_t* data = nullptr;
  buffer->Lock(0, 0, &data, 0);
  buffer->Lock(0, 0, &data, 0);  // lock without unlock
  device.SetStreamSource(0, buffer, 16);
  EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
  device.EndScene();
  device.EndScene();  // without BeginScene
  buffer->Unlock();
  buffer->Release();
  const std::vector<std::string> expected = {
      "DrawPrimitive outside BeginScene/EndScene",
      "DrawPrimitive with no vertex buffer",
      "nested BeginScene",
      "Lock of vb#1 without Unlock",
      "DrawPrimitive from a locked buffer (Lock without Unlock)",
      "EndScene without BeginScene",
  };
  EXPECT_EQ(device.misuse(), expected);
}

TEST(TraceDevice, RefusesWhatDirect3DRefuses) {
  TraceDevice device;
  EXPECT_EQ(device.SetTransform(D3DTS_VIEW, nullptr), D3DERR_INVALIDCALL);
  const D3DVIEWPORT8 outside{700, 500, 200, 200, 0, 1};
  EXPECT_EQ(device.SetViewport(&outside), D3DERR_INVALIDCALL);
  D3DLIGHT8 untyped{};
  EXPECT_EQ(device.SetLight(0, &untyped), D3DERR_INVALIDCALL) << "light type 0";
  VertexBuffer* buffer = nullptr;
  EXPECT_EQ(device.CreateVertexBuffer(0, 0, FVF_XYZ_DIFFUSE, D3DPOOL_DEFAULT, &buffer),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(buffer, nullptr);
  // A draw reading past the end of its buffer is refused rather than read.
  buffer = filled_buffer(device, 3);
  device.BeginScene();
  device.SetStreamSource(0, buffer, 16);
  device.SetVertexShader(FVF_XYZ_DIFFUSE);
  EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device.DrawPrimitive(D3DPT_LINESTRIP, 0, 2), D3D_OK);
  device.EndScene();
  buffer->Release();
  Texture* texture = nullptr;
  EXPECT_EQ(device.CreateTextureFromFile("/nonexistent/x.bmp", true, 0xFF000000u, &texture),
            E_FAIL);
  EXPECT_EQ(texture, nullptr);
  device.fail_next("CreateVertexBuffer", E_FAIL);
  EXPECT_EQ(device.CreateVertexBuffer(48, 0, FVF_XYZ_DIFFUSE, D3DPOOL_DEFAULT, &buffer), E_FAIL);
  EXPECT_EQ(device.CreateVertexBuffer(48, 0, FVF_XYZ_DIFFUSE, D3DPOOL_DEFAULT, &buffer), D3D_OK);
  buffer->Release();
}

TEST(TraceDevice, DiscardAcceptsDrawsAndRecordsTheirState) {
  TraceDevice device;
  VertexBuffer* buffer = filled_buffer(device, 3);
  device.SetDiscard(true);
  device.BeginScene();
  device.SetStreamSource(0, buffer, 16);
  device.SetVertexShader(FVF_XYZ_DIFFUSE);
  device.SetRenderState(D3DRS_LIGHTING, FALSE);
  EXPECT_EQ(device.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
  EXPECT_EQ(device.Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0), D3D_OK);
  device.EndScene();
  ASSERT_EQ(device.draws().size(), 1u);
  EXPECT_FALSE(device.draws()[0].state.bool_state(D3DRS_LIGHTING));
  buffer->Release();
}

TEST(SpriteDrawer, PutsBackEveryStateItChanges) {
  TraceDevice device;
  Texture* texture = nullptr;
  // The trace device loads the file like the GL one; any BMP of the suite will do.
  const std::string path = std::string(PLOVERMIX_CORPUS_DIR) + "/bmp/bmpsuite/g/rgb24.bmp";
  if (device.CreateTextureFromFile(path.c_str(), true, 0xFF000000u, &texture) != D3D_OK) {
    GTEST_SKIP() << "no corpus";
  }
  device.SetRenderState(D3DRS_FOGENABLE, TRUE);
  device.SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
  device.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  device.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  device.SetVertexShader(FVF_XYZ_NORMAL_DIFFUSE_TEX1);
  const DeviceState before = device.state();
  device.BeginScene();
  SpriteDraw sprite;
  sprite.color = 0x80FFFFFFu;
  ASSERT_EQ(device.DrawSprite(texture, sprite), D3D_OK);
  device.EndScene();
  const DeviceState& after = device.state();
  EXPECT_EQ(after.render_states, before.render_states);
  EXPECT_EQ(after.fvf, before.fvf);
  EXPECT_EQ(after.texture, before.texture);
  EXPECT_EQ(after.stream, before.stream);
  // While drawing: blending SRCALPHA / INVSRCALPHA, alpha test, no fog, no culling, no lighting.
  ASSERT_EQ(device.draws().size(), 1u);
  const TraceDraw& draw = device.draws()[0];
  EXPECT_TRUE(draw.sprite);
  EXPECT_EQ(draw.texture, path);
  EXPECT_EQ(draw.state.render_states[D3DRS_SRCBLEND], D3DBLEND_SRCALPHA);
  EXPECT_EQ(draw.state.render_states[D3DRS_DESTBLEND], D3DBLEND_INVSRCALPHA);
  EXPECT_FALSE(draw.state.bool_state(D3DRS_FOGENABLE));
  EXPECT_FALSE(draw.state.bool_state(D3DRS_LIGHTING));
  EXPECT_EQ(draw.state.render_states[D3DRS_CULLMODE], D3DCULL_NONE);
  EXPECT_EQ(draw.state.fvf, FVF_XYZRHW_DIFFUSE_TEX1);
  texture->Release();
}

TEST(SpriteCorners, ScaleRotateAboutTheCentreThenTranslate) {
  SpriteDraw s;
  s.scale_x = 2;
  s.scale_y = 3;
  s.position_x = 100;
  s.position_y = 50;
  auto c = sprite_corners(10, 20, s);
  // Unrotated: half a pixel up and left of the scaled rectangle.
  EXPECT_FLOAT_EQ(c[0].x, 99.5f);
  EXPECT_FLOAT_EQ(c[0].y, 49.5f);
  EXPECT_FLOAT_EQ(c[2].x, 119.5f);
  EXPECT_FLOAT_EQ(c[2].y, 109.5f);
  EXPECT_FLOAT_EQ(c[2].u, 1.0f);
  // A quarter turn about the scaled image's centre (10, 30): the top-left
  // corner (offset -10, -30) goes to offset (-30, +10), counter-clockwise on screen.
  s.center_x = 10;
  s.center_y = 30;
  s.rotation = 1.5707963f;
  c = sprite_corners(10, 20, s);
  EXPECT_NEAR(c[0].x, 100 + 10 - 30 - 0.5, 1e-4);
  EXPECT_NEAR(c[0].y, 50 + 30 + 10 - 0.5, 1e-4);
}
