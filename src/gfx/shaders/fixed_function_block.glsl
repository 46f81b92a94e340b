// The uniform block both fixed-function shaders read; it mirrors
// FixedFunctionBlock in gl_pipeline.h, whose layout is checked there. The
// Direct3D constants its fields carry are named as Direct3D names them.

#ifdef GL_ES
precision highp float;
precision highp int;
#endif

#define D3DFOG_NONE 0
#define D3DFOG_EXP 1
#define D3DFOG_EXP2 2
#define D3DFOG_LINEAR 3

#define D3DCMP_NEVER 1
#define D3DCMP_LESS 2
#define D3DCMP_EQUAL 3
#define D3DCMP_LESSEQUAL 4
#define D3DCMP_GREATER 5
#define D3DCMP_NOTEQUAL 6
#define D3DCMP_GREATEREQUAL 7
#define D3DCMP_ALWAYS 8

#define D3DMCS_MATERIAL 0
#define D3DMCS_COLOR1 1

layout(std140, row_major) uniform FixedFunction {
  mat4 world_view;
  mat4 projection;
  mat4 normal_matrix;
  vec4 material_diffuse;
  vec4 material_ambient;
  vec4 material_emissive;
  vec4 global_ambient;
  vec4 fog_color;
  vec4 light_position[8];     // camera space; w 1 for a point light, 0 for a direction
  vec4 light_diffuse[8];
  vec4 light_ambient[8];
  vec4 light_attenuation[8];  // Attenuation0, 1, 2, Range
  vec2 viewport_size;         // Width, Height (the show's pixels)
  vec2 point_size_range;      // POINTSIZE_MIN, POINTSIZE_MAX (the back buffer's pixels)
  vec4 fog_params;            // FOGSTART, FOGEND, FOGDENSITY
  vec4 point_params;          // POINTSIZE, POINTSCALE_A, _B, _C
  int light_count;
  int lighting;
  int fog_mode;               // D3DFOG_NONE, _EXP, _EXP2, _LINEAR
  int range_fog;
  int pretransformed;
  int diffuse_source;         // D3DMCS_MATERIAL, or D3DMCS_COLOR1 (the vertex colour)
  int ambient_source;
  int emissive_source;
  int texture_on;
  int stage_modulate_alpha;   // 0: alpha = texture (SELECTARG1); 1: texture x diffuse
  int point_sprite;
  int point_scale;
  int alpha_func;             // D3DCMP_*, D3DCMP_ALWAYS while the alpha test is off
  int alpha_ref;
  int drawing_points;
  float texel_sharpening;     // back-buffer pixels per show pixel for the sprite drawer, else 1
  float clip_y_sign;          // -1 while drawing into the window, whose rows count from the bottom
};
