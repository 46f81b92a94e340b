#include "audio/position_source.h"

#include "audio/mixer_source.h"

namespace {
PositionSourceFactory chosen_factory;
}

void set_position_source_factory(PositionSourceFactory factory) {
  chosen_factory = std::move(factory);
}

std::unique_ptr<PositionSource> open_position_source(const char* file) {
  if (chosen_factory) {
    return chosen_factory(file);
  }
  return std::make_unique<MixerSource>(file);
}
