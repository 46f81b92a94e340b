#pragma once
// The device globals and the frame-level helpers every drawing part uses.
//
//   device, default_viewport     the one device and its full-screen viewport
//   init_device(surface, size)   the device's presenter, or nullptr (the reason
//                                in device_error()); the back buffer drawn at
//                                `size` where the backend can (the log says
//                                when it cannot)
//   picture_size(drawable)       the 4:3 picture that fits the drawable
//   release_device()
//   clear_target(r, g, b)        opaque colour, whole viewport
//   clear_target_depth(r, g, b)  colour and depth 1.0
//   present_frame()
//   set_render_state(state, value)

#include <memory>
#include <string>

#include "gfx/device.h"
#include "gfx/presenter.h"

class GlSurface;

extern Device* device;
extern D3DVIEWPORT8 default_viewport;

// The back buffer is `render_size` pixels (800 x 600 by default); the show
// draws in its 800 x 600 units either way. `surface` outlives the device, and
// the presenter returned lives as long as the device.
Presenter* init_device(GlSurface& surface, PixelSize render_size = {});
// Installs an already made device (the trace device in tests) as `device` and
// reads its viewport into default_viewport.
HRESULT install_device(std::unique_ptr<Device> made);
void release_device();
const std::string& device_error();
// As tall as the drawable, width round(height * 4 / 3); narrower drawables
// limit the width instead, and the height follows. Never below 1 x 1.
PixelSize picture_size(PixelSize drawable);

D3DCOLOR clear_color(int r, int g, int b);
HRESULT clear_target(int r, int g, int b);
HRESULT clear_target_depth(int r, int g, int b);
HRESULT present_frame();
HRESULT set_render_state(D3DRENDERSTATETYPE state, DWORD value);
