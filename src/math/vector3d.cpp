#include "math/vector3d.h"

#include <cmath>
#include <cstring>

namespace {

// Truncation toward zero, saturated so that huge values stay defined.
std::int32_t truncate_to_int(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<std::int32_t>(value);
}

float& dx_component(D3DXVECTOR3& v, int i) { return i == 0 ? v.x : (i == 1 ? v.y : v.z); }
float dx_component(const D3DXVECTOR3& v, int i) { return i == 0 ? v.x : (i == 1 ? v.y : v.z); }

}  // namespace

vector3d::vector3d(std::int32_t type, float x, float y, float z) : type_(type) { set(x, y, z); }

// Slots hold a float's bits (memcpy: the browser's C++ library has no bit_cast).
float vector3d::slotFloat(int i) const {
  float value = 0.0f;
  std::memcpy(&value, &xyz_[i], sizeof value);
  return value;
}
void vector3d::setSlotFloat(int i, float value) { std::memcpy(&xyz_[i], &value, sizeof value); }

float vector3d::get(int i) const {
  switch (type_) {
    case INT:
      return static_cast<float>(xyz_[i]);
    case VFLOAT:
      return slotFloat(i);
    case DX:
      return dx_component(dx_, i);
    default:
      return -1.0f;
  }
}

void vector3d::set(float x, float y, float z) {
  const float values[3] = {x, y, z};
  for (int i = 0; i < 3; ++i) {
    switch (type_) {
      case INT:
        xyz_[i] = truncate_to_int(values[i]);
        break;
      case VFLOAT:
        setSlotFloat(i, values[i]);
        break;
      case DX:
        dx_component(dx_, i) = values[i];
        break;
      default:
        break;
    }
  }
}

void vector3d::normalize() {
  if (type_ == VFLOAT) {
    const float x = slotFloat(0), y = slotFloat(1), z = slotFloat(2);
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) return;
    setSlotFloat(0, x / length);
    setSlotFloat(1, y / length);
    setSlotFloat(2, z / length);
  } else if (type_ == DX) {
    D3DXVec3Normalize(&dx_, &dx_);
  }
}

void vector3d::toDX() {
  if (type_ != INT && type_ != VFLOAT) return;
  dx_ = D3DXVECTOR3{get(0), get(1), get(2)};
  type_ = DX;
}

void vector3d::add(const vector3d& other) {
  if (type_ == DX && other.type_ == DX) {
    dx_ += other.dx_;
    return;
  }
  for (int i = 0; i < 3; ++i) {
    if (type_ == INT && other.type_ == INT) {
      // Wrap-around like the 32-bit addition it stands for, without overflow UB.
      xyz_[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(xyz_[i]) +
                                          static_cast<std::uint32_t>(other.xyz_[i]));
    } else if (type_ == VFLOAT && other.type_ == INT) {
      setSlotFloat(i, slotFloat(i) + static_cast<float>(other.xyz_[i]));
    } else if (type_ == INT && other.type_ == VFLOAT) {
      // Summed in floating point and truncated once.
      xyz_[i] = truncate_to_int(static_cast<float>(xyz_[i]) + other.slotFloat(i));
    } else if (type_ == VFLOAT && other.type_ == VFLOAT) {
      setSlotFloat(i, slotFloat(i) + other.slotFloat(i));
    } else {
      return;
    }
  }
}
