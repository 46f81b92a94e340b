#include "math/d3dx_plane.h"

#include <cmath>

// The utility library ran on the x87 unit: sums and products are held at extended
// precision and only the stored results are single floats. Computing in double
// and rounding once per stored value gives the same floats, and the particle
// emitter that lies on its own plane depends on them: its side value must come
// out a hair above zero, not below.
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                               const D3DXVECTOR3* p3) {
  const double e1x = double{p2->x} - p1->x, e1y = double{p2->y} - p1->y,
               e1z = double{p2->z} - p1->z;
  const double e2x = double{p3->x} - p1->x, e2y = double{p3->y} - p1->y,
               e2z = double{p3->z} - p1->z;
  const auto cx = static_cast<float>(e1y * e2z - e1z * e2y);
  const auto cy = static_cast<float>(e1z * e2x - e1x * e2z);
  const auto cz = static_cast<float>(e1x * e2y - e1y * e2x);

  const double squared = double{cx} * cx + double{cy} * cy + double{cz} * cz;
  if (squared <= 1e-10) {
    // Collinear points span no plane; the zero plane puts every point in front.
    *out = D3DXPLANE{};
    return out;
  }
  const double length = std::sqrt(squared);
  out->a = static_cast<float>(cx / length);
  out->b = static_cast<float>(cy / length);
  out->c = static_cast<float>(cz / length);
  out->d = static_cast<float>(
      -(double{out->a} * p1->x + double{out->b} * p1->y + double{out->c} * p1->z));
  return out;
}
