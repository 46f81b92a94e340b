#pragma once
// The window as the show sees it. SDL's key state only changes when events are
// pumped, so the show pumps once per frame (and between loading screens) before
// it reads Escape; a close request then ends the show like Escape.

#include <optional>

#include "show/seek.h"

class ShowWindow {
 public:
  virtual ~ShowWindow() = default;
  virtual void pump_events() = 0;
  virtual bool escape_down() const = 0;
  virtual bool close_requested() const = 0;
  // The viewer's pause (Space): the player then stops the music and the frame
  // bodies, and presents the last frame again.
  virtual bool paused() const { return false; }
  // After each present of the live player's frame loop (not of a virtual
  // clock's), `drew` false when it showed the last frame again: the window
  // keeps the pace where vertical sync is refused, and watches the drawing.
  virtual void presented(bool /*drew*/) {}
  // The viewer's seek keys, oldest first, each taken once.
  virtual std::optional<SeekKey> take_seek() { return std::nullopt; }
};

// The shell installs its window before run_show; tests install their own.
// Without one, the show sees no key and no close request.
void set_show_window(ShowWindow* window);
ShowWindow* show_window();
