#pragma once
// The GL backend's swap chain, and the Presenter it hands out: the back
// buffer (a framebuffer with a 16-bit depth buffer, at the render size), the
// target the device draws into, the present that fits the picture into the
// window, and the presented frame read back.
//
//   GlPresenter(surface, target_changed)   target_changed(): drawing moved to
//                          another framebuffer, orientation or size, so the
//                          device applies its whole state again
//   make(size, error)      the back buffer and the first target, on the current context
//   on_target(r)           a rectangle of the picture in the target's rows
//   into_window()          draws go straight into the window, turned over
//   drawn()                a clear or a draw: the presented frame is gone
//   present()              shows the picture, then chooses the next target

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gfx/gl_api.h"
#include "gfx/gl_surface.h"
#include "gfx/presenter.h"
#include "gfx/render_scale.h"

class GlPresenter final : public Presenter {
 public:
  GlPresenter(GlSurface& surface, std::function<void()> target_changed);
  // Deletes its framebuffers: the context must still be current.
  ~GlPresenter() override;
  GlPresenter(const GlPresenter&) = delete;
  GlPresenter& operator=(const GlPresenter&) = delete;

  bool make(PixelSize size, std::string& error);
  PixelRect on_target(PixelRect r) const;
  bool into_window() const { return into_window_; }
  void drawn() { holds_presented_ = false; }
  void present();

  PixelSize render_size() const override { return size_; }
  bool set_render_size(PixelSize size) override;
  void keep_presented_frames() override { keep_frames_ = true; }
  std::optional<PixelSize> read_presented_frame(std::vector<std::uint8_t>& rgba) override;
  bool set_samples(int samples, std::string& error) override;
  void set_overlay(std::optional<OverlayImage> image) override;

 private:
  void draw_overlay(PixelRect picture, int window_height);
  bool store_back_buffer(PixelSize size);
  PixelSize shown_drawable() const;
  void choose_target(PixelSize drawable);
  void apply_orientation() const;
  GLuint target_framebuffer() const { return into_window_ ? 0 : back_fbo_; }
  // Where the presented picture is read from: the back buffer, or its resolved copy.
  GLuint picture_framebuffer() const { return samples_ > 1 ? resolve_fbo_ : back_fbo_; }

  GlSurface& surface_;
  std::function<void()> target_changed_;
  // The back buffer's pixels; the show's units are scaled to them by size_.height / 600.
  PixelSize size_{};
  GLuint back_fbo_ = 0, back_color_ = 0, back_depth_ = 0;
  // Multisampled, the back buffer is resolved into these at each present.
  int samples_ = 1;
  GLuint resolve_fbo_ = 0, resolve_color_ = 0;
  // The overlay, uploaded into a texture when it changes, copied over the
  // picture in the window just before each swap.
  std::optional<OverlayImage> overlay_;
  bool overlay_changed_ = false;
  GLuint overlay_fbo_ = 0, overlay_texture_ = 0;
  // The back buffer still holds the presented frame: nothing drawn or cleared
  // since the present. Read-back needs no copy of every frame then.
  bool holds_presented_ = false;
  // Draws go straight into the window while it shows the picture at the
  // render size: the present then copies nothing. The window's rows count
  // from its bottom, so the picture is drawn turned over there.
  bool into_window_ = false;
  PixelRect picture_{};  // where the picture is in the window, while drawn into it
  int window_height_ = 0;
  // Only a window whose depth buffer is the back buffer's draws the same pixels.
  bool window_depth_matches_ = false;
  // Set by keep_presented_frames: each present leaves its frame readable.
  bool keep_frames_ = false;
  // A present with no swap: the end of the frame before, for the driver to
  // work on while the next one is built, as a swap chain would.
  GLsync frame_in_flight_ = nullptr;
};
