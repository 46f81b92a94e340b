#pragma once
// The utility library's 4x4 float matrix, row-vector convention: a point p
// transforms as p * M, with the translation in the fourth row.

struct D3DXMATRIX {
  float m[4][4];
};
