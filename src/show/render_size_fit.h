#pragma once
// The live player's back buffer at the picture's size on screen, while the
// machine draws it in time. Once every frame drawn for two seconds has taken
// longer than the display's refresh interval and a quarter (for the present's
// own wait), the show draws at 800 x 600 from then on, says so on standard
// error and in the log, and a larger picture does not bring the slow size back.
//
//   RenderSizeFit(follow, refresh_interval_ms)
//                     follow: the size follows the picture (no size was asked)
//   fit(presenter, picture)   the picture's size on screen, now
//   frame_drawn(presenter, took_ms, now)   a present of a new frame that took
//                     `took_ms`; `now` in ms of a steady clock

#include "gfx/presenter.h"
#include "show/present_pacing.h"

class RenderSizeFit {
 public:
  RenderSizeFit(bool follow, double refresh_interval_ms);
  void fit(Presenter& presenter, PixelSize picture);
  void frame_drawn(Presenter& presenter, double took_ms, double now);

 private:
  bool follow_;
  SlowFrameWatch slow_;
};
