#include "gfx/trace_args.h"

#include <string>
#include <utility>

#include "gfx/device_core.h"

namespace trace_args {

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

}  // namespace trace_args
