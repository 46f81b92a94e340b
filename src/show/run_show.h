#pragma once
// The whole show: loading screens, the frame loop on the music clock, teardown.
//
//   ShowRun(platform, data, viewing)   one run, watched as `viewing` asks,
//                               reading its files from `data`
//   step()                      one loading step, or one present of the frame
//                               loop; false once the show is over and torn down.
//                               The desktop calls it in a loop; a browser once
//                               per animation frame
//   playing()                   loading is over: the frame loop runs
//   failed()                    the run could not do what its viewing asked
//                               (a frame, the trace or the video not written);
//                               the message is on stderr
//   run_show(platform, data, viewing)  the steps in a loop; returns failed()

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio/virtual_clock.h"
#include "shell/base/file_lookup.h"
#include "show/data_files.h"
#include "show/json_trace.h"
#include "show/platform.h"
#include "show/players.h"
#include "show/show.h"

struct ShowViewing {
  // Virtual clock advancing by this many ms per presented frame, with no waiting.
  std::optional<double> fixed_step_ms;
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
  // How many times the show runs (--loop), each pass after the first from the
  // state loading left; 0: until Escape.
  int passes = 1;
  // A capture, on the virtual clock (fixed_step_ms its step unless it brings its player).
  ShowCapture* capture = nullptr;
  // Said after the list of the show's files that are missing: how to name another folder.
  std::string data_hint = "use --data DIR";
};

constexpr double DEFAULT_FIXED_STEP_MS = 1000.0 / 60.0;

class ShowRun {
 public:
  ShowRun(Platform& platform, DataFolder data, ShowViewing viewing);
  ~ShowRun();
  ShowRun(const ShowRun&) = delete;
  ShowRun& operator=(const ShowRun&) = delete;

  bool step();
  bool playing() const { return player_ != nullptr; }
  bool failed() const { return failed_; }

 private:
  bool load_step();
  void loading_done();
  std::unique_ptr<ShowPlayer> make_player();
  void end();

  Platform& platform_;
  DataFolder data_;
  ShowViewing viewing_;
  bool failed_ = false;
  bool over_ = false;
  bool loading_started_ = false;
  std::unique_ptr<JsonTrace> trace_;
  std::unique_ptr<VirtualClock> clock_;
  // The image files the device could not load while the show loads.
  FailedTextures failed_textures_;
  std::unique_ptr<Show> show_;
  std::unique_ptr<ShowPlayer> player_;
};

bool run_show(Platform& platform, const DataFolder& data, const ShowViewing& viewing);
