#include "audio/smooth_clock.h"

#include <algorithm>
#include <cmath>

namespace {

// A frame's worth of steering changes the pace by at most 10 %: no visible
// jump, and 100 ms of difference made up within a second.
constexpr double MAX_SLEW = 0.1;
// The share of the difference made up per reading; smooths the report steps.
constexpr double GAIN = 0.1;
// A report that stops changing (a stalled stream) is not run past by more
// than about one and a half of its steps.
constexpr double MAX_RUN_ON_MS = 70.0;
// Half of a 2048-sample buffer at 44.1 kHz.
constexpr double HALF_REPORT_STEP_MS = 23.0;

}  // namespace

double SmoothClock::reported_at(double now) const {
  return report_ + std::min(now - report_wall_, MAX_RUN_ON_MS);
}

double SmoothClock::read(double report, double now) {
  if (!started_) {
    started_ = true;
    report_ = reading_ = report;
    report_wall_ = last_read_wall_ = now;
    return reading_;
  }
  if (paused_) {
    return reading_;
  }
  const double elapsed = std::max(0.0, now - last_read_wall_);
  if (report != report_) {
    // It changed somewhere since the last reading, and reports come at least
    // once a buffer: the middle of that span, at most half a buffer ago.
    report_ = report;
    report_wall_ = now - std::min(elapsed / 2.0, HALF_REPORT_STEP_MS);
  }
  last_read_wall_ = now;
  const double target = reported_at(now);
  const double free_run = reading_ + elapsed;
  if (std::abs(target - free_run) > JUMP_MS) {
    reading_ = target;
    return reading_;
  }
  const double steer =
      std::clamp((target - free_run) * GAIN, -MAX_SLEW * elapsed, MAX_SLEW * elapsed);
  reading_ = free_run + steer;
  return reading_;
}

void SmoothClock::pause(double now) {
  if (!paused_) {
    paused_ = true;
    paused_at_ = now;
  }
}

void SmoothClock::resume(double now) {
  if (paused_) {
    paused_ = false;
    // The music stood still too: what it reported then is what it reports now.
    const double stood = now - paused_at_;
    report_wall_ += stood;
    last_read_wall_ += stood;
  }
}
