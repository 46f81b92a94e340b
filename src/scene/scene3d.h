#pragma once
// What one .3ds file gives the show: its meshes, loaded in one vertex
// format, and its lights. The scene owns both.
//
//   Scene3d(images)            texture images are found in `images` (by
//                              default the working directory)
//   loadMeshes(file, format)   every mesh object but those named "Line..."
//   loadLights(file)           every light object
//   findMesh, findLight        first with exactly that name, or nullptr
//   moveToEnd(name)            swaps the named opaque mesh with the last one
//   addMesh, addLight, getMeshCount, getMesh, getLightCount, getLight

#include <memory>
#include <utility>
#include <vector>

#include "scene/light3d.h"
#include "scene/mesh3d.h"
#include "shell/base/file_lookup.h"

class Scene3d {
 public:
  explicit Scene3d(DataFolder images = {}) : images_(std::move(images)) {}
  // Releases the meshes first to last: the order of their Release calls is
  // the trace's, and C++ libraries empty a vector in different orders.
  ~Scene3d();
  Scene3d(const Scene3d&) = delete;
  Scene3d& operator=(const Scene3d&) = delete;
  void loadMeshes(const char* file, DWORD format);
  void loadLights(const char* file);

  Mesh3d* findMesh(const char* name) const;
  Light3d* findLight(const char* name) const;
  void moveToEnd(const char* name);

  void addMesh(std::unique_ptr<Mesh3d> mesh) { meshes_.push_back(std::move(mesh)); }
  void addLight(std::unique_ptr<Light3d> light) { lights_.push_back(std::move(light)); }
  int getMeshCount() const { return static_cast<int>(meshes_.size()); }
  Mesh3d* getMesh(int index) const { return meshes_[static_cast<std::size_t>(index)].get(); }
  int getLightCount() const { return static_cast<int>(lights_.size()); }
  Light3d* getLight(int index) const { return lights_[static_cast<std::size_t>(index)].get(); }

 private:
  std::vector<std::unique_ptr<Mesh3d>> meshes_;
  std::vector<std::unique_ptr<Light3d>> lights_;
  DataFolder images_;
};
