#include "show/schedule.h"

#include <vector>

#include "math/show_random.h"
#include "shell/base/render_helpers.h"
#include "show/show.h"

namespace {

// Title window A: "Talvores.bmp" rises and fades in.
void title_a(Show& show) {
  const int t = show.loop.t;
  sprite2d& talvores = *show.overlays.talvores;
  clear_target(0, 0, 0);
  talvores.add_color(0x01000000u);
  talvores.move(0, static_cast<float>(-t / 1000.0));
  talvores.draw();
}

// Title window B: "Presents.bmp" drifts down and right.
void title_b(Show& show) {
  const int t = show.loop.t;
  sprite2d& presents = *show.overlays.presents;
  clear_target(0, 0, 0);
  presents.add_color(0x01000000u);
  const auto drift = static_cast<float>(t / 38000.0);
  presents.move(drift, drift);
  presents.draw();
}

void scene_c(Show& show) { show.show3d.window_c(); }
void scene_d(Show& show) { show.show3d.window_d(); }
void scene_e(Show& show) { show.show3d.window_e(); }
void scene_f(Show& show) { show.show3d.window_f(); }
void scene_g(Show& show) { show.show3d.window_g(); }
void node_inset(Show& show) { show.show3d.node_inset(); }

// One step of a sliding title; true when it has reached its end (x < 600).
bool slide_step(sprite2d& title) {
  title.move(-10.2f, 0);
  title.add_color(0x09000000u);
  title.draw();
  if (title.x() < 600.0f) {
    title.set_position(900, 520);
    title.set_color(0x00FFFFFFu);
    return true;
  }
  return false;
}

// "pamo.bmp" and "vostl.bmp" take turns; in the frame one finishes, the other
// already makes its first step.
void slide_pair(Show& show) {
  LoopState& loop = show.loop;
  if (loop.slide_turn == 0 && slide_step(*show.overlays.pamo)) {
    loop.slide_turn = 1;
  }
  if (loop.slide_turn == 1 && slide_step(*show.overlays.vostl)) {
    loop.slide_turn = 0;
  }
}

void spinner(Show& show) {
  show.overlays.gilb->rotate(show.loop.spin_step);
  show.overlays.gilb->draw();
}

// A random number of copies at random places; rotation accumulates over all of
// them, frame after frame, when `spin` is set.
void splashes(sprite2d& image, int most, bool spin) {
  const int count = show_rand() % most;
  for (int i = 0; i < count; ++i) {
    const int dy = show_rand() % 600;
    const int dx = show_rand() % 800;
    image.move(static_cast<float>(dx), static_cast<float>(dy));
    if (spin) {
      image.rotate(static_cast<float>(show_rand() % 100));
    }
    image.draw();
    image.set_position(0, 0);
  }
}

void tesk_splashes(Show& show) { splashes(*show.overlays.tesk, 40, true); }
void tesk2_splashes(Show& show) { splashes(*show.overlays.tesk2, 10, false); }

// Scrolls left by one pixel every 100 ms of music.
void clouds_scroll(Show& show) {
  const int scrolled = (show.loop.t - 12600) / 100;
  show.overlays.clouds->set_position(static_cast<float>(-scrolled), 0);
  show.overlays.clouds->draw();
}

}  // namespace

// Random-walks in y and shows at full size only when the draw is 11.
void show_steps::flicker(sprite2d& image, float step) {
  const int r = show_rand() % 12;
  image.set_scale(0, 0);
  if (r > 6) {
    image.move(0, -step);
  }
  if (r < 6) {
    image.move(0, step);
  }
  if (r > 10) {
    image.grow(1, 1);
  }
  image.draw();
}

namespace {

void flickers(Show& show) {
  show_steps::flicker(*show.overlays.trai1, 2);
  show_steps::flicker(*show.overlays.trai2, 3);
}

// Back on the far side with a new random integer scale, 0 to 4 per axis.
void rescale_randomly(sprite2d& image) {
  image.set_scale(0, 0);
  const int a = show_rand() % 5;
  const int b = show_rand() % 5;
  image.grow(static_cast<float>(b), static_cast<float>(a));
}

void drifters(Show& show) {
  LoopState& loop = show.loop;
  sprite2d& caca = *show.overlays.caca;
  loop.caca_x += 10;
  caca.set_position(static_cast<float>(loop.caca_x), static_cast<float>(loop.caca_y));
  caca.draw();
  if (loop.caca_x > 950) {
    loop.caca_x = -200;
    loop.caca_y = show_rand() % 600;
    rescale_randomly(caca);
  }
  sprite2d& caca2 = *show.overlays.caca2;
  loop.caca2_y += 12;
  caca2.set_position(static_cast<float>(loop.caca2_x), static_cast<float>(loop.caca2_y));
  caca2.draw();
  if (loop.caca2_y > 700) {
    loop.caca2_y = -150;
    loop.caca2_x = show_rand() % 800;
    rescale_randomly(caca2);
  }
}

void corner_mark(sprite2d& image) {
  image.set_position(10, 10);
  image.draw();
}

void corner_sp1(Show& show) { corner_mark(*show.overlays.sp1); }
void corner_vorn(Show& show) { corner_mark(*show.overlays.vorn); }

using W = TimeWindow;

constexpr ScheduleRow SCHEDULE[] = {
    {"title A", W::before(4000), title_a, "titles"},
    {"title B", W::from_to_inclusive(3000, 12600), title_b},
    {"scene C echec", W::between(12600, 31000), scene_c, "chess hall"},
    {"scene D tunnel", W::from_until(31000, 61500), scene_d, "tunnel"},
    {"scene E indus", W::from_until(61500, 68000), scene_e, "plant"},
    {"scene F greets", W::from_until(68000, 136000), scene_f, "greets"},
    {"scene G credits", W::from_to_inclusive(136000, 240000), scene_g, "credits"},
    {"slide pair", W::before(20000), slide_pair},
    {"spinner", W::before(20000), spinner},
    {"tesk splashes", W::before(12600), tesk_splashes},
    {"tesk2 splashes", W::before(12600), tesk2_splashes},
    {"node inset", W::before(17600), node_inset},
    {"end", W::after(240000), nullptr},
    {"clouds scroll", W::between(12600, 31000), clouds_scroll},
    {"flickers", W::before(31000), flickers},
    {"drifters", W::before(12600), drifters},
    {"corner sp1", W::before(12600), corner_sp1},
    {"corner vorn", W::between(80500, 120000), corner_vorn},
};

}  // namespace

std::span<const ScheduleRow> show_schedule() { return SCHEDULE; }

std::span<const SceneWindow> scene_windows() {
  static const std::vector<SceneWindow> windows = [] {
    std::vector<SceneWindow> named;
    for (const ScheduleRow& row : SCHEDULE) {
      if (row.scene != nullptr) {
        named.push_back({row.scene, row.window.low});
      }
    }
    return named;
  }();
  return windows;
}
