#pragma once
// Images from files for textures, in place of the utility library's texture
// creators: BMP (every common layout, RLE included) with our own reader, and
// JPG, TGA, PNG through stb_image.
//
//   load_image_file(path, image, error)    true with image filled, or false and a reason
//   decode_bmp(bytes, size, image, error)  the BMP reader on bytes in memory
//   apply_color_key(image, key)            texels equal to key become transparent black

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/d3d_types.h"

// Pixels as RGBA bytes, top row first. Images without alpha are opaque.
struct Image {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> rgba;
};

// Larger sides are refused: no texture of the show comes near, and a corrupt
// header must not make us allocate gigabytes.
constexpr std::uint32_t MAX_IMAGE_SIDE = 8192;

bool load_image_file(const std::string& path, Image& image, std::string& error);
bool decode_bmp(const std::uint8_t* bytes, std::size_t size, Image& image, std::string& error);
void apply_color_key(Image& image, D3DCOLOR key);
