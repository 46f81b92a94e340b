#pragma once
// The show time refined by the wall clock, for pacing the frames. The music
// reports its position in steps of its sound buffer (about 46 ms); read at
// every present, that would draw frames in clumps. This clock runs with the
// wall clock between reports and steers towards them:
//
//   read(report, now)   the refined show time, both in ms: never less than the
//                       last reading while the reports run on, within a few ms
//                       of the time the reports stand for; a report more than
//                       JUMP_MS away from it is taken at once, either way
//   pause(now)          the reading stands still from now on
//   resume(now)         runs on from where it stood
//
// `now` is any steady wall clock in ms. Pure: no clock of its own.

class SmoothClock {
 public:
  // More than a few frames apart: an underrun, a stall, a seek.
  static constexpr double JUMP_MS = 100.0;

  double read(double report, double now);
  void pause(double now);
  void resume(double now);

 private:
  // Where the reports say the music is `now`.
  double reported_at(double now) const;

  bool started_ = false;
  bool paused_ = false;
  double report_ = 0.0;
  double report_wall_ = 0.0;  // when report_ was most likely made
  double last_read_wall_ = 0.0;
  double paused_at_ = 0.0;
  double reading_ = 0.0;
};
