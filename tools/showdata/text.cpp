#include "showdata/text.h"

#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace showdata {

struct Font::Info {
  stbtt_fontinfo font{};
};

Font::Font() = default;
Font::~Font() = default;

bool Font::load(const std::string& path) {
  info_.reset();
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error_ = "cannot open the font " + path + " (Debian package fonts-dejavu-core)";
    return false;
  }
  data_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  auto info = std::make_unique<Info>();
  const int offset = stbtt_GetFontOffsetForIndex(data_.data(), 0);
  if (offset < 0 || !stbtt_InitFont(&info->font, data_.data(), offset)) {
    error_ = "not a TrueType font: " + path;
    return false;
  }
  info_ = std::move(info);
  error_.clear();
  return true;
}

namespace {

// Text is ASCII; any other byte is drawn as a question mark.
int codepoint(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 128 ? u : '?';
}

}  // namespace

float Font::text_width(std::string_view text, float px) const {
  if (!info_) return 0.0f;
  const float scale = stbtt_ScaleForPixelHeight(&info_->font, px);
  float width = 0.0f;
  for (std::size_t i = 0; i < text.size(); ++i) {
    int advance = 0;
    int bearing = 0;
    stbtt_GetCodepointHMetrics(&info_->font, codepoint(text[i]), &advance, &bearing);
    width += static_cast<float>(advance) * scale;
    if (i + 1 < text.size())
      width += scale * static_cast<float>(stbtt_GetCodepointKernAdvance(
                           &info_->font, codepoint(text[i]), codepoint(text[i + 1])));
  }
  return width;
}

Mask Font::text_mask(std::string_view text, float px, int pad) const {
  if (!info_) return Mask(2 * pad, 2 * pad);
  const float scale = stbtt_ScaleForPixelHeight(&info_->font, px);
  int ascent = 0;
  int descent = 0;
  int gap = 0;
  stbtt_GetFontVMetrics(&info_->font, &ascent, &descent, &gap);
  const int baseline = static_cast<int>(std::lround(static_cast<float>(ascent) * scale));
  const int height =
      static_cast<int>(std::ceil(static_cast<float>(ascent - descent) * scale)) + 2 * pad;
  const int width = static_cast<int>(std::ceil(text_width(text, px))) + 2 + 2 * pad;
  Mask mask(width, height);

  float pen = static_cast<float>(pad);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int cp = codepoint(text[i]);
    const float shift = pen - std::floor(pen);
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    stbtt_GetCodepointBitmapBoxSubpixel(&info_->font, cp, scale, scale, shift, 0.0f, &x0, &y0, &x1,
                                        &y1);
    const int gw = x1 - x0;
    const int gh = y1 - y0;
    if (gw > 0 && gh > 0) {
      std::vector<unsigned char> glyph(static_cast<std::size_t>(gw) * gh);
      stbtt_MakeCodepointBitmapSubpixel(&info_->font, glyph.data(), gw, gh, gw, scale, scale, shift,
                                        0.0f, cp);
      const int gx = static_cast<int>(std::floor(pen)) + x0;
      const int gy = pad + baseline + y0;
      for (int y = 0; y < gh; ++y) {
        for (int x = 0; x < gw; ++x) {
          const int mx = gx + x;
          const int my = gy + y;
          if (mx < 0 || my < 0 || mx >= width || my >= height) continue;
          float& m = mask.ref(mx, my);
          m = std::min(1.0f, m + glyph[static_cast<std::size_t>(y) * gw + x] / 255.0f);
        }
      }
    }
    int advance = 0;
    int bearing = 0;
    stbtt_GetCodepointHMetrics(&info_->font, cp, &advance, &bearing);
    pen += static_cast<float>(advance) * scale;
    if (i + 1 < text.size())
      pen += scale * static_cast<float>(
                         stbtt_GetCodepointKernAdvance(&info_->font, cp, codepoint(text[i + 1])));
  }
  return mask;
}

void draw_text(RgbImage& image, const Font& font, std::string_view text, float px, int x, int y,
               const TextStyle& style, bool centre_x) {
  const int pad = std::max(style.glow_radius, style.shadow_radius) + 2;
  const Mask mask = font.text_mask(text, px, pad);
  const int ox = (centre_x ? x - (mask.width - 2 * pad) / 2 : x) - pad;
  const int oy = y - pad;
  if (style.shadow_radius > 0 && style.shadow != Rgb{}) {
    const Mask rim = blur(mask, style.shadow_radius);
    Mask strong = rim;
    for (float& v : strong.v) v = std::min(1.0f, v * 2.5f);
    paint_mask(image, strong, ox, oy, [&](int, int) { return style.shadow; });
  }
  if (style.glow_radius > 0) {
    Mask halo = blur(mask, style.glow_radius);
    for (float& v : halo.v) v *= style.glow_strength;
    glow_mask(image, halo, ox, oy, [&](int, int) { return style.glow; });
  }
  const float top = static_cast<float>(oy + pad);
  const float span = std::max(1.0f, static_cast<float>(mask.height - 2 * pad));
  paint_mask(image, mask, ox, oy, [&](int, int py) {
    return mix(style.top, style.bottom, (static_cast<float>(py) - top) / span);
  });
}

}  // namespace showdata
