#pragma once
// Everything the show owns and the state its frame loop keeps, with the three
// phases of run_show as separate calls so that a player or a test can drive
// them:
//
//   load()         loading screens and every asset; false when the window asked
//                  to close meanwhile (the music is then never started)
//   frame_body()   one frame without presenting: read the clock, run the
//                  schedule; show_over from the end test, or when the show is
//                  not (or no longer) loaded
//   frame_body_at(t)  the same with t given (the paced player's grid time);
//                  the clock is not read
//   clock_time()   what frame_body() would read, read now
//   unseen_body_at(t)  frame_body_at(t) for a seek: nothing drawn, and nothing
//                  in the trace, the frame callback or the log
//   rewind()       back to the state the show had when loading ended
//   teardown()     closes the music and frees everything, in the show's order

#include <functional>
#include <memory>
#include <optional>

#include "audio/music_stream.h"
#include "overlay/sprite2d.h"
#include "show/stages3d.h"

struct Overlays {
  std::unique_ptr<sprite2d> logo, since, presents, talvores, gilb, tesk, tesk2, pamo, vostl, orvex,
      dulam, clouds, trai1, trai2, caca, caca2, sp1, vorn, zevuvero, title;
};

// The 2D part of the loop state, kept from frame to frame.
struct LoopState {
  int t = 0;           // show time of the current frame, ms
  int slide_turn = 0;  // 0: "pamo.bmp" slides, 1: "vostl.bmp"
  int caca_x = -200, caca_y = 0;
  int caca2_x = 0, caca2_y = -200;
  float spin_step = 0.0001f;
};

enum class FrameEnd { present, show_over };

struct ShowStart;
enum class SeekKey;  // show/seek.h

class Show {
 public:
  Show();
  ~Show();
  Show(const Show&) = delete;
  Show& operator=(const Show&) = delete;

  bool load();
  FrameEnd frame_body();
  FrameEnd frame_body_at(int t);
  int clock_time();
  FrameEnd unseen_body_at(int t);
  void rewind();
  void teardown();

  // Called at the top of every frame body, once t is read (the trace's frame line).
  std::function<void(long frame, int t)> on_frame;

  long frames_run = 0;
  LoopState loop;
  Overlays overlays;
  Show3d show3d;
  std::unique_ptr<music_stream> music;
  // Read by load(): the music plays at volume 0.
  bool mute = false;

 private:
  void loading_screen_1();
  void place_overlays();
  void loading_screen_2();
  void load_stage_2();
  void loading_screen_3();
  void load_stage_3();
  void loading_screen_4();
  void load_stage_4();
  void loading_screen_5();
  void load_stage_5();

  bool loaded_ = false;
  std::unique_ptr<ShowStart> start_;
};

// True when the show's window asked to close (pumps its events first).
bool window_wants_close();
// True when Escape is held or the window asked to close (pumps its events first).
bool window_wants_end();
// The viewer's pause, as the window has it.
bool window_paused();
// The viewer's next seek key, if any.
std::optional<SeekKey> window_seek();
// Tells the window that the frame loop presented (`drew`: a new frame).
void window_presented(bool drew);
