// Direct3D 8's fixed-function vertex pipeline: transform, per-vertex lighting,
// vertex fog and point size. Names follow Direct3D. The build puts the
// version line, the draw's variant (#define lines naming the stages it runs:
// PRETRANSFORMED, LIGHTING, FOG, POINTS) and fixed_function_block.glsl before
// this text.

layout(location = 0) in vec4 in_position;  // x y z, or x y z rhw when pre-transformed
layout(location = 1) in vec3 in_normal;    // (0, 0, 0) when the format has none
// D3DCOLOR's bytes as they lie in memory, B G R A (GLES reads no BGRA
// attributes); opaque white when the format has none.
layout(location = 2) in vec4 in_diffuse_bgra;
layout(location = 3) in vec2 in_texcoord;

out vec4 v_color;
out vec2 v_texcoord;
out float v_fog;

// Clip position for pre-transformed vertices: pixels relative to the viewport,
// pixel centres on whole numbers, z in [0, 1], w = 1 / rhw. The position is in
// the show's pixels: GL's viewport scales it to the back buffer, after the
// half-pixel shift has put the show's pixel centres where GL has them.
vec4 transform_pretransformed() {
  float w = in_position.w != 0.0 ? 1.0 / in_position.w : 1.0;
  vec2 ndc = (in_position.xy + 0.5) / viewport_size.xy * 2.0 - 1.0;
  return vec4(ndc * w, (2.0 * in_position.z - 1.0) * w, w);
}

// p * world * view * projection (row vectors), then into GL's conventions: the
// back buffer is stored top row first, so y flips; depth [0, 1] becomes
// [-1, 1]; Direct3D's pixel centres sit half a pixel up and left of GL's.
vec4 transform(vec4 camera) {
  vec4 clip = camera * projection;
  clip.y = -clip.y;
  clip.z = 2.0 * clip.z - clip.w;
  clip.xy += clip.w / viewport_size.xy;
  return clip;
}

vec4 vertex_diffuse() { return in_diffuse_bgra.zyxw; }

vec4 color_source(int source, vec4 material) {
  return source == D3DMCS_COLOR1 ? vertex_diffuse() : material;
}

// colour = Emissive + Ambient * (AMBIENT + sum Light.Ambient * att)
//        + Diffuse * sum Light.Diffuse * max(N.L, 0) * att, clamped; alpha = Diffuse alpha.
// A point light farther than its Range adds nothing, ambient included.
vec4 lighting_stage(vec3 position, vec3 normal) {
  vec4 diffuse = color_source(diffuse_source, material_diffuse);
  vec4 ambient = color_source(ambient_source, material_ambient);
  vec4 emissive = color_source(emissive_source, material_emissive);
  vec3 ambient_sum = vec3(0.0);
  vec3 diffuse_sum = vec3(0.0);
  for (int i = 0; i < light_count; ++i) {
    vec3 to_light = light_position[i].xyz;
    float att = 1.0;
    if (light_position[i].w != 0.0) {
      to_light -= position;
      float d = length(to_light);
      if (d > light_attenuation[i].w) {
        continue;
      }
      vec3 a = light_attenuation[i].xyz;
      float denominator = a.x + a.y * d + a.z * d * d;
      att = denominator > 0.0 ? 1.0 / denominator : 1.0e30;
      to_light = d > 0.0 ? to_light / d : vec3(0.0);
    }
    ambient_sum += light_ambient[i].rgb * att;
    diffuse_sum += light_diffuse[i].rgb * max(dot(normal, to_light), 0.0) * att;
  }
  vec3 color = emissive.rgb + ambient.rgb * (global_ambient.rgb + ambient_sum) +
               diffuse.rgb * diffuse_sum;
  return vec4(clamp(color, 0.0, 1.0), clamp(diffuse.a, 0.0, 1.0));
}

// EXP: f = e^(-density d); EXP2: f = e^(-(density d)^2); LINEAR: (end - d) / (end - start);
// d the camera-space depth, or the distance with range fog.
float fog_stage(vec3 position) {
  if (fog_mode == D3DFOG_NONE || pretransformed != 0) {
    return 1.0;
  }
  float d = range_fog != 0 ? length(position) : abs(position.z);
  float density = fog_params.z;
  float f = 1.0;
  if (fog_mode == D3DFOG_EXP) {
    f = exp(-density * d);
  } else if (fog_mode == D3DFOG_EXP2) {
    f = exp(-(density * d) * (density * d));
  } else if (fog_params.y != fog_params.x) {  // D3DFOG_LINEAR
    f = (fog_params.y - d) / (fog_params.y - fog_params.x);
  }
  return clamp(f, 0.0, 1.0);
}

// Without scaling a point is POINTSIZE pixels; with it,
// size = Height * POINTSIZE * sqrt(1 / (A + B d + C d^2)); clamped to [MIN, MAX].
float point_size_stage(vec3 position) {
  float size = point_params.x;
  if (point_scale != 0) {
    float d = length(position);
    float q = point_params.y + point_params.z * d + point_params.w * d * d;
    size = q > 0.0 ? viewport_size.y * size * sqrt(1.0 / q) : point_size_range.x;
  }
  return clamp(size, point_size_range.x, point_size_range.y);
}

void main() {
  v_texcoord = in_texcoord;
#ifdef PRETRANSFORMED
  gl_Position = transform_pretransformed();
  v_color = vertex_diffuse();
  v_fog = 1.0;
  vec3 camera = vec3(0.0);
#else
  vec4 camera4 = vec4(in_position.xyz, 1.0) * world_view;
  gl_Position = transform(camera4);
  vec3 camera = camera4.xyz;
#ifdef LIGHTING
  vec3 normal = (vec4(in_normal, 0.0) * normal_matrix).xyz;
  v_color = lighting_stage(camera, normal);
#else
  v_color = vertex_diffuse();
#endif
#ifdef FOG
  v_fog = fog_stage(camera);
#else
  v_fog = 1.0;
#endif
#endif
#ifdef POINTS
  gl_PointSize = point_size_stage(camera);
#endif
  // Into the window the whole picture turns over: the same pixels, bottom row first.
  gl_Position.y *= clip_y_sign;
}
