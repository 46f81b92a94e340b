#pragma once
// The uniform block of the fixed-function shaders, in std140 layout, and how
// the device-state record fills it.
//
//   FixedFunctionBlock                    mirrors shaders/fixed_function_block.glsl
//   fill_block(state, type, sprite, scale, block)   resolve the record for one draw

#include <cstddef>
#include <cstdint>

#include "gfx/device_state.h"

struct FixedFunctionBlock {
  float world_view[16];
  float projection[16];
  float normal_matrix[16];
  float material_diffuse[4];
  float material_ambient[4];
  float material_emissive[4];
  float global_ambient[4];
  float fog_color[4];
  float light_position[8][4];
  float light_diffuse[8][4];
  float light_ambient[8][4];
  float light_attenuation[8][4];
  float viewport_size[2];
  float point_size_range[2];
  float fog_params[4];
  float point_params[4];
  std::int32_t light_count;
  std::int32_t lighting;
  std::int32_t fog_mode;
  std::int32_t range_fog;
  std::int32_t pretransformed;
  std::int32_t diffuse_source;
  std::int32_t ambient_source;
  std::int32_t emissive_source;
  std::int32_t texture_on;
  std::int32_t stage_modulate_alpha;
  std::int32_t point_sprite;
  std::int32_t point_scale;
  std::int32_t alpha_func;
  std::int32_t alpha_ref;
  std::int32_t drawing_points;
  float texel_sharpening;
  float clip_y_sign;  // -1 while drawing into the window, whose rows count from the bottom
  float padding[3];   // std140 rounds the block up to 16 bytes
};

// std140: matrices and vec4s on 16-byte boundaries, ints packed after them.
static_assert(offsetof(FixedFunctionBlock, projection) == 64);
static_assert(offsetof(FixedFunctionBlock, material_diffuse) == 192);
static_assert(offsetof(FixedFunctionBlock, light_position) == 272);
static_assert(offsetof(FixedFunctionBlock, light_attenuation) == 272 + 3 * 128);
static_assert(offsetof(FixedFunctionBlock, viewport_size) == 784);
static_assert(offsetof(FixedFunctionBlock, point_size_range) == 792);
static_assert(offsetof(FixedFunctionBlock, fog_params) == 800);
static_assert(offsetof(FixedFunctionBlock, light_count) == 832);
static_assert(offsetof(FixedFunctionBlock, drawing_points) == 888);
static_assert(offsetof(FixedFunctionBlock, clip_y_sign) == 896);
static_assert(sizeof(FixedFunctionBlock) == 912);

// Resolves `state` for a draw of `type`; `sprite` selects the sprite drawer's
// stage setup (alpha modulated by the diffuse colour). `render_scale` is the
// back buffer's pixels per show pixel: point sizes are in the show's pixels
// and grow by it.
void fill_block(const DeviceState& state, D3DPRIMITIVETYPE type, bool sprite, float render_scale,
                FixedFunctionBlock& block);
// The inverse transpose of m's upper 3x3 (normals into camera space), as a 4x4.
D3DMATRIX normal_matrix(const D3DMATRIX& m);
