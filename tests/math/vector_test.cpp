#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "math/d3dx_vector.h"
#include "math/vector3d.h"

namespace {

void expect_xyz(const vector3d& v, float x, float y, float z) {
  EXPECT_EQ(v.getX(), x);
  EXPECT_EQ(v.getY(), y);
  EXPECT_EQ(v.getZ(), z);
}

TEST(Vector3d, ReadsAnswerInFloatForEveryFlavour) {
  expect_xyz(vector3d(vector3d::INT, 3, -4, 5), 3.0f, -4.0f, 5.0f);
  expect_xyz(vector3d(vector3d::VFLOAT, 0.5f, -1.25f, 2), 0.5f, -1.25f, 2.0f);
  expect_xyz(vector3d(vector3d::DX, 0.5f, -1.25f, 2), 0.5f, -1.25f, 2.0f);
  expect_xyz(vector3d(7, 1, 2, 3), -1.0f, -1.0f, -1.0f);
}

TEST(Vector3d, SetTruncatesTowardZeroForInt) {
  vector3d v(vector3d::INT, 0, 0, 0);
  v.set(2.9f, -2.9f, 0.5f);
  expect_xyz(v, 2.0f, -2.0f, 0.0f);
  v.set(1e20f, -1e20f, NAN);  // saturates instead of undefined conversion
  EXPECT_EQ(v.getX(), 2147483648.0f);
  EXPECT_EQ(v.getY(), -2147483648.0f);
  EXPECT_EQ(v.getZ(), 0.0f);
}

TEST(Vector3d, SetOnUnknownFlavourChangesNothing) {
  vector3d v(9, 0, 0, 0);
  v.set(1, 2, 3);
  EXPECT_EQ(v.getType(), 9);
  EXPECT_EQ(v.getX(), -1.0f);
}

TEST(Vector3d, AddFollowsTheFlavourRules) {
  vector3d i(vector3d::INT, 1, 1, 1);
  i.add(vector3d(vector3d::VFLOAT, 0.6f, -1.6f, 2.5f));
  expect_xyz(i, 1, 0, 3);
  EXPECT_EQ(i.getType(), vector3d::INT);

  vector3d ii(vector3d::INT, 1, 2, 3);
  ii.add(vector3d(vector3d::INT, 10, 20, -30));
  expect_xyz(ii, 11, 22, -27);

  vector3d fi(vector3d::VFLOAT, 0.5f, 0.5f, 0.5f);
  fi.add(vector3d(vector3d::INT, 1, -2, 3));
  expect_xyz(fi, 1.5f, -1.5f, 3.5f);
  EXPECT_EQ(fi.getType(), vector3d::VFLOAT);

  vector3d ff(vector3d::VFLOAT, 0.25f, 0, 0);
  ff.add(vector3d(vector3d::VFLOAT, 0.5f, 1, 2));
  expect_xyz(ff, 0.75f, 1, 2);

  vector3d dd(vector3d::DX, 1, 2, 3);
  dd.add(vector3d(vector3d::DX, 0.5f, 0.5f, 0.5f));
  expect_xyz(dd, 1.5f, 2.5f, 3.5f);
}

TEST(Vector3d, AddMixingDxWithOtherFlavoursChangesNothing) {
  vector3d d(vector3d::DX, 1, 2, 3);
  d.add(vector3d(vector3d::INT, 5, 5, 5));
  d.add(vector3d(vector3d::VFLOAT, 5, 5, 5));
  expect_xyz(d, 1, 2, 3);
  vector3d f(vector3d::VFLOAT, 1, 2, 3);
  f.add(vector3d(vector3d::DX, 5, 5, 5));
  expect_xyz(f, 1, 2, 3);
  vector3d i(vector3d::INT, 1, 2, 3);
  i.add(vector3d(vector3d::DX, 5, 5, 5));
  expect_xyz(i, 1, 2, 3);
}

TEST(Vector3d, ToDxConvertsOnceAndKeepsValues) {
  vector3d f(vector3d::VFLOAT, 1, 2, 3);
  f.toDX();
  EXPECT_EQ(f.getType(), vector3d::DX);
  expect_xyz(f, 1, 2, 3);
  f.toDX();
  expect_xyz(f, 1, 2, 3);
  vector3d i(vector3d::INT, -4, 5, 6);
  i.toDX();
  EXPECT_EQ(i.getType(), vector3d::DX);
  expect_xyz(i, -4, 5, 6);
}

TEST(Vector3d, NormalizeByFlavour) {
  vector3d dz(vector3d::DX, 0, 0, 0);
  dz.normalize();
  expect_xyz(dz, 0, 0, 0);
  vector3d i(vector3d::INT, 3, 4, 0);
  i.normalize();
  expect_xyz(i, 3, 4, 0);
  vector3d f(vector3d::VFLOAT, 3, 4, 0);
  f.normalize();
  expect_xyz(f, 0.6f, 0.8f, 0);
  vector3d fz(vector3d::VFLOAT, 0, 0, 0);
  fz.normalize();  // guarded: stays zero rather than NaN
  expect_xyz(fz, 0, 0, 0);
  vector3d d(vector3d::DX, 0, 0, 2);
  d.normalize();
  expect_xyz(d, 0, 0, 1);
}

TEST(D3dxVector, OperatorsAreComponentWise) {
  const D3DXVECTOR3 a(1, 2, 3), b(0.5f, -1, 4);
  EXPECT_EQ(a - b, D3DXVECTOR3(0.5f, 3, -1));
  EXPECT_EQ(a + b, D3DXVECTOR3(1.5f, 1, 7));
  EXPECT_EQ(a * 2.0f, D3DXVECTOR3(2, 4, 6));
  EXPECT_EQ(2.0f * a, D3DXVECTOR3(2, 4, 6));
  D3DXVECTOR3 c = a;
  c += b;
  EXPECT_EQ(c, D3DXVECTOR3(1.5f, 1, 7));
  EXPECT_EQ(D3DXVec3Length(&a), std::sqrt(14.0f));
  D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0), z;
  D3DXVec3Cross(&z, &x, &y);
  EXPECT_EQ(z, D3DXVECTOR3(0, 0, 1));
}

TEST(D3dxVector, NormalizeRules) {
  D3DXVECTOR3 out;
  const D3DXVECTOR3 tiny(1e-6f, 0, 0);  // squared length 1e-12
  D3DXVec3Normalize(&out, &tiny);
  EXPECT_EQ(out, D3DXVECTOR3(0, 0, 0));

  const D3DXVECTOR3 v(0, 3, 4);
  D3DXVec3Normalize(&out, &v);
  EXPECT_EQ(out, D3DXVECTOR3(0, 3.0f / 5.0f, 4.0f / 5.0f));

  // Nearly unit vectors are left bit for bit as they are.
  const D3DXVECTOR3 near_unit(1.000004f, 0, 0);
  D3DXVec3Normalize(&out, &near_unit);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(out.x), std::bit_cast<std::uint32_t>(near_unit.x));

  D3DXVECTOR3 in_place(0, 0, -8);
  EXPECT_EQ(D3DXVec3Normalize(&in_place, &in_place), &in_place);
  EXPECT_EQ(in_place, D3DXVECTOR3(0, 0, -1));
}

}  // namespace
