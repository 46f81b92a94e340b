// libFuzzer target: any bytes as a .3ds file, through the chunk reader and
// every importer the show runs on it (meshes in each vertex format, with the
// normal computation, textures, lights).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "format3ds/chunk_file.h"
#include "format3ds/object_lookup.h"
#include "scene/light3d.h"
#include "scene/mesh3d.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ChunkFile file(std::vector<std::uint8_t>(data, data + size));
  if (const auto names = meshNames(file)) {
    for (const std::string& name : *names) {
      for (DWORD format : {FVF_XYZ_DIFFUSE, FVF_XYZ_NORMAL_DIFFUSE_TEX1}) {
        Mesh3d mesh(file, name.c_str(), format);
        mesh.setAmbient(1.0f, 1.0f, 1.0f);
      }
    }
  }
  if (const auto names = lightNames(file)) {
    for (const std::string& name : *names) loadLight(file, name.c_str());
  }
  // A name that is nowhere: every scan runs to the end.
  Mesh3d absent(file, "\x01", FVF_XYZ_DIFFUSE_TEX1);
  return 0;
}
