#include "audio/own_clock.h"

void OwnClock::start(double now) {
  started_ = now;
  paused_ = false;
}

void OwnClock::pause(double now) {
  if (!paused_) {
    paused_ = true;
    paused_at_ = now;
  }
}

void OwnClock::resume(double now) {
  if (paused_) {
    started_ += now - paused_at_;
    paused_ = false;
  }
}

void OwnClock::seek(double now, int at_ms) { started_ = (paused_ ? paused_at_ : now) - at_ms; }

int OwnClock::position_ms(double now) const {
  return static_cast<int>((paused_ ? paused_at_ : now) - started_);
}
