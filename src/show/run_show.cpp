#include "show/run_show.h"

#include <cstdio>
#include <utility>

#include "shell/base/render_helpers.h"

namespace {

void say(const std::string& line) {
  if (!line.empty()) {
    std::fflush(stdout);  // after the readers' progress texts, not inside them
    std::fprintf(stderr, "%s\n", line.c_str());
  }
}

bool on_virtual_clock(const ShowViewing& viewing) {
  return viewing.fixed_step_ms || viewing.capture != nullptr;
}

}  // namespace

ShowRun::ShowRun(Platform& platform, DataFolder data, ShowViewing viewing)
    : platform_(platform), data_(std::move(data)), viewing_(std::move(viewing)) {
  // The trace listens to the device for the whole run.
  if (!viewing_.trace_file.empty() && device != nullptr) {
    trace_ = std::make_unique<JsonTrace>(viewing_.trace_file);
    if (!trace_->ok()) {
      std::fprintf(stderr, "plovermix: cannot write the trace to %s\n",
                   viewing_.trace_file.c_str());
      trace_.reset();
      failed_ = true;
      over_ = true;
      return;
    }
    device->AttachRecorder(trace_.get());
  }

  MusicOpener open_music = [this](const std::string& name, const std::string& path) {
    return platform_.open_music(name, path);
  };
  if (on_virtual_clock(viewing_)) {
    clock_ = std::make_unique<VirtualClock>(
        viewing_.capture != nullptr ? viewing_.capture->music_length_ms() : MUSIC_PASS_MS);
    open_music = [raw = clock_.get()](const std::string&, const std::string&) {
      return raw->source();
    };
  }

  show_ = std::make_unique<Show>(data_, std::move(open_music));
  show_->mute = viewing_.mute;
  if (trace_ != nullptr) {
    show_->on_frame = [raw = trace_.get()](long frame, int t) { raw->frame(frame, t); };
  }
}

ShowRun::~ShowRun() {
  if (!over_) {
    end();
  }
}

bool ShowRun::step() {
  if (over_) {
    return false;
  }
  const bool going_on = player_ != nullptr ? player_->step() : load_step();
  if (!going_on) {
    end();
  }
  return going_on;
}

// Loading says first which of the show's own files are missing and, once
// done, which textures the scenes name could not be loaded. Between steps the
// window keeps answering, and a close request ends the show before the music
// starts.
bool ShowRun::load_step() {
  if (!loading_started_) {
    loading_started_ = true;
    say(show_files_report(data_, viewing_.data_hint));
    if (device != nullptr) {
      device->AttachRecorder(&failed_textures_);
    }
  }
  if (show_->load_step() == LoadStep::loaded) {
    loading_done();
    player_ = make_player();
    return true;
  }
  platform_.pump_events();
  if (platform_.close_requested()) {
    loading_done();
    return false;
  }
  return true;
}

void ShowRun::loading_done() {
  if (device != nullptr) {
    device->DetachRecorder(&failed_textures_);
  }
  say(scene_textures_report(failed_textures_.files()));
}

std::unique_ptr<ShowPlayer> ShowRun::make_player() {
  if (viewing_.capture != nullptr) {
    if (std::unique_ptr<ShowPlayer> brought =
            viewing_.capture->make_player(*show_, platform_, *clock_)) {
      return brought;
    }
  }
  if (clock_ != nullptr) {
    return std::make_unique<FixedStepPlayer>(*show_, platform_, *clock_,
                                             viewing_.fixed_step_ms.value_or(DEFAULT_FIXED_STEP_MS),
                                             viewing_.capture, viewing_.start_ms, viewing_.passes);
  }
  return std::make_unique<LivePlayer>(*show_, platform_, viewing_.steps_per_second,
                                      viewing_.original_pacing, viewing_.start_ms, viewing_.passes);
}

void ShowRun::end() {
  over_ = true;
  player_.reset();
  if (show_ != nullptr) {
    show_->teardown();
    show_.reset();
  }
  if (trace_ != nullptr) {
    device->DetachRecorder(trace_.get());
    trace_.reset();
  }
}

bool run_show(Platform& platform, const DataFolder& data, const ShowViewing& viewing) {
  ShowRun run(platform, data, viewing);
  while (run.step()) {
  }
  return run.failed();
}
