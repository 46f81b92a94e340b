#include "scene/scene3d.h"

#include <cstring>
#include <string>
#include <utility>

#include "format3ds/object_lookup.h"

namespace {

template <typename T>
int indexOfName(const std::vector<std::unique_ptr<T>>& items, const char* name) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    const char* item_name = items[i]->getName();
    if (item_name && name && std::strcmp(item_name, name) == 0) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

Scene3d::~Scene3d() {
  for (std::unique_ptr<Mesh3d>& mesh : meshes_) {
    mesh.reset();
  }
}

void Scene3d::loadMeshes(const char* file, DWORD format) {
  // One reader serves the name list and every mesh: each import rewinds it,
  // so this reads as reopening the file per mesh would, without rereading it.
  ChunkFile reader(file);
  // A file without editor section has no mesh to load.
  const std::vector<std::string> names = meshNames(reader).value_or(std::vector<std::string>{});
  for (const std::string& name : names) {
    // Lines and splines drawn in the editor are not meant to be shown.
    if (name.compare(0, 4, "Line") == 0) continue;
    auto mesh = std::make_unique<Mesh3d>(reader, name.c_str(), format, images_);
    mesh->setAmbient(1.0f, 1.0f, 1.0f);
    addMesh(std::move(mesh));
  }
}

void Scene3d::loadLights(const char* file) {
  std::vector<std::string> names;
  {
    ChunkFile reader(file);
    names = lightNames(reader).value_or(std::vector<std::string>{});
  }
  for (const std::string& name : names) addLight(std::make_unique<Light3d>(file, name.c_str()));
}

Mesh3d* Scene3d::findMesh(const char* name) const {
  const int index = indexOfName(meshes_, name);
  return index < 0 ? nullptr : getMesh(index);
}

Light3d* Scene3d::findLight(const char* name) const {
  const int index = indexOfName(lights_, name);
  return index < 0 ? nullptr : getLight(index);
}

void Scene3d::moveToEnd(const char* name) {
  const int index = indexOfName(meshes_, name);
  if (index < 0 || meshes_[static_cast<std::size_t>(index)]->blendEnabled) return;
  std::swap(meshes_[static_cast<std::size_t>(index)], meshes_.back());
}
