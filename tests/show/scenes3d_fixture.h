#pragma once
// A small scene set for the show's 3D windows: the six .3ds files with the
// names the show asks for (meshes, lights and cameras it looks up), plain
// quads placed where each window's checks look, and the particle images.
//
//   write_scene_set(dir)   writes the files into dir
//   tunnel_quad_count ...  the triangle counts by which tests tell meshes apart

#include <filesystem>
#include <string>
#include <vector>

#include "show/bmp_fixture.h"
#include "showdata/writer3ds.h"

namespace scenes3d {

using writer3ds::MeshDesc;
using writer3ds::PositionKey;
using writer3ds::SceneDesc;

inline const std::string CAMERA_ACCENTED = "Cam\xE9ra01";

// Meshes are told apart in traces by their number of triangles.
constexpr std::uint32_t ECHEC_OPAQUE_TRIANGLES = 2;  // "Pion"
constexpr std::uint32_t ECHEC_BOX_TRIANGLES = 4;     // "Box01", blended
constexpr std::uint32_t TUNNEL_OPAQUE_TRIANGLES = 6;
constexpr std::uint32_t TUNNEL_WALL_TRIANGLES = 8;  // "tunnel", blended
constexpr std::uint32_t NODE_TRIANGLES = 10;

// The tunnel fountain's emitter and the normal of its plane.
inline const D3DXVECTOR3 TUNNEL_EMITTER{81, -601, -86};
inline const D3DXVECTOR3 TUNNEL_NORMAL{-0.1852874f, 0.2093507f, -0.9601254f};

// Every mesh is mapped with one white texture, so that loading logs nothing.
inline const std::string WHITE_MATERIAL = "blanc";
inline const std::string WHITE_TEXTURE = "blanc.bmp";

// `pairs` quads, each two triangles, centred at `centre` and spanning
// +-u and +-v; the copies lie on top of each other.
inline MeshDesc quads(const std::string& name, D3DXVECTOR3 centre, D3DXVECTOR3 u, D3DXVECTOR3 v,
                      int pairs = 1) {
  MeshDesc mesh;
  mesh.name = name;
  for (int i = 0; i < pairs; ++i) {
    const auto base = static_cast<std::uint16_t>(mesh.vertices.size());
    mesh.vertices.push_back(centre - u - v);
    mesh.vertices.push_back(centre + u - v);
    mesh.vertices.push_back(centre + u + v);
    mesh.vertices.push_back(centre - u + v);
    mesh.faces.push_back(
        {base, static_cast<std::uint16_t>(base + 1), static_cast<std::uint16_t>(base + 2), 0});
    mesh.faces.push_back(
        {base, static_cast<std::uint16_t>(base + 2), static_cast<std::uint16_t>(base + 3), 0});
    mesh.mapping.insert(mesh.mapping.end(), {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
  }
  writer3ds::FaceMaterial white{WHITE_MATERIAL, {}};
  for (std::size_t face = 0; face < mesh.faces.size(); ++face) {
    white.faces.push_back(static_cast<std::uint16_t>(face));
  }
  mesh.materials.push_back(white);
  return mesh;
}

// Five keys over frames 0 to 100, the eye moving from `eye` by `drift` in all;
// the target stays.
inline void add_camera(SceneDesc& scene, const std::string& name, D3DXVECTOR3 eye,
                       D3DXVECTOR3 target, D3DXVECTOR3 drift = {}) {
  std::vector<PositionKey> eyes, targets;
  for (int i = 0; i <= 4; ++i) {
    const float share = static_cast<float>(i) / 4.0f;
    eyes.push_back(PositionKey{i * 25, eye + drift * share, 0});
    targets.push_back(PositionKey{i * 25, target, 0});
  }
  scene.frame_range = {0, 100};
  scene.tracks.push_back({name, eyes, targets});
}

// The cameras of indus and greets stand at the origin and look along +y with
// the up vector (1, 0, 1) that the show gives them: the picture's right is
// world (-1, 0, 1) / sqrt 2 and its up (1, 0, 1) / sqrt 2.
inline const D3DXVECTOR3 SCREEN_RIGHT{-0.70710678f, 0.0f, 0.70710678f};
inline const D3DXVECTOR3 SCREEN_UP{0.70710678f, 0.0f, 0.70710678f};

// The point `distance` ahead of such a camera that shows at (x, y) of the
// picture in -1..1 (the field of view is 45 degrees, the aspect 1).
inline D3DXVECTOR3 ahead(float distance, float x, float y) {
  const float half = distance * 0.41421356f;  // tan 22.5 degrees
  return D3DXVECTOR3{0, distance, 0} + SCREEN_RIGHT * (x * half) + SCREEN_UP * (y * half);
}

inline void write(const std::filesystem::path& path, SceneDesc scene) {
  scene.materials.push_back({WHITE_MATERIAL, WHITE_TEXTURE});
  writer3ds::write_file(path.string(), writer3ds::build_file(scene));
}

inline void write_scene_set(const std::filesystem::path& dir) {
  write_bmp(dir / WHITE_TEXTURE, 4, 4, 0xFFFFFF);
  // Echec: the fountain rises from (10, 0, 90); the camera looks at it from
  // -y, its two meshes lie far to the side of the picture.
  SceneDesc echec;
  echec.meshes.push_back(quads("Pion", {600, 0, 100}, {5, 0, 0}, {0, 0, 5}));
  echec.meshes.push_back(quads("Box01", {-600, 0, 100}, {5, 0, 0}, {0, 0, 5}, 2));
  echec.lights.push_back({"Omni01", {10, -50, 120}});
  add_camera(echec, CAMERA_ACCENTED, {10, -300, 100}, {10, 0, 100});
  write(dir / "echec.3ds", echec);

  // Tunnel: the camera faces the emitter along the plane's normal, backing
  // away slowly so that every frame number gives another view.
  SceneDesc tunnel;
  tunnel.meshes.push_back(quads("tunnel", {2000, 0, 0}, {5, 0, 0}, {0, 0, 5}, 4));
  tunnel.meshes.push_back(quads("Anneau", {-2000, 0, 0}, {5, 0, 0}, {0, 0, 5}, 3));
  add_camera(tunnel, CAMERA_ACCENTED, TUNNEL_EMITTER + TUNNEL_NORMAL * 300.0f, TUNNEL_EMITTER,
             TUNNEL_NORMAL * 50.0f);
  write(dir / "tunnel2.3ds", tunnel);

  // Node: a wall that fills the inset.
  SceneDesc node;
  node.meshes.push_back(quads("Fond", {0, 0, 0}, {500, 0, 0}, {0, 500, 0}, 5));
  add_camera(node, "Camera01", {0, 0, -100}, {0, 0, 0});
  write(dir / "node.3ds", node);

  // Indus: an unlit wall 1000 units away (black but for the white fog), and
  // the light the show adjusts, whose range ends far before the wall.
  SceneDesc indus;
  indus.meshes.push_back(
      quads("Mur", ahead(1000, 0, 0), SCREEN_RIGHT * 250.0f, SCREEN_UP * 250.0f));
  indus.meshes.push_back(quads("Cylinder03", {3000, 0, 0}, {5, 0, 0}, {0, 0, 5}));
  indus.lights.push_back({"Omni01", {0, 0, 0}});
  add_camera(indus, CAMERA_ACCENTED, {0, 0, 0}, {0, 100, 0});
  write(dir / "indus.3ds", indus);

  // Greets: two white walls, one 60 units away on the left of the picture,
  // one 800 away on the right, where the black fog has nearly eaten it.
  SceneDesc greets;
  greets.meshes.push_back(
      quads("Pres", ahead(60, -0.5f, 0), SCREEN_RIGHT * 4.0f, SCREEN_UP * 4.0f));
  greets.meshes.push_back(
      quads("Loin", ahead(800, 0.5f, 0), SCREEN_RIGHT * 50.0f, SCREEN_UP * 50.0f));
  add_camera(greets, CAMERA_ACCENTED, {0, 0, 0}, {0, 100, 0});
  write(dir / "greets.3ds", greets);

  // Credits: one white wall in the middle of the picture.
  SceneDesc credits;
  credits.meshes.push_back(quads("Titre", {0, 100, 0}, {10, 0, 0}, {0, 0, 10}));
  add_camera(credits, CAMERA_ACCENTED, {0, 0, 0}, {0, 100, 0});
  write(dir / "credits.3ds", credits);
}

}  // namespace scenes3d
