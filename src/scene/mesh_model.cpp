#include "scene/mesh_model.h"

#include "gfx/device.h"
#include "shell/base/log.h"

void vertex3d::addFaceRef(std::int32_t face) {
  if (faceRefCount >= 3) return;
  faceRefs[faceRefCount] = face;
  ++faceRefCount;
}

void vertex3d::dump() const {
  write_log(
      "\nvertex3d : [%6.2f\t,%6.2f\t,%6.2f\t] map : [%6.2f\t,%6.2f\t] norm : "
      "[%6.2f\t,%6.2f\t,%6.2f\t]",
      double(x), double(y), double(z), double(u), double(v), double(normal.x), double(normal.y),
      double(normal.z));
}

void face3d::dump() const {
  write_log("\nface3d :");
  for (const vertex3d* corner : {cornerA, cornerB, cornerC}) {
    if (corner) corner->dump();
  }
  if (normal) {
    const double nx = normal->getX(), ny = normal->getY(), nz = normal->getZ();
    switch (normal->getType()) {
      case vector3d::DX:
        write_log("\nvector3d (type DX): [%5.2f,%5.2f,%5.2f]", nx, ny, nz);
        break;
      case vector3d::VFLOAT:
        write_log("\nvector3d (type VFLOAT): [%5.2f,%5.2f,%5.2f]", nx, ny, nz);
        break;
      case vector3d::INT:
        write_log("\nvector3d (type INT): [%d,%d,%d]", int(nx), int(ny), int(nz));
        break;
      default:
        break;
    }
  }
  write_log("\nfin face3d.");
}

template <typename T>
void FixedList<T>::dumpItems(const char* title) const {
  write_log("\n%s", title);
  for (long i = 0; i < getCount(); ++i) {
    write_log("\n%ld : ", i);
    items_[static_cast<std::size_t>(i)]->dump();
  }
}

template class FixedList<vertex3d>;
template class FixedList<face3d>;

FaceList::~FaceList() {
  if (vertexBuffer_) vertexBuffer_->Release();
}
