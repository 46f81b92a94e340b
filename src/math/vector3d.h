#pragma once
// The show's own three-component vector. Its components live in one of three
// flavours: INT (32-bit integers), VFLOAT (floats) or DX (a D3DXVECTOR3).
// Reads always answer in float; `add` only combines compatible flavours and
// never changes this vector's flavour.
//
//   vector3d(type, x, y, z)   INT truncates toward zero; VFLOAT, DX store as is
//   getType, getX, getY, getZ (an unknown flavour reads -1.0)
//   set(x, y, z)   normalize()   toDX()   add(other)

#include <cstdint>

#include "math/d3dx_vector.h"

class vector3d {
 public:
  static constexpr std::int32_t INT = 0;
  static constexpr std::int32_t VFLOAT = 1;
  static constexpr std::int32_t DX = 2;

  // An INT vector (0, 0, 0): a defined value rather than leftover memory.
  vector3d() = default;
  vector3d(std::int32_t type, float x, float y, float z);

  std::int32_t getType() const { return type_; }
  float getX() const { return get(0); }
  float getY() const { return get(1); }
  float getZ() const { return get(2); }

  void set(float x, float y, float z);
  // VFLOAT of length zero stays as it is instead of turning into NaNs.
  void normalize();
  void toDX();
  void add(const vector3d& other);

 private:
  float get(int i) const;
  float slotFloat(int i) const;
  void setSlotFloat(int i, float value);

  std::int32_t type_ = INT;
  D3DXVECTOR3 dx_;
  // One storage for INT (as integers) and VFLOAT (as float bit patterns).
  std::int32_t xyz_[3] = {0, 0, 0};
};
