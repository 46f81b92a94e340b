#include "showdata/raster.h"

#include <algorithm>
#include <cmath>

namespace showdata {

float clamp01(float t) { return t < 0.0f ? 0.0f : (t > 1.0f ? 1.0f : t); }

namespace {

std::uint8_t channel(float v) {
  return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255.0f));
}

float lerpf(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace

Rgb mix(Rgb a, Rgb b, float t) {
  t = clamp01(t);
  return {static_cast<std::uint8_t>(std::lround(lerpf(a.r, b.r, t))),
          static_cast<std::uint8_t>(std::lround(lerpf(a.g, b.g, t))),
          static_cast<std::uint8_t>(std::lround(lerpf(a.b, b.b, t)))};
}

Rgb scaled(Rgb c, float k) {
  return rgb_from_float(c.r / 255.0f * k, c.g / 255.0f * k, c.b / 255.0f * k);
}

Rgb rgb_from_float(float r, float g, float b) { return {channel(r), channel(g), channel(b)}; }

void blend(RgbImage& image, int x, int y, Rgb c, float coverage) {
  if (coverage <= 0.0f) return;
  image.set(x, y, mix(image.at(x, y), c, coverage));
}

void add_light(RgbImage& image, int x, int y, Rgb c, float amount) {
  if (amount <= 0.0f) return;
  const Rgb d = image.at(x, y);
  image.set(x, y,
            rgb_from_float((d.r + c.r * amount) / 255.0f, (d.g + c.g * amount) / 255.0f,
                           (d.b + c.b * amount) / 255.0f));
}

void paint_mask(RgbImage& image, const Mask& mask, int ox, int oy, const ColorAt& color) {
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      const float m = mask.at(x, y);
      if (m > 0.0f) blend(image, ox + x, oy + y, color(ox + x, oy + y), m);
    }
  }
}

void glow_mask(RgbImage& image, const Mask& mask, int ox, int oy, const ColorAt& color) {
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      const float m = mask.at(x, y);
      if (m > 0.0f) add_light(image, ox + x, oy + y, color(ox + x, oy + y), m);
    }
  }
}

namespace {

// One horizontal then one vertical running-sum box filter.
Mask box(const Mask& in, int r) {
  Mask tmp(in.width, in.height);
  Mask out(in.width, in.height);
  const float norm = 1.0f / static_cast<float>(2 * r + 1);
  for (int y = 0; y < in.height; ++y) {
    float sum = 0.0f;
    for (int x = -r; x <= r; ++x) sum += in.at(x, y);
    for (int x = 0; x < in.width; ++x) {
      tmp.ref(x, y) = sum * norm;
      sum += in.at(x + r + 1, y) - in.at(x - r, y);
    }
  }
  for (int x = 0; x < in.width; ++x) {
    float sum = 0.0f;
    for (int y = -r; y <= r; ++y) sum += tmp.at(x, y);
    for (int y = 0; y < in.height; ++y) {
      out.ref(x, y) = sum * norm;
      sum += tmp.at(x, y + r + 1) - tmp.at(x, y - r);
    }
  }
  return out;
}

}  // namespace

Mask blur(const Mask& mask, int radius) {
  if (radius <= 0) return mask;
  const int r = std::max(1, radius / 2);
  return box(box(box(mask, r), r), r);
}

Mask grown(const Mask& mask, int pad) {
  Mask out(mask.width + 2 * pad, mask.height + 2 * pad);
  for (int y = 0; y < mask.height; ++y)
    for (int x = 0; x < mask.width; ++x) out.ref(x + pad, y + pad) = mask.at(x, y);
  return out;
}

float hash01(unsigned a, unsigned b, unsigned seed) {
  unsigned h = a * 0x8da6b343u ^ b * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x5bd1e995u;
  h ^= h >> 15;
  return static_cast<float>(h & 0xFFFFFFu) / static_cast<float>(0xFFFFFF);
}

float noise(float x, float y, int period, unsigned seed) {
  const float fx = std::floor(x);
  const float fy = std::floor(y);
  const auto wrap = [period](float v) {
    const int i = static_cast<int>(v) % period;
    return static_cast<unsigned>(i < 0 ? i + period : i);
  };
  const unsigned x0 = wrap(fx);
  const unsigned y0 = wrap(fy);
  const unsigned x1 = wrap(fx + 1.0f);
  const unsigned y1 = wrap(fy + 1.0f);
  float tx = x - fx;
  float ty = y - fy;
  tx = tx * tx * (3.0f - 2.0f * tx);
  ty = ty * ty * (3.0f - 2.0f * ty);
  const float a = lerpf(hash01(x0, y0, seed), hash01(x1, y0, seed), tx);
  const float b = lerpf(hash01(x0, y1, seed), hash01(x1, y1, seed), tx);
  return lerpf(a, b, ty);
}

float fbm(float x, float y, int period, int octaves, unsigned seed) {
  float sum = 0.0f;
  float amp = 0.5f;
  float total = 0.0f;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * noise(x, y, period, seed + static_cast<unsigned>(o) * 101u);
    total += amp;
    x *= 2.0f;
    y *= 2.0f;
    period *= 2;
    amp *= 0.5f;
  }
  return sum / total;
}

void soft_disc(Mask& mask, float cx, float cy, float radius, float softness) {
  const int x0 = std::max(0, static_cast<int>(cx - radius - softness - 1));
  const int x1 = std::min(mask.width - 1, static_cast<int>(cx + radius + softness + 1));
  const int y0 = std::max(0, static_cast<int>(cy - radius - softness - 1));
  const int y1 = std::min(mask.height - 1, static_cast<int>(cy + radius + softness + 1));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const float d =
          std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy);
      const float m = clamp01((radius + softness - d) / std::max(softness, 0.5f));
      mask.ref(x, y) = std::max(mask.ref(x, y), m);
    }
  }
}

void soft_line(Mask& mask, float x0, float y0, float x1, float y1, float half_width,
               float softness) {
  const float dx = x1 - x0;
  const float dy = y1 - y0;
  const float len2 = std::max(dx * dx + dy * dy, 1e-6f);
  const float reach = half_width + softness + 1.0f;
  const int bx0 = std::max(0, static_cast<int>(std::min(x0, x1) - reach));
  const int bx1 = std::min(mask.width - 1, static_cast<int>(std::max(x0, x1) + reach));
  const int by0 = std::max(0, static_cast<int>(std::min(y0, y1) - reach));
  const int by1 = std::min(mask.height - 1, static_cast<int>(std::max(y0, y1) + reach));
  for (int y = by0; y <= by1; ++y) {
    for (int x = bx0; x <= bx1; ++x) {
      const float px = static_cast<float>(x) + 0.5f - x0;
      const float py = static_cast<float>(y) + 0.5f - y0;
      const float t = clamp01((px * dx + py * dy) / len2);
      const float d = std::hypot(px - t * dx, py - t * dy);
      const float m = clamp01((half_width + softness - d) / std::max(softness, 0.5f));
      mask.ref(x, y) = std::max(mask.ref(x, y), m);
    }
  }
}

}  // namespace showdata
