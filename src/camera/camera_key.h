#pragma once
// One key of a camera flight: where the camera and the point it looks at are
// at this key, and the tangents of both tracks there.

#include <cstdint>

#include "math/d3dx_vector.h"
#include "scene/mesh_model.h"

struct CameraKey {
  std::int32_t numframe = 0;
  // Only x, y, z carry meaning; the vertex's other fields stay zero.
  vertex3d camera;
  vertex3d target;
  CameraKey* next = nullptr;
  D3DXVECTOR3 cameraTangent;
  D3DXVECTOR3 targetTangent;
};

inline D3DXVECTOR3 key_position(const vertex3d& v) { return {v.x, v.y, v.z}; }

inline void set_position(vertex3d& v, const D3DXVECTOR3& p) {
  v.x = p.x;
  v.y = p.y;
  v.z = p.z;
}
