#include "math/d3dx_vector.h"

#include <cmath>

float D3DXVec3Length(const D3DXVECTOR3* v) { return std::sqrt(D3DXVec3LengthSq(v)); }

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
  const D3DXVECTOR3 r{a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z,
                      a->x * b->y - a->y * b->x};
  *out = r;
  return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
  const float length_sq = D3DXVec3LengthSq(v);
  if (std::fabs(length_sq - 1.0f) <= 0.00001f) {
    *out = *v;
  } else if (length_sq <= 1e-10f) {
    *out = D3DXVECTOR3{};
  } else {
    const float length = std::sqrt(length_sq);
    *out = D3DXVECTOR3{v->x / length, v->y / length, v->z / length};
  }
  return out;
}
