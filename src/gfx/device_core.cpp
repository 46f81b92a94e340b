#include "gfx/device_core.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "gfx/sprite_quad.h"

CoreBuffer::CoreBuffer(DeviceCore* owner, std::uint32_t length, DWORD usage, DWORD fvf)
    : owner_(owner), storage_(length), length_(length), usage_(usage), fvf_(fvf) {}

void CoreBuffer::reset(std::uint32_t length, DWORD usage, DWORD fvf, int id) {
  // resize within the old capacity allocates nothing: pooled buffers stay heap-quiet.
  storage_.resize(length);
  length_ = length;
  usage_ = usage;
  fvf_ = fvf;
  locked_ = false;
  id_ = id;
}

HRESULT CoreBuffer::Lock(std::uint32_t offset, std::uint32_t size, std::uint8_t** data,
                         DWORD /*flags*/) {
  if (data == nullptr || locked_ || offset > length_) {
    return D3DERR_INVALIDCALL;
  }
  const std::uint32_t span = size == 0 ? length_ - offset : size;
  if (span > length_ - offset) {
    return D3DERR_INVALIDCALL;
  }
  locked_ = true;
  *data = storage_.data() + offset;
  return D3D_OK;
}

HRESULT CoreBuffer::Unlock() {
  if (!locked_) {
    return D3DERR_INVALIDCALL;
  }
  locked_ = false;
  contents_changed();
  return D3D_OK;
}

void CoreBuffer::Release() {
  if (owner_ != nullptr) {
    owner_->release_buffer(this);
  } else {
    delete this;
  }
}

CoreTexture::CoreTexture(DeviceCore* owner, std::uint32_t width, std::uint32_t height,
                         std::string source)
    : owner_(owner), width_(width), height_(height), source_(std::move(source)) {}

void CoreTexture::Release() {
  if (owner_ != nullptr) {
    owner_->release_texture(this);
  } else {
    delete this;
  }
}

DeviceCore::DeviceCore() {
  // Room for the show's resources up front, so that steady frames never grow these lists.
  buffers_.reserve(256);
  textures_.reserve(128);
}

DeviceCore::~DeviceCore() { orphan_resources(); }

void DeviceCore::orphan_resources() {
  for (CoreBuffer* buffer : buffers_) {
    buffer->free_backend();
    if (buffer == sprite_quad_ || buffer->pooled) {
      delete buffer;
    } else {
      buffer->orphan();
    }
  }
  sprite_quad_ = nullptr;
  for (CoreTexture* texture : textures_) {
    texture->free_backend();
    texture->orphan();
  }
  buffers_.clear();
  textures_.clear();
  state_.texture = nullptr;
  state_.stream = nullptr;
}

void DeviceCore::release_buffer(CoreBuffer* buffer) {
  // Direct3D would keep a bound buffer alive by its reference; we unbind it
  // instead, so that nothing ever draws from a freed or recycled buffer.
  if (state_.stream == buffer) {
    state_.stream = nullptr;
    state_.dirty |= DIRTY_STREAM;
  }
  if (pool_buffers_) {
    buffer->pooled = true;
    return;
  }
  buffer->free_backend();
  buffers_.erase(std::remove(buffers_.begin(), buffers_.end(), buffer), buffers_.end());
  delete buffer;
}

void DeviceCore::release_texture(CoreTexture* texture) {
  if (state_.texture == texture) {
    state_.texture = nullptr;
    state_.dirty |= DIRTY_TEXTURE;
  }
  texture->free_backend();
  textures_.erase(std::remove(textures_.begin(), textures_.end(), texture), textures_.end());
  delete texture;
}

HRESULT DeviceCore::BeginScene() {
  if (in_scene_) {
    return D3DERR_INVALIDCALL;
  }
  in_scene_ = true;
  return D3D_OK;
}

HRESULT DeviceCore::EndScene() {
  if (!in_scene_) {
    return D3DERR_INVALIDCALL;
  }
  in_scene_ = false;
  return D3D_OK;
}

HRESULT DeviceCore::Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                          float z, DWORD /*stencil*/) {
  if ((rect_count != 0 && rects == nullptr) || (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER))) {
    return D3DERR_INVALIDCALL;
  }
  if (z < 0.0f || z > 1.0f) {
    return D3DERR_INVALIDCALL;
  }
  if (discard_ || flags == 0) {
    return D3D_OK;
  }
  return clear_impl(rect_count, rects, flags, color, z);
}

HRESULT DeviceCore::Present() { return discard_ ? D3D_OK : present_impl(); }

HRESULT DeviceCore::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  if (state >= D3DRS_COUNT) {
    return D3DERR_INVALIDCALL;
  }
  if (state_.render_states[state] != value) {
    state_.render_states[state] = value;
    state_.dirty |= DIRTY_RENDER_STATES;
  }
  return D3D_OK;
}

HRESULT DeviceCore::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  if (matrix == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  D3DMATRIX* target = nullptr;
  switch (state) {
    case D3DTS_VIEW:
      target = &state_.view;
      break;
    case D3DTS_PROJECTION:
      target = &state_.projection;
      break;
    case D3DTS_WORLD:
      target = &state_.world;
      break;
    default:
      return D3DERR_INVALIDCALL;
  }
  *target = *matrix;
  state_.dirty |= DIRTY_TRANSFORMS;
  return D3D_OK;
}

HRESULT DeviceCore::SetViewport(const D3DVIEWPORT8* viewport) {
  // Direct3D refuses a viewport that leaves the render target.
  if (viewport == nullptr || viewport->Width == 0 || viewport->Height == 0 ||
      viewport->X >= BACK_BUFFER_WIDTH || viewport->Y >= BACK_BUFFER_HEIGHT ||
      viewport->Width > BACK_BUFFER_WIDTH - viewport->X ||
      viewport->Height > BACK_BUFFER_HEIGHT - viewport->Y) {
    return D3DERR_INVALIDCALL;
  }
  if (!(viewport->MinZ >= 0.0f && viewport->MaxZ <= 1.0f && viewport->MinZ <= viewport->MaxZ)) {
    return D3DERR_INVALIDCALL;
  }
  state_.viewport = *viewport;
  state_.dirty |= DIRTY_VIEWPORT;
  return D3D_OK;
}

HRESULT DeviceCore::GetViewport(D3DVIEWPORT8* viewport) {
  if (viewport == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  *viewport = state_.viewport;
  return D3D_OK;
}

HRESULT DeviceCore::SetLight(DWORD index, const D3DLIGHT8* light) {
  if (light == nullptr || index >= MAX_LIGHT_INDEX) {
    return D3DERR_INVALIDCALL;
  }
  if (light->Type != D3DLIGHT_POINT && light->Type != D3DLIGHT_SPOT &&
      light->Type != D3DLIGHT_DIRECTIONAL) {
    return D3DERR_INVALIDCALL;
  }
  if (light->Type != D3DLIGHT_DIRECTIONAL && !(light->Range >= 0.0f)) {
    return D3DERR_INVALIDCALL;
  }
  state_.lights[index].light = *light;
  state_.lights[index].set = true;
  state_.dirty |= DIRTY_LIGHTS;
  return D3D_OK;
}

HRESULT DeviceCore::LightEnable(DWORD index, DWORD enable) {
  if (index >= MAX_LIGHT_INDEX) {
    return D3DERR_INVALIDCALL;
  }
  LightSlot& slot = state_.lights[index];
  if (!slot.set) {
    // Enabling a light never set gives Direct3D's default: white, directional along +z.
    slot.light = D3DLIGHT8{};
    slot.light.Type = D3DLIGHT_DIRECTIONAL;
    slot.light.Diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 0.0f};
    slot.light.Direction = D3DVECTOR{0.0f, 0.0f, 1.0f};
    slot.set = true;
  }
  slot.enabled = enable != FALSE;
  state_.dirty |= DIRTY_LIGHTS;
  return D3D_OK;
}

HRESULT DeviceCore::SetMaterial(const D3DMATERIAL8* material) {
  if (material == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  state_.material = *material;
  state_.dirty |= DIRTY_MATERIAL;
  return D3D_OK;
}

HRESULT DeviceCore::SetTexture(DWORD stage, Texture* texture) {
  if (stage >= 8) {
    return D3DERR_INVALIDCALL;
  }
  // Only stage 0 is ever used; the other stages stay disabled.
  if (stage == 0 && state_.texture != texture) {
    state_.texture = texture;
    state_.dirty |= DIRTY_TEXTURE;
  }
  return D3D_OK;
}

HRESULT DeviceCore::CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf,
                                       D3DPOOL /*pool*/, VertexBuffer** buffer) {
  if (buffer == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  *buffer = nullptr;
  const std::uint32_t stride = fvf_stride(fvf);
  if (length == 0 || (fvf != 0 && stride != 0 && length < stride)) {
    return D3DERR_INVALIDCALL;
  }
  const int id = next_buffer_id_++;
  CoreBuffer* made = nullptr;
  if (pool_buffers_) {
    made = pooled_buffer(length);
  }
  if (made != nullptr) {
    made->pooled = false;
    made->reset(length, usage, fvf, id);
  } else {
    made = make_buffer(length, usage, fvf);
    if (made == nullptr) {
      return E_FAIL;
    }
    made->reset(length, usage, fvf, id);
    buffers_.push_back(made);
  }
  *buffer = made;
  return D3D_OK;
}

CoreBuffer* DeviceCore::pooled_buffer(std::uint32_t length) {
  // The smallest pooled buffer that holds `length` bytes, else the largest one (it grows).
  CoreBuffer* best = nullptr;
  for (CoreBuffer* buffer : buffers_) {
    if (!buffer->pooled) {
      continue;
    }
    const bool fits = buffer->capacity() >= length;
    const bool best_fits = best != nullptr && best->capacity() >= length;
    if (best == nullptr || (fits && (!best_fits || buffer->capacity() < best->capacity())) ||
        (!fits && !best_fits && buffer->capacity() > best->capacity())) {
      best = buffer;
    }
  }
  return best;
}

HRESULT DeviceCore::SetStreamSource(std::uint32_t stream, VertexBuffer* buffer,
                                    std::uint32_t stride) {
  if (stream >= 16) {
    return D3DERR_INVALIDCALL;
  }
  if (stream == 0) {
    state_.stream = buffer;
    state_.stream_stride = stride;
    state_.dirty |= DIRTY_STREAM;
  }
  return D3D_OK;
}

HRESULT DeviceCore::SetVertexShader(DWORD fvf) {
  if (state_.fvf != fvf) {
    state_.fvf = fvf;
    state_.dirty |= DIRTY_STREAM;
  }
  return D3D_OK;
}

HRESULT DeviceCore::check_draw(D3DPRIMITIVETYPE type, std::uint32_t start_vertex,
                               std::uint32_t primitive_count) const {
  const auto* buffer = static_cast<const CoreBuffer*>(state_.stream);
  const std::uint32_t stride = fvf_stride(state_.fvf);
  if (buffer == nullptr || stride == 0 || state_.stream_stride != stride || buffer->locked()) {
    return D3DERR_INVALIDCALL;
  }
  if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN) {
    return D3DERR_INVALIDCALL;
  }
  // Every vertex read must lie inside the buffer.
  const std::uint64_t last =
      static_cast<std::uint64_t>(start_vertex) + vertex_count(type, primitive_count);
  if (last * stride > buffer->length()) {
    return D3DERR_INVALIDCALL;
  }
  return D3D_OK;
}

HRESULT DeviceCore::DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start_vertex,
                                  std::uint32_t primitive_count) {
  const HRESULT checked = check_draw(type, start_vertex, primitive_count);
  if (FAILED(checked)) {
    return checked;
  }
  if (discard_ || primitive_count == 0) {
    return D3D_OK;
  }
  return draw_impl(type, start_vertex, vertex_count(type, primitive_count));
}

HRESULT DeviceCore::CreateTextureFromFile(const char* path, bool use_color_key, D3DCOLOR color_key,
                                          Texture** texture) {
  if (texture == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  *texture = nullptr;
  if (path == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  Image image;
  std::string error;
  if (!load_image_file(path, image, error)) {
    return E_FAIL;
  }
  if (use_color_key) {
    apply_color_key(image, color_key);
  }
  CoreTexture* made = make_texture(image, path);
  if (made == nullptr) {
    return E_FAIL;
  }
  textures_.push_back(made);
  *texture = made;
  return D3D_OK;
}

namespace {

// The render states the sprite drawer sets for its own draw, with their values.
struct SpriteState {
  D3DRENDERSTATETYPE state;
  DWORD value;
};
constexpr SpriteState kSpriteStates[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_ALPHATESTENABLE, TRUE},
    {D3DRS_ALPHAFUNC, D3DCMP_GREATER},
    {D3DRS_ALPHAREF, 0},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
};
constexpr std::size_t kSpriteStateCount = sizeof kSpriteStates / sizeof kSpriteStates[0];

void put_float(std::uint8_t*& out, float value) {
  std::memcpy(out, &value, sizeof value);
  out += sizeof value;
}

void put_color(std::uint8_t*& out, D3DCOLOR value) {
  std::memcpy(out, &value, sizeof value);
  out += sizeof value;
}

}  // namespace

HRESULT DeviceCore::DrawSprite(Texture* texture, const SpriteDraw& sprite) {
  if (texture == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  if (sprite_quad_ == nullptr) {
    sprite_quad_ = make_buffer(4 * fvf_stride(FVF_XYZRHW_DIFFUSE_TEX1), 0, FVF_XYZRHW_DIFFUSE_TEX1);
    if (sprite_quad_ == nullptr) {
      return E_FAIL;
    }
    sprite_quad_->reset(4 * fvf_stride(FVF_XYZRHW_DIFFUSE_TEX1), 0, FVF_XYZRHW_DIFFUSE_TEX1, 0);
    buffers_.push_back(sprite_quad_);
  }
  std::uint8_t* data = nullptr;
  if (FAILED(sprite_quad_->CoreBuffer::Lock(0, 0, &data, 0))) {
    return E_FAIL;
  }
  for (const SpriteCorner& corner : sprite_corners(texture->width(), texture->height(), sprite)) {
    put_float(data, corner.x);
    put_float(data, corner.y);
    put_float(data, 0.0f);
    put_float(data, 1.0f);
    put_color(data, sprite.color);
    put_float(data, corner.u);
    put_float(data, corner.v);
  }
  sprite_quad_->CoreBuffer::Unlock();
  if (discard_) {
    return D3D_OK;
  }

  // Keep what we change, draw, and put it all back.
  DWORD saved_states[kSpriteStateCount];
  for (std::size_t i = 0; i < kSpriteStateCount; ++i) {
    saved_states[i] = state_.render_states[kSpriteStates[i].state];
    state_.render_states[kSpriteStates[i].state] = kSpriteStates[i].value;
  }
  Texture* saved_texture = state_.texture;
  VertexBuffer* saved_stream = state_.stream;
  const std::uint32_t saved_stride = state_.stream_stride;
  const DWORD saved_fvf = state_.fvf;
  state_.texture = texture;
  state_.stream = sprite_quad_;
  state_.stream_stride = fvf_stride(FVF_XYZRHW_DIFFUSE_TEX1);
  state_.fvf = FVF_XYZRHW_DIFFUSE_TEX1;
  state_.dirty |= DIRTY_RENDER_STATES | DIRTY_TEXTURE | DIRTY_STREAM;

  drawing_sprite_ = true;
  const HRESULT drawn = draw_impl(D3DPT_TRIANGLEFAN, 0, 4);
  drawing_sprite_ = false;

  for (std::size_t i = 0; i < kSpriteStateCount; ++i) {
    state_.render_states[kSpriteStates[i].state] = saved_states[i];
  }
  state_.texture = saved_texture;
  state_.stream = saved_stream;
  state_.stream_stride = saved_stride;
  state_.fvf = saved_fvf;
  state_.dirty |= DIRTY_RENDER_STATES | DIRTY_TEXTURE | DIRTY_STREAM;
  return FAILED(drawn) ? E_FAIL : D3D_OK;
}
