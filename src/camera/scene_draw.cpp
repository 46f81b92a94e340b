#include "camera/scene_draw.h"

#include "scene/scene3d.h"
#include "shell/base/render_helpers.h"

namespace {

template <typename Selected>
void draw_meshes(Scene3d& scene, Selected selected) {
  const bool lit = scene.getLightCount() > 0;
  if (lit) {
    lightsOn(scene);
  }
  for (int i = 0; i < scene.getMeshCount(); ++i) {
    Mesh3d* mesh = scene.getMesh(i);
    if (mesh->visible != 0 && selected(*mesh)) {
      mesh->draw();
    }
  }
  if (lit) {
    lightsOff(scene);
  }
}

}  // namespace

void drawAllMeshes(Scene3d& scene) {
  draw_meshes(scene, [](const Mesh3d&) { return true; });
}

void drawOpaqueMeshes(Scene3d& scene) {
  draw_meshes(scene, [](const Mesh3d& mesh) { return mesh.blendEnabled == 0; });
}

void drawBlendedMeshes(Scene3d& scene) {
  draw_meshes(scene, [](const Mesh3d& mesh) { return mesh.blendEnabled != 0; });
}

void lightsOn(Scene3d& scene) {
  for (int i = 0; i < scene.getLightCount(); ++i) {
    const DWORD index = static_cast<DWORD>(i);
    device->SetLight(index, &scene.getLight(i)->getLight());
    device->LightEnable(index, TRUE);
  }
}

void lightsOff(Scene3d& scene) {
  for (int i = 0; i < scene.getLightCount(); ++i) {
    device->LightEnable(static_cast<DWORD>(i), FALSE);
  }
}
