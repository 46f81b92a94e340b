#include "scene/mesh_texture.h"

#include "gfx/device.h"
#include "shell/base/log.h"
#include "shell/base/render_helpers.h"

namespace {

Texture* createTexture(const DataFolder& folder, const std::string& file) {
  if (!device) return nullptr;
  Texture* made = nullptr;
  if (FAILED(device->CreateTextureFromFile(folder.find(file).c_str(), false, 0, &made))) {
    return nullptr;
  }
  return made;
}

constexpr D3DCOLORVALUE opaque(float r, float g, float b) { return {r, g, b, 1.0f}; }

}  // namespace

std::string textureBaseName(const std::string& file) {
  return file.size() < 4 ? std::string() : file.substr(0, file.size() - 4);
}

MeshTexture::MeshTexture(const DataFolder& folder, const char* file) {
  texture_ = createTexture(folder, file);
  name_ = textureBaseName(file);
}

MeshTexture::~MeshTexture() {
  if (texture_) texture_->Release();
}

int MeshTexture::load(const DataFolder& folder, const char* file) {
  Texture* made = createTexture(folder, file);
  if (!made) return 1;
  if (texture_) texture_->Release();
  texture_ = made;
  name_ = textureBaseName(file);
  return 0;
}

D3DMATERIAL8& MeshTexture::material() {
  if (!material_) material_ = D3DMATERIAL8{};
  return *material_;
}

void MeshTexture::setAmbient(float r, float g, float b) { material().Ambient = opaque(r, g, b); }
void MeshTexture::setDiffuse(float r, float g, float b) { material().Diffuse = opaque(r, g, b); }
void MeshTexture::setSpecular(float r, float g, float b) { material().Specular = opaque(r, g, b); }
void MeshTexture::setEmissive(float r, float g, float b) { material().Emissive = opaque(r, g, b); }
void MeshTexture::setPower(float power) { material().Power = power; }

void MeshTexture::dump() const { write_log("\ntexture name %s", getName() ? getName() : ""); }
