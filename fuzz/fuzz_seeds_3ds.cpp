// Writes the starting inputs of fuzz_load3ds into the folder given: whole scenes
// and the broken variants the writer can make.
#include <cstdio>
#include <string>

#include "showdata/writer3ds.h"

using namespace writer3ds;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
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

  const auto whole = build_file(scene);
  int written = 0;
  const auto save = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
    written += write_file(folder + "/" + name, bytes) ? 1 : 0;
  };
  save("scene.3ds", whole);
  save("cut_half.3ds", truncated(whole, whole.size() / 2));
  save("cut_header.3ds", truncated(whole, 4));
  Chunk wrong = build_main(scene);
  wrong.find(CHUNK_VERTICES)->set_length(3);
  save("short_length.3ds", wrong.bytes());
  Chunk huge = build_main(scene);
  huge.find(CHUNK_FACES)->set_length(0x7FFFFFF0u);
  save("huge_length.3ds", huge.bytes());
  SceneDesc no_editor = scene;
  no_editor.write_editor = false;
  save("no_editor.3ds", build_file(no_editor));
  std::printf("%d seed files written to %s\n", written, folder.c_str());
  return written == 6 ? 0 : 1;
}
