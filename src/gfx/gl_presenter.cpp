#include "gfx/gl_presenter.h"

#include <cmath>
#include <utility>

GlPresenter::GlPresenter(GlSurface& surface, std::function<void()> target_changed)
    : surface_(surface), target_changed_(std::move(target_changed)) {}

GlPresenter::~GlPresenter() {
  glDeleteSync(frame_in_flight_);
  glDeleteFramebuffers(1, &back_fbo_);
  glDeleteRenderbuffers(1, &back_color_);
  glDeleteRenderbuffers(1, &back_depth_);
  glDeleteFramebuffers(1, &resolve_fbo_);
  glDeleteRenderbuffers(1, &resolve_color_);
  glDeleteFramebuffers(1, &overlay_fbo_);
  glDeleteTextures(1, &overlay_texture_);
}

bool GlPresenter::make(PixelSize size, std::string& error) {
  size_ = size;
  glGenRenderbuffers(1, &back_color_);
  glGenRenderbuffers(1, &back_depth_);
  glGenFramebuffers(1, &back_fbo_);
  glGenRenderbuffers(1, &resolve_color_);
  glGenFramebuffers(1, &resolve_fbo_);
  if (!store_back_buffer(size_)) {
    error = "the " + std::to_string(size_.width) + " x " + std::to_string(size_.height) +
            " back buffer cannot be made";
    return false;
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  GLint window_depth = GL_NONE, depth_bits = 0;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH,
                                        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &window_depth);
  if (window_depth != GL_NONE) {
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_DEPTH,
                                          GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE, &depth_bits);
  }
  window_depth_matches_ = depth_bits == 16;
  // The scissor keeps draws and clears inside the viewport; only the
  // presenter's own copies and clears of whole framebuffers go without it.
  glEnable(GL_SCISSOR_TEST);
  choose_target(shown_drawable());
  apply_orientation();
  return true;
}

// (Re)allocates the back buffer and its depth buffer at `size`; false when GL cannot make them
// complete.
bool GlPresenter::store_back_buffer(PixelSize size) {
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  if (size.width > largest || size.height > largest) {
    return false;
  }
  const auto storage = [size](GLuint buffer, GLenum format, int samples) {
    glBindRenderbuffer(GL_RENDERBUFFER, buffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples > 1 ? samples : 0, format, size.width,
                                     size.height);
  };
  const auto complete = [](GLuint fbo, GLuint color, GLuint depth) {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  };
  // No alpha, like the desktop's 32-bit format the show draws into: blends read
  // a destination alpha of one, and the frames read back are opaque.
  storage(back_color_, GL_RGB8, samples_);
  storage(back_depth_, GL_DEPTH_COMPONENT16, samples_);
  bool back_ok = complete(back_fbo_, back_color_, back_depth_);
  if (samples_ > 1) {
    storage(resolve_color_, GL_RGB8, 1);
    back_ok = complete(resolve_fbo_, resolve_color_, 0) && back_ok;
  }
  glBindFramebuffer(GL_FRAMEBUFFER, target_framebuffer());
  return back_ok && glGetError() == GL_NO_ERROR;
}

bool GlPresenter::set_samples(int samples, std::string& error) {
  GLint most = 0;
  glGetIntegerv(GL_MAX_SAMPLES, &most);
  if (samples < 1 || samples > most) {
    error = "this driver offers multisampling up to " + std::to_string(most) + " samples, not " +
            std::to_string(samples);
    return false;
  }
  const int before = samples_;
  samples_ = samples;
  if (!store_back_buffer(size_)) {
    samples_ = before;
    store_back_buffer(size_);
    error = "this driver cannot draw " + std::to_string(size_.width) + " x " +
            std::to_string(size_.height) + " with " + std::to_string(samples) + " samples";
    return false;
  }
  holds_presented_ = false;
  choose_target(shown_drawable());
  target_changed_();
  return true;
}

void GlPresenter::set_overlay(std::optional<OverlayImage> image) {
  overlay_ = std::move(image);
  overlay_changed_ = true;
}

// The overlay over `picture`, in the window's rows (from its bottom, `window_height` high).
void GlPresenter::draw_overlay(PixelRect picture, int window_height) {
  if (!overlay_ || overlay_->rgba.size() != static_cast<std::size_t>(overlay_->size.width) *
                                                static_cast<std::size_t>(overlay_->size.height) *
                                                4) {
    return;
  }
  const PixelSize size = overlay_->size;
  if (overlay_changed_) {
    if (overlay_fbo_ == 0) {
      glGenFramebuffers(1, &overlay_fbo_);
      glGenTextures(1, &overlay_texture_);
    }
    // The device keeps its own texture bound and its unpacking as it set it.
    GLint bound = 0, alignment = 4;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glBindTexture(GL_TEXTURE_2D, overlay_texture_);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size.width, size.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 overlay_->rgba.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, overlay_fbo_);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           overlay_texture_, 0);
    overlay_changed_ = false;
  }
  // Scaled as the show's units are: by the picture's height / 600.
  const double scale = picture.height / 600.0;
  const auto at = [scale](int units) { return static_cast<int>(std::lround(units * scale)); };
  const int top = window_height - picture.y - at(overlay_->y);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, overlay_fbo_);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glBlitFramebuffer(0, 0, size.width, size.height, picture.x + at(overlay_->x), top,
                    picture.x + at(overlay_->x + size.width), top - at(size.height),
                    GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

bool GlPresenter::set_render_size(PixelSize size) {
  if (size.width <= 0 || size.height <= 0) {
    return false;
  }
  if (size == size_) {
    return true;
  }
  if (!store_back_buffer(size)) {
    store_back_buffer(size_);
    return false;
  }
  size_ = size;
  // New storage holds nothing yet: no frame to read back until the next present.
  holds_presented_ = false;
  choose_target(shown_drawable());
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  // The viewport's pixels, and the depth mask just set, are the device's to put back.
  target_changed_();
  return true;
}

PixelSize GlPresenter::shown_drawable() const {
  return surface_.shown_size().value_or(PixelSize{0, 0});
}

// Into the window when its `drawable` (read at each present, so that a resized
// window changes course at once) shows the picture at the render size, else
// into the back buffer. Binds the one chosen.
void GlPresenter::choose_target(PixelSize drawable) {
  const PixelRect picture = fit_picture(drawable);
  // The window's own framebuffer has one sample a pixel.
  const bool into_window = window_depth_matches_ && samples_ == 1 && picture.width == size_.width &&
                           picture.height == size_.height;
  if (into_window != into_window_ || picture != picture_ || drawable.height != window_height_) {
    into_window_ = into_window;
    picture_ = picture;
    window_height_ = drawable.height;
    apply_orientation();
    target_changed_();  // the viewport, the scissor and the block's sign follow
  }
  glBindFramebuffer(GL_FRAMEBUFFER, target_framebuffer());
}

// Turned over, triangles wind the other way (the shader turns point sprites).
void GlPresenter::apply_orientation() const { glFrontFace(into_window_ ? GL_CW : GL_CCW); }

// `r`, from the picture's top-left, in the rows of the framebuffer drawn into.
PixelRect GlPresenter::on_target(PixelRect r) const {
  if (!into_window_) {
    return r;  // the back buffer is stored top row first, as Direct3D counts
  }
  return PixelRect{picture_.x + r.x, window_height_ - picture_.y - r.y - r.height, r.width,
                   r.height};
}

void GlPresenter::present() {
  glDisable(GL_SCISSOR_TEST);
  holds_presented_ = true;
  if (samples_ > 1) {
    // The samples of each pixel averaged into the picture shown and read back.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, back_fbo_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolve_fbo_);
    glBlitFramebuffer(0, 0, size_.width, size_.height, 0, 0, size_.width, size_.height,
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
  }
  const PixelSize drawable = shown_drawable();
  const PixelRect picture = fit_picture(drawable);
  const bool bars = picture.width != drawable.width || picture.height != drawable.height;
  if (into_window_) {
    const int top = window_height_ - picture_.y, bottom = top - picture_.height;
    if (keep_frames_) {
      glBindFramebuffer(GL_DRAW_FRAMEBUFFER, back_fbo_);
      glBlitFramebuffer(picture_.x, bottom, picture_.x + picture_.width, top, 0, size_.height,
                        size_.width, 0, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    } else {
      holds_presented_ = false;  // the window has it and keeps nothing readable
    }
    draw_overlay(picture_, window_height_);
    surface_.swap();
  } else if (picture.width > 0 && picture.height > 0) {
    // A picture of another size is scaled into the window: the 4:3 picture
    // as large as fits, the rest black. A hidden window (a capture) shows
    // nothing, so nothing is copied into it.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, picture_framebuffer());
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (bars) {
      glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
      glClear(GL_COLOR_BUFFER_BIT);  // the bars; the picture covers the rest
    }
    const bool same_size = picture.width == size_.width && picture.height == size_.height;
    // Our top row is row 0; the window's top is its highest row.
    const int top = drawable.height - picture.y, bottom = top - picture.height;
    glBlitFramebuffer(0, 0, size_.width, size_.height, picture.x, top, picture.x + picture.width,
                      bottom, GL_COLOR_BUFFER_BIT, same_size ? GL_NEAREST : GL_LINEAR);
    draw_overlay(picture, drawable.height);
    surface_.swap();
  }
  // Nothing but this throttles the frames: a swap on some drivers (offscreen
  // ones) waits for nothing, and without it the driver queues frame after
  // frame (gigabytes over the show) and draws them late. One frame may still
  // be drawn while the next is built.
  if (!surface_.bounds_frames_in_flight()) {
    if (frame_in_flight_ != nullptr) {
      glClientWaitSync(frame_in_flight_, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
      glDeleteSync(frame_in_flight_);
    }
    frame_in_flight_ = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
  }
  choose_target(drawable);
  if (into_window_ && bars) {
    // The window's buffer is undefined after a swap: the bars are blacked at
    // each frame, before the picture is drawn over the rest.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  glEnable(GL_SCISSOR_TEST);
}

std::optional<PixelSize> GlPresenter::read_presented_frame(std::vector<std::uint8_t>& rgba) {
  if (!holds_presented_) {
    rgba.clear();
    return std::nullopt;
  }
  rgba.assign(static_cast<std::size_t>(size_.width) * static_cast<std::size_t>(size_.height) * 4,
              0);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, picture_framebuffer());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, size_.width, size_.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, target_framebuffer());
  return size_;
}
