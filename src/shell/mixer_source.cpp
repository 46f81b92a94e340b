#include "shell/mixer_source.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <chrono>
#include <cstdio>

#include "shell/base/log.h"

namespace {
// The sound device's buffer, in sample frames: what is heard trails the
// stream's position by this much.
constexpr int BUFFER_SAMPLES = 2048;

double now_ms() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

MixerSource::MixerSource(const std::string& name, const std::string& path) : name_(name) {
  own_clock_.start(now_ms());
  // 44100 Hz stereo, as the original asked of its sound library.
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    fall_back(std::string("no sound device: ") + SDL_GetError());
    return;
  }
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, BUFFER_SAMPLES) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    fall_back(std::string("no sound device: ") + Mix_GetError());
    return;
  }
  audio_open_ = true;
  music_ = Mix_LoadMUS(path.c_str());
  if (music_ == nullptr) {
    fall_back(Mix_GetError());
  }
}

MixerSource::~MixerSource() { close(); }

void MixerSource::fall_back(const std::string& reason) {
  if (falling_back()) {
    return;
  }
  fallback_reason_ = reason.empty() ? "unknown reason" : reason;
  // The own clock takes over where the music was, so the show does not jump.
  own_clock_.seek(now_ms(), last_position_ms_);
  write_log("\nmusic: cannot play \"%s\" (%s); the show runs on its own clock", name_.c_str(),
            fallback_reason_.c_str());
  // A silent show must not leave the user wondering why.
  std::fprintf(stderr, "plovermix: cannot play the music \"%s\" (%s); the show runs silent\n",
               name_.c_str(), fallback_reason_.c_str());
}

bool MixerSource::play() {
  own_clock_.start(now_ms());
  last_position_ms_ = 0;
  if (music_ != nullptr && Mix_PlayMusic(music_, -1) != 0) {
    fall_back(Mix_GetError());
  }
  if (muted_ && audio_open_) {
    Mix_VolumeMusic(0);
  }
  return true;
}

void MixerSource::pause() {
  own_clock_.pause(now_ms());
  if (audio_open_) {
    Mix_PauseMusic();
  }
}

void MixerSource::resume() {
  own_clock_.resume(now_ms());
  if (audio_open_) {
    Mix_ResumeMusic();
  }
}

void MixerSource::mute() {
  muted_ = true;
  if (audio_open_) {
    Mix_VolumeMusic(0);
  }
}

double MixerSource::latency_ms() const {
  // Mix_OpenAudio keeps the buffer length it was asked for; the rate may differ.
  int frequency = 0;
  Uint16 format = 0;
  int channels = 0;
  if (!audio_open_ || Mix_QuerySpec(&frequency, &format, &channels) == 0 || frequency <= 0) {
    return 0.0;
  }
  return BUFFER_SAMPLES * 1000.0 / frequency;
}

void MixerSource::seek(int position_ms) {
  last_position_ms_ = position_ms;
  own_clock_.seek(now_ms(), position_ms);
  if (!falling_back() && music_ != nullptr && Mix_SetMusicPosition(position_ms / 1000.0) != 0) {
    fall_back(Mix_GetError());
  }
}

double MixerSource::length_ms() const {
  const double seconds = music_ != nullptr ? Mix_MusicDuration(music_) : -1.0;
  return seconds > 0.0 ? seconds * 1000.0 : 0.0;
}

int MixerSource::position_ms() {
  if (!falling_back() && music_ != nullptr) {
    const double seconds = Mix_GetMusicPosition(music_);
    if (seconds < 0.0) {
      fall_back("the stream gives no playing position");
    } else if (Mix_PlayingMusic() == 0) {
      fall_back("the stream stopped playing");
    } else {
      last_position_ms_ = static_cast<int>(seconds * 1000.0);
      return last_position_ms_;
    }
  }
  return own_clock_.position_ms(now_ms());
}

void MixerSource::close() {
  if (music_ != nullptr) {
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    music_ = nullptr;
  }
  if (audio_open_) {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_open_ = false;
  }
}
