#pragma once
// How the live player's presents keep to the display, apart from SDL so that
// tests can script the times (all in ms of a steady clock):
//
//   PresentLimiter(interval)   where vertical sync is refused: wait_after(now)
//                              is how long to wait after a present at `now`
//                              so that presents come once per interval
//   SlowFrameWatch(limit)      add(took, now) with each drawn frame's time;
//                              true once, at the first moment when every
//                              frame for SPAN_MS has taken longer than `limit`
//   refresh_interval_ms(hz)    1000 / hz, or that of 60 Hz when hz is unknown (0)

#include <optional>

class PresentLimiter {
 public:
  explicit PresentLimiter(double interval_ms) : interval_(interval_ms) {}
  double wait_after(double now);

 private:
  double interval_;
  std::optional<double> slot_;  // the time this present belonged to
};

class SlowFrameWatch {
 public:
  static constexpr double SPAN_MS = 2000.0;

  explicit SlowFrameWatch(double limit_ms) : limit_(limit_ms) {}
  bool add(double took, double now);

 private:
  double limit_;
  std::optional<double> slow_since_;
  bool told_ = false;
};

double refresh_interval_ms(int refresh_hz);
