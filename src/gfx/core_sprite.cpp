// The utility library's screen sprite: one pre-transformed quad, drawn with the
// states a sprite needs and every changed state put back.
#include <cstring>

#include "gfx/device_core.h"
#include "gfx/sprite_quad.h"

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

void put_word(std::uint8_t*& out, const void* value) {
  std::memcpy(out, value, 4);
  out += 4;
}

}  // namespace

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
