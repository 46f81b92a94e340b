// Real .3ds files written by other tools: every one loads without a crash and
// gives the counts that their README and an independent reader give.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "format3ds/chunk_file.h"
#include "format3ds/object_lookup.h"
#include "scene/mesh3d.h"
#include "scene/mesh_import.h"
#include "scene/scene_fixture.h"

namespace {

namespace fs = std::filesystem;

struct Totals {
  int meshes = 0;
  int vertices = 0;
  int faces = 0;
};

// Every mesh object of the file, "Line..." names included.
Totals loadAll(const std::string& path) {
  Totals totals;
  std::vector<std::string> names;
  {
    ChunkFile file(path.c_str());
    names = meshNames(file).value_or(std::vector<std::string>{});
  }
  for (const std::string& name : names) {
    Mesh3d mesh(path.c_str(), name.c_str(), FVF_XYZ_NORMAL_DIFFUSE_TEX1, DataFolder());
    ++totals.meshes;
    if (mesh.getVertexList()) totals.vertices += mesh.getVertexList()->getCount();
    if (mesh.getFaceList()) totals.faces += mesh.getFaceList()->getCount();
  }
  return totals;
}

std::vector<fs::path> corpusFiles() {
  std::vector<fs::path> files;
  const fs::path root = fs::path(PLOVERMIX_CORPUS_DIR) / "3ds";
  if (!fs::exists(root)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

class Corpus : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    if (corpusFiles().empty()) GTEST_SKIP() << "no corpus at " << PLOVERMIX_CORPUS_DIR;
  }
};

TEST_F(Corpus, CountsAgreeWithTheReadme) {
  const std::map<std::string, Totals> expected = {
      {"CameraRollAnim.3ds", {1, 26, 12}},
      {"TargetCameraAnim.3ds", {1, 26, 12}},
      {"cube_with_diffuse_texture.3DS", {1, 32, 12}},
      {"cube_with_specular_texture.3DS", {1, 32, 12}},
      {"cubes_with_alpha.3DS", {5, 130, 60}},
      {"fels.3ds", {1, 386, 768}},
      {"test1.3ds", {9, 288, 108}},
      {"testFormatDetection", {1, 762, 1368}},
      {"empty.3ds", {0, 0, 0}},
      {"room.3ds", {4, 116, 156}},
  };
  StdoutCapture quiet;
  int checked = 0;
  for (const fs::path& path : corpusFiles()) {
    const Totals got = loadAll(path.string());
    const auto it = expected.find(path.filename().string());
    if (it == expected.end()) continue;
    EXPECT_EQ(got.meshes, it->second.meshes) << path;
    EXPECT_EQ(got.vertices, it->second.vertices) << path;
    EXPECT_EQ(got.faces, it->second.faces) << path;
    ++checked;
  }
  EXPECT_EQ(checked, int(expected.size()));
}

TEST_F(Corpus, TexturesOfRealMaterials) {
  const fs::path dir = fs::path(PLOVERMIX_CORPUS_DIR) / "3ds/assimp";
  StdoutCapture quiet;
  ChunkFile diffuse((dir / "cube_with_diffuse_texture.3DS").c_str());
  const auto names = meshNames(diffuse).value_or(std::vector<std::string>{});
  ASSERT_EQ(names.size(), 1u);
  std::unique_ptr<MeshTexture> texture;
  EXPECT_EQ(loadTexture(diffuse, names[0].c_str(), texture, data()), MESH_LOADED);
  ASSERT_NE(texture, nullptr);
  EXPECT_STREQ(texture->getName(), "TEST");
  // The same file name under the specular map is no texture.
  ChunkFile specular((dir / "cube_with_specular_texture.3DS").c_str());
  std::unique_ptr<MeshTexture> none;
  EXPECT_EQ(loadTexture(specular, names[0].c_str(), none, data()), TEXTURE_NO_TEXTURE_MAP);
  // No mapping chunk at all.
  ChunkFile fels((dir / "fels.3ds").c_str());
  const auto fels_names = meshNames(fels).value_or(std::vector<std::string>{});
  ASSERT_EQ(fels_names.size(), 1u);
  auto vertices = loadVertexList(fels, fels_names[0].c_str());
  EXPECT_EQ(loadMapping(fels, fels_names[0].c_str(), vertices.get()), MAPPING_NO_COORDINATES);
}

// `assimp info FILE --raw` reports the raw face total of a file.
int assimpFaces(const fs::path& path) {
  const std::string command = "assimp info '" + path.string() + "' --raw 2>/dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char line[512];
  int faces = -1;
  while (std::fgets(line, sizeof line, pipe)) {
    if (faces < 0 && std::sscanf(line, " Faces: %d", &faces) == 1) continue;
  }
  pclose(pipe);
  return faces;
}

TEST_F(Corpus, FaceTotalsAgreeWithAssimp) {
  if (std::system("command -v assimp >/dev/null 2>&1") != 0) GTEST_SKIP() << "no assimp";
  StdoutCapture quiet;
  int compared = 0;
  for (const fs::path& path : corpusFiles()) {
    const int reference = assimpFaces(path);
    if (reference < 0) continue;  // a file assimp refuses (the empty one)
    EXPECT_EQ(loadAll(path.string()).faces, reference) << path;
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

}  // namespace
