#pragma once
// The GL backend's surface in a page: a WebGL 2 context on the page's canvas,
// made as the desktop's back buffer is (no alpha, no multisampling; the depth
// buffer the device draws with is its own). The browser shows the canvas when
// the animation frame's callback returns, so a swap has nothing to do.

#include <emscripten/html5.h>

#include <string>

#include "gfx/gl_surface.h"

class WebGlSurface final : public GlSurface {
 public:
  explicit WebGlSurface(std::string canvas) : canvas_(std::move(canvas)) {}

  bool create_context(std::string& error) override;
  void make_current() override;
  void release_context() override;
  void request_vsync() override {}  // animation frames follow the display already
  std::optional<PixelSize> shown_size() const override;
  void swap() override {}
  bool bounds_frames_in_flight() const override { return true; }

 private:
  std::string canvas_;  // the canvas's CSS selector
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context_ = 0;
};
