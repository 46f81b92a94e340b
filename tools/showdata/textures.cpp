#include "showdata/textures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "showdata/raster.h"

namespace showdata {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

float fx(int v) { return static_cast<float>(v); }

// Light from one side of a round object: u = 0.62 faces the cameras that look
// along +x from the -x side, a little to the left.
float side_light(float u) {
  return 0.5f + 0.5f * (0.5f + 0.5f * std::cos(2.0f * kPi * (u - 0.62f)));
}

template <typename F>
RgbImage draw(int w, int h, F&& f) {
  RgbImage img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.set(x, y, f(x, y));
  return img;
}

}  // namespace

RgbImage shaded_marble(Rgb base, Rgb vein, unsigned seed) {
  return draw(256, 256, [&](int x, int y) {
    const float u = fx(x) / 256.0f;
    const float v = fx(y) / 256.0f;
    const float n = fbm(u * 4.0f, v * 4.0f, 4, 4, seed);
    // Thin veins where a turbulent sine crosses zero.
    const float wave = std::abs(std::sin((u * 3.0f + v * 2.0f + n * 2.5f) * kPi));
    const Rgb c = mix(base, vein, std::exp(-wave * 30.0f) * 0.5f);
    // v runs from the foot (0) to the top (1) of a turned piece.
    return scaled(c, side_light(u) * (0.75f + 0.25f * v));
  });
}

RgbImage checker_board() {
  return draw(512, 512, [](int x, int y) {
    const bool light = ((x / 64) + (y / 64)) % 2 == 0;
    const float n = fbm(fx(x) / 64.0f, fx(y) / 64.0f, 8, 4, light ? 11u : 12u);
    const Rgb base = light ? Rgb{225, 215, 195} : Rgb{40, 36, 48};
    const Rgb vein = light ? Rgb{170, 160, 150} : Rgb{90, 80, 110};
    Rgb c = mix(base, vein, std::exp(-std::abs(n - 0.5f) * 40.0f) * 0.6f);
    const int ex = x % 64;
    const int ey = y % 64;
    if (ex < 2 || ey < 2 || ex > 61 || ey > 61) c = scaled(c, 0.7f);
    return c;
  });
}

RgbImage wood() {
  return draw(256, 256, [](int x, int y) {
    const float n = fbm(fx(x) / 32.0f, fx(y) / 128.0f, 8, 3, 21u);
    const float rings = 0.5f + 0.5f * std::sin((fx(y) / 9.0f + n * 6.0f));
    return mix({90, 45, 20}, {170, 100, 50}, rings * 0.8f + 0.1f);
  });
}

// Glass box faces: a bright rim and a faint body, since the boxes are added
// onto the frame.
RgbImage glass_glow(Rgb tint) {
  return draw(128, 128, [&](int x, int y) {
    const float dx = std::abs(fx(x) - 63.5f) / 63.5f;
    const float dy = std::abs(fx(y) - 63.5f) / 63.5f;
    const float edge = std::max(dx, dy);
    const float rim = std::pow(edge, 10.0f);
    const float body = 0.18f + 0.12f * (1.0f - fx(y) / 127.0f);
    return mix(scaled(tint, body), {255, 255, 255}, rim * 0.9f);
  });
}

// The hall's floor, written as PNG: the texture loader takes more than BMP.
RgbImage floor_tiles() {
  return draw(256, 256, [](int x, int y) {
    const float n = fbm(fx(x) / 32.0f, fx(y) / 32.0f, 8, 4, 31u);
    Rgb c = mix({30, 32, 44}, {70, 74, 96}, n);
    if (x % 128 < 3 || y % 128 < 3) c = {16, 16, 22};
    return c;
  });
}

RgbImage column_stone() {
  return draw(128, 256, [](int x, int y) {
    const float u = fx(x) / 128.0f;
    const float n = fbm(u * 4.0f, fx(y) / 64.0f, 4, 4, 41u);
    const float flute = 0.8f + 0.2f * std::abs(std::sin(u * 12.0f * kPi));
    return scaled(mix({150, 140, 130}, {210, 200, 185}, n), side_light(u) * flute);
  });
}

RgbImage tunnel_wall() {
  return draw(256, 256, [](int x, int y) {
    const float n = fbm(fx(x) / 32.0f, fx(y) / 32.0f, 8, 4, 51u);
    Rgb c = mix({60, 70, 90}, {130, 140, 160}, n);
    const int px = x % 64;
    const int py = y % 128;
    if (px < 3 || py < 3) c = {20, 24, 30};  // panel seams
    if (x >= 120 && x < 136) {
      // A light strip along the tunnel, broken every panel.
      c = (py > 16 && py < 112) ? Rgb{200, 240, 255} : Rgb{40, 50, 60};
    }
    if (py > 50 && py < 78 && px > 20 && px < 44) c = mix(c, {255, 150, 60}, 0.5f);  // warm lamps
    return c;
  });
}

RgbImage rib_metal() {
  return draw(128, 128, [](int x, int y) {
    const float n = fbm(fx(x) / 16.0f, fx(y) / 16.0f, 8, 3, 61u);
    Rgb c = mix({90, 90, 100}, {170, 170, 185}, n);
    if (x % 32 < 4) c = {255, 180, 60};  // hazard marks round the rib
    return c;
  });
}

RgbImage basin() {
  return draw(128, 128, [](int x, int y) {
    const float d = std::hypot(fx(x) - 63.5f, fx(y) - 63.5f) / 63.5f;
    const float ring = 0.5f + 0.5f * std::cos(d * 6.0f * kPi);
    return mix({40, 60, 110}, {150, 220, 255}, ring * (1.0f - d * 0.5f));
  });
}

RgbImage node_sphere() {
  return draw(128, 64, [](int x, int y) {
    const float u = fx(x) / 128.0f;
    const float v = fx(y) / 63.0f;
    const float shade = side_light(u + 0.38f) * (0.5f + 0.5f * std::sin(v * kPi));
    const bool band = (y / 8) % 2 == 0 && y > 16 && y < 48;
    return scaled(band ? Rgb{120, 255, 200} : Rgb{40, 160, 255}, 0.3f + 0.9f * shade);
  });
}

RgbImage link_glow() {
  return draw(64, 64, [](int x, int y) {
    const float pulse = 0.5f + 0.5f * std::sin(fx(y) / 64.0f * 4.0f * kPi);
    const float u = fx(x) / 64.0f;
    return scaled(mix({255, 140, 40}, {255, 240, 200}, pulse), 0.4f + 0.6f * side_light(u + 0.38f));
  });
}

RgbImage rust_metal() {
  return draw(256, 256, [](int x, int y) {
    const float u = fx(x) / 256.0f;
    const float n = fbm(u * 8.0f, fx(y) / 32.0f, 8, 5, 71u);
    const float rust = std::pow(fbm(u * 4.0f, fx(y) / 64.0f, 4, 4, 72u), 2.0f) * 2.0f;
    // Dark and rich: the white fog lightens everything.
    Rgb c = mix({40, 44, 52}, {80, 84, 92}, n);
    c = mix(c, {110, 40, 15}, rust);
    return scaled(c, side_light(u));
  });
}

RgbImage corrugated() {
  return draw(256, 256, [](int x, int y) {
    const float ridge = 0.6f + 0.4f * std::sin(fx(x) / 256.0f * 16.0f * 2.0f * kPi);
    const float n = fbm(fx(x) / 32.0f, fx(y) / 32.0f, 8, 4, 81u);
    return scaled(mix({40, 55, 75}, {70, 90, 115}, n), ridge);
  });
}

RgbImage tank_paint() {
  return draw(256, 256, [](int x, int y) {
    const float u = fx(x) / 256.0f;
    const float n = fbm(u * 8.0f, fx(y) / 32.0f, 8, 4, 91u);
    Rgb c = mix({30, 80, 60}, {50, 110, 85}, n);
    if (y % 64 < 4) c = {20, 40, 30};                               // welded seams
    if (y > 96 && y < 128 && (x / 16) % 2 == 0) c = {200, 60, 30};  // warning band
    return scaled(c, side_light(u));
  });
}

RgbImage plant_floor() {
  return draw(256, 256, [](int x, int y) {
    const float n = fbm(fx(x) / 32.0f, fx(y) / 32.0f, 8, 5, 101u);
    Rgb c = mix({22, 22, 26}, {48, 46, 46}, n);
    if (x % 64 < 2 || y % 64 < 2) c = {12, 12, 12};
    if ((x + y) % 32 < 3 && x % 64 > 56) c = {210, 180, 40};
    return c;
  });
}

RgbImage reactor_glow() {
  return draw(64, 256, [](int x, int y) {
    const float band = 0.5f + 0.5f * std::sin(fx(y) / 256.0f * 12.0f * kPi);
    const float u = fx(x) / 64.0f;
    return scaled(mix({20, 80, 160}, {180, 240, 255}, band), 0.5f + 0.5f * side_light(u));
  });
}

RgbImage text_atlas(const Font& font, const std::vector<std::string>& lines, int columns,
                    int cell_w, int cell_h, Rgb top, Rgb bottom, Rgb glow) {
  const int rows = (static_cast<int>(lines.size()) + columns - 1) / columns;
  int height = 1;
  while (height < rows * cell_h) height *= 2;
  RgbImage img(columns * cell_w, height);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int cx = static_cast<int>(i) % columns * cell_w;
    const int cy = static_cast<int>(i) / columns * cell_h;
    // The largest size that fits the cell, with a margin for the glow.
    float px = fx(cell_h) * 0.55f;
    while (px > 8.0f && font.text_width(lines[i], px) > fx(cell_w) * 0.9f) px -= 1.0f;
    TextStyle style;
    style.top = top;
    style.bottom = bottom;
    style.glow = glow;
    style.glow_radius = 6;
    const int y = cy + (cell_h - static_cast<int>(px * 1.2f)) / 2;
    // A frame round each cell so the panel reads as a sign.
    Mask frame(cell_w, cell_h);
    soft_line(frame, 6.0f, 6.0f, fx(cell_w) - 6.0f, 6.0f, 1.0f, 1.0f);
    soft_line(frame, 6.0f, fx(cell_h) - 6.0f, fx(cell_w) - 6.0f, fx(cell_h) - 6.0f, 1.0f, 1.0f);
    paint_mask(img, frame, cx, cy, [&](int, int) { return scaled(glow, 1.4f); });
    draw_text(img, font, lines[i], px, cx + cell_w / 2, y, style, true);
  }
  return img;
}

RgbImage glow_grid(Rgb line) {
  return draw(128, 128, [&](int x, int y) {
    const float dx = std::min(fx(x % 128), fx(128 - x % 128));
    const float dy = std::min(fx(y % 128), fx(128 - y % 128));
    const float d = std::min(dx, dy);
    return scaled(line, std::exp(-d * 0.35f) + 0.04f);
  });
}

RgbImage star() {
  return draw(32, 32, [](int x, int y) {
    const float d = std::hypot(fx(x) - 15.5f, fx(y) - 15.5f) / 15.5f;
    return scaled({200, 220, 255}, std::exp(-d * d * 10.0f) * 1.2f);
  });
}

}  // namespace showdata
