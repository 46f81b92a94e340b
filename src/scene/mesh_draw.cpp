// Drawing a mesh: one vertex buffer per face list, three records per face,
// built at the first draw and reused every frame.
#include <cstring>
#include <vector>

#include "gfx/device.h"
#include "gfx/device_state.h"
#include "scene/mesh3d.h"
#include "shell/base/render_helpers.h"

namespace {

// The record's fields follow from the FVF bits; the colours are the mesh's own.
struct FormatLayout {
  DWORD fvf;
  D3DCOLOR colors[3];  // corners A, B, C
};

// Nothing for a format the mesh code does not know.
const FormatLayout* layoutOf(DWORD format) {
  static constexpr FormatLayout xyz_diffuse{FVF_XYZ_DIFFUSE,
                                            {0x0000FFFFu, 0x00FF00FFu, 0x00FFFF00u}};
  static constexpr FormatLayout textured{FVF_XYZ_DIFFUSE_TEX1,
                                         {0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu}};
  static constexpr FormatLayout lit{FVF_XYZ_NORMAL_DIFFUSE_TEX1,
                                    {0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu}};
  static constexpr FormatLayout line_strip{FVF_XYZ_DIFFUSE,
                                           {0x000000FFu, 0x000000FFu, 0x0000FFFFu}};
  switch (format) {
    case FVF_XYZ_DIFFUSE:
      return &xyz_diffuse;
    case FVF_XYZ_DIFFUSE_TEX1:
      return &textured;
    case FVF_XYZ_NORMAL_DIFFUSE_TEX1:
      return &lit;
    case LINE_STRIP_MODE:
      return &line_strip;
    default:
      return nullptr;
  }
}

void put(std::uint8_t*& out, const void* value, std::size_t size) {
  std::memcpy(out, value, size);
  out += size;
}

void putRecord(std::uint8_t*& out, const vertex3d& vertex, D3DCOLOR color,
               const FormatLayout& layout) {
  const float position[3] = {vertex.x, vertex.y, vertex.z};
  put(out, position, sizeof position);
  if ((layout.fvf & D3DFVF_NORMAL) != 0) {
    const float normal[3] = {vertex.normal.x, vertex.normal.y, vertex.normal.z};
    put(out, normal, sizeof normal);
  }
  put(out, &color, sizeof color);
  if ((layout.fvf & D3DFVF_TEX1) != 0) {
    const float uv[2] = {vertex.u, vertex.v};
    put(out, uv, sizeof uv);
  }
}

}  // namespace

HRESULT FaceList::buildVertexBuffer(DWORD format) {
  if (vertexBuffer_) return D3D_OK;
  const FormatLayout* layout = layoutOf(format);
  if (!layout || getCount() == 0) return D3D_OK;
  if (!device) return E_FAIL;

  const std::uint32_t length =
      3u * static_cast<std::uint32_t>(getCount()) * fvf_stride(layout->fvf);
  std::vector<std::uint8_t> records(length, 0);
  std::uint8_t* out = records.data();
  for (const auto& face : items_) {
    putRecord(out, *face->cornerA, layout->colors[0], *layout);
    putRecord(out, *face->cornerB, layout->colors[1], *layout);
    putRecord(out, *face->cornerC, layout->colors[2], *layout);
  }

  VertexBuffer* buffer = nullptr;
  if (FAILED(device->CreateVertexBuffer(length, 0, layout->fvf, D3DPOOL_DEFAULT, &buffer)) ||
      !buffer) {
    return E_FAIL;
  }
  vertexBuffer_ = buffer;
  std::uint8_t* data = nullptr;
  // A refused lock leaves the buffer in place, unfilled: it is not filled again.
  if (FAILED(vertexBuffer_->Lock(0, length, &data, 0)) || !data) return E_FAIL;
  std::memcpy(data, records.data(), length);
  vertexBuffer_->Unlock();
  return D3D_OK;
}

HRESULT FaceList::drawBuffer(DWORD format) {
  if (!device) return E_FAIL;
  device->BeginScene();
  const FormatLayout* layout = layoutOf(format);
  // Without a buffer (refused, or no faces) there is nothing to draw: the
  // device gets the bracket only, never a draw with no stream.
  if (layout && vertexBuffer_) {
    const auto faces = static_cast<std::uint32_t>(getCount());
    device->SetStreamSource(0, vertexBuffer_, fvf_stride(layout->fvf));
    device->SetVertexShader(layout->fvf);
    if (format == LINE_STRIP_MODE) {
      // One strip through every corner in list order: consecutive faces joined.
      device->DrawPrimitive(D3DPT_LINESTRIP, 0, 3 * faces - 1);
    } else {
      device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, faces);
    }
  }
  return device->EndScene();
}

HRESULT Mesh3d::draw(DWORD format) {
  if (!device) return E_FAIL;
  if (blendEnabled) {
    set_render_state(D3DRS_ALPHABLENDENABLE, TRUE);
    set_render_state(D3DRS_SRCBLEND, static_cast<DWORD>(srcBlend));
    set_render_state(D3DRS_DESTBLEND, static_cast<DWORD>(destBlend));
  }
  if (format == FVF_XYZ_DIFFUSE_TEX1 || format == FVF_XYZ_NORMAL_DIFFUSE_TEX1) {
    device->SetTexture(0, texture_ ? texture_->getTexture() : nullptr);
  }
  if (format == FVF_XYZ_NORMAL_DIFFUSE_TEX1 && texture_ && texture_->getMaterial()) {
    device->SetMaterial(texture_->getMaterial());
  }
  HRESULT result = D3D_OK;
  if (faces_) {
    faces_->buildVertexBuffer(format);
    result = faces_->drawBuffer(format);
  }
  if (blendEnabled) set_render_state(D3DRS_ALPHABLENDENABLE, FALSE);
  return result;
}
