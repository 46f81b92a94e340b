#pragma once
// A mesh's texture record: the texture made from the image its first
// material names, the image's base name, and an optional material.
//
//   MeshTexture()           empty: no texture, no material, no name
//   MeshTexture(folder, file)  loads the image, found in `folder` (a failed
//                           load keeps no texture)
//   load(folder, file)      1 when no texture could be made, else 0
//   setAmbient, setDiffuse, setSpecular, setEmissive (r, g, b), setPower(p)
//   getTexture, getMaterial (nullptr when none), getName ("" when none)
//   dump                    "\ntexture name %s" to the log

#include <memory>
#include <optional>
#include <string>

#include "gfx/d3d_types.h"
#include "shell/base/file_lookup.h"

class Texture;

class MeshTexture {
 public:
  MeshTexture() = default;
  MeshTexture(const DataFolder& folder, const char* file);
  ~MeshTexture();
  MeshTexture(const MeshTexture&) = delete;
  MeshTexture& operator=(const MeshTexture&) = delete;

  int load(const DataFolder& folder, const char* file);

  void setAmbient(float r, float g, float b);
  void setDiffuse(float r, float g, float b);
  void setSpecular(float r, float g, float b);
  void setEmissive(float r, float g, float b);
  void setPower(float power);

  Texture* getTexture() const { return texture_; }
  const D3DMATERIAL8* getMaterial() const { return material_ ? &*material_ : nullptr; }
  const char* getName() const { return name_ ? name_->c_str() : nullptr; }
  void dump() const;

 private:
  D3DMATERIAL8& material();

  Texture* texture_ = nullptr;
  std::optional<D3DMATERIAL8> material_;
  std::optional<std::string> name_;
};

// The file name without its last four characters (".bmp"); names shorter
// than four characters give "".
std::string textureBaseName(const std::string& file);
