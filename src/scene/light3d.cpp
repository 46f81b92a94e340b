#include "scene/light3d.h"

#include "format3ds/object_lookup.h"
#include "shell/base/log.h"

std::unique_ptr<D3DLIGHT8> loadLight(ChunkFile& file, const char* name) {
  if (findObject(file, name, {.sections = true, .object_name = true}) != OBJECT_FOUND) {
    return nullptr;
  }
  if (file.findChunk(CHUNK_LIGHT) == -1) return nullptr;
  float position[3] = {0, 0, 0};
  for (float& p : position) {
    // A cut position is no light: nothing half-read is used.
    if (!file.readFloat(p)) return nullptr;
  }
  auto light = std::make_unique<D3DLIGHT8>();
  *light = D3DLIGHT8{};
  light->Position = {position[0], position[1], position[2]};
  light->Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
  light->Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
  return light;
}

Light3d::Light3d(const char* file, const char* object) {
  ChunkFile reader(file);
  if (std::unique_ptr<D3DLIGHT8> loaded = loadLight(reader, object)) {
    light_ = *loaded;
  } else {
    // Stays at the origin, unlit, so a broken file cannot light the scene.
    write_log("\n%s : Light load problem", object);
  }
  light_.Type = D3DLIGHT_POINT;
  light_.Attenuation0 = 1.0f;
  light_.Range = 1000.0f;
  setName(object);
}

Light3d::Light3d(float x, float y, float z) {
  light_.Type = D3DLIGHT_POINT;
  light_.Position = {x, y, z};
  light_.Attenuation0 = 1.0f;
  light_.Range = 1000.0f;
}

void Light3d::setPosition(float x, float y, float z) { light_.Position = {x, y, z}; }
void Light3d::setAmbient(float a, float r, float g, float b) { light_.Ambient = {r, g, b, a}; }
void Light3d::setDiffuse(float a, float r, float g, float b) { light_.Diffuse = {r, g, b, a}; }

void Light3d::setAttenuation(float a0, float a1, float a2) {
  light_.Attenuation0 = a0;
  light_.Attenuation1 = a1;
  light_.Attenuation2 = a2;
}

void Light3d::setRange(float range) { light_.Range = range; }

void Light3d::setName(const char* name) {
  if (name) {
    name_ = name;
  } else {
    name_.reset();
  }
}

void Light3d::dump() const {
  const D3DLIGHT8& l = light_;
  write_log("light : c(%.2f,%.2f,%.2f) a(%.2f,%.2f,%.2f,%.2f) d(%.2f,%.2f,%.2f,%.2f)",
            double(l.Position.x), double(l.Position.y), double(l.Position.z), double(l.Ambient.a),
            double(l.Ambient.r), double(l.Ambient.g), double(l.Ambient.b), double(l.Diffuse.a),
            double(l.Diffuse.r), double(l.Diffuse.g), double(l.Diffuse.b));
}
