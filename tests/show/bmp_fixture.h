#pragma once
// BMP fixtures for the show's tests, through the data generator's encoder: an
// image of one colour, and the broken files the show must survive.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "showdata/bmp_writer.h"

// A 24-bit BMP filled with `rgb` (0xRRGGBB); a non-zero `header_width`
// replaces the width written in the header (the pixels still cover `width`).
inline std::vector<std::uint8_t> bmp_bytes(int width, int height, std::uint32_t rgb,
                                           std::int32_t header_width = 0) {
  const showdata::Rgb fill{static_cast<std::uint8_t>(rgb >> 16),
                           static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)};
  std::vector<std::uint8_t> bytes = showdata::encode_bmp(showdata::RgbImage(width, height, fill));
  if (header_width != 0) {
    for (std::size_t i = 0; i < 4; ++i) {  // little-endian at byte 18
      bytes[18 + i] =
          static_cast<std::uint8_t>(static_cast<std::uint32_t>(header_width) >> (8 * i));
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

// A fresh empty folder under the system's temporary folder, of this process
// and test alone (CTest runs tests side by side).
inline std::filesystem::path fresh_folder(const std::string& name) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string owner = std::to_string(getpid()) + "-" + (test != nullptr ? test->name() : "");
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / (name + "-" + owner);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}
