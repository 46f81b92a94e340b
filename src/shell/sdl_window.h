#pragma once
// The SDL window the show runs in, and the show's view of it.

#include <SDL.h>

#include "show/show_window.h"

class SdlShowWindow : public ShowWindow {
 public:
  void pump_events() override;
  bool escape_down() const override;
  bool close_requested() const override;

 private:
  bool closed_ = false;
};

// Uses SDL's offscreen driver when no display can be reached; says so on stderr.
void choose_video_driver();
