#pragma once
// The utility library's plain three-float vector, single precision throughout.
//
//   a - b, a + b, -a, a * s, s * a, a += b, a -= b, a *= s   component-wise
//   D3DXVec3Length, D3DXVec3LengthSq, D3DXVec3Dot, D3DXVec3Cross
//   D3DXVec3Normalize   unit vector; (near) zero gives zero

struct D3DXVECTOR3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  constexpr D3DXVECTOR3() = default;
  constexpr D3DXVECTOR3(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}

  constexpr D3DXVECTOR3& operator+=(const D3DXVECTOR3& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
  }
  constexpr D3DXVECTOR3& operator-=(const D3DXVECTOR3& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
  }
  constexpr D3DXVECTOR3& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  friend constexpr bool operator==(const D3DXVECTOR3&, const D3DXVECTOR3&) = default;
};

constexpr D3DXVECTOR3 operator+(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
constexpr D3DXVECTOR3 operator-(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
constexpr D3DXVECTOR3 operator-(const D3DXVECTOR3& a) { return {-a.x, -a.y, -a.z}; }
constexpr D3DXVECTOR3 operator*(const D3DXVECTOR3& a, float s) {
  return {s * a.x, s * a.y, s * a.z};
}
constexpr D3DXVECTOR3 operator*(float s, const D3DXVECTOR3& a) { return a * s; }

constexpr float D3DXVec3LengthSq(const D3DXVECTOR3* v) {
  return v->x * v->x + v->y * v->y + v->z * v->z;
}
float D3DXVec3Length(const D3DXVECTOR3* v);
constexpr float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
  return a->x * b->x + a->y * b->y + a->z * b->z;
}
// Left-handed or right-handed alike: out = a x b. `out` may alias an input.
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b);
// out = v / |v|. A squared length within 0.00001 of 1 is taken as already unit
// and copied unchanged (so repeated normalising is bit-stable); a squared
// length of at most 1e-10 gives (0, 0, 0). `out` may alias `v`. Returns out.
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v);
