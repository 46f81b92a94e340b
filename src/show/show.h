#pragma once
// Everything the show owns and the state its frame loop keeps, with the three
// phases of run_show as separate calls so that a player or a test can drive
// them:
//
//   Show(data, open_music)   files are read from `data`, the music opened
//                  through `open_music`
//   load_step()    the next step of loading: each loading screen presented,
//                  then the 3D stage after it, in the show's order; `loading`
//                  while steps remain, `not_ready` when the music is still
//                  opening (called again later), `loaded` once the last step
//                  has started the music, so that the clock reads about 0 at
//                  the first frame however long loading took
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

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "audio/music_stream.h"
#include "overlay/sprite2d.h"
#include "shell/base/file_lookup.h"
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
enum class LoadStep { loading, not_ready, loaded };

// Opens the music file `name`, as the data folder names it; `path` is opened.
using MusicOpener = std::function<std::unique_ptr<PositionSource>(const std::string& name,
                                                                  const std::string& path)>;

struct ShowStart;

class Show {
 public:
  Show(DataFolder data, MusicOpener open_music);
  ~Show();
  Show(const Show&) = delete;
  Show& operator=(const Show&) = delete;

  LoadStep load_step();
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
  // Read by the first load step: the music plays at volume 0.
  bool mute = false;

 private:
  void start_loading();
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
  void start_music();
  std::unique_ptr<sprite2d> overlay(const char* file) const;

  DataFolder data_;
  MusicOpener open_music_;
  std::size_t next_step_ = 0;
  bool loaded_ = false;
  std::unique_ptr<ShowStart> start_;
};
