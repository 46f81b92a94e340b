#pragma once
// The utility library's cubic Hermite interpolation between two points with
// their tangents.

struct D3DXVECTOR3;

// out = (2s^3 - 3s^2 + 1) v1 + (s^3 - 2s^2 + s) t1 + (-2s^3 + 3s^2) v2 + (s^3 - s^2) t2,
// in single precision. `out` may alias an input. Returns out.
D3DXVECTOR3* D3DXVec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* t1,
                             const D3DXVECTOR3* v2, const D3DXVECTOR3* t2, float s);
