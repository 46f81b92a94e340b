#pragma once
// A small device for the show's and the overlay's tests: it answers like a
// device and keeps a readable list of what it was asked, plus the sprite draws
// with their fields. Textures load through the rendering layer's image reader,
// so broken files fail as they do on the real device.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gfx/device.h"
#include "gfx/image_file.h"
#include "shell/base/render_helpers.h"

struct SpriteRecord {
  std::string file;
  SpriteDraw draw;
};

class RecordingDevice : public Device {
 public:
  class FakeTexture : public Texture {
   public:
    FakeTexture(RecordingDevice& owner, std::string source)
        : owner_(owner), source_(std::move(source)) {}
    void Release() override {
      owner_.calls.push_back("Release " + source_);
      --owner_.live_textures;
      delete this;
    }
    std::uint32_t width() const override { return 1; }
    std::uint32_t height() const override { return 1; }
    const std::string& source() const override { return source_; }

   private:
    RecordingDevice& owner_;
    std::string source_;
  };

  std::vector<std::string> calls;
  std::vector<SpriteRecord> sprites;
  int live_textures = 0;
  int open_brackets = 0;
  bool nested_bracket = false;

  HRESULT BeginScene() override {
    calls.push_back("BeginScene");
    nested_bracket = nested_bracket || open_brackets > 0;
    ++open_brackets;
    return D3D_OK;
  }
  HRESULT EndScene() override {
    calls.push_back("EndScene");
    --open_brackets;
    return D3D_OK;
  }
  HRESULT Clear(DWORD, const D3DRECT*, DWORD flags, D3DCOLOR color, float, DWORD) override {
    char text[64];
    std::snprintf(text, sizeof text, "Clear %u %08X", flags, color);
    calls.push_back(text);
    return D3D_OK;
  }
  HRESULT Present() override {
    calls.push_back("Present");
    return D3D_OK;
  }
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
    calls.push_back("SetRenderState " + std::to_string(state) + " " + std::to_string(value));
    return D3D_OK;
  }
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override { return D3D_OK; }
  HRESULT SetViewport(const D3DVIEWPORT8* viewport) override {
    viewport_ = *viewport;
    return D3D_OK;
  }
  HRESULT GetViewport(D3DVIEWPORT8* viewport) override {
    *viewport = viewport_;
    return D3D_OK;
  }
  HRESULT SetLight(DWORD, const D3DLIGHT8*) override { return D3D_OK; }
  HRESULT LightEnable(DWORD, DWORD) override { return D3D_OK; }
  HRESULT SetMaterial(const D3DMATERIAL8*) override { return D3D_OK; }
  HRESULT SetTexture(DWORD, Texture*) override { return D3D_OK; }
  HRESULT CreateVertexBuffer(std::uint32_t, DWORD, DWORD, D3DPOOL, VertexBuffer**) override {
    return E_FAIL;
  }
  HRESULT SetStreamSource(std::uint32_t, VertexBuffer*, std::uint32_t) override { return D3D_OK; }
  HRESULT SetVertexShader(DWORD) override { return D3D_OK; }
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE, std::uint32_t, std::uint32_t) override { return D3D_OK; }
  HRESULT CreateTextureFromFile(const char* path, bool, D3DCOLOR, Texture** texture) override {
    *texture = nullptr;
    Image image;
    std::string error;
    if (!load_image_file(path, image, error)) {
      return E_FAIL;
    }
    calls.push_back(std::string("CreateTexture ") + path);
    ++live_textures;
    *texture = new FakeTexture(*this, path);
    return D3D_OK;
  }
  HRESULT DrawSprite(Texture* texture, const SpriteDraw& sprite) override {
    calls.push_back("DrawSprite " + texture->source());
    sprites.push_back({texture->source(), sprite});
    return D3D_OK;
  }
  void SetDiscard(bool) override {}
  // The frame read back: `presented` when set, else none.
  bool ReadPresentedFrame(std::vector<std::uint8_t>& rgba) override {
    rgba = presented;
    return !presented.empty();
  }
  std::vector<std::uint8_t> presented;

  // The sprite draws of one file.
  std::vector<SpriteDraw> draws_of(const std::string& file) const {
    std::vector<SpriteDraw> found;
    for (const SpriteRecord& record : sprites) {
      if (record.file == file) {
        found.push_back(record.draw);
      }
    }
    return found;
  }
  void forget() {
    calls.clear();
    sprites.clear();
  }

 private:
  D3DVIEWPORT8 viewport_{0, 0, 800, 600, 0.0f, 1.0f};
};

// Installs a fresh recording device as the show's device and returns it.
inline RecordingDevice& install_recording_device() {
  auto made = std::make_unique<RecordingDevice>();
  RecordingDevice& recording = *made;
  install_device(std::move(made));
  return recording;
}
