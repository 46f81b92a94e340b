#pragma once
// A recording device for the mesh tests: every call becomes one line of
// `calls`, buffers keep their bytes, textures are made from files that exist.

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "gfx/device.h"

class FakeTexture : public Texture {
 public:
  explicit FakeTexture(std::string source, int* released)
      : source_(std::move(source)), released_(released) {}
  void Release() override {
    ++*released_;
    delete this;
  }
  std::uint32_t width() const override { return 1; }
  std::uint32_t height() const override { return 1; }
  const std::string& source() const override { return source_; }

 private:
  std::string source_;
  int* released_;
};

class FakeBuffer : public VertexBuffer {
 public:
  FakeBuffer(std::uint32_t length, bool refuse_lock, int* released)
      : bytes(length, 0xCD), refuse_lock_(refuse_lock), released_(released) {}
  HRESULT Lock(std::uint32_t, std::uint32_t, std::uint8_t** data, DWORD) override {
    if (refuse_lock_) return E_FAIL;
    *data = bytes.data();
    return D3D_OK;
  }
  HRESULT Unlock() override { return D3D_OK; }
  void Release() override {
    ++*released_;
    delete this;
  }
  std::vector<std::uint8_t> bytes;

 private:
  bool refuse_lock_;
  int* released_;
};

class FakeDevice : public Device {
 public:
  std::vector<std::string> calls;
  std::vector<FakeBuffer*> buffers;  // every buffer made, in order
  bool refuse_create = false;
  bool refuse_lock = false;
  int buffers_released = 0;
  int textures_released = 0;

  void log(const std::string& line) { calls.push_back(line); }
  static std::string num(DWORD value) { return std::to_string(value); }

  HRESULT BeginScene() override { return log("BeginScene"), D3D_OK; }
  HRESULT EndScene() override { return log("EndScene"), D3D_OK; }
  HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override {
    return log("Clear"), D3D_OK;
  }
  HRESULT Present() override { return log("Present"), D3D_OK; }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    return log("SetRenderState " + num(state) + " " + num(value)), D3D_OK;
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override {
    return log("SetTransform"), D3D_OK;
  }
  HRESULT SetViewport(const D3DVIEWPORT8*) override { return D3D_OK; }
  HRESULT GetViewport(D3DVIEWPORT8* viewport) override {
    *viewport = D3DVIEWPORT8{0, 0, 800, 600, 0.0f, 1.0f};
    return D3D_OK;
  }
  HRESULT SetLight(DWORD, const D3DLIGHT8*) override { return log("SetLight"), D3D_OK; }
  HRESULT LightEnable(DWORD, DWORD) override { return log("LightEnable"), D3D_OK; }
  HRESULT SetMaterial(const D3DMATERIAL8* material) override {
    last_material = *material;
    return log("SetMaterial"), D3D_OK;
  }
  HRESULT SetTexture(DWORD stage, Texture* texture) override {
    return log("SetTexture " + num(stage) + " " + (texture ? texture->source() : "null")), D3D_OK;
  }
  HRESULT CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             VertexBuffer** buffer) override {
    log("CreateVertexBuffer " + num(length) + " " + num(usage) + " " + num(fvf) + " " + num(pool));
    if (refuse_create) return E_FAIL;
    auto* made = new FakeBuffer(length, refuse_lock, &buffers_released);
    buffers.push_back(made);
    *buffer = made;
    return D3D_OK;
  }
  HRESULT SetStreamSource(std::uint32_t stream, VertexBuffer*, std::uint32_t stride) override {
    return log("SetStreamSource " + num(stream) + " " + num(stride)), D3D_OK;
  }
  HRESULT SetVertexShader(DWORD fvf) override { return log("SetVertexShader " + num(fvf)), D3D_OK; }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start, std::uint32_t count) override {
    return log("DrawPrimitive " + num(type) + " " + num(start) + " " + num(count)), D3D_OK;
  }
  HRESULT CreateTextureFromFile(const char* path, bool, D3DCOLOR, Texture** texture) override {
    log(std::string("CreateTextureFromFile ") + path);
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return E_FAIL;
    std::fclose(file);
    *texture = new FakeTexture(path, &textures_released);
    return D3D_OK;
  }
  HRESULT DrawSprite(Texture*, const SpriteDraw&) override { return D3D_OK; }
  void SetDiscard(bool) override {}
  bool ReadPresentedFrame(std::vector<std::uint8_t>&) override { return false; }

  D3DMATERIAL8 last_material{};
};
