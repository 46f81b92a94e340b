#include "shell/sdl_gl_surface.h"

#include "gfx/gl_api.h"

bool SdlGlSurface::create_context(std::string& error) {
  if (window_ == nullptr) {
    error = "no window for the GL context";
    return false;
  }
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  context_ = SDL_GL_CreateContext(window_);
  if (context_ == nullptr) {
    error = std::string("no OpenGL 3.3 core context: ") + SDL_GetError();
    return false;
  }
  SDL_GL_MakeCurrent(window_, context_);
  // A driver may hand out an older context than asked for; the backend's calls need 3.3.
  if (epoxy_gl_version() < 33) {
    release_context();
    error = "OpenGL 3.3 is not available";
    return false;
  }
  return true;
}

void SdlGlSurface::make_current() { SDL_GL_MakeCurrent(window_, context_); }

void SdlGlSurface::release_context() {
  SDL_GL_DeleteContext(context_);
  context_ = nullptr;
}

void SdlGlSurface::request_vsync() { SDL_GL_SetSwapInterval(1); }

std::optional<PixelSize> SdlGlSurface::shown_size() const {
  if ((SDL_GetWindowFlags(window_) & SDL_WINDOW_HIDDEN) != 0) {
    return std::nullopt;
  }
  PixelSize drawable;
  SDL_GL_GetDrawableSize(window_, &drawable.width, &drawable.height);
  return drawable;
}

void SdlGlSurface::swap() { SDL_GL_SwapWindow(window_); }
