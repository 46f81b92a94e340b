#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "math/d3dx_matrix.h"
#include "math/d3dx_vector.h"

namespace {

void expect_matrix_near(const D3DXMATRIX& expected, const D3DXMATRIX& got, float tolerance) {
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      EXPECT_NEAR(expected.m[row][col], got.m[row][col], tolerance)
          << "row " << row << ", column " << col;
    }
  }
}

// p * M for a point (w = 1), giving four components.
void transform(const D3DXMATRIX& m, const D3DXVECTOR3& p, float out[4]) {
  for (int col = 0; col < 4; ++col) {
    out[col] = p.x * m.m[0][col] + p.y * m.m[1][col] + p.z * m.m[2][col] + m.m[3][col];
  }
}

// Reference values: Wine's test suite of its D3DX re-implementation,
// dlls/d3dx9_36/tests/math.c, D3DXMatrixTest, section "D3DXMatrixLookatLH"
// (eye (8, -5, 5.75), at (-2, 13, -9), up (1, -3, 7)), printed there to six
// decimals.
TEST(MatrixLookAtLH, MatchesPublishedReference) {
  const D3DXVECTOR3 eye(8.0f, -5.0f, 5.75f);
  const D3DXVECTOR3 at(-2.0f, 13.0f, -9.0f);
  const D3DXVECTOR3 up(1.0f, -3.0f, 7.0f);
  const D3DXMATRIX expected{{{-0.822465f, -0.409489f, -0.394803f, 0.0f},
                             {-0.555856f, 0.431286f, 0.710645f, 0.0f},
                             {-0.120729f, 0.803935f, -0.582335f, 0.0f},
                             {4.494634f, 0.809719f, 10.060076f, 1.0f}}};
  D3DXMATRIX got;
  EXPECT_EQ(D3DXMatrixLookAtLH(&got, &eye, &at, &up), &got);
  expect_matrix_near(expected, got, 1e-5f);
}

TEST(MatrixLookAtLH, PutsTheEyeAtTheOriginAndTheTargetOnPositiveZ) {
  const D3DXVECTOR3 eye(10.0f, 20.0f, -30.0f);
  const D3DXVECTOR3 at(10.0f, 20.0f, 70.0f);
  const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
  D3DXMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  float p[4];
  transform(view, eye, p);
  EXPECT_NEAR(p[0], 0.0f, 1e-5f);
  EXPECT_NEAR(p[1], 0.0f, 1e-5f);
  EXPECT_NEAR(p[2], 0.0f, 1e-5f);
  transform(view, at, p);
  EXPECT_NEAR(p[2], 100.0f, 1e-4f);
  // A point to the right (+x) and above (+y) stays there in camera space.
  transform(view, D3DXVECTOR3(11.0f, 22.0f, 0.0f), p);
  EXPECT_NEAR(p[0], 1.0f, 1e-5f);
  EXPECT_NEAR(p[1], 2.0f, 1e-5f);
}

// Reference values: the same Wine suite, section "D3DXMatrixPerspectiveFovLH",
// D3DXMatrixPerspectiveFovLH(0.2, 0.75, -2.4, 8.7).
TEST(MatrixPerspectiveFovLH, MatchesPublishedReference) {
  const D3DXMATRIX expected{{{13.288858f, 0.0f, 0.0f, 0.0f},
                             {0.0f, 9.966644f, 0.0f, 0.0f},
                             {0.0f, 0.0f, 0.783784f, 1.0f},
                             {0.0f, 0.0f, 1.881081f, 0.0f}}};
  D3DXMATRIX got;
  EXPECT_EQ(D3DXMatrixPerspectiveFovLH(&got, 0.2f, 0.75f, -2.4f, 8.7f), &got);
  expect_matrix_near(expected, got, 1e-5f);
}

TEST(MatrixPerspectiveFovLH, TheShowsProjectionMapsNearToZeroAndFarToOne) {
  D3DXMATRIX proj;
  ASSERT_NE(
      D3DXMatrixPerspectiveFovLH(&proj, std::numbers::pi_v<float> / 4.0f, 1.0f, 1.0f, 10000.0f),
      nullptr);
  const float cot = 1.0f / std::tan(std::numbers::pi_v<float> / 8.0f);  // 2.4142137
  EXPECT_NEAR(proj.m[0][0], cot, 1e-5f);
  EXPECT_NEAR(proj.m[1][1], cot, 1e-5f);
  float p[4];
  transform(proj, D3DXVECTOR3(0.0f, 0.0f, 1.0f), p);
  EXPECT_NEAR(p[2] / p[3], 0.0f, 1e-6f);
  transform(proj, D3DXVECTOR3(0.0f, 0.0f, 10000.0f), p);
  EXPECT_NEAR(p[2] / p[3], 1.0f, 1e-6f);
}

TEST(MatrixPerspectiveFovLH, DegenerateParametersFailAndLeaveTheMatrixAlone) {
  D3DXMATRIX proj;
  D3DXMatrixIdentity(&proj);
  EXPECT_EQ(D3DXMatrixPerspectiveFovLH(&proj, 0.7853982f, 0.0f, 1.0f, 100.0f), nullptr);
  EXPECT_EQ(D3DXMatrixPerspectiveFovLH(&proj, 0.7853982f, 1.0f, 5.0f, 5.0f), nullptr);
  EXPECT_EQ(D3DXMatrixPerspectiveFovLH(&proj, 0.0f, 1.0f, 1.0f, 100.0f), nullptr);
  D3DXMATRIX identity;
  D3DXMatrixIdentity(&identity);
  expect_matrix_near(identity, proj, 0.0f);
}

}  // namespace
