// The generated scenes against what the show looks up and how it flies them:
// names, materials, the fixed points of the particle systems, path lengths,
// and a replay of every camera path (no roll past what reads as upright, no
// degenerate up vector, no camera through a surface).
#include "showdata/scenes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace showdata {
namespace {

const std::vector<ShowScene>& scenes() {
  static const std::vector<ShowScene> all = [] {
    static Font font;
    font.load(kDefaultFontPath);
    return build_scenes(font);
  }();
  return all;
}

const ShowScene& scene(const std::string& file) {
  for (const ShowScene& s : scenes())
    if (s.file == file) return s;
  throw std::runtime_error("no scene " + file);
}

bool has_mesh(const ShowScene& s, const std::string& name) {
  return std::any_of(s.desc.meshes.begin(), s.desc.meshes.end(),
                     [&](const auto& m) { return m.name == name; });
}

Vec3 v3(const D3DXVECTOR3& v) { return {v.x, v.y, v.z}; }

// Distance from p to triangle abc (Ericson, Real-Time Collision Detection 5.1.5).
double distance_to_triangle(Vec3 p, Vec3 a, Vec3 b, Vec3 c) {
  const Vec3 ab = b - a, ac = c - a, ap = p - a;
  const double d1 = dot(ab, ap), d2 = dot(ac, ap);
  if (d1 <= 0 && d2 <= 0) return length(p - a);
  const Vec3 bp = p - b;
  const double d3 = dot(ab, bp), d4 = dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) return length(p - b);
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) return length(p - (a + ab * (d1 / (d1 - d3))));
  const Vec3 cp = p - c;
  const double d5 = dot(ab, cp), d6 = dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) return length(p - c);
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) return length(p - (a + ac * (d2 / (d2 - d6))));
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0)
    return length(p - (b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)))));
  const double denom = 1.0 / (va + vb + vc);
  return length(p - (a + ab * (vb * denom) + ac * (vc * denom)));
}

double distance_to_meshes(const ShowScene& s, Vec3 p, const std::set<std::string>& skip = {}) {
  double best = 1e30;
  for (const auto& m : s.desc.meshes) {
    if (skip.count(m.name)) continue;
    for (const auto& f : m.faces)
      best = std::min(best, distance_to_triangle(p, v3(m.vertices[f.a]), v3(m.vertices[f.b]),
                                                 v3(m.vertices[f.c])));
  }
  return best;
}

TEST(Scenes, TheSixFilesWithTheirCameras) {
  const std::map<std::string, std::string> cameras{
      {"echec.3ds", "Cam\xE9ra01"}, {"tunnel2.3ds", "Cam\xE9ra01"}, {"node.3ds", "Camera01"},
      {"indus.3ds", "Cam\xE9ra01"}, {"credits.3ds", "Cam\xE9ra01"}, {"greets.3ds", "Cam\xE9ra01"}};
  ASSERT_EQ(scenes().size(), 6u);
  for (const auto& [file, camera] : cameras) {
    const ShowScene& s = scene(file);
    ASSERT_EQ(s.desc.tracks.size(), 1u) << file;
    EXPECT_EQ(s.desc.tracks[0].name, camera) << file;
    EXPECT_EQ(s.camera.name.size(), 8u) << file;
  }
}

TEST(Scenes, NamesTheShowLooksUp) {
  for (int i = 1; i <= 7; ++i)
    EXPECT_TRUE(has_mesh(scene("echec.3ds"), "Box0" + std::to_string(i)));
  EXPECT_TRUE(has_mesh(scene("tunnel2.3ds"), "tunnel"));
  EXPECT_TRUE(has_mesh(scene("indus.3ds"), "Cylinder03"));
  const auto& lights = scene("indus.3ds").desc.lights;
  EXPECT_TRUE(
      std::any_of(lights.begin(), lights.end(), [](const auto& l) { return l.name == "Omni01"; }));
  EXPECT_FALSE(scene("echec.3ds").desc.lights.empty());
}

TEST(Scenes, EveryMeshIsMappedAndTextured) {
  for (const ShowScene& s : scenes()) {
    std::map<std::string, std::string> textures;
    for (const auto& m : s.desc.materials) textures[m.name] = m.texture;
    std::set<std::string> images;
    for (const auto& t : s.textures) images.insert(t.file);
    for (const auto& m : s.desc.meshes) {
      SCOPED_TRACE(s.file + " " + m.name);
      EXPECT_LE(m.name.size(), 31u);
      EXPECT_NE(m.name.rfind("Line", 0), 0u) << "the show skips meshes named Line...";
      EXPECT_LE(m.vertices.size(), 32767u);
      EXPECT_LE(m.faces.size(), 32767u);
      EXPECT_EQ(m.mapping.size(), m.vertices.size());
      for (const auto& uv : m.mapping) {
        // The show adds 1 to a negative coordinate once; keep them all >= 0.
        ASSERT_GE(uv.u, 0.0f);
        ASSERT_GE(uv.v, 0.0f);
      }
      for (const auto& f : m.faces) ASSERT_LT(std::max({f.a, f.b, f.c}), m.vertices.size());
      ASSERT_FALSE(m.materials.empty());
      const auto tex = textures.find(m.materials[0].material);
      ASSERT_NE(tex, textures.end());
      EXPECT_TRUE(images.count(tex->second)) << tex->second;
      // The texture's base name is the file name less its last four characters.
      EXPECT_GT(tex->second.size(), 4u);
    }
  }
}

TEST(Scenes, FountainsStandOnTheirSurfaces) {
  // Echec: the board's top at z = 85 lies under the fountain at (10, 0, 90).
  const ShowScene& echec = scene("echec.3ds");
  double below = 1e30;
  for (const auto& m : echec.desc.meshes)
    for (const auto& f : m.faces) {
      const Vec3 a = v3(m.vertices[f.a]), b = v3(m.vertices[f.b]), c = v3(m.vertices[f.c]);
      if (a.z == 85 && b.z == 85 && c.z == 85)
        below = std::min(below, distance_to_triangle({10, 0, 85}, a, b, c));
    }
  EXPECT_LT(below, 1e-6);
  // Tunnel: (81, -601, -86) lies on the tube's wall (within its facets' sag).
  const ShowScene& tunnel = scene("tunnel2.3ds");
  std::set<std::string> others;
  for (const auto& m : tunnel.desc.meshes)
    if (m.name != "tunnel") others.insert(m.name);
  EXPECT_LT(distance_to_meshes(tunnel, {81, -601, -86}, others), 1.0);
}

struct Flight {
  std::string file;
  int needed;     // frames the window asks for at 60 frames a second
  Vec3 world_up;  // what must read as up on screen
  double clearance;
};

TEST(Scenes, CameraPathsLongUprightAndClear) {
  const std::vector<Flight> flights{
      {"echec.3ds", 1104, {0, 0, 1}, 15},  {"tunnel2.3ds", 2745, {0, 0, -1}, 40},
      {"node.3ds", 2112, {0, 1, 0}, 60},   {"indus.3ds", 3900, {0, 0, 1}, 15},
      {"greets.3ds", 4080, {0, 0, 1}, 15}, {"credits.3ds", 124800, {0, 0, 0}, 15}};
  for (const Flight& f : flights) {
    SCOPED_TRACE(f.file);
    const ShowScene& s = scene(f.file);
    const CameraTrack& t = s.camera;
    ASSERT_GE(t.eye_keys.size(), 4u);
    EXPECT_EQ(t.eye_keys.size(), t.target_keys.size());
    EXPECT_GE(t.playable_frames(), f.needed);
    for (const auto& k : s.desc.tracks[0].camera_keys) EXPECT_EQ(k.flags, 0);
    const int samples = 600;
    for (int i = 0; i <= samples; ++i) {
      const int frame = f.needed * i / samples;
      const CameraPose pose = track_position(t, frame);
      const Vec3 forward = normalized(pose.target - pose.eye);
      // A usable look-at: the up vector well away from the line of sight.
      ASSERT_GT(length(cross(normalized(s.up), forward)), 0.25) << "frame " << frame;
      if (length(f.world_up) > 0) {
        const LookBasis view = look_basis(pose.eye, pose.target, s.up);
        // Screen up within 30 degrees of the scene's up, seen along the view.
        const Vec3 seen_up = normalized(f.world_up - forward * dot(f.world_up, forward));
        ASSERT_GT(dot(view.up, seen_up), std::cos(30.0 * 3.14159265 / 180.0)) << "frame " << frame;
      }
      ASSERT_GT(distance_to_meshes(s, pose.eye), f.clearance) << "frame " << frame;
    }
  }
}

}  // namespace
}  // namespace showdata
