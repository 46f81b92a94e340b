#pragma once
// The music on Web Audio, through the page's script (page/music.js): decoded
// asynchronously, so not ready() until it is; then looped over its decoded
// length, its position read from the audio context's clock. Music that cannot
// be decoded (or a page with no sound) runs on its own clock, silent: the
// page and the log say why, once.

#include <string>

#include "audio/own_clock.h"
#include "audio/position_source.h"

class WebAudioMusic final : public PositionSource {
 public:
  // `name` as the show spells it, for messages; `path` is read from the page's files.
  WebAudioMusic(std::string name, const std::string& path);
  ~WebAudioMusic() override;
  bool ready() const override;
  bool play() override;
  int position_ms() override;
  void close() override;
  void pause() override;
  void resume() override;
  void mute() override;
  double latency_ms() const override;
  void seek(int position_ms) override;
  double length_ms() const override;

 private:
  // The page could not decode the music: from now on, the own clock.
  bool silent();

  std::string name_;
  bool told_ = false;
  bool playing_ = false;
  OwnClock own_clock_;
};
