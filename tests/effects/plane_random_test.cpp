#include <gtest/gtest.h>

#include "math/d3dx_plane.h"
#include "math/show_random.h"

namespace {

TEST(ShowRandom, FollowsTheClassicGeneratorFromStateOne) {
  show_rand_reset();
  EXPECT_EQ(show_rand(), 41);
  EXPECT_EQ(show_rand(), 18467);
  EXPECT_EQ(show_rand(), 6334);
  EXPECT_EQ(show_rand(), 26500);
  show_rand_reset();
  EXPECT_EQ(show_rand(), 41);
}

TEST(PlaneFromPoints, TunnelPlaneMatchesX87SinglePrecision) {
  const D3DXVECTOR3 p1(81, -601, -86), p2(84, -580, -82), p3(99, -608, -91);
  D3DXPLANE plane;
  EXPECT_EQ(D3DXPlaneFromPoints(&plane, &p1, &p2, &p3), &plane);
  // The stored floats, as the x87 unit rounded them.
  EXPECT_EQ(plane.a, -0.185287371f);
  EXPECT_EQ(plane.b, 0.20935066f);
  EXPECT_EQ(plane.c, -0.960125446f);
  EXPECT_EQ(plane.d, 58.2572365f);
}

TEST(PlaneFromPoints, AxisPlaneIsExactAndCollinearPointsGiveZero) {
  const D3DXVECTOR3 p1(0, 0, 85), p2(1, 0, 85), p3(0, 1, 85);
  D3DXPLANE plane;
  D3DXPlaneFromPoints(&plane, &p1, &p2, &p3);
  EXPECT_EQ(plane.a, 0.0f);
  EXPECT_EQ(plane.b, 0.0f);
  EXPECT_EQ(plane.c, 1.0f);
  EXPECT_EQ(plane.d, -85.0f);

  const D3DXVECTOR3 q1(1, 2, 3), q2(2, 4, 6), q3(3, 6, 9);
  D3DXPlaneFromPoints(&plane, &q1, &q2, &q3);
  EXPECT_EQ(plane.a, 0.0f);
  EXPECT_EQ(plane.b, 0.0f);
  EXPECT_EQ(plane.c, 0.0f);
  EXPECT_EQ(plane.d, 0.0f);
}

}  // namespace
