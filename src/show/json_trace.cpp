#include "show/json_trace.h"

#include <cmath>

#include "gfx/device_state.h"
#include "gfx/trace_device.h"

namespace {

std::string field(const char* name, const std::string& value) {
  return std::string(",\"") + name + "\":" + value;
}

std::string pair(float a, float b) { return "[" + json_number(a) + "," + json_number(b) + "]"; }

std::string color_value(const D3DCOLORVALUE& c) {
  return "[" + json_number(c.r) + "," + json_number(c.g) + "," + json_number(c.b) + "," +
         json_number(c.a) + "]";
}

std::string vector(const D3DVECTOR& v) {
  return "[" + json_number(v.x) + "," + json_number(v.y) + "," + json_number(v.z) + "]";
}

std::string texture_file(const Texture* texture) {
  return texture == nullptr ? std::string("null") : json_string(texture->source());
}

std::string name_of(const char* call) { return std::string("\"call\":\"") + call + "\""; }

// A vertex buffer seen through the trace: its calls are written too, and the
// device hands the real buffer on.
class TracedBuffer : public VertexBuffer {
 public:
  TracedBuffer(JsonTraceDevice& trace, VertexBuffer* inner, int id)
      : trace_(trace), inner_(inner), id_(id) {}

  HRESULT Lock(std::uint32_t offset, std::uint32_t size, std::uint8_t** data,
               DWORD flags) override {
    const HRESULT result = inner_->Lock(offset, size, data, flags);
    trace_.line(name_of("Lock") + field("buffer", std::to_string(id_)) +
                field("offset", std::to_string(offset)) + field("size", std::to_string(size)) +
                field("flags", std::to_string(flags)) +
                (FAILED(result) ? field("result", json_string(result_name(result))) : ""));
    return result;
  }
  HRESULT Unlock() override {
    const HRESULT result = inner_->Unlock();
    trace_.line(name_of("Unlock") + field("buffer", std::to_string(id_)) +
                (FAILED(result) ? field("result", json_string(result_name(result))) : ""));
    return result;
  }
  void Release() override {
    trace_.line(name_of("Release") + field("buffer", std::to_string(id_)));
    inner_->Release();
    delete this;
  }

  VertexBuffer* inner() const { return inner_; }
  int id() const { return id_; }

 private:
  JsonTraceDevice& trace_;
  VertexBuffer* inner_;
  int id_;
};

}  // namespace

std::string json_string(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x80) {
      // Bytes that are not ASCII are shown as the Latin-1 character of the
      // same number, so that a name like "Cam\xE9ra01" stays valid JSON.
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string json_number(double value) {
  if (!std::isfinite(value)) {
    return "null";
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", value);
  return text;
}

std::string json_color(DWORD color) {
  char text[16];
  std::snprintf(text, sizeof text, "\"0x%08X\"", color);
  return text;
}

JsonTraceDevice::JsonTraceDevice(Device& inner, const std::string& file)
    : inner_(inner), out_(std::fopen(file.c_str(), "w")) {}

JsonTraceDevice::~JsonTraceDevice() {
  if (out_ != nullptr) {
    std::fclose(out_);
  }
}

void JsonTraceDevice::line(const std::string& fields) {
  if (out_ != nullptr) {
    std::fprintf(out_, "{%s}\n", fields.c_str());
  }
}

void JsonTraceDevice::frame(long number, int t) {
  line("\"frame\":" + std::to_string(number) + ",\"t\":" + std::to_string(t));
}

HRESULT JsonTraceDevice::call(const std::string& fields, HRESULT result) {
  line(FAILED(result) || result != D3D_OK
           ? fields + field("result", json_string(result_name(result)))
           : fields);
  return result;
}

HRESULT JsonTraceDevice::BeginScene() { return call(name_of("BeginScene"), inner_.BeginScene()); }

HRESULT JsonTraceDevice::EndScene() { return call(name_of("EndScene"), inner_.EndScene()); }

HRESULT JsonTraceDevice::Clear(DWORD rect_count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                               float z, DWORD stencil) {
  std::string what;
  if ((flags & D3DCLEAR_TARGET) != 0) what = "D3DCLEAR_TARGET";
  if ((flags & D3DCLEAR_ZBUFFER) != 0)
    what += what.empty() ? "D3DCLEAR_ZBUFFER" : "|D3DCLEAR_ZBUFFER";
  return call(name_of("Clear") + field("rects", std::to_string(rect_count)) +
                  field("flags", json_string(what.empty() ? std::to_string(flags) : what)) +
                  field("color", json_color(color)) + field("z", json_number(z)) +
                  field("stencil", std::to_string(stencil)),
              inner_.Clear(rect_count, rects, flags, color, z, stencil));
}

HRESULT JsonTraceDevice::Present() { return call(name_of("Present"), inner_.Present()); }

HRESULT JsonTraceDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
  return call(name_of("SetRenderState") + field("state", json_string(render_state_name(state))) +
                  field("value", json_string(render_state_value(state, value))),
              inner_.SetRenderState(state, value));
}

HRESULT JsonTraceDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
  std::string values = "null";
  if (matrix != nullptr) {
    values = "[";
    const float* m = &matrix->m[0][0];
    for (int i = 0; i < 16; ++i) {
      values += (i == 0 ? "" : ",") + json_number(m[i]);
    }
    values += "]";
  }
  return call(name_of("SetTransform") + field("state", json_string(transform_name(state))) +
                  field("matrix", values),
              inner_.SetTransform(state, matrix));
}

HRESULT JsonTraceDevice::SetViewport(const D3DVIEWPORT8* viewport) {
  std::string values = "null";
  if (viewport != nullptr) {
    values = "[" + std::to_string(viewport->X) + "," + std::to_string(viewport->Y) + "," +
             std::to_string(viewport->Width) + "," + std::to_string(viewport->Height) + "," +
             json_number(viewport->MinZ) + "," + json_number(viewport->MaxZ) + "]";
  }
  return call(name_of("SetViewport") + field("viewport", values), inner_.SetViewport(viewport));
}

HRESULT JsonTraceDevice::GetViewport(D3DVIEWPORT8* viewport) {
  return call(name_of("GetViewport"), inner_.GetViewport(viewport));
}

HRESULT JsonTraceDevice::SetLight(DWORD index, const D3DLIGHT8* light) {
  std::string values = "null";
  if (light != nullptr) {
    values =
        "{\"type\":" + std::to_string(light->Type) + field("diffuse", color_value(light->Diffuse)) +
        field("specular", color_value(light->Specular)) +
        field("ambient", color_value(light->Ambient)) + field("position", vector(light->Position)) +
        field("direction", vector(light->Direction)) + field("range", json_number(light->Range)) +
        field("attenuation", "[" + json_number(light->Attenuation0) + "," +
                                 json_number(light->Attenuation1) + "," +
                                 json_number(light->Attenuation2) + "]") +
        "}";
  }
  return call(name_of("SetLight") + field("index", std::to_string(index)) + field("light", values),
              inner_.SetLight(index, light));
}

HRESULT JsonTraceDevice::LightEnable(DWORD index, DWORD enable) {
  return call(name_of("LightEnable") + field("index", std::to_string(index)) +
                  field("enable", enable != 0 ? "true" : "false"),
              inner_.LightEnable(index, enable));
}

HRESULT JsonTraceDevice::SetMaterial(const D3DMATERIAL8* material) {
  std::string values = "null";
  if (material != nullptr) {
    values = "{\"diffuse\":" + color_value(material->Diffuse) +
             field("ambient", color_value(material->Ambient)) +
             field("specular", color_value(material->Specular)) +
             field("emissive", color_value(material->Emissive)) +
             field("power", json_number(material->Power)) + "}";
  }
  return call(name_of("SetMaterial") + field("material", values), inner_.SetMaterial(material));
}

HRESULT JsonTraceDevice::SetTexture(DWORD stage, Texture* texture) {
  return call(name_of("SetTexture") + field("stage", std::to_string(stage)) +
                  field("texture", texture_file(texture)),
              inner_.SetTexture(stage, texture));
}

HRESULT JsonTraceDevice::CreateVertexBuffer(std::uint32_t length, DWORD usage, DWORD fvf,
                                            D3DPOOL pool, VertexBuffer** buffer) {
  VertexBuffer* made = nullptr;
  const HRESULT result = inner_.CreateVertexBuffer(length, usage, fvf, pool, &made);
  int id = 0;
  if (!FAILED(result) && made != nullptr) {
    id = next_buffer_id_++;
    made = new TracedBuffer(*this, made, id);
  }
  if (buffer != nullptr) {
    *buffer = made;
  }
  return call(name_of("CreateVertexBuffer") + field("length", std::to_string(length)) +
                  field("usage", std::to_string(usage)) + field("fvf", json_string(fvf_name(fvf))) +
                  field("pool", std::to_string(pool)) + field("buffer", std::to_string(id)),
              result);
}

HRESULT JsonTraceDevice::SetStreamSource(std::uint32_t stream, VertexBuffer* buffer,
                                         std::uint32_t stride) {
  auto* traced = dynamic_cast<TracedBuffer*>(buffer);
  VertexBuffer* real = traced != nullptr ? traced->inner() : buffer;
  return call(name_of("SetStreamSource") + field("stream", std::to_string(stream)) +
                  field("buffer", std::to_string(traced != nullptr ? traced->id() : 0)) +
                  field("stride", std::to_string(stride)),
              inner_.SetStreamSource(stream, real, stride));
}

HRESULT JsonTraceDevice::SetVertexShader(DWORD fvf) {
  return call(name_of("SetVertexShader") + field("fvf", json_string(fvf_name(fvf))),
              inner_.SetVertexShader(fvf));
}

HRESULT JsonTraceDevice::DrawPrimitive(D3DPRIMITIVETYPE type, std::uint32_t start_vertex,
                                       std::uint32_t primitive_count) {
  return call(name_of("DrawPrimitive") + field("type", json_string(primitive_name(type))) +
                  field("start", std::to_string(start_vertex)) +
                  field("count", std::to_string(primitive_count)),
              inner_.DrawPrimitive(type, start_vertex, primitive_count));
}

HRESULT JsonTraceDevice::CreateTextureFromFile(const char* path, bool use_color_key,
                                               D3DCOLOR color_key, Texture** texture) {
  const HRESULT result = inner_.CreateTextureFromFile(path, use_color_key, color_key, texture);
  return call(name_of("CreateTextureFromFile") + field("file", json_string(path)) +
                  field("color_key", use_color_key ? json_color(color_key) : "null"),
              result);
}

HRESULT JsonTraceDevice::DrawSprite(Texture* texture, const SpriteDraw& sprite) {
  return call(name_of("DrawSprite") + field("texture", texture_file(texture)) +
                  field("position", pair(sprite.position_x, sprite.position_y)) +
                  field("scale", pair(sprite.scale_x, sprite.scale_y)) +
                  field("center", pair(sprite.center_x, sprite.center_y)) +
                  field("rotation", json_number(sprite.rotation)) +
                  field("color", json_color(sprite.color)),
              inner_.DrawSprite(texture, sprite));
}

void JsonTraceDevice::SetDiscard(bool discard) {
  line(name_of("SetDiscard") + field("discard", discard ? "true" : "false"));
  inner_.SetDiscard(discard);
}

bool JsonTraceDevice::ReadPresentedFrame(std::vector<std::uint8_t>& rgba) {
  return inner_.ReadPresentedFrame(rgba);
}
