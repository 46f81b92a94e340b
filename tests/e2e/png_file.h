#pragma once
// A PNG written by the program, read back as RGBA.

#include <stb/stb_image.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <vector>

namespace e2e {

struct Png {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgba;

  // Red, green, blue of pixel (x, y).
  std::array<int, 3> at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(x)) *
                          4;
    return {rgba[i], rgba[i + 1], rgba[i + 2]};
  }
};

inline Png read_png(const std::filesystem::path& path) {
  Png png;
  int channels = 0;
  unsigned char* pixels = stbi_load(path.c_str(), &png.width, &png.height, &channels, 4);
  if (pixels != nullptr) {
    png.rgba.assign(pixels, pixels + static_cast<std::size_t>(png.width) * png.height * 4);
    stbi_image_free(pixels);
  }
  return png;
}

}  // namespace e2e
