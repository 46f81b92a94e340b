#pragma once
// The OpenGL 3.3 core backend. It makes its own GL context on `surface`, which
// must outlive the device, and a back buffer of the render size, 800 x 600
// unless told otherwise (its presenter changes it later).

#include <memory>
#include <string>

#include "gfx/device.h"
#include "gfx/gl_surface.h"
#include "gfx/presenter.h"

// The backend as made: the device, and the presenter of its frames, which
// lives as long as the device. Both null, with `error` set, when the context
// or the back buffer cannot be made.
struct GlBackend {
  std::unique_ptr<Device> device;
  Presenter* presenter = nullptr;
};

GlBackend create_gl_device(GlSurface& surface, PixelSize render_size, std::string& error);
GlBackend create_gl_device(GlSurface& surface, std::string& error);
