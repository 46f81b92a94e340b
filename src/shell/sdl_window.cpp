#include "shell/sdl_window.h"

#include <cstdio>
#include <cstdlib>

void SdlShowWindow::pump_events() {
  SDL_PumpEvents();
  // Only the close request is taken from the queue; the key state is read directly.
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_QUIT, SDL_QUIT) > 0) {
    closed_ = true;
  }
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

bool SdlShowWindow::escape_down() const {
  const Uint8* keys = SDL_GetKeyboardState(nullptr);
  return keys != nullptr && keys[SDL_SCANCODE_ESCAPE] != 0;
}

bool SdlShowWindow::close_requested() const { return closed_; }

void choose_video_driver() {
  if (std::getenv("SDL_VIDEODRIVER") != nullptr) {
    return;
  }
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    std::fprintf(stderr, "plovermix: no display found, rendering offscreen\n");
  }
}
