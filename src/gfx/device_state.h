#pragma once
// The device-state record both backends keep: every setter writes here raw and
// marks a group dirty; the GL backend resolves the record just before a draw,
// the trace backend snapshots it at each draw.
//
//   DeviceState::DeviceState()   Direct3D 8's defaults for a new device
//   float_state(s), bool_state(s) read a render state as float or boolean
//   float_state_bits(value)      a float as the render state that carries it
//   identity_matrix()
//   multiply(a, b)               row-vector product a * b
//   fvf_stride(fvf)              bytes per vertex, 0 for formats we cannot draw
//   render_state_name, ...       enum names for trace lines

#include <array>
#include <cstdint>
#include <string>

#include "gfx/d3d_types.h"

class Texture;
class VertexBuffer;

// The most lights the pipeline evaluates at once.
constexpr DWORD MAX_ACTIVE_LIGHTS = 8;
// Light indices that may be set. Direct3D allows any index; the show's scenes
// use a handful, and the trace copies this record at every draw, so it stays small.
constexpr DWORD MAX_LIGHT_INDEX = 16;
// D3DRS_POINTSIZE_MAX's default: the device's largest point.
constexpr float MAX_POINT_SIZE = 64.0f;
// The pre-transformed vertex format the sprite drawer uses: x y z rhw, colour, u v.
constexpr DWORD FVF_XYZRHW_DIFFUSE_TEX1 = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Groups of state that a backend applies together.
enum DirtyBits : std::uint32_t {
  DIRTY_RENDER_STATES = 1u << 0,
  DIRTY_TRANSFORMS = 1u << 1,
  DIRTY_VIEWPORT = 1u << 2,
  DIRTY_LIGHTS = 1u << 3,
  DIRTY_MATERIAL = 1u << 4,
  DIRTY_TEXTURE = 1u << 5,
  DIRTY_STREAM = 1u << 6,
  DIRTY_ALL = 0x7Fu,
};

struct LightSlot {
  D3DLIGHT8 light{};
  bool set = false;
  bool enabled = false;
};

struct DeviceState {
  DeviceState();

  std::array<DWORD, D3DRS_COUNT> render_states{};
  D3DMATRIX world{};
  D3DMATRIX view{};
  D3DMATRIX projection{};
  D3DVIEWPORT8 viewport{};
  std::array<LightSlot, MAX_LIGHT_INDEX> lights{};
  D3DMATERIAL8 material{};
  Texture* texture = nullptr;
  VertexBuffer* stream = nullptr;
  std::uint32_t stream_stride = 0;
  DWORD fvf = 0;
  std::uint32_t dirty = DIRTY_ALL;

  float float_state(D3DRENDERSTATETYPE state) const;
  bool bool_state(D3DRENDERSTATETYPE state) const { return render_states[state] != 0; }
};

D3DMATRIX identity_matrix();
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b);
// Float render states travel as their 32-bit patterns.
DWORD float_state_bits(float value);
// Bytes per vertex of an FVF code we can draw; 0 for any other code.
std::uint32_t fvf_stride(DWORD fvf);
std::uint32_t vertex_count(D3DPRIMITIVETYPE type, std::uint32_t primitive_count);

// Names for the trace: the Direct3D spelling, or the number when unknown.
std::string render_state_name(DWORD state);
std::string render_state_value(DWORD state, DWORD value);
std::string primitive_name(DWORD type);
std::string transform_name(DWORD state);
std::string fvf_name(DWORD fvf);
