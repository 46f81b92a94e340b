// The fixed-function pipeline on llvmpipe against the Direct3D 8 formulas:
// each case draws a large quad, probes its centre and compares per channel.

#include <cmath>

#include "render/render_fixture.h"

namespace {

struct Color {
  double r, g, b, a;
};

Color unpack(D3DCOLOR c) {
  return Color{((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
               ((c >> 24) & 0xFF) / 255.0};
}

Rgb bytes(const Color& c) { return Rgb{to_byte(c.r), to_byte(c.g), to_byte(c.b)}; }

D3DMATRIX diagonal(float x, float y, float z) {
  D3DMATRIX m = identity_matrix();
  m.m[0][0] = x;
  m.m[1][1] = y;
  m.m[2][2] = z;
  return m;
}

// The pixel centre of grid cell i: 6 columns of 120 pixels, rows of 120.
float cell_x(int i) { return 80.0f + 120.0f * static_cast<float>(i % 6); }
float cell_y(int i) { return 80.0f + 120.0f * static_cast<float>(i / 6); }

constexpr float kHalf = 40.0f;

}  // namespace

class PipelineTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    if (dev == nullptr) return;
    dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBackground, 1.0f, 0);
  }
  static constexpr D3DCOLOR kBackground = 0xFF4080C0u;
};

TEST_F(PipelineTest, DefaultsOfANewDevice) {
  // Lighting is on with no light and a zero material: a coloured quad comes out black.
  bind_vertices(screen_quad(cell_x(0), cell_y(0), kHalf, 0.5f, 0xFFFF8040u), FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);
  // Culling CCW: a triangle counter-clockwise on screen is dropped, a clockwise one drawn.
  set(D3DRS_LIGHTING, FALSE);
  const float x = ndc_x(cell_x(1)), y = ndc_y(cell_y(1)), w = 0.1f;
  bind_vertices(std::vector<XyzColor>{{x - w, y + w, 0.5f, 0xFFFF0000u},
                                      {x - w, y - w, 0.5f, 0xFFFF0000u},
                                      {x + w, y, 0.5f, 0xFFFF0000u}},
                FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 1);
  const float x2 = ndc_x(cell_x(2)), y2 = ndc_y(cell_y(2));
  bind_vertices(std::vector<XyzColor>{{x2 - w, y2 + w, 0.5f, 0xFF00FF00u},
                                      {x2 + w, y2, 0.5f, 0xFF00FF00u},
                                      {x2 - w, y2 - w, 0.5f, 0xFF00FF00u}},
                FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 1);
  // Blending is off: alpha 0 still draws opaque.
  bind_vertices(screen_quad(cell_x(3), cell_y(3), kHalf, 0.5f, 0x00FFFF00u), FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);
  present();
  EXPECT_TRUE(near(cell_x(0), cell_y(0), Rgb{0, 0, 0})) << "lit with no light";
  EXPECT_TRUE(near(cell_x(1) - 20, cell_y(1), Rgb{0x40, 0x80, 0xC0})) << "CCW culled";
  EXPECT_TRUE(near(cell_x(2) - 20, cell_y(2), Rgb{0, 255, 0})) << "CW drawn";
  EXPECT_TRUE(near(cell_x(3), cell_y(3), Rgb{255, 255, 0})) << "no blending";
}

TEST_F(PipelineTest, NoTexturePassesDiffuseColourAndAlpha) {
  set(D3DRS_LIGHTING, FALSE);
  set(D3DRS_ALPHABLENDENABLE, TRUE);
  set(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  set(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  const D3DCOLOR color = 0x40FF2000u;
  bind_vertices(screen_quad(cell_x(0), cell_y(0), kHalf, 0.5f, color), FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);
  present();
  const Color s = unpack(color), d = unpack(kBackground);
  const Color expected{s.r * s.a + d.r * (1 - s.a), s.g * s.a + d.g * (1 - s.a),
                       s.b * s.a + d.b * (1 - s.a), 1};
  EXPECT_TRUE(near(cell_x(0), cell_y(0), bytes(expected)));
}

namespace {

struct LightCase {
  const char* name;
  D3DCOLORVALUE diffuse;
  D3DCOLORVALUE ambient;
  float a0, a1, a2;
  float range;
  DWORD ambient_state;
  D3DCOLORVALUE material_ambient;
  D3DCOLORVALUE material_emissive;
  bool normals;
};

constexpr float kLightHeight = 0.3f;  // the light sits this far in front of the quad's centre

// colour = Emissive + MatAmbient * (AMBIENT + Amb) + VertexDiffuse * Diff, clamped; the
// light is on the quad's axis, so every corner sees the same distance and angle.
Color lit_color(const LightCase& c, D3DCOLOR vertex) {
  const double dx = kHalf / 400.0, dy = kHalf / 300.0, h = kLightHeight;
  const double d = std::sqrt(dx * dx + dy * dy + h * h);
  double att = 0.0, n_dot_l = 0.0;
  if (d <= c.range) {
    att = 1.0 / (c.a0 + c.a1 * d + c.a2 * d * d);
    n_dot_l = c.normals ? h / d : 0.0;
  }
  const Color v = unpack(vertex), global = unpack(c.ambient_state);
  const auto channel = [&](double e, double ma, double g, double la, double ld, double vd) {
    return std::fmin(1.0, e + ma * (g + la * att) + vd * ld * n_dot_l * att);
  };
  return Color{
      channel(c.material_emissive.r, c.material_ambient.r, global.r, c.ambient.r, c.diffuse.r, v.r),
      channel(c.material_emissive.g, c.material_ambient.g, global.g, c.ambient.g, c.diffuse.g, v.g),
      channel(c.material_emissive.b, c.material_ambient.b, global.b, c.ambient.b, c.diffuse.b, v.b),
      1};
}

}  // namespace

TEST_F(PipelineTest, PointLightLighting) {
  const LightCase cases[] = {
      {"diffuse, constant attenuation",
       {1, 1, 1, 1},
       {0, 0, 0, 0},
       1,
       0,
       0,
       10,
       0,
       {0, 0, 0, 0},
       {0, 0, 0, 0},
       true},
      {"linear and quadratic attenuation",
       {1, 0.5f, 0.25f, 1},
       {0, 0, 0, 0},
       0.5f,
       1,
       2,
       10,
       0,
       {0, 0, 0, 0},
       {0, 0, 0, 0},
       true},
      {"beyond the range: nothing, ambient included",
       {1, 1, 1, 1},
       {1, 1, 1, 1},
       1,
       0,
       0,
       0.2f,
       0x00303030u,
       {1, 1, 1, 1},
       {0, 0, 0, 0},
       true},
      {"the light's ambient",
       {0, 0, 0, 0},
       {0.2f, 0.4f, 0.6f, 1},
       2,
       0,
       0,
       10,
       0,
       {1, 0.5f, 1, 1},
       {0, 0, 0, 0},
       true},
      {"no normals: ambient and emissive only",
       {1, 1, 1, 1},
       {0.25f, 0.25f, 0.25f, 1},
       1,
       0,
       0,
       10,
       0x00102030u,
       {1, 1, 1, 1},
       {0.1f, 0, 0.2f, 1},
       false},
      {"colours above 1 clamp (the indus light)",
       {1, 1, 1, 1},
       {10, 10, 50, 1},
       1,
       0,
       0,
       100,
       0,
       {1, 1, 1, 1},
       {0, 0, 0, 0},
       true},
  };
  const D3DCOLOR vertex = 0xFF80C0FFu;
  int i = 0;
  for (const LightCase& c : cases) {
    const float cx = cell_x(i), cy = cell_y(i);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = c.diffuse;
    light.Ambient = c.ambient;
    light.Position = D3DVECTOR{ndc_x(cx), ndc_y(cy), 0.5f - kLightHeight};
    light.Range = c.range;
    light.Attenuation0 = c.a0;
    light.Attenuation1 = c.a1;
    light.Attenuation2 = c.a2;
    ASSERT_EQ(dev->SetLight(0, &light), D3D_OK) << c.name;
    dev->LightEnable(0, TRUE);
    D3DMATERIAL8 material{};
    material.Ambient = c.material_ambient;
    material.Emissive = c.material_emissive;
    dev->SetMaterial(&material);
    set(D3DRS_AMBIENT, c.ambient_state);
    set(D3DRS_CULLMODE, D3DCULL_NONE);
    std::vector<XyzNormalColorUv> with_normals;
    std::vector<XyzColorUv> without;
    for (const XyzColor& v : screen_quad(cx, cy, kHalf, 0.5f, vertex)) {
      with_normals.push_back({v.x, v.y, v.z, 0, 0, -1, v.color, 0, 0});
      without.push_back({v.x, v.y, v.z, v.color, 0, 0});
    }
    if (c.normals) {
      bind_vertices(with_normals, FVF_XYZ_NORMAL_DIFFUSE_TEX1);
    } else {
      bind_vertices(without, FVF_XYZ_DIFFUSE_TEX1);
    }
    draw(D3DPT_TRIANGLELIST, 2);
    ++i;
  }
  present();
  i = 0;
  for (const LightCase& c : cases) {
    EXPECT_TRUE(near(cell_x(i), cell_y(i), bytes(lit_color(c, vertex)))) << c.name;
    ++i;
  }
}

namespace {

struct FogCase {
  const char* name;
  DWORD mode;
  bool range;
  float density, start, end;
  float cx, cy;
};

// Camera space is ten times the device's clip space in these cases.
constexpr float kFogScale = 10.0f;
constexpr float kFogDepth = 2.0f;

double fog_factor(const FogCase& c, double d) {
  switch (c.mode) {
    case D3DFOG_EXP:
      return std::exp(-c.density * d);
    case D3DFOG_EXP2:
      return std::exp(-(c.density * d) * (c.density * d));
    default:
      return std::fmin(1.0, std::fmax(0.0, (c.end - d) / (c.end - c.start)));
  }
}

}  // namespace

TEST_F(PipelineTest, VertexFog) {
  const FogCase cases[] = {
      {"EXP by depth", D3DFOG_EXP, false, 0.5f, 0, 1, cell_x(0), cell_y(0)},
      {"EXP2 by depth", D3DFOG_EXP2, false, 0.4f, 0, 1, cell_x(1), cell_y(1)},
      {"LINEAR by depth", D3DFOG_LINEAR, false, 1, 1, 4, cell_x(2), cell_y(2)},
      {"EXP by range", D3DFOG_EXP, true, 0.5f, 0, 1, 400.0f, 300.0f},
  };
  const D3DCOLOR vertex = 0xFFFFC040u, fog = 0xFF2040A0u;
  const D3DMATRIX projection = diagonal(1 / kFogScale, 1 / kFogScale, 1 / kFogScale);
  dev->SetTransform(D3DTS_PROJECTION, &projection);
  set(D3DRS_LIGHTING, FALSE);
  set(D3DRS_FOGENABLE, TRUE);
  set(D3DRS_FOGCOLOR, fog);
  for (const FogCase& c : cases) {
    set(D3DRS_FOGVERTEXMODE, c.mode);
    set(D3DRS_RANGEFOGENABLE, c.range ? TRUE : FALSE);
    set_float(D3DRS_FOGDENSITY, c.density);
    set_float(D3DRS_FOGSTART, c.start);
    set_float(D3DRS_FOGEND, c.end);
    auto vertices = screen_quad(c.cx, c.cy, kHalf, kFogDepth / kFogScale, vertex);
    for (XyzColor& v : vertices) {
      v.x *= kFogScale;
      v.y *= kFogScale;
      v.z = kFogDepth;
    }
    bind_vertices(vertices, FVF_XYZ_DIFFUSE);
    draw(D3DPT_TRIANGLELIST, 2);
  }
  present();
  const Color v = unpack(vertex), f = unpack(fog);
  for (const FogCase& c : cases) {
    // The corners are symmetric about the probe, so they share one distance.
    const double x = kFogScale * kHalf / 400.0, y = kFogScale * kHalf / 300.0;
    const double corner_x = kFogScale * ndc_x(c.cx) + x, corner_y = kFogScale * ndc_y(c.cy) + y;
    const double d =
        c.range ? std::sqrt(corner_x * corner_x + corner_y * corner_y + kFogDepth * kFogDepth)
                : kFogDepth;
    const double k = fog_factor(c, d);
    const Color expected{k * v.r + (1 - k) * f.r, k * v.g + (1 - k) * f.g, k * v.b + (1 - k) * f.b,
                         1};
    EXPECT_TRUE(near(static_cast<int>(c.cx), static_cast<int>(c.cy), bytes(expected))) << c.name;
  }
}

TEST_F(PipelineTest, FogFactorIsInterpolatedAcrossThePrimitive) {
  // LINEAR fog from 0 to 10 over a quad whose left edge is at depth 1 and right edge at 9:
  // f runs from 0.9 to 0.1, linearly along the screen (w stays 1).
  const D3DMATRIX projection = diagonal(1, 1, 0.1f);
  dev->SetTransform(D3DTS_PROJECTION, &projection);
  set(D3DRS_LIGHTING, FALSE);
  set(D3DRS_FOGENABLE, TRUE);
  set(D3DRS_FOGCOLOR, 0xFF000000u);
  set(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
  set_float(D3DRS_FOGSTART, 0.0f);
  set_float(D3DRS_FOGEND, 10.0f);
  const float l = ndc_x(200), r = ndc_x(600), t = ndc_y(200), b = ndc_y(400);
  const D3DCOLOR white = 0xFFFFFFFFu;
  bind_vertices(std::vector<XyzColor>{{l, t, 1, white},
                                      {r, t, 9, white},
                                      {l, b, 1, white},
                                      {l, b, 1, white},
                                      {r, t, 9, white},
                                      {r, b, 9, white}},
                FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);
  present();
  for (const double at : {0.25, 0.5, 0.75}) {
    const double f = 0.9 - 0.8 * at;
    const int level = to_byte(f);
    EXPECT_TRUE(near(static_cast<int>(200 + 400 * at), 300, Rgb{level, level, level}))
        << "at " << at;
  }
}

namespace {

struct BlendCase {
  const char* name;
  DWORD src, dest;
};

double factor(DWORD blend, const Color& s, const Color& d, int channel) {
  const double sc[] = {s.r, s.g, s.b}, dc[] = {d.r, d.g, d.b};
  switch (blend) {
    case D3DBLEND_ZERO:
      return 0;
    case D3DBLEND_ONE:
      return 1;
    case D3DBLEND_SRCCOLOR:
      return sc[channel];
    case D3DBLEND_INVSRCCOLOR:
      return 1 - sc[channel];
    case D3DBLEND_SRCALPHA:
      return s.a;
    case D3DBLEND_INVSRCALPHA:
      return 1 - s.a;
    case D3DBLEND_DESTCOLOR:
      return dc[channel];
    default:
      return -1;
  }
}

}  // namespace

TEST_F(PipelineTest, BlendFactorPairsOfTheShow) {
  const BlendCase cases[] = {
      {"ONE, ZERO (default)", D3DBLEND_ONE, D3DBLEND_ZERO},
      {"ONE, ONE (particles)", D3DBLEND_ONE, D3DBLEND_ONE},
      {"SRCALPHA, ONE (echec boxes)", D3DBLEND_SRCALPHA, D3DBLEND_ONE},
      {"SRCCOLOR, DESTCOLOR (tunnel)", D3DBLEND_SRCCOLOR, D3DBLEND_DESTCOLOR},
      {"SRCCOLOR, INVSRCCOLOR (indus)", D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR},
      {"SRCALPHA, INVSRCALPHA (sprites)", D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA},
      {"DESTCOLOR, ZERO", D3DBLEND_DESTCOLOR, D3DBLEND_ZERO},
  };
  const D3DCOLOR source = 0x80C08040u;
  set(D3DRS_LIGHTING, FALSE);
  set(D3DRS_ALPHABLENDENABLE, TRUE);
  int i = 0;
  for (const BlendCase& c : cases) {
    set(D3DRS_SRCBLEND, c.src);
    set(D3DRS_DESTBLEND, c.dest);
    bind_vertices(screen_quad(cell_x(i), cell_y(i), kHalf, 0.5f, source), FVF_XYZ_DIFFUSE);
    draw(D3DPT_TRIANGLELIST, 2);
    ++i;
  }
  present();
  const Color s = unpack(source), d = unpack(kBackground);
  i = 0;
  for (const BlendCase& c : cases) {
    double out[3];
    const double sc[] = {s.r, s.g, s.b}, dc[] = {d.r, d.g, d.b};
    for (int ch = 0; ch < 3; ++ch) {
      out[ch] = sc[ch] * factor(c.src, s, d, ch) + dc[ch] * factor(c.dest, s, d, ch);
    }
    EXPECT_TRUE(near(cell_x(i), cell_y(i), bytes(Color{out[0], out[1], out[2], 1}))) << c.name;
    ++i;
  }
}

TEST_F(PipelineTest, DepthTestLessEqual) {
  set(D3DRS_LIGHTING, FALSE);
  const auto at = [this](float z, D3DCOLOR color) {
    bind_vertices(screen_quad(400, 300, 100, z, color), FVF_XYZ_DIFFUSE);
    draw(D3DPT_TRIANGLELIST, 2);
  };
  at(0.5f, 0xFFFF0000u);  // drawn
  at(0.5f, 0xFF00FF00u);  // equal depth passes LESSEQUAL
  at(0.7f, 0xFF0000FFu);  // farther: fails
  set(D3DRS_ZFUNC, D3DCMP_LESS);
  at(0.5f, 0xFFFFFF00u);  // equal depth fails LESS
  present();
  EXPECT_TRUE(near(400, 300, Rgb{0, 255, 0}));
}

TEST_F(PipelineTest, ViewportLimitsClearsAndMapsDraws) {
  const D3DVIEWPORT8 inset{100, 100, 200, 100, 0.0f, 1.0f};
  ASSERT_EQ(dev->SetViewport(&inset), D3D_OK);
  dev->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000u, 1.0f, 0);
  // The top-left quarter of clip space lands in the top-left quarter of the viewport.
  set(D3DRS_LIGHTING, FALSE);
  bind_vertices(std::vector<XyzColor>{{-1, 1, 0.5f, 0xFF00FF00u},
                                      {0, 1, 0.5f, 0xFF00FF00u},
                                      {-1, 0, 0.5f, 0xFF00FF00u},
                                      {-1, 0, 0.5f, 0xFF00FF00u},
                                      {0, 1, 0.5f, 0xFF00FF00u},
                                      {0, 0, 0.5f, 0xFF00FF00u}},
                FVF_XYZ_DIFFUSE);
  draw(D3DPT_TRIANGLELIST, 2);
  present();
  const Rgb background{0x40, 0x80, 0xC0}, red{255, 0, 0}, green{0, 255, 0};
  EXPECT_TRUE(near(99, 150, background));
  EXPECT_TRUE(near(300, 150, background));
  EXPECT_TRUE(near(150, 99, background));
  EXPECT_TRUE(near(150, 200, background));
  EXPECT_TRUE(near(100, 100, green));
  EXPECT_TRUE(near(199, 149, green));
  EXPECT_TRUE(near(200, 149, red));
  EXPECT_TRUE(near(199, 150, red));
  EXPECT_TRUE(near(299, 199, red));
}

TEST_F(PipelineTest, PretransformedPositionsLandOnPixels) {
  struct Rhw {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
  };
  // A square from (10, 10) to (20, 20) covers the pixels 10 to 19: centres are on whole numbers.
  const D3DCOLOR c = 0xFFFFFFFFu;
  bind_vertices(std::vector<Rhw>{{10, 10, 0, 1, c, 0, 0},
                                 {20, 10, 0, 1, c, 0, 0},
                                 {10, 20, 0, 1, c, 0, 0},
                                 {10, 20, 0, 1, c, 0, 0},
                                 {20, 10, 0, 1, c, 0, 0},
                                 {20, 20, 0, 1, c, 0, 0}},
                FVF_XYZRHW_DIFFUSE_TEX1);
  draw(D3DPT_TRIANGLELIST, 2);
  present();
  const Rgb white{255, 255, 255}, background{0x40, 0x80, 0xC0};
  EXPECT_TRUE(near(10, 10, white));
  EXPECT_TRUE(near(19, 19, white));
  EXPECT_TRUE(near(9, 15, background));
  EXPECT_TRUE(near(20, 15, background));
  EXPECT_TRUE(near(15, 9, background));
  EXPECT_TRUE(near(15, 20, background));
}
