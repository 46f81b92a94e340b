#pragma once
// The utility library's 4x4 float matrix, row-vector convention: a point p
// transforms as p * M, with the translation in the fourth row.
//
//   D3DXMatrixIdentity          the identity
//   D3DXMatrixLookAtLH          left-handed view matrix from eye, target and up
//   D3DXMatrixPerspectiveFovLH  left-handed projection, depth mapped to [0, 1]

struct D3DXVECTOR3;

struct D3DXMATRIX {
  float m[4][4];
};

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);

// Rows (xa.x, ya.x, za.x, 0), (xa.y, ya.y, za.y, 0), (xa.z, ya.z, za.z, 0),
// (-xa.eye, -ya.eye, -za.eye, 1) with za = |at - eye|, xa = |up x za|,
// ya = za x xa. Returns out.
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up);

// Rows (xs, 0, 0, 0), (0, ys, 0, 0), (0, 0, f/(f-n), 1), (0, 0, -n*f/(f-n), 0)
// with ys = cot(fovy/2), xs = ys/aspect. Returns out, or nullptr (and leaves
// out untouched) when the parameters give no finite matrix: a zero aspect, a
// field of view whose tangent is zero or infinite, or equal planes.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovy, float aspect, float zn,
                                       float zf);
