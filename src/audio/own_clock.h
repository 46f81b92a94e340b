#pragma once
// The music's position when the music cannot be heard: the time since it
// started, standing still while paused, moved by a seek, as the music's
// position would be. Times are the caller's steady clock in ms, passed in.
//
//   start(now)          reads 0 now, running
//   pause(now), resume(now)   the time paused is left out
//   seek(now, at_ms)    reads at_ms now, paused or not
//   position_ms(now)

class OwnClock {
 public:
  void start(double now);
  void pause(double now);
  void resume(double now);
  void seek(double now, int at_ms);
  int position_ms(double now) const;

 private:
  double started_ = 0.0;  // when it read 0
  bool paused_ = false;
  double paused_at_ = 0.0;
};
