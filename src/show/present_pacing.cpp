#include "show/present_pacing.h"

double PresentLimiter::wait_after(double now) {
  // A present more than a whole interval late starts the slots afresh rather
  // than hurrying to catch up.
  slot_ = (slot_ && now - (*slot_ + interval_) < interval_) ? *slot_ + interval_ : now;
  const double wait = *slot_ + interval_ - now;
  return wait > 0.0 ? wait : 0.0;
}

bool SlowFrameWatch::add(double took, double now) {
  if (told_) {
    return false;
  }
  if (took <= limit_) {
    slow_since_.reset();
    return false;
  }
  if (!slow_since_) {
    slow_since_ = now - took;
  }
  told_ = now - *slow_since_ >= SPAN_MS;
  return told_;
}

double refresh_interval_ms(int refresh_hz) { return 1000.0 / (refresh_hz > 0 ? refresh_hz : 60); }
