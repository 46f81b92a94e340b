#include "audio/mixer_source.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "shell/base/log.h"

MixerSource::MixerSource(const char* file)
    : file_(file), started_(std::chrono::steady_clock::now()) {
  // 44100 Hz stereo, as the original asked of its sound library.
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    fall_back(std::string("no sound device: ") + SDL_GetError());
    return;
  }
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    fall_back(std::string("no sound device: ") + Mix_GetError());
    return;
  }
  audio_open_ = true;
  music_ = Mix_LoadMUS(file);
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
  write_log("\nmusic: cannot play \"%s\" (%s); the show runs on its own clock", file_.c_str(),
            fallback_reason_.c_str());
}

bool MixerSource::play() {
  started_ = std::chrono::steady_clock::now();
  if (music_ != nullptr && Mix_PlayMusic(music_, -1) != 0) {
    fall_back(Mix_GetError());
  }
  return true;
}

int MixerSource::elapsed_ms() const {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - started_)
                              .count());
}

int MixerSource::position_ms() {
  if (!falling_back() && music_ != nullptr) {
    const double seconds = Mix_GetMusicPosition(music_);
    if (seconds < 0.0) {
      fall_back("the stream gives no playing position");
    } else if (Mix_PlayingMusic() == 0) {
      fall_back("the stream stopped playing");
    } else {
      return static_cast<int>(seconds * 1000.0);
    }
  }
  return elapsed_ms();
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
