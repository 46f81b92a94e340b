#pragma once
// The whole show: loading screens, the frame loop on the music clock, teardown.
// Returns after request_quit().
//
//   set_show_viewing(viewing)   how the next run_show is watched (the shell's options)
//   run_show()
//   show_failed()               the last run could not do what its viewing asked
//                               (a frame not written); the message is on stderr
//   run_due_bodies(show, pacer, due)  the live player's bodies before one
//                               present, at their grid times, the drawing of
//                               all but the last discarded

#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "audio/music_stream.h"
#include "show/pacer.h"
#include "show/show.h"

// A video's pace: frame i at i * 1000 * fps_den / fps_num ms of playing from
// the start, the music looping at its file's length; each frame shows the last
// body of the grid its show time has reached.
struct VideoPacing {
  int fps_num = 60, fps_den = 1;
  double music_length_ms = MUSIC_PASS_MS;
  // Frames at this show time or later are left out (the show's own end
  // leaves out the first frame past it).
  int end_ms = std::numeric_limits<int>::max();
  // After frame i is presented; false stops the run (a failure).
  std::function<bool(long frame)> frame_done;
};

struct ShowViewing {
  // Virtual clock advancing by this many ms per presented frame, with no waiting.
  std::optional<double> fixed_step_ms;
  // Show times whose first presented frame is written as out_dir/frame-T.png;
  // the show ends once all are written. Implies the virtual clock.
  std::vector<int> frames_at;
  std::string out_dir;
  // One JSON object per line: frames, device calls, sprite draws.
  std::string trace_file;
  // The live player's grid of frame bodies per second of show time.
  int steps_per_second = 60;
  // One body per present, its time read from the clock, as in 2002.
  bool original_pacing = false;
  // The music at volume 0; the clock is still its position.
  bool mute = false;
  // Show time to start at, reached by running every frame body before it unseen.
  int start_ms = 0;
  // Frames for a video, on a virtual clock, instead of the live player.
  std::optional<VideoPacing> video;
};

constexpr double DEFAULT_FIXED_STEP_MS = 1000.0 / 60.0;

void set_show_viewing(const ShowViewing& viewing);
void run_show();
bool show_failed();
FrameEnd run_due_bodies(Show& show, const Pacer& pacer, DueBodies due);
