#include "gfx/gl_pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void copy_matrix(const D3DMATRIX& m, float (&out)[16]) { std::memcpy(out, m.m, sizeof out); }

void copy_color(const D3DCOLORVALUE& c, float (&out)[4]) {
  out[0] = c.r;
  out[1] = c.g;
  out[2] = c.b;
  out[3] = c.a;
}

void unpack_color(D3DCOLOR c, float (&out)[4]) {
  out[0] = static_cast<float>((c >> 16) & 0xFF) / 255.0f;
  out[1] = static_cast<float>((c >> 8) & 0xFF) / 255.0f;
  out[2] = static_cast<float>(c & 0xFF) / 255.0f;
  out[3] = static_cast<float>((c >> 24) & 0xFF) / 255.0f;
}

// Where a lit colour comes from: D3DMCS_COLOR1 the vertex's diffuse colour,
// D3DMCS_MATERIAL the material.
std::int32_t color_source(const DeviceState& state, D3DRENDERSTATETYPE source_state) {
  const bool vertex_has_diffuse = (state.fvf & D3DFVF_DIFFUSE) != 0;
  return state.bool_state(D3DRS_COLORVERTEX) && vertex_has_diffuse &&
                 state.render_states[source_state] == D3DMCS_COLOR1
             ? static_cast<std::int32_t>(D3DMCS_COLOR1)
             : static_cast<std::int32_t>(D3DMCS_MATERIAL);
}

void fill_lights(const DeviceState& state, FixedFunctionBlock& block) {
  std::int32_t count = 0;
  for (const LightSlot& slot : state.lights) {
    if (!slot.enabled || count == static_cast<std::int32_t>(MAX_ACTIVE_LIGHTS)) {
      continue;
    }
    const D3DLIGHT8& light = slot.light;
    const auto i = static_cast<std::size_t>(count++);
    // Lighting runs in camera space: positions and directions go through the view.
    const D3DMATRIX& v = state.view;
    if (light.Type == D3DLIGHT_DIRECTIONAL) {
      const float x = -light.Direction.x, y = -light.Direction.y, z = -light.Direction.z;
      float dir[3];
      for (int c = 0; c < 3; ++c) {
        dir[c] = x * v.m[0][c] + y * v.m[1][c] + z * v.m[2][c];
      }
      const float length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
      for (int c = 0; c < 3; ++c) {
        block.light_position[i][c] = length > 0.0f ? dir[c] / length : 0.0f;
      }
      block.light_position[i][3] = 0.0f;
    } else {
      const D3DVECTOR& p = light.Position;
      for (int c = 0; c < 3; ++c) {
        block.light_position[i][c] =
            p.x * v.m[0][c] + p.y * v.m[1][c] + p.z * v.m[2][c] + v.m[3][c];
      }
      block.light_position[i][3] = 1.0f;
    }
    copy_color(light.Diffuse, block.light_diffuse[i]);
    copy_color(light.Ambient, block.light_ambient[i]);
    block.light_attenuation[i][0] = light.Attenuation0;
    block.light_attenuation[i][1] = light.Attenuation1;
    block.light_attenuation[i][2] = light.Attenuation2;
    block.light_attenuation[i][3] = light.Range;
  }
  block.light_count = count;
}

}  // namespace

D3DMATRIX normal_matrix(const D3DMATRIX& m) {
  const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
  const float d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
  const float g = m.m[2][0], h = m.m[2][1], k = m.m[2][2];
  const float det = a * (e * k - f * h) - b * (d * k - f * g) + c * (d * h - e * g);
  D3DMATRIX out = identity_matrix();
  if (det == 0.0f) {
    return out;
  }
  const float inv = 1.0f / det;
  // Row-vector convention: n' = n * (M^-1)^T keeps normals perpendicular to surfaces.
  out.m[0][0] = (e * k - f * h) * inv;
  out.m[0][1] = (f * g - d * k) * inv;
  out.m[0][2] = (d * h - e * g) * inv;
  out.m[1][0] = (c * h - b * k) * inv;
  out.m[1][1] = (a * k - c * g) * inv;
  out.m[1][2] = (b * g - a * h) * inv;
  out.m[2][0] = (b * f - c * e) * inv;
  out.m[2][1] = (c * d - a * f) * inv;
  out.m[2][2] = (a * e - b * d) * inv;
  return out;
}

void fill_block(const DeviceState& state, D3DPRIMITIVETYPE type, bool sprite, float render_scale,
                FixedFunctionBlock& block) {
  const D3DMATRIX world_view = multiply(state.world, state.view);
  copy_matrix(world_view, block.world_view);
  copy_matrix(state.projection, block.projection);
  copy_matrix(normal_matrix(world_view), block.normal_matrix);
  copy_color(state.material.Diffuse, block.material_diffuse);
  copy_color(state.material.Ambient, block.material_ambient);
  copy_color(state.material.Emissive, block.material_emissive);
  unpack_color(state.render_states[D3DRS_AMBIENT], block.global_ambient);
  unpack_color(state.render_states[D3DRS_FOGCOLOR], block.fog_color);
  fill_lights(state, block);

  block.viewport_size[0] = static_cast<float>(state.viewport.Width);
  block.viewport_size[1] = static_cast<float>(state.viewport.Height);
  // The viewport stays in the show's units (GL's viewport carries the scale);
  // sizes in pixels do not, so they are scaled here.
  block.point_size_range[0] = state.float_state(D3DRS_POINTSIZE_MIN) * render_scale;
  block.point_size_range[1] = state.float_state(D3DRS_POINTSIZE_MAX) * render_scale;
  block.fog_params[0] = state.float_state(D3DRS_FOGSTART);
  block.fog_params[1] = state.float_state(D3DRS_FOGEND);
  block.fog_params[2] = state.float_state(D3DRS_FOGDENSITY);
  block.fog_params[3] = 0.0f;
  block.point_params[0] = state.float_state(D3DRS_POINTSIZE) * render_scale;
  block.point_params[1] = state.float_state(D3DRS_POINTSCALE_A);
  block.point_params[2] = state.float_state(D3DRS_POINTSCALE_B);
  block.point_params[3] = state.float_state(D3DRS_POINTSCALE_C);

  const bool pretransformed = (state.fvf & D3DFVF_XYZRHW) != 0;
  block.lighting = state.bool_state(D3DRS_LIGHTING) && !pretransformed ? 1 : 0;
  // Vertex fog only: table fog is not used by the show and leaves vertices unfogged here.
  const bool vertex_fog = state.bool_state(D3DRS_FOGENABLE) &&
                          state.render_states[D3DRS_FOGTABLEMODE] == D3DFOG_NONE &&
                          state.render_states[D3DRS_FOGVERTEXMODE] <= D3DFOG_LINEAR;
  block.fog_mode = static_cast<std::int32_t>(vertex_fog ? state.render_states[D3DRS_FOGVERTEXMODE]
                                                        : DWORD{D3DFOG_NONE});
  block.range_fog = state.bool_state(D3DRS_RANGEFOGENABLE) ? 1 : 0;
  block.pretransformed = pretransformed ? 1 : 0;
  block.diffuse_source = color_source(state, D3DRS_DIFFUSEMATERIALSOURCE);
  block.ambient_source = color_source(state, D3DRS_AMBIENTMATERIALSOURCE);
  block.emissive_source = color_source(state, D3DRS_EMISSIVEMATERIALSOURCE);
  block.texture_on = state.texture != nullptr ? 1 : 0;
  block.stage_modulate_alpha = sprite ? 1 : 0;
  block.point_sprite = state.bool_state(D3DRS_POINTSPRITEENABLE) ? 1 : 0;
  block.point_scale = state.bool_state(D3DRS_POINTSCALEENABLE) ? 1 : 0;
  block.alpha_func = state.bool_state(D3DRS_ALPHATESTENABLE)
                         ? static_cast<std::int32_t>(state.render_states[D3DRS_ALPHAFUNC])
                         : static_cast<std::int32_t>(D3DCMP_ALWAYS);
  block.alpha_ref = static_cast<std::int32_t>(state.render_states[D3DRS_ALPHAREF] & 0xFF);
  block.drawing_points = type == D3DPT_POINTLIST ? 1 : 0;
  // The sprite drawer's linear filter keeps the sharpness it has at 800 x 600.
  block.texel_sharpening = sprite ? std::max(render_scale, 1.0f) : 1.0f;
}
