// Direct3D 8's fixed-function pixel side: texture stage 0 at its defaults,
// the alpha test and vertex fog. The build puts the version line and
// fixed_function_block.glsl before this text.

uniform sampler2D stage0;

in vec4 v_color;
in vec2 v_texcoord;
in float v_fog;

out vec4 frag_color;

// COLOROP MODULATE (texture x diffuse); ALPHAOP SELECTARG1 (texture), or
// MODULATE for the sprite drawer. With no texture the stage passes the
// diffuse colour and alpha through.
vec4 texture_stage() {
  if (texture_on == 0) {
    return v_color;
  }
  // A point sprite's texture runs from (0, 0) at its top-left to (1, 1).
  vec2 uv = (drawing_points != 0 && point_sprite != 0) ? gl_PointCoord : v_texcoord;
  vec4 texel = texture(stage0, uv);
  float alpha = stage_modulate_alpha != 0 ? texel.a * v_color.a : texel.a;
  return vec4(texel.rgb * v_color.rgb, alpha);
}

// D3DCMP_* against ALPHAREF, on the 0..255 scale.
bool alpha_test_passes(float alpha) {
  int a = int(floor(alpha * 255.0 + 0.5));
  switch (alpha_func) {
    case 1: return false;
    case 2: return a < alpha_ref;
    case 3: return a == alpha_ref;
    case 4: return a <= alpha_ref;
    case 5: return a > alpha_ref;
    case 6: return a != alpha_ref;
    case 7: return a >= alpha_ref;
    default: return true;
  }
}

// result = f * colour + (1 - f) * fog colour; alpha is kept.
vec4 fog_stage(vec4 color) {
  return vec4(mix(fog_color.rgb, color.rgb, v_fog), color.a);
}

void main() {
  vec4 color = texture_stage();
  if (!alpha_test_passes(color.a)) {
    discard;
  }
  frag_color = fog_stage(color);
}
