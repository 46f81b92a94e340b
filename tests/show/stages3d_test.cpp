// The 3D windows of the show on the trace device, with a scripted clock and
// the small scene set: which windows run, what their cameras are asked for,
// the lighting and fog at each draw, the node inset's viewport, and a seek
// back through all of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "audio/position_source.h"
#include "camera/camera3d.h"
#include "effects/particle_system.h"
#include "gfx/trace_device.h"
#include "math/show_random.h"
#include "scene/scene3d.h"
#include "shell/base/render_helpers.h"
#include "show/bmp_fixture.h"
#include "show/pacer.h"
#include "show/scenes3d_fixture.h"
#include "show/seek.h"
#include "show/show.h"
#include "show/show_fixture.h"

namespace {

using scenes3d::ECHEC_BOX_TRIANGLES;
using scenes3d::ECHEC_OPAQUE_TRIANGLES;
using scenes3d::NODE_TRIANGLES;
using scenes3d::TUNNEL_OPAQUE_TRIANGLES;
using scenes3d::TUNNEL_WALL_TRIANGLES;

class Show3dTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fresh_folder("plovermix-show3d-" + std::to_string(::getpid()));
    for (const char* name : OVERLAY_FILES) {
      write_bmp(dir / name, 2, 2, 0x000000);
    }
    write_bmp(dir / "particle.bmp", 4, 4, 0xFFFFFF);
    write_bmp(dir / "particule2.bmp", 4, 4, 0xFF0000);
    scenes3d::write_scene_set(dir);
    log.emplace(dir / "plovermix.log");
    show_rand_reset();
    std::string error;
    ASSERT_TRUE(platform.make_device({}, error));
    trace = platform.trace;
    music.log = &music_log;
    show = std::make_unique<Show>(DataFolder(dir),
                                  [this](const std::string& name, const std::string& path) {
                                    return platform.open_music(name, path);
                                  });
    ASSERT_TRUE(load_show(*show));
    load_calls = trace->calls();
    trace->clear_trace();
  }
  void TearDown() override {
    show.reset();
    release_device();
    log.reset();
    std::filesystem::remove_all(dir);
  }

  void frame_at(int t) {
    music.at(t);
    show->frame_body();
  }
  // The draws of the last frame_at with `triangles` primitives of a triangle list.
  std::vector<const TraceDraw*> mesh_draws(std::uint32_t triangles) const {
    std::vector<const TraceDraw*> found;
    for (const TraceDraw& draw : trace->draws()) {
      if (!draw.sprite && draw.type == D3DPT_TRIANGLELIST && draw.primitive_count == triangles) {
        found.push_back(&draw);
      }
    }
    return found;
  }
  std::vector<const TraceDraw*> point_draws() const {
    std::vector<const TraceDraw*> found;
    for (const TraceDraw& draw : trace->draws()) {
      if (draw.type == D3DPT_POINTLIST) found.push_back(&draw);
    }
    return found;
  }
  std::vector<const TraceDraw*> scene_draws() const {
    std::vector<const TraceDraw*> found;
    for (const TraceDraw& draw : trace->draws()) {
      if (!draw.sprite) found.push_back(&draw);
    }
    return found;
  }
  std::size_t call_index(const std::string& prefix, std::size_t from = 0) const {
    const std::vector<std::string>& calls = trace->calls();
    for (std::size_t i = from; i < calls.size(); ++i) {
      if (calls[i].rfind(prefix, 0) == 0) return i;
    }
    return calls.size();
  }

  std::filesystem::path dir;
  std::optional<LogFile> log;
  TraceDevice* trace = nullptr;
  std::vector<std::string> music_log;
  ScriptedMusic music;
  ScriptedPlatform platform{music};
  std::unique_ptr<Show> show;
  std::vector<std::string> load_calls;
};

// The lines of `calls` that contain any of `parts`, in order.
std::vector<std::string> lines_with(const std::vector<std::string>& calls,
                                    const std::vector<std::string>& parts) {
  std::vector<std::string> found;
  for (const std::string& call : calls) {
    for (const std::string& part : parts) {
      if (call.find(part) != std::string::npos) {
        found.push_back(call);
        break;
      }
    }
  }
  return found;
}

TEST_F(Show3dTest, LoadingBuildsEverythingTheScenesNeed) {
  Show3d& s = show->show3d;
  EXPECT_EQ(s.echec.scene->getMeshCount(), 2);
  EXPECT_EQ(s.echec.scene->getLightCount(), 1);
  EXPECT_NE(s.echec.camera->keys, nullptr) << "echec.3DS found as echec.3ds";
  EXPECT_NE(s.tunnel.camera->keys, nullptr);
  EXPECT_NE(s.node.camera->keys, nullptr) << "the plain Camera01";
  // "tunnel" goes to the end of its list; the boxes, the cylinder and the wall blend.
  EXPECT_STREQ(s.tunnel.scene->getMesh(1)->getName(), "tunnel");
  EXPECT_NE(s.tunnel.scene->findMesh("tunnel")->blendEnabled, 0);
  EXPECT_NE(s.echec.scene->findMesh("Box01")->blendEnabled, 0);
  EXPECT_EQ(s.echec.scene->findMesh("Pion")->blendEnabled, 0);
  EXPECT_NE(s.indus.scene->findMesh("Cylinder03")->blendEnabled, 0);
  ASSERT_TRUE(s.node.camera->viewport.has_value());
  EXPECT_EQ(s.node.camera->viewport->X, 300u);
  EXPECT_EQ(s.node.camera->viewport->Height, 180u);
  EXPECT_EQ(s.echec_particles->capacity(), 1000);
  EXPECT_EQ(s.tunnel_particles->capacity(), 60);
  // The tunnel's gravity, bit for bit: (0.0231609, -0.0261689, 0.120016).
  const vector3d& gravity = s.tunnel_particles->gravity();
  EXPECT_EQ(std::bit_cast<std::uint32_t>(gravity.getX()), 0x3CBDBBE0u);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(gravity.getY()), 0xBCD6601Cu);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(gravity.getZ()), 0x3DF5CAD1u);
  ASSERT_NE(s.echec_particles->texture(), nullptr);
  EXPECT_EQ(s.echec_particles->texture()->source(), "particle.bmp");
  EXPECT_TRUE(trace->misuse().empty()) << trace->misuse().front();

  // The particle images load in the order of the interleaved set-ups.
  EXPECT_EQ(lines_with(load_calls, {"\"particle.bmp\"", "\"particule2.bmp\""}),
            (std::vector<std::string>{"CreateTextureFromFile(\"particle.bmp\", no key)",
                                      "CreateTextureFromFile(\"particule2.bmp\", no key)",
                                      "CreateTextureFromFile(\"particle.bmp\", no key)"}));
  // The initial states, set once loading is done.
  const std::vector<std::string> states =
      lines_with(load_calls, {"D3DRS_CULLMODE", "D3DRS_LIGHTING", "D3DRS_ZENABLE"});
  EXPECT_EQ(states, (std::vector<std::string>{"SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE)",
                                              "SetRenderState(D3DRS_LIGHTING, FALSE)",
                                              "SetRenderState(D3DRS_ZENABLE, TRUE)"}));
}

TEST_F(Show3dTest, TeardownFreesEveryObjectOnce) {
  show->teardown();
  Show3d& s = show->show3d;
  EXPECT_EQ(s.echec.scene, nullptr);
  EXPECT_EQ(s.greets.camera, nullptr);
  EXPECT_EQ(s.tunnel_particles, nullptr);
  EXPECT_EQ(s.echec_particles, nullptr);
  show->teardown();  // a second teardown finds nothing left to free
  s.window_c();      // nor does a window run on what is gone
  EXPECT_EQ(s.frames.echec, 0.0f);
  EXPECT_TRUE(trace->misuse().empty()) << trace->misuse().front();
}

TEST_F(Show3dTest, WindowEdges) {
  frame_at(12600);
  EXPECT_TRUE(point_draws().empty()) << "no echec at 12600";
  EXPECT_EQ(show->show3d.echec_particles->count(), 0);
  EXPECT_EQ(mesh_draws(NODE_TRIANGLES).size(), 1u) << "the inset alone";

  trace->clear_trace();
  frame_at(12601);
  EXPECT_EQ(point_draws().size(), 1u);
  EXPECT_GT(show->show3d.echec_particles->count(), 0);
  EXPECT_EQ(mesh_draws(ECHEC_OPAQUE_TRIANGLES).size(), 1u);

  trace->clear_trace();
  const int echec_count = show->show3d.echec_particles->count();
  frame_at(31000);
  EXPECT_EQ(show->show3d.echec_particles->count(), echec_count) << "C is over";
  EXPECT_GT(show->show3d.tunnel_particles->count(), 0);
  EXPECT_EQ(mesh_draws(TUNNEL_OPAQUE_TRIANGLES).size(), 1u);
  EXPECT_TRUE(mesh_draws(ECHEC_OPAQUE_TRIANGLES).empty());

  trace->clear_trace();
  frame_at(240000);
  EXPECT_EQ(show->show3d.frames.credits, 20.0f);
  EXPECT_EQ(scene_draws().size(), 1u) << "the credits wall";
  EXPECT_TRUE(trace->misuse().empty()) << trace->misuse().front();
}

// The view matrix the tunnel camera sets for `frame`, from a camera of our own.
D3DXMATRIX tunnel_view(const std::filesystem::path& dir, int frame) {
  Camera3d camera((dir / "tunnel2.3ds").c_str(), scenes3d::CAMERA_ACCENTED.c_str());
  camera.set_up_vector(0, 0, -1);
  camera.place_camera(frame);
  camera.setup_matrices();
  return camera.view;
}

TEST_F(Show3dTest, TunnelCounterAsksForFramesZeroOneThreeFourSix) {
  for (int frame : {0, 1, 3, 4, 6}) {
    trace->clear_trace();
    frame_at(40000);
    const std::vector<const TraceDraw*> walls = mesh_draws(TUNNEL_OPAQUE_TRIANGLES);
    ASSERT_EQ(walls.size(), 1u);
    const D3DXMATRIX expected = tunnel_view(dir, frame);
    EXPECT_EQ(std::memcmp(&walls[0]->state.view, &expected, sizeof expected), 0)
        << "frame " << frame;
  }
  EXPECT_EQ(show->show3d.frames.tunnel, 7.5f);
}

TEST_F(Show3dTest, EchecDrawsOpaqueLitThenParticlesThenBlendedUnlit) {
  frame_at(15000);
  const std::vector<const TraceDraw*> opaque = mesh_draws(ECHEC_OPAQUE_TRIANGLES);
  const std::vector<const TraceDraw*> boxes = mesh_draws(ECHEC_BOX_TRIANGLES);
  const std::vector<const TraceDraw*> points = point_draws();
  ASSERT_EQ(opaque.size(), 1u);
  ASSERT_EQ(boxes.size(), 1u);
  ASSERT_EQ(points.size(), 1u);
  EXPECT_LT(opaque[0]->call_index, points[0]->call_index);
  EXPECT_LT(points[0]->call_index, boxes[0]->call_index);
  EXPECT_EQ(opaque[0]->state.render_states[D3DRS_LIGHTING], TRUE);
  EXPECT_EQ(boxes[0]->state.render_states[D3DRS_LIGHTING], FALSE);
  // The particles go into their draw with the opaque pass's lighting on.
  const std::size_t lighting_on = call_index("SetRenderState(D3DRS_LIGHTING, TRUE)");
  const std::size_t particles_start = call_index("SetRenderState(D3DRS_ZWRITEENABLE, FALSE)");
  EXPECT_LT(lighting_on, particles_start);
  EXPECT_EQ(call_index("SetRenderState(D3DRS_LIGHTING", lighting_on + 1),
            call_index("SetRenderState(D3DRS_LIGHTING, FALSE)", particles_start));
  EXPECT_EQ(points[0]->state.render_states[D3DRS_FOGENABLE], FALSE) << "no fog before 31000";
  EXPECT_EQ(points[0]->texture, "particle.bmp");
  EXPECT_EQ(points[0]->primitive_count,
            static_cast<std::uint32_t>(show->show3d.echec_particles->count()));
}

TEST_F(Show3dTest, FogFromThirtyOneSecondsAndRangeFogFromSixtyOneAndAHalf) {
  struct Case {
    int t;
    DWORD fog;
    DWORD range;
    DWORD colour;
  };
  const Case cases[] = {
      {30999, FALSE, FALSE, 0},          {31000, TRUE, FALSE, 0xFF000000u},
      {61499, TRUE, FALSE, 0xFF000000u}, {61500, TRUE, TRUE, 0xFFFFFFFFu},
      {68000, TRUE, TRUE, 0xFF000000u},  {136000, TRUE, TRUE, 0xFF000000u},
      {240000, TRUE, TRUE, 0xFF000000u},
  };
  for (const Case& c : cases) {
    trace->clear_trace();
    frame_at(c.t);
    const std::vector<const TraceDraw*> draws = scene_draws();
    ASSERT_FALSE(draws.empty()) << c.t;
    for (const TraceDraw* draw : draws) {
      EXPECT_EQ(draw->state.render_states[D3DRS_FOGENABLE], c.fog) << c.t;
      EXPECT_EQ(draw->state.render_states[D3DRS_RANGEFOGENABLE], c.range) << c.t;
      if (c.fog == TRUE) {
        EXPECT_EQ(draw->state.render_states[D3DRS_FOGCOLOR], c.colour) << c.t;
        EXPECT_EQ(draw->state.render_states[D3DRS_FOGVERTEXMODE], D3DFOG_EXP) << c.t;
      }
    }
  }
}

TEST_F(Show3dTest, InsetDrawsInItsOwnViewportBelowSeventeenAndAHalfSeconds) {
  for (int t : {0, 12600, 15000, 17599}) {
    trace->clear_trace();
    frame_at(t);
    const std::vector<const TraceDraw*> node = mesh_draws(NODE_TRIANGLES);
    ASSERT_EQ(node.size(), 1u) << t;
    const D3DVIEWPORT8& v = node[0]->state.viewport;
    EXPECT_EQ(v.X, 300u);
    EXPECT_EQ(v.Y, 400u);
    EXPECT_EQ(v.Width, 300u);
    EXPECT_EQ(v.Height, 180u);
    // The inset's clear happens inside its viewport, before its draw.
    const std::size_t inset = call_index("SetViewport(300, 400, 300, 180");
    const std::size_t clear = call_index("Clear(0, D3DCLEAR_TARGET|D3DCLEAR_ZBUFFER", inset);
    EXPECT_LT(clear, node[0]->call_index) << t;
    // Everything drawn after it uses the whole screen again.
    for (const TraceDraw& draw : trace->draws()) {
      if (draw.call_index > node[0]->call_index) {
        EXPECT_EQ(draw.state.viewport.Width, 800u) << t;
        EXPECT_EQ(draw.state.viewport.Height, 600u) << t;
      }
    }
    EXPECT_EQ(show->show3d.frames.node, 2.0f * static_cast<float>(show->frames_run)) << t;
  }
  trace->clear_trace();
  frame_at(17600);
  EXPECT_TRUE(mesh_draws(NODE_TRIANGLES).empty());
}

// What one frame body did: its calls, and what each draw read and ran under.
struct FrameRecord {
  std::vector<std::string> calls;
  std::vector<std::vector<std::uint8_t>> vertices;
  std::vector<std::array<DWORD, D3DRS_COUNT>> render_states;
  bool operator==(const FrameRecord&) const = default;
};

FrameRecord record_body(Show& show, TraceDevice& trace, int t) {
  trace.clear_trace();
  trace.set_keep_vertices(true);
  EXPECT_EQ(show.frame_body_at(t), FrameEnd::present);
  trace.set_keep_vertices(false);
  FrameRecord record;
  // A buffer made in the frame is numbered by how many were made before.
  const std::regex numbered_buffer("vb#[0-9]+");
  for (const std::string& call : trace.calls()) {
    record.calls.push_back(std::regex_replace(call, numbered_buffer, "vb#"));
  }
  for (const TraceDraw& draw : trace.draws()) {
    record.vertices.push_back(draw.vertices);
    record.render_states.push_back(draw.state.render_states);
  }
  return record;
}

// Back from the fogged greets to the echec scene, its particles, flickers and
// clouds: the same frame as the run that went there straight.
TEST_F(Show3dTest, ASeekBackLandsOnTheFrameOfAStraightRunAndTracesNothing) {
  Pacer pacer;
  const long at_20s = pacer.first_at_or_after(20000);
  trace->set_recording(false);
  for (long k = 0; k < at_20s; ++k) {
    show->frame_body_at(pacer.time_of(k));
  }
  trace->set_recording(true);
  const long frames_run = show->frames_run;
  const FrameRecord straight = record_body(*show, *trace, pacer.time_of(at_20s));
  pacer.restart_at(at_20s + 1);

  EXPECT_EQ(seek_on_grid(*show, pacer, 100000, false), 6000);
  EXPECT_EQ(show->frames_run, 6000);
  record_body(*show, *trace, pacer.time_of(6000));  // draws the fogged greets
  pacer.restart_at(6001);
  trace->clear_trace();
  EXPECT_EQ(seek_on_grid(*show, pacer, 20000, false), at_20s);
  EXPECT_TRUE(trace->calls().empty()) << "replayed bodies leave nothing in the trace";
  EXPECT_EQ(show->frames_run, frames_run);
  EXPECT_EQ(pacer.next(), at_20s);
  const FrameRecord sought = record_body(*show, *trace, pacer.time_of(at_20s));
  EXPECT_TRUE(sought == straight);
}

TEST(SeekKeys, TenSecondsAndScenesWithinTheShow) {
  EXPECT_EQ(seek_target(SeekKey::back, 4000), 0);
  EXPECT_EQ(seek_target(SeekKey::back, 45000), 35000);
  EXPECT_EQ(seek_target(SeekKey::forward, 235000), 240000);
  EXPECT_EQ(seek_target(SeekKey::previous_scene, 40000), 12600) << "the window before this one";
  EXPECT_EQ(seek_target(SeekKey::previous_scene, 31000), 12600);
  EXPECT_EQ(seek_target(SeekKey::previous_scene, 5000), 0);
  EXPECT_EQ(seek_target(SeekKey::next_scene, 12600), 31000);
  EXPECT_EQ(seek_target(SeekKey::next_scene, 100000), 136000);
  EXPECT_EQ(seek_target(SeekKey::next_scene, 200000), 200000) << "no scene after the last";
  EXPECT_EQ(seek_target(SeekKey::home, 200000), 0);
}

}  // namespace
