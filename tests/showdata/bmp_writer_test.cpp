// The BMP encoder: header fields, row order and padding, read back by stb_image.
#include "showdata/bmp_writer.h"

#include <gtest/gtest.h>
#include <stb_image.h>

namespace showdata {
namespace {

std::uint32_t u32_at(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(BmpWriter, HeaderAndPaddedBottomUpRows) {
  RgbImage image(3, 2);
  image.set(0, 0, {255, 0, 0});  // top left: red
  image.set(2, 1, {0, 0, 255});  // bottom right: blue
  const auto bytes = encode_bmp(image);
  // 3 pixels of 3 bytes make 9, padded to 12 per row.
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(u32_at(bytes, 2), bytes.size());
  EXPECT_EQ(u32_at(bytes, 10), 54u);
  EXPECT_EQ(u32_at(bytes, 18), 3u);  // width, read by the overlays
  EXPECT_EQ(u32_at(bytes, 22), 2u);  // height, positive: bottom-up
  EXPECT_EQ(bytes[28], 24);
  // First stored row is the bottom one, pixels in B, G, R order.
  EXPECT_EQ(bytes[54 + 6], 255);       // blue of bottom-right pixel
  EXPECT_EQ(bytes[54 + 12 + 2], 255);  // red of top-left pixel
  EXPECT_EQ(bytes[54 + 9], 0);         // padding
}

TEST(BmpWriter, ReadsBackThroughAnotherDecoder) {
  RgbImage image(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      image.set(x, y, {static_cast<std::uint8_t>(x * 50), static_cast<std::uint8_t>(y * 100), 7});
  const auto bytes = encode_bmp(image);
  int w = 0, h = 0, n = 0;
  unsigned char* px =
      stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &n, 3);
  ASSERT_NE(px, nullptr);
  ASSERT_EQ(w, 5);
  ASSERT_EQ(h, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      const unsigned char* p = px + (y * 5 + x) * 3;
      EXPECT_EQ((Rgb{p[0], p[1], p[2]}), image.at(x, y)) << x << "," << y;
    }
  stbi_image_free(px);
}

TEST(BmpWriter, OutOfRangeAccessIsHarmless) {
  RgbImage image(2, 2, {9, 9, 9});
  image.set(-1, 0, {1, 1, 1});
  image.set(2, 2, {1, 1, 1});
  EXPECT_EQ(image.at(5, 5), Rgb{});
  EXPECT_EQ(image.at(1, 1), (Rgb{9, 9, 9}));
}

}  // namespace
}  // namespace showdata
