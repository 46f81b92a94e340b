#pragma once
// 24-bit images in memory and their BMP encoding. The data generator draws into
// RgbImage; tests write their BMP fixtures through the same encoder.
//
//   RgbImage            width x height, RGB, rows top-down
//   encode_bmp          uncompressed 24-bit BMP bytes (bottom-up rows, padded to 4)
//   write_bmp           encode_bmp into a file; false when it cannot be written

#include <cstdint>
#include <string>
#include <vector>

namespace showdata {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

class RgbImage {
 public:
  RgbImage() = default;
  RgbImage(int width, int height, Rgb fill = {});

  int width() const { return width_; }
  int height() const { return height_; }
  // Out-of-range reads give black and out-of-range writes do nothing, so
  // drawing code can run past the edges.
  Rgb at(int x, int y) const;
  void set(int x, int y, Rgb c);
  const std::vector<std::uint8_t>& bytes() const { return rgb_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> rgb_;
};

std::vector<std::uint8_t> encode_bmp(const RgbImage& image);
bool write_bmp(const std::string& path, const RgbImage& image);

}  // namespace showdata
