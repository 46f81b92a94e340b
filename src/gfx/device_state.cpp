#include "gfx/device_state.h"

#include <cstdio>
#include <cstring>

#include "gfx/trace_record.h"

namespace {

struct Named {
  DWORD value;
  const char* name;
};

constexpr Named kRenderStates[] = {
    {D3DRS_ZENABLE, "D3DRS_ZENABLE"},
    {D3DRS_ZWRITEENABLE, "D3DRS_ZWRITEENABLE"},
    {D3DRS_ALPHATESTENABLE, "D3DRS_ALPHATESTENABLE"},
    {D3DRS_SRCBLEND, "D3DRS_SRCBLEND"},
    {D3DRS_DESTBLEND, "D3DRS_DESTBLEND"},
    {D3DRS_CULLMODE, "D3DRS_CULLMODE"},
    {D3DRS_ZFUNC, "D3DRS_ZFUNC"},
    {D3DRS_ALPHAREF, "D3DRS_ALPHAREF"},
    {D3DRS_ALPHAFUNC, "D3DRS_ALPHAFUNC"},
    {D3DRS_ALPHABLENDENABLE, "D3DRS_ALPHABLENDENABLE"},
    {D3DRS_FOGENABLE, "D3DRS_FOGENABLE"},
    {D3DRS_SPECULARENABLE, "D3DRS_SPECULARENABLE"},
    {D3DRS_FOGCOLOR, "D3DRS_FOGCOLOR"},
    {D3DRS_FOGTABLEMODE, "D3DRS_FOGTABLEMODE"},
    {D3DRS_FOGSTART, "D3DRS_FOGSTART"},
    {D3DRS_FOGEND, "D3DRS_FOGEND"},
    {D3DRS_FOGDENSITY, "D3DRS_FOGDENSITY"},
    {D3DRS_RANGEFOGENABLE, "D3DRS_RANGEFOGENABLE"},
    {D3DRS_LIGHTING, "D3DRS_LIGHTING"},
    {D3DRS_AMBIENT, "D3DRS_AMBIENT"},
    {D3DRS_FOGVERTEXMODE, "D3DRS_FOGVERTEXMODE"},
    {D3DRS_COLORVERTEX, "D3DRS_COLORVERTEX"},
    {D3DRS_LOCALVIEWER, "D3DRS_LOCALVIEWER"},
    {D3DRS_NORMALIZENORMALS, "D3DRS_NORMALIZENORMALS"},
    {D3DRS_DIFFUSEMATERIALSOURCE, "D3DRS_DIFFUSEMATERIALSOURCE"},
    {D3DRS_SPECULARMATERIALSOURCE, "D3DRS_SPECULARMATERIALSOURCE"},
    {D3DRS_AMBIENTMATERIALSOURCE, "D3DRS_AMBIENTMATERIALSOURCE"},
    {D3DRS_EMISSIVEMATERIALSOURCE, "D3DRS_EMISSIVEMATERIALSOURCE"},
    {D3DRS_POINTSIZE, "D3DRS_POINTSIZE"},
    {D3DRS_POINTSIZE_MIN, "D3DRS_POINTSIZE_MIN"},
    {D3DRS_POINTSPRITEENABLE, "D3DRS_POINTSPRITEENABLE"},
    {D3DRS_POINTSCALEENABLE, "D3DRS_POINTSCALEENABLE"},
    {D3DRS_POINTSCALE_A, "D3DRS_POINTSCALE_A"},
    {D3DRS_POINTSCALE_B, "D3DRS_POINTSCALE_B"},
    {D3DRS_POINTSCALE_C, "D3DRS_POINTSCALE_C"},
    {D3DRS_POINTSIZE_MAX, "D3DRS_POINTSIZE_MAX"},
};

constexpr Named kBlends[] = {
    {D3DBLEND_ZERO, "D3DBLEND_ZERO"},           {D3DBLEND_ONE, "D3DBLEND_ONE"},
    {D3DBLEND_SRCCOLOR, "D3DBLEND_SRCCOLOR"},   {D3DBLEND_INVSRCCOLOR, "D3DBLEND_INVSRCCOLOR"},
    {D3DBLEND_SRCALPHA, "D3DBLEND_SRCALPHA"},   {D3DBLEND_INVSRCALPHA, "D3DBLEND_INVSRCALPHA"},
    {D3DBLEND_DESTALPHA, "D3DBLEND_DESTALPHA"}, {D3DBLEND_INVDESTALPHA, "D3DBLEND_INVDESTALPHA"},
    {D3DBLEND_DESTCOLOR, "D3DBLEND_DESTCOLOR"}, {D3DBLEND_INVDESTCOLOR, "D3DBLEND_INVDESTCOLOR"},
};

constexpr Named kCmps[] = {
    {D3DCMP_NEVER, "D3DCMP_NEVER"},
    {D3DCMP_LESS, "D3DCMP_LESS"},
    {D3DCMP_EQUAL, "D3DCMP_EQUAL"},
    {D3DCMP_LESSEQUAL, "D3DCMP_LESSEQUAL"},
    {D3DCMP_GREATER, "D3DCMP_GREATER"},
    {D3DCMP_NOTEQUAL, "D3DCMP_NOTEQUAL"},
    {D3DCMP_GREATEREQUAL, "D3DCMP_GREATEREQUAL"},
    {D3DCMP_ALWAYS, "D3DCMP_ALWAYS"},
};

constexpr Named kCulls[] = {
    {D3DCULL_NONE, "D3DCULL_NONE"}, {D3DCULL_CW, "D3DCULL_CW"}, {D3DCULL_CCW, "D3DCULL_CCW"}};

constexpr Named kFogModes[] = {{D3DFOG_NONE, "D3DFOG_NONE"},
                               {D3DFOG_EXP, "D3DFOG_EXP"},
                               {D3DFOG_EXP2, "D3DFOG_EXP2"},
                               {D3DFOG_LINEAR, "D3DFOG_LINEAR"}};

constexpr Named kSources[] = {{D3DMCS_MATERIAL, "D3DMCS_MATERIAL"},
                              {D3DMCS_COLOR1, "D3DMCS_COLOR1"},
                              {D3DMCS_COLOR2, "D3DMCS_COLOR2"}};

constexpr Named kPrimitives[] = {
    {D3DPT_POINTLIST, "D3DPT_POINTLIST"},         {D3DPT_LINELIST, "D3DPT_LINELIST"},
    {D3DPT_LINESTRIP, "D3DPT_LINESTRIP"},         {D3DPT_TRIANGLELIST, "D3DPT_TRIANGLELIST"},
    {D3DPT_TRIANGLESTRIP, "D3DPT_TRIANGLESTRIP"}, {D3DPT_TRIANGLEFAN, "D3DPT_TRIANGLEFAN"},
};

template <std::size_t N>
const char* find_name(const Named (&table)[N], DWORD value) {
  for (const Named& entry : table) {
    if (entry.value == value) {
      return entry.name;
    }
  }
  return nullptr;
}

template <std::size_t N>
std::string name_or_number(const Named (&table)[N], DWORD value) {
  const char* name = find_name(table, value);
  return name != nullptr ? std::string(name) : std::to_string(value);
}

bool is_float_state(DWORD state) {
  switch (state) {
    case D3DRS_FOGSTART:
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY:
    case D3DRS_POINTSIZE:
    case D3DRS_POINTSIZE_MIN:
    case D3DRS_POINTSIZE_MAX:
    case D3DRS_POINTSCALE_A:
    case D3DRS_POINTSCALE_B:
    case D3DRS_POINTSCALE_C:
      return true;
    default:
      return false;
  }
}

}  // namespace

DWORD float_state_bits(float value) {
  DWORD bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

D3DMATRIX identity_matrix() {
  D3DMATRIX m{};
  for (int i = 0; i < 4; ++i) {
    m.m[i][i] = 1.0f;
  }
  return m;
}

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
  D3DMATRIX out{};
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) {
        sum += a.m[row][k] * b.m[k][col];
      }
      out.m[row][col] = sum;
    }
  }
  return out;
}

DeviceState::DeviceState() {
  render_states[D3DRS_ZENABLE] = D3DZB_TRUE;
  render_states[D3DRS_ZWRITEENABLE] = TRUE;
  render_states[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
  render_states[D3DRS_CULLMODE] = D3DCULL_CCW;
  render_states[D3DRS_LIGHTING] = TRUE;
  render_states[D3DRS_COLORVERTEX] = TRUE;
  render_states[D3DRS_LOCALVIEWER] = TRUE;
  render_states[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
  render_states[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
  render_states[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
  render_states[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
  render_states[D3DRS_FOGSTART] = float_state_bits(0.0f);
  render_states[D3DRS_FOGEND] = float_state_bits(1.0f);
  render_states[D3DRS_FOGDENSITY] = float_state_bits(1.0f);
  render_states[D3DRS_SRCBLEND] = D3DBLEND_ONE;
  render_states[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
  render_states[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
  render_states[D3DRS_POINTSIZE] = float_state_bits(1.0f);
  render_states[D3DRS_POINTSIZE_MIN] = float_state_bits(0.0f);
  render_states[D3DRS_POINTSIZE_MAX] = float_state_bits(MAX_POINT_SIZE);
  render_states[D3DRS_POINTSCALE_A] = float_state_bits(1.0f);
  render_states[D3DRS_POINTSCALE_B] = float_state_bits(0.0f);
  render_states[D3DRS_POINTSCALE_C] = float_state_bits(0.0f);
  world = identity_matrix();
  view = identity_matrix();
  projection = identity_matrix();
  viewport = D3DVIEWPORT8{0, 0, 800, 600, 0.0f, 1.0f};
}

float DeviceState::float_state(D3DRENDERSTATETYPE state) const {
  float value = 0.0f;
  std::memcpy(&value, &render_states[state], sizeof value);
  return value;
}

std::uint32_t fvf_stride(DWORD fvf) {
  switch (fvf) {
    case FVF_XYZ_DIFFUSE:
      return 16;
    case FVF_XYZ_DIFFUSE_TEX1:
      return 24;
    case FVF_XYZ_NORMAL_DIFFUSE_TEX1:
      return 36;
    case FVF_XYZRHW_DIFFUSE_TEX1:
      return 28;
    default:
      return 0;
  }
}

std::uint32_t vertex_count(D3DPRIMITIVETYPE type, std::uint32_t primitive_count) {
  if (primitive_count == 0) {
    return 0;
  }
  switch (type) {
    case D3DPT_POINTLIST:
      return primitive_count;
    case D3DPT_LINELIST:
      return primitive_count * 2;
    case D3DPT_LINESTRIP:
      return primitive_count + 1;
    case D3DPT_TRIANGLELIST:
      return primitive_count * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
      return primitive_count + 2;
  }
  return 0;
}

std::string render_state_name(DWORD state) { return name_or_number(kRenderStates, state); }

std::string render_state_value(DWORD state, DWORD value) {
  if (is_float_state(state)) {
    float f = 0.0f;
    std::memcpy(&f, &value, sizeof f);
    char text[48];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(f));
    return text;
  }
  switch (state) {
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
      return name_or_number(kBlends, value);
    case D3DRS_ZFUNC:
    case D3DRS_ALPHAFUNC:
      return name_or_number(kCmps, value);
    case D3DRS_CULLMODE:
      return name_or_number(kCulls, value);
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGVERTEXMODE:
      return name_or_number(kFogModes, value);
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
      return name_or_number(kSources, value);
    case D3DRS_FOGCOLOR:
    case D3DRS_AMBIENT:
      return hex_text(value);
    case D3DRS_ALPHAREF:
      return std::to_string(value);
    default:
      break;
  }
  if (value == TRUE) {
    return "TRUE";
  }
  if (value == FALSE) {
    return "FALSE";
  }
  return std::to_string(value);
}

std::string primitive_name(DWORD type) { return name_or_number(kPrimitives, type); }

std::string transform_name(DWORD state) {
  switch (state) {
    case D3DTS_VIEW:
      return "D3DTS_VIEW";
    case D3DTS_PROJECTION:
      return "D3DTS_PROJECTION";
    case D3DTS_WORLD:
      return "D3DTS_WORLD";
    default:
      return std::to_string(state);
  }
}

std::string fvf_name(DWORD fvf) {
  std::string name;
  const auto add = [&name](const char* part) {
    if (!name.empty()) {
      name += '|';
    }
    name += part;
  };
  if ((fvf & D3DFVF_XYZRHW) != 0) add("D3DFVF_XYZRHW");
  if ((fvf & 0x00E) == D3DFVF_XYZ) add("D3DFVF_XYZ");
  if ((fvf & D3DFVF_NORMAL) != 0) add("D3DFVF_NORMAL");
  if ((fvf & D3DFVF_DIFFUSE) != 0) add("D3DFVF_DIFFUSE");
  if ((fvf & D3DFVF_SPECULAR) != 0) add("D3DFVF_SPECULAR");
  if ((fvf & 0xF00) == D3DFVF_TEX1) add("D3DFVF_TEX1");
  const DWORD known =
      D3DFVF_XYZRHW | D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
  if ((fvf & ~known) != 0 || name.empty()) {
    return hex_text(fvf);
  }
  return name;
}
