#include "web/web_page.h"

#include <emscripten.h>

#include "shell/base/render_helpers.h"
#include "web/web_music.h"

namespace {

std::optional<SeekKey> seek_key(const std::string& code) {
  if (code == "ArrowLeft") return SeekKey::back;
  if (code == "ArrowRight") return SeekKey::forward;
  if (code == "PageUp") return SeekKey::previous_scene;
  if (code == "PageDown") return SeekKey::next_scene;
  if (code == "Home") return SeekKey::home;
  return std::nullopt;
}

// The page's part in the keys: Escape first leaves full screen (the
// browser's rule, and its Escape may reach the page just after), and a page
// in the background pauses as Space does.
EM_JS(int, escape_ends_show, (), { return window.plovermix.escapeEndsShow() ? 1 : 0; });
EM_JS(int, page_hidden, (), { return document.hidden ? 1 : 0; });
// Where the show is, for the way back after a lost graphics context.
EM_JS(void, tell_show_time, (int t), { window.plovermix.showTime = t; });

}  // namespace

// Animation frames come at the display's refresh, which the page is not told: 60 Hz.
WebPage::WebPage(const std::string& canvas, bool fit_render_size)
    : surface_(canvas), size_fit_(fit_render_size, refresh_interval_ms(0)) {
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
    escape_pressed_ = escape_pressed_ || escape_ends_show() != 0;
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

std::unique_ptr<PositionSource> WebPage::open_music(const std::string& name,
                                                    const std::string& path) {
  return std::make_unique<WebAudioMusic>(name, path);
}

bool WebPage::paused() const { return paused_ || page_hidden() != 0; }

// The back buffer follows the picture's size in the canvas's pixels.
void WebPage::pump_events() {
  if (presenter_ != nullptr) {
    size_fit_.fit(*presenter_, picture_size());
  }
}

void WebPage::frame_time(int t) { tell_show_time(t); }

void WebPage::presented(bool drew) {
  const double now = emscripten_get_now();
  if (drew && last_present_ && presenter_ != nullptr) {
    size_fit_.frame_drawn(*presenter_, now - *last_present_, now);
  }
  last_present_ = now;
}

double WebPage::now_ms() const { return emscripten_get_now(); }
