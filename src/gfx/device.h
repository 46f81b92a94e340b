#pragma once
// The one rendering device of the show, in Direct3D 8 words: the operations
// of Device, each with its contract, and beside them DeviceTools, the core's
// own tools for seeking and tracing. DeviceCore (device_core.h) is their one
// implementation; the OpenGL 3.3 core backend (gl_device.h) and the trace
// backend (trace_device.h) supply the few hooks that touch a real device.
// Results are D3D_OK or a negative code, as Direct3D 8 answers for the values
// the show passes. The frames presented are a Presenter's (presenter.h).

#include <cstdint>
#include <functional>
#include <string>

#include "gfx/d3d_types.h"
#include "gfx/device_state.h"
#include "gfx/trace_record.h"

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

// Not Direct3D's: what a seek and a trace need of the device. A seek runs
// frames unseen and unrecorded and puts back the state of an earlier time; a
// trace hears every call.
class DeviceTools {
 public:
  virtual ~DeviceTools() = default;

  // While on, draws and clears are accepted and recorded but nothing is
  // rendered (frames run unseen).
  virtual void SetDiscard(bool discard) = 0;
  // Hands every later call and misuse to `recorder` too (the trace), until detached.
  virtual void AttachRecorder(CallRecorder* recorder) = 0;
  virtual void DetachRecorder(CallRecorder* recorder) = 0;
  // While held, no call or misuse reaches the recorders: frames replayed for a
  // seek leave nothing in the trace.
  virtual void HoldRecords(bool hold) = 0;
  // What the setters have set, and putting it back: a seek to an earlier time
  // starts from the state the device had then. The texture and stream in it
  // must still be alive when put back.
  virtual DeviceState SaveState() const = 0;
  virtual void RestoreState(const DeviceState& saved) = 0;
  // Called with the first misuse of each kind (a draw outside a scene
  // bracket, a lock without unlock, ...), once per kind for the device's life.
  virtual void SetMisuseReporter(std::function<void(const std::string&)> reporter) = 0;
};

class Device : public DeviceTools {
 public:
  // Opens a scene bracket; every draw and sprite belongs inside one.
  virtual HRESULT BeginScene() = 0;
  // Closes the open bracket.
  virtual HRESULT EndScene() = 0;
  // Clears the target and/or the depth buffer (D3DCLEAR_*), limited to the viewport.
  virtual HRESULT Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                        float z, DWORD stencil) = 0;
  // Shows the back buffer.
  virtual HRESULT Present() = 0;
  // Sets one render state, raw (float states as their 32-bit pattern).
  virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
  // Sets D3DTS_VIEW, D3DTS_PROJECTION or D3DTS_WORLD (row-vector matrices).
  virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
  // Sets the viewport in pixels with MinZ, MaxZ; one that leaves the target is refused.
  virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
  // Reads the viewport back.
  virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
  // Sets light `index` (point, spot or directional; lit per vertex).
  virtual HRESULT SetLight(DWORD index, const D3DLIGHT8* light) = 0;
  // Switches light `index` on or off; one never set becomes Direct3D's default light.
  virtual HRESULT LightEnable(DWORD index, DWORD enable) = 0;
  // Sets the material lit vertices use.
  virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
  // Binds `texture` to `stage` (only stage 0 draws); nullptr unbinds.
  virtual HRESULT SetTexture(DWORD stage, Texture* texture) = 0;
  // Makes a buffer of `length` bytes in vertex format `fvf`; Release() frees it.
  virtual HRESULT CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     VertexBuffer** buffer) = 0;
  // Draws from `buffer` with `stride` bytes per vertex (stream 0 only).
  virtual HRESULT SetStreamSource(std::uint32_t stream, VertexBuffer* buffer,
                                  std::uint32_t stride) = 0;
  // Sets the vertex format (an FVF code) the draws read.
  virtual HRESULT SetVertexShader(DWORD fvf) = 0;
  // Draws `primitive_count` primitives from `start_vertex`; a draw reading
  // past the buffer's end is refused.
  virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start_vertex,
                                std::uint32_t primitive_count) = 0;
  // Size from the file; texels equal to `color_key` (when `use_color_key`)
  // become transparent black. Fails with E_FAIL and makes nothing on any
  // unreadable, truncated or absurd file.
  virtual HRESULT CreateTextureFromFile(const char* path, bool use_color_key, D3DCOLOR color_key,
                                        Texture** texture) = 0;
  // The folder that relative names given to CreateTextureFromFile are read
  // from, as the working directory was for Direct3D's utility library; the
  // trace names the files as given. Empty: the working directory.
  virtual void SetFileFolder(const std::string& folder) = 0;
  // Draws inside the caller's scene bracket; puts back every state it changes.
  virtual HRESULT DrawSprite(Texture* texture, const SpriteDraw& sprite) = 0;
};

constexpr int BACK_BUFFER_WIDTH = 800;
constexpr int BACK_BUFFER_HEIGHT = 600;
