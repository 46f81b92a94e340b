#include "web/web_page.h"

#include <emscripten.h>

#include <cstdio>

#include "audio/own_clock.h"
#include "shell/base/log.h"
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

// No sound in a page yet: the show runs on its own clock, silent, and says so
// as the desktop does when it cannot play the music.
class SilentMusic final : public PositionSource {
 public:
  explicit SilentMusic(std::string name) : name_(std::move(name)) {}
  bool play() override {
    write_log("\nmusic: cannot play \"%s\" (no sound in the page); the show runs on its own clock",
              name_.c_str());
    std::fprintf(stderr, "plovermix: the page plays no music; the show runs silent\n");
    clock_.start(emscripten_get_now());
    return true;
  }
  int position_ms() override { return clock_.position_ms(emscripten_get_now()); }
  void close() override {}
  void pause() override { clock_.pause(emscripten_get_now()); }
  void resume() override { clock_.resume(emscripten_get_now()); }
  void seek(int position_ms) override { clock_.seek(emscripten_get_now(), position_ms); }

 private:
  std::string name_;
  OwnClock clock_;
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

std::unique_ptr<PositionSource> WebPage::open_music(const std::string& name,
                                                    const std::string& /*path*/) {
  return std::make_unique<SilentMusic>(name);
}

double WebPage::now_ms() const { return emscripten_get_now(); }
