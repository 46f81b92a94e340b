#include "math/d3dx_matrix.h"

#include <cmath>

#include "math/d3dx_vector.h"

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
  *out = D3DXMATRIX{};
  for (int i = 0; i < 4; ++i) {
    out->m[i][i] = 1.0f;
  }
  return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
  D3DXVECTOR3 za = *at - *eye;
  D3DXVec3Normalize(&za, &za);
  D3DXVECTOR3 xa;
  D3DXVec3Cross(&xa, up, &za);
  D3DXVec3Normalize(&xa, &xa);
  D3DXVECTOR3 ya;
  D3DXVec3Cross(&ya, &za, &xa);

  const D3DXVECTOR3 axes[3] = {xa, ya, za};
  for (int col = 0; col < 3; ++col) {
    out->m[0][col] = axes[col].x;
    out->m[1][col] = axes[col].y;
    out->m[2][col] = axes[col].z;
    out->m[3][col] = -D3DXVec3Dot(&axes[col], eye);
  }
  out->m[0][3] = 0.0f;
  out->m[1][3] = 0.0f;
  out->m[2][3] = 0.0f;
  out->m[3][3] = 1.0f;
  return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn,
                                       float zf) {
  const float half_tan = std::tan(fovy / 2.0f);
  const float ys = 1.0f / half_tan;
  const float xs = ys / aspect;
  const float depth_scale = zf / (zf - zn);
  const float depth_offset = -zn * depth_scale;
  if (!std::isfinite(xs) || !std::isfinite(ys) || !std::isfinite(depth_scale) ||
      !std::isfinite(depth_offset)) {
    return nullptr;
  }
  *out = D3DXMATRIX{};
  out->m[0][0] = xs;
  out->m[1][1] = ys;
  out->m[2][2] = depth_scale;
  out->m[2][3] = 1.0f;
  out->m[3][2] = depth_offset;
  return out;
}
