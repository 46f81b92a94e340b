#pragma once
// Text as coverage masks, through stb_truetype and a TrueType font file.
//
//   Font::load      reads a .ttf; false with the reason in error() when it cannot
//   text_mask       the text's coverage, `px` pixels high, `pad` empty pixels around
//   text_width      advance width in pixels
//   draw_text       text with a vertical colour gradient and an optional glow

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "showdata/raster.h"

namespace showdata {

// The generator's text face: Debian's fonts-dejavu-core.
inline constexpr const char* kDefaultFontPath =
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

class Font {
 public:
  Font();
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  bool load(const std::string& path);
  const std::string& error() const { return error_; }
  bool loaded() const { return info_ != nullptr; }

  float text_width(std::string_view text, float px) const;
  Mask text_mask(std::string_view text, float px, int pad = 0) const;

 private:
  struct Info;
  std::vector<unsigned char> data_;
  std::unique_ptr<Info> info_;
  std::string error_;
};

struct TextStyle {
  Rgb top{255, 255, 255};
  Rgb bottom{255, 255, 255};
  Rgb glow{};
  int glow_radius = 0;
  float glow_strength = 1.0f;
  Rgb shadow{};  // dark rim around the letters; black (the default) means none
  int shadow_radius = 0;
};

// Draws `text` with the top-left corner of its line box at (x, y). With
// centre_x set, x is the centre of the line instead.
void draw_text(RgbImage& image, const Font& font, std::string_view text, float px, int x, int y,
               const TextStyle& style, bool centre_x = false);

}  // namespace showdata
