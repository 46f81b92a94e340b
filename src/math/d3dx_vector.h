#pragma once
// The utility library's plain three-float vector, single precision throughout.

struct D3DXVECTOR3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};
