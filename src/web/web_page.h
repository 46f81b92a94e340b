#pragma once
// The page as the show's platform: the canvas the device draws into, the
// viewer's keys, the music on Web Audio and the page's clock. Keys arrive from
// the browser between animation frames; a pump only fits the back buffer to
// the canvas.
//
//   Escape                       ends the show (in full screen, leaves it first)
//   Space, a page in the background   pauses and resumes
//   Left, Right                  10 s back and forth
//   PageUp, PageDown, Home       the previous and next scene, the start
// Full screen (F11, a double click, the page's button) is the page script's.

#include <emscripten/html5.h>

#include <optional>
#include <string>

#include "show/platform.h"
#include "show/render_size_fit.h"
#include "web/webgl_surface.h"

class WebPage : public Platform {
 public:
  // `fit_render_size`: the back buffer follows the picture's size while the
  // page draws it in time (the live player's; a virtual clock keeps the size
  // it was made with).
  WebPage(const std::string& canvas, bool fit_render_size);
  ~WebPage() override;
  WebPage(const WebPage&) = delete;
  WebPage& operator=(const WebPage&) = delete;

  bool make_device(PixelSize render_size, std::string& error) override;
  Presenter* presenter() const override { return presenter_; }
  PixelSize picture_size() const override;
  void pump_events() override;
  void frame_time(int t) override;
  void presented(bool drew) override;
  bool escape_down() const override { return escape_pressed_; }
  bool close_requested() const override { return false; }
  bool paused() const override;
  std::optional<SeekKey> take_seek() override { return seeks_.take(); }
  std::unique_ptr<PositionSource> open_music(const std::string& name,
                                             const std::string& path) override;
  double now_ms() const override;

 private:
  static EM_BOOL key_down(int type, const EmscriptenKeyboardEvent* event, void* page);
  bool handle_key(const std::string& code);

  WebGlSurface surface_;
  Presenter* presenter_ = nullptr;
  RenderSizeFit size_fit_;
  std::optional<double> last_present_;
  bool escape_pressed_ = false;
  bool paused_ = false;
  SeekKeys seeks_;
};
