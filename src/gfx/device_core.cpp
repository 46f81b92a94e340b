#include "gfx/device_core.h"

#include <algorithm>
#include <cstring>
#include <iterator>
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

HRESULT CoreBuffer::lock_storage(std::uint32_t offset, std::uint32_t size, std::uint8_t** data) {
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

HRESULT CoreBuffer::unlock_storage() {
  if (!locked_) {
    return D3DERR_INVALIDCALL;
  }
  locked_ = false;
  contents_changed();
  return D3D_OK;
}

HRESULT CoreBuffer::Lock(std::uint32_t offset, std::uint32_t size, std::uint8_t** data,
                         DWORD flags) {
  return owner_ != nullptr ? owner_->lock_buffer(this, offset, size, data, flags)
                           : lock_storage(offset, size, data);
}

HRESULT CoreBuffer::Unlock() {
  return owner_ != nullptr ? owner_->unlock_buffer(this) : unlock_storage();
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

namespace {

using Value = TraceValue;
using Args = std::vector<TraceArg>;

TraceArg arg(const char* name, TraceValue value) { return {name, std::move(value)}; }

TraceArg labelled(const char* name, TraceValue value) {
  return {name, std::move(value), TraceArg::Shown::labelled};
}

Value count(std::uint64_t value) { return Value::integer(static_cast<std::int64_t>(value)); }

Value reals(std::initializer_list<double> values) {
  std::vector<Value> items;
  for (const double v : values) {
    items.push_back(Value::real(v));
  }
  return Value::list(std::move(items));
}

Value colour(const D3DCOLORVALUE& c) { return reals({c.r, c.g, c.b, c.a}); }

Value vector(const D3DVECTOR& v) { return reals({v.x, v.y, v.z}); }

Value texture_value(const Texture* texture) {
  return texture == nullptr ? Value::none("NULL") : Value::text(texture->source());
}

Value buffer_value(const VertexBuffer* buffer) {
  return Value::buffer(buffer == nullptr ? 0 : static_cast<const CoreBuffer*>(buffer)->id());
}

Value clear_flags(DWORD flags) {
  std::string what;
  if ((flags & D3DCLEAR_TARGET) != 0) what = "D3DCLEAR_TARGET";
  if ((flags & D3DCLEAR_ZBUFFER) != 0)
    what += what.empty() ? "D3DCLEAR_ZBUFFER" : "|D3DCLEAR_ZBUFFER";
  return Value::symbol(what.empty() ? std::to_string(flags) : what);
}

Value matrix_value(const D3DMATRIX* matrix) {
  if (matrix == nullptr) {
    return Value::none("NULL");
  }
  std::vector<Value> items;
  for (const auto& row : matrix->m) {
    for (const float v : row) {
      items.push_back(Value::real(v));
    }
  }
  return Value::list(std::move(items));
}

Value viewport_value(const D3DVIEWPORT8* v) {
  if (v == nullptr) {
    return Value::none("NULL");
  }
  return Value::list({count(v->X), count(v->Y), count(v->Width), count(v->Height),
                      Value::real(v->MinZ), Value::real(v->MaxZ)});
}

Value light_value(const D3DLIGHT8* light) {
  if (light == nullptr) {
    return Value::none("NULL");
  }
  return Value::fields(
      {arg("type", Value::integer(light->Type)), arg("diffuse", colour(light->Diffuse)),
       arg("specular", colour(light->Specular)), arg("ambient", colour(light->Ambient)),
       arg("position", vector(light->Position)), arg("direction", vector(light->Direction)),
       arg("range", Value::real(light->Range)),
       arg("attenuation", reals({light->Attenuation0, light->Attenuation1, light->Attenuation2}))});
}

Value material_value(const D3DMATERIAL8* material) {
  if (material == nullptr) {
    return Value::none("NULL");
  }
  return Value::fields(
      {arg("diffuse", colour(material->Diffuse)), arg("ambient", colour(material->Ambient)),
       arg("specular", colour(material->Specular)), arg("emissive", colour(material->Emissive)),
       arg("power", Value::real(material->Power))});
}

// What each kind of misuse is called, in the order of Misuse; '#' stands for the buffer.
constexpr const char* kMisuseTexts[] = {
    "DrawPrimitive outside BeginScene/EndScene",
    "DrawPrimitive with no vertex buffer",
    "DrawPrimitive from a locked buffer (Lock without Unlock)",
    "nested BeginScene",
    "EndScene without BeginScene",
    "Present inside BeginScene/EndScene",
    "Lock of # without Unlock",
    "Release of # while locked",
    "DrawSprite outside BeginScene/EndScene",
};
static_assert(std::size(kMisuseTexts) == static_cast<std::size_t>(Misuse::count));

std::string misuse_text(Misuse kind, const CoreBuffer* buffer) {
  std::string text = kMisuseTexts[static_cast<int>(kind)];
  const std::size_t at = text.find('#');
  if (at != std::string::npos) {
    text.replace(at, 1, "vb#" + std::to_string(buffer == nullptr ? 0 : buffer->id()));
  }
  return text;
}

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

void put_word(std::uint8_t*& out, const void* value) {
  std::memcpy(out, value, 4);
  out += 4;
}

}  // namespace

DeviceCore::DeviceCore() {
  // Room for the show's resources up front, so that steady frames never grow these lists.
  buffers_.reserve(256);
  textures_.reserve(128);
}

DeviceCore::~DeviceCore() { orphan_resources(); }

template <typename Apply, typename Describe>
HRESULT DeviceCore::traced(const char* call, Apply apply, Describe describe) {
  HRESULT result = forced_result(call);
  if (result == D3D_OK) {
    result = apply();
  }
  if (!recorders_.empty()) {
    publish(CallRecord{call, describe(), result});
  }
  return result;
}

void DeviceCore::publish(const CallRecord& record) {
  for (CallRecorder* recorder : recorders_) {
    recorder->call(record);
  }
}

void DeviceCore::note_misuse(Misuse kind, const CoreBuffer* buffer) {
  const bool first = misuse_counts_[static_cast<int>(kind)]++ == 0;
  if (recorders_.empty() && !(first && misuse_reporter_)) {
    return;
  }
  const std::string what = misuse_text(kind, buffer);
  if (first && misuse_reporter_) {
    misuse_reporter_(what);
  }
  for (CallRecorder* recorder : recorders_) {
    recorder->misuse(what);
  }
}

void DeviceCore::AttachRecorder(CallRecorder* recorder) {
  if (recorder != nullptr &&
      std::find(recorders_.begin(), recorders_.end(), recorder) == recorders_.end()) {
    recorders_.push_back(recorder);
  }
}

void DeviceCore::DetachRecorder(CallRecorder* recorder) {
  recorders_.erase(std::remove(recorders_.begin(), recorders_.end(), recorder), recorders_.end());
}

void DeviceCore::SetMisuseReporter(std::function<void(const std::string&)> reporter) {
  misuse_reporter_ = std::move(reporter);
}

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

HRESULT DeviceCore::lock_buffer(CoreBuffer* buffer, std::uint32_t offset, std::uint32_t size,
                                std::uint8_t** data, DWORD flags) {
  if (buffer->locked()) {
    note_misuse(Misuse::lock_without_unlock, buffer);
  }
  if (data != nullptr) {
    *data = nullptr;
  }
  return traced(
      "Lock", [&] { return buffer->lock_storage(offset, size, data); },
      [&] {
        return Args{arg("buffer", buffer_value(buffer)), arg("offset", count(offset)),
                    arg("size", count(size)), arg("flags", count(flags))};
      });
}

HRESULT DeviceCore::unlock_buffer(CoreBuffer* buffer) {
  return traced(
      "Unlock", [&] { return buffer->unlock_storage(); },
      [&] { return Args{arg("buffer", buffer_value(buffer))}; });
}

void DeviceCore::release_buffer(CoreBuffer* buffer) {
  if (buffer->locked()) {
    note_misuse(Misuse::release_while_locked, buffer);
  }
  if (!recorders_.empty()) {
    publish(CallRecord{"Release", {arg("buffer", buffer_value(buffer))}, D3D_OK});
  }
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
    note_misuse(Misuse::nested_begin_scene);
  }
  return traced(
      "BeginScene",
      [&] {
        if (in_scene_) {
          return D3DERR_INVALIDCALL;
        }
        in_scene_ = true;
        return D3D_OK;
      },
      [] { return Args{}; });
}

HRESULT DeviceCore::EndScene() {
  if (!in_scene_) {
    note_misuse(Misuse::end_scene_without_begin);
  }
  return traced(
      "EndScene",
      [&] {
        if (!in_scene_) {
          return D3DERR_INVALIDCALL;
        }
        in_scene_ = false;
        return D3D_OK;
      },
      [] { return Args{}; });
}

HRESULT DeviceCore::Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                          float z, DWORD stencil) {
  return traced(
      "Clear",
      [&] {
        if ((rect_count != 0 && rects == nullptr) ||
            (flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) || z < 0.0f || z > 1.0f) {
          return D3DERR_INVALIDCALL;
        }
        if (discard_ || flags == 0) {
          return D3D_OK;
        }
        return clear_impl(rect_count, rects, flags, color, z);
      },
      [&] {
        return Args{arg("rects", count(rect_count)), arg("flags", clear_flags(flags)),
                    arg("color", Value::color(color)), arg("z", Value::real(z)),
                    arg("stencil", count(stencil))};
      });
}

HRESULT DeviceCore::Present() {
  if (in_scene_) {
    note_misuse(Misuse::present_inside_scene);
  }
  return traced(
      "Present", [&] { return discard_ ? D3D_OK : present_impl(); }, [] { return Args{}; });
}

HRESULT DeviceCore::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  return traced(
      "SetRenderState",
      [&] {
        if (state >= D3DRS_COUNT) {
          return D3DERR_INVALIDCALL;
        }
        if (state_.render_states[state] != value) {
          state_.render_states[state] = value;
          state_.dirty |= DIRTY_RENDER_STATES;
        }
        return D3D_OK;
      },
      [&] {
        return Args{arg("state", Value::symbol(render_state_name(state))),
                    arg("value", Value::symbol(render_state_value(state, value)))};
      });
}

HRESULT DeviceCore::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  return traced(
      "SetTransform", [&] { return apply_transform(state, matrix); },
      [&] {
        return Args{arg("state", Value::symbol(transform_name(state))),
                    arg("matrix", matrix_value(matrix))};
      });
}

HRESULT DeviceCore::apply_transform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
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
  return traced(
      "SetViewport", [&] { return apply_viewport(viewport); },
      [&] { return Args{arg("viewport", viewport_value(viewport))}; });
}

HRESULT DeviceCore::apply_viewport(const D3DVIEWPORT8* viewport) {
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
  return traced(
      "GetViewport",
      [&] {
        if (viewport == nullptr) {
          return D3DERR_INVALIDCALL;
        }
        *viewport = state_.viewport;
        return D3D_OK;
      },
      [] { return Args{}; });
}

HRESULT DeviceCore::SetLight(DWORD index, const D3DLIGHT8* light) {
  return traced(
      "SetLight", [&] { return apply_light(index, light); },
      [&] {
        return Args{arg("index", count(index)), arg("light", light_value(light))};
      });
}

HRESULT DeviceCore::apply_light(DWORD index, const D3DLIGHT8* light) {
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
  return traced(
      "LightEnable", [&] { return apply_light_enable(index, enable); },
      [&] {
        return Args{arg("index", count(index)), arg("enable", Value::boolean(enable != 0))};
      });
}

HRESULT DeviceCore::apply_light_enable(DWORD index, DWORD enable) {
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
  return traced(
      "SetMaterial",
      [&] {
        if (material == nullptr) {
          return D3DERR_INVALIDCALL;
        }
        state_.material = *material;
        state_.dirty |= DIRTY_MATERIAL;
        return D3D_OK;
      },
      [&] { return Args{arg("material", material_value(material))}; });
}

HRESULT DeviceCore::SetTexture(DWORD stage, Texture* texture) {
  return traced(
      "SetTexture",
      [&] {
        if (stage >= 8) {
          return D3DERR_INVALIDCALL;
        }
        // Only stage 0 is ever used; the other stages stay disabled.
        if (stage == 0 && state_.texture != texture) {
          state_.texture = texture;
          state_.dirty |= DIRTY_TEXTURE;
        }
        return D3D_OK;
      },
      [&] {
        return Args{arg("stage", count(stage)), arg("texture", texture_value(texture))};
      });
}

HRESULT DeviceCore::CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       VertexBuffer** buffer) {
  if (buffer != nullptr) {
    *buffer = nullptr;
  }
  return traced(
      "CreateVertexBuffer", [&] { return make_vertex_buffer(length, usage, fvf, buffer); },
      [&] {
        const std::string usage_name =
            usage == D3DUSAGE_POINTS ? std::string("D3DUSAGE_POINTS") : std::to_string(usage);
        return Args{arg("length", count(length)),
                    arg("usage", Value::named_number(usage_name, usage)),
                    arg("fvf", Value::symbol(fvf_name(fvf))),
                    arg("pool", count(pool)),
                    {"buffer", buffer_value(buffer == nullptr ? nullptr : *buffer),
                     TraceArg::Shown::output}};
      });
}

HRESULT DeviceCore::make_vertex_buffer(std::uint32_t length, DWORD usage, DWORD fvf,
                                       VertexBuffer** buffer) {
  if (buffer == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  const std::uint32_t stride = fvf_stride(fvf);
  if (length == 0 || (fvf != 0 && stride != 0 && length < stride)) {
    return D3DERR_INVALIDCALL;
  }
  const int id = next_buffer_id_++;
  CoreBuffer* made = pool_buffers_ ? pooled_buffer(length) : nullptr;
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
  return traced(
      "SetStreamSource",
      [&] {
        if (stream >= 16) {
          return D3DERR_INVALIDCALL;
        }
        if (stream == 0) {
          state_.stream = buffer;
          state_.stream_stride = stride;
          state_.dirty |= DIRTY_STREAM;
        }
        return D3D_OK;
      },
      [&] {
        return Args{arg("stream", count(stream)), arg("buffer", buffer_value(buffer)),
                    arg("stride", count(stride))};
      });
}

HRESULT DeviceCore::SetVertexShader(DWORD fvf) {
  return traced(
      "SetVertexShader",
      [&] {
        if (state_.fvf != fvf) {
          state_.fvf = fvf;
          state_.dirty |= DIRTY_STREAM;
        }
        return D3D_OK;
      },
      [&] { return Args{arg("fvf", Value::symbol(fvf_name(fvf)))}; });
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
  if (!in_scene_) {
    note_misuse(Misuse::draw_outside_scene);
  }
  const auto* bound = static_cast<const CoreBuffer*>(state_.stream);
  if (bound == nullptr) {
    note_misuse(Misuse::draw_without_buffer);
  } else if (bound->locked()) {
    note_misuse(Misuse::draw_from_locked_buffer);
  }
  return traced(
      "DrawPrimitive",
      [&] {
        const HRESULT checked = check_draw(type, start_vertex, primitive_count);
        if (FAILED(checked)) {
          return checked;
        }
        draw_accepted(type, start_vertex, primitive_count);
        if (discard_ || primitive_count == 0) {
          return D3D_OK;
        }
        return draw_impl(type, start_vertex, vertex_count(type, primitive_count));
      },
      [&] {
        return Args{arg("type", Value::symbol(primitive_name(type))),
                    arg("start", count(start_vertex)), arg("count", count(primitive_count))};
      });
}

HRESULT DeviceCore::CreateTextureFromFile(const char* path, bool use_color_key, D3DCOLOR color_key,
                                          Texture** texture) {
  if (texture != nullptr) {
    *texture = nullptr;
  }
  return traced(
      "CreateTextureFromFile",
      [&] { return load_texture(path, use_color_key, color_key, texture); },
      [&] {
        return Args{
            arg("file", Value::text(path == nullptr ? "" : path)),
            arg("color_key", use_color_key ? Value::color(color_key) : Value::none("no key"))};
      });
}

HRESULT DeviceCore::load_texture(const char* path, bool use_color_key, D3DCOLOR color_key,
                                 Texture** texture) {
  if (texture == nullptr || path == nullptr) {
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

HRESULT DeviceCore::DrawSprite(Texture* texture, const SpriteDraw& sprite) {
  if (!in_scene_) {
    note_misuse(Misuse::sprite_outside_scene);
  }
  return traced(
      "DrawSprite", [&] { return draw_sprite(texture, sprite); },
      [&] {
        return Args{arg("texture", texture_value(texture)),
                    labelled("position", reals({sprite.position_x, sprite.position_y})),
                    labelled("scale", reals({sprite.scale_x, sprite.scale_y})),
                    labelled("center", reals({sprite.center_x, sprite.center_y})),
                    labelled("rotation", Value::real(sprite.rotation)),
                    labelled("color", Value::color(sprite.color))};
      });
}

HRESULT DeviceCore::draw_sprite(Texture* texture, const SpriteDraw& sprite) {
  if (texture == nullptr) {
    return D3DERR_INVALIDCALL;
  }
  const std::uint32_t quad_bytes = 4 * fvf_stride(FVF_XYZRHW_DIFFUSE_TEX1);
  if (sprite_quad_ == nullptr) {
    sprite_quad_ = make_buffer(quad_bytes, 0, FVF_XYZRHW_DIFFUSE_TEX1);
    if (sprite_quad_ == nullptr) {
      return E_FAIL;
    }
    sprite_quad_->reset(quad_bytes, 0, FVF_XYZRHW_DIFFUSE_TEX1, 0);
    buffers_.push_back(sprite_quad_);
  }
  std::uint8_t* data = nullptr;
  if (FAILED(sprite_quad_->lock_storage(0, 0, &data))) {
    return E_FAIL;
  }
  const float z = 0.0f;
  const float rhw = 1.0f;
  for (const SpriteCorner& corner : sprite_corners(texture->width(), texture->height(), sprite)) {
    put_word(data, &corner.x);
    put_word(data, &corner.y);
    put_word(data, &z);
    put_word(data, &rhw);
    put_word(data, &sprite.color);
    put_word(data, &corner.u);
    put_word(data, &corner.v);
  }
  sprite_quad_->unlock_storage();
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

  drawing_sprite_ = &sprite;
  const HRESULT drawn = draw_impl(D3DPT_TRIANGLEFAN, 0, 4);
  drawing_sprite_ = nullptr;

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

void DeviceCore::SetDiscard(bool discard) {
  traced(
      "SetDiscard",
      [&] {
        discard_ = discard;
        return D3D_OK;
      },
      [&] { return Args{arg("discard", Value::boolean(discard))}; });
}

bool DeviceCore::SetRenderSize(PixelSize size) {
  if (size.width <= 0 || size.height <= 0 || !resize_impl(size)) {
    return false;
  }
  render_size_ = size;
  return true;
}

std::optional<PixelSize> DeviceCore::ReadPresentedFrame(std::vector<std::uint8_t>& rgba) {
  rgba.clear();
  if (!read_frame_impl(rgba)) {
    return std::nullopt;
  }
  return render_size_;
}
