#include "web/web_page.h"

#include <emscripten.h>

#include "shell/base/render_helpers.h"

namespace {

std::optional<SeekKey> seek_key(const std::string& code) {
  if (code == "ArrowLeft") return SeekKey::back;
  if (code == "ArrowRight") return SeekKey::forward;
  if (code == "PageUp") return SeekKey::previous_scene;
  if (code == "PageDown") return SeekKey::next_scene;
  if (code == "Home") return SeekKey::home;
  return std::nullopt;
}

// No sound in a page yet: play() fails, and the show runs on its own clock
// and says so, as on a desktop with no sound device.
class NoSound final : public PositionSource {
 public:
  bool play() override { return false; }
  int position_ms() override { return 0; }
  void close() override {}
};

}  // namespace

WebPage::WebPage(const std::string& canvas) : surface_(canvas) {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, &WebPage::key_down);
}

WebPage::~WebPage() {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, true, nullptr);
}

// The show's keys are the page's; the browser keeps every other.
EM_BOOL WebPage::key_down(int /*type*/, const EmscriptenKeyboardEvent* event, void* page) {
  return static_cast<WebPage*>(page)->handle_key(event->code) ? EM_TRUE : EM_FALSE;
}

bool WebPage::handle_key(const std::string& code) {
  if (const std::optional<SeekKey> seek = seek_key(code)) {
    seeks_.push(*seek);
  } else if (code == "Escape") {
    escape_pressed_ = true;
  } else if (code == "Space") {
    paused_ = !paused_;
  } else {
    return false;
  }
  return true;
}

bool WebPage::make_device(PixelSize render_size, std::string& error) {
  presenter_ = init_device(surface_, render_size);
  if (presenter_ == nullptr) {
    error = device_error();
    return false;
  }
  return true;
}

PixelSize WebPage::picture_size() const {
  return ::picture_size(surface_.shown_size().value_or(PixelSize{}));
}

std::unique_ptr<PositionSource> WebPage::open_music(const std::string& /*name*/,
                                                    const std::string& /*path*/) {
  return std::make_unique<NoSound>();
}

double WebPage::now_ms() const { return emscripten_get_now(); }
