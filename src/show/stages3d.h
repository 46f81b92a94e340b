#pragma once
// The 3D half of the show: the assets built at the five 3D loading stages, the
// scene windows C to G and the node inset of the frame loop, and the 3D
// teardown. run_show calls each step at its fixed place; the schedule decides
// when a window runs, the step only says what it draws.
//
//   stage1() .. stage5()       loading (cameras, scenes, particles, set-up)
//   window_c() .. window_g()   one scene each, then its camera counter advances
//   node_inset()               the node scene in its own viewport
//   teardown()                 scenes, particle systems, cameras

#include <memory>
#include <string>

#include "gfx/d3d_types.h"
#include "shell/base/file_lookup.h"

class Camera3d;
class Scene3d;
class particle_system;

// The camera frame counters: each advances only in frames in which its scene
// is drawn, by its window's step.
struct CameraFrames {
  float echec = 0.0f;
  float tunnel = 0.0f;
  float node = 0.0f;
  float indus = 0.0f;
  float greets = 0.0f;
  float credits = 0.0f;
};

// One scene and the camera of the same name.
struct FogPreset;

struct SceneView {
  std::unique_ptr<Camera3d> camera;
  std::unique_ptr<Scene3d> scene;
};

class Show3d {
 public:
  // Scenes, cameras and images are read from `data`.
  explicit Show3d(DataFolder data);
  ~Show3d();
  Show3d(const Show3d&) = delete;
  Show3d& operator=(const Show3d&) = delete;

  void stage1();
  void stage2();
  void stage3();
  void stage4();
  void stage5();
  void teardown();

  void window_c();
  void window_d();
  void window_e();
  void window_f();
  void window_g();
  void node_inset();

  // The windows draw nothing before stage1 has built the objects or after teardown.
  bool built() const { return echec_particles != nullptr; }

  CameraFrames frames;
  SceneView echec, tunnel, node, indus, credits, greets;
  std::unique_ptr<particle_system> tunnel_particles, echec_particles;

 private:
  void fogged_scene(SceneView& view, const FogPreset& fog, DWORD lighting, float& counter,
                    float step);
  void make_view(SceneView& view, const char* camera_file, const char* camera_name) const;
  void load_meshes(SceneView& view, const char* file, DWORD format) const;
  void load_lights(SceneView& view, const char* file) const;
  std::string data_file(const char* name) const { return data_.path(data_.find(name)); }

  DataFolder data_;
};
