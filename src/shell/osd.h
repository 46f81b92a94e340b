#pragma once
// The on-screen display: after a seek, a pause or any key, for two seconds
// (always while paused), a bar at the foot of the picture with the show time
// (m:ss.mmm), the scene window's name and a thin timeline with the scene
// windows marked and the place on it; F1 adds the keys above it. It is laid
// over the presented picture in the window only (Presenter::set_overlay).
//
//   OsdTimer           poke(now) at a seek, a pause or a key; shown(now, paused)
//   osd_time(t)        "1:01.500"
//   osd_scene(t)       the name of the scene window t is in
//   paint_osd(t, help, note)  the display as an image in the show's 800 x 600
//                      units; `note` (a screenshot that could not be written)
//                      in orange after the scene's name
//   OSD_BAR_HEIGHT     the bar's height there (the help goes above it)

#include <optional>
#include <string>

#include "gfx/presenter.h"

constexpr int OSD_BAR_HEIGHT = 44;

class OsdTimer {
 public:
  static constexpr double SHOWN_MS = 2000.0;

  void poke(double now) { last_ = now; }
  bool shown(double now, bool paused) const { return paused || (last_ && now - *last_ < SHOWN_MS); }

 private:
  std::optional<double> last_;
};

std::string osd_time(int t);
std::string osd_scene(int t);
OverlayImage paint_osd(int t, bool help, const std::string& note = "");
