#pragma once
// The utility library's plane: a point p is on its front side when
// a*p.x + b*p.y + c*p.z + d >= 0.
//
//   D3DXPlaneFromPoints(out, p1, p2, p3)   the plane through three points

#include "math/d3dx_vector.h"

struct D3DXPLANE {
  float a = 0.0f;
  float b = 0.0f;
  float c = 0.0f;
  float d = 0.0f;
};

// n = normalize((p2 - p1) x (p3 - p1)), (a, b, c) = n, d = -(n . p1). Three
// points on one line give the zero plane. Returns out.
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                               const D3DXVECTOR3* p3);
