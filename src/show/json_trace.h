#pragma once
// --trace FILE: a device that passes every call on to the real one and writes
// it to FILE as one JSON object per line, with the show's frame lines between.
//
//   JsonTraceDevice(inner, file)   inner stays owned by the caller
//   ok()                           false when the file could not be opened
//   frame(n, t)                    {"frame":n,"t":t}
//
// Lines: {"call":"Name", arguments by name..., "result":"E_FAIL" when not D3D_OK}.
// States, primitive types, formats and transforms are named as Direct3D names
// them; textures by the file they came from; colours as "0xAARRGGBB".

#include <cstdio>
#include <string>

#include "gfx/device.h"

class JsonTraceDevice : public Device {
 public:
  JsonTraceDevice(Device& inner, const std::string& file);
  ~JsonTraceDevice() override;
  JsonTraceDevice(const JsonTraceDevice&) = delete;
  JsonTraceDevice& operator=(const JsonTraceDevice&) = delete;

  bool ok() const { return out_ != nullptr; }
  void frame(long number, int t);
  // Writes one finished line (the fields without braces).
  void line(const std::string& fields);

  HRESULT BeginScene() override;
  HRESULT EndScene() override;
  HRESULT Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                DWORD stencil) override;
  HRESULT Present() override;
  HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
  HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
  HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
  HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
  HRESULT LightEnable(DWORD index, DWORD enable) override;
  HRESULT SetMaterial(const D3DMATERIAL8* material) override;
  HRESULT SetTexture(DWORD stage, Texture* texture) override;
  HRESULT CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             VertexBuffer** buffer) override;
  HRESULT SetStreamSource(std::uint32_t stream, VertexBuffer* buffer,
                          std::uint32_t stride) override;
  HRESULT SetVertexShader(DWORD fvf) override;
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start_vertex,
                        std::uint32_t primitive_count) override;
  HRESULT CreateTextureFromFile(const char* path, bool use_color_key, D3DCOLOR color_key,
                                Texture** texture) override;
  HRESULT DrawSprite(Texture* texture, const SpriteDraw& sprite) override;
  void SetDiscard(bool discard) override;
  bool ReadPresentedFrame(std::vector<std::uint8_t>& rgba) override;

 private:
  HRESULT call(const std::string& fields, HRESULT result);

  Device& inner_;
  std::FILE* out_ = nullptr;
  int next_buffer_id_ = 1;
};

// JSON building blocks shared by the trace lines.
std::string json_string(const std::string& text);
std::string json_number(double value);
std::string json_color(DWORD color);
