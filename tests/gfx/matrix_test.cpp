// The layer's matrix helpers (row-vector convention, as the utility library's).

#include <gtest/gtest.h>

#include "gfx/device_state.h"
#include "gfx/gl_pipeline.h"

namespace {

D3DMATRIX rows(std::initializer_list<float> values) {
  D3DMATRIX m{};
  int i = 0;
  for (const float v : values) {
    m.m[i / 4][i % 4] = v;
    ++i;
  }
  return m;
}

}  // namespace

// Reference values: Wine's utility-library tests, dlls/d3dx9_36/tests/math.c,
// D3DXMatrixTest, the D3DXMatrixMultiply case (mat * mat2).
TEST(Matrix, MultiplyMatchesTheReferenceProduct) {
  const D3DMATRIX a = rows({10, 5, 7, 8, 11, 20, 16, 33, 19, -21, 30, 43, 2, 3, -4, -40});
  const D3DMATRIX b = rows({1, 5, -8, -4, 2, 6, -7, -3, 3, 7, -6, -2, 4, 8, -5, -1});
  const D3DMATRIX expected =
      rows({73, 193, -197, -77, 231, 551, -489, -169, 239, 523, -400, -116, -164, -320, 187, 31});
  const D3DMATRIX got = multiply(a, b);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      EXPECT_FLOAT_EQ(got.m[r][c], expected.m[r][c]) << r << "," << c;
    }
  }
}

TEST(Matrix, NormalMatrixKeepsNormalsPerpendicular) {
  // A non-uniform scale with a shear: a surface's tangent t and normal n stay
  // perpendicular when t goes through M and n through the normal matrix.
  const D3DMATRIX m = rows({2, 0, 0, 0, 1, 3, 0, 0, 0, 0, 0.5f, 0, 7, 8, 9, 1});
  const D3DMATRIX n = normal_matrix(m);
  const float tangent[3] = {1, -1, 0}, normal[3] = {1, 1, 0};
  float t[3] = {}, k[3] = {};
  for (int c = 0; c < 3; ++c) {
    for (int r = 0; r < 3; ++r) {
      t[c] += tangent[r] * m.m[r][c];
      k[c] += normal[r] * n.m[r][c];
    }
  }
  EXPECT_NEAR(t[0] * k[0] + t[1] * k[1] + t[2] * k[2], 0.0f, 1e-5f);
  // For a rotation the normal matrix is the rotation itself.
  const D3DMATRIX rotation = rows({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  const D3DMATRIX same = normal_matrix(rotation);
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(same.m[r][c], rotation.m[r][c], 1e-6f);
    }
  }
}
