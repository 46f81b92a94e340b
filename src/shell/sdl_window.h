#pragma once
// The desktop as the show's platform: the SDL window the show runs in (the
// viewer's keys, full screen, the pace of presents and the render size), the
// GL device made on it, the music through SDL2_mixer and the steady clock.
//
//   Escape, a close request      end the show
//   Space                        pauses and resumes
//   F11, Alt+Enter               full screen on and off (the desktop's mode)
//   Left, Right                  10 s back and forth (held: repeated)
//   PageUp, PageDown, Home       the previous and next scene, the start
//   F12, S                       a screenshot of the next frame presented
//   F1                           the keys on the on-screen display
// Any key, and a pause, show the on-screen display (shell/osd.h) for a while.

#include <SDL.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "gfx/presenter.h"
#include "shell/osd.h"
#include "shell/sdl_gl_surface.h"
#include "show/platform.h"
#include "show/present_pacing.h"
#include "show/render_size_fit.h"

struct WindowSetup {
  bool vsync = true;   // false: SDL_GL_SetSwapInterval refused, presents are limited
  int refresh_hz = 0;  // 0 when the display does not say
  // Presents a second without vsync (--vsync off); 0: the refresh's.
  int unsynced_rate = 0;
  bool fit_render_size = false;  // the back buffer follows the picture's size
  std::filesystem::path screenshot_dir;
  bool osd = true;  // the on-screen display (--no-osd)
};

class SdlShowWindow : public Platform {
 public:
  SdlShowWindow() = default;
  explicit SdlShowWindow(SDL_Window* window) : window_(window), surface_(window) {}
  // Once the device is made: the swap interval needs its GL context.
  void set_up(const WindowSetup& setup);

  bool make_device(PixelSize render_size, std::string& error) override;
  Presenter* presenter() const override { return presenter_; }
  PixelSize picture_size() const override;
  void pump_events() override;
  bool escape_down() const override;
  bool close_requested() const override;
  bool paused() const override { return paused_; }
  void frame_time(int t) override;
  void presented(bool drew) override;
  std::optional<SeekKey> take_seek() override { return seeks_.take(); }
  std::unique_ptr<PositionSource> open_music(const std::string& name,
                                             const std::string& path) override;
  double now_ms() const override;
  // One event from the queue, as pump_events takes them.
  void handle(const SDL_Event& event);

 private:
  void toggle_full_screen();
  void fit_render_size();

  SDL_Window* window_ = nullptr;
  // The device's surface: the device must be released before it goes.
  SdlGlSurface surface_{nullptr};
  Presenter* presenter_ = nullptr;
  WindowSetup setup_;
  bool closed_ = false;
  bool escape_pressed_ = false;
  bool paused_ = false;
  bool screenshot_wanted_ = false;
  int frame_t_ = 0;
  OsdTimer osd_;
  bool help_ = false;
  std::string osd_note_;  // a screenshot's failure, while the display is up
  // What the presenter lays over the picture now: shown, at which time, with the keys.
  bool overlay_shown_ = false;
  int overlay_t_ = 0;
  bool overlay_help_ = false;
  std::string overlay_note_;
  SeekKeys seeks_;
  std::optional<PresentLimiter> limiter_;
  std::optional<RenderSizeFit> size_fit_;  // made by set_up
  std::optional<std::chrono::steady_clock::time_point> last_present_;
};

// Uses SDL's offscreen driver when no display can be reached; says so on stderr.
void choose_video_driver();
// Hides the cursor in full screen only.
void show_cursor_for(SDL_Window* window);
