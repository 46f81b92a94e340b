#pragma once
// Which frame bodies a present shows, so that the show runs at the same speed
// on every display. Bodies lie on a fixed grid of show time: body k runs at
// t_k = k * 1000 / steps_per_second ms (integer, truncated: no drift). Before
// each present the player runs every body whose time the pacing clock has
// reached, drawing only the last; none due means the last frame again.
//
//   Pacer(steps_per_second)
//   due(now)        the bodies to run before the present at pacing time `now`
//                   (ms of show time): their numbers first .. first + count - 1
//   time_of(k)      t_k
//   first_at_or_after(t)   the first body whose time is t or later
//   next(), restart_at(k)  the next body to run, and moving it (a seek)
//
// A display at the grid's rate would, with its presents near grid times,
// alternate between zero bodies and two on the slightest jitter. So bodies are
// due a little early or late: a lead, within half a step either way, is
// steered so that presents fall half-way between grid times. Pure: the clock
// is whatever the caller reads.

struct DueBodies {
  long first = 0;
  long count = 0;
};

class Pacer {
 public:
  static constexpr int DEFAULT_STEPS_PER_SECOND = 60;

  explicit Pacer(int steps_per_second = DEFAULT_STEPS_PER_SECOND);
  DueBodies due(double now);
  int time_of(long k) const;
  long first_at_or_after(int t) const;
  long next() const { return next_; }
  void restart_at(long k) { next_ = k; }
  double lead_ms() const { return lead_; }

 private:
  int steps_per_second_;
  double step_ms_;
  long next_ = 0;
  double lead_;
};
