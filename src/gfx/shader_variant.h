#pragma once
// Which fixed-function program a draw needs: the vertex and pixel stages it
// really runs, given to the shaders as #define lines before their text. Each variant is
// straight-line code for llvmpipe, which otherwise runs both sides of a branch
// on a uniform; and only variants with the alpha test can discard, so the
// others keep early depth testing.
//
//   shader_variant(block, keyed)  the variant for a draw whose uniforms are
//                             `block`, its texture's alpha only the colour key's when `keyed`
//   variant_prelude(variant)  its #define lines
//   keyed_alpha_only(image)   every texel opaque, or transparent and black

#include <cstdint>
#include <string>

#include "gfx/gl_pipeline.h"
#include "gfx/image_file.h"

enum ShaderFeature : std::uint32_t {
  SHADER_TEXTURE = 1u << 0,         // stage 0 has a texture
  SHADER_SHARP_SPRITE = 1u << 1,    // the sprite drawer's sharp filter (an enlarged back buffer)
  SHADER_POINT_COORD = 1u << 2,     // point sprites: texture coordinates across the point
  SHADER_MODULATE_ALPHA = 1u << 3,  // alpha = texture x diffuse
  SHADER_ALPHA_TEST = 1u << 4,
  SHADER_FOG = 1u << 5,             // vertex fog, and its blend
  SHADER_PRETRANSFORMED = 1u << 6,  // screen positions, no transform
  SHADER_LIGHTING = 1u << 7,
  SHADER_POINTS = 1u << 8,  // a point list: the vertex stage gives the point size
  // The sharp filter on a texture whose alpha is only the colour key's (see keyed_alpha_only).
  SHADER_KEYED_ALPHA = 1u << 9,
};
constexpr std::uint32_t SHADER_VARIANTS = 1u << 10;

std::uint32_t shader_variant(const FixedFunctionBlock& block, bool keyed_alpha_texture);
std::string variant_prelude(std::uint32_t variant);
bool keyed_alpha_only(const Image& image);
