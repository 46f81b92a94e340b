#include "show/pacer.h"

#include <algorithm>

namespace {
// How much of the phase error one present corrects: slow enough to ride out
// jitter, fast enough to settle within a second.
constexpr double LEAD_GAIN = 0.1;
}  // namespace

Pacer::Pacer(int steps_per_second)
    : steps_per_second_(steps_per_second),
      step_ms_(1000.0 / steps_per_second),
      lead_(step_ms_ / 2.0) {}

int Pacer::time_of(long k) const {
  return static_cast<int>(static_cast<long long>(k) * 1000 / steps_per_second_);
}

long Pacer::first_at_or_after(int t) const {
  if (t <= 0) {
    return 0;
  }
  // ceil(t * steps / 1000) is the first body at or after t: time_of truncates.
  return static_cast<long>((static_cast<long long>(t) * steps_per_second_ + 999) / 1000);
}

DueBodies Pacer::due(double now) {
  const double shifted = now + lead_;
  DueBodies bodies{next_, 0};
  while (time_of(next_) <= shifted) {
    ++next_;
    ++bodies.count;
  }
  if (next_ > 0) {
    // Where this present falls after the last body run; half a step is the middle.
    const double phase = shifted - time_of(next_ - 1);
    const double half = step_ms_ / 2.0;
    lead_ = std::clamp(lead_ + LEAD_GAIN * (half - phase), -half, half);
  }
  return bodies;
}
