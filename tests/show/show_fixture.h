#pragma once
// A show ready to load from a folder of hand-made overlays, on the trace
// device, with a scripted music clock and a scripted platform.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "audio/position_source.h"
#include "math/show_random.h"
#include "shell/base/file_lookup.h"
#include "shell/base/log.h"
#include "show/bmp_fixture.h"
#include "show/platform.h"
#include "show/show.h"
#include "show/trace_sprites.h"

// The music's playing position, told by the test; each reading takes the next
// scripted value, and the last one stays.
struct ScriptedMusic {
  std::deque<int> positions{0};
  std::vector<std::string> opened;  // "name at path", as the show opened it
  int not_ready_answers = 0;        // the source is still opening for this many asks
  int plays = 0;
  int closes = 0;
  std::vector<std::string>* log = nullptr;
  // Where the device's trace stood when the music started and when it closed.
  const TraceDevice* trace = nullptr;
  std::size_t calls_before_play = 0;
  std::size_t releases_before_close = 0;

  void at(int position) { positions = {position}; }
};

class ScriptedSource : public PositionSource {
 public:
  explicit ScriptedSource(ScriptedMusic& music) : music_(music) {}
  bool ready() const override {
    if (music_.not_ready_answers == 0) {
      return true;
    }
    --music_.not_ready_answers;
    return false;
  }
  bool play() override {
    ++music_.plays;
    music_.log->push_back("music play");
    if (music_.trace != nullptr) {
      music_.calls_before_play = music_.trace->calls().size();
    }
    return true;
  }
  int position_ms() override {
    const int now = music_.positions.front();
    if (music_.positions.size() > 1) {
      music_.positions.pop_front();
    }
    return now;
  }
  void close() override {
    ++music_.closes;
    music_.log->push_back("music close");
    if (music_.trace != nullptr) {
      music_.releases_before_close = music_.trace->released_textures().size();
    }
  }

 private:
  ScriptedMusic& music_;
};

// The platform of a test: Escape goes down, or a close is asked, after a
// number of pumps; the music is the scripted one; the device is a trace device.
class ScriptedPlatform : public Platform {
 public:
  explicit ScriptedPlatform(ScriptedMusic& music) : music_(music) {}
  bool make_device(PixelSize /*render_size*/, std::string& /*error*/) override {
    trace = &install_trace_device();
    return true;
  }
  PixelSize picture_size() const override { return {}; }
  void pump_events() override { ++pumps; }
  bool escape_down() const override { return escape_after >= 0 && pumps > escape_after; }
  bool close_requested() const override { return close_after >= 0 && pumps > close_after; }
  std::unique_ptr<PositionSource> open_music(const std::string& name,
                                             const std::string& path) override {
    music_.opened.push_back(name + " at " + path);
    return std::make_unique<ScriptedSource>(music_);
  }
  double now_ms() const override { return 0.0; }

  TraceDevice* trace = nullptr;
  int pumps = 0;
  int escape_after = -1;
  int close_after = -1;

 private:
  ScriptedMusic& music_;
};

// Loads `show` by its steps alone, as a player would; false when it did not
// finish within a generous number of steps.
inline bool load_show(Show& show) {
  for (int step = 0; step < 100; ++step) {
    if (show.load_step() == LoadStep::loaded) {
      return true;
    }
  }
  return false;
}

inline const char* const OVERLAY_FILES[] = {
    "logo.bmp",  "since.bmp", "Presents.bmp", "Talvores.bmp", "gilb.bmp",   "tesk.bmp", "tesk2.bmp",
    "pamo.bmp",  "vostl.bmp", "orvex.bmp",    "dulam.bmp",    "clouds.bmp", "trai.bmp", "caca.bmp",
    "caca2.bmp", "sp1.bmp",   "vorn.bmp",     "zevuvero.bmp", "title.bmp"};

class ShowFixture : public ::testing::Test {
 protected:
  // The folder is made first, so that a show member of a derived fixture can read it.
  ShowFixture() : dir(fresh_folder("plovermix-show")), log(dir / "plovermix.log") {
    for (const char* name : OVERLAY_FILES) {
      write_bmp(dir / name, 2, 2, 0xFFFFFF);
    }
  }
  void SetUp() override {
    show_rand_reset();
    std::string error;
    ASSERT_TRUE(platform.make_device({}, error));
    trace = platform.trace;
    music.log = &music_log;
    music.trace = trace;
  }
  void TearDown() override {
    release_device();
    std::filesystem::remove_all(dir);
  }

  DataFolder data() const { return DataFolder(dir); }
  // The platform's music, as a show of the fixture opens it.
  MusicOpener music_opener() {
    return [this](const std::string& name, const std::string& path) {
      return platform.open_music(name, path);
    };
  }

  // The index of the first call line starting with `head` at or after `from`.
  std::size_t find_call(const std::string& head, std::size_t from = 0) const {
    const std::vector<std::string>& calls = trace->calls();
    for (std::size_t i = from; i < calls.size(); ++i) {
      if (calls[i].rfind(head, 0) == 0) {
        return i;
      }
    }
    return calls.size();
  }
  // How many call lines are exactly `line`.
  int count_calls(const std::string& line) const {
    int count = 0;
    for (const std::string& call : trace->calls()) {
      count += call == line ? 1 : 0;
    }
    return count;
  }

  std::filesystem::path dir;
  LogFile log;
  TraceDevice* trace = nullptr;
  ScriptedMusic music;
  std::vector<std::string> music_log;
  ScriptedPlatform platform{music};
};

// The fixture's show, loaded, with the loading screens' calls cleared from the trace.
class LoadedShowFixture : public ShowFixture {
 protected:
  void SetUp() override {
    ShowFixture::SetUp();
    ASSERT_TRUE(load_show(show));
    trace->clear_trace();
  }
  void TearDown() override {
    show.teardown();  // while the device is still there
    ShowFixture::TearDown();
  }
  Show show{data(), music_opener()};
};
