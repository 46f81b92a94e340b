#pragma once
// The frame loop's schedule as data: rows of {window, step} in the order they
// run, which is also the order of the random draws. The show mixes <, <= and >,
// so each window says which with its constructor's name.

#include <cstddef>
#include <span>

class Show;

struct TimeWindow {
  enum class Kind { before, after, between, from_until, from_to_inclusive };
  Kind kind;
  int low;
  int high;

  static constexpr TimeWindow before(int end) { return {Kind::before, 0, end}; }
  static constexpr TimeWindow after(int start) { return {Kind::after, start, 0}; }
  static constexpr TimeWindow between(int start, int end) { return {Kind::between, start, end}; }
  static constexpr TimeWindow from_until(int start, int end) {
    return {Kind::from_until, start, end};
  }
  static constexpr TimeWindow from_to_inclusive(int start, int end) {
    return {Kind::from_to_inclusive, start, end};
  }

  // t < high; t > low; low < t < high; low <= t < high; low <= t <= high.
  constexpr bool holds(int t) const {
    switch (kind) {
      case Kind::before:
        return t < high;
      case Kind::after:
        return t > low;
      case Kind::between:
        return low < t && t < high;
      case Kind::from_until:
        return low <= t && t < high;
      case Kind::from_to_inclusive:
        return low <= t && t <= high;
    }
    return false;
  }
};

struct ScheduleRow {
  const char* name;
  TimeWindow window;
  // nullptr marks the end test: the loop ends there and the frame is not presented.
  void (*step)(Show& show);
  // The rows that open one of the show's scene windows name it for the viewer.
  const char* scene = nullptr;
};

// A scene window as the viewer knows it: its name, and the show time it
// begins at (its row's low bound), in show order.
struct SceneWindow {
  const char* name;
  int start_ms;
};

std::span<const ScheduleRow> show_schedule();
std::span<const SceneWindow> scene_windows();

class sprite2d;

// Two effects whose outcome hangs on a random draw, open to tests.
namespace show_steps {
// r = rand() % 12; drawn at scale 0 and walking in y by `step`, full size when r is 11.
void flicker(sprite2d& image, float step);
}  // namespace show_steps
