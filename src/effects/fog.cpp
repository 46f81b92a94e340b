#include "effects/fog.h"

#include "gfx/device_state.h"
#include "shell/base/render_helpers.h"

namespace {
// The linear formula's fixed range; the show itself only asks for EXP.
constexpr float LINEAR_FOG_START = 0.1f;
constexpr float LINEAR_FOG_END = 0.9f;
}  // namespace

void set_fog(D3DCOLOR colour, DWORD vertex_mode, std::int32_t range_fog, float density) {
  set_render_state(D3DRS_FOGENABLE, TRUE);
  set_render_state(D3DRS_FOGCOLOR, colour);
  // No table fog: the factor is computed per vertex.
  set_render_state(D3DRS_FOGTABLEMODE, D3DFOG_NONE);
  set_render_state(D3DRS_FOGVERTEXMODE, vertex_mode);
  if (vertex_mode == D3DFOG_LINEAR) {
    set_render_state(D3DRS_FOGSTART, float_state_bits(LINEAR_FOG_START));
    set_render_state(D3DRS_FOGEND, float_state_bits(LINEAR_FOG_END));
  } else {
    set_render_state(D3DRS_FOGDENSITY, float_state_bits(density));
  }
  if (range_fog != 0) {
    set_render_state(D3DRS_RANGEFOGENABLE, TRUE);
  }
}
