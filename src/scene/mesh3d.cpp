#include "scene/mesh3d.h"

#include "shell/base/log.h"

Mesh3d::Mesh3d(std::unique_ptr<VertexList> vertices, std::unique_ptr<FaceList> faces, DWORD format)
    : vertexFormat(format), faces_(std::move(faces)), vertices_(std::move(vertices)) {}

Mesh3d::~Mesh3d() {
  name_.reset();
  vertices_.reset();
  faces_.reset();
  texture_.reset();
}

void Mesh3d::setName(const char* name) {
  if (name) {
    name_ = name;
  } else {
    name_.reset();
  }
}

void Mesh3d::setBlend(std::int32_t src, std::int32_t dest) {
  srcBlend = src;
  destBlend = dest;
  blendEnabled = 1;
}

MeshTexture& Mesh3d::textureRecord() {
  if (!texture_) texture_ = std::make_unique<MeshTexture>();
  return *texture_;
}

void Mesh3d::computeNormals() {
  if (!faces_ || !vertices_) return;
  for (int i = 0; i < faces_->getCount(); ++i) {
    face3d& face = *(*faces_)[i];
    const D3DXVECTOR3 a(face.cornerA->x, face.cornerA->y, face.cornerA->z);
    const D3DXVECTOR3 e1 = D3DXVECTOR3(face.cornerB->x, face.cornerB->y, face.cornerB->z) - a;
    const D3DXVECTOR3 e2 = D3DXVECTOR3(face.cornerC->x, face.cornerC->y, face.cornerC->z) - a;
    D3DXVECTOR3 n;
    D3DXVec3Cross(&n, &e1, &e2);
    D3DXVec3Normalize(&n, &n);
    face.normal = std::make_unique<vector3d>(vector3d::DX, n.x, n.y, n.z);
  }
  for (int i = 0; i < vertices_->getCount(); ++i) {
    vertex3d& vertex = *(*vertices_)[i];
    D3DXVECTOR3 sum;
    float count = 0.0f;
    for (int k = 0; k < vertex.faceRefCount; ++k) {
      const int ref = vertex.faceRefs[k];
      if (ref < 0 || ref >= faces_->getCount()) continue;  // lists built by hand
      const vector3d& n = *(*faces_)[ref]->normal;
      sum += D3DXVECTOR3(n.getX(), n.getY(), n.getZ());
      count += 1.0f;
    }
    vertex.normal =
        count > 0 ? D3DXVECTOR3(sum.x / count, sum.y / count, sum.z / count) : D3DXVECTOR3();
  }
}

void Mesh3d::dumpVertices() const {
  if (vertices_) vertices_->dump();
}

void Mesh3d::dumpFaces() const {
  if (faces_) faces_->dump();
}
