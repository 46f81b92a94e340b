#pragma once
// Reading one named mesh object of a .3ds file, piece by piece. Each
// operation rewinds the reader and navigates from the start of the file; the
// progress texts go to standard output.
//
//   loadVertexList(file, name)             a new list, or none
//   loadFaceList(file, name, vertices)     a new list, or none
//   loadMapping(file, name, vertices)      0, or 1 to 5: the step that failed
//   loadTexture(file, name, texture)       0, or 1 to 12: the step that failed
// The Mesh3d loading constructor runs them in that order (mesh3d.h).

#include <memory>

#include "format3ds/chunk_file.h"
#include "scene/mesh_model.h"
#include "scene/mesh_texture.h"

std::unique_ptr<VertexList> loadVertexList(ChunkFile& file, const char* name);
std::unique_ptr<FaceList> loadFaceList(ChunkFile& file, const char* name, VertexList* vertices);
int loadMapping(ChunkFile& file, const char* name, VertexList* vertices);
int loadTexture(ChunkFile& file, const char* name, std::unique_ptr<MeshTexture>& texture);
