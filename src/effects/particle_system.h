#pragma once
// A fountain of glowing points: particles leave one emitter along a launch
// direction with a small random spread, gain `gravity` every step, are turned
// back when behind the ground plane, and start again from their birth state
// when their life runs out. Drawn as additive point sprites of a fixed size.
//
//   set_plane_from_points(p1, p2, p3)   set_position(p)   set_direction(v)
//   set_gravity(v)   load_texture(file)   set_life_range(n)   set_speed(s)
//   set_min_speed(s)   set_capacity(n)      set-up, before the first update
//   update(emit)                            one step (draws from show_rand)
//   render()                                the used slots as point sprites
//   live_particles() / restore(particles)   the moving state, to go back to it
//
// Motion is counted in steps: velocities are scene units per step.

#include <cstdint>
#include <span>
#include <vector>

#include "gfx/device.h"
#include "math/d3dx_plane.h"
#include "math/vector3d.h"

struct particle3d {
  vector3d pos;
  vector3d vel;
  vector3d start_pos;
  vector3d start_vel;
  std::int32_t life = 0;
};

// One vertex of the point draw (x y z colour: FVF_XYZ_DIFFUSE).
struct point_vertex {
  float x, y, z;
  D3DCOLOR diffuse;
};
static_assert(sizeof(point_vertex) == 16);

class particle_system {
 public:
  particle_system();
  ~particle_system();
  particle_system(const particle_system&) = delete;
  particle_system& operator=(const particle_system&) = delete;

  void set_plane_from_points(float x1, float y1, float z1, float x2, float y2, float z2, float x3,
                             float y3, float z3);
  void set_position(float x, float y, float z);
  // Used as given: the launch direction is never normalised.
  void set_direction(float x, float y, float z);
  void set_gravity(float x, float y, float z);
  // A later texture replaces an earlier one; a failed load leaves none.
  void load_texture(const char* file_name);
  void set_life_range(std::int32_t life_range);
  void set_speed(float speed);
  // Kept for the show's set-up; restarts follow the particles' lives alone.
  void set_min_speed(float min_speed);
  // Empties the system and gives it n slots.
  void set_capacity(std::int32_t n);

  void update(bool emit);
  void render();
  // The particles in use, as a copy that restore() puts back (a seek to an
  // earlier time); more than the capacity are cut to it.
  std::vector<particle3d> live_particles() const;
  void restore(std::span<const particle3d> live);

  std::int32_t count() const { return count_; }
  std::int32_t capacity() const { return capacity_; }
  std::span<const particle3d> particles() const {
    return {particles_.data(), static_cast<std::size_t>(count_)};
  }
  const D3DXPLANE& plane() const { return plane_; }
  const vector3d& gravity() const { return gravity_; }
  const Texture* texture() const { return texture_; }
  float min_speed() const { return min_speed_; }
  // a*x + b*y + c*z + d at p, summed in the precision of the x87 unit:
  // zero or more is in front of the plane.
  double side_of_plane(const vector3d& p) const;

 private:
  void emit_particles();
  void step(particle3d& particle, bool emit);
  std::int32_t draw_life();

  float speed_ = 0.0f;
  float min_speed_ = 0.0f;
  D3DXPLANE plane_;
  vector3d direction_;
  vector3d plane_normal_;
  vector3d position_;
  vector3d gravity_;
  std::vector<particle3d> particles_;
  std::int32_t capacity_ = 0;
  std::int32_t count_ = 0;
  std::int32_t life_range_ = 0;
  Texture* texture_ = nullptr;
  VertexBuffer* vertex_buffer_ = nullptr;
};
