#pragma once
// What a platform gives the show, and all that crosses between them: the
// frame's target, the viewer's input, the music and a clock. The desktop's is
// SDL2 and SDL2_mixer (shell/); a browser's is its page. The show never
// includes a platform's header.
//
// The frame's target
//   make_device(render_size, error)  installs `device` for the platform's
//                      surface, drawing at `render_size`; false with `error`
//                      set when none can be made. The device presents into it.
//   presenter()        the made device's frames: their size and their pixels
//                      read back; nullptr where it keeps none (a test's trace
//                      device). It lives as long as the device
//   picture_size()     the picture's size on screen: the 4:3 fit of the surface
// Input, read once per frame (and between loading steps) after pump_events()
//   escape_down(), close_requested()   either ends the show
//   wants_end()        pumps, then either of them: read at the top of every frame
//   paused()           the viewer's pause: the player stops the music and the
//                      frame bodies, and presents the last frame again
//   take_seek()        the viewer's seek keys, oldest first, each taken once
//   frame_time(t)      before each present of the live player: the show time of
//                      the frame it presents (a screenshot's name)
//   presented(drew)    after each present of the live player (not of a virtual
//                      clock's); `drew` false when it showed the last frame again
// The music
//   open_music(name, path)   the music file `name` (as the data folder names
//                      it; `path` is opened), silent until played; a source
//                      that is not ready() is still opening
// Time
//   now_ms()           a steady clock in ms: the player's pacing, and the
//                      show's clock where there is no music

#include <memory>
#include <optional>
#include <string>

#include "audio/position_source.h"
#include "gfx/presenter.h"
#include "show/seek.h"

class Platform {
 public:
  virtual ~Platform() = default;

  virtual bool make_device(PixelSize render_size, std::string& error) = 0;
  virtual Presenter* presenter() const { return nullptr; }
  virtual PixelSize picture_size() const = 0;

  virtual void pump_events() = 0;
  virtual bool escape_down() const = 0;
  virtual bool close_requested() const = 0;
  virtual bool paused() const { return false; }
  virtual std::optional<SeekKey> take_seek() { return std::nullopt; }
  virtual void frame_time(int /*t*/) {}
  virtual void presented(bool /*drew*/) {}

  bool wants_end() {
    pump_events();
    return escape_down() || close_requested();
  }

  virtual std::unique_ptr<PositionSource> open_music(const std::string& name,
                                                     const std::string& path) = 0;

  virtual double now_ms() const = 0;
};
