#pragma once
// Reading one named mesh object of a .3ds file, piece by piece. Each
// operation rewinds the reader and navigates from the start of the file; the
// progress texts go to standard output.
//
//   loadVertexList(file, name)             a new list, or none
//   loadFaceList(file, name, vertices)     a new list, or none
//   loadMapping(file, name, vertices)      MESH_LOADED, or the step that failed
//   loadTexture(file, name, texture, images)  MESH_LOADED, or the step that
//                                          failed; the image is found in `images`
// The Mesh3d loading constructor runs them in that order (mesh3d.h).

#include <memory>

#include "format3ds/chunk_file.h"
#include "format3ds/object_lookup.h"
#include "scene/mesh_model.h"
#include "scene/mesh_texture.h"

// Results of loadMapping and loadTexture. Up to the mesh chunk the two walk
// the same way (1 to 3 are the object lookup's own codes); past it each
// importer numbers its steps from 5, so 5 has one meaning for each.
enum MeshImportResult : int {
  MESH_LOADED = OBJECT_FOUND,
  MESH_NO_MAIN = OBJECT_NO_MAIN,
  MESH_NO_EDITOR = OBJECT_NO_EDITOR,
  MESH_OBJECT_NOT_FOUND = OBJECT_NOT_FOUND,
  MESH_NO_TRIMESH = 4,
  // loadMapping
  MAPPING_NO_COORDINATES = 5,
  // loadTexture; 11 and 12 come from its second pass, through the materials
  TEXTURE_NO_FACES = 5,
  TEXTURE_NO_FACE_MATERIAL = 6,
  TEXTURE_MATERIAL_NOT_FOUND = 7,
  TEXTURE_MATERIAL_WITHOUT_NAME = 8,
  TEXTURE_NO_MAP_FILE = 9,
  TEXTURE_NO_TEXTURE_MAP = 10,
  TEXTURE_MATERIALS_NO_MAIN = 11,
  TEXTURE_MATERIALS_NO_EDITOR = 12,
};

std::unique_ptr<VertexList> loadVertexList(ChunkFile& file, const char* name);
std::unique_ptr<FaceList> loadFaceList(ChunkFile& file, const char* name, VertexList* vertices);
MeshImportResult loadMapping(ChunkFile& file, const char* name, VertexList* vertices);
MeshImportResult loadTexture(ChunkFile& file, const char* name,
                             std::unique_ptr<MeshTexture>& texture, const DataFolder& images);
