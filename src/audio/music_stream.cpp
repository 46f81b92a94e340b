#include "audio/music_stream.h"

#include <algorithm>
#include <cmath>

music_stream::music_stream(std::unique_ptr<PositionSource> source) : stream(std::move(source)) {}

music_stream::~music_stream() { close(); }

bool music_stream::ready() const { return stream == nullptr || stream->ready(); }

int music_stream::play() {
  channel = stream != nullptr && stream->play() ? 0 : -1;
  if (channel == -1) {
    close();
    return 1;
  }
  return 0;
}

double music_stream::get_time() {
  if (stream == nullptr) {
    return wraps * MUSIC_PASS_MS + time_ms;
  }
  time_ms = stream->position_ms();
  if (time_ms < previous_ms) {
    wraps += 1;
  }
  previous_ms = time_ms;
  return wraps * MUSIC_PASS_MS + time_ms;
}

void music_stream::close() {
  if (stream != nullptr) {
    stream->close();
    stream.reset();
  }
}

void music_stream::pause() {
  if (stream != nullptr) {
    stream->pause();
  }
}

void music_stream::resume() {
  if (stream != nullptr) {
    stream->resume();
  }
}

void music_stream::mute() {
  if (stream != nullptr) {
    stream->mute();
  }
}

double music_stream::latency_ms() const { return stream != nullptr ? stream->latency_ms() : 0.0; }

MusicPlace music_place(double t, double length_ms) {
  MusicPlace place;
  place.pass = static_cast<int>(std::floor(std::max(0.0, t) / MUSIC_PASS_MS));
  place.position_ms = static_cast<int>(std::max(0.0, t) - place.pass * MUSIC_PASS_MS);
  if (length_ms > 0.0 && place.position_ms >= length_ms) {
    // After w ms of playing the stream is at w mod length in pass w div
    // length: a position past the file's end is never reached.
    ++place.pass;
    place.position_ms = 0;
  }
  return place;
}

double music_stream::seek(double t) {
  const MusicPlace place = music_place(t, stream != nullptr ? stream->length_ms() : 0.0);
  wraps = place.pass;
  time_ms = place.position_ms;
  previous_ms = place.position_ms;
  if (stream != nullptr) {
    stream->seek(place.position_ms);
  }
  return wraps * MUSIC_PASS_MS + time_ms;
}
