#include "math/d3dx_hermite.h"

#include "math/d3dx_vector.h"

D3DXVECTOR3* D3DXVec3Hermite(D3DXVECTOR3* out, const D3DXVECTOR3* v1, const D3DXVECTOR3* t1,
                             const D3DXVECTOR3* v2, const D3DXVECTOR3* t2, float s) {
  const float s2 = s * s;
  const float s3 = s2 * s;
  const float h1 = 2.0f * s3 - 3.0f * s2 + 1.0f;
  const float h2 = s3 - 2.0f * s2 + s;
  const float h3 = -2.0f * s3 + 3.0f * s2;
  const float h4 = s3 - s2;
  *out = *v1 * h1 + *t1 * h2 + *v2 * h3 + *t2 * h4;
  return out;
}
