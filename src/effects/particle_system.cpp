#include "effects/particle_system.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/device_state.h"
#include "math/show_random.h"
#include "shell/base/log.h"
#include "shell/base/render_helpers.h"

namespace {

constexpr int MAX_BORN_PER_STEP = 10;
// White at half alpha: with the additive blend a point adds texture x white.
constexpr D3DCOLOR POINT_COLOUR = 0x80FFFFFFu;
constexpr float POINT_SIZE = 10.8f;
constexpr float POINT_SIZE_MIN = 4.0f;
constexpr float POINT_SCALE_A = 0.0f;
constexpr float POINT_SCALE_B = 5.0f;
constexpr float POINT_SCALE_C = 10.0f;

vector3d dx_vector(float x, float y, float z) { return vector3d(vector3d::DX, x, y, z); }

vector3d dx_copy(const vector3d& v) { return dx_vector(v.getX(), v.getY(), v.getZ()); }

// One spread component: draw / 32767 - 0.5 in double, kept as a float.
float spread() { return static_cast<float>(show_rand() / 32767.0 - 0.5); }

}  // namespace

particle_system::particle_system()
    : direction_(dx_vector(0, 0, 0)),
      plane_normal_(dx_vector(0, 0, 0)),
      position_(dx_vector(0, 0, 0)),
      gravity_(dx_vector(0, 0, 0)) {}

particle_system::~particle_system() {
  if (texture_ != nullptr) {
    texture_->Release();
  }
  if (vertex_buffer_ != nullptr) {
    vertex_buffer_->Release();
  }
}

void particle_system::set_plane_from_points(float x1, float y1, float z1, float x2, float y2,
                                            float z2, float x3, float y3, float z3) {
  const D3DXVECTOR3 p1(x1, y1, z1), p2(x2, y2, z2), p3(x3, y3, z3);
  D3DXPlaneFromPoints(&plane_, &p1, &p2, &p3);
  plane_normal_ = dx_vector(plane_.a, plane_.b, plane_.c);
}

void particle_system::set_position(float x, float y, float z) { position_ = dx_vector(x, y, z); }

void particle_system::set_direction(float x, float y, float z) {
  direction_ = vector3d(vector3d::VFLOAT, x, y, z);
  direction_.toDX();
}

void particle_system::set_gravity(float x, float y, float z) { gravity_ = dx_vector(x, y, z); }

void particle_system::load_texture(const char* file_name) {
  if (texture_ != nullptr) {
    texture_->Release();
    texture_ = nullptr;
  }
  Texture* made = nullptr;
  if (FAILED(device->CreateTextureFromFile(file_name, false, 0, &made)) || made == nullptr) {
    write_log("Erreur loadtex");
    return;
  }
  texture_ = made;
}

void particle_system::set_life_range(std::int32_t life_range) { life_range_ = life_range; }

void particle_system::set_speed(float speed) { speed_ = speed; }

// The echec set-up asks for 0.2, but the show has always stored nothing here:
// its fountain restarts particles on their lives alone and keeps the top of
// its arc; min_speed stays 0.
void particle_system::set_min_speed(float) {}

void particle_system::set_capacity(std::int32_t n) {
  capacity_ = std::max(n, 0);
  count_ = 0;
  particles_.assign(static_cast<std::size_t>(capacity_), particle3d{});
}

std::int32_t particle_system::draw_life() {
  const int draw = show_rand();
  // A life range that was never set (or set to nothing) gives life 0 instead
  // of a division by zero: such particles start again at every step.
  return life_range_ > 0 ? draw % life_range_ : 0;
}

double particle_system::side_of_plane(const vector3d& p) const {
  // On the x87 unit the show was made for, the sum is rounded to a float after
  // the first product and after the first sum; the rest is kept in extended
  // precision. The tunnel emitter
  // lies on its plane and needs exactly this order to count as in front.
  const float ax = plane_.a * p.getX();
  const auto axby = static_cast<float>(double{ax} + double{plane_.b} * p.getY());
  return double{axby} + double{plane_.c} * p.getZ() + double{plane_.d};
}

void particle_system::emit_particles() {
  const int born = show_rand() % MAX_BORN_PER_STEP + 1;
  const std::int32_t first = count_;
  count_ = std::min(count_ + born, capacity_);
  for (std::int32_t i = first; i < count_; ++i) {
    particle3d& particle = particles_[static_cast<std::size_t>(i)];
    particle.pos = dx_copy(position_);
    particle.start_pos = dx_copy(position_);
    const float sx = direction_.getX() * speed_;
    const float sy = direction_.getY() * speed_;
    const float sz = direction_.getZ() * speed_;
    const float rz = spread();
    const float ry = spread();
    const float rx = spread();
    particle.start_vel = dx_vector(rx + sx, ry + sy, rz + sz);
    particle.vel = dx_copy(particle.start_vel);
    particle.life = draw_life();
  }
}

void particle_system::step(particle3d& particle, bool emit) {
  const bool in_front = side_of_plane(particle.pos) >= 0.0;
  particle.vel.add(gravity_);
  if (!in_front) {
    // Behind the ground: turn towards its front side at one unit per step.
    particle.vel.add(plane_normal_);
    particle.vel.normalize();
  }
  particle.pos.add(particle.vel);
  const std::int32_t old_life = particle.life;
  particle.life = old_life - 1;
  if (!emit) {
    return;
  }
  bool restart = old_life <= 0;
  if (!restart) {
    const double vx = particle.vel.getX(), vy = particle.vel.getY(), vz = particle.vel.getZ();
    restart = std::sqrt(vx * vx + vy * vy + vz * vz) < min_speed_;
  }
  if (restart) {
    particle.pos.set(particle.start_pos.getX(), particle.start_pos.getY(),
                     particle.start_pos.getZ());
    particle.vel.set(particle.start_vel.getX(), particle.start_vel.getY(),
                     particle.start_vel.getZ());
    particle.life = draw_life();
  }
}

void particle_system::update(bool emit) {
  if (emit) {
    emit_particles();
  }
  for (std::int32_t i = 0; i < count_; ++i) {
    step(particles_[static_cast<std::size_t>(i)], emit);
  }
}

std::vector<particle3d> particle_system::live_particles() const {
  const std::span<const particle3d> live = particles();
  return {live.begin(), live.end()};
}

void particle_system::restore(std::span<const particle3d> live) {
  count_ = static_cast<std::int32_t>(std::min(live.size(), particles_.size()));
  std::copy_n(live.begin(), count_, particles_.begin());
}

void particle_system::render() {
  set_render_state(D3DRS_ZWRITEENABLE, FALSE);
  set_render_state(D3DRS_ALPHABLENDENABLE, TRUE);
  set_render_state(D3DRS_SRCBLEND, D3DBLEND_ONE);
  set_render_state(D3DRS_DESTBLEND, D3DBLEND_ONE);

  std::vector<point_vertex> vertices;
  vertices.reserve(static_cast<std::size_t>(count_));
  for (const particle3d& particle : particles()) {
    vertices.push_back(
        {particle.pos.getX(), particle.pos.getY(), particle.pos.getZ(), POINT_COLOUR});
  }
  const auto bytes = static_cast<std::uint32_t>(vertices.size() * sizeof(point_vertex));

  // The buffer lives only for this draw; without one, or without its
  // contents, the points are not drawn but the states still go out.
  bool filled = false;
  if (count_ > 0) {
    if (FAILED(device->CreateVertexBuffer(bytes, D3DUSAGE_POINTS, FVF_XYZ_DIFFUSE, D3DPOOL_DEFAULT,
                                          &vertex_buffer_)) ||
        vertex_buffer_ == nullptr) {
      vertex_buffer_ = nullptr;
      write_log("erreur CV");
    } else {
      std::uint8_t* data = nullptr;
      if (FAILED(vertex_buffer_->Lock(0, bytes, &data, 0)) || data == nullptr) {
        write_log("erreur Lock");
      } else {
        std::memcpy(data, vertices.data(), bytes);
        vertex_buffer_->Unlock();
        filled = true;
      }
    }
  }

  set_render_state(D3DRS_POINTSPRITEENABLE, TRUE);
  set_render_state(D3DRS_POINTSCALEENABLE, FALSE);
  set_render_state(D3DRS_POINTSIZE, float_state_bits(POINT_SIZE));
  set_render_state(D3DRS_POINTSIZE_MIN, float_state_bits(POINT_SIZE_MIN));
  set_render_state(D3DRS_POINTSCALE_A, float_state_bits(POINT_SCALE_A));
  set_render_state(D3DRS_POINTSCALE_B, float_state_bits(POINT_SCALE_B));
  set_render_state(D3DRS_POINTSCALE_C, float_state_bits(POINT_SCALE_C));
  set_render_state(D3DRS_LIGHTING, FALSE);

  device->BeginScene();
  device->SetTexture(0, texture_);
  if (filled) {
    device->SetStreamSource(0, vertex_buffer_, sizeof(point_vertex));
    device->SetVertexShader(FVF_XYZ_DIFFUSE);
    device->DrawPrimitive(D3DPT_POINTLIST, 0, static_cast<std::uint32_t>(count_));
  }
  if (vertex_buffer_ != nullptr) {
    vertex_buffer_->Release();
    vertex_buffer_ = nullptr;
  }
  device->EndScene();

  set_render_state(D3DRS_ZWRITEENABLE, TRUE);
  set_render_state(D3DRS_ALPHABLENDENABLE, FALSE);
}
