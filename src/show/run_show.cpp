#include "show/run_show.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "audio/position_source.h"
#include "audio/smooth_clock.h"
#include "audio/virtual_clock.h"
#include "shell/base/render_helpers.h"
#include "show/data_files.h"
#include "show/frame_capture.h"
#include "show/json_trace.h"
#include "show/pacer.h"
#include "show/seek.h"
#include "show/show.h"

namespace {

ShowViewing chosen_viewing;
bool last_run_failed = false;

// The frame loop: Escape (or a close request) at the top of a frame, one frame
// body, one present; the end test inside the body leaves without presenting.
// Bodies before `start_ms` run unseen, exactly as a run from the start has them.
void frame_loop(Show& show, VirtualClock& clock, double step_ms, FrameCapture* capture,
                int start_ms) {
  for (int t = show.clock_time(); t < start_ms; t = show.clock_time()) {
    if (show.unseen_body_at(t) == FrameEnd::show_over) {
      return;
    }
    clock.advance(step_ms);
  }
  for (;;) {
    if (window_wants_end()) {
      return;
    }
    if (show.frame_body() == FrameEnd::show_over) {
      return;
    }
    present_frame();
    if (capture != nullptr) {
      last_run_failed = !capture->after_present(show.loop.t) || last_run_failed;
      if (capture->done()) {
        return;
      }
    }
    clock.advance(step_ms);
  }
}

// The video's frame loop on a clock looping at the music file's length (see
// VideoPacing). Escape or a close request (Ctrl-C too) ends it like the end of
// the show: the frames so far make the video.
void video_loop(Show& show, VirtualClock& clock, const ShowViewing& viewing) {
  const VideoPacing& video = *viewing.video;
  const int start_ms = viewing.start_ms;
  const double frame_ms = 1000.0 * video.fps_den / video.fps_num;
  // The music goes to the start's place in its loop, the show to the same time.
  const double landed = show.music->seek(start_ms);
  const double pass = std::floor(landed / MUSIC_PASS_MS);
  const double first_w = pass * clock.pass_ms() + (landed - pass * MUSIC_PASS_MS);
  clock.set(first_w);
  Pacer grid(viewing.steps_per_second);
  seek_on_grid(show, grid, static_cast<int>(landed), true);
  for (long frame = 0;; ++frame) {
    if (window_wants_end()) {
      return;
    }
    clock.set(first_w + static_cast<double>(frame) * frame_ms);
    const int t = show.clock_time();
    if (t >= video.end_ms) {
      return;
    }
    const long reached = grid.first_at_or_after(t + 1);
    const long first = grid.next();
    if (reached > first &&
        run_due_bodies(show, grid, DueBodies{first, reached - first}) == FrameEnd::show_over) {
      return;
    }
    grid.restart_at(std::max(first, reached));
    present_frame();
    if (!video.frame_done(frame)) {
      last_run_failed = true;
      return;
    }
  }
}

void say(const std::string& line) {
  if (!line.empty()) {
    std::fflush(stdout);  // after the readers' progress texts, not inside them
    std::fprintf(stderr, "%s\n", line.c_str());
  }
}

// Loads the show, saying first which of its own files are missing and then
// which textures the scenes name could not be loaded.
bool load_and_report(Show& show) {
  say(show_files_report(std::filesystem::current_path().string()));
  FailedTextures failed;
  if (device != nullptr) {
    device->AttachRecorder(&failed);
  }
  const bool loaded = show.load();
  if (device != nullptr) {
    device->DetachRecorder(&failed);
  }
  say(scene_textures_report(failed.files()));
  return loaded;
}

double wall_ms() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// The live player, one turn per present: Escape or a close request at the top;
// then, unless paused, the frame bodies due (drawing only the last); then the
// present, of the last frame again when no body ran.
class LivePlayer {
 public:
  LivePlayer(Show& show, const ShowViewing& viewing)
      : show_(show),
        pacer_(viewing.steps_per_second),
        original_(viewing.original_pacing),
        start_ms_(viewing.start_ms) {}

  void run() {
    if (start_ms_ > 0) {
      seek_to(start_ms_);
    }
    while (!window_wants_end()) {
      follow_pause();
      drew_ = false;
      while (const std::optional<SeekKey> key = window_seek()) {
        seek_to(seek_target(*key, show_.loop.t));
      }
      if (!paused_ && run_bodies() == FrameEnd::show_over) {
        return;
      }
      present_frame();
      window_presented(drew_);
    }
  }

 private:
  // The music and the pacing clock stop and go on together.
  void follow_pause() {
    const bool wanted = window_paused();
    if (wanted == paused_) {
      return;
    }
    paused_ = wanted;
    if (paused_) {
      show_.music->pause();
      clock_.pause(wall_ms());
    } else {
      show_.music->resume();
      clock_.resume(wall_ms());
    }
  }

  // The music goes where the clock rule puts `target`, the show to the same time.
  void seek_to(int target) {
    const auto landed = static_cast<int>(show_.music->seek(target));
    const long goal = seek_on_grid(show_, pacer_, landed, original_);
    if (paused_) {
      // The place sought is shown at once; the player goes on from there.
      drew_ = show_.frame_body_at(pacer_.time_of(goal)) == FrameEnd::present;
      pacer_.restart_at(goal + 1);
    }
  }

  FrameEnd run_bodies() {
    if (original_) {
      drew_ = true;
      return show_.frame_body();
    }
    // What is drawn should meet what is heard, which trails the stream's position.
    const double now = clock_.read(show_.music->get_time(), wall_ms()) - show_.music->latency_ms();
    const DueBodies due = pacer_.due(now);
    drew_ = due.count > 0;
    return run_due_bodies(show_, pacer_, due);
  }

  Show& show_;
  Pacer pacer_;
  SmoothClock clock_;
  bool original_;
  int start_ms_;
  bool paused_ = false;
  bool drew_ = false;
};

}  // namespace

FrameEnd run_due_bodies(Show& show, const Pacer& pacer, DueBodies due) {
  const long end = due.first + due.count;
  for (long k = due.first; k < end; ++k) {
    if (due.count > 1) {
      device->SetDiscard(k + 1 < end);
    }
    if (show.frame_body_at(pacer.time_of(k)) == FrameEnd::show_over) {
      device->SetDiscard(false);
      return FrameEnd::show_over;
    }
  }
  return FrameEnd::present;
}

namespace {

void report_missing(const FrameCapture& capture) {
  for (int t : capture.missing()) {
    std::fprintf(stderr, "plovermix: the show ended before t=%d; %s was not written\n", t,
                 FrameCapture::file_name(chosen_viewing.out_dir, t).c_str());
    last_run_failed = true;
  }
}

}  // namespace

void set_show_viewing(const ShowViewing& viewing) { chosen_viewing = viewing; }

bool show_failed() { return last_run_failed; }

void run_show() {
  last_run_failed = false;
  const ShowViewing& viewing = chosen_viewing;

  // The trace listens to the device for the whole run.
  std::unique_ptr<JsonTrace> trace;
  if (!viewing.trace_file.empty() && device != nullptr) {
    trace = std::make_unique<JsonTrace>(viewing.trace_file);
    if (!trace->ok()) {
      std::fprintf(stderr, "plovermix: cannot write the trace to %s\n", viewing.trace_file.c_str());
      last_run_failed = true;
      request_quit();
      return;
    }
    device->AttachRecorder(trace.get());
  }

  std::unique_ptr<VirtualClock> clock;
  double step_ms = 0.0;
  if (viewing.fixed_step_ms || !viewing.frames_at.empty() || viewing.video) {
    clock = std::make_unique<VirtualClock>(viewing.video ? viewing.video->music_length_ms
                                                         : MUSIC_PASS_MS);
    step_ms = viewing.fixed_step_ms.value_or(DEFAULT_FIXED_STEP_MS);
    set_position_source_factory(
        [raw = clock.get()](const char* /*file*/) { return raw->source(); });
  }
  std::unique_ptr<FrameCapture> capture;
  if (!viewing.frames_at.empty()) {
    std::error_code error;
    std::filesystem::create_directories(viewing.out_dir, error);
    if (error) {
      std::fprintf(stderr, "plovermix: cannot make the folder %s: %s\n", viewing.out_dir.c_str(),
                   error.message().c_str());
      last_run_failed = true;
    }
    capture = std::make_unique<FrameCapture>(viewing.frames_at, viewing.out_dir);
    if (device != nullptr) {
      device->KeepPresentedFrames();  // a shown window would keep none to read back
    }
  }

  {
    Show show;
    show.mute = viewing.mute;
    if (trace != nullptr) {
      show.on_frame = [raw = trace.get()](long frame, int t) { raw->frame(frame, t); };
    }
    if (load_and_report(show)) {
      if (viewing.video) {
        video_loop(show, *clock, viewing);
      } else if (clock != nullptr) {
        frame_loop(show, *clock, step_ms, capture.get(), viewing.start_ms);
      } else {
        LivePlayer(show, viewing).run();
      }
    }
    show.teardown();
  }
  if (trace != nullptr) {
    device->DetachRecorder(trace.get());
    trace.reset();
  }
  if (capture != nullptr) {
    report_missing(*capture);
  }
  if (clock != nullptr) {
    set_position_source_factory(nullptr);
  }
  request_quit();
}
