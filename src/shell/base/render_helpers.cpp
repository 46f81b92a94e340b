#include "shell/base/render_helpers.h"

#include <algorithm>
#include <cstring>

#include "gfx/gl_device.h"
#include "gfx/render_scale.h"
#include "shell/base/log.h"

Device* device = nullptr;
D3DVIEWPORT8 default_viewport{};

namespace {
std::unique_ptr<Device> owned_device;
std::string last_error;
}  // namespace

HRESULT install_device(std::unique_ptr<Device> made) {
  owned_device = std::move(made);
  if (owned_device != nullptr) {
    // The show never misuses the device; if a change makes it, the log says so once per kind.
    owned_device->SetMisuseReporter(
        [](const std::string& what) { write_log("\nDevice misuse: %s", what.c_str()); });
  }
  device = owned_device.get();
  if (device == nullptr) {
    return E_FAIL;
  }
  if (FAILED(device->GetViewport(&default_viewport))) {
    last_error = "the device has no viewport";
    return E_FAIL;
  }
  return D3D_OK;
}

Presenter* init_device(GlSurface& surface, PixelSize render_size) {
  last_error.clear();
  GlBackend made = create_gl_device(surface, render_size, last_error);
  if (made.device == nullptr || FAILED(install_device(std::move(made.device)))) {
    return nullptr;
  }
  Presenter* presenter = made.presenter;
  if (!(render_size == presenter->render_size()) && !presenter->set_render_size(render_size)) {
    const PixelSize kept = presenter->render_size();
    write_log("\nThe render size %dx%d cannot be had; drawing at %dx%d", render_size.width,
              render_size.height, kept.width, kept.height);
  }
  return presenter;
}

PixelSize picture_size(PixelSize drawable) {
  // The present's own fit, never empty: a back buffer needs a pixel.
  const PixelRect fit = fit_picture(drawable);
  return {std::max(1, fit.width), std::max(1, fit.height)};
}

void release_device() {
  owned_device.reset();
  device = nullptr;
}

const std::string& device_error() { return last_error; }

D3DCOLOR clear_color(int r, int g, int b) {
  // Each component is taken modulo 256, as the original byte packing did.
  const auto byte = [](int c) { return static_cast<D3DCOLOR>(c) & 0xFFu; };
  return 0xFF000000u | byte(r) << 16 | byte(g) << 8 | byte(b);
}

HRESULT clear_target(int r, int g, int b) {
  return device->Clear(0, nullptr, D3DCLEAR_TARGET, clear_color(r, g, b), 1.0f, 0);
}

HRESULT clear_target_depth(int r, int g, int b) {
  return device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear_color(r, g, b), 1.0f,
                       0);
}

HRESULT present_frame() { return device->Present(); }

HRESULT set_render_state(D3DRENDERSTATETYPE state, DWORD value) {
  return device->SetRenderState(state, value);
}
