#include "web/webgl_surface.h"

bool WebGlSurface::create_context(std::string& error) {
  EmscriptenWebGLContextAttributes asked;
  emscripten_webgl_init_context_attributes(&asked);
  asked.alpha = false;  // the show's frames are opaque: no page shows through
  asked.depth = true;
  asked.stencil = false;
  asked.antialias = false;
  asked.premultipliedAlpha = false;
  asked.preserveDrawingBuffer = false;  // each frame is copied whole from the back buffer
  asked.majorVersion = 2;
  asked.minorVersion = 0;
  context_ = emscripten_webgl_create_context(canvas_.c_str(), &asked);
  if (context_ <= 0) {
    error = "this browser gives no WebGL 2 context (" + std::to_string(context_) + ")";
    context_ = 0;
    return false;
  }
  make_current();
  return true;
}

void WebGlSurface::make_current() { emscripten_webgl_make_context_current(context_); }

void WebGlSurface::release_context() {
  if (context_ != 0) {
    emscripten_webgl_destroy_context(context_);
    context_ = 0;
  }
}

std::optional<PixelSize> WebGlSurface::shown_size() const {
  PixelSize size;
  emscripten_get_canvas_element_size(canvas_.c_str(), &size.width, &size.height);
  return size;
}
