#include "web/web_music.h"

#include <emscripten.h>

#include <cstdio>

#include "shell/base/log.h"

namespace {

EM_JS(void, music_open, (const char* path), { Module.music.open(UTF8ToString(path)); });
EM_JS(int, music_state, (), { return Module.music.state; });
EM_JS(void, music_error, (char* into, int size), { stringToUTF8(Module.music.error, into, size); });
EM_JS(void, music_start_at, (int ms), { Module.music.startAt(ms); });
EM_JS(double, music_position, (), { return Module.music.position(); });
EM_JS(void, music_pause, (), { Module.music.pause(); });
EM_JS(void, music_resume, (), { Module.music.resume(); });
EM_JS(void, music_mute, (), { Module.music.mute(); });
EM_JS(double, music_latency, (), { return Module.music.latency(); });
EM_JS(double, music_length, (), { return Module.music.loop.length * 1000; });
EM_JS(void, music_close, (), { Module.music.close(); });

constexpr int OPENING = 0;
constexpr int FAILED = -1;

}  // namespace

WebAudioMusic::WebAudioMusic(std::string name, const std::string& path) : name_(std::move(name)) {
  music_open(path.c_str());
}

WebAudioMusic::~WebAudioMusic() { close(); }

bool WebAudioMusic::ready() const { return music_state() != OPENING; }

bool WebAudioMusic::silent() {
  if (music_state() != FAILED) {
    return false;
  }
  if (!told_) {
    told_ = true;
    char why[256] = {};
    music_error(why, sizeof why);
    write_log("\nmusic: cannot play \"%s\" (%s); the show runs on its own clock", name_.c_str(),
              why);
    std::fprintf(stderr, "plovermix: cannot play the music \"%s\" (%s); the show runs silent\n",
                 name_.c_str(), why);
  }
  return true;
}

bool WebAudioMusic::play() {
  playing_ = true;
  own_clock_.start(emscripten_get_now());
  if (!silent()) {
    music_start_at(0);
  }
  return true;
}

int WebAudioMusic::position_ms() {
  if (silent()) {
    return own_clock_.position_ms(emscripten_get_now());
  }
  return static_cast<int>(music_position());
}

void WebAudioMusic::close() {
  if (playing_ && !silent()) {
    music_close();
  }
  playing_ = false;
}

void WebAudioMusic::pause() {
  own_clock_.pause(emscripten_get_now());
  if (!silent()) {
    music_pause();
  }
}

void WebAudioMusic::resume() {
  own_clock_.resume(emscripten_get_now());
  if (!silent()) {
    music_resume();
  }
}

void WebAudioMusic::mute() {
  if (!silent()) {
    music_mute();
  }
}

double WebAudioMusic::latency_ms() const { return music_state() == FAILED ? 0.0 : music_latency(); }

void WebAudioMusic::seek(int position_ms) {
  own_clock_.seek(emscripten_get_now(), position_ms);
  if (!silent()) {
    music_start_at(position_ms);
  }
}

double WebAudioMusic::length_ms() const { return music_state() == FAILED ? 0.0 : music_length(); }
