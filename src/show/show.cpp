#include "show/show.h"

#include <iterator>
#include <utility>

#include "math/show_random.h"
#include "shell/base/log.h"
#include "shell/base/render_helpers.h"
#include "show/data_files.h"
#include "show/schedule.h"
#include "show/show_start.h"

namespace {

// Every overlay of the show has black as its transparent colour.
constexpr D3DCOLOR COLOR_KEY = 0xFF000000u;

void place(sprite2d& image, float x, float y, D3DCOLOR color) {
  image.set_position(x, y);
  image.set_color(color);
}

void place(sprite2d& image, float x, float y, D3DCOLOR color, float cx, float cy) {
  place(image, x, y, color);
  image.shift_rotation_center(cx, cy);
}

void free_overlay(std::unique_ptr<sprite2d>& image) {
  if (image != nullptr) {
    image->release();
    image.reset();
  }
}

}  // namespace

Show::Show(DataFolder data, MusicOpener open_music)
    : show3d(data), data_(std::move(data)), open_music_(std::move(open_music)) {}

Show::~Show() { teardown(); }

// Every file is found without regard to case, as on the show's first platform.
std::unique_ptr<sprite2d> Show::overlay(const char* file) const {
  return std::make_unique<sprite2d>(data_.find(file).c_str(), COLOR_KEY, data_);
}

LoadStep Show::load_step() {
  // Slow steps in their order; between them the player keeps the window
  // answering, and a close request ends the show before the music starts.
  void (Show::*const steps[])() = {
      &Show::loading_screen_1, &Show::place_overlays, &Show::loading_screen_2, &Show::load_stage_2,
      &Show::loading_screen_3, &Show::load_stage_3,   &Show::loading_screen_4, &Show::load_stage_4,
      &Show::loading_screen_5, &Show::load_stage_5};
  if (loaded_) {
    return LoadStep::loaded;
  }
  if (next_step_ < std::size(steps)) {
    (this->*steps[next_step_++])();
    return LoadStep::loading;
  }
  if (!music->ready()) {
    return LoadStep::not_ready;
  }
  start_music();
  return LoadStep::loaded;
}

// Opens the music, which may finish opening while the loading screens show.
void Show::start_loading() {
  // The device reads the show's images from the same folder.
  device->SetFileFolder(data_.path(""));
  clear_target_depth(0, 0, 0);
  // The first two random draws of the run.
  loop = LoopState{};
  loop.caca_y = show_rand() % 600;
  loop.caca2_x = show_rand() % 800;
  const std::string music_file = data_.find(MUSIC_FILE);
  music = std::make_unique<music_stream>(
      open_music_(music_file, data_.path(music_file)));  // silent until play()
  if (mute) {
    music->mute();
  }
}

// Last, so that the clock reads about 0 at the first frame however long loading took.
void Show::start_music() {
  music->play();
  loop.spin_step = 0.0001f;
  show3d.frames = CameraFrames{};
  start_ = std::make_unique<ShowStart>(ShowStart::keep(*this));
  loaded_ = true;
}

void Show::loading_screen_1() {
  start_loading();
  Overlays& o = overlays;
  o.logo = overlay("logo.bmp");
  o.since = overlay("since.bmp");
  clear_target(0, 0, 0);
  o.logo->set_color(0xFFFFFFFFu);
  o.logo->set_position(160, 200);
  o.logo->draw();
  o.since->set_position(400, 450);
  o.since->draw();
  present_frame();
}

// Creates and places the overlays of the frame loop, then 3D stage 1.
void Show::place_overlays() {
  Overlays& o = overlays;
  o.presents = overlay("Presents.bmp");
  o.talvores = overlay("Talvores.bmp");
  o.gilb = overlay("gilb.bmp");
  o.tesk = overlay("tesk.bmp");
  o.tesk2 = overlay("tesk2.bmp");
  o.pamo = overlay("pamo.bmp");
  o.vostl = overlay("vostl.bmp");
  o.orvex = overlay("orvex.bmp");
  o.dulam = overlay("dulam.bmp");
  o.clouds = overlay("clouds.bmp");
  o.trai1 = overlay("trai.bmp");
  o.trai2 = overlay("trai.bmp");
  o.caca = overlay("caca.bmp");
  o.caca2 = overlay("caca2.bmp");
  o.sp1 = overlay("sp1.bmp");
  o.vorn = overlay("vorn.bmp");

  place(*o.vorn, 0, 0, 0x33FFFFFFu);
  place(*o.sp1, 0, 0, 0x33FFFFFFu);
  place(*o.caca2, 0, -200, 0x50FFFFFFu);
  place(*o.caca, -200, 0, 0x50FFFFFFu);
  place(*o.pamo, 900, 520, 0xFFFFFFFFu);
  place(*o.vostl, 900, 520, 0xFFFFFFFFu);
  place(*o.talvores, 70, 400, 0x66FFFFFFu);
  place(*o.trai2, 0, 300, 0x66FFFFFFu, 50, 50);
  place(*o.trai1, 0, 70, 0x66FFFFFFu, 50, 50);
  place(*o.gilb, 610, 450, 0x99FFFFFFu, 50, 50);
  place(*o.clouds, 0, 0, 0x44FFFFFFu, 50, 50);
  place(*o.tesk, 0, 0, 0x66FFFFFFu, 0.5f, 0.5f);
  place(*o.tesk2, 0, 0, 0x66FFFFFFu);
  place(*o.presents, 150, 150, 0x89FFFFFFu);

  show3d.stage1();
}

void Show::loading_screen_2() {
  Overlays& o = overlays;
  clear_target(0, 0, 0);
  o.logo->draw();
  o.orvex->set_position(300, 50);
  o.since->draw();
  o.orvex->draw();
  present_frame();
}

void Show::load_stage_2() { show3d.stage2(); }

// Drawn over what the last present left, without a clear.
void Show::loading_screen_3() {
  overlays.dulam->set_position(400, 300);
  overlays.dulam->draw();
  present_frame();
}

void Show::load_stage_3() { show3d.stage3(); }

// From here on zevuvero takes orvex's place.
void Show::loading_screen_4() {
  Overlays& o = overlays;
  o.zevuvero = overlay("zevuvero.bmp");
  clear_target(0, 0, 0);
  o.logo->draw();
  o.since->draw();
  o.dulam->draw();
  o.zevuvero->draw();
  present_frame();
}

void Show::load_stage_4() { show3d.stage4(); }

// The title takes the logo's place on the last loading screen.
void Show::loading_screen_5() {
  Overlays& o = overlays;
  clear_target(0, 0, 0);
  o.title = overlay("title.bmp");
  o.title->set_color(0xFFFFFFFFu);
  o.title->set_position(160, 200);
  o.zevuvero->draw();
  o.title->draw();
  present_frame();
}

void Show::load_stage_5() { show3d.stage5(); }

FrameEnd Show::frame_body() {
  if (!loaded_) {
    return FrameEnd::show_over;  // nothing to run a frame with
  }
  return frame_body_at(clock_time());
}

int Show::clock_time() {
  return music != nullptr ? static_cast<int>(music->get_time()) : 0;  // truncated toward zero
}

FrameEnd Show::unseen_body_at(int t) {
  device->HoldRecords(true);
  device->SetDiscard(true);
  hold_log(true);
  std::function<void(long, int)> callback;
  callback.swap(on_frame);
  const FrameEnd end = frame_body_at(t);
  on_frame.swap(callback);
  hold_log(false);
  device->SetDiscard(false);
  device->HoldRecords(false);
  return end;
}

void Show::rewind() {
  if (loaded_) {
    start_->put_back(*this);
  }
}

FrameEnd Show::frame_body_at(int t) {
  if (!loaded_) {
    return FrameEnd::show_over;
  }
  loop.t = t;
  if (on_frame) {
    on_frame(frames_run, loop.t);
  }
  ++frames_run;
  for (const ScheduleRow& row : show_schedule()) {
    if (!row.window.holds(loop.t)) {
      continue;
    }
    if (row.step == nullptr) {
      return FrameEnd::show_over;
    }
    row.step(*this);
  }
  return FrameEnd::present;
}

void Show::teardown() {
  Overlays& o = overlays;
  loaded_ = false;
  next_step_ = 0;
  start_.reset();
  if (music != nullptr) {
    music->close();
  }
  show3d.teardown();
  free_overlay(o.tesk);
  free_overlay(o.tesk2);
  free_overlay(o.gilb);
  free_overlay(o.pamo);
  free_overlay(o.vostl);
  free_overlay(o.clouds);
  music.reset();
  free_overlay(o.zevuvero);
  free_overlay(o.dulam);
  free_overlay(o.trai1);
  free_overlay(o.trai2);
  free_overlay(o.caca);
  free_overlay(o.caca2);
  free_overlay(o.sp1);
  free_overlay(o.vorn);
  // Those the original left to the end of the program are freed too, so that
  // nothing outlives the device.
  free_overlay(o.logo);
  free_overlay(o.since);
  free_overlay(o.title);
  free_overlay(o.presents);
  free_overlay(o.talvores);
  free_overlay(o.orvex);
}
