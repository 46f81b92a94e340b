#pragma once
// The screen sprite's geometry: where the four corners of a width x height
// image land for a SpriteDraw, as pre-transformed vertices.
//
//   sprite_corners(width, height, sprite)   top-left, top-right, bottom-right, bottom-left

#include <array>
#include <cstdint>

#include "gfx/device.h"

struct SpriteCorner {
  float x, y;  // Direct3D screen position (pixel centres on whole numbers)
  float u, v;
};

std::array<SpriteCorner, 4> sprite_corners(std::uint32_t width, std::uint32_t height,
                                           const SpriteDraw& sprite);
