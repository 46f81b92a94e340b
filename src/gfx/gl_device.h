#pragma once
// The OpenGL 3.3 core backend. It makes its own GL context on `surface`, which
// must outlive the device, and a back buffer of the render size, 800 x 600
// unless told otherwise (Device::SetRenderSize changes it later).

#include <memory>
#include <string>

#include "gfx/device.h"
#include "gfx/gl_surface.h"

// nullptr with `error` set when the context or the back buffer cannot be made.
std::unique_ptr<Device> create_gl_device(GlSurface& surface, PixelSize render_size,
                                         std::string& error);
std::unique_ptr<Device> create_gl_device(GlSurface& surface, std::string& error);
