#include "scene/mesh_texture.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "gfx/device.h"
#include "shell/base/log.h"
#include "shell/base/render_helpers.h"

namespace {

Texture* createTexture(const std::string& file) {
  if (!device) return nullptr;
  Texture* made = nullptr;
  if (FAILED(device->CreateTextureFromFile(findFileIgnoringCase(file).c_str(), false, 0, &made))) {
    return nullptr;
  }
  return made;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

constexpr D3DCOLORVALUE opaque(float r, float g, float b) { return {r, g, b, 1.0f}; }

}  // namespace

std::string textureBaseName(const std::string& file) {
  return file.size() < 4 ? std::string() : file.substr(0, file.size() - 4);
}

std::string findFileIgnoringCase(const std::string& file) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path path(file);
  if (file.empty() || fs::exists(path, error)) return file;
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const std::string wanted = path.filename().string();
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (sameIgnoringCase(it->path().filename().string(), wanted)) {
      return (path.has_parent_path() ? folder / it->path().filename() : it->path().filename())
          .string();
    }
  }
  return file;
}

MeshTexture::MeshTexture(const char* file) {
  texture_ = createTexture(file);
  name_ = textureBaseName(file);
}

MeshTexture::~MeshTexture() {
  if (texture_) texture_->Release();
}

int MeshTexture::load(const char* file) {
  Texture* made = createTexture(file);
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
