#pragma once
// Hand-made BMP files for tests: a 24-bit bottom-up image of one colour, and
// the broken files the show must survive.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

inline void put_le32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

// A 24-bit BMP filled with `rgb` (0xRRGGBB); `header_width` overrides the
// width written in the header (the pixels still cover `width`).
inline std::vector<std::uint8_t> bmp_bytes(int width, int height, std::uint32_t rgb,
                                           std::int32_t header_width = 0) {
  const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  const std::size_t pixels = row * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> bytes(54 + pixels, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  put_le32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  put_le32(bytes, 10, 54);
  put_le32(bytes, 14, 40);
  put_le32(bytes, 18, static_cast<std::uint32_t>(header_width != 0 ? header_width : width));
  put_le32(bytes, 22, static_cast<std::uint32_t>(height));
  bytes[26] = 1;   // planes
  bytes[28] = 24;  // bits per pixel
  put_le32(bytes, 34, static_cast<std::uint32_t>(pixels));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t at =
          54 + row * static_cast<std::size_t>(y) + static_cast<std::size_t>(x) * 3;
      bytes[at] = static_cast<std::uint8_t>(rgb);
      bytes[at + 1] = static_cast<std::uint8_t>(rgb >> 8);
      bytes[at + 2] = static_cast<std::uint8_t>(rgb >> 16);
    }
  }
  return bytes;
}

inline void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline void write_bmp(const std::filesystem::path& path, int width, int height, std::uint32_t rgb) {
  write_file(path, bmp_bytes(width, height, rgb));
}

// A fresh empty folder under the system's temporary folder.
inline std::filesystem::path fresh_folder(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}
