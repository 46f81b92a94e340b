// Loading a large .3ds scene: 200 mesh objects of 2000 faces each, with
// mapping and a material, read the way the show reads its scenes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "scene/scene3d.h"
#include "showdata/writer3ds.h"

namespace {

constexpr int kObjects = 200;
constexpr int kFacesPerObject = 2000;

std::string writeBigScene() {
  using namespace writer3ds;
  SceneDesc scene;
  scene.materials = {{"Mat", "texture.bmp"}};
  for (int object = 0; object < kObjects; ++object) {
    MeshDesc mesh;
    mesh.name = "Obj" + std::to_string(object);
    // A strip: vertex pairs along x, two faces per step.
    const int steps = kFacesPerObject / 2;
    for (int i = 0; i <= steps; ++i) {
      mesh.vertices.push_back({float(i), 0.0f, float(object)});
      mesh.vertices.push_back({float(i), 1.0f, float(object)});
      mesh.mapping.push_back({float(i) / float(steps), 0.0f});
      mesh.mapping.push_back({float(i) / float(steps), 1.0f});
    }
    FaceMaterial group{"Mat", {}};
    for (int i = 0; i < steps; ++i) {
      const auto a = static_cast<std::uint16_t>(2 * i);
      mesh.faces.push_back({a, std::uint16_t(a + 1), std::uint16_t(a + 2)});
      mesh.faces.push_back({std::uint16_t(a + 1), std::uint16_t(a + 3), std::uint16_t(a + 2)});
    }
    for (std::uint16_t f = 0; f < kFacesPerObject; ++f) group.faces.push_back(f);
    mesh.materials = {group};
    scene.meshes.push_back(std::move(mesh));
  }
  const std::string path =
      (std::filesystem::temp_directory_path() / "plovermix_bench_load3ds.3ds").string();
  write_file(path, build_file(scene));
  return path;
}

// The loaders print progress texts; keep them off the benchmark's report.
class QuietStdout {
 public:
  QuietStdout() {
    std::fflush(stdout);
    saved_ = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
  }
  ~QuietStdout() {
    std::fflush(stdout);
    dup2(saved_, STDOUT_FILENO);
    close(saved_);
  }

 private:
  int saved_;
};

void BM_LoadScene(benchmark::State& state, DWORD format) {
  static const std::string path = writeBigScene();
  int faces = 0;
  {
    QuietStdout quiet;
    for (auto _ : state) {
      Scene3d scene;
      scene.loadMeshes(path.c_str(), format);
      faces = scene.getMeshCount() > 0 ? scene.getMesh(0)->getFaceList()->getCount() : 0;
      benchmark::DoNotOptimize(scene);
    }
  }
  state.counters["faces_per_mesh"] = faces;
}

BENCHMARK_CAPTURE(BM_LoadScene, textured_322, FVF_XYZ_DIFFUSE_TEX1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadScene, lit_338, FVF_XYZ_NORMAL_DIFFUSE_TEX1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
