#include "show/stages3d.h"

#include <cstdint>
#include <string>
#include <utility>

#include "camera/camera3d.h"
#include "effects/fog.h"
#include "effects/particle_system.h"
#include "scene/scene3d.h"
#include "shell/base/render_helpers.h"

// A fog preset of the show: always the exponential formula.
struct FogPreset {
  D3DCOLOR colour;
  std::int32_t range_fog;
  float density;
};

namespace {

// "Caméra01" with the é as the one byte 0xE9, as the .3ds files store it.
constexpr const char* CAMERA_ACCENTED = "Cam\xE9ra01";
constexpr const char* CAMERA_PLAIN = "Camera01";

// A mesh the data lacks is left alone: the show goes on without its blending.
void blend_mesh(SceneView& view, const char* name, std::int32_t source, std::int32_t destination) {
  if (Mesh3d* mesh = view.scene->findMesh(name)) {
    mesh->setBlend(source, destination);
  }
}

void frame_states(DWORD lighting) {
  set_render_state(D3DRS_CULLMODE, D3DCULL_NONE);
  set_render_state(D3DRS_LIGHTING, lighting);
  set_render_state(D3DRS_ZENABLE, D3DZB_TRUE);
}

// The fog of each fogged scene.
constexpr FogPreset TUNNEL_FOG{0xFF000000u, 0, 0.0001f};
constexpr FogPreset INDUS_FOG{0xFFFFFFFFu, 1, 0.0015f};
constexpr FogPreset GREETS_FOG{0xFF000000u, 1, 0.0025f};
constexpr FogPreset CREDITS_FOG{0xFF000000u, 0, 0.0001f};

void apply(const FogPreset& fog) { set_fog(fog.colour, D3DFOG_EXP, fog.range_fog, fog.density); }

// The camera path is asked for whole frames, the counter truncated toward zero.
int frame_number(float counter) { return static_cast<int>(counter); }

}  // namespace

Show3d::Show3d(DataFolder data) : data_(std::move(data)) {}

void Show3d::make_view(SceneView& view, const char* camera_file, const char* camera_name) const {
  view.camera = std::make_unique<Camera3d>(data_file(camera_file).c_str(), camera_name);
}

void Show3d::load_meshes(SceneView& view, const char* file, DWORD format) const {
  view.scene->loadMeshes(data_file(file).c_str(), format);
}

void Show3d::load_lights(SceneView& view, const char* file) const {
  view.scene->loadLights(data_file(file).c_str());
}

Show3d::~Show3d() { teardown(); }

void Show3d::stage1() {
  make_view(echec, "echec.3DS", CAMERA_ACCENTED);
  make_view(tunnel, "tunnel2.3DS", CAMERA_ACCENTED);
  make_view(node, "node.3DS", CAMERA_PLAIN);
  make_view(indus, "indus.3ds", CAMERA_ACCENTED);
  make_view(credits, "credits.3ds", CAMERA_ACCENTED);
  make_view(greets, "greets.3ds", CAMERA_ACCENTED);

  for (SceneView* view : {&echec, &tunnel, &node, &indus, &credits, &greets}) {
    view->scene = std::make_unique<Scene3d>(data_);
  }

  tunnel_particles = std::make_unique<particle_system>();
  echec_particles = std::make_unique<particle_system>();

  // The two set-ups interleave as the show always did: texture loads among them.
  particle_system& t = *tunnel_particles;
  particle_system& e = *echec_particles;
  t.set_plane_from_points(81, -601, -86, 84, -580, -82, 99, -608, -91);
  t.set_position(81, -601, -86);
  // The jet falls back along its own axis: gravity is exactly -1/8 of the direction.
  const float axis_x = -0.185287f, axis_y = 0.209351f, axis_z = -0.960126f;
  t.set_direction(axis_x, axis_y, axis_z);
  t.set_gravity(-0.125f * axis_x, -0.125f * axis_y, -0.125f * axis_z);
  t.load_texture(data_.find("particle.bmp").c_str());
  t.set_life_range(100);
  e.load_texture(data_.find("particule2.bmp").c_str());
  t.set_speed(4.0f);
  t.set_capacity(60);
  e.set_plane_from_points(0, 0, 85, 1, 0, 85, 0, 1, 85);
  e.set_gravity(0, 0, -0.19f);
  e.load_texture(data_.find("particle.bmp").c_str());
  e.set_life_range(100);
  e.set_direction(0, 0, 1);
  e.set_speed(6.2f);
  e.set_min_speed(0.2f);
  e.set_position(10, 0, 90);
  e.set_capacity(1000);
}

void Show3d::stage2() {
  load_meshes(echec, "echec.3ds", FVF_XYZ_NORMAL_DIFFUSE_TEX1);
  load_lights(echec, "echec.3ds");
}

void Show3d::stage3() {
  load_meshes(tunnel, "tunnel2.3ds", FVF_XYZ_DIFFUSE_TEX1);
  tunnel.scene->moveToEnd("tunnel");
  load_meshes(greets, "greets.3ds", FVF_XYZ_DIFFUSE_TEX1);
}

void Show3d::stage4() { load_meshes(node, "node.3ds", FVF_XYZ_DIFFUSE_TEX1); }

void Show3d::stage5() {
  load_meshes(indus, "indus.3ds", FVF_XYZ_NORMAL_DIFFUSE_TEX1);
  load_lights(indus, "indus.3ds");
  load_meshes(credits, "credits.3ds", FVF_XYZ_DIFFUSE_TEX1);

  set_render_state(D3DRS_CULLMODE, D3DCULL_NONE);
  set_render_state(D3DRS_LIGHTING, FALSE);
  set_render_state(D3DRS_ZENABLE, D3DZB_TRUE);

  for (const char* box : {"Box01", "Box02", "Box03", "Box04", "Box05", "Box06", "Box07"}) {
    blend_mesh(echec, box, D3DBLEND_SRCALPHA, D3DBLEND_ONE);
  }
  blend_mesh(indus, "Cylinder03", D3DBLEND_SRCCOLOR, D3DBLEND_INVSRCCOLOR);
  blend_mesh(tunnel, "tunnel", D3DBLEND_SRCCOLOR, D3DBLEND_DESTCOLOR);

  if (Light3d* omni = indus.scene->findLight("Omni01")) {
    omni->setAmbient(1.0f, 10, 10, 50);
    omni->setRange(100);
    omni->setAttenuation(1, 0, 0);
  }

  echec.camera->set_up_vector(1, 0, 1);
  tunnel.camera->set_up_vector(0, 0, -1);
  node.camera->set_up_vector(0, 1, 0);
  indus.camera->set_up_vector(1, 0, 1);
  credits.camera->set_up_vector(0.185287f, 0.209351f, -0.960126f);
  greets.camera->set_up_vector(1, 0, 1);

  // The inset in the lower middle of the screen.
  node.camera->set_viewport(300, 400, 300, 180, 0.0f, 1.0f);
}

void Show3d::teardown() {
  for (SceneView* view : {&echec, &tunnel, &node, &indus, &credits, &greets}) {
    view->scene.reset();
  }
  tunnel_particles.reset();
  echec_particles.reset();
  for (SceneView* view : {&echec, &tunnel, &node, &indus, &credits, &greets}) {
    view->camera.reset();
  }
}

// Echec: the fountain is stepped first, drawn between the opaque and the
// blended meshes; the particles see the lighting of the opaque pass.
void Show3d::window_c() {
  if (!built()) {
    return;
  }
  clear_target_depth(0, 0, 0);
  frame_states(TRUE);
  const int frame = frame_number(frames.echec);
  echec_particles->update(true);
  echec.camera->draw_opaque(*echec.scene, frame);
  echec_particles->render();
  set_render_state(D3DRS_LIGHTING, FALSE);
  echec.camera->draw_blended(*echec.scene, frame);
  frames.echec += 1.0f;
}

void Show3d::window_d() {
  if (!built()) {
    return;
  }
  clear_target_depth(0, 0, 0);
  apply(TUNNEL_FOG);
  frame_states(FALSE);
  const int frame = frame_number(frames.tunnel);
  tunnel.camera->draw_opaque(*tunnel.scene, frame);
  tunnel_particles->update(true);
  tunnel_particles->render();
  set_render_state(D3DRS_LIGHTING, FALSE);
  tunnel.camera->draw_blended(*tunnel.scene, frame);
  frames.tunnel += 1.5f;
}

void Show3d::window_e() { fogged_scene(indus, INDUS_FOG, TRUE, frames.indus, 10.0f); }

void Show3d::window_f() { fogged_scene(greets, GREETS_FOG, FALSE, frames.greets, 1.0f); }

void Show3d::window_g() { fogged_scene(credits, CREDITS_FOG, FALSE, frames.credits, 20.0f); }

// A whole scene in one pass under its fog preset, then its counter moves on.
void Show3d::fogged_scene(SceneView& view, const FogPreset& fog, DWORD lighting, float& counter,
                          float step) {
  if (!built()) {
    return;
  }
  clear_target_depth(0, 0, 0);
  apply(fog);
  frame_states(lighting);
  view.camera->draw_scene(*view.scene, frame_number(counter));
  counter += step;
}

void Show3d::node_inset() {
  if (!built()) {
    return;
  }
  set_render_state(D3DRS_LIGHTING, FALSE);
  node.camera->clear_viewport(0, 0, 0);
  node.camera->draw_scene(*node.scene, frame_number(frames.node));
  frames.node += 2.0f;
}
