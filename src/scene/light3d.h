#pragma once
// A scene light: a Direct3D light record and the light object's name.
//
//   Light3d(file, object)    a white point light at the object's position,
//                            range 1000, attenuation (1, 0, 0)
//   Light3d(x, y, z)         a point light with zero colours and no name
//   setPosition, setAmbient(a, r, g, b), setDiffuse(a, r, g, b),
//   setAttenuation, setRange, setName, getName (nullptr when none)
//   getLight                 the record for SetLight
//   dump                     position, ambient and diffuse to the log
//   loadLight(file, name)    the object's light record, or none

#include <memory>
#include <optional>
#include <string>

#include "format3ds/chunk_file.h"
#include "gfx/d3d_types.h"

class Light3d {
 public:
  Light3d(const char* file, const char* object);
  Light3d(float x, float y, float z);

  void setPosition(float x, float y, float z);
  void setAmbient(float a, float r, float g, float b);
  void setDiffuse(float a, float r, float g, float b);
  void setAttenuation(float a0, float a1, float a2);
  void setRange(float range);
  void setName(const char* name);
  const char* getName() const { return name_ ? name_->c_str() : nullptr; }
  const D3DLIGHT8& getLight() const { return light_; }
  void dump() const;

 private:
  D3DLIGHT8 light_{};
  std::optional<std::string> name_;
};

// Type, Range and Attenuation0 are left 0: the loading constructor sets them.
std::unique_ptr<D3DLIGHT8> loadLight(ChunkFile& file, const char* name);
