// bench_seek DATA [benchmark flags]: how long a seek takes on the data in DATA,
// on the device the player uses (offscreen), the show loaded once. Each seek
// starts from the state loading left, as a seek backwards does, and runs every
// frame body of the grid before the target unseen.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "audio/position_source.h"
#include "audio/virtual_clock.h"
#include "shell/base/render_helpers.h"
#include "shell/sdl_gl_surface.h"
#include "show/pacer.h"
#include "show/seek.h"
#include "show/show.h"

namespace {

Show* loaded = nullptr;

void BM_SeekFromLoad(benchmark::State& state) {
  const int target = static_cast<int>(state.range(0));
  Pacer pacer;
  long bodies = 0;
  for (auto _ : state) {
    bodies = seek_on_grid(*loaded, pacer, target, true);
    benchmark::DoNotOptimize(bodies);
  }
  state.counters["bodies"] = static_cast<double>(bodies);
  state.SetItemsProcessed(bodies * static_cast<long>(state.iterations()));
}
// The start (the rewind alone), the greets, the credits, and the last ten seconds.
BENCHMARK(BM_SeekFromLoad)
    ->Arg(0)
    ->Arg(68000)
    ->Arg(136000)
    ->Arg(230000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: bench_seek DATA [benchmark flags]\n");
    return 2;
  }
  const DataFolder data(argv[1]);
  argv[1] = argv[0];
  --argc;
  ++argv;
  benchmark::Initialize(&argc, argv);
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "bench_seek: cannot start SDL: %s\n", SDL_GetError());
    return 1;
  }
  const PixelSize size{800, 600};
  SDL_Window* window = SDL_CreateWindow("bench_seek", 0, 0, size.width, size.height,
                                        SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  SdlGlSurface surface(window);
  if (window == nullptr || init_device(surface, size) == nullptr) {
    std::fprintf(stderr, "bench_seek: cannot create the device: %s\n", device_error().c_str());
    return 1;
  }
  VirtualClock clock;  // the bodies run at grid times; the clock is never read
  {
    Show show(data, [&clock](const std::string&, const std::string&) { return clock.source(); });
    while (show.load_step() != LoadStep::loaded) {
    }
    loaded = &show;
    benchmark::RunSpecifiedBenchmarks();
    loaded = nullptr;
    show.teardown();
  }
  benchmark::Shutdown();
  release_device();
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
