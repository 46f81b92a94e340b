#pragma once
// Finding named objects of a .3ds file, shared by the mesh, light and scene
// loaders.
//
//   findObject(file, name, texts)   rewinds and stops at the object's first
//                                    sub-chunk; OBJECT_FOUND or the failed step
//   meshNames(file), lightNames(file)   names of the objects holding a mesh
//                                    or a light, in file order

#include <optional>
#include <string>
#include <vector>

#include "format3ds/chunk_file.h"

// Where the navigation stopped; the numbers are the importers' result codes.
enum ObjectLookup : int {
  OBJECT_FOUND = 0,
  OBJECT_NO_MAIN = 1,
  OBJECT_NO_EDITOR = 2,
  OBJECT_NOT_FOUND = 3,
};

// The progress texts each importer writes on the way to its object.
struct LookupTexts {
  bool sections = false;      // "\n4D4D trouve", "\n3D3D trouve"
  bool object_found = false;  // "\n0x4000 trouve" before each name is read
  bool object_name = false;   // "\nobject name : %s" and a flush after each name
};

ObjectLookup findObject(ChunkFile& file, const char* name, LookupTexts texts);

// No value when the file has no CHUNK_MAIN or CHUNK_EDITOR. The list ends
// with its last name (no empty entry is stored), so an object with an empty
// name does not cut the list short.
std::optional<std::vector<std::string>> meshNames(ChunkFile& file);
std::optional<std::vector<std::string>> lightNames(ChunkFile& file);
