#include "audio/music_stream.h"

music_stream::music_stream(const char* file_name) : music_stream(open_position_source(file_name)) {}

music_stream::music_stream(std::unique_ptr<PositionSource> source) : stream(std::move(source)) {}

music_stream::~music_stream() { close(); }

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
