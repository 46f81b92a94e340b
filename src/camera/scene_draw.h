#pragma once
// Drawing a scene's meshes with its lights on, as the camera does after it
// has set the view and projection.
//
//   drawAllMeshes(scene)      every visible mesh
//   drawOpaqueMeshes(scene)   visible meshes without blending
//   drawBlendedMeshes(scene)  visible meshes with blending
//   lightsOn(scene), lightsOff(scene)
//
// The three draws switch the scene's lights on before and off after their
// meshes, and make no light call at all for a scene without lights.

class Scene3d;

void drawAllMeshes(Scene3d& scene);
void drawOpaqueMeshes(Scene3d& scene);
void drawBlendedMeshes(Scene3d& scene);
// SetLight and LightEnable TRUE for light i at index i, from 0.
void lightsOn(Scene3d& scene);
// LightEnable FALSE for every index of the scene's lights.
void lightsOff(Scene3d& scene);
