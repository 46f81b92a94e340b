#include <gtest/gtest.h>

#include "math/d3dx_hermite.h"
#include "math/d3dx_vector.h"

namespace {

void expect_vector_near(const D3DXVECTOR3& expected, const D3DXVECTOR3& got, float tolerance) {
  EXPECT_NEAR(expected.x, got.x, tolerance);
  EXPECT_NEAR(expected.y, got.y, tolerance);
  EXPECT_NEAR(expected.z, got.z, tolerance);
}

// Reference values: Wine's test suite of its D3DX8 re-implementation,
// dlls/d3dx8/tests/math.c, D3X8Vector3Test, section "D3DXVec3Hermite":
// points (9, 6, 2) and (3, -5, 7), tangents (2, -3, -4) and (4, 1, 11), s = -6.5.
TEST(Vec3Hermite, MatchesPublishedReference) {
  const D3DXVECTOR3 v1(9.0f, 6.0f, 2.0f);
  const D3DXVECTOR3 t1(2.0f, -3.0f, -4.0f);
  const D3DXVECTOR3 v2(3.0f, -5.0f, 7.0f);
  const D3DXVECTOR3 t2(4.0f, 1.0f, 11.0f);
  D3DXVECTOR3 got;
  EXPECT_EQ(D3DXVec3Hermite(&got, &v1, &t1, &v2, &t2, -6.5f), &got);
  expect_vector_near(D3DXVECTOR3(-6045.75f, -6650.0f, 1358.875f), got, 1e-5f);
}

TEST(Vec3Hermite, PassesThroughTheEndsAndEasesWithZeroTangents) {
  const D3DXVECTOR3 a(1.0f, 2.0f, 3.0f);
  const D3DXVECTOR3 b(11.0f, -2.0f, 7.0f);
  const D3DXVECTOR3 slope(5.0f, 5.0f, 5.0f);
  D3DXVECTOR3 got;
  D3DXVec3Hermite(&got, &a, &slope, &b, &slope, 0.0f);
  expect_vector_near(a, got, 0.0f);
  D3DXVec3Hermite(&got, &a, &slope, &b, &slope, 1.0f);
  expect_vector_near(b, got, 1e-6f);

  // Zero tangents: a + (3s^2 - 2s^3)(b - a); at s = 1/4 that is 0.15625 of the way.
  const D3DXVECTOR3 zero;
  const D3DXVECTOR3 origin;
  const D3DXVECTOR3 ten(10.0f, 0.0f, 0.0f);
  D3DXVec3Hermite(&got, &origin, &zero, &ten, &zero, 0.25f);
  EXPECT_FLOAT_EQ(got.x, 1.5625f);
}

TEST(Vec3Hermite, OutputMayAliasAnInput) {
  D3DXVECTOR3 a(0.0f, 0.0f, 0.0f);
  const D3DXVECTOR3 t(10.0f, 0.0f, 0.0f);
  const D3DXVECTOR3 b(10.0f, 0.0f, 0.0f);
  D3DXVec3Hermite(&a, &a, &t, &b, &t, 0.5f);
  EXPECT_FLOAT_EQ(a.x, 5.0f);
}

}  // namespace
