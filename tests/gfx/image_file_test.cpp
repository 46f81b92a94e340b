// Image loading against the BMP Suite (public domain, see the corpus README)
// and files written here.

#include "gfx/image_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "showdata/bmp_writer.h"

namespace fs = std::filesystem;

namespace {

fs::path suite(const char* folder) {
  return fs::path(PLOVERMIX_CORPUS_DIR) / "bmp" / "bmpsuite" / folder;
}

std::vector<fs::path> files_in(const fs::path& folder) {
  std::vector<fs::path> out;
  for (const auto& entry : fs::directory_iterator(folder)) {
    out.push_back(entry.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

struct Px {
  int r, g, b, a;
};

Px at(const Image& image, std::uint32_t x, std::uint32_t y) {
  const std::size_t i = (static_cast<std::size_t>(y) * image.width + x) * 4;
  return Px{image.rgba[i], image.rgba[i + 1], image.rgba[i + 2], image.rgba[i + 3]};
}

// The reference picture read straight from rgb24.bmp's bytes: 24-bit,
// bottom-up rows of 384 bytes from offset 54.
Px reference(std::uint32_t x, std::uint32_t y) {
  static const std::vector<char> bytes = [] {
    std::ifstream in(suite("g") / "rgb24.bmp", std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
  }();
  const std::size_t i = 54 + static_cast<std::size_t>(63 - y) * 384 + x * 3;
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes.at(k)); };
  return Px{byte(i + 2), byte(i + 1), byte(i), 255};
}

}  // namespace

class BmpSuite : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(suite("g"))) {
      GTEST_SKIP() << "no BMP Suite at " << suite("g");
    }
  }
};

TEST_F(BmpSuite, EveryGoodFileLoadsWithItsSizeAndColours) {
  for (const fs::path& file : files_in(suite("g"))) {
    const std::string name = file.filename().string();
    Image image;
    std::string error;
    ASSERT_TRUE(load_image_file(file.string(), image, error)) << name << ": " << error;
    const std::uint32_t expected_width = name == "pal8w124.bmp"   ? 124
                                         : name == "pal8w125.bmp" ? 125
                                         : name == "pal8w126.bmp" ? 126
                                                                  : 127;
    const std::uint32_t expected_height = name == "pal8nonsquare.bmp" ? 32
                                          : name == "pal8w124.bmp"    ? 61
                                          : name == "pal8w125.bmp"    ? 62
                                          : name == "pal8w126.bmp"    ? 63
                                                                      : 64;
    EXPECT_EQ(image.width, expected_width) << name;
    EXPECT_EQ(image.height, expected_height) << name;
    ASSERT_EQ(image.rgba.size(), static_cast<std::size_t>(image.width) * image.height * 4);
    for (std::uint32_t y = 0; y < image.height; y += 3) {
      for (std::uint32_t x = 0; x < image.width; x += 3) {
        ASSERT_EQ(at(image, x, y).a, 255) << name << " is opaque";
      }
    }
  }
}

// Each layout of one picture decodes to the same pixels as its plain form:
// the truecolour files to rgb24.bmp (16-bit ones within their 5-bit steps),
// the 8-bit and 4-bit palette files to their uncompressed bottom-up form.
TEST_F(BmpSuite, EveryLayoutOfAPictureGivesTheSamePixels) {
  struct Group {
    const char* reference;
    std::vector<const char*> files;
    int tolerance;
  };
  const Group groups[] = {
      {"rgb24.bmp", {"rgb24pal.bmp", "rgb32.bmp", "rgb32bf.bmp", "rgb32bfdef.bmp"}, 0},
      {"rgb24.bmp", {"rgb16.bmp", "rgb16bfdef.bmp", "rgb16-565.bmp", "rgb16-565pal.bmp"}, 8},
      {"pal8.bmp",
       {"pal8-0.bmp", "pal8os2.bmp", "pal8rle.bmp", "pal8topdown.bmp", "pal8v4.bmp", "pal8v5.bmp"},
       0},
      {"pal4.bmp", {"pal4rle.bmp"}, 0},
      {"pal1.bmp", {"pal1wb.bmp"}, 255},  // same shapes, other palette: size only
  };
  // Sample colours of the reference picture, read straight from rgb24.bmp's bytes.
  Image rgb24;
  std::string error;
  ASSERT_TRUE(load_image_file((suite("g") / "rgb24.bmp").string(), rgb24, error));
  for (std::uint32_t y = 0; y < 64; y += 9) {
    for (std::uint32_t x = 0; x < 127; x += 11) {
      const Px got = at(rgb24, x, y), want = reference(x, y);
      ASSERT_TRUE(got.r == want.r && got.g == want.g && got.b == want.b) << x << "," << y;
    }
  }
  for (const Group& group : groups) {
    Image base;
    ASSERT_TRUE(load_image_file((suite("g") / group.reference).string(), base, error));
    for (const char* name : group.files) {
      Image image;
      ASSERT_TRUE(load_image_file((suite("g") / name).string(), image, error)) << name;
      ASSERT_EQ(image.width, base.width) << name;
      ASSERT_EQ(image.height, base.height) << name;
      int worst = 0;
      for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::uint32_t x = 0; x < image.width; ++x) {
          const Px a = at(image, x, y), b = at(base, x, y);
          worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        }
      }
      EXPECT_LE(worst, group.tolerance) << name << " against " << group.reference;
    }
  }
}

TEST_F(BmpSuite, BadFilesAreRefusedAndQuestionableOnesNeverCrash) {
  for (const char* folder : {"b", "q"}) {
    for (const fs::path& file : files_in(suite(folder))) {
      Image image;
      std::string error;
      const bool loaded = load_image_file(file.string(), image, error);
      // Absurd density or size fields and an all-zero blue mask harm nothing: those
      // files may load. Every other bad file is refused with a reason.
      const std::string name = file.filename().string();
      const bool harmless = name == "badbitssize.bmp" || name == "baddens1.bmp" ||
                            name == "baddens2.bmp" || name == "badfilesize.bmp" ||
                            name == "rgb16-880.bmp";
      if (std::string(folder) == "b" && !harmless) {
        EXPECT_FALSE(loaded) << name << " should be refused";
        EXPECT_FALSE(error.empty()) << name;
      }
      if (loaded) {
        EXPECT_EQ(image.rgba.size(), static_cast<std::size_t>(image.width) * image.height * 4);
      }
    }
  }
}

TEST(ImageFile, MissingEmptyAndForeignFilesAreRefused) {
  const fs::path dir = fs::temp_directory_path();
  Image image;
  std::string error;
  EXPECT_FALSE(load_image_file((dir / "plovermix_no_such_image.bmp").string(), image, error));
  EXPECT_NE(error.find("cannot open"), std::string::npos);
  const fs::path empty = dir / "plovermix_empty.bmp";
  std::ofstream(empty).close();
  EXPECT_FALSE(load_image_file(empty.string(), image, error));
  const fs::path text = dir / "plovermix_text.png";
  std::ofstream(text) << "this is not an image at all";
  EXPECT_FALSE(load_image_file(text.string(), image, error));
  EXPECT_EQ(image.width, 0u) << "nothing half-made";
}

TEST(ImageFile, TruncatedBmpIsRefusedAndColourKeyClearsMatchingTexels) {
  showdata::RgbImage picture(3, 2, showdata::Rgb{10, 20, 30});
  picture.set(1, 0, showdata::Rgb{0, 0, 0});
  const std::vector<std::uint8_t> bytes = showdata::encode_bmp(picture);
  Image image;
  std::string error;
  ASSERT_TRUE(decode_bmp(bytes.data(), bytes.size(), image, error)) << error;
  EXPECT_FALSE(decode_bmp(bytes.data(), bytes.size() - 1, image, error));
  ASSERT_TRUE(decode_bmp(bytes.data(), bytes.size(), image, error));
  apply_color_key(image, 0xFF000000u);
  const Px keyed = at(image, 1, 0), kept = at(image, 0, 0);
  EXPECT_EQ(keyed.r + keyed.g + keyed.b + keyed.a, 0) << "transparent black";
  EXPECT_EQ(kept.r, 10);
  EXPECT_EQ(kept.b, 30);
  EXPECT_EQ(kept.a, 255);
  // A key whose alpha differs matches nothing: the whole ARGB value is compared.
  ASSERT_TRUE(decode_bmp(bytes.data(), bytes.size(), image, error));
  apply_color_key(image, 0x00000000u);
  EXPECT_EQ(at(image, 1, 0).a, 255);
}

// PNG, TGA and JPG files (the formats .3ds scenes name) go through stb_image.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-conversion"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#endif
#include <stb/stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

TEST(ImageFile, PngTgaAndJpgLoadWithTheirSizeAndColours) {
  // 3 x 2: red, green, blue / white, black, half-transparent grey.
  const std::uint8_t pixels[] = {255, 0,   0,   255, 0, 255, 0, 255, 0,   0,   255, 255,
                                 255, 255, 255, 255, 0, 0,   0, 255, 128, 128, 128, 64};
  const fs::path dir = fs::temp_directory_path();
  const std::string png = (dir / "plovermix_image.png").string();
  const std::string tga = (dir / "plovermix_image.tga").string();
  const std::string jpg = (dir / "plovermix_image.jpg").string();
  ASSERT_NE(stbi_write_png(png.c_str(), 3, 2, 4, pixels, 12), 0);
  ASSERT_NE(stbi_write_tga(tga.c_str(), 3, 2, 4, pixels), 0);
  ASSERT_NE(stbi_write_jpg(jpg.c_str(), 3, 2, 4, pixels, 100), 0);
  for (const std::string& path : {png, tga}) {
    Image image;
    std::string error;
    ASSERT_TRUE(load_image_file(path, image, error)) << path << ": " << error;
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_TRUE(std::equal(std::begin(pixels), std::end(pixels), image.rgba.begin())) << path;
  }
  Image image;
  std::string error;
  ASSERT_TRUE(load_image_file(jpg, image, error)) << error;
  EXPECT_EQ(image.width, 3u);
  EXPECT_EQ(image.height, 2u);
  EXPECT_EQ(at(image, 2, 1).a, 255) << "JPG has no alpha: opaque";
}

// Inputs stb_image 2.27 mishandles are refused before it sees them: a JPEG
// Huffman table of more than 256 codes (it writes past the table), a PNG data
// chunk declaring 1.7 GB in a file of 119 bytes, and a header declaring far
// more pixels than the file holds (it allocates and fills them all).
// Well-compressed real pictures still load.
TEST(ImageFile, InputsTheDecoderMishandlesAreRefusedFirst) {
  Image image;
  std::string error;
  EXPECT_FALSE(load_image_file(PLOVERMIX_SOURCE_DIR
                               "/fuzz/regressions/image/jpeg_huffman_counts_over_256.jpg",
                               image, error));
  EXPECT_NE(error.find("Huffman"), std::string::npos) << error;
  EXPECT_FALSE(load_image_file(
      PLOVERMIX_SOURCE_DIR "/fuzz/regressions/image/png_data_chunk_past_end.png", image, error));
  EXPECT_NE(error.find("runs past the end"), std::string::npos) << error;

  const fs::path dir = fs::temp_directory_path();
  const fs::path tga = dir / "plovermix_huge.tga";
  // Uncompressed true-colour, 8192 x 8192 x 32 bits, then two bytes of pixels.
  const unsigned char header[] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 32, 32, 0, 1, 2};
  std::ofstream(tga, std::ios::binary).write(reinterpret_cast<const char*>(header), sizeof header);
  EXPECT_FALSE(load_image_file(tga.string(), image, error));
  EXPECT_NE(error.find("more pixels"), std::string::npos) << error;

  const std::string png = (dir / "plovermix_flat.png").string();
  const std::vector<std::uint8_t> flat(1024 * 1024 * 4, 200);
  ASSERT_NE(stbi_write_png(png.c_str(), 1024, 1024, 4, flat.data(), 1024 * 4), 0);
  ASSERT_TRUE(load_image_file(png, image, error)) << error;
  EXPECT_EQ(image.width, 1024u);
}
