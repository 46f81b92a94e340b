#pragma once
// Where a render test draws: a hidden SDL window on the desktop (SDL's
// offscreen driver in CI), the page's canvas with its WebGL 2 context in a
// browser. Either way the device is the GL backend, made on the surface.

#include <optional>
#include <string>

#include "gfx/gl_surface.h"

#ifdef __EMSCRIPTEN__
#include "web/webgl_surface.h"

class TestWindow {
 public:
  bool open(const char* /*title*/, int /*width*/, int /*height*/, std::string& /*error*/) {
    surface_.emplace("#canvas");
    return true;
  }
  GlSurface& surface() { return *surface_; }

 private:
  std::optional<WebGlSurface> surface_;
};
#else
#include <SDL.h>

#include "shell/sdl_gl_surface.h"

class TestWindow {
 public:
  TestWindow() = default;
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  ~TestWindow() {
    surface_.reset();
    if (window_ != nullptr) {
      SDL_DestroyWindow(window_);
    }
    if (video_) {
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
  }
  // False, with `error` set, where no GL window can be had.
  bool open(const char* title, int width, int height, std::string& error) {
    video_ = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (!video_) {
      error = std::string("no SDL video: ") + SDL_GetError();
      return false;
    }
    window_ = SDL_CreateWindow(title, 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) {
      error = std::string("no GL window: ") + SDL_GetError();
      return false;
    }
    surface_.emplace(window_);
    return true;
  }
  GlSurface& surface() { return *surface_; }
  SDL_Window* window() const { return window_; }

 private:
  bool video_ = false;
  SDL_Window* window_ = nullptr;
  std::optional<SdlGlSurface> surface_;
};
#endif
