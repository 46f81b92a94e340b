#pragma once
// Seeking. Camera counters, particles, overlays and the shared random
// generator advance once per frame body, so the only way to be at show time T
// is to have run every body before T: a seek runs them unseen (about 3 µs
// each), from the state loading left when it goes back.
//
//   SeekKey, seek_target(key, t)   where a key takes the viewer from show time t
//   SeekKeys       a platform's queue of the keys pressed, oldest taken first
//   seek_on_grid(show, pacer, target, from_start)
//                  runs unseen the grid's bodies up to the first one at or after
//                  `target`, which becomes the pacer's next body; from the start
//                  when asked or when that body is behind the pacer

#include <deque>
#include <optional>

#include "show/pacer.h"
#include "show/show.h"

enum class SeekKey { back, forward, previous_scene, next_scene, home };

// The show's end: no seek goes past it.
constexpr int SHOW_END_MS = 240000;
// Left and Right.
constexpr int SEEK_STEP_MS = 10000;

class SeekKeys {
 public:
  void push(SeekKey key) { keys_.push_back(key); }
  std::optional<SeekKey> take() {
    if (keys_.empty()) return std::nullopt;
    const SeekKey key = keys_.front();
    keys_.pop_front();
    return key;
  }

 private:
  std::deque<SeekKey> keys_;
};

int seek_target(SeekKey key, int t);
long seek_on_grid(Show& show, Pacer& pacer, int target, bool from_start);
