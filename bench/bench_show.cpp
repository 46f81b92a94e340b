// bench_show DATA: the whole show on the data in DATA, every frame body of the
// 60-per-second grid drawn and presented with no waiting, at 800 x 600 and at
// 1440 x 1080, each plain and with 4 samples a pixel (--msaa 4), each in a
// process of its own, so that each peak memory is its own. Prints one table:
// frames per second per scene window, and the share of frame time spent
// outside the device's calls (our code) against inside them (the driver,
// which on llvmpipe rasterises at present).
//
//   bench_show DATA [WxH[/N] ...]   the table, for the sizes given (/N: N samples)
//   bench_show --one WxH[/N] DATA   one size, as raw figures for the table
#include <SDL.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/position_source.h"
#include "audio/virtual_clock.h"
#include "shell/base/render_helpers.h"
#include "shell/options.h"
#include "shell/sdl_gl_surface.h"
#include "show/schedule.h"
#include "show/seek.h"
#include "show/show.h"

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t ns_since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
}

// The device with a stopwatch around every call: what the show asks of the
// driver, as against what the show itself computes.
class TimedDevice : public Device {
 public:
  explicit TimedDevice(Device& inner) : inner_(inner) {}
  std::int64_t inside_ns = 0;

  HRESULT BeginScene() override {
    return timed([&] { return inner_.BeginScene(); });
  }
  HRESULT EndScene() override {
    return timed([&] { return inner_.EndScene(); });
  }
  HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override {
    return timed([&] { return inner_.Clear(count, rects, flags, color, z, stencil); });
  }
  HRESULT Present() override {
    return timed([&] { return inner_.Present(); });
  }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    return timed([&] { return inner_.SetRenderState(state, value); });
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
    return timed([&] { return inner_.SetTransform(state, matrix); });
  }
  HRESULT SetViewport(const D3DVIEWPORT8* viewport) override {
    return timed([&] { return inner_.SetViewport(viewport); });
  }
  HRESULT GetViewport(D3DVIEWPORT8* viewport) override { return inner_.GetViewport(viewport); }
  HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override {
    return timed([&] { return inner_.SetLight(index, light); });
  }
  HRESULT LightEnable(DWORD index, DWORD enable) override {
    return timed([&] { return inner_.LightEnable(index, enable); });
  }
  HRESULT SetMaterial(const D3DMATERIAL8* material) override {
    return timed([&] { return inner_.SetMaterial(material); });
  }
  HRESULT SetTexture(DWORD stage, Texture* texture) override {
    return timed([&] { return inner_.SetTexture(stage, texture); });
  }
  HRESULT CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             VertexBuffer** buffer) override {
    return timed([&] { return inner_.CreateVertexBuffer(length, usage, fvf, pool, buffer); });
  }
  HRESULT SetStreamSource(std::uint32_t stream, VertexBuffer* buffer,
                          std::uint32_t stride) override {
    return timed([&] { return inner_.SetStreamSource(stream, buffer, stride); });
  }
  HRESULT SetVertexShader(DWORD fvf) override {
    return timed([&] { return inner_.SetVertexShader(fvf); });
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start, std::uint32_t count) override {
    return timed([&] { return inner_.DrawPrimitive(type, start, count); });
  }
  HRESULT CreateTextureFromFile(const char* path, bool use_key, D3DCOLOR key,
                                Texture** texture) override {
    return timed([&] { return inner_.CreateTextureFromFile(path, use_key, key, texture); });
  }
  void SetFileFolder(const std::string& folder) override { inner_.SetFileFolder(folder); }
  HRESULT DrawSprite(Texture* texture, const SpriteDraw& sprite) override {
    return timed([&] { return inner_.DrawSprite(texture, sprite); });
  }
  void SetDiscard(bool discard) override { inner_.SetDiscard(discard); }
  void AttachRecorder(CallRecorder* recorder) override { inner_.AttachRecorder(recorder); }
  void DetachRecorder(CallRecorder* recorder) override { inner_.DetachRecorder(recorder); }
  void HoldRecords(bool hold) override { inner_.HoldRecords(hold); }
  DeviceState SaveState() const override { return inner_.SaveState(); }
  void RestoreState(const DeviceState& saved) override { inner_.RestoreState(saved); }
  void SetMisuseReporter(std::function<void(const std::string&)> reporter) override {
    inner_.SetMisuseReporter(std::move(reporter));
  }

 private:
  template <typename Call>
  HRESULT timed(Call call) {
    const Clock::time_point start = Clock::now();
    const HRESULT result = call();
    inside_ns += ns_since(start);
    return result;
  }

  Device& inner_;
};

// The show's time windows, as the table shows them.
struct Window {
  std::string name;
  int from, to;  // ms, to exclusive
};

Window labelled(const char* name, int from, int to) {
  char label[64];
  std::snprintf(label, sizeof label, "%-12s %5g-%g s", name, from / 1000.0,
                std::min(to, SHOW_END_MS) / 1000.0);
  return {label, from, to};
}

// Each scene window of the schedule until the next begins, then the node
// inset (which overlaps the first two) and the whole show.
std::vector<Window> show_windows() {
  const std::span<const SceneWindow> scenes = scene_windows();
  std::vector<Window> windows;
  for (std::size_t i = 0; i < scenes.size(); ++i) {
    const int to = i + 1 < scenes.size() ? scenes[i + 1].start_ms : SHOW_END_MS + 1;
    windows.push_back(labelled(scenes[i].name, scenes[i].start_ms, to));
  }
  for (const ScheduleRow& row : show_schedule()) {
    if (std::string(row.name) == "node inset") {
      windows.push_back(labelled(row.name, 0, row.window.high));
    }
  }
  windows.push_back(labelled("whole show", 0, SHOW_END_MS + 1));
  return windows;
}

const std::vector<Window> WINDOWS = show_windows();

struct Figures {
  long frames = 0;
  std::int64_t wall_ns = 0, device_ns = 0;
};

// "1440x1080" or "1440x1080/4": a size and its samples a pixel.
struct Column {
  PixelSize size;
  int samples = 1;
};

std::optional<Column> parse_column(const std::string& text) {
  const std::size_t slash = text.find('/');
  const std::optional<PixelSize> size = parse_pixel_size(text.substr(0, slash));
  const int samples = slash == std::string::npos ? 1 : std::atoi(text.c_str() + slash + 1);
  if (!size || samples < 1) {
    return std::nullopt;
  }
  return Column{*size, samples};
}

// One size, in this process: "load MS", "window I FRAMES WALL_NS DEVICE_NS", "peak KB".
int run_one(Column column, const char* data) {
  const PixelSize size = column.size;
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "bench_show: cannot start SDL: %s\n", SDL_GetError());
    return 1;
  }
  // A shown window, as the player's: the show draws straight into it. (A
  // hidden one, as a capture's, draws into a back buffer it never shows.)
  SDL_Window* window =
      SDL_CreateWindow("bench_show", 0, 0, size.width, size.height, SDL_WINDOW_OPENGL);
  SdlGlSurface surface(window);
  Presenter* presenter = window != nullptr ? init_device(surface, size) : nullptr;
  if (presenter == nullptr) {
    std::fprintf(stderr, "bench_show: cannot create the device: %s\n", device_error().c_str());
    return 1;
  }
  // Multisampled, the show draws into a back buffer resolved into the window.
  if (std::string error; column.samples > 1 && !presenter->set_samples(column.samples, error)) {
    std::fprintf(stderr, "bench_show: %s\n", error.c_str());
    return 1;
  }
  SDL_GL_SetSwapInterval(0);
  Device* real = device;
  TimedDevice timed(*real);
  device = &timed;
  VirtualClock clock;  // the music silent, its clock never read: bodies run at grid times
  std::vector<Figures> figures(WINDOWS.size());
  {
    Show show(DataFolder(data),
              [&clock](const std::string&, const std::string&) { return clock.source(); });
    const Clock::time_point load_start = Clock::now();
    while (show.load_step() != LoadStep::loaded) {
    }
    std::printf("\nload %lld\n", static_cast<long long>(ns_since(load_start) / 1000000));
    for (long k = 0;; ++k) {
      const int t = static_cast<int>(k * 1000 / 60);
      const Clock::time_point start = Clock::now();
      const std::int64_t inside = timed.inside_ns;
      if (show.frame_body_at(t) == FrameEnd::show_over) {
        break;
      }
      present_frame();
      const std::int64_t wall = ns_since(start);
      for (std::size_t i = 0; i < WINDOWS.size(); ++i) {
        if (t >= WINDOWS[i].from && t < WINDOWS[i].to) {
          figures[i].frames += 1;
          figures[i].wall_ns += wall;
          figures[i].device_ns += timed.inside_ns - inside;
        }
      }
    }
    show.teardown();
  }
  for (std::size_t i = 0; i < WINDOWS.size(); ++i) {
    std::printf("window %zu %ld %lld %lld\n", i, figures[i].frames,
                static_cast<long long>(figures[i].wall_ns),
                static_cast<long long>(figures[i].device_ns));
  }
  device = real;
  release_device();
  SDL_DestroyWindow(window);
  SDL_Quit();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak %ld\n", usage.ru_maxrss);
  return 0;
}

struct Run {
  long load_ms = -1, peak_kb = -1;
  std::vector<Figures> figures = std::vector<Figures>(WINDOWS.size());
};

// Runs one size in a child process and reads its figures back.
std::optional<Run> measure(const std::string& size, const char* data) {
  // popen runs a shell: name this program by its own path, not /proc/self/exe.
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string command = "'" + self + "' --one " + size + " '" + data + "'";
  std::unique_ptr<FILE, int (*)(FILE*)> child(popen(command.c_str(), "r"), pclose);
  if (child == nullptr) {
    return std::nullopt;
  }
  Run run;
  char line[256];
  while (std::fgets(line, sizeof line, child.get()) != nullptr) {
    std::size_t i = 0;
    long frames = 0;
    long long wall = 0, inside = 0;
    if (std::sscanf(line, "window %zu %ld %lld %lld", &i, &frames, &wall, &inside) == 4 &&
        i < WINDOWS.size()) {
      run.figures[i] = {frames, wall, inside};
    }
    std::sscanf(line, "load %ld", &run.load_ms);
    std::sscanf(line, "peak %ld", &run.peak_kb);
  }
  if (pclose(child.release()) != 0 || run.peak_kb < 0) {
    return std::nullopt;
  }
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--one") {
    const std::optional<Column> column = parse_column(argv[2]);
    return column ? run_one(*column, argv[3]) : 2;
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_show DATA [WxH[/N] ...]\n");
    return 2;
  }
  std::vector<std::string> sizes(argv + 2, argv + argc);
  if (sizes.empty()) {
    sizes = {"800x600", "800x600/4", "1440x1080", "1440x1080/4"};
  }
  std::vector<Run> runs;
  for (const std::string& size : sizes) {
    const std::optional<Run> run = parse_column(size) ? measure(size, argv[1]) : std::nullopt;
    if (!run) {
      std::fprintf(stderr, "bench_show: the run at %s failed\n", size.c_str());
      return 1;
    }
    runs.push_back(*run);
  }

  std::printf("%-26s", "fps (our code's share)");
  for (const std::string& size : sizes) {
    std::printf(" | %16s", size.c_str());
  }
  std::printf("\n");
  for (std::size_t i = 0; i < WINDOWS.size(); ++i) {
    std::printf("%-26s", WINDOWS[i].name.c_str());
    for (const Run& run : runs) {
      const Figures& f = run.figures[i];
      const double seconds = static_cast<double>(f.wall_ns) / 1e9;
      const double ours = f.wall_ns > 0 ? 100.0 * static_cast<double>(f.wall_ns - f.device_ns) /
                                              static_cast<double>(f.wall_ns)
                                        : 0.0;
      std::printf(" | %7.1f (%4.1f %%)",
                  seconds > 0 ? static_cast<double>(f.frames) / seconds : 0.0, ours);
    }
    std::printf("\n");
  }
  std::printf("%-26s", "loading (ms)");
  for (const Run& run : runs) {
    std::printf(" | %16ld", run.load_ms);
  }
  std::printf("\n%-26s", "peak resident memory (MB)");
  for (const Run& run : runs) {
    std::printf(" | %16.1f", static_cast<double>(run.peak_kb) / 1024.0);
  }
  std::printf("\n");
  return 0;
}
