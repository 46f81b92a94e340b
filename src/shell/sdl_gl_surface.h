#pragma once
// The desktop's GL surface: an SDL window made with SDL_WINDOW_OPENGL, and the
// OpenGL 3.3 core context made on it, which must go before the window does.

#include <SDL.h>

#include "gfx/gl_surface.h"

class SdlGlSurface : public GlSurface {
 public:
  explicit SdlGlSurface(SDL_Window* window) : window_(window) {}
  SdlGlSurface(const SdlGlSurface&) = delete;
  SdlGlSurface& operator=(const SdlGlSurface&) = delete;

  bool create_context(std::string& error) override;
  void make_current() override;
  void release_context() override;
  void request_vsync() override;
  std::optional<PixelSize> shown_size() const override;
  void swap() override;

 private:
  SDL_Window* window_;
  SDL_GLContext context_ = nullptr;
};
