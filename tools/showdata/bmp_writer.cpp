#include "showdata/bmp_writer.h"

#include <cstddef>
#include <fstream>

namespace showdata {

RgbImage::RgbImage(int width, int height, Rgb fill)
    : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0) {
  rgb_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
  for (std::size_t i = 0; i < rgb_.size(); i += 3) {
    rgb_[i] = fill.r;
    rgb_[i + 1] = fill.g;
    rgb_[i + 2] = fill.b;
  }
}

Rgb RgbImage::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
  return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

void RgbImage::set(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
  rgb_[i] = c.r;
  rgb_[i + 1] = c.g;
  rgb_[i + 2] = c.b;
}

namespace {

void put_u16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  put_u16(out, v & 0xFFFF);
  put_u16(out, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> encode_bmp(const RgbImage& image) {
  const auto w = static_cast<std::uint32_t>(image.width());
  const auto h = static_cast<std::uint32_t>(image.height());
  const std::uint32_t row_bytes = (w * 3 + 3) & ~3u;
  const std::uint32_t header_bytes = 14 + 40;
  const std::uint32_t pixel_bytes = row_bytes * h;

  std::vector<std::uint8_t> out;
  out.reserve(header_bytes + pixel_bytes);
  // File header: magic, file size, two reserved words, offset of the pixels.
  out.push_back('B');
  out.push_back('M');
  put_u32(out, header_bytes + pixel_bytes);
  put_u32(out, 0);
  put_u32(out, header_bytes);
  // BITMAPINFOHEADER: positive height means rows are stored bottom-up.
  put_u32(out, 40);
  put_u32(out, w);
  put_u32(out, h);
  put_u16(out, 1);   // planes
  put_u16(out, 24);  // bits per pixel
  put_u32(out, 0);   // BI_RGB
  put_u32(out, pixel_bytes);
  put_u32(out, 2835);  // 72 dpi, in pixels per metre
  put_u32(out, 2835);
  put_u32(out, 0);  // palette colours
  put_u32(out, 0);  // important colours

  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      const Rgb c = image.at(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    for (std::uint32_t pad = w * 3; pad < row_bytes; ++pad) out.push_back(0);
  }
  return out;
}

bool write_bmp(const std::string& path, const RgbImage& image) {
  const std::vector<std::uint8_t> bytes = encode_bmp(image);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace showdata
