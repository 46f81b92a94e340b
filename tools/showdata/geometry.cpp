#include "showdata/geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace showdata {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
}

double length(Vec3 a) { return std::sqrt(dot(a, a)); }

Vec3 normalized(Vec3 a) {
  const double l = length(a);
  return l > 0.0 ? a * (1.0 / l) : Vec3{};
}

D3DXVECTOR3 to_float(Vec3 a) {
  return {static_cast<float>(a.x), static_cast<float>(a.y), static_cast<float>(a.z)};
}

LookBasis look_basis(Vec3 eye, Vec3 target, Vec3 up) {
  LookBasis b;
  b.forward = normalized(target - eye);
  b.right = normalized(cross(up, b.forward));
  b.up = cross(b.forward, b.right);
  return b;
}

MeshBuilder::MeshBuilder(std::string name, std::string material)
    : name_(std::move(name)), material_(std::move(material)) {}

std::uint16_t MeshBuilder::vertex(Vec3 p, double u, double v) {
  // The show reads vertex counts as signed 16-bit values.
  if (vertices_.size() >= 32767)
    throw std::length_error("mesh " + name_ + " has too many vertices");
  vertices_.push_back(to_float(p));
  mapping_.push_back({static_cast<float>(u), static_cast<float>(v)});
  return static_cast<std::uint16_t>(vertices_.size() - 1);
}

void MeshBuilder::triangle(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
  // Poles of turned shapes give triangles with two corners in one place: they
  // draw nothing and other readers take them for lines.
  const auto at = [this](std::uint16_t i) {
    return Vec3{vertices_[i].x, vertices_[i].y, vertices_[i].z};
  };
  if (length(cross(at(b) - at(a), at(c) - at(a))) < 1e-6) return;
  if (faces_.size() >= 32767) throw std::length_error("mesh " + name_ + " has too many faces");
  faces_.push_back({a, b, c, 0});
}

void MeshBuilder::quad(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, double u0, double v0, double u1,
                       double v1) {
  const auto a = vertex(p0, u0, v0);
  const auto b = vertex(p1, u1, v0);
  const auto c = vertex(p2, u1, v1);
  const auto d = vertex(p3, u0, v1);
  triangle(a, b, c);
  triangle(a, c, d);
}

void MeshBuilder::grid(Vec3 origin, Vec3 eu, Vec3 ev, double cell, double tile) {
  const double lu = length(eu);
  const double lv = length(ev);
  const int nu = std::max(1, static_cast<int>(std::ceil(lu / cell)));
  const int nv = std::max(1, static_cast<int>(std::ceil(lv / cell)));
  std::vector<std::uint16_t> previous;
  for (int j = 0; j <= nv; ++j) {
    std::vector<std::uint16_t> row;
    const double fv = static_cast<double>(j) / nv;
    for (int i = 0; i <= nu; ++i) {
      const double fu = static_cast<double>(i) / nu;
      row.push_back(vertex(origin + eu * fu + ev * fv, fu * lu / tile, fv * lv / tile));
    }
    if (!previous.empty()) {
      for (int i = 0; i < nu; ++i) {
        triangle(previous[i], previous[i + 1], row[i + 1]);
        triangle(previous[i], row[i + 1], row[i]);
      }
    }
    previous = std::move(row);
  }
}

void MeshBuilder::box(Vec3 lo, Vec3 hi, double tile, double cell) {
  const Vec3 dx{hi.x - lo.x, 0, 0};
  const Vec3 dy{0, hi.y - lo.y, 0};
  const Vec3 dz{0, 0, hi.z - lo.z};
  grid(lo + dz, dx, dy, cell, tile);  // top
  grid(lo, dy, dx, cell, tile);       // bottom
  grid(lo, dx, dz, cell, tile);       // -y side
  grid(lo + dy, dz, dx, cell, tile);  // +y side
  grid(lo, dz, dy, cell, tile);       // -x side
  grid(lo + dx, dy, dz, cell, tile);  // +x side
}

void MeshBuilder::lathe(Vec3 base, const std::vector<std::pair<double, double>>& profile,
                        int segments, Vec3 axis) {
  const bool vertical = axis.x == 0.0 && axis.y == 0.0;
  const Vec3 side = vertical ? Vec3{1, 0, 0} : normalized(cross(axis, Vec3{0, 0, 1}));
  const Vec3 other = cross(axis, side);
  std::vector<double> along(profile.size(), 0.0);
  for (std::size_t i = 1; i < profile.size(); ++i) {
    along[i] = along[i - 1] + std::hypot(profile[i].first - profile[i - 1].first,
                                         profile[i].second - profile[i - 1].second);
  }
  const double total = std::max(along.back(), 1e-9);
  std::vector<std::uint16_t> previous;
  for (std::size_t i = 0; i < profile.size(); ++i) {
    std::vector<std::uint16_t> ring;
    for (int s = 0; s <= segments; ++s) {
      const double a = kTwoPi * s / segments;
      const auto [r, h] = profile[i];
      ring.push_back(vertex(base + side * (r * std::cos(a)) + other * (r * std::sin(a)) + axis * h,
                            static_cast<double>(s) / segments, along[i] / total));
    }
    if (!previous.empty()) {
      for (int s = 0; s < segments; ++s) {
        triangle(previous[s], previous[s + 1], ring[s + 1]);
        triangle(previous[s], ring[s + 1], ring[s]);
      }
    }
    previous = std::move(ring);
  }
}

void MeshBuilder::tube(Vec3 a, Vec3 b, double radius, int segments, double tile, double piece) {
  const double len = length(b - a);
  const int pieces = std::max(1, static_cast<int>(std::ceil(len / piece)));
  const Vec3 axis = normalized(b - a);
  const Vec3 helper = std::abs(axis.z) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
  const Vec3 side = normalized(cross(axis, helper));
  const Vec3 other = cross(axis, side);
  std::vector<std::uint16_t> previous;
  for (int k = 0; k <= pieces; ++k) {
    const double f = static_cast<double>(k) / pieces;
    std::vector<std::uint16_t> ring;
    for (int s = 0; s <= segments; ++s) {
      const double t = kTwoPi * s / segments;
      const Vec3 offset = (side * std::cos(t) + other * std::sin(t)) * radius;
      ring.push_back(
          vertex(a + (b - a) * f + offset, static_cast<double>(s) / segments, f * len / tile));
    }
    if (!previous.empty()) {
      for (int s = 0; s < segments; ++s) {
        triangle(previous[s], previous[s + 1], ring[s + 1]);
        triangle(previous[s], ring[s + 1], ring[s]);
      }
    }
    previous = std::move(ring);
  }
}

void MeshBuilder::sphere(Vec3 centre, double radius, int segments, int rings) {
  std::vector<std::pair<double, double>> profile;
  for (int r = 0; r <= rings; ++r) {
    const double a = std::numbers::pi * r / rings;
    profile.emplace_back(radius * std::sin(a), -radius * std::cos(a));
  }
  lathe(centre, profile, segments);
}

void MeshBuilder::sweep_ring(const std::vector<Vec3>& centre, double radius, int segments,
                             Vec3 side, double u_repeat, double v_tile) {
  const std::size_t n = centre.size();
  double along = 0.0;
  std::vector<std::uint16_t> first;
  std::vector<std::uint16_t> previous;
  for (std::size_t i = 0; i <= n; ++i) {
    const Vec3 p = centre[i % n];
    const Vec3 tangent = normalized(centre[(i + 1) % n] - centre[(i + n - 1) % n]);
    const Vec3 across = normalized(side - tangent * dot(side, tangent));
    const Vec3 other = cross(tangent, across);
    if (i > 0) along += length(p - centre[i - 1]);
    std::vector<std::uint16_t> ring;
    for (int s = 0; s <= segments; ++s) {
      const double t = kTwoPi * s / segments;
      const Vec3 offset = (across * std::cos(t) + other * std::sin(t)) * radius;
      ring.push_back(vertex(p + offset, u_repeat * s / segments, along / v_tile));
    }
    if (!previous.empty()) {
      for (int s = 0; s < segments; ++s) {
        triangle(previous[s], previous[s + 1], ring[s + 1]);
        triangle(previous[s], ring[s + 1], ring[s]);
      }
    }
    previous = std::move(ring);
  }
}

void MeshBuilder::panel(Vec3 centre, Vec3 right, Vec3 up, double width, double height, double u0,
                        double v0, double u1, double v1) {
  const Vec3 r = right * (width / 2.0);
  const Vec3 u = up * (height / 2.0);
  quad(centre - r + u, centre + r + u, centre + r - u, centre - r - u, u0, v0, u1, v1);
}

writer3ds::MeshDesc MeshBuilder::build() const {
  writer3ds::MeshDesc mesh;
  mesh.name = name_;
  mesh.vertices = vertices_;
  mesh.faces = faces_;
  mesh.mapping = mapping_;
  writer3ds::FaceMaterial group{material_, {}};
  for (std::size_t i = 0; i < faces_.size(); ++i)
    group.faces.push_back(static_cast<std::uint16_t>(i));
  mesh.materials.push_back(std::move(group));
  return mesh;
}

Vec3 catmull_rom(const std::vector<Vec3>& points, double u) {
  const auto n = static_cast<int>(points.size());
  if (n == 1) return points[0];
  const double x = std::clamp(u, 0.0, 1.0) * (n - 1);
  const int i = std::min(static_cast<int>(x), n - 2);
  const double t = x - i;
  const Vec3 p0 = points[std::max(i - 1, 0)];
  const Vec3 p1 = points[i];
  const Vec3 p2 = points[i + 1];
  const Vec3 p3 = points[std::min(i + 2, n - 1)];
  const double t2 = t * t;
  const double t3 = t2 * t;
  return 0.5 * ((2.0 * p1) + (p2 - p0) * t + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * t2 +
                (3.0 * p1 - p0 - 3.0 * p2 + p3) * t3);
}

}  // namespace showdata
