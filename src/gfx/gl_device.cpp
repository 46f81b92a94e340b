#include "gfx/gl_device.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "gfx/device_core.h"
#include "gfx/gl_api.h"
#include "gfx/gl_pipeline.h"
#include "gfx/gl_presenter.h"
#include "gfx/render_scale.h"
#include "gfx/shader_variant.h"

extern const char fixed_function_vert[];
extern const char fixed_function_frag[];
extern const char fixed_function_block_glsl[];

namespace {

// Attribute locations of the fixed-function vertex shader.
constexpr GLuint ATTRIB_POSITION = 0;
constexpr GLuint ATTRIB_NORMAL = 1;
constexpr GLuint ATTRIB_DIFFUSE = 2;
constexpr GLuint ATTRIB_TEXCOORD = 3;
constexpr GLuint BLOCK_BINDING = 0;
// Smallest GL storage for a vertex buffer; storage grows by doubling so that
// buffers remade every frame settle on one size.
constexpr GLsizeiptr MIN_GL_BUFFER = 4096;

class GlBuffer : public CoreBuffer {
 public:
  GlBuffer(DeviceCore* owner, std::uint32_t length, DWORD usage, DWORD fvf)
      : CoreBuffer(owner, length, usage, fvf) {
    glGenBuffers(1, &name_);
  }
  void free_backend() override {
    if (name_ != 0) {
      glDeleteBuffers(1, &name_);
      name_ = 0;
    }
  }
  // Sends new contents to GL; the caller has the buffer bound to GL_ARRAY_BUFFER.
  void upload() {
    if (!stale_) {
      return;
    }
    const auto needed = static_cast<GLsizeiptr>(length());
    if (needed > gl_capacity_) {
      gl_capacity_ = std::max(gl_capacity_, MIN_GL_BUFFER);
      while (gl_capacity_ < needed) {
        gl_capacity_ *= 2;
      }
      glBufferData(GL_ARRAY_BUFFER, gl_capacity_, nullptr, GL_DYNAMIC_DRAW);
    }
    glBufferSubData(GL_ARRAY_BUFFER, 0, needed, bytes());
    stale_ = false;
  }
  GLuint name() const { return name_; }

 protected:
  void contents_changed() override { stale_ = true; }

 private:
  GLuint name_ = 0;
  GLsizeiptr gl_capacity_ = 0;
  bool stale_ = true;
};

class GlTexture : public CoreTexture {
 public:
  GlTexture(DeviceCore* owner, const Image& image, const std::string& source)
      : CoreTexture(owner, image.width, image.height, source),
        keyed_alpha_(keyed_alpha_only(image)) {
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Rows go in top row first, so v = 0 samples the image's top as in Direct3D.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(image.width),
                 static_cast<GLsizei>(image.height), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.rgba.data());
    // Only level 0 exists: the stage samples with MIPFILTER NONE.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  }
  void free_backend() override {
    if (name_ != 0) {
      glDeleteTextures(1, &name_);
      name_ = 0;
    }
  }
  GLuint name() const { return name_; }
  bool keyed_alpha() const { return keyed_alpha_; }

 private:
  GLuint name_ = 0;
  bool keyed_alpha_;
};

GLenum blend_factor(DWORD blend) {
  switch (blend) {
    case D3DBLEND_ZERO:
      return GL_ZERO;
    case D3DBLEND_ONE:
      return GL_ONE;
    case D3DBLEND_SRCCOLOR:
      return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
      return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
      return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
      return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
      return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
      return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
      return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
      return GL_ONE_MINUS_DST_COLOR;
    default:
      return GL_ONE;
  }
}

GLenum compare_func(DWORD func) {
  switch (func) {
    case D3DCMP_NEVER:
      return GL_NEVER;
    case D3DCMP_LESS:
      return GL_LESS;
    case D3DCMP_EQUAL:
      return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
      return GL_LEQUAL;
    case D3DCMP_GREATER:
      return GL_GREATER;
    case D3DCMP_NOTEQUAL:
      return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
      return GL_GEQUAL;
    default:
      return GL_ALWAYS;
  }
}

GLenum primitive_mode(D3DPRIMITIVETYPE type) {
  switch (type) {
    case D3DPT_POINTLIST:
      return GL_POINTS;
    case D3DPT_LINELIST:
      return GL_LINES;
    case D3DPT_LINESTRIP:
      return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP:
      return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
      return GL_TRIANGLE_FAN;
    case D3DPT_TRIANGLELIST:
    default:
      return GL_TRIANGLES;
  }
}

GLuint compile(GLenum kind, const std::string& prelude, const char* body, std::string& error) {
  const char* parts[] = {"#version " PLOVERMIX_GLSL_VERSION "\n", prelude.c_str(),
                         fixed_function_block_glsl, body};
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 4, parts, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[2048] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string(kind == GL_VERTEX_SHADER ? "vertex" : "fragment") +
            " shader does not compile: " + log;
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

// The GL state we last set, so that a draw touches GL only for what changed.
struct GlCache {
  int depth_test = -1;
  int depth_write = -1;
  GLenum depth_func = 0;
  int blend = -1;
  GLenum blend_src = 0;
  GLenum blend_dst = 0;
  int cull = -1;
  GLenum cull_face = 0;
};

class GlDevice : public DeviceCore {
 public:
  explicit GlDevice(GlSurface& surface) : surface_(surface) { pool_buffers_ = true; }
  ~GlDevice() override;
  bool init(PixelSize size, std::string& error);
  Presenter* presenter() const { return presenter_.get(); }

 protected:
  HRESULT clear_impl(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                     float z) override;
  HRESULT present_impl() override;
  HRESULT draw_impl(D3DPRIMITIVETYPE type, std::uint32_t first, std::uint32_t vertices) override;
  CoreBuffer* make_buffer(std::uint32_t length, DWORD usage, DWORD fvf) override;
  CoreTexture* make_texture(Image& image, const std::string& source) override;

 private:
  // Drawing moved to another framebuffer, orientation or size: every state is
  // applied again at the next draw, GL's cache included.
  void target_changed();
  bool make_pipeline(std::string& error);
  // The program of `variant`, compiled and linked at its first use; 0 when it fails.
  GLuint program_for(std::uint32_t variant, std::string& error);
  void apply_render_states();
  void apply_viewport();
  void apply_stream();
  void set_depth_write(bool on);

  GlSurface& surface_;
  bool has_context_ = false;
  // The swap chain; made once the context is, and deleted before it.
  std::unique_ptr<GlPresenter> presenter_;
  std::array<GLuint, SHADER_VARIANTS> programs_{};
  GLuint program_in_use_ = 0, vao_ = 0, ubo_ = 0;
  GLuint sampler_stage_ = 0, sampler_sprite_ = 0;
  FixedFunctionBlock block_{};
  GlCache cache_;
  const CoreBuffer* bound_stream_ = nullptr;
  DWORD bound_fvf_ = 0;
  D3DPRIMITIVETYPE last_type_ = D3DPT_TRIANGLELIST;
  bool last_sprite_ = false;
};

GlDevice::~GlDevice() {
  if (!has_context_) {
    return;
  }
  surface_.make_current();
  orphan_resources();
  for (const GLuint program : programs_) {
    glDeleteProgram(program);
  }
  glDeleteVertexArrays(1, &vao_);
  glDeleteBuffers(1, &ubo_);
  glDeleteSamplers(1, &sampler_stage_);
  glDeleteSamplers(1, &sampler_sprite_);
  presenter_.reset();
  surface_.release_context();
}

void GlDevice::target_changed() {
  state_.dirty = DIRTY_ALL;
  cache_ = GlCache{};
}

GLuint GlDevice::program_for(std::uint32_t variant, std::string& error) {
  if (programs_[variant] != 0) {
    return programs_[variant];
  }
  const std::string prelude = variant_prelude(variant);
  const GLuint vert = compile(GL_VERTEX_SHADER, prelude, fixed_function_vert, error);
  if (vert == 0) {
    return 0;
  }
  const GLuint frag = compile(GL_FRAGMENT_SHADER, prelude, fixed_function_frag, error);
  if (frag == 0) {
    glDeleteShader(vert);
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vert);
  glAttachShader(program, frag);
  glLinkProgram(program);
  glDeleteShader(vert);
  glDeleteShader(frag);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (ok != GL_TRUE) {
    char log[2048] = {};
    glGetProgramInfoLog(program, sizeof log, nullptr, log);
    error = std::string("the fixed-function program does not link: ") + log;
    glDeleteProgram(program);
    return 0;
  }
  const GLuint block_index = glGetUniformBlockIndex(program, "FixedFunction");
  GLint block_size = 0;
  glGetActiveUniformBlockiv(program, block_index, GL_UNIFORM_BLOCK_DATA_SIZE, &block_size);
  // Some drivers (ANGLE) leave out the block's rounding up to 16 bytes.
  const GLint rounded_size = (block_size + 15) / 16 * 16;
  if (block_index == GL_INVALID_INDEX || rounded_size != static_cast<GLint>(sizeof block_)) {
    error = "the fixed-function uniform block (" + std::to_string(block_size) +
            " bytes) does not match FixedFunctionBlock";
    glDeleteProgram(program);
    return 0;
  }
  glUniformBlockBinding(program, block_index, BLOCK_BINDING);
  glUseProgram(program);
  glUniform1i(glGetUniformLocation(program, "stage0"), 0);
  glUseProgram(program_in_use_);
  programs_[variant] = program;
  return program;
}

bool GlDevice::make_pipeline(std::string& error) {
  // Every variant but this one is made when a draw first needs it; this one
  // proves the shaders at start-up.
  if (program_for(0, error) == 0) {
    return false;
  }
  glGenBuffers(1, &ubo_);
  glBindBuffer(GL_UNIFORM_BUFFER, ubo_);
  glBufferData(GL_UNIFORM_BUFFER, sizeof block_, nullptr, GL_DYNAMIC_DRAW);
  glBindBufferBase(GL_UNIFORM_BUFFER, BLOCK_BINDING, ubo_);
  glGenVertexArrays(1, &vao_);
  glBindVertexArray(vao_);

  // Stage 0's defaults: point filtering, wrap addressing. The sprite drawer:
  // linear filtering, clamped.
  glGenSamplers(1, &sampler_stage_);
  glSamplerParameteri(sampler_stage_, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glSamplerParameteri(sampler_stage_, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glSamplerParameteri(sampler_stage_, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glSamplerParameteri(sampler_stage_, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glGenSamplers(1, &sampler_sprite_);
  glSamplerParameteri(sampler_sprite_, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glSamplerParameteri(sampler_sprite_, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glSamplerParameteri(sampler_sprite_, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glSamplerParameteri(sampler_sprite_, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return true;
}

bool GlDevice::init(PixelSize size, std::string& error) {
  if (!surface_.create_context(error)) {
    return false;
  }
  has_context_ = true;
  surface_.request_vsync();
  presenter_ = std::make_unique<GlPresenter>(surface_, [this] { target_changed(); });
  if (!presenter_->make(size, error) || !make_pipeline(error)) {
    return false;
  }
#ifndef PLOVERMIX_GLES
  glEnable(GL_PROGRAM_POINT_SIZE);  // GLES takes the point size from the shader always
#endif
  state_.dirty = DIRTY_ALL;
  apply_viewport();
  clear_impl(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f);
  if (glGetError() != GL_NO_ERROR) {
    error = "OpenGL reported an error while setting up the device";
    return false;
  }
  return true;
}

void GlDevice::set_depth_write(bool on) {
  if (cache_.depth_write != static_cast<int>(on)) {
    glDepthMask(on ? GL_TRUE : GL_FALSE);
    cache_.depth_write = on;
  }
}

void GlDevice::apply_render_states() {
  const DeviceState& s = state_;
  const bool depth_test = s.render_states[D3DRS_ZENABLE] != D3DZB_FALSE;
  if (cache_.depth_test != static_cast<int>(depth_test)) {
    depth_test ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    cache_.depth_test = depth_test;
  }
  set_depth_write(s.bool_state(D3DRS_ZWRITEENABLE));
  const GLenum depth_func = compare_func(s.render_states[D3DRS_ZFUNC]);
  if (cache_.depth_func != depth_func) {
    glDepthFunc(depth_func);
    cache_.depth_func = depth_func;
  }
  const bool blend = s.bool_state(D3DRS_ALPHABLENDENABLE);
  if (cache_.blend != static_cast<int>(blend)) {
    blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    cache_.blend = blend;
  }
  const GLenum src = blend_factor(s.render_states[D3DRS_SRCBLEND]);
  const GLenum dst = blend_factor(s.render_states[D3DRS_DESTBLEND]);
  if (cache_.blend_src != src || cache_.blend_dst != dst) {
    glBlendFunc(src, dst);
    cache_.blend_src = src;
    cache_.blend_dst = dst;
  }
  // Direct3D's screen is y-down and the back buffer is stored flipped, so
  // Direct3D's counter-clockwise triangles are GL's clockwise (back) ones;
  // the presenter's orientation keeps that so in the window.
  const DWORD cull_mode = s.render_states[D3DRS_CULLMODE];
  const bool cull = cull_mode == D3DCULL_CW || cull_mode == D3DCULL_CCW;
  if (cache_.cull != static_cast<int>(cull)) {
    cull ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    cache_.cull = cull;
  }
  const GLenum face = cull_mode == D3DCULL_CW ? GL_FRONT : GL_BACK;
  if (cull && cache_.cull_face != face) {
    glCullFace(face);
    cache_.cull_face = face;
  }
}

void GlDevice::apply_viewport() {
  const D3DVIEWPORT8& v = state_.viewport;
  const PixelRect r = presenter_->on_target(scale_viewport(presenter_->render_size(), v));
  glViewport(r.x, r.y, r.width, r.height);
  glScissor(r.x, r.y, r.width, r.height);
  glDepthRange(v.MinZ, v.MaxZ);
}

void GlDevice::apply_stream() {
  auto* buffer = static_cast<GlBuffer*>(state_.stream);
  glBindBuffer(GL_ARRAY_BUFFER, buffer->name());
  buffer->upload();
  if (bound_stream_ == buffer && bound_fvf_ == state_.fvf) {
    return;
  }
  bound_stream_ = buffer;
  bound_fvf_ = state_.fvf;
  const DWORD fvf = state_.fvf;
  const auto stride = static_cast<GLsizei>(fvf_stride(fvf));
  std::uintptr_t offset = 0;
  const auto at = [&offset](std::uintptr_t size) {
    const std::uintptr_t here = offset;
    offset += size;
    return reinterpret_cast<const void*>(here);
  };
  glEnableVertexAttribArray(ATTRIB_POSITION);
  if ((fvf & D3DFVF_XYZRHW) != 0) {
    glVertexAttribPointer(ATTRIB_POSITION, 4, GL_FLOAT, GL_FALSE, stride, at(16));
  } else {
    glVertexAttribPointer(ATTRIB_POSITION, 3, GL_FLOAT, GL_FALSE, stride, at(12));
  }
  if ((fvf & D3DFVF_NORMAL) != 0) {
    glEnableVertexAttribArray(ATTRIB_NORMAL);
    glVertexAttribPointer(ATTRIB_NORMAL, 3, GL_FLOAT, GL_FALSE, stride, at(12));
  } else {
    glDisableVertexAttribArray(ATTRIB_NORMAL);
    glVertexAttrib3f(ATTRIB_NORMAL, 0.0f, 0.0f, 0.0f);
  }
  if ((fvf & D3DFVF_DIFFUSE) != 0) {
    // D3DCOLOR is B, G, R, A in memory; the shader puts them in order.
    glEnableVertexAttribArray(ATTRIB_DIFFUSE);
    glVertexAttribPointer(ATTRIB_DIFFUSE, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride, at(4));
  } else {
    glDisableVertexAttribArray(ATTRIB_DIFFUSE);
    glVertexAttrib4f(ATTRIB_DIFFUSE, 1.0f, 1.0f, 1.0f, 1.0f);
  }
  if ((fvf & D3DFVF_TEX1) != 0) {
    glEnableVertexAttribArray(ATTRIB_TEXCOORD);
    glVertexAttribPointer(ATTRIB_TEXCOORD, 2, GL_FLOAT, GL_FALSE, stride, at(8));
  } else {
    glDisableVertexAttribArray(ATTRIB_TEXCOORD);
    glVertexAttrib2f(ATTRIB_TEXCOORD, 0.0f, 0.0f);
  }
}

HRESULT GlDevice::draw_impl(D3DPRIMITIVETYPE type, std::uint32_t first, std::uint32_t vertices) {
  presenter_->drawn();
  const bool sprite = drawing_sprite() != nullptr;
  const std::uint32_t dirty = state_.dirty;
  if ((dirty & DIRTY_RENDER_STATES) != 0) {
    apply_render_states();
  }
  if ((dirty & DIRTY_VIEWPORT) != 0) {
    apply_viewport();
  }
  if ((dirty & DIRTY_TEXTURE) != 0 || sprite != last_sprite_) {
    const auto* texture = static_cast<const GlTexture*>(state_.texture);
    glBindTexture(GL_TEXTURE_2D, texture != nullptr ? texture->name() : 0);
    glBindSampler(0, sprite ? sampler_sprite_ : sampler_stage_);
  }
  apply_stream();
  if (dirty != 0 || type != last_type_ || sprite != last_sprite_) {
    fill_block(state_, type, sprite, render_scale(presenter_->render_size()), block_);
    block_.clip_y_sign = presenter_->into_window() ? -1.0f : 1.0f;
    glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof block_, &block_);
    std::string error;
    const auto* texture = static_cast<const GlTexture*>(state_.texture);
    const GLuint program =
        program_for(shader_variant(block_, texture != nullptr && texture->keyed_alpha()), error);
    if (program == 0) {
      return E_FAIL;  // the shaders are checked at build time; this is not expected
    }
    if (program != program_in_use_) {
      glUseProgram(program);
      program_in_use_ = program;
    }
  }
  state_.dirty = 0;
  last_type_ = type;
  last_sprite_ = sprite;
  glDrawArrays(primitive_mode(type), static_cast<GLint>(first), static_cast<GLsizei>(vertices));
  return D3D_OK;
}

HRESULT GlDevice::clear_impl(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                             float z) {
  presenter_->drawn();
  const D3DVIEWPORT8& v = state_.viewport;
  const PixelSize size = presenter_->render_size();
  const auto vx = static_cast<std::int32_t>(v.X), vy = static_cast<std::int32_t>(v.Y);
  const auto vr = vx + static_cast<std::int32_t>(v.Width);
  const auto vb = vy + static_cast<std::int32_t>(v.Height);
  GLbitfield mask = 0;
  if ((flags & D3DCLEAR_TARGET) != 0) {
    glClearColor(static_cast<float>((color >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((color >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(color & 0xFF) / 255.0f,
                 static_cast<float>((color >> 24) & 0xFF) / 255.0f);
    mask |= GL_COLOR_BUFFER_BIT;
  }
  if ((flags & D3DCLEAR_ZBUFFER) != 0) {
    glClearDepth(z);
    set_depth_write(true);
    state_.dirty |= DIRTY_RENDER_STATES;  // the depth mask is put back at the next draw
    mask |= GL_DEPTH_BUFFER_BIT;
  }
  // Clears stay inside the viewport, and inside each rectangle when given.
  const DWORD count = rect_count == 0 ? 1 : rect_count;
  for (DWORD i = 0; i < count; ++i) {
    std::int32_t x1 = vx, y1 = vy, x2 = vr, y2 = vb;
    if (rect_count != 0) {
      x1 = std::max(x1, rects[i].x1);
      y1 = std::max(y1, rects[i].y1);
      x2 = std::min(x2, rects[i].x2);
      y2 = std::min(y2, rects[i].y2);
    }
    if (x2 <= x1 || y2 <= y1) {
      continue;
    }
    const PixelRect r = presenter_->on_target(scale_rect(size, D3DRECT{x1, y1, x2, y2}));
    glScissor(r.x, r.y, r.width, r.height);
    glClear(mask);
  }
  const PixelRect viewport = presenter_->on_target(scale_viewport(size, v));
  glScissor(viewport.x, viewport.y, viewport.width, viewport.height);
  return D3D_OK;
}

HRESULT GlDevice::present_impl() {
  presenter_->present();
  return D3D_OK;
}

CoreBuffer* GlDevice::make_buffer(std::uint32_t length, DWORD usage, DWORD fvf) {
  return new GlBuffer(this, length, usage, fvf);
}

CoreTexture* GlDevice::make_texture(Image& image, const std::string& source) {
  GLint max_size = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max_size);
  if (image.width > static_cast<std::uint32_t>(max_size) ||
      image.height > static_cast<std::uint32_t>(max_size)) {
    return nullptr;
  }
  auto* texture = new GlTexture(this, image, source);
  state_.dirty |=
      DIRTY_TEXTURE;  // the upload bound it; rebind the stage's texture at the next draw
  return texture;
}

}  // namespace

GlBackend create_gl_device(GlSurface& surface, PixelSize render_size, std::string& error) {
  if (render_size.width <= 0 || render_size.height <= 0) {
    error = "no back buffer of " + std::to_string(render_size.width) + " x " +
            std::to_string(render_size.height) + " pixels";
    return {};
  }
  auto device = std::make_unique<GlDevice>(surface);
  if (!device->init(render_size, error)) {
    return {};
  }
  Presenter* presenter = device->presenter();
  return {std::move(device), presenter};
}

GlBackend create_gl_device(GlSurface& surface, std::string& error) {
  return create_gl_device(surface, PixelSize{}, error);
}
