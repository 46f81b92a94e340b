#include "camera/path.h"

#include "camera/camera_key.h"
#include "math/d3dx_hermite.h"
#include "shell/base/log.h"

namespace {

// The natural end condition of a cubic spline (zero second derivative):
// chord * 1.5 - neighbour tangent * 0.5, each step rounded to float.
D3DXVECTOR3 end_tangent(const D3DXVECTOR3& chord, const D3DXVECTOR3& neighbour_tangent) {
  const D3DXVECTOR3 scaled_chord = chord * 1.5f;
  const D3DXVECTOR3 half_neighbour = neighbour_tangent * 0.5f;
  return scaled_chord - half_neighbour;
}

}  // namespace

void ComputeTangentVector(CameraKey* first, std::int32_t key_count) {
  if (key_count <= 3) {
    // The message is Latin-1, as the show has always written it.
    write_log(
        "ComputeTangentVector : pas assez de cl\xe9s dans la trajectoire pour le calcul des "
        "tangentes");
    return;
  }
  if (first == nullptr || first->next == nullptr) {
    return;
  }

  // Interior keys: half the chord from the previous key to the next one.
  CameraKey* previous = first;
  CameraKey* last = first->next;
  for (CameraKey* key = first->next; key->next != nullptr; key = key->next) {
    const CameraKey* next = key->next;
    key->cameraTangent = (key_position(next->camera) - key_position(previous->camera)) * 0.5f;
    key->targetTangent = (key_position(next->target) - key_position(previous->target)) * 0.5f;
    previous = key;
    last = key->next;
  }

  const CameraKey* second = first->next;
  first->cameraTangent = end_tangent(key_position(second->camera) - key_position(first->camera),
                                     second->cameraTangent);
  first->targetTangent = end_tangent(key_position(second->target) - key_position(first->target),
                                     second->targetTangent);

  // `previous` is the key before the last one (the first key for a chain of two).
  last->cameraTangent = end_tangent(key_position(last->camera) - key_position(previous->camera),
                                    previous->cameraTangent);
  last->targetTangent = end_tangent(key_position(last->target) - key_position(previous->target),
                                    previous->targetTangent);
}

float segment_ratio(std::int32_t frame_a, std::int32_t frame_b, std::int32_t frame) {
  // 64-bit differences: no overflow whatever frame numbers a caller passes.
  const std::int64_t span = static_cast<std::int64_t>(frame_b) - frame_a;
  if (span == 0) {
    return 0.0f;
  }
  const std::int64_t offset = static_cast<std::int64_t>(frame) - frame_a;
  return static_cast<float>(offset) / static_cast<float>(span);
}

void linear_inter(const D3DXVECTOR3& a, const D3DXVECTOR3& b, std::int32_t frame_a,
                  std::int32_t frame_b, std::int32_t frame, D3DXVECTOR3* out) {
  const float ratio = segment_ratio(frame_a, frame_b, frame);
  write_log("\n linear_inter -> ratio : %.3f", static_cast<double>(ratio));
  *out = (b - a) * ratio + a;
}

void spline_inter(const D3DXVECTOR3& a, const D3DXVECTOR3& tangent_a, const D3DXVECTOR3& b,
                  const D3DXVECTOR3& tangent_b, std::int32_t frame_a, std::int32_t frame_b,
                  std::int32_t frame, D3DXVECTOR3* out) {
  const float ratio = segment_ratio(frame_a, frame_b, frame);
  D3DXVec3Hermite(out, &a, &tangent_a, &b, &tangent_b, ratio);
}
