#pragma once
// The whole show: loading screens, the frame loop on the music clock, teardown.
// Returns after request_quit().
//
//   set_show_viewing(viewing)   how the next run_show is watched (the shell's options)
//   run_show()
//   show_failed()               the last run could not do what its viewing asked
//                               (a frame not written); the message is on stderr

#include <optional>
#include <string>
#include <vector>

struct ShowViewing {
  // Virtual clock advancing by this many ms per presented frame, with no waiting.
  std::optional<double> fixed_step_ms;
  // Show times whose first presented frame is written as out_dir/frame-T.png;
  // the show ends once all are written. Implies the virtual clock.
  std::vector<int> frames_at;
  std::string out_dir;
  // One JSON object per line: frames, device calls, sprite draws.
  std::string trace_file;
};

constexpr double DEFAULT_FIXED_STEP_MS = 1000.0 / 60.0;

void set_show_viewing(const ShowViewing& viewing);
void run_show();
bool show_failed();
