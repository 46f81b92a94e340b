#pragma once
// The OpenGL 3.3 core backend. It makes its own GL context on `window` (which
// must have been created with SDL_WINDOW_OPENGL) and a back buffer of the
// render size, 800 x 600 unless told otherwise (Device::SetRenderSize changes it later).

#include <memory>
#include <string>

#include "gfx/device.h"

struct SDL_Window;

// nullptr with `error` set when the context or the back buffer cannot be made.
std::unique_ptr<Device> create_gl_device(SDL_Window* window, PixelSize render_size,
                                         std::string& error);
std::unique_ptr<Device> create_gl_device(SDL_Window* window, std::string& error);
