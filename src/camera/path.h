#pragma once
// Path interpolation between the keys of a camera flight.
//
//   ComputeTangentVector(first, n)   Catmull-Rom tangents, natural ends
//   spline_inter(...)                cubic Hermite between two keys
//   linear_inter(...)                straight line between two keys, logged
//   segment_ratio(A, B, frame)       where `frame` lies between key frames A and B

#include <cstdint>

#include "math/d3dx_vector.h"

struct CameraKey;

// Gives every record of the chain from `first` its camera and target tangent.
// With `key_count` of 3 or less the tangents are left as they are (zero after
// loading) and the log says so; a chain of fewer than two records is left alone.
void ComputeTangentVector(CameraKey* first, std::int32_t key_count);

// (frame - frame_a) / (frame_b - frame_a) as a 32-bit float; outside [0, 1)
// it extrapolates. Equal key frames give 0 (the first key) rather than a
// division by zero.
float segment_ratio(std::int32_t frame_a, std::int32_t frame_b, std::int32_t frame);

// out = a + (b - a) * ratio; writes "\n linear_inter -> ratio : %.3f" to the log.
void linear_inter(const D3DXVECTOR3& a, const D3DXVECTOR3& b, std::int32_t frame_a,
                  std::int32_t frame_b, std::int32_t frame, D3DXVECTOR3* out);

// out = D3DXVec3Hermite(a, tangent_a, b, tangent_b, ratio). The tangents are
// used unscaled: every segment of a path spans the same number of frames.
void spline_inter(const D3DXVECTOR3& a, const D3DXVECTOR3& tangent_a, const D3DXVECTOR3& b,
                  const D3DXVECTOR3& tangent_b, std::int32_t frame_a, std::int32_t frame_b,
                  std::int32_t frame, D3DXVECTOR3* out);
