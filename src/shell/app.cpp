#include "shell/app.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "capture/frame_capture.h"
#include "capture/video_capture.h"
#include "shell/base/file_lookup.h"
#include "shell/base/log.h"
#include "shell/base/render_helpers.h"
#include "shell/options.h"
#include "shell/screenshot.h"
#include "shell/sdl_window.h"
#include "shell/show_place.h"
#include "show/data_files.h"
#include "show/run_show.h"

namespace {

constexpr const char* WINDOW_TITLE = "plovermix";
// A capture cut short by Ctrl-C (as a shell reports a program ended by SIGINT).
constexpr int INTERRUPTED_STATUS = 130;

SDL_Window* create_window(const Options& options) {
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  PixelSize size;
  if (options.windowed) {
    flags |= SDL_WINDOW_RESIZABLE;
    size = options.window_size;
  } else {
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;  // the desktop's mode: no mode switch
  }
  return SDL_CreateWindow(WINDOW_TITLE, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.width,
                          size.height, flags);
}

bool on_virtual_clock(const Options& options) {
  return options.viewing.fixed_step_ms || !options.frames_at.empty() ||
         !options.capture.file.empty();
}

// The size the back buffer starts at: as asked, else the picture's on screen
// for the live player and 800 x 600 for a virtual clock (frames as the show
// made them); a supersampled capture draws at its multiple of that.
PixelSize first_render_size(const Platform& platform, const Options& options) {
  if (const int n = options.capture.supersample; !options.capture.file.empty() && n > 1) {
    const PixelSize video = options.render_size.value_or(PixelSize{});
    return {video.width * n, video.height * n};
  }
  if (options.render_size || on_virtual_clock(options)) {
    return options.render_size.value_or(PixelSize{});
  }
  return platform.picture_size();
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

WindowSetup window_setup(SDL_Window* window, const Options& options) {
  WindowSetup setup;
  setup.fit_render_size = !options.render_size && !on_virtual_clock(options);
  if (on_virtual_clock(options)) {
    SDL_GL_SetSwapInterval(0);  // a virtual clock waits for nothing, vertical sync included
    setup.vsync = true;         // nor for a limiter
  } else if (!options.vsync) {
    SDL_GL_SetSwapInterval(0);
    setup.vsync = false;
    setup.unsynced_rate = options.viewing.steps_per_second;  // one present a grid body
  } else {
    setup.vsync = SDL_GL_SetSwapInterval(1) == 0;
  }
  setup.osd = options.osd;
  setup.screenshot_dir = screenshot_folder(options.screenshot_dir, environment("HOME"),
                                           environment("XDG_CONFIG_HOME"));
  SDL_DisplayMode mode{};
  if (SDL_GetCurrentDisplayMode(std::max(0, SDL_GetWindowDisplayIndex(window)), &mode) == 0) {
    setup.refresh_hz = mode.refresh_rate;
  }
  return setup;
}

// Messages are handled until the queue is first empty; that idle turn runs the
// whole show, and the loop ends with it. True when the show failed.
bool event_loop(SdlShowWindow& window, const DataFolder& data, const ShowViewing& viewing) {
  for (;;) {
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
      return run_show(window, data, viewing);
    }
    if (event.type == SDL_QUIT) {
      return false;  // closed before the show began
    }
    window.handle(event);  // keys pressed before the show are the show's
  }
}

// Why files cannot be read from `folder` (empty: the working directory), or "".
std::string folder_problem(const std::string& folder) {
  struct stat about {};
  if (folder.empty()) {
    return "";
  }
  if (stat(folder.c_str(), &about) != 0) {
    return std::strerror(errno);
  }
  if (!S_ISDIR(about.st_mode)) {
    return std::strerror(ENOTDIR);
  }
  return access(folder.c_str(), X_OK) != 0 ? std::strerror(errno) : "";
}

// The data folder and the log of this run (see show_place.h).
ShowPlace show_place(const std::string& data_dir) {
  std::error_code ignored;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ignored);
  return choose_show_place(data_dir, !data_dir.empty() || holds_show_files(DataFolder()), program,
                           environment("XDG_STATE_HOME"), environment("HOME"));
}

int fail(const std::string& message) {
  std::fprintf(stderr, "plovermix: %s\n", message.c_str());
  return 1;
}

}  // namespace

int run_app(int argc, char** argv) {
  std::string error;
  const std::optional<Options> parsed =
      parse_options(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!parsed) {
    std::fprintf(stderr, "plovermix: %s\nTry 'plovermix --help'.\n", error.c_str());
    return 2;
  }
  const Options& options = *parsed;
  if (options.help) {
    std::fputs(usage_text().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("plovermix %s\n", PLOVERMIX_VERSION);
    return 0;
  }
  if (const std::string why = folder_problem(options.data_dir); !why.empty()) {
    return fail("cannot use the data folder '" + options.data_dir + "': " + why);
  }
  const ShowPlace place = show_place(options.data_dir);
  const DataFolder data(place.data_dir);
  if (place.installed) {
    std::fprintf(stderr,
                 "plovermix: no show's files here; playing the stand-in show installed in %s "
                 "(log: %s)\n",
                 place.data_dir.c_str(), place.log_file.c_str());
    std::error_code ignored;  // an unwritable log says so once, when first written
    std::filesystem::create_directories(place.log_file.parent_path(), ignored);
  }
  const LogFile log(place.log_file);
  if (place.installed) {
    write_log(
        "\nNo show's files in the working directory: playing the stand-in show installed in %s",
        place.data_dir.c_str());
  }
  ShowViewing viewing = options.viewing;
  std::unique_ptr<VideoCapture> capture;
  if (!options.capture.file.empty()) {
    capture = VideoCapture::open(options.capture, viewing.start_ms, viewing.steps_per_second,
                                 options.render_size.value_or(PixelSize{}), data, error);
    if (capture == nullptr) {
      return fail(error);
    }
    viewing.capture = capture.get();
  }
  choose_video_driver();
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    return fail(std::string("cannot start SDL: ") + SDL_GetError());
  }
  SDL_Window* window = create_window(options);
  if (window == nullptr) {
    const std::string reason = SDL_GetError();
    SDL_Quit();
    return fail("cannot create the window: " + reason);
  }
  show_cursor_for(window);
  int status = 0;
  SdlShowWindow show_window(window);  // the device drawing into it is released before it goes
  if (!show_window.make_device(first_render_size(show_window, options), error)) {
    // Reported, unlike the original, which returned 0 without a word.
    status = fail("cannot create the graphics device: " + error);
  } else if (std::string why;
             options.msaa > 1 && !show_window.presenter()->set_samples(options.msaa, why)) {
    status = fail("cannot use --msaa " + std::to_string(options.msaa) + ": " + why);
  } else {
    show_window.set_up(window_setup(window, options));
    if (capture == nullptr) {
      SDL_ShowWindow(window);  // a capture draws unseen
    }
    std::optional<FrameCapture> frames;
    if (!options.frames_at.empty() && capture == nullptr) {
      frames.emplace(options.frames_at, options.out_dir, show_window.presenter());
      frames->start();
      viewing.capture = &*frames;
    }
    const bool failed = event_loop(show_window, data, viewing);
    if (failed || (frames && !frames->finish()) || (capture && capture->failed())) {
      status = 1;  // a frame, the trace or the video asked for could not be written
    }
    if (capture != nullptr) {
      // Ctrl-C comes as a close request; the video then ends where it stopped.
      const bool interrupted = show_window.close_requested() || show_window.escape_down();
      if (!capture->finish(interrupted)) {
        status = 1;
      } else if (interrupted && status == 0) {
        status = INTERRUPTED_STATUS;
      }
    }
  }
  SDL_ShowCursor(SDL_ENABLE);
  release_device();
  SDL_DestroyWindow(window);
  SDL_Quit();
  return status;
}
