// One frame of each particle system as the show runs it: a step of the full
// system, and its draw through a vertex buffer made and released each time.
#include <benchmark/benchmark.h>

#include <memory>

#include "effects/particle_system.h"
#include "gfx/trace_device.h"
#include "shell/base/render_helpers.h"

namespace {

void set_up_echec(particle_system& p) {
  p.set_plane_from_points(0, 0, 85, 1, 0, 85, 0, 1, 85);
  p.set_gravity(0, 0, -0.19f);
  p.set_life_range(100);
  p.set_direction(0, 0, 1);
  p.set_speed(6.2f);
  p.set_position(10, 0, 90);
  p.set_capacity(1000);
}

void full_system(particle_system& p) {
  set_up_echec(p);
  while (p.count() < p.capacity()) p.update(true);
}

void BM_EchecUpdate(benchmark::State& state) {
  particle_system p;
  full_system(p);
  for (auto _ : state) {
    p.update(true);
    benchmark::DoNotOptimize(p.particles().data());
  }
  state.SetItemsProcessed(state.iterations() * p.count());
}
BENCHMARK(BM_EchecUpdate);

void BM_EchecRender(benchmark::State& state) {
  auto made = std::make_unique<TraceDevice>();
  made->set_recording(false);
  install_device(std::move(made));
  {
    particle_system p;
    full_system(p);
    for (auto _ : state) {
      p.render();
    }
    state.SetItemsProcessed(state.iterations() * p.count());
  }
  release_device();
}
BENCHMARK(BM_EchecRender);

}  // namespace

BENCHMARK_MAIN();
