#pragma once
// The OpenGL 3.3 core backend. It makes its own GL context on `window` (which
// must have been created with SDL_WINDOW_OPENGL) and an 800 x 600 back buffer.

#include <memory>
#include <string>

#include "gfx/device.h"

struct SDL_Window;

// nullptr with `error` set when the context or the back buffer cannot be made.
std::unique_ptr<Device> create_gl_device(SDL_Window* window, std::string& error);
