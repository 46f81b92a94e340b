#pragma once
// What the GL backend needs of the window it draws into. Each platform makes
// its own: the desktop's is an SDL window (shell/sdl_gl_surface.h).

#include <optional>
#include <string>

#include "gfx/presenter.h"

class GlSurface {
 public:
  virtual ~GlSurface() = default;

  // Makes a GL context on the window, one that gl_api.h's functions run on (the
  // desktop asks for 3.3 core), and makes it current; false with `error` set when it cannot.
  virtual bool create_context(std::string& error) = 0;
  // Makes the context current again.
  virtual void make_current() = 0;
  // Deletes the context, and every GL object in it.
  virtual void release_context() = 0;
  // Asks that swaps wait for the vertical blank; a driver may refuse, which is not an error.
  virtual void request_vsync() = 0;
  // The drawable's size in pixels while the window is shown; nullopt while it is hidden.
  virtual std::optional<PixelSize> shown_size() const = 0;
  // Shows what was drawn into the window's framebuffer (GL's framebuffer 0).
  virtual void swap() = 0;
  // True where the platform itself keeps the frames queued in the driver few (a
  // page hands back control after every frame); else the presenter does.
  virtual bool bounds_frames_in_flight() const { return false; }
};
