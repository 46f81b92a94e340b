// Every record read is guarded against the end of the data: a cut file keeps
// the records read before the cut and never reads past it.
#include "scene/mesh_import.h"

#include <cstdio>
#include <cstring>

#include "scene/mesh3d.h"
#include "shell/base/log.h"

namespace {

// The 16-bit counts are signed: a negative count reads nothing.
int readCount(ChunkFile& file) {
  std::int16_t count = 0;
  file.readI16(count);
  return count;
}

}  // namespace

std::unique_ptr<VertexList> loadVertexList(ChunkFile& file, const char* name) {
  if (findObject(file, name, {.sections = true, .object_name = true}) != OBJECT_FOUND) {
    return nullptr;
  }
  if (file.findChunk(CHUNK_TRIMESH) == -1 || file.findChunk(CHUNK_VERTICES) == -1) return nullptr;
  const int count = readCount(file);
  auto vertices = std::make_unique<VertexList>(count);
  std::printf("\nnbvert:%d", count);
  std::fflush(stdout);
  for (int i = 0; i < count; ++i) {
    float x = 0, y = 0, z = 0;
    if (!file.readFloat(x) || !file.readFloat(y) || !file.readFloat(z)) break;
    vertices->add(std::make_unique<vertex3d>(x, y, z));
  }
  std::printf("\n");
  return vertices;
}

std::unique_ptr<FaceList> loadFaceList(ChunkFile& file, const char* name, VertexList* vertices) {
  // Faces cannot be bound to corners without vertices: not read at all.
  if (!vertices) return nullptr;
  if (findObject(file, name, {.sections = true, .object_found = true, .object_name = true}) !=
      OBJECT_FOUND) {
    return nullptr;
  }
  if (file.findChunk(CHUNK_TRIMESH) == -1 || file.findChunk(CHUNK_FACES) == -1) return nullptr;
  const int count = readCount(file);
  auto faces = std::make_unique<FaceList>(count);
  for (int i = 0; i < count; ++i) {
    std::uint16_t index[3] = {0, 0, 0};
    std::uint16_t flags = 0;
    if (!file.readU16(index[0]) || !file.readU16(index[1]) || !file.readU16(index[2]) ||
        !file.readU16(flags)) {
      break;
    }
    // A face naming a vertex that does not exist is rejected: it is not
    // stored and registers with no vertex, so face references keep counting
    // positions in the list as stored.
    if (index[0] >= vertices->getCount() || index[1] >= vertices->getCount() ||
        index[2] >= vertices->getCount()) {
      continue;
    }
    const std::int32_t position = faces->getCount();
    vertex3d* corners[3] = {(*vertices)[index[0]], (*vertices)[index[1]], (*vertices)[index[2]]};
    faces->add(std::make_unique<face3d>(corners[0], corners[1], corners[2]));
    for (vertex3d* corner : corners) corner->addFaceRef(position);
  }
  std::printf("\n");
  return faces;
}

MeshImportResult loadMapping(ChunkFile& file, const char* name, VertexList* vertices) {
  // The lookup's codes are the first of ours, value for value.
  if (const ObjectLookup found = findObject(file, name, {}); found != OBJECT_FOUND) {
    return static_cast<MeshImportResult>(found);
  }
  if (file.findChunk(CHUNK_TRIMESH) == -1) return MESH_NO_TRIMESH;
  if (file.findChunk(CHUNK_MAPPING) == -1) return MAPPING_NO_COORDINATES;
  const int count = readCount(file);
  // Entries beyond the vertex count have no vertex to go to: not stored.
  const int stored = vertices ? std::min(count, vertices->getCount()) : 0;
  for (int i = 0; i < stored; ++i) {
    float u = 0, v = 0;
    if (!file.readFloat(u) || !file.readFloat(v)) break;
    // Wraps [-1, 0) into [0, 1).
    (*vertices)[i]->u = u < 0.0f ? u + 1.0f : u;
    (*vertices)[i]->v = v < 0.0f ? v + 1.0f : v;
  }
  std::printf("\n");
  return MESH_LOADED;
}

MeshImportResult loadTexture(ChunkFile& file, const char* name,
                             std::unique_ptr<MeshTexture>& texture, const DataFolder& images) {
  if (const ObjectLookup found = findObject(file, name, {.object_found = true});
      found != OBJECT_FOUND) {
    return static_cast<MeshImportResult>(found);
  }
  if (file.findChunk(CHUNK_TRIMESH) == -1) return MESH_NO_TRIMESH;
  if (file.findChunk(CHUNK_FACES) == -1) return TEXTURE_NO_FACES;
  const int face_count = readCount(file);
  if (face_count > 0) file.seek(std::int64_t{face_count} * 8);
  if (file.findChunk(CHUNK_FACE_MATERIAL) == -1) return TEXTURE_NO_FACE_MATERIAL;
  char material[CHUNK_NAME_SIZE];
  file.readName(material);

  file.rewind();
  if (file.findChunk(CHUNK_MAIN) == -1) return TEXTURE_MATERIALS_NO_MAIN;
  if (file.findChunk(CHUNK_EDITOR) == -1) return TEXTURE_MATERIALS_NO_EDITOR;
  for (;;) {
    if (file.findChunk(CHUNK_MATERIAL) == -1) return TEXTURE_MATERIAL_NOT_FOUND;
    if (file.findChunk(CHUNK_MATERIAL_NAME) == -1) return TEXTURE_MATERIAL_WITHOUT_NAME;
    char candidate[CHUNK_NAME_SIZE];
    file.readName(candidate);
    if (std::strcmp(candidate, material) == 0) break;
  }
  if (file.findChunk(CHUNK_TEXTURE_MAP) == -1) return TEXTURE_NO_TEXTURE_MAP;
  if (file.findChunk(CHUNK_MAP_FILE) == -1) return TEXTURE_NO_MAP_FILE;
  char image[CHUNK_NAME_SIZE];
  file.readName(image);
  texture = std::make_unique<MeshTexture>(images, image);
  return MESH_LOADED;
}

Mesh3d::Mesh3d(const char* file, const char* object, DWORD format, const DataFolder& images) {
  ChunkFile reader(file);
  load(reader, object, format, images);
}

Mesh3d::Mesh3d(ChunkFile& reader, const char* object, DWORD format, const DataFolder& images) {
  load(reader, object, format, images);
}

void Mesh3d::load(ChunkFile& reader, const char* object, DWORD format, const DataFolder& images) {
  vertices_ = loadVertexList(reader, object);
  if (!vertices_) write_log("\n%s : Vertex list load problem", object);
  faces_ = loadFaceList(reader, object, vertices_.get());
  if (!faces_) write_log("\n%s : Face list load problem", object);
  if (format == FVF_XYZ_NORMAL_DIFFUSE_TEX1 || format == FVF_XYZ_DIFFUSE_TEX1) {
    if (loadMapping(reader, object, vertices_.get()) != MESH_LOADED) {
      write_log("\n%s : Mapping coordinates load problem", object);
    }
    if (loadTexture(reader, object, texture_, images) != MESH_LOADED) {
      write_log("\n%s : Texture Load problem", object);
    }
  }
  // Lit meshes need vertex normals, which no chunk of the file carries.
  if (format == FVF_XYZ_NORMAL_DIFFUSE_TEX1) computeNormals();
  vertexFormat = format;
  setName(object);
}
