#include "format3ds/object_lookup.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Rewinds and enters CHUNK_MAIN and CHUNK_EDITOR.
ObjectLookup enterEditor(ChunkFile& file, bool texts) {
  file.rewind();
  if (file.findChunk(CHUNK_MAIN) == -1) return OBJECT_NO_MAIN;
  if (texts) std::printf("\n4D4D trouve");
  if (file.findChunk(CHUNK_EDITOR) == -1) return OBJECT_NO_EDITOR;
  if (texts) std::printf("\n3D3D trouve");
  return OBJECT_FOUND;
}

// Names of the objects whose own sub-chunks hold `kind`.
std::optional<std::vector<std::string>> objectNames(ChunkFile& file, std::uint16_t kind) {
  if (enterEditor(file, false) != OBJECT_FOUND) return std::nullopt;
  std::vector<std::string> names;
  for (;;) {
    const std::int32_t length = file.findChunk(CHUNK_OBJECT);
    if (length == -1) break;
    const std::int64_t object_end = file.tell() + length - CHUNK_HEADER_SIZE;
    char name[CHUNK_NAME_SIZE];
    file.readName(name);
    // The scan never enters a skipped chunk, so this finds `kind` only among
    // the object's own sub-chunks, else runs to the end of the file.
    if (file.findChunk(kind) != -1) names.emplace_back(name);
    file.seekTo(object_end);
  }
  return names;
}

}  // namespace

ObjectLookup findObject(ChunkFile& file, const char* name, LookupTexts texts) {
  if (!name) name = "";  // no name: only an object with an empty name matches
  if (const ObjectLookup entered = enterEditor(file, texts.sections); entered != OBJECT_FOUND) {
    return entered;
  }
  for (;;) {
    if (file.findChunk(CHUNK_OBJECT) == -1) return OBJECT_NOT_FOUND;
    if (texts.object_found) std::printf("\n0x4000 trouve");
    char read_name[CHUNK_NAME_SIZE];
    file.readName(read_name);
    if (texts.object_name) {
      std::printf("\nobject name : %s", read_name);
      std::fflush(stdout);
    }
    if (std::strcmp(read_name, name) == 0) return OBJECT_FOUND;
  }
}

std::optional<std::vector<std::string>> meshNames(ChunkFile& file) {
  return objectNames(file, CHUNK_TRIMESH);
}

std::optional<std::vector<std::string>> lightNames(ChunkFile& file) {
  return objectNames(file, CHUNK_LIGHT);
}
