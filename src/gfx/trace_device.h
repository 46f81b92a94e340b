#pragma once
// The trace backend: answers like a real device (same checks, same state
// record, same texture loading) but draws nothing. It records one line per
// call, with names rather than numbers, a snapshot of the state at every
// draw, and every misuse it sees. Tests of the drawing parts assert on it.
//
//   calls()          "SetRenderState(D3DRS_FOGENABLE, TRUE)", one per call
//   draws()          each draw with the state it ran under
//   misuse()         "DrawPrimitive outside BeginScene/EndScene", ...
//   fail_next(m, r)  the next call of method m answers r (provoke failures)
//   set_recording    off: nothing is stored (long runs)

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gfx/device_core.h"

struct TraceDraw {
  std::size_t call_index = 0;  // position of the draw's line in calls()
  D3DPRIMITIVETYPE type = D3DPT_POINTLIST;
  std::uint32_t start_vertex = 0;
  std::uint32_t primitive_count = 0;
  int buffer_id = 0;  // 0 for the sprite drawer's own quad
  bool sprite = false;
  SpriteDraw sprite_args{};
  std::string texture;  // the bound texture's source file, empty when none
  DeviceState state;    // the whole state record at the draw
  // The vertices the draw read, when set_keep_vertices(true).
  std::vector<std::uint8_t> vertices;
};

class TraceDevice : public DeviceCore {
 public:
  TraceDevice();
  ~TraceDevice() override;

  const std::vector<std::string>& calls() const { return calls_; }
  const std::vector<TraceDraw>& draws() const { return draws_; }
  const std::vector<std::string>& misuse() const { return misuse_; }
  int presents() const { return presents_; }
  int clears() const { return clears_; }
  // Lines of calls() that start with `prefix`.
  std::vector<std::string> calls_starting(const std::string& prefix) const;
  void clear_trace();
  void set_recording(bool on) { recording_ = on; }
  void set_keep_vertices(bool on) { keep_vertices_ = on; }
  // The next `times` calls of `method` ("CreateVertexBuffer", "Lock", ...) return `result`.
  void fail_next(const std::string& method, HRESULT result = E_FAIL, int times = 1);
  // Called by buffers for their own lines.
  void record(const std::string& line);
  void note_misuse(const std::string& what);
  HRESULT take_failure(const char* method);

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

 protected:
  HRESULT clear_impl(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float) override { return D3D_OK; }
  HRESULT present_impl() override { return D3D_OK; }
  HRESULT draw_impl(D3DPRIMITIVETYPE type, std::uint32_t first, std::uint32_t vertices) override;
  CoreBuffer* make_buffer(std::uint32_t length, DWORD usage, DWORD fvf) override;
  CoreTexture* make_texture(Image& image, const std::string& source) override;

 private:
  void result_line(const std::string& line, HRESULT result);
  void record_draw(D3DPRIMITIVETYPE type, std::uint32_t start, std::uint32_t count);

  std::vector<std::string> calls_;
  std::vector<TraceDraw> draws_;
  std::vector<std::string> misuse_;
  std::map<std::string, std::pair<HRESULT, int>> failures_;
  int presents_ = 0;
  int clears_ = 0;
  bool recording_ = true;
  bool keep_vertices_ = false;
  SpriteDraw pending_sprite_{};
};

// A name for a result code in trace lines: D3D_OK, E_FAIL, D3DERR_INVALIDCALL or hex.
std::string result_name(HRESULT result);
