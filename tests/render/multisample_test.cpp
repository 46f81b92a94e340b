// --msaa: the back buffer multisampled and resolved at present, so that a
// triangle's edge gets the coverage of its pixels instead of a hard step.
#include <string>

#include "render/render_fixture.h"

namespace {

constexpr D3DVIEWPORT8 kFull{0, 0, 800, 600, 0.0f, 1.0f};

class MultisampleTest : public RenderTest {
 protected:
  // A white triangle on black whose long edge runs from (700, 100) down to
  // (100, 500); returns how many pixels of rows 150 to 449 are neither black
  // nor white (within 10).
  int partly_covered_pixels() {
    EXPECT_EQ(dev->SetViewport(&kFull), D3D_OK);
    EXPECT_EQ(dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0),
              D3D_OK);
    set(D3DRS_LIGHTING, FALSE);
    set(D3DRS_CULLMODE, D3DCULL_NONE);
    bind_vertices(std::vector<XyzColor>{{ndc_x(100), ndc_y(100), 0.5f, 0xFFFFFFFFu},
                                        {ndc_x(700), ndc_y(100), 0.5f, 0xFFFFFFFFu},
                                        {ndc_x(100), ndc_y(500), 0.5f, 0xFFFFFFFFu}},
                  FVF_XYZ_DIFFUSE);
    draw(D3DPT_TRIANGLELIST, 1);
    present();
    EXPECT_TRUE(near(150, 150, {255, 255, 255})) << "inside";
    EXPECT_TRUE(near(650, 450, {0, 0, 0})) << "outside";
    int partial = 0;
    for (int y = 150; y < 450; ++y) {
      for (int x = 0; x < 800; ++x) {
        partial += pixel(x, y).r > 10 && pixel(x, y).r < 245 ? 1 : 0;
      }
    }
    return partial;
  }
};

TEST_F(MultisampleTest, FourSamplesGiveTheEdgeIntermediateCoverage) {
  EXPECT_EQ(partly_covered_pixels(), 0) << "one sample a pixel: a hard step";
  std::string error;
  ASSERT_TRUE(presenter->set_samples(4, error)) << error;
  // At a slope of 2:3 every row crosses at least one pixel partly covered.
  EXPECT_GE(partly_covered_pixels(), 300);
  EXPECT_FALSE(presenter->set_samples(1 << 20, error));
  EXPECT_EQ(error.rfind("this driver offers multisampling up to ", 0), 0u) << error;
  EXPECT_GE(partly_covered_pixels(), 300) << "a refused count keeps the samples there were";
}

}  // namespace
