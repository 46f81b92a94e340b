// The show in a browser tab. main() reads the page's parameters, makes the
// device on the canvas and the run, then hands the browser one step per
// animation frame and returns: the run lives on with the page. The page's
// script (page/pre.js) shows standard output, the log and the trace on the
// console, and gives the frames asked for to whoever drives the page.

#include <emscripten.h>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture/frame_capture.h"
#include "shell/base/file_lookup.h"
#include "shell/base/log.h"
#include "shell/base/render_helpers.h"
#include "show/run_show.h"
#include "web/page_options.h"
#include "web/web_page.h"

namespace {

// Where the page's script puts things, and the devices it reads them from.
constexpr const char* CANVAS = "#canvas";
constexpr const char* DATA_DIR = "/data";
constexpr const char* OWN_FILES_DIR = "/own";  // the viewer's files, as the page put them
constexpr const char* LOG_DEVICE = "/dev/plovermix-log";
constexpr const char* TRACE_DEVICE = "/dev/plovermix-trace";
constexpr const char* FRAMES_DIR = "/frames";

// The page's record of the run: times of its moments, its frames and its end.
EM_JS(void, mark_moment, (const char* name),
      { window.plovermix.moments[UTF8ToString(name)] = performance.now(); });
EM_JS(void, hand_out_frame, (const char* key, const char* path), {
  window.plovermix.frames[UTF8ToString(key)] =
      window.plovermix.dataUrl(FS.readFile(UTF8ToString(path)));
});
EM_JS(void, end_page, (int failed), { window.plovermix.finish(!!failed); });
EM_JS(void, print_trace_batch, (), { window.plovermix.printBatch(); });
EM_JS(int, context_lost, (), { return window.plovermix.contextLost ? 1 : 0; });

struct PageRun {
  explicit PageRun(PageOptions asked)
      : options(std::move(asked)), page(CANVAS, !options.viewing.fixed_step_ms) {}
  PageOptions options;
  LogFile log{LOG_DEVICE};
  WebPage page;
  std::optional<FrameCapture> frames;
  std::unique_ptr<ShowRun> run;
  bool presented = false;
  bool playing = false;
};

bool finish_frames(PageRun& page) {
  if (!page.frames) {
    return true;
  }
  const std::vector<int> missing = page.frames->missing();
  for (const FrameAsked& asked : page.options.frames_at) {
    if (std::find(missing.begin(), missing.end(), asked.t) == missing.end()) {
      hand_out_frame(asked.key.c_str(), FrameCapture::file_name(FRAMES_DIR, asked.t).c_str());
    }
  }
  return page.frames->finish();
}

void end(PageRun& page) {
  emscripten_cancel_main_loop();
  const bool frames_written = finish_frames(page);  // says what is missing either way
  const bool failed = page.run->failed() || !frames_written;
  page.run.reset();  // the trace's last lines, at its close
  print_trace_batch();
  release_device();
  mark_moment("end");
  end_page(failed ? 1 : 0);
}

void step(void* arg) {
  PageRun& page = *static_cast<PageRun*>(arg);
  if (context_lost() != 0) {
    // Nothing can be drawn any more; the page offers the way back.
    emscripten_cancel_main_loop();
    return;
  }
  const bool going = page.run->step();
  print_trace_batch();
  if (!page.presented) {
    page.presented = true;
    mark_moment("first-frame");
  }
  if (!page.playing && page.run->playing()) {
    page.playing = true;
    mark_moment("playing");
  }
  if (!going) {
    end(page);
  }
}

int fail(const std::string& message) {
  std::fprintf(stderr, "plovermix: %s\n", message.c_str());
  end_page(1);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  std::vector<std::string> ignored;
  const std::optional<PageOptions> asked =
      parse_page_options(std::vector<std::string>(argv + 1, argv + argc), error, ignored);
  for (const std::string& name : ignored) {
    std::fprintf(stderr, "plovermix: the page has no parameter '%s'; left alone\n", name.c_str());
  }
  if (!asked) {
    return fail(error);
  }
  PageRun& page = *new PageRun(*asked);  // lives with the page once main returns
  ShowViewing viewing = page.options.viewing;
  viewing.data_hint = "";  // the page has no --data
  if (page.options.trace) {
    viewing.trace_file = TRACE_DEVICE;
  }
  // A virtual clock draws the show's own 800 x 600, as frames are compared;
  // the page shows them fitted into the canvas.
  const PixelSize render_size = viewing.fixed_step_ms ? PixelSize{} : page.page.picture_size();
  if (!page.page.make_device(render_size, error)) {
    return fail("cannot create the graphics device: " + error);
  }
  if (!page.options.frames_at.empty()) {
    std::vector<int> times;
    for (const FrameAsked& frame : page.options.frames_at) {
      times.push_back(frame.t);
    }
    page.frames.emplace(times, FRAMES_DIR, page.page.presenter());
    page.frames->start();
    viewing.capture = &*page.frames;
  }
  const char* data = page.options.own_files ? OWN_FILES_DIR : DATA_DIR;
  page.run = std::make_unique<ShowRun>(page.page, DataFolder(data), viewing);
  mark_moment("start");
  emscripten_set_main_loop_arg(step, &page, 0, false);
  if (viewing.fixed_step_ms) {
    // A virtual clock waits for no display: a step as soon as the page is free.
    emscripten_set_main_loop_timing(EM_TIMING_SETIMMEDIATE, 0);
  }
  return 0;
}
