#include "gfx/sprite_quad.h"

#include <cmath>

std::array<SpriteCorner, 4> sprite_corners(std::uint32_t width, std::uint32_t height,
                                           const SpriteDraw& sprite) {
  const float w = static_cast<float>(width);
  const float h = static_cast<float>(height);
  // A positive angle turns counter-clockwise on the y-down screen, which is a
  // rotation by -angle in pixel coordinates.
  const float c = std::cos(sprite.rotation);
  const float s = std::sin(sprite.rotation);
  const std::array<SpriteCorner, 4> image = {
      SpriteCorner{0.0f, 0.0f, 0.0f, 0.0f}, SpriteCorner{w, 0.0f, 1.0f, 0.0f},
      SpriteCorner{w, h, 1.0f, 1.0f}, SpriteCorner{0.0f, h, 0.0f, 1.0f}};
  std::array<SpriteCorner, 4> out{};
  for (std::size_t i = 0; i < image.size(); ++i) {
    // Scale about the top-left corner, rotate about the centre, then translate.
    const float dx = image[i].x * sprite.scale_x - sprite.center_x;
    const float dy = image[i].y * sprite.scale_y - sprite.center_y;
    const float rx = dx * c + dy * s;
    const float ry = -dx * s + dy * c;
    // Half a pixel up and left puts the image's corner on a pixel corner.
    out[i].x = rx + sprite.center_x + sprite.position_x - 0.5f;
    out[i].y = ry + sprite.center_y + sprite.position_y - 0.5f;
    out[i].u = image[i].u;
    out[i].v = image[i].v;
  }
  return out;
}
