#pragma once
// The music played through SDL2_mixer, looping. When the file or the sound
// device cannot be used, the position falls back to the time since play(), so
// the show still runs (silently); one log line says why. That fallback clock
// pauses and resumes as the music would.

#include <memory>
#include <string>

#include "audio/own_clock.h"
#include "audio/position_source.h"

struct _Mix_Music;

class MixerSource : public PositionSource {
 public:
  // `name` as the show spells it, for messages; `path` is opened.
  MixerSource(const std::string& name, const std::string& path);
  ~MixerSource() override;
  bool play() override;
  int position_ms() override;
  void close() override;
  void pause() override;
  void resume() override;
  void mute() override;
  double latency_ms() const override;
  void seek(int position_ms) override;
  double length_ms() const override;

  bool falling_back() const { return !fallback_reason_.empty(); }

 private:
  void fall_back(const std::string& reason);

  std::string name_;
  bool audio_open_ = false;
  _Mix_Music* music_ = nullptr;
  std::string fallback_reason_;
  bool muted_ = false;
  OwnClock own_clock_;
  // The stream's last reading: a stop in mid-show goes on from there.
  int last_position_ms_ = 0;
};
