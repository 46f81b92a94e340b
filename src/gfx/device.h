#pragma once
// The one rendering device of the show, in Direct3D 8 words. Two backends
// implement it: OpenGL 3.3 core (gl_device.h) and a recording trace device for
// tests and --trace (trace_device.h). Every method answers like Direct3D 8 does
// for the values the show passes; results are D3D_OK or a negative code.
//
//   BeginScene / EndScene        bracket draws; several brackets per frame
//   Clear                        target and/or depth, limited to the viewport
//   Present                      show the back buffer
//   SetRenderState               raw 32-bit value (floats as their bit pattern)
//   SetTransform                 D3DTS_VIEW / D3DTS_PROJECTION / D3DTS_WORLD
//   SetViewport / GetViewport    pixels, MinZ, MaxZ
//   SetLight / LightEnable       point lights, per-vertex lighting
//   SetMaterial                  D3DMATERIAL8
//   SetTexture                   stage 0 only; nullptr unbinds
//   CreateVertexBuffer           then Lock / Unlock / Release on the buffer
//   SetStreamSource / SetVertexShader (an FVF code) / DrawPrimitive
//   CreateTextureFromFile        the utility library's texture creators
//   DrawSprite                   the utility library's sprite object

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/d3d_types.h"

// A texture made from an image file. Release() frees it.
class Texture {
 public:
  virtual ~Texture() = default;
  virtual void Release() = 0;
  virtual std::uint32_t width() const = 0;
  virtual std::uint32_t height() const = 0;
  // The file the texture was made from (the trace names textures by it).
  virtual const std::string& source() const = 0;
};

// A vertex buffer: a writable block of `length` bytes in one vertex format.
class VertexBuffer {
 public:
  virtual ~VertexBuffer() = default;
  // Whole-buffer lock as the show does it (offset 0, size 0 or length, flags 0).
  virtual HRESULT Lock(std::uint32_t offset, std::uint32_t size, std::uint8_t** data,
                       DWORD flags) = 0;
  virtual HRESULT Unlock() = 0;
  virtual void Release() = 0;
};

// What the sprite drawer needs for one draw of a whole texture: scaled about
// the image's top-left corner, rotated about `center` (in scaled pixels; a
// positive angle turns counter-clockwise on screen), then moved to `position`.
struct SpriteDraw {
  float scale_x = 1.0f, scale_y = 1.0f;
  float center_x = 0.0f, center_y = 0.0f;
  float rotation = 0.0f;
  float position_x = 0.0f, position_y = 0.0f;
  D3DCOLOR color = 0xFFFFFFFFu;
};

class Device {
 public:
  virtual ~Device() = default;

  virtual HRESULT BeginScene() = 0;
  virtual HRESULT EndScene() = 0;
  virtual HRESULT Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                        float z, DWORD stencil) = 0;
  virtual HRESULT Present() = 0;

  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
  virtual HRESULT SetLight(DWORD index, const D3DLIGHT8* light) = 0;
  virtual HRESULT LightEnable(DWORD index, DWORD enable) = 0;
  virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
  virtual HRESULT SetTexture(DWORD stage, Texture* texture) = 0;

  virtual HRESULT CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     VertexBuffer** buffer) = 0;
  virtual HRESULT SetStreamSource(std::uint32_t stream, VertexBuffer* buffer,
                                  std::uint32_t stride) = 0;
  virtual HRESULT SetVertexShader(DWORD fvf) = 0;
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start_vertex,
                                std::uint32_t primitive_count) = 0;

  // Size from the file; texels equal to `color_key` (when `use_color_key`)
  // become transparent black. Fails with E_FAIL and makes nothing on any
  // unreadable, truncated or absurd file.
  virtual HRESULT CreateTextureFromFile(const char* path, bool use_color_key, D3DCOLOR color_key,
                                        Texture** texture) = 0;
  // Draws inside the caller's scene bracket; puts back every state it changes.
  virtual HRESULT DrawSprite(Texture* texture, const SpriteDraw& sprite) = 0;

  // While on, draws and clears are accepted and recorded but nothing is
  // rendered (frames run unseen).
  virtual void SetDiscard(bool discard) = 0;
  // The last presented frame, 800 x 600 RGBA, top row first. False when the
  // backend keeps no pixels.
  virtual bool ReadPresentedFrame(std::vector<std::uint8_t>& rgba) = 0;
};

constexpr int BACK_BUFFER_WIDTH = 800;
constexpr int BACK_BUFFER_HEIGHT = 600;
