#pragma once
// A music clock that moves only when told, for tests and frame capture: it
// replays passes of 74180 ms without sound, going back to 0 at each new pass
// as the looping stream does.

#include <memory>

#include "audio/position_source.h"

class VirtualClock {
 public:
  void advance(double ms) { elapsed_ms_ += ms; }
  double elapsed_ms() const { return elapsed_ms_; }
  // A source reading this clock; the clock must outlive it.
  std::unique_ptr<PositionSource> source();

 private:
  double elapsed_ms_ = 0.0;
};
