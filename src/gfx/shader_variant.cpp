#include "gfx/shader_variant.h"

#include <iterator>

#include "gfx/d3d_types.h"

namespace {

struct FeatureName {
  ShaderFeature feature;
  const char* name;
};

constexpr FeatureName FEATURE_NAMES[] = {
    {SHADER_TEXTURE, "TEXTURE"},
    {SHADER_SHARP_SPRITE, "SHARP_SPRITE"},
    {SHADER_POINT_COORD, "POINT_COORD"},
    {SHADER_MODULATE_ALPHA, "MODULATE_ALPHA"},
    {SHADER_ALPHA_TEST, "ALPHA_TEST"},
    {SHADER_FOG, "FOG"},
    {SHADER_PRETRANSFORMED, "PRETRANSFORMED"},
    {SHADER_LIGHTING, "LIGHTING"},
    {SHADER_POINTS, "POINTS"},
    {SHADER_KEYED_ALPHA, "KEYED_ALPHA"},
};
static_assert(SHADER_VARIANTS == 1u << std::size(FEATURE_NAMES), "every feature has its name");

}  // namespace

std::uint32_t shader_variant(const FixedFunctionBlock& block, bool keyed_alpha_texture) {
  std::uint32_t variant = 0;
  if (block.texture_on != 0) {
    // The other texture features mean nothing without a texture: fewer programs.
    variant |= SHADER_TEXTURE;
    if (block.texel_sharpening != 1.0f) {
      variant |= SHADER_SHARP_SPRITE;
      if (keyed_alpha_texture) variant |= SHADER_KEYED_ALPHA;
    }
    if (block.drawing_points != 0 && block.point_sprite != 0) variant |= SHADER_POINT_COORD;
    if (block.stage_modulate_alpha != 0) variant |= SHADER_MODULATE_ALPHA;
  }
  if (block.alpha_func != static_cast<std::int32_t>(D3DCMP_ALWAYS)) variant |= SHADER_ALPHA_TEST;
  // The vertex stage leaves pre-transformed vertices unfogged.
  if (block.fog_mode != static_cast<std::int32_t>(D3DFOG_NONE) && block.pretransformed == 0)
    variant |= SHADER_FOG;
  if (block.pretransformed != 0) variant |= SHADER_PRETRANSFORMED;
  if (block.lighting != 0) variant |= SHADER_LIGHTING;
  if (block.drawing_points != 0) variant |= SHADER_POINTS;
  return variant;
}

std::string variant_prelude(std::uint32_t variant) {
  std::string prelude;
  for (const FeatureName& f : FEATURE_NAMES) {
    if ((variant & f.feature) != 0) {
      prelude += std::string("#define ") + f.name + "\n";
    }
  }
  return prelude;
}

bool keyed_alpha_only(const Image& image) {
  for (std::size_t i = 0; i + 3 < image.rgba.size(); i += 4) {
    const std::uint8_t* p = image.rgba.data() + i;
    const bool opaque = p[3] == 255;
    const bool clear_black = p[3] == 0 && p[0] == 0 && p[1] == 0 && p[2] == 0;
    if (!opaque && !clear_black) {
      return false;
    }
  }
  return true;
}
