#pragma once
// The records of a mesh in memory: vertices, triangles whose corners point at
// those vertices, and the two fixed-capacity lists that own them.
//
//   vertex3d(x, y, z)           no face references yet
//   vertex3d::addFaceRef(i)     keeps the first three faces only
//   face3d(a, b, c)             corners into the same mesh's VertexList
//   VertexList / FaceList       add (0, or 1 when full), count, capacity, []
//   FaceList::buildVertexBuffer, drawBuffer   the device side (mesh_draw.cpp)
//   dump, dumpVertices, dumpFaces             to the log

#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/d3d_types.h"
#include "math/d3dx_vector.h"
#include "math/vector3d.h"

class VertexBuffer;

// A mesh is loaded and drawn with one of the FVF_XYZ_* codes (d3d_types.h),
// or with this one: its corners as one line strip, in FVF_XYZ_DIFFUSE records.
constexpr DWORD LINE_STRIP_MODE = 1;

struct vertex3d {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  // Zero until the mapping import sets them.
  float u = 0.0f, v = 0.0f;
  // Zero until the normal computation sets it.
  D3DXVECTOR3 normal;
  std::int32_t faceRefs[3] = {-1, -1, -1};
  std::int8_t faceRefCount = 0;

  vertex3d() = default;
  vertex3d(float px, float py, float pz) : x(px), y(py), z(pz) {}

  // Registers the face at index `face` of the FaceList; faces beyond the
  // third are not recorded.
  void addFaceRef(std::int32_t face);
  void dump() const;
};

struct face3d {
  vertex3d* cornerA = nullptr;
  vertex3d* cornerB = nullptr;
  vertex3d* cornerC = nullptr;
  // DX flavour; none until the normal computation.
  std::unique_ptr<vector3d> normal;

  face3d(vertex3d* a, vertex3d* b, vertex3d* c) : cornerA(a), cornerB(b), cornerC(c) {}
  void dump() const;
};

// A list that owns its records and never grows past the capacity it was
// made with; a negative capacity holds nothing.
template <typename T>
class FixedList {
 public:
  explicit FixedList(int capacity) : capacity_(capacity < 0 ? 0 : capacity) {
    items_.reserve(static_cast<std::size_t>(capacity_));
  }

  // 0 when stored, 1 when the list is full.
  int add(std::unique_ptr<T> item) {
    if (getCount() >= capacity_) return 1;
    items_.push_back(std::move(item));
    return 0;
  }
  int getCount() const { return static_cast<int>(items_.size()); }
  int getCapacity() const { return capacity_; }
  T* operator[](int index) const { return items_[static_cast<std::size_t>(index)].get(); }

 protected:
  // "\n<title>" then "\n%ld : " and the record's dump for each record.
  void dumpItems(const char* title) const;

  std::vector<std::unique_ptr<T>> items_;
  int capacity_;
};

class VertexList : public FixedList<vertex3d> {
 public:
  using FixedList::FixedList;
  void dump() const { dumpItems("Vertex List :"); }
};

class FaceList : public FixedList<face3d> {
 public:
  using FixedList::FixedList;
  ~FaceList();
  FaceList(const FaceList&) = delete;
  FaceList& operator=(const FaceList&) = delete;

  void dump() const { dumpItems("Face List :"); }

  // Turns the faces into three vertex records each, once: 0 when built or
  // already there (or for an unknown format), E_FAIL when the device
  // refuses to create or lock the buffer.
  HRESULT buildVertexBuffer(DWORD format);
  // One draw inside its own scene bracket; the result of EndScene.
  HRESULT drawBuffer(DWORD format);
  VertexBuffer* getVertexBuffer() const { return vertexBuffer_; }

 private:
  VertexBuffer* vertexBuffer_ = nullptr;
};
