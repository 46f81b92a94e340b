#pragma once
// One mesh of a scene: its vertex and face lists, texture record, name,
// vertex format and blending.
//
//   Mesh3d(file, object, format, images)   loads the named object, its texture
//                                  image found in `images` (mesh_import.cpp)
//   Mesh3d(reader, object, format, images)  the same from an open ChunkFile
//   Mesh3d(vertices, faces, format) from lists built by hand
//   setName, getName (nullptr when none)
//   setBlend(src, dest), blendOn, blendOff
//   setAmbient, setDiffuse, setSpecular, setEmissive, setPower   the material
//   computeNormals                face normals, then averaged vertex normals
//   draw(), draw(format)          mesh_draw.cpp
//   dumpVertices, dumpFaces       to the log

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "format3ds/chunk_file.h"
#include "gfx/d3d_types.h"
#include "scene/mesh_model.h"
#include "scene/mesh_texture.h"

class Mesh3d {
 public:
  Mesh3d(const char* file, const char* object, DWORD format, const DataFolder& images);
  // The same from a reader already open (each piece rewinds it).
  Mesh3d(ChunkFile& file, const char* object, DWORD format, const DataFolder& images);
  Mesh3d(std::unique_ptr<VertexList> vertices, std::unique_ptr<FaceList> faces, DWORD format);
  ~Mesh3d();
  Mesh3d(const Mesh3d&) = delete;
  Mesh3d& operator=(const Mesh3d&) = delete;

  void setName(const char* name);
  const char* getName() const { return name_ ? name_->c_str() : nullptr; }

  void setBlend(std::int32_t src, std::int32_t dest);
  void blendOn() { blendEnabled = 1; }
  void blendOff() { blendEnabled = 0; }

  // Forwarded to the texture record; a mesh whose texture import failed gets
  // a record without texture, so that it still carries its material.
  void setAmbient(float r, float g, float b) { textureRecord().setAmbient(r, g, b); }
  void setDiffuse(float r, float g, float b) { textureRecord().setDiffuse(r, g, b); }
  void setSpecular(float r, float g, float b) { textureRecord().setSpecular(r, g, b); }
  void setEmissive(float r, float g, float b) { textureRecord().setEmissive(r, g, b); }
  void setPower(float power) { textureRecord().setPower(power); }

  // Per face: the normalised cross product (B - A) x (C - A) as a DX vector.
  // Per vertex: the plain average of the normals of its first faceRefCount
  // faces, not normalised again; (0, 0, 0) for a vertex used by no face.
  void computeNormals();

  HRESULT draw() { return draw(vertexFormat); }
  HRESULT draw(DWORD format);

  void dumpVertices() const;
  void dumpFaces() const;

  VertexList* getVertexList() const { return vertices_.get(); }
  FaceList* getFaceList() const { return faces_.get(); }
  MeshTexture* getTexture() const { return texture_.get(); }
  void setTexture(std::unique_ptr<MeshTexture> texture) { texture_ = std::move(texture); }

  DWORD vertexFormat = 0;
  std::int32_t srcBlend = D3DBLEND_ONE;
  std::int32_t destBlend = D3DBLEND_ZERO;
  std::int32_t blendEnabled = 0;
  std::int32_t visible = 1;

 private:
  void load(ChunkFile& reader, const char* object, DWORD format, const DataFolder& images);
  MeshTexture& textureRecord();

  std::optional<std::string> name_;
  // The destructor releases them in the order name, vertices, faces, texture.
  std::unique_ptr<MeshTexture> texture_;
  std::unique_ptr<FaceList> faces_;
  std::unique_ptr<VertexList> vertices_;
};
