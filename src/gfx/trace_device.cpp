#include "gfx/trace_device.h"

#include <cstdio>
#include <cstring>

namespace {

std::string hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

std::string num(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string color(const D3DCOLORVALUE& c) {
  return "(" + num(c.r) + ", " + num(c.g) + ", " + num(c.b) + ", " + num(c.a) + ")";
}

std::string buffer_name(const VertexBuffer* buffer) {
  if (buffer == nullptr) {
    return "NULL";
  }
  return "vb#" + std::to_string(static_cast<const CoreBuffer*>(buffer)->id());
}

std::string texture_name(const Texture* texture) {
  return texture == nullptr ? std::string("NULL") : "\"" + texture->source() + "\"";
}

class TraceBuffer : public CoreBuffer {
 public:
  TraceBuffer(TraceDevice* device, std::uint32_t length, DWORD usage, DWORD fvf)
      : CoreBuffer(device, length, usage, fvf), device_(device) {}

  HRESULT Lock(std::uint32_t offset, std::uint32_t size, std::uint8_t** data,
               DWORD flags) override {
    if (device_ == nullptr) {
      return CoreBuffer::Lock(offset, size, data, flags);
    }
    const std::string line = "Lock(" + buffer_name(this) + ", " + std::to_string(offset) + ", " +
                             std::to_string(size) + ", " + std::to_string(flags) + ")";
    if (locked()) {
      device_->note_misuse("Lock of " + buffer_name(this) + " without Unlock");
    }
    HRESULT result = device_->take_failure("Lock");
    if (result == D3D_OK) {
      result = CoreBuffer::Lock(offset, size, data, flags);
    } else if (data != nullptr) {
      *data = nullptr;
    }
    device_->record(result == D3D_OK ? line : line + " -> " + result_name(result));
    return result;
  }

  HRESULT Unlock() override {
    if (device_ == nullptr) {
      return CoreBuffer::Unlock();
    }
    const HRESULT result = CoreBuffer::Unlock();
    const std::string line = "Unlock(" + buffer_name(this) + ")";
    device_->record(result == D3D_OK ? line : line + " -> " + result_name(result));
    return result;
  }

  void Release() override {
    if (device_ != nullptr) {
      if (locked()) {
        device_->note_misuse("Release of " + buffer_name(this) + " while locked");
      }
      device_->record("Release(" + buffer_name(this) + ")");
    }
    CoreBuffer::Release();
  }

  void free_backend() override { device_ = nullptr; }

 private:
  TraceDevice* device_;
};

}  // namespace

std::string result_name(HRESULT result) {
  if (result == D3D_OK) return "D3D_OK";
  if (result == E_FAIL) return "E_FAIL";
  if (result == D3DERR_INVALIDCALL) return "D3DERR_INVALIDCALL";
  return hex(static_cast<DWORD>(result));
}

TraceDevice::TraceDevice() = default;

TraceDevice::~TraceDevice() { orphan_resources(); }

std::vector<std::string> TraceDevice::calls_starting(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const std::string& line : calls_) {
    if (line.compare(0, prefix.size(), prefix) == 0) {
      out.push_back(line);
    }
  }
  return out;
}

void TraceDevice::clear_trace() {
  calls_.clear();
  draws_.clear();
  misuse_.clear();
}

void TraceDevice::fail_next(const std::string& method, HRESULT result, int times) {
  failures_[method] = {result, times};
}

HRESULT TraceDevice::take_failure(const char* method) {
  const auto found = failures_.find(method);
  if (found == failures_.end() || found->second.second <= 0) {
    return D3D_OK;
  }
  --found->second.second;
  return found->second.first;
}

void TraceDevice::record(const std::string& line) {
  if (recording_) {
    calls_.push_back(line);
  }
}

void TraceDevice::note_misuse(const std::string& what) {
  if (recording_) {
    misuse_.push_back(what);
  }
}

void TraceDevice::result_line(const std::string& line, HRESULT result) {
  record(result == D3D_OK ? line : line + " -> " + result_name(result));
}

HRESULT TraceDevice::BeginScene() {
  if (in_scene()) {
    note_misuse("nested BeginScene");
  }
  HRESULT result = take_failure("BeginScene");
  if (result == D3D_OK) result = DeviceCore::BeginScene();
  result_line("BeginScene()", result);
  return result;
}

HRESULT TraceDevice::EndScene() {
  if (!in_scene()) {
    note_misuse("EndScene without BeginScene");
  }
  HRESULT result = take_failure("EndScene");
  if (result == D3D_OK) result = DeviceCore::EndScene();
  result_line("EndScene()", result);
  return result;
}

HRESULT TraceDevice::Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags,
                           D3DCOLOR color_value, float z, DWORD stencil) {
  std::string what;
  if ((flags & D3DCLEAR_TARGET) != 0) what = "D3DCLEAR_TARGET";
  if ((flags & D3DCLEAR_ZBUFFER) != 0)
    what += what.empty() ? "D3DCLEAR_ZBUFFER" : "|D3DCLEAR_ZBUFFER";
  if (what.empty()) what = std::to_string(flags);
  HRESULT result = take_failure("Clear");
  if (result == D3D_OK)
    result = DeviceCore::Clear(rect_count, rects, flags, color_value, z, stencil);
  if (result == D3D_OK) ++clears_;
  result_line("Clear(" + std::to_string(rect_count) + ", " + what + ", " + hex(color_value) + ", " +
                  num(z) + ", " + std::to_string(stencil) + ")",
              result);
  return result;
}

HRESULT TraceDevice::Present() {
  if (in_scene()) {
    note_misuse("Present inside BeginScene/EndScene");
  }
  HRESULT result = take_failure("Present");
  if (result == D3D_OK) result = DeviceCore::Present();
  if (result == D3D_OK) ++presents_;
  result_line("Present()", result);
  return result;
}

HRESULT TraceDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  HRESULT result = take_failure("SetRenderState");
  if (result == D3D_OK) result = DeviceCore::SetRenderState(state, value);
  result_line(
      "SetRenderState(" + render_state_name(state) + ", " + render_state_value(state, value) + ")",
      result);
  return result;
}

HRESULT TraceDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  HRESULT result = take_failure("SetTransform");
  if (result == D3D_OK) result = DeviceCore::SetTransform(state, matrix);
  std::string line = "SetTransform(" + transform_name(state) + ", ";
  if (matrix == nullptr) {
    line += "NULL";
  } else {
    line += "[";
    for (int r = 0; r < 4; ++r) {
      for (int c = 0; c < 4; ++c) {
        line += num(matrix->m[r][c]);
        line += c < 3 ? " " : (r < 3 ? "; " : "");
      }
    }
    line += "]";
  }
  result_line(line + ")", result);
  return result;
}

HRESULT TraceDevice::SetViewport(const D3DVIEWPORT8* viewport) {
  HRESULT result = take_failure("SetViewport");
  if (result == D3D_OK) result = DeviceCore::SetViewport(viewport);
  std::string line = "SetViewport(";
  if (viewport == nullptr) {
    line += "NULL";
  } else {
    line += std::to_string(viewport->X) + ", " + std::to_string(viewport->Y) + ", " +
            std::to_string(viewport->Width) + ", " + std::to_string(viewport->Height) + ", " +
            num(viewport->MinZ) + ", " + num(viewport->MaxZ);
  }
  result_line(line + ")", result);
  return result;
}

HRESULT TraceDevice::GetViewport(D3DVIEWPORT8* viewport) {
  HRESULT result = take_failure("GetViewport");
  if (result == D3D_OK) result = DeviceCore::GetViewport(viewport);
  result_line("GetViewport()", result);
  return result;
}

HRESULT TraceDevice::SetLight(DWORD index, const D3DLIGHT8* light) {
  HRESULT result = take_failure("SetLight");
  if (result == D3D_OK) result = DeviceCore::SetLight(index, light);
  std::string line = "SetLight(" + std::to_string(index) + ", ";
  if (light == nullptr) {
    line += "NULL";
  } else {
    line += "type " + std::to_string(light->Type) + ", position (" + num(light->Position.x) + ", " +
            num(light->Position.y) + ", " + num(light->Position.z) + "), diffuse " +
            color(light->Diffuse) + ", ambient " + color(light->Ambient) + ", range " +
            num(light->Range) + ", attenuation (" + num(light->Attenuation0) + ", " +
            num(light->Attenuation1) + ", " + num(light->Attenuation2) + ")";
  }
  result_line(line + ")", result);
  return result;
}

HRESULT TraceDevice::LightEnable(DWORD index, DWORD enable) {
  HRESULT result = take_failure("LightEnable");
  if (result == D3D_OK) result = DeviceCore::LightEnable(index, enable);
  result_line("LightEnable(" + std::to_string(index) + ", " + (enable ? "TRUE" : "FALSE") + ")",
              result);
  return result;
}

HRESULT TraceDevice::SetMaterial(const D3DMATERIAL8* material) {
  HRESULT result = take_failure("SetMaterial");
  if (result == D3D_OK) result = DeviceCore::SetMaterial(material);
  std::string line = "SetMaterial(";
  if (material == nullptr) {
    line += "NULL";
  } else {
    line += "diffuse " + color(material->Diffuse) + ", ambient " + color(material->Ambient) +
            ", specular " + color(material->Specular) + ", emissive " + color(material->Emissive) +
            ", power " + num(material->Power);
  }
  result_line(line + ")", result);
  return result;
}

HRESULT TraceDevice::SetTexture(DWORD stage, Texture* texture) {
  HRESULT result = take_failure("SetTexture");
  if (result == D3D_OK) result = DeviceCore::SetTexture(stage, texture);
  result_line("SetTexture(" + std::to_string(stage) + ", " + texture_name(texture) + ")", result);
  return result;
}

HRESULT TraceDevice::CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                        VertexBuffer** buffer) {
  HRESULT result = take_failure("CreateVertexBuffer");
  if (result == D3D_OK) {
    result = DeviceCore::CreateVertexBuffer(length, usage, fvf, pool, buffer);
  } else if (buffer != nullptr) {
    *buffer = nullptr;
  }
  std::string line =
      "CreateVertexBuffer(" + std::to_string(length) + ", " +
      (usage == D3DUSAGE_POINTS ? std::string("D3DUSAGE_POINTS") : std::to_string(usage)) + ", " +
      fvf_name(fvf) + ", " + std::to_string(pool) + ")";
  if (result == D3D_OK && buffer != nullptr) {
    line += " -> " + buffer_name(*buffer);
  }
  result_line(line, result);
  return result;
}

HRESULT TraceDevice::SetStreamSource(std::uint32_t stream, VertexBuffer* buffer,
                                     std::uint32_t stride) {
  HRESULT result = take_failure("SetStreamSource");
  if (result == D3D_OK) result = DeviceCore::SetStreamSource(stream, buffer, stride);
  result_line("SetStreamSource(" + std::to_string(stream) + ", " + buffer_name(buffer) + ", " +
                  std::to_string(stride) + ")",
              result);
  return result;
}

HRESULT TraceDevice::SetVertexShader(DWORD fvf) {
  HRESULT result = take_failure("SetVertexShader");
  if (result == D3D_OK) result = DeviceCore::SetVertexShader(fvf);
  result_line("SetVertexShader(" + fvf_name(fvf) + ")", result);
  return result;
}

HRESULT TraceDevice::DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start_vertex,
                                   std::uint32_t primitive_count) {
  if (!in_scene()) {
    note_misuse("DrawPrimitive outside BeginScene/EndScene");
  }
  if (state_.stream == nullptr) {
    note_misuse("DrawPrimitive with no vertex buffer");
  } else if (static_cast<const CoreBuffer*>(state_.stream)->locked()) {
    note_misuse("DrawPrimitive from a locked buffer (Lock without Unlock)");
  }
  HRESULT result = take_failure("DrawPrimitive");
  if (result == D3D_OK) result = DeviceCore::DrawPrimitive(type, start_vertex, primitive_count);
  result_line("DrawPrimitive(" + primitive_name(type) + ", " + std::to_string(start_vertex) + ", " +
                  std::to_string(primitive_count) + ")",
              result);
  if (result == D3D_OK) {
    record_draw(type, start_vertex, primitive_count);
  }
  return result;
}

void TraceDevice::record_draw(D3DPRIMITIVETYPE type, std::uint32_t start, std::uint32_t count) {
  if (!recording_) {
    return;
  }
  TraceDraw draw;
  draw.call_index = calls_.empty() ? 0 : calls_.size() - 1;
  draw.type = type;
  draw.start_vertex = start;
  draw.primitive_count = count;
  draw.sprite = drawing_sprite();
  draw.sprite_args = pending_sprite_;
  draw.state = state_;
  if (state_.texture != nullptr) {
    draw.texture = state_.texture->source();
  }
  const auto* buffer = static_cast<const CoreBuffer*>(state_.stream);
  if (buffer != nullptr) {
    draw.buffer_id = buffer->id();
    if (keep_vertices_) {
      const std::uint32_t stride = fvf_stride(state_.fvf);
      const std::size_t from = static_cast<std::size_t>(start) * stride;
      const std::size_t bytes = static_cast<std::size_t>(vertex_count(type, count)) * stride;
      if (from + bytes <= buffer->length()) {
        draw.vertices.assign(buffer->bytes() + from, buffer->bytes() + from + bytes);
      }
    }
  }
  draws_.push_back(std::move(draw));
}

HRESULT TraceDevice::draw_impl(D3DPRIMITIVETYPE type, std::uint32_t first, std::uint32_t vertices) {
  if (drawing_sprite()) {
    // The sprite's own draw: its line is DrawSprite's; snapshot the states it drew with.
    record_draw(type, first, vertices - 2);
  }
  return D3D_OK;
}

HRESULT TraceDevice::CreateTextureFromFile(const char* path, bool use_color_key, D3DCOLOR color_key,
                                           Texture** texture) {
  HRESULT result = take_failure("CreateTextureFromFile");
  if (result == D3D_OK) {
    result = DeviceCore::CreateTextureFromFile(path, use_color_key, color_key, texture);
  } else if (texture != nullptr) {
    *texture = nullptr;
  }
  result_line("CreateTextureFromFile(\"" + std::string(path == nullptr ? "" : path) + "\", " +
                  (use_color_key ? hex(color_key) : std::string("no key")) + ")",
              result);
  return result;
}

HRESULT TraceDevice::DrawSprite(Texture* texture, const SpriteDraw& sprite) {
  if (!in_scene()) {
    note_misuse("DrawSprite outside BeginScene/EndScene");
  }
  pending_sprite_ = sprite;
  const std::string line = "DrawSprite(" + texture_name(texture) + ", scale (" +
                           num(sprite.scale_x) + ", " + num(sprite.scale_y) + "), center (" +
                           num(sprite.center_x) + ", " + num(sprite.center_y) + "), rotation " +
                           num(sprite.rotation) + ", position (" + num(sprite.position_x) + ", " +
                           num(sprite.position_y) + "), color " + hex(sprite.color) + ")";
  // The line goes first so that the draw it makes points at it.
  record(line);
  HRESULT result = take_failure("DrawSprite");
  if (result == D3D_OK) result = DeviceCore::DrawSprite(texture, sprite);
  if (result != D3D_OK && recording_ && !calls_.empty()) {
    calls_.back() += " -> " + result_name(result);
  }
  pending_sprite_ = SpriteDraw{};
  return result;
}

void TraceDevice::SetDiscard(bool discard) {
  DeviceCore::SetDiscard(discard);
  record(std::string("SetDiscard(") + (discard ? "TRUE" : "FALSE") + ")");
}

bool TraceDevice::ReadPresentedFrame(std::vector<std::uint8_t>& rgba) {
  rgba.clear();
  return false;
}

CoreBuffer* TraceDevice::make_buffer(std::uint32_t length, DWORD usage, DWORD fvf) {
  return new TraceBuffer(this, length, usage, fvf);
}

CoreTexture* TraceDevice::make_texture(Image& image, const std::string& source) {
  return new CoreTexture(this, image.width, image.height, source);
}
