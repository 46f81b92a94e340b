// Writes the starting inputs of every fuzz target into FOLDER/<target>/: the
// .3ds files our writer makes (whole scenes, the show's stand-in scenes,
// broken variants), images in each format we read, and, when a folder of
// public test files is given, its .3ds files and small images.
#include <stb_image_write.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_entries.h"
#include "showdata/bmp_writer.h"
#include "showdata/scenes.h"
#include "showdata/writer3ds.h"

using namespace writer3ds;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Seeds {
  std::vector<std::pair<std::string, Bytes>> scenes;  // for every .3ds target
  std::vector<std::pair<std::string, Bytes>> images;
};

SceneDesc box_scene() {
  MeshDesc mesh;
  mesh.name = "Box01";
  mesh.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  mesh.faces = {{0, 1, 2}, {1, 3, 2}, {0, 0, 3}};
  mesh.mapping = {{0, 0}, {-0.5f, 0}, {0, 1.5f}, {1, 1}};
  mesh.materials = {{"Wood", {0, 1}}, {"Stone", {2}}};
  SceneDesc scene;
  scene.materials = {{"Wood", "wood.bmp"}, {"Stone", "s.png", CHUNK_SPECULAR_MAP}};
  scene.meshes = {mesh};
  mesh.name = "Line01";
  scene.meshes.push_back(mesh);
  scene.lights = {{"Omni01", {10, -5, 200}}};
  scene.cameras = {{"Camera01", {0, 0, -10}, {0, 0, 0}}};
  scene.frame_range = std::make_pair(0, 100);
  scene.tracks = {{"Camera01", {{0, {0, 0, -10}}, {50, {5, 0, -10}}}, {{0, {0, 0, 0}}}}};
  return scene;
}

void add_scenes(Seeds& seeds) {
  const SceneDesc scene = box_scene();
  const Bytes whole = build_file(scene);
  seeds.scenes.push_back({"scene.3ds", whole});
  seeds.scenes.push_back({"cut_half.3ds", truncated(whole, whole.size() / 2)});
  seeds.scenes.push_back({"cut_header.3ds", truncated(whole, 4)});
  Chunk wrong = build_main(scene);
  wrong.find(CHUNK_VERTICES)->set_length(3);
  seeds.scenes.push_back({"short_length.3ds", wrong.bytes()});
  Chunk huge = build_main(scene);
  huge.find(CHUNK_FACES)->set_length(0x7FFFFFF0u);
  seeds.scenes.push_back({"huge_length.3ds", huge.bytes()});
  SceneDesc no_editor = scene;
  no_editor.write_editor = false;
  seeds.scenes.push_back({"no_editor.3ds", build_file(no_editor)});

  // The camera paths the show's names find: tracks of one key, of unequal
  // lengths, keys announcing spline parameters, a frame range run backwards.
  SceneDesc flight = scene;
  const std::vector<PositionKey> four = {
      {0, {0, 0, -10}}, {10, {5, 0, -10}, 0x1F}, {20, {5, 5, -10}, 0x03}, {30, {0, 5, -10}}};
  flight.tracks = {{"Cam\xE9ra01", four, {{0, {0, 0, 0}}, {30, {1, 1, 1}}}},
                   {"Camera01", {{0, {0, 0, -10}}}, four}};
  seeds.scenes.push_back({"flight.3ds", build_file(flight)});
  flight.frame_range = std::make_pair(100, -2147483647 - 1);
  flight.tracks = {{"Camera01", four, four}};
  seeds.scenes.push_back({"backwards.3ds", build_file(flight)});
}

// The fuzzer mutates small files best: larger images are left out.
constexpr std::size_t MOST_IMAGE_BYTES = 64 * 1024;

void add_show_scenes(Seeds& seeds) {
  showdata::Font font;
  if (!font.load(showdata::kDefaultFontPath)) return;  // the scenes' textures need the font
  for (showdata::DataFile& file : showdata::make_scenes(font)) {
    if (file.name.ends_with(".3ds") || file.name.ends_with(".3DS")) {
      seeds.scenes.push_back({"show_" + file.name, std::move(file.bytes)});
    } else if (file.bytes.size() <= MOST_IMAGE_BYTES) {
      seeds.images.push_back({"show_" + file.name, std::move(file.bytes)});
    }
  }
}

void append(void* context, void* data, int size) {
  auto* out = static_cast<Bytes*>(context);
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

void add_images(Seeds& seeds) {
  constexpr int W = 7, H = 5;
  Bytes pixels(W * H * 4);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 37);
  for (int channels = 1; channels <= 4; ++channels) {
    Bytes png, tga, jpg;
    stbi_write_png_to_func(append, &png, W, H, channels, pixels.data(), W * channels);
    stbi_write_tga_with_rle = channels % 2;
    stbi_write_tga_to_func(append, &tga, W, H, channels, pixels.data());
    stbi_write_jpg_to_func(append, &jpg, W, H, channels, pixels.data(), 80);
    const std::string n = std::to_string(channels);
    seeds.images.push_back({"c" + n + ".png", png});
    seeds.images.push_back({"c" + n + ".tga", tga});
    seeds.images.push_back({"c" + n + ".jpg", jpg});
  }
  showdata::RgbImage bmp(W, H, {200, 10, 30});
  bmp.set(1, 1, {0, 0, 0});
  seeds.images.push_back({"rgb24.bmp", showdata::encode_bmp(bmp)});
}

void add_public(Seeds& seeds, const fs::path& corpus) {
  std::error_code error;
  for (const auto& entry : fs::recursive_directory_iterator(corpus, error)) {
    if (!entry.is_regular_file() || entry.file_size() > MOST_IMAGE_BYTES) continue;
    const std::string under = fs::relative(entry.path(), corpus).string();
    auto* list = under.starts_with("3ds/")   ? &seeds.scenes
                 : under.starts_with("bmp/") ? &seeds.images
                                             : nullptr;
    if (list == nullptr) continue;
    std::FILE* in = std::fopen(entry.path().c_str(), "rb");
    if (in == nullptr) continue;
    Bytes bytes(entry.file_size());
    const bool whole = std::fread(bytes.data(), 1, bytes.size(), in) == bytes.size();
    std::fclose(in);
    std::string name = "public_" + under;
    for (char& c : name) c = c == '/' ? '_' : c;
    if (whole) list->push_back({name, std::move(bytes)});
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s FOLDER [PUBLIC-TEST-FILES]\n", argv[0]);
    return 2;
  }
  Seeds seeds;
  add_scenes(seeds);
  add_show_scenes(seeds);
  add_images(seeds);
  if (argc == 3) add_public(seeds, argv[2]);
  int written = 0, failed = 0;
  for (const FuzzEntry& entry : FUZZ_ENTRIES) {
    const fs::path folder = fs::path(argv[1]) / entry.name;
    fs::create_directories(folder);
    const bool image = std::string(entry.name) == "image";
    for (const auto& [name, bytes] : image ? seeds.images : seeds.scenes) {
      (write_file((folder / name).string(), bytes) ? written : failed) += 1;
    }
  }
  std::printf("%d seed files written under %s\n", written, argv[1]);
  return failed == 0 ? 0 : 1;
}
