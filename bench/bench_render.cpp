// One show-like frame through the GL backend at 800 x 600: 40 sprite draws,
// 10 meshes of 2000 lit triangles and 1000 point sprites whose buffer is made,
// filled and released every frame as the particle systems do. Run headless
// with SDL_VIDEODRIVER=offscreen (set here when unset).
//
//   BM_ShowFrame         frames per second, with the main thread's CPU time
//   BM_ShowFrameDiscard  the same calls with the discard switch on: our layer alone
// Both report heap allocations by C++ code per frame ("allocs").

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <vector>

#include "gfx/device_state.h"
#include "gfx/gl_device.h"
#include "shell/sdl_gl_surface.h"
#include "showdata/bmp_writer.h"

namespace {

std::atomic<long> g_allocations{0};

}  // namespace

// Counting replacements of the global allocation functions; malloc and free
// pair with each other here, whatever GCC infers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    return p;
  }
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

constexpr int kSprites = 40;
constexpr int kMeshes = 10;
constexpr int kTrianglesPerMesh = 2000;
constexpr int kParticles = 1000;

struct MeshVertex {
  float x, y, z, nx, ny, nz;
  D3DCOLOR color;
  float u, v;
};
struct PointVertex {
  float x, y, z;
  D3DCOLOR color;
};

class Scene {
 public:
  bool open() {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    window_ = SDL_CreateWindow("bench", 0, 0, 800, 600, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) return false;
    std::string error;
    surface_.emplace(window_);
    device_ = create_gl_device(*surface_, error).device;
    if (device_ == nullptr) return false;
    showdata::RgbImage image(64, 64);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        image.set(
            x, y,
            showdata::Rgb{static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 128});
    const std::string path =
        (std::filesystem::temp_directory_path() / "plovermix_bench_sprite.bmp").string();
    showdata::write_bmp(path, image);
    device_->CreateTextureFromFile(path.c_str(), true, 0xFF000000u, &texture_);
    for (int m = 0; m < kMeshes; ++m) {
      std::vector<MeshVertex> vertices;
      for (int t = 0; t < kTrianglesPerMesh; ++t) {
        const float a = static_cast<float>(t) * 0.01f, r = 50.0f + static_cast<float>(m) * 10;
        const float x = r * std::cos(a), y = r * std::sin(a),
                    z = 200.0f + static_cast<float>(t % 50);
        vertices.push_back({x, y, z, 0, 0, -1, 0x00FFFFFFu, 0, 0});
        vertices.push_back({x + 5, y, z, 0, 0, -1, 0x00FFFFFFu, 1, 0});
        vertices.push_back({x, y + 5, z, 0, 0, -1, 0x00FFFFFFu, 0, 1});
      }
      const auto bytes = static_cast<std::uint32_t>(vertices.size() * sizeof(MeshVertex));
      VertexBuffer* buffer = nullptr;
      device_->CreateVertexBuffer(bytes, 0, FVF_XYZ_NORMAL_DIFFUSE_TEX1, D3DPOOL_DEFAULT, &buffer);
      std::uint8_t* data = nullptr;
      buffer->Lock(0, bytes, &data, 0);
      std::memcpy(data, vertices.data(), bytes);
      buffer->Unlock();
      meshes_.push_back(buffer);
    }
    D3DMATRIX projection = identity_matrix();
    projection.m[0][0] = 2.4f;
    projection.m[1][1] = 2.4f;
    projection.m[2][2] = 10000.0f / 9999.0f;
    projection.m[2][3] = 1.0f;
    projection.m[3][2] = -10000.0f / 9999.0f;
    projection.m[3][3] = 0.0f;
    device_->SetTransform(D3DTS_PROJECTION, &projection);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_POINT;
    light.Diffuse = {1, 1, 1, 1};
    light.Ambient = {0.2f, 0.2f, 0.2f, 1};
    light.Range = 1000;
    light.Attenuation0 = 1;
    device_->SetLight(0, &light);
    D3DMATERIAL8 material{};
    material.Ambient = {1, 1, 1, 1};
    device_->SetMaterial(&material);
    particles_.resize(kParticles);
    return true;
  }

  void close() {
    for (VertexBuffer* b : meshes_) b->Release();
    if (texture_ != nullptr) texture_->Release();
    device_.reset();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  void frame(int n) {
    Device& d = *device_;
    d.Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    d.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d.SetRenderState(D3DRS_LIGHTING, TRUE);
    d.SetRenderState(D3DRS_FOGENABLE, TRUE);
    d.SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_EXP);
    d.SetRenderState(D3DRS_FOGDENSITY, float_state_bits(0.0015f));
    d.LightEnable(0, TRUE);
    for (VertexBuffer* mesh : meshes_) {
      d.BeginScene();
      d.SetTexture(0, texture_);
      d.SetStreamSource(0, mesh, sizeof(MeshVertex));
      d.SetVertexShader(FVF_XYZ_NORMAL_DIFFUSE_TEX1);
      d.DrawPrimitive(D3DPT_TRIANGLELIST, 0, kTrianglesPerMesh);
      d.EndScene();
    }
    d.LightEnable(0, FALSE);
    // The particles: a fresh buffer each frame, as the show makes it.
    for (int i = 0; i < kParticles; ++i) {
      const float a = static_cast<float>(i + n) * 0.05f;
      particles_[static_cast<std::size_t>(i)] = {100 * std::cos(a), 100 * std::sin(a),
                                                 300.0f + static_cast<float>(i % 100), 0x80FFFFFFu};
    }
    d.SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    d.SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    VertexBuffer* points = nullptr;
    const auto bytes = static_cast<std::uint32_t>(kParticles * sizeof(PointVertex));
    d.CreateVertexBuffer(bytes, D3DUSAGE_POINTS, FVF_XYZ_DIFFUSE, D3DPOOL_DEFAULT, &points);
    std::uint8_t* data = nullptr;
    points->Lock(0, bytes, &data, 0);
    std::memcpy(data, particles_.data(), bytes);
    points->Unlock();
    d.SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    d.SetRenderState(D3DRS_POINTSIZE, float_state_bits(10.8f));
    d.SetRenderState(D3DRS_POINTSIZE_MIN, float_state_bits(4.0f));
    d.SetRenderState(D3DRS_LIGHTING, FALSE);
    d.BeginScene();
    d.SetStreamSource(0, points, sizeof(PointVertex));
    d.SetVertexShader(FVF_XYZ_DIFFUSE);
    d.DrawPrimitive(D3DPT_POINTLIST, 0, kParticles);
    d.EndScene();
    points->Release();
    d.SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    d.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    for (int s = 0; s < kSprites; ++s) {
      SpriteDraw sprite;
      sprite.position_x = static_cast<float>((s * 97 + n) % 736);
      sprite.position_y = static_cast<float>((s * 53) % 536);
      sprite.rotation = static_cast<float>(s) * 0.1f;
      sprite.color = 0xC0FFFFFFu;
      d.BeginScene();
      d.DrawSprite(texture_, sprite);
      d.EndScene();
    }
    d.Present();
  }

  Device* device() { return device_.get(); }

 private:
  SDL_Window* window_ = nullptr;
  std::optional<SdlGlSurface> surface_;
  std::unique_ptr<Device> device_;
  Texture* texture_ = nullptr;
  std::vector<VertexBuffer*> meshes_;
  std::vector<PointVertex> particles_;
};

void run(benchmark::State& state, bool discard) {
  Scene scene;
  if (!scene.open()) {
    state.SkipWithError("no GL device");
    return;
  }
  scene.device()->SetDiscard(discard);
  int n = 0;
  for (int warm = 0; warm < 5; ++warm) scene.frame(n++);
  const long before = g_allocations.load();
  for (auto _ : state) {
    scene.frame(n++);
  }
  const long allocations = g_allocations.load() - before;
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["allocs"] =
      static_cast<double>(allocations) /
      static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
  scene.close();
}

void BM_ShowFrame(benchmark::State& state) { run(state, false); }
void BM_ShowFrameDiscard(benchmark::State& state) { run(state, true); }

}  // namespace

BENCHMARK(BM_ShowFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShowFrameDiscard)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
