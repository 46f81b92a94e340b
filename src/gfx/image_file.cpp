#include "gfx/image_file.h"

#include <stb/stb_image.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

namespace {

// Image files of the show are at most a few megabytes; anything far larger is refused
// before it is read.
constexpr long MAX_FILE_BYTES = 256L * 1024 * 1024;

// No format we read packs more than about 1032 pixels into one byte (deflate's
// limit; JPEG and run-length TGA pack far fewer). stb_image allocates and
// fills the whole image its header declares before it finds the data
// missing, so a header alone must not make a few bytes cost 256 MB.
constexpr std::uint64_t MAX_PIXELS_PER_BYTE = 1100;

// Bounds-checked little-endian reads over the file's bytes.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool has(std::size_t offset, std::size_t count) const {
    return offset <= size_ && count <= size_ - offset;
  }
  std::uint8_t u8(std::size_t offset) const { return has(offset, 1) ? data_[offset] : 0; }
  std::uint16_t u16(std::size_t offset) const {
    return static_cast<std::uint16_t>(u8(offset) | u8(offset + 1) << 8);
  }
  std::uint32_t u32(std::size_t offset) const {
    return static_cast<std::uint32_t>(u16(offset)) | static_cast<std::uint32_t>(u16(offset + 2))
                                                         << 16;
  }
  std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
  std::size_t size() const { return size_; }
  const std::uint8_t* at(std::size_t offset) const { return data_ + offset; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

struct Rgba {
  std::uint8_t r, g, b, a;
};

// One channel of a BITFIELDS layout: where it sits and how wide it is.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (mask != 0) {
      shift = std::countr_zero(mask);
      max = mask >> shift;
    }
  }
  std::uint8_t read(std::uint32_t pixel, std::uint8_t missing) const {
    if (mask == 0) {
      return missing;
    }
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
  }
};

enum Compression : std::uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

struct BmpHeader {
  std::uint32_t pixel_offset = 0;
  std::uint32_t header_size = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool top_down = false;
  std::uint32_t planes = 0;
  std::uint32_t bits = 0;
  std::uint32_t compression = BI_RGB;
  std::uint32_t colors_used = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // r g b a
  std::size_t palette_offset = 0;
  std::uint32_t palette_entry = 4;
};

bool read_header(const Bytes& in, BmpHeader& h, std::string& error) {
  if (!in.has(0, 26) || in.u8(0) != 'B' || in.u8(1) != 'M') {
    error = "not a BMP file";
    return false;
  }
  h.pixel_offset = in.u32(10);
  h.header_size = in.u32(14);
  if (h.header_size == 12) {
    h.width = in.u16(18);
    h.height = in.u16(20);
    h.planes = in.u16(22);
    h.bits = in.u16(24);
    h.palette_entry = 3;
  } else if (h.header_size == 40 || h.header_size == 52 || h.header_size == 56 ||
             h.header_size == 108 || h.header_size == 124) {
    if (!in.has(14, h.header_size)) {
      error = "truncated BMP header";
      return false;
    }
    h.width = in.i32(18);
    h.height = in.i32(22);
    h.planes = in.u16(26);
    h.bits = in.u16(28);
    h.compression = in.u32(30);
    h.colors_used = in.u32(46);
    if (h.header_size >= 52 || h.compression == BI_BITFIELDS) {
      // A 40-byte header keeps its masks right after it.
      for (int i = 0; i < (h.header_size >= 56 ? 4 : 3); ++i) {
        h.masks[i] = in.u32(54 + 4 * static_cast<std::size_t>(i));
      }
    }
  } else {
    error = "unsupported BMP header size " + std::to_string(h.header_size);
    return false;
  }
  h.palette_offset = 14 + h.header_size;
  if (h.header_size == 40 && h.compression == BI_BITFIELDS) {
    h.palette_offset += 12;
  }
  if (h.height < 0) {
    h.top_down = true;
    h.height = -h.height;
  }
  if (h.planes != 1) {
    error = "BMP planes is not 1";
    return false;
  }
  if (h.width <= 0 || h.height <= 0 || h.width > MAX_IMAGE_SIDE || h.height > MAX_IMAGE_SIDE) {
    error = "BMP size out of range";
    return false;
  }
  const bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
  const bool layout_ok =
      (h.compression == BI_RGB && (h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 ||
                                   h.bits == 24 || h.bits == 32)) ||
      (h.compression == BI_RLE8 && h.bits == 8) || (h.compression == BI_RLE4 && h.bits == 4) ||
      (h.compression == BI_BITFIELDS && (h.bits == 16 || h.bits == 32));
  if (!layout_ok) {
    error = "unsupported BMP bit depth or compression";
    return false;
  }
  if (rle && h.top_down) {
    error = "top-down RLE BMP";
    return false;
  }
  if (h.pixel_offset >= in.size()) {
    error = "BMP pixel data missing";
    return false;
  }
  return true;
}

bool read_palette(const Bytes& in, const BmpHeader& h, std::vector<Rgba>& palette,
                  std::string& error) {
  if (h.bits > 8) {
    return true;
  }
  const std::uint32_t most = 1u << h.bits;
  std::uint32_t count = h.colors_used == 0 ? most : h.colors_used;
  if (count > most) {
    error = "BMP palette larger than its bit depth allows";
    return false;
  }
  if (h.palette_entry == 3) {
    // Old headers give no count: the palette fills the space before the pixels.
    const std::size_t room =
        h.pixel_offset > h.palette_offset ? (h.pixel_offset - h.palette_offset) / 3 : 0;
    count = static_cast<std::uint32_t>(std::min<std::size_t>(most, room));
  }
  if (count == 0 || !in.has(h.palette_offset, static_cast<std::size_t>(count) * h.palette_entry)) {
    error = "BMP palette missing";
    return false;
  }
  palette.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = h.palette_offset + static_cast<std::size_t>(i) * h.palette_entry;
    palette[i] = Rgba{in.u8(at + 2), in.u8(at + 1), in.u8(at), 255};
  }
  return true;
}

std::uint8_t* pixel_at(Image& image, std::uint32_t x, std::uint32_t row_from_bottom) {
  const std::uint32_t y = image.height - 1 - row_from_bottom;
  return image.rgba.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
}

void put(std::uint8_t* p, Rgba c) {
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
  p[3] = c.a;
}

bool decode_uncompressed(const Bytes& in, const BmpHeader& h, const std::vector<Rgba>& palette,
                         Image& image, std::string& error) {
  const std::size_t stride = (static_cast<std::size_t>(h.width) * h.bits + 31) / 32 * 4;
  if (!in.has(h.pixel_offset, stride * image.height)) {
    error = "truncated BMP pixel data";
    return false;
  }
  std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
  if (h.compression == BI_RGB && h.bits == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
    masks[3] = 0;
  } else if (h.compression == BI_RGB && h.bits == 32) {
    // The fourth byte of BI_RGB pixels is unused: such images are opaque.
    masks[0] = 0x00FF0000;
    masks[1] = 0x0000FF00;
    masks[2] = 0x000000FF;
    masks[3] = 0;
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  for (std::uint32_t r = 0; r < image.height; ++r) {
    const std::uint8_t* row = in.at(h.pixel_offset + stride * r);
    const std::uint32_t row_from_bottom = h.top_down ? image.height - 1 - r : r;
    for (std::uint32_t x = 0; x < image.width; ++x) {
      std::uint8_t* out = pixel_at(image, x, row_from_bottom);
      if (h.bits <= 8) {
        const std::size_t bit = static_cast<std::size_t>(x) * h.bits;
        const unsigned shift = 8 - h.bits - (bit % 8);
        const std::uint32_t index = (row[bit / 8] >> shift) & ((1u << h.bits) - 1);
        if (index >= palette.size()) {
          error = "BMP pixel index outside its palette";
          return false;
        }
        put(out, palette[index]);
      } else if (h.bits == 24) {
        put(out, Rgba{row[x * 3 + 2], row[x * 3 + 1], row[x * 3], 255});
      } else {
        const std::uint32_t px = h.bits == 16
                                     ? static_cast<std::uint32_t>(row[x * 2] | row[x * 2 + 1] << 8)
                                     : static_cast<std::uint32_t>(row[x * 4]) |
                                           static_cast<std::uint32_t>(row[x * 4 + 1]) << 8 |
                                           static_cast<std::uint32_t>(row[x * 4 + 2]) << 16 |
                                           static_cast<std::uint32_t>(row[x * 4 + 3]) << 24;
        put(out, Rgba{red.read(px, 0), green.read(px, 0), blue.read(px, 0), alpha.read(px, 255)});
      }
    }
  }
  return true;
}

bool decode_rle(const Bytes& in, const BmpHeader& h, const std::vector<Rgba>& palette, Image& image,
                std::string& error) {
  // Pixels the stream never reaches take the first palette colour.
  for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
    put(image.rgba.data() + i, palette[0]);
  }
  const bool four = h.compression == BI_RLE4;
  std::size_t at = h.pixel_offset;
  std::uint32_t x = 0, y = 0;
  const auto emit = [&](std::uint32_t index) {
    if (x >= image.width || y >= image.height || index >= palette.size()) {
      return false;
    }
    put(pixel_at(image, x, y), palette[index]);
    ++x;
    return true;
  };
  while (true) {
    if (!in.has(at, 2)) {
      error = "truncated RLE data";
      return false;
    }
    const std::uint32_t count = in.u8(at);
    const std::uint32_t value = in.u8(at + 1);
    at += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t index = four ? (i % 2 == 0 ? value >> 4 : value & 15) : value;
        if (!emit(index)) {
          error = "RLE run past the image";
          return false;
        }
      }
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (!in.has(at, 2)) {
        error = "truncated RLE data";
        return false;
      }
      x += in.u8(at);
      y += in.u8(at + 1);
      at += 2;
    } else {
      const std::uint32_t bytes = four ? (value + 1) / 2 : value;
      if (!in.has(at, bytes)) {
        error = "truncated RLE data";
        return false;
      }
      for (std::uint32_t i = 0; i < value; ++i) {
        const std::uint8_t byte = in.u8(at + (four ? i / 2 : i));
        const std::uint32_t index = four ? (i % 2 == 0 ? byte >> 4 : byte & 15u) : byte;
        if (!emit(index)) {
          error = "RLE run past the image";
          return false;
        }
      }
      at += (bytes + 1) / 2 * 2;  // absolute runs are padded to 16 bits
    }
  }
}

bool read_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (file == nullptr) {
    error = "cannot open " + path;
    return false;
  }
  if (std::fseek(file.get(), 0, SEEK_END) != 0) {
    error = "cannot read " + path;
    return false;
  }
  const long size = std::ftell(file.get());
  if (size < 0 || size > MAX_FILE_BYTES || std::fseek(file.get(), 0, SEEK_SET) != 0) {
    error = "cannot read " + path;
    return false;
  }
  bytes.resize(static_cast<std::size_t>(size));
  if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    error = "cannot read " + path;
    return false;
  }
  return true;
}

// stb_image 2.27 (Debian's libstb-dev) writes past its Huffman tables when a
// JPEG's table declares more than 256 codes (fixed in 2.28). The decoder
// takes a table from wherever it meets the bytes FF C4, so every such place
// is read as a table definition, the way the decoder reads it (bytes past the
// end as zeros), and the file is refused if any would overflow.
bool jpeg_tables_fit(const Bytes& in) {
  for (std::size_t at = 0; at + 1 < in.size(); ++at) {
    if (in.u8(at) != 0xFF || in.u8(at + 1) != 0xC4) {
      continue;
    }
    std::size_t read = at + 2;
    int left = (in.u8(read) << 8 | in.u8(read + 1)) - 2;
    read += 2;
    while (left > 0 && read < in.size()) {
      const std::uint8_t table = in.u8(read++);
      if (table >> 4 > 1 || (table & 15) > 3) {
        break;  // the decoder stops here too
      }
      int codes = 0;
      for (int i = 0; i < 16; ++i) {
        codes += in.u8(read++);
      }
      if (codes > 256) {
        return false;
      }
      read += static_cast<std::size_t>(codes);
      left -= 17 + codes;
    }
  }
  return true;
}

// The decoder takes a JPEG after any run of fill bytes 0xFF before its
// start-of-image marker, so the check must too.
bool starts_as_jpeg(const std::vector<std::uint8_t>& bytes) {
  std::size_t at = 0;
  while (at < bytes.size() && bytes[at] == 0xFF) {
    ++at;
  }
  return at > 0 && at < bytes.size() && bytes[at] == 0xD8;
}

// Two image-data chunks stb_image 2.27 mishandles, walked as the decoder
// walks the chunks, each by its length: an empty first one is copied into a
// buffer not made yet (memcpy to a null pointer), and one whose length runs
// past the file is given a buffer of that length (up to 4 GB) before its
// bytes are found missing. Returns why the file is refused, or nothing.
const char* png_data_chunk_fault(const Bytes& in) {
  const auto big_endian = [&](std::size_t at) {
    return static_cast<std::uint32_t>(in.u8(at)) << 24 |
           static_cast<std::uint32_t>(in.u8(at + 1)) << 16 |
           static_cast<std::uint32_t>(in.u8(at + 2)) << 8 | in.u8(at + 3);
  };
  bool first_data = true;
  for (std::size_t at = 8; in.has(at, 8);) {
    const std::uint32_t length = big_endian(at);
    const std::uint32_t type = big_endian(at + 4);
    if (type == 0x49454E44u) {  // IEND
      break;
    }
    if (type == 0x49444154u) {  // IDAT
      if (first_data && length == 0) {
        return "PNG whose first image data chunk is empty";
      }
      if (!in.has(at + 8, length)) {
        return "PNG image data chunk runs past the end of the file";
      }
      first_data = false;
    }
    at += 12 + static_cast<std::size_t>(length);
  }
  return nullptr;
}

}  // namespace

bool decode_bmp(const std::uint8_t* data, std::size_t size, Image& image, std::string& error) {
  const Bytes in(data, size);
  BmpHeader h;
  std::vector<Rgba> palette;
  if (!read_header(in, h, error) || !read_palette(in, h, palette, error)) {
    return false;
  }
  Image made;
  made.width = static_cast<std::uint32_t>(h.width);
  made.height = static_cast<std::uint32_t>(h.height);
  made.rgba.resize(static_cast<std::size_t>(made.width) * made.height * 4);
  const bool ok = h.compression == BI_RLE8 || h.compression == BI_RLE4
                      ? decode_rle(in, h, palette, made, error)
                      : decode_uncompressed(in, h, palette, made, error);
  if (!ok) {
    return false;
  }
  image = std::move(made);
  return true;
}

bool load_image_file(const std::string& path, Image& image, std::string& error) {
  std::vector<std::uint8_t> bytes;
  if (!read_file(path, bytes, error)) {
    return false;
  }
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    return decode_bmp(bytes.data(), bytes.size(), image, error);
  }
  if (bytes.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    error = "image file too large";
    return false;
  }
  if (starts_as_jpeg(bytes) && !jpeg_tables_fit(Bytes(bytes.data(), bytes.size()))) {
    error = "cannot decode " + path + ": JPEG Huffman table of more than 256 codes";
    return false;
  }
  static constexpr std::uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes.size() >= 8 && std::memcmp(bytes.data(), PNG_SIGNATURE, 8) == 0) {
    if (const char* fault = png_data_chunk_fault(Bytes(bytes.data(), bytes.size()))) {
      error = "cannot decode " + path + ": " + fault;
      return false;
    }
  }
  int width = 0, height = 0, channels = 0;
  if (stbi_info_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width, &height,
                            &channels) != 0 &&
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) >
          MAX_PIXELS_PER_BYTE * bytes.size()) {
    error = "cannot decode " + path + ": more pixels declared than its data can hold";
    return false;
  }
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &width,
                                          &height, &channels, 4);
  if (pixels == nullptr) {
    error = std::string("cannot decode ") + path + ": " + stbi_failure_reason();
    return false;
  }
  std::unique_ptr<stbi_uc, void (*)(void*)> owned(pixels, &stbi_image_free);
  if (width <= 0 || height <= 0 || static_cast<std::uint32_t>(width) > MAX_IMAGE_SIDE ||
      static_cast<std::uint32_t>(height) > MAX_IMAGE_SIDE) {
    error = "image size out of range";
    return false;
  }
  image.width = static_cast<std::uint32_t>(width);
  image.height = static_cast<std::uint32_t>(height);
  image.rgba.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
  return true;
}

void apply_color_key(Image& image, D3DCOLOR key) {
  const std::uint8_t a = static_cast<std::uint8_t>(key >> 24);
  const std::uint8_t r = static_cast<std::uint8_t>(key >> 16);
  const std::uint8_t g = static_cast<std::uint8_t>(key >> 8);
  const std::uint8_t b = static_cast<std::uint8_t>(key);
  for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
    std::uint8_t* p = image.rgba.data() + i;
    if (p[0] == r && p[1] == g && p[2] == b && p[3] == a) {
      p[0] = p[1] = p[2] = p[3] = 0;
    }
  }
}
