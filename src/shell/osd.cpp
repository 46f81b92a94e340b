#include "shell/osd.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "shell/osd_font.h"
#include "show/schedule.h"
#include "show/seek.h"

namespace {

struct Colour {
  std::uint8_t r, g, b;
};

constexpr Colour PANEL{12, 12, 20};
constexpr Colour TEXT{245, 240, 225};
constexpr Colour DIM{150, 150, 165};
constexpr Colour TRACK{80, 80, 95};
constexpr Colour PLACE{255, 170, 70};
constexpr int MARGIN = 12;
constexpr int LINE = 18;  // the help's lines

constexpr const char* HELP[] = {
    "Escape: end         Space: pause         F11, Alt+Enter: full screen",
    "Left, Right: 10 s back and forth         PageUp, PageDown: scene before, after",
    "Home: the start     F12, S: screenshot   F1: these keys",
};

class Canvas {
 public:
  Canvas(int width, int height) {
    image_.size = {width, height};
    image_.rgba.resize(static_cast<std::size_t>(width) * height * 4);
    fill(0, 0, width, height, PANEL);
  }

  void fill(int x, int y, int w, int h, Colour c) {
    for (int py = std::max(0, y); py < std::min(image_.size.height, y + h); ++py) {
      for (int px = std::max(0, x); px < std::min(image_.size.width, x + w); ++px) {
        blend(px, py, c, 255);
      }
    }
  }

  // `text` with its line box's top-left corner at (x, y); returns where it ends.
  int text(int x, int y, const std::string& text, Colour c) {
    for (const char ch : text) {
      const int index = static_cast<unsigned char>(ch) - OSD_FIRST_CHAR;
      const OsdGlyph& g = OSD_GLYPHS[index >= 0 && index < OSD_GLYPH_COUNT ? index : '?' - 32];
      for (int gy = 0; gy < g.height; ++gy) {
        for (int gx = 0; gx < g.width; ++gx) {
          if (x + gx < image_.size.width && y + gy < image_.size.height) {
            blend(x + gx, y + gy, c, g.coverage[gy * g.width + gx]);
          }
        }
      }
      x += g.advance;
    }
    return x;
  }

  OverlayImage take(int at_y) {
    image_.y = at_y;
    return std::move(image_);
  }

 private:
  void blend(int x, int y, Colour c, int alpha) {
    std::uint8_t* p =
        image_.rgba.data() + (static_cast<std::size_t>(y) * image_.size.width + x) * 4;
    const auto mix = [alpha](std::uint8_t under, std::uint8_t over) {
      return static_cast<std::uint8_t>((under * (255 - alpha) + over * alpha + 127) / 255);
    };
    p[0] = mix(p[0], c.r);
    p[1] = mix(p[1], c.g);
    p[2] = mix(p[2], c.b);
    p[3] = 255;
  }

  OverlayImage image_;
};

// x of show time t on the timeline from `left` to `right`.
int timeline_x(int t, int left, int right) {
  const int clamped = std::clamp(t, 0, SHOW_END_MS);
  return left + static_cast<int>(static_cast<long>(clamped) * (right - left) / SHOW_END_MS);
}

}  // namespace

std::string osd_time(int t) {
  char text[32];
  std::snprintf(text, sizeof text, "%d:%02d.%03d", t / 60000, t / 1000 % 60, t % 1000);
  return text;
}

std::string osd_scene(int t) {
  const std::span<const SceneWindow> windows = scene_windows();
  const auto after = std::ranges::upper_bound(windows, t, {}, &SceneWindow::start_ms);
  return after == windows.begin() ? windows.front().name : std::prev(after)->name;
}

OverlayImage paint_osd(int t, bool help, const std::string& note) {
  const int help_height = help ? LINE * static_cast<int>(std::size(HELP)) + 10 : 0;
  const int height = OSD_BAR_HEIGHT + help_height;
  Canvas canvas(800, height);
  for (std::size_t i = 0; help && i < std::size(HELP); ++i) {
    canvas.text(MARGIN, 5 + LINE * static_cast<int>(i), HELP[i], DIM);
  }
  const int bar = help_height;
  const int after_time = canvas.text(MARGIN, bar + 3, osd_time(t), TEXT);
  const int after_scene = canvas.text(after_time + 14, bar + 3, osd_scene(t), DIM);
  canvas.text(after_scene + 24, bar + 3, note, PLACE);
  // The timeline: a thin track, a tick where each scene window begins, the place.
  const int left = MARGIN, right = 800 - MARGIN, track_y = bar + 32;
  canvas.fill(left, track_y, right - left, 2, TRACK);
  for (const SceneWindow& w : scene_windows()) {
    canvas.fill(timeline_x(w.start_ms, left, right), track_y - 4, 2, 10, DIM);
  }
  canvas.fill(timeline_x(t, left, right) - 2, track_y - 6, 5, 14, PLACE);
  return canvas.take(600 - height);
}
