#include "effects/particle_system.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "effects_fixture.h"
#include "gfx/device_state.h"

namespace {

using ParticleTest = EffectsTest;
using Lines = std::vector<std::string>;

// The show's two systems, set up with its values.
void set_up_tunnel(particle_system& p) {
  p.set_plane_from_points(81, -601, -86, 84, -580, -82, 99, -608, -91);
  p.set_position(81, -601, -86);
  p.set_direction(-0.185287f, 0.209351f, -0.960126f);
  p.set_gravity(0.02316087f, -0.02616888f, 0.1200157f);
  p.load_texture("particle.bmp");
  p.set_life_range(100);
  p.set_speed(4.0f);
  p.set_capacity(60);
}

void set_up_echec(particle_system& p) {
  p.load_texture("particule2.bmp");
  p.set_plane_from_points(0, 0, 85, 1, 0, 85, 0, 1, 85);
  p.set_gravity(0, 0, -0.19f);
  p.load_texture("particle.bmp");
  p.set_life_range(100);
  p.set_direction(0, 0, 1);
  p.set_speed(6.2f);
  p.set_min_speed(0.2f);
  p.set_position(10, 0, 90);
  p.set_capacity(1000);
}

D3DXVECTOR3 xyz(const vector3d& v) { return {v.getX(), v.getY(), v.getZ()}; }

float distance(const D3DXVECTOR3& a, const D3DXVECTOR3& b) {
  const D3DXVECTOR3 d = a - b;
  return std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
}

// The draws the generator will give, from a fresh start.
std::vector<int> first_draws(int n) {
  show_rand_reset();
  std::vector<int> draws;
  for (int i = 0; i < n; ++i) draws.push_back(show_rand());
  show_rand_reset();
  return draws;
}

float spread(int draw) { return static_cast<float>(draw / 32767.0 - 0.5); }

TEST_F(ParticleTest, FirstUpdateBornsParticlesFromTheDrawsInOrderAndMovesThemOnce) {
  const std::vector<int> draws = first_draws(64);
  particle_system p;
  set_up_echec(p);
  p.update(true);

  const int born = draws[0] % 10 + 1;
  ASSERT_EQ(p.count(), born);
  std::size_t next = 1;
  for (const particle3d& particle : p.particles()) {
    // Draws per particle: rz, ry, rx, then the life.
    const D3DXVECTOR3 start_vel(spread(draws[next + 2]), spread(draws[next + 1]),
                                spread(draws[next]) + 6.2f);
    const int life = draws[next + 3] % 100;
    next += 4;
    ASSERT_GT(life, 0) << "these draws give no restart in the first step";
    EXPECT_EQ(xyz(particle.start_pos), D3DXVECTOR3(10, 0, 90));
    EXPECT_EQ(xyz(particle.start_vel), start_vel);
    const D3DXVECTOR3 vel = start_vel + D3DXVECTOR3(0, 0, -0.19f);
    EXPECT_EQ(xyz(particle.vel), vel);
    EXPECT_EQ(xyz(particle.pos), D3DXVECTOR3(10, 0, 90) + vel);
    EXPECT_EQ(particle.life, life - 1);
  }
  EXPECT_EQ(show_rand(), draws[next]) << "no draw beyond n and four per particle";
}

TEST_F(ParticleTest, AFullSystemStillTakesTheDrawForN) {
  const std::vector<int> draws = first_draws(8);
  particle_system p;
  set_up_echec(p);
  p.set_capacity(1);
  p.update(true);
  ASSERT_EQ(p.count(), 1);
  ASSERT_GT(draws[4] % 100, 1);
  p.update(true);
  EXPECT_EQ(p.count(), 1);
  EXPECT_EQ(show_rand(), draws[6]);
}

TEST_F(ParticleTest, WithoutEmitNothingIsBornOrRestartedButAllMove) {
  particle_system reference;
  set_up_echec(reference);
  reference.set_life_range(1);
  reference.update(true);
  const int draw_after_birth = show_rand();

  show_rand_reset();
  particle_system p;
  set_up_echec(p);
  p.set_life_range(1);  // every life is 0: each particle is due for a restart
  p.update(true);
  const std::vector<particle3d> before(p.particles().begin(), p.particles().end());
  for (int step = 0; step < 3; ++step) p.update(false);

  EXPECT_EQ(show_rand(), draw_after_birth) << "no draws without emit";
  ASSERT_EQ(p.count(), static_cast<std::int32_t>(before.size()));
  for (std::size_t i = 0; i < before.size(); ++i) {
    const particle3d& now = p.particles()[i];
    EXPECT_EQ(now.life, before[i].life - 3) << "lives count on below zero";
    EXPECT_NE(xyz(now.pos), xyz(before[i].pos)) << "the particle moved";
    EXPECT_EQ(xyz(now.start_pos), xyz(before[i].start_pos));
  }
}

TEST_F(ParticleTest, LifeLGivesLPlusOneMovesThenARestartAtTheStart) {
  particle_system p;
  set_up_echec(p);
  p.set_capacity(1);
  p.update(true);
  const particle3d& particle = p.particles()[0];
  const int life = particle.life + 1;  // the birth step has taken one
  ASSERT_GT(life, 1);
  const D3DXVECTOR3 start = xyz(particle.start_pos);
  for (int step = 2; step <= life; ++step) {
    p.update(true);
    EXPECT_NE(xyz(particle.pos), start) << "still on its path at step " << step;
  }
  p.update(true);
  EXPECT_EQ(xyz(particle.pos), start);
  EXPECT_EQ(xyz(particle.vel), xyz(particle.start_vel));
}

TEST_F(ParticleTest, LifeZeroIsAtItsStartRightAfterTheStepThatMadeIt) {
  particle_system p;
  set_up_echec(p);
  p.set_life_range(1);
  p.update(true);
  ASSERT_GT(p.count(), 0);
  for (const particle3d& particle : p.particles()) {
    EXPECT_EQ(xyz(particle.pos), xyz(particle.start_pos));
    EXPECT_EQ(xyz(particle.vel), xyz(particle.start_vel));
  }
}

TEST_F(ParticleTest, BehindThePlaneAParticleMovesOneUnitPerStepTowardsTheFront) {
  particle_system p;
  p.set_plane_from_points(0, 0, 85, 1, 0, 85, 0, 1, 85);
  p.set_position(0, 0, 0);
  p.set_direction(0, 0, -1);
  p.set_speed(3.0f);
  p.set_life_range(1000);
  p.set_capacity(1);
  p.update(true);
  for (int step = 0; step < 20; ++step) {
    const D3DXVECTOR3 before = xyz(p.particles()[0].pos);
    const float vz_before = p.particles()[0].vel.getZ();
    p.update(false);
    const D3DXVECTOR3 after = xyz(p.particles()[0].pos);
    EXPECT_NEAR(distance(before, after), 1.0f, 1e-5f);
    if (step > 0) {
      EXPECT_GE(p.particles()[0].vel.getZ(), vz_before) << "bends towards +z";
    }
  }
  EXPECT_NEAR(p.particles()[0].vel.getZ(), 1.0f, 1e-4f) << "ends along the normal";
}

TEST_F(ParticleTest, AZeroVelocityBehindThePlaneStaysZero) {
  particle_system p;
  p.set_plane_from_points(0, 0, 85, 1, 0, 85, 0, 1, 85);
  p.set_position(0, 0, 0);
  p.set_direction(0, 0, 1);
  p.set_speed(0.0f);
  p.set_life_range(1000);
  p.set_capacity(1);
  p.update(true);
  const D3DXVECTOR3 vel = xyz(p.particles()[0].vel);
  const D3DXVECTOR3 pos = xyz(p.particles()[0].pos);
  p.set_gravity(-vel.x, -vel.y, -vel.z - 1.0f);  // cancels vel + normal
  p.update(false);
  EXPECT_EQ(xyz(p.particles()[0].vel), D3DXVECTOR3(0, 0, 0));
  EXPECT_EQ(xyz(p.particles()[0].pos), pos);
}

TEST_F(ParticleTest, TunnelEmitterCountsAsInFrontOfItsOwnPlane) {
  particle_system p;
  set_up_tunnel(p);
  const double side = p.side_of_plane(vector3d(vector3d::DX, 81, -601, -86));
  EXPECT_GT(side, 6.0e-6);
  EXPECT_LT(side, 7.5e-6);

  p.update(true);
  const D3DXVECTOR3 gravity(0.02316087f, -0.02616888f, 0.1200157f);
  for (const particle3d& particle : p.particles()) {
    // The jet keeps its launch speed: gravity only, no bend to unit length.
    EXPECT_EQ(xyz(particle.vel), xyz(particle.start_vel) + gravity);
    EXPECT_GT(distance(xyz(particle.pos), xyz(particle.start_pos)), 3.0f);
  }
}

TEST_F(ParticleTest, UnsetLifeRangeGivesLifeZeroInsteadOfACrash) {
  particle_system p;
  p.set_capacity(5);
  p.update(true);
  EXPECT_GT(p.count(), 0);
  for (const particle3d& particle : p.particles()) EXPECT_EQ(particle.life, 0);
}

std::string rs(D3DRENDERSTATETYPE state, DWORD value) {
  return "SetRenderState(" + render_state_name(state) + ", " + render_state_value(state, value) +
         ")";
}

Lines opening_states() {
  return {rs(D3DRS_ZWRITEENABLE, FALSE), rs(D3DRS_ALPHABLENDENABLE, TRUE),
          rs(D3DRS_SRCBLEND, D3DBLEND_ONE), rs(D3DRS_DESTBLEND, D3DBLEND_ONE)};
}

Lines point_states() {
  return {rs(D3DRS_POINTSPRITEENABLE, TRUE),   rs(D3DRS_POINTSCALEENABLE, FALSE),
          rs(D3DRS_POINTSIZE, 0x412CCCCDu),    rs(D3DRS_POINTSIZE_MIN, 0x40800000u),
          rs(D3DRS_POINTSCALE_A, 0),           rs(D3DRS_POINTSCALE_B, 0x40A00000u),
          rs(D3DRS_POINTSCALE_C, 0x41200000u), rs(D3DRS_LIGHTING, FALSE)};
}

Lines closing_states() { return {rs(D3DRS_ZWRITEENABLE, TRUE), rs(D3DRS_ALPHABLENDENABLE, FALSE)}; }

Lines concat(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::string create_line(int count) {
  return "CreateVertexBuffer(" + std::to_string(count * 16) + ", D3DUSAGE_POINTS, " +
         fvf_name(FVF_XYZ_DIFFUSE) + ", 0)";
}

TEST_F(ParticleTest, RenderDrawsTheUsedSlotsFromAFreshBufferAndReleasesIt) {
  particle_system p;
  set_up_echec(p);
  p.update(true);
  const int n = p.count();
  trace->clear_trace();
  trace->set_keep_vertices(true);
  p.render();

  const std::string size = std::to_string(n * 16);
  EXPECT_EQ(
      trace->calls(),
      concat(
          {opening_states(),
           {create_line(n) + " -> vb#1", "Lock(vb#1, 0, " + size + ", 0)", "Unlock(vb#1)"},
           point_states(),
           {"BeginScene()", "SetTexture(0, \"particle.bmp\")", "SetStreamSource(0, vb#1, 16)",
            "SetVertexShader(" + fvf_name(FVF_XYZ_DIFFUSE) + ")",
            "DrawPrimitive(" + primitive_name(D3DPT_POINTLIST) + ", 0, " + std::to_string(n) + ")",
            "Release(vb#1)", "EndScene()"},
           closing_states()}));
  ASSERT_EQ(trace->draws().size(), 1u);
  const TraceDraw& draw = trace->draws()[0];
  EXPECT_EQ(draw.texture, "particle.bmp");
  EXPECT_EQ(draw.state.render_states[D3DRS_POINTSPRITEENABLE], TRUE);
  ASSERT_EQ(draw.vertices.size(), static_cast<std::size_t>(n) * 16);
  for (int i = 0; i < n; ++i) {
    point_vertex v;
    std::memcpy(&v, draw.vertices.data() + i * 16, sizeof v);
    EXPECT_EQ(D3DXVECTOR3(v.x, v.y, v.z), xyz(p.particles()[static_cast<std::size_t>(i)].pos));
    EXPECT_EQ(v.diffuse, 0x80FFFFFFu);
  }
  EXPECT_EQ(trace->state().stream, nullptr) << "no buffer outlives the draw";
  EXPECT_EQ(log_text(), "");
}

TEST_F(ParticleTest, AnEmptySystemMakesNoBufferAndLogsNothing) {
  particle_system p;
  set_up_echec(p);
  p.set_capacity(-3);  // nonsense becomes no slots at all
  p.update(true);
  EXPECT_EQ(p.count(), 0);
  trace->clear_trace();
  p.render();
  EXPECT_TRUE(trace->calls_starting("CreateVertexBuffer").empty());
  EXPECT_TRUE(trace->draws().empty());
  EXPECT_EQ(trace->calls().back(), rs(D3DRS_ALPHABLENDENABLE, FALSE));
  EXPECT_EQ(log_text(), "");
}

TEST_F(ParticleTest, SecondTextureWins) {
  particle_system p;
  set_up_echec(p);
  ASSERT_NE(p.texture(), nullptr);
  EXPECT_EQ(p.texture()->source(), "particle.bmp");
  p.update(true);
  p.render();
  ASSERT_EQ(trace->draws().size(), 1u);
  EXPECT_EQ(trace->draws()[0].texture, "particle.bmp");
}

TEST_F(ParticleTest, FailedTextureIsLoggedAndPointsDrawWithoutOne) {
  std::filesystem::remove(dir / "particle.bmp");
  particle_system p;
  set_up_tunnel(p);
  EXPECT_EQ(log_text(), "Erreur loadtex");
  EXPECT_EQ(p.texture(), nullptr);
  p.update(true);
  p.render();
  ASSERT_EQ(trace->draws().size(), 1u);
  EXPECT_EQ(trace->draws()[0].texture, "");
}

TEST_F(ParticleTest, FailedBufferSkipsTheDrawButKeepsTheStates) {
  particle_system p;
  set_up_echec(p);
  p.update(true);
  trace->clear_trace();
  trace->fail_next("CreateVertexBuffer");
  p.render();
  EXPECT_EQ(trace->calls(),
            concat({opening_states(),
                    {create_line(p.count()) + " -> E_FAIL"},
                    point_states(),
                    {"BeginScene()", "SetTexture(0, \"particle.bmp\")", "EndScene()"},
                    closing_states()}));
  EXPECT_TRUE(trace->draws().empty());
  EXPECT_EQ(log_text(), "erreur CV");
}

TEST_F(ParticleTest, FailedLockSkipsTheDrawAndStillReleasesTheBuffer) {
  particle_system p;
  set_up_echec(p);
  p.update(true);
  trace->clear_trace();
  trace->fail_next("Lock");
  p.render();
  const std::string size = std::to_string(p.count() * 16);
  EXPECT_EQ(
      trace->calls(),
      concat({opening_states(),
              {create_line(p.count()) + " -> vb#1", "Lock(vb#1, 0, " + size + ", 0) -> E_FAIL"},
              point_states(),
              {"BeginScene()", "SetTexture(0, \"particle.bmp\")", "Release(vb#1)", "EndScene()"},
              closing_states()}));
  EXPECT_TRUE(trace->draws().empty());
  EXPECT_EQ(log_text(), "erreur Lock");
}

}  // namespace
