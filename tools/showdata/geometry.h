#pragma once
// Geometry for the generated scenes: a double-precision vector, a mesh builder
// with the shapes the scenes are made of, and camera paths (a Catmull-Rom
// curve through hand-placed control points, sampled into evenly spaced keys).
//
//   Vec3, dot, cross, normalized, length     vector arithmetic
//   MeshBuilder                              vertices with mapping, triangles
//     quad, grid, box, lathe, tube, sphere, sweep_ring, panel
//   catmull_rom                              point on a curve through controls
//   look_basis                               the show's look-at axes (left-handed)

#include <cstdint>
#include <string>
#include <vector>

#include "showdata/writer3ds.h"

namespace showdata {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(double s, Vec3 a) { return a * s; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double length(Vec3 a);
Vec3 normalized(Vec3 a);
D3DXVECTOR3 to_float(Vec3 a);

// The axes of D3DXMatrixLookAtLH: forward, right = up x forward, and the
// screen's up = forward x right.
struct LookBasis {
  Vec3 forward;
  Vec3 right;
  Vec3 up;
};
LookBasis look_basis(Vec3 eye, Vec3 target, Vec3 up);

class MeshBuilder {
 public:
  explicit MeshBuilder(std::string name, std::string material);

  std::size_t vertex_count() const { return vertices_.size(); }
  std::size_t face_count() const { return faces_.size(); }

  std::uint16_t vertex(Vec3 p, double u, double v);
  void triangle(std::uint16_t a, std::uint16_t b, std::uint16_t c);

  // Corners in order round the quad; mapping (u0, v0) at p0 to (u1, v1) at p2.
  void quad(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, double u0, double v0, double u1, double v1);
  // A flat quad from `origin` along edges eu and ev, cut into cells no larger
  // than `cell` units: lighting and fog are worked out per vertex, so big
  // faces need inner vertices. One texture repeat every `tile` units.
  void grid(Vec3 origin, Vec3 eu, Vec3 ev, double cell, double tile);
  // Axis-aligned box, each face a grid; one texture repeat every `tile` units.
  void box(Vec3 lo, Vec3 hi, double tile, double cell = 1e9);
  // Solid of revolution about `axis` (unit) through `base`: profile points
  // (radius, height); u goes once round, from +x for the vertical axis, and v
  // follows the profile.
  void lathe(Vec3 base, const std::vector<std::pair<double, double>>& profile, int segments,
             Vec3 axis = {0, 0, 1});
  // Open cylinder from a to b, in pieces no longer than `piece`; u once round,
  // v one repeat every `tile` units.
  void tube(Vec3 a, Vec3 b, double radius, int segments, double tile, double piece = 1e9);
  void sphere(Vec3 centre, double radius, int segments, int rings);
  // A tube swept along a closed centre line; `side` fixes which way u starts.
  void sweep_ring(const std::vector<Vec3>& centre, double radius, int segments, Vec3 side,
                  double u_repeat, double v_tile);
  // Flat rectangle: centre, unit right and up axes, size, mapping rectangle
  // (u0, v0) top left to (u1, v1) bottom right.
  void panel(Vec3 centre, Vec3 right, Vec3 up, double width, double height, double u0, double v0,
             double u1, double v1);

  writer3ds::MeshDesc build() const;

 private:
  std::string name_;
  std::string material_;
  std::vector<D3DXVECTOR3> vertices_;
  std::vector<writer3ds::UV> mapping_;
  std::vector<writer3ds::Face> faces_;
};

// Uniform Catmull-Rom through `points` at u in [0, 1], the ends held by
// repeating the first and last point.
Vec3 catmull_rom(const std::vector<Vec3>& points, double u);

}  // namespace showdata
