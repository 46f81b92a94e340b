#include "shell/sdl_window.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "shell/base/render_helpers.h"
#include "shell/mixer_source.h"
#include "shell/screenshot.h"

namespace {

double ms(std::chrono::steady_clock::time_point at) {
  return std::chrono::duration<double, std::milli>(at.time_since_epoch()).count();
}

std::optional<SeekKey> seek_key(SDL_Keycode key) {
  switch (key) {
    case SDLK_LEFT:
      return SeekKey::back;
    case SDLK_RIGHT:
      return SeekKey::forward;
    case SDLK_PAGEUP:
      return SeekKey::previous_scene;
    case SDLK_PAGEDOWN:
      return SeekKey::next_scene;
    case SDLK_HOME:
      return SeekKey::home;
    default:
      return std::nullopt;
  }
}

bool is_full_screen(SDL_Window* window) {
  return (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

}  // namespace

void SdlShowWindow::set_up(const WindowSetup& setup) {
  setup_ = setup;
  const double interval = refresh_interval_ms(setup.refresh_hz);
  if (!setup.vsync) {
    limiter_.emplace(setup.unsynced_rate > 0 ? 1000.0 / setup.unsynced_rate : interval);
  }
  size_fit_.emplace(setup.fit_render_size, interval);
}

bool SdlShowWindow::make_device(PixelSize render_size, std::string& error) {
  presenter_ = init_device(surface_, render_size);
  if (presenter_ == nullptr) {
    error = device_error();
    return false;
  }
  return true;
}

PixelSize SdlShowWindow::picture_size() const {
  PixelSize drawable;
  SDL_GL_GetDrawableSize(window_, &drawable.width, &drawable.height);
  return ::picture_size(drawable);
}

std::unique_ptr<PositionSource> SdlShowWindow::open_music(const std::string& name,
                                                          const std::string& path) {
  return std::make_unique<MixerSource>(name, path);
}

double SdlShowWindow::now_ms() const { return ms(std::chrono::steady_clock::now()); }

void SdlShowWindow::pump_events() {
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    handle(event);
  }
}

void SdlShowWindow::handle(const SDL_Event& event) {
  if (event.type == SDL_QUIT) {
    closed_ = true;
  } else if (event.type == SDL_WINDOWEVENT) {
    if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
      closed_ = true;
    } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      fit_render_size();
    }
  } else if (event.type == SDL_KEYDOWN && seek_key(event.key.keysym.sym)) {
    seeks_.push(*seek_key(event.key.keysym.sym));
    osd_.poke(now_ms());
  } else if (event.type == SDL_KEYDOWN && event.key.repeat == 0) {
    osd_.poke(now_ms());
    const SDL_Keycode key = event.key.keysym.sym;
    const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
    if (key == SDLK_ESCAPE) {
      escape_pressed_ = true;  // seen even when let go before the next frame
    } else if (key == SDLK_SPACE) {
      paused_ = !paused_;
    } else if (key == SDLK_F11 || (alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER))) {
      toggle_full_screen();
    } else if (key == SDLK_F1) {
      help_ = !help_;
    } else if ((key == SDLK_F12 || key == SDLK_s) && presenter_ != nullptr) {
      // A window drawn into directly keeps no frame to read back unless asked.
      presenter_->keep_presented_frames();
      screenshot_wanted_ = true;
    }
  }
}

bool SdlShowWindow::escape_down() const {
  const Uint8* keys = SDL_GetKeyboardState(nullptr);
  return escape_pressed_ || (keys != nullptr && keys[SDL_SCANCODE_ESCAPE] != 0);
}

bool SdlShowWindow::close_requested() const { return closed_; }

// The display is painted again only when what it shows changes.
void SdlShowWindow::frame_time(int t) {
  frame_t_ = t;
  if (!setup_.osd || presenter_ == nullptr) {
    return;
  }
  const bool shown = osd_.shown(now_ms(), paused_);
  if (shown && (!overlay_shown_ || t != overlay_t_ || help_ != overlay_help_ ||
                osd_note_ != overlay_note_)) {
    presenter_->set_overlay(paint_osd(t, help_, osd_note_));
    overlay_t_ = t;
    overlay_help_ = help_;
    overlay_note_ = osd_note_;
  } else if (!shown && overlay_shown_) {
    presenter_->set_overlay(std::nullopt);
    osd_note_.clear();
  }
  overlay_shown_ = shown;
}

void SdlShowWindow::presented(bool drew) {
  if (screenshot_wanted_) {
    screenshot_wanted_ = false;
    const ScreenshotResult result = save_screenshot(*presenter_, setup_.screenshot_dir, frame_t_);
    std::fprintf(stderr, "plovermix: %s\n", result.message.c_str());
    if (!result.written) {
      osd_note_ = result.message;  // on the display too, for a viewer far from the terminal
      osd_.poke(now_ms());
    }
  }
  const auto now = std::chrono::steady_clock::now();
  if (drew && last_present_ && presenter_ != nullptr) {
    size_fit_->frame_drawn(*presenter_, ms(now) - ms(*last_present_), ms(now));
  }
  if (limiter_) {
    const double wait = limiter_->wait_after(ms(now));
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(wait));
  }
  last_present_ = std::chrono::steady_clock::now();
}

void SdlShowWindow::toggle_full_screen() {
  if (window_ == nullptr) {
    return;
  }
  SDL_SetWindowFullscreen(window_, is_full_screen(window_) ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  show_cursor_for(window_);
}

void SdlShowWindow::fit_render_size() {
  if (window_ != nullptr && presenter_ != nullptr && size_fit_) {
    size_fit_->fit(*presenter_, picture_size());
  }
}

void show_cursor_for(SDL_Window* window) {
  SDL_ShowCursor(is_full_screen(window) ? SDL_DISABLE : SDL_ENABLE);
}

void choose_video_driver() {
  if (std::getenv("SDL_VIDEODRIVER") != nullptr) {
    return;
  }
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::fprintf(stderr, "plovermix: no display found, rendering offscreen\n");
  }
}
