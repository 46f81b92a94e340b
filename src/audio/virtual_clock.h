#pragma once
// A music clock that moves only when told, for tests and frame capture: it
// replays passes of the music without sound, going back to 0 at each new pass
// as the looping stream does. A pass is 74180 ms unless the file's own length
// is given (a capture loops the music where the file ends).

#include <memory>

#include "audio/music_stream.h"
#include "audio/position_source.h"

class VirtualClock {
 public:
  explicit VirtualClock(double pass_ms = MUSIC_PASS_MS) : pass_ms_(pass_ms) {}
  void advance(double ms) { elapsed_ms_ += ms; }
  void set(double ms) { elapsed_ms_ = ms; }
  double pass_ms() const { return pass_ms_; }
  double elapsed_ms() const { return elapsed_ms_; }
  // A source reading this clock; the clock must outlive it.
  std::unique_ptr<PositionSource> source();

 private:
  double pass_ms_;
  double elapsed_ms_ = 0.0;
};
