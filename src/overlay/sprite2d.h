#pragma once
// The show's 2D image: a BMP turned into a texture whose black is transparent,
// drawn in back-buffer pixels with a position, a per-axis scale, a rotation
// about a centre and a tinting colour.
//
//   sprite2d(file, color_key, folder)  loads `file` of `folder` (by default the
//                                 working directory; the device reads the same
//                                 name from its own file folder); a failed load
//                                 leaves it without texture
//   load(file, color_key)         0, or E_FAIL
//   draw()                        0, or E_FAIL (no texture); its own scene bracket
//   set_position / set_scale / set_rotation_center / set_rotation / set_color
//   move / grow / shift_rotation_center / rotate / add_color (wraps modulo 2^32)
//   release()                     frees the texture

#include <cstdint>
#include <string>

#include "gfx/device.h"
#include "shell/base/file_lookup.h"

class sprite2d {
 public:
  sprite2d(const char* file, D3DCOLOR color_key, DataFolder folder = {});
  ~sprite2d();
  sprite2d(const sprite2d&) = delete;
  sprite2d& operator=(const sprite2d&) = delete;

  HRESULT load(const char* file, D3DCOLOR color_key);
  HRESULT draw();
  void release();

  void set_position(float x, float y);
  void set_scale(float sx, float sy);
  void set_rotation_center(float cx, float cy);
  void set_rotation(float angle);
  void set_color(D3DCOLOR color);
  void move(float dx, float dy);
  void grow(float dsx, float dsy);
  void shift_rotation_center(float dcx, float dcy);
  void rotate(float da);
  void add_color(std::uint32_t delta);

  std::uint16_t width() const { return width_; }
  std::uint16_t height() const { return height_; }
  float x() const { return position_x_; }
  float y() const { return position_y_; }
  float scale_x() const { return scale_x_; }
  float scale_y() const { return scale_y_; }
  float center_x() const { return center_x_; }
  float center_y() const { return center_y_; }
  float rotation() const { return rotation_; }
  D3DCOLOR color() const { return color_; }
  bool has_texture() const { return texture_ != nullptr; }
  const std::string& file() const { return file_; }

 private:
  std::uint16_t width_ = 0;
  std::uint16_t height_ = 0;
  Texture* texture_ = nullptr;
  float position_x_ = 0.0f, position_y_ = 0.0f;
  float scale_x_ = 1.0f, scale_y_ = 1.0f;
  float center_x_ = 0.0f, center_y_ = 0.0f;
  float rotation_ = 0.0f;
  D3DCOLOR color_ = 0xFFFFFFFFu;
  std::string file_;
  DataFolder folder_;
};
