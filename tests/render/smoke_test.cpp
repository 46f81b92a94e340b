#include "render/render_fixture.h"

TEST_F(RenderTest, ClearAndUnlitQuad) {
  dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF204060u, 1.0f, 0);
  set(D3DRS_LIGHTING, FALSE);
  set(D3DRS_CULLMODE, D3DCULL_NONE);
  bind_vertices(quad<XyzColor>(-0.5f, -0.5f, 0.5f, 0.5f,
                               [](float x, float y) {
                                 return XyzColor{x, y, 0.5f, 0xFFFF0000u};
                               }),
                FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);
  present();
  EXPECT_TRUE(near(10, 10, Rgb{0x20, 0x40, 0x60}));
  EXPECT_TRUE(near(400, 300, Rgb{255, 0, 0}));
  EXPECT_TRUE(near(400, 200, Rgb{255, 0, 0}));
}
