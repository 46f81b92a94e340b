#pragma once
// What each fuzz target does with one input. The libFuzzer targets call these,
// and so does the unit tier's replay of fuzz/regressions/<name>/, so a kept
// input runs exactly as it did when it was found. Each returns 0; a fault
// shows as a crash or a sanitizer report, never as a result.
//
//   fuzz_load3ds   the bytes as a .3ds: every mesh in two vertex formats, every light
//   fuzz_camera    the bytes as a .3ds: the show's cameras, placed over the frame range
//   fuzz_scene     the bytes as a .3ds, loaded and drawn as the show does, textures included
//   fuzz_image     the bytes as a texture image file of any format we read

#include <cstddef>
#include <cstdint>

int fuzz_load3ds(const std::uint8_t* data, std::size_t size);
int fuzz_camera(const std::uint8_t* data, std::size_t size);
int fuzz_scene(const std::uint8_t* data, std::size_t size);
int fuzz_image(const std::uint8_t* data, std::size_t size);

struct FuzzEntry {
  const char* name;  // the target is fuzz_<name>; its kept inputs are in regressions/<name>/
  int (*run)(const std::uint8_t* data, std::size_t size);
};

inline constexpr FuzzEntry FUZZ_ENTRIES[] = {
    {"load3ds", fuzz_load3ds},
    {"camera", fuzz_camera},
    {"scene", fuzz_scene},
    {"image", fuzz_image},
};
