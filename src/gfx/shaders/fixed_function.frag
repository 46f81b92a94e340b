// Direct3D 8's fixed-function pixel side: texture stage 0 at its defaults,
// the alpha test and vertex fog. The build puts the version line, the draw's
// variant (#define lines naming the stages it runs: TEXTURE, SHARP_SPRITE,
// POINT_COORD, KEYED_ALPHA, MODULATE_ALPHA, ALPHA_TEST, FOG) and fixed_function_block.glsl
// before this text.

uniform sampler2D stage0;

in vec4 v_color;
in vec2 v_texcoord;
in float v_fog;

out vec4 frag_color;

// The sprite drawer's linear filter on a back buffer with texel_sharpening
// pixels per show pixel. Inside a texel the filter weight runs that much
// faster (sharp bilinear), so texels keep the crisp edges they have at
// 800 x 600 instead of spreading each blend over more pixels; never sharper
// than one pixel per texel. The few pixels still blended weigh colours by
// alpha, so a colour-keyed texel's transparent black does not darken its
// neighbour. A texture whose alpha is only the key's (KEYED_ALPHA: opaque, or
// transparent and black) has its colours weighed by alpha already: one linear
// fetch does the blend. Others take four fetches, clamped as the drawer's
// sampler clamps.
vec4 sharp_sprite_texel(vec2 uv) {
  ivec2 size = textureSize(stage0, 0);
  vec2 t = uv * vec2(size) - 0.5;
  vec2 base = floor(t);
  vec2 pixels_per_texel = 1.0 / max(fwidth(t), vec2(1.0e-6));
  vec2 k = clamp(pixels_per_texel, vec2(1.0), vec2(texel_sharpening));
  vec2 f = clamp((t - base - 0.5) * k + 0.5, 0.0, 1.0);
#ifdef KEYED_ALPHA
  vec4 texel = texture(stage0, (base + 0.5 + f) / vec2(size));
  return vec4(texel.a > 0.0 ? texel.rgb / texel.a : vec3(0.0), texel.a);
#else
  ivec2 i0 = clamp(ivec2(base), ivec2(0), size - 1);
  ivec2 i1 = clamp(ivec2(base) + 1, ivec2(0), size - 1);
  vec4 t00 = texelFetch(stage0, i0, 0);
  vec4 t10 = texelFetch(stage0, ivec2(i1.x, i0.y), 0);
  vec4 t01 = texelFetch(stage0, ivec2(i0.x, i1.y), 0);
  vec4 t11 = texelFetch(stage0, i1, 0);
  vec4 w = vec4((1.0 - f.x) * (1.0 - f.y), f.x * (1.0 - f.y), (1.0 - f.x) * f.y, f.x * f.y);
  vec4 a = w * vec4(t00.a, t10.a, t01.a, t11.a);
  float alpha = a.x + a.y + a.z + a.w;
  vec3 rgb = t00.rgb * a.x + t10.rgb * a.y + t01.rgb * a.z + t11.rgb * a.w;
  return vec4(alpha > 0.0 ? rgb / alpha : vec3(0.0), alpha);
#endif
}

// COLOROP MODULATE (texture x diffuse); ALPHAOP SELECTARG1 (texture), or
// MODULATE for the sprite drawer. With no texture the stage passes the
// diffuse colour and alpha through.
vec4 texture_stage() {
#ifndef TEXTURE
  return v_color;
#else
#ifdef POINT_COORD
  // gl_PointCoord runs from (0, 0) at the point's top-left to (1, 1) as GL's
  // window counts (GLES has no other origin); in the back buffer, stored top
  // row first, the picture's top is GL's bottom.
  vec2 uv = vec2(gl_PointCoord.x, clip_y_sign > 0.0 ? 1.0 - gl_PointCoord.y : gl_PointCoord.y);
#else
  vec2 uv = v_texcoord;
#endif
#ifdef SHARP_SPRITE
  vec4 texel = sharp_sprite_texel(uv);
#else
  vec4 texel = texture(stage0, uv);
#endif
#ifdef MODULATE_ALPHA
  float alpha = texel.a * v_color.a;
#else
  float alpha = texel.a;
#endif
  return vec4(texel.rgb * v_color.rgb, alpha);
#endif
}

// D3DCMP_* against ALPHAREF, on the 0..255 scale.
bool alpha_test_passes(float alpha) {
  int a = int(floor(alpha * 255.0 + 0.5));
  switch (alpha_func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return a < alpha_ref;
    case D3DCMP_EQUAL: return a == alpha_ref;
    case D3DCMP_LESSEQUAL: return a <= alpha_ref;
    case D3DCMP_GREATER: return a > alpha_ref;
    case D3DCMP_NOTEQUAL: return a != alpha_ref;
    case D3DCMP_GREATEREQUAL: return a >= alpha_ref;
    default: return true;  // D3DCMP_ALWAYS
  }
}

// result = f * colour + (1 - f) * fog colour; alpha is kept.
vec4 fog_stage(vec4 color) {
  return vec4(mix(fog_color.rgb, color.rgb, v_fog), color.a);
}

void main() {
  vec4 color = texture_stage();
#ifdef ALPHA_TEST
  if (!alpha_test_passes(color.a)) {
    discard;
  }
#endif
#ifdef FOG
  color = fog_stage(color);
#endif
  frag_color = color;
}
