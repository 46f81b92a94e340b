#pragma once
// The trace backend: answers like a real device (the same core, the same
// checks, the same texture loading) but draws nothing. It keeps one readable
// line per call, a snapshot of the state at every draw, and every misuse the
// core notices. Tests of the drawing parts assert on it.
//
//   calls()               "SetRenderState(D3DRS_FOGENABLE, TRUE)", one per call
//   draws()               each draw with the state it ran under
//   misuse()              "DrawPrimitive outside BeginScene/EndScene", ...
//   released_textures()   the files of the textures released, in order
//   fail_next(m, r)       the next call of method m answers r (provoke failures)
//                         while recording
//   set_recording         off: nothing is stored (long runs)

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

class TraceDevice : public DeviceCore, private CallRecorder {
 public:
  TraceDevice();
  ~TraceDevice() override;

  const std::vector<std::string>& calls() const { return calls_; }
  const std::vector<TraceDraw>& draws() const { return draws_; }
  const std::vector<std::string>& misuse() const { return misuse_; }
  const std::vector<std::string>& released_textures() const { return released_textures_; }
  int presents() const { return presents_; }
  int clears() const { return clears_; }
  // Lines of calls() that start with `prefix`.
  std::vector<std::string> calls_starting(const std::string& prefix) const;
  void clear_trace();
  void set_recording(bool on);
  void set_keep_vertices(bool on) { keep_vertices_ = on; }
  // The next `times` calls of `method` ("CreateVertexBuffer", "Lock", ...) return `result`.
  void fail_next(const std::string& method, HRESULT result = E_FAIL, int times = 1);
  // Called by the trace's textures as they go.
  void texture_released(const std::string& source);

 protected:
  HRESULT clear_impl(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float) override;
  HRESULT present_impl() override;
  HRESULT draw_impl(D3DPRIMITIVETYPE type, std::uint32_t first, std::uint32_t vertices) override;
  CoreBuffer* make_buffer(std::uint32_t length, DWORD usage, DWORD fvf) override;
  CoreTexture* make_texture(Image& image, const std::string& source) override;

 private:
  void call(const CallRecord& record) override;
  void misuse(const std::string& what) override;
  HRESULT forced_result(const char* call) override;
  void record_draw(D3DPRIMITIVETYPE type, std::uint32_t start, std::uint32_t count);

  std::vector<std::string> calls_;
  std::vector<TraceDraw> draws_;
  std::vector<std::string> misuse_;
  std::vector<std::string> released_textures_;
  std::map<std::string, std::pair<HRESULT, int>> failures_;
  int presents_ = 0;
  int clears_ = 0;
  bool recording_ = true;
  bool keep_vertices_ = false;
};
