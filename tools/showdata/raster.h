#pragma once
// Small drawing kit for the generated images: coverage masks, colour blending,
// tileable value noise and soft shapes. Everything is plain arithmetic on
// floats in a fixed order, so the same build draws the same bytes every run.
//
//   Mask                 float coverage 0..1 per pixel
//   mix, scaled          colour arithmetic
//   blend, add_light     put a colour onto an image pixel with a coverage
//   paint_mask           blend a colour function through a mask
//   blur                 box blur of a mask, radius in pixels (three passes ~ Gaussian)
//   noise, fbm           tileable value noise (period in lattice cells)
//   soft_disc, soft_line masks of round shapes with soft edges

#include <functional>
#include <vector>

#include "showdata/bmp_writer.h"

namespace showdata {

struct Mask {
  int width = 0;
  int height = 0;
  std::vector<float> v;

  Mask() = default;
  Mask(int w, int h) : width(w), height(h), v(static_cast<std::size_t>(w) * h, 0.0f) {}
  float at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0.0f;
    return v[static_cast<std::size_t>(y) * width + x];
  }
  float& ref(int x, int y) { return v[static_cast<std::size_t>(y) * width + x]; }
};

float clamp01(float t);
Rgb mix(Rgb a, Rgb b, float t);
Rgb scaled(Rgb c, float k);
Rgb rgb_from_float(float r, float g, float b);  // 0..1 each, clamped

void blend(RgbImage& image, int x, int y, Rgb c, float coverage);
void add_light(RgbImage& image, int x, int y, Rgb c, float amount);

using ColorAt = std::function<Rgb(int x, int y)>;
// Blends colour(x, y) into the image with the mask's coverage, the mask's
// origin placed at (ox, oy).
void paint_mask(RgbImage& image, const Mask& mask, int ox, int oy, const ColorAt& color);
// Adds colour(x, y) scaled by the mask, for glows.
void glow_mask(RgbImage& image, const Mask& mask, int ox, int oy, const ColorAt& color);

Mask blur(const Mask& mask, int radius);
Mask grown(const Mask& mask, int pad);  // same content, `pad` empty pixels around

// Value noise on a lattice of `period` cells that wraps at the period, so a
// texture of noise(x * period / size, ...) tiles. Result 0..1.
float noise(float x, float y, int period, unsigned seed);
float fbm(float x, float y, int period, int octaves, unsigned seed);
// Deterministic hash to 0..1, for scattering things.
float hash01(unsigned a, unsigned b, unsigned seed);

void soft_disc(Mask& mask, float cx, float cy, float radius, float softness);
void soft_line(Mask& mask, float x0, float y0, float x1, float y1, float half_width,
               float softness);

}  // namespace showdata
