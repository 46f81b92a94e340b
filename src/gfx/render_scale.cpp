#include "gfx/render_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gfx/device.h"

PixelRect fit_picture(PixelSize drawable) {
  const std::int64_t w = drawable.width, h = drawable.height;
  if (w <= 0 || h <= 0) {
    return PixelRect{};
  }
  PixelRect picture;
  // Wider than 4:3: full height, bars left and right; else full width, bars above and below.
  if (w * BACK_BUFFER_HEIGHT >= h * BACK_BUFFER_WIDTH) {
    picture.height = drawable.height;
    picture.width = static_cast<int>(
        std::min(w, (h * BACK_BUFFER_WIDTH + BACK_BUFFER_HEIGHT / 2) / BACK_BUFFER_HEIGHT));
  } else {
    picture.width = drawable.width;
    picture.height = static_cast<int>(
        std::min(h, (w * BACK_BUFFER_HEIGHT + BACK_BUFFER_WIDTH / 2) / BACK_BUFFER_WIDTH));
  }
  picture.x = (drawable.width - picture.width) / 2;
  picture.y = (drawable.height - picture.height) / 2;
  return picture;
}

float render_scale(PixelSize render) {
  return static_cast<float>(render.height) / static_cast<float>(BACK_BUFFER_HEIGHT);
}

PixelRect scale_rect(PixelSize render, const D3DRECT& edges) {
  const double s = static_cast<double>(render.height) / BACK_BUFFER_HEIGHT;
  const auto edge = [s](std::int32_t e, int limit) {
    return static_cast<int>(std::clamp(std::lround(e * s), 0L, static_cast<long>(limit)));
  };
  const int x1 = edge(edges.x1, render.width), x2 = edge(edges.x2, render.width);
  const int y1 = edge(edges.y1, render.height), y2 = edge(edges.y2, render.height);
  return PixelRect{x1, y1, std::max(x2 - x1, 0), std::max(y2 - y1, 0)};
}

PixelRect scale_viewport(PixelSize render, const D3DVIEWPORT8& viewport) {
  const auto x = static_cast<std::int32_t>(viewport.X);
  const auto y = static_cast<std::int32_t>(viewport.Y);
  return scale_rect(render, D3DRECT{x, y, x + static_cast<std::int32_t>(viewport.Width),
                                    y + static_cast<std::int32_t>(viewport.Height)});
}
