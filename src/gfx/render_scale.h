#pragma once
// Where the show's 800 x 600 frame lands on real pixels: the picture in the
// window at present, and the back buffer's rectangles when it is rendered at
// the screen's resolution.
//
//   fit_picture(drawable)          the 4:3 picture, as large as fits, centred
//   render_scale(render)           s = render height / 600
//   scale_rect(render, edges)      an 800 x 600 rectangle in render pixels
//   scale_viewport(render, v)      the viewport's rectangle in render pixels

#include "gfx/d3d_types.h"
#include "gfx/presenter.h"

// A rectangle of whole pixels, x to the right and y downwards from the top-left.
struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

PixelRect fit_picture(PixelSize drawable);
float render_scale(PixelSize render);
// Each edge is scaled and rounded on its own, so rectangles that touch in the
// show's units still touch; clamped to the render size.
PixelRect scale_rect(PixelSize render, const D3DRECT& edges);
PixelRect scale_viewport(PixelSize render, const D3DVIEWPORT8& viewport);
