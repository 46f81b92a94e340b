#include "overlay/sprite2d.h"

#include <cstdio>
#include <utility>

#include "shell/base/render_helpers.h"

namespace {

// The BMP info header's width and height lie at byte 18 of the file, little
// endian. A file too short to hold them gives 0 x 0.
void read_bmp_size(const char* file, std::uint16_t& width, std::uint16_t& height) {
  width = 0;
  height = 0;
  std::FILE* in = std::fopen(file, "rb");
  if (in == nullptr) {
    return;
  }
  unsigned char bytes[8] = {};
  const bool whole = std::fseek(in, 18, SEEK_SET) == 0 && std::fread(bytes, 1, 8, in) == 8;
  std::fclose(in);
  if (!whole) {
    return;
  }
  // Only the low 16 bits of each signed 32-bit field are kept.
  width = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
  height = static_cast<std::uint16_t>(bytes[4] | bytes[5] << 8);
}

}  // namespace

sprite2d::sprite2d(const char* file, D3DCOLOR color_key, DataFolder folder)
    : folder_(std::move(folder)) {
  load(file, color_key);
}

sprite2d::~sprite2d() { release(); }

HRESULT sprite2d::load(const char* file, D3DCOLOR color_key) {
  file_ = file;
  read_bmp_size(folder_.path(file).c_str(), width_, height_);
  release();
  if (device == nullptr) {
    return E_FAIL;
  }
  Texture* made = nullptr;
  // As with the utility library, a colour key of 0 means no colour key.
  if (FAILED(device->CreateTextureFromFile(file, color_key != 0, color_key, &made)) ||
      made == nullptr) {
    return E_FAIL;
  }
  texture_ = made;
  return D3D_OK;
}

HRESULT sprite2d::draw() {
  // An overlay whose image did not load draws nothing and opens no bracket.
  if (texture_ == nullptr || device == nullptr) {
    return E_FAIL;
  }
  device->BeginScene();
  SpriteDraw sprite;
  sprite.scale_x = scale_x_;
  sprite.scale_y = scale_y_;
  sprite.center_x = center_x_;
  sprite.center_y = center_y_;
  sprite.rotation = rotation_;
  sprite.position_x = position_x_;
  sprite.position_y = position_y_;
  sprite.color = color_;
  const HRESULT drawn = device->DrawSprite(texture_, sprite);
  // The bracket is closed on failure too, so the next draw does not nest in it.
  device->EndScene();
  return FAILED(drawn) ? E_FAIL : D3D_OK;
}

void sprite2d::release() {
  if (texture_ != nullptr) {
    texture_->Release();
    texture_ = nullptr;
  }
}

void sprite2d::set_position(float x, float y) {
  position_x_ = x;
  position_y_ = y;
}

void sprite2d::set_scale(float sx, float sy) {
  scale_x_ = sx;
  scale_y_ = sy;
}

void sprite2d::set_rotation_center(float cx, float cy) {
  center_x_ = cx;
  center_y_ = cy;
}

void sprite2d::set_rotation(float angle) { rotation_ = angle; }

void sprite2d::set_color(D3DCOLOR color) { color_ = color; }

void sprite2d::move(float dx, float dy) {
  position_x_ += dx;
  position_y_ += dy;
}

void sprite2d::grow(float dsx, float dsy) {
  scale_x_ += dsx;
  scale_y_ += dsy;
}

void sprite2d::shift_rotation_center(float dcx, float dcy) {
  center_x_ += dcx;
  center_y_ += dcy;
}

void sprite2d::rotate(float da) { rotation_ += da; }

// Unsigned addition wraps: alpha 0xFF plus one step carries out and becomes 0x00.
void sprite2d::add_color(std::uint32_t delta) { color_ += delta; }
