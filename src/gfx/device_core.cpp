#include "gfx/device_core.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "gfx/trace_args.h"

using namespace trace_args;

namespace {

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

HRESULT DeviceCore::forced_result(const char* call) const {
  for (CallRecorder* recorder : recorders_) {
    const HRESULT forced = recorder->forced_result(call);
    if (forced != D3D_OK) {
      return forced;
    }
  }
  return D3D_OK;
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
  for (std::vector<CallRecorder*>* list : {&recorders_, &held_recorders_}) {
    list->erase(std::remove(list->begin(), list->end(), recorder), list->end());
  }
}

void DeviceCore::HoldRecords(bool hold) {
  // Held recorders are set aside, so that held calls cost no record at all.
  std::vector<CallRecorder*>& from = hold ? recorders_ : held_recorders_;
  std::vector<CallRecorder*>& to = hold ? held_recorders_ : recorders_;
  to.insert(to.end(), from.begin(), from.end());
  from.clear();
}

void DeviceCore::RestoreState(const DeviceState& saved) {
  state_ = saved;
  state_.dirty = DIRTY_ALL;  // the backend applies all of it at the next draw
}

void DeviceCore::SetMisuseReporter(std::function<void(const std::string&)> reporter) {
  misuse_reporter_ = std::move(reporter);
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
        if (discard_ || primitive_count == 0) {
          return D3D_OK;
        }
        return draw_impl(type, start_vertex, vertex_count(type, primitive_count));
      },
      [&] {
        return Args{arg("type", Value::symbol(primitive_name(type), type)),
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

void DeviceCore::SetDiscard(bool discard) {
  traced(
      "SetDiscard",
      [&] {
        discard_ = discard;
        return D3D_OK;
      },
      [&] { return Args{arg("discard", Value::boolean(discard))}; });
}
