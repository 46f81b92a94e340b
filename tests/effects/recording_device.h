#pragma once
// A small device that records the calls the effects make, one line each, and
// can be told to fail buffer creation, buffer locks or texture loads.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/device.h"

class RecordingDevice final : public Device {
 public:
  struct Buffer final : VertexBuffer {
    RecordingDevice* owner = nullptr;
    std::vector<std::uint8_t> bytes;
    HRESULT Lock(std::uint32_t, std::uint32_t, std::uint8_t** data, DWORD) override {
      owner->calls.push_back("Lock");
      if (owner->fail_lock) return E_FAIL;
      *data = bytes.data();
      return D3D_OK;
    }
    HRESULT Unlock() override {
      owner->calls.push_back("Unlock");
      return D3D_OK;
    }
    void Release() override {
      owner->calls.push_back("Release");
      owner->live_buffers--;
      owner->last_contents = bytes;
      delete this;
    }
  };
  struct Tex final : Texture {
    RecordingDevice* owner = nullptr;
    std::string file;
    void Release() override {
      owner->live_textures--;
      delete this;
    }
    std::uint32_t width() const override { return 1; }
    std::uint32_t height() const override { return 1; }
    const std::string& source() const override { return file; }
  };

  std::vector<std::string> calls;
  std::vector<std::uint8_t> last_contents;  // of the last released buffer
  Texture* bound_texture = nullptr;
  int live_buffers = 0;
  int live_textures = 0;
  bool fail_create_buffer = false;
  bool fail_lock = false;
  bool fail_texture = false;

  HRESULT BeginScene() override { return note("BeginScene"); }
  HRESULT EndScene() override { return note("EndScene"); }
  HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override {
    return note("Clear");
  }
  HRESULT Present() override { return note("Present"); }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    return note("RS " + std::to_string(state) + " " + std::to_string(value));
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override {
    return note("SetTransform");
  }
  HRESULT SetViewport(const D3DVIEWPORT8*) override { return note("SetViewport"); }
  HRESULT GetViewport(D3DVIEWPORT8* viewport) override {
    *viewport = {0, 0, 800, 600, 0.0f, 1.0f};
    return D3D_OK;
  }
  HRESULT SetLight(DWORD, const D3DLIGHT8*) override { return note("SetLight"); }
  HRESULT LightEnable(DWORD, DWORD) override { return note("LightEnable"); }
  HRESULT SetMaterial(const D3DMATERIAL8*) override { return note("SetMaterial"); }
  HRESULT SetTexture(DWORD stage, Texture* texture) override {
    bound_texture = texture;
    const std::string name = texture ? texture->source() : std::string("none");
    return note("SetTexture " + std::to_string(stage) + " " + name);
  }
  HRESULT CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             VertexBuffer** buffer) override {
    note("CreateVertexBuffer " + std::to_string(length) + " " + std::to_string(usage) + " " +
         std::to_string(fvf) + " " + std::to_string(pool));
    if (fail_create_buffer) return E_FAIL;
    auto* made = new Buffer;
    made->owner = this;
    made->bytes.resize(length);
    live_buffers++;
    *buffer = made;
    return D3D_OK;
  }
  HRESULT SetStreamSource(std::uint32_t stream, VertexBuffer*, std::uint32_t stride) override {
    return note("SetStreamSource " + std::to_string(stream) + " " + std::to_string(stride));
  }
  HRESULT SetVertexShader(DWORD fvf) override {
    return note("SetVertexShader " + std::to_string(fvf));
  }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start, std::uint32_t n) override {
    return note("DrawPrimitive " + std::to_string(type) + " " + std::to_string(start) + " " +
                std::to_string(n));
  }
  HRESULT CreateTextureFromFile(const char* path, bool, D3DCOLOR, Texture** texture) override {
    if (fail_texture) return E_FAIL;
    auto* made = new Tex;
    made->owner = this;
    made->file = path;
    live_textures++;
    *texture = made;
    return D3D_OK;
  }
  HRESULT DrawSprite(Texture*, const SpriteDraw&) override { return note("DrawSprite"); }
  void SetDiscard(bool) override {}
  bool ReadPresentedFrame(std::vector<std::uint8_t>&) override { return false; }

 private:
  HRESULT note(std::string line) {
    calls.push_back(std::move(line));
    return D3D_OK;
  }
};
