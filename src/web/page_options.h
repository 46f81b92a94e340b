#pragma once
// What a page's address asks of the show: its parameters, as the page hands
// them over ("name=value", or "name" alone), read as the desktop reads the
// matching options.
//
//   fixed-step          the virtual clock at 1000/60 ms per present, no sound
//   frames-at=T1,T2,... the first presented frame at or past each Ti (whole
//                       ms), for the page to hand out, then the end; implies
//                       fixed-step. Each Ti keeps the text it was given as its key
//   start=T             start at show time T (ms, or m:ss.mmm)
//   mute                the music at volume 0; the show still keeps to it
//   steps-per-second=N  the live player's frame bodies per second of show time
//   trace               the JSON trace lines, on the console
//   autoplay            the page's own (no start screen where sound may start)
//   own                 the show's files are the viewer's, put in the page's
//                       folder for them (see OWN_FILES_DIR) instead of ours
// Anything else is left alone, with a line saying so: addresses carry
// parameters of their own.

#include <optional>
#include <string>
#include <vector>

#include "show/run_show.h"

struct FrameAsked {
  int t = 0;
  std::string key;  // as the address wrote it
};

struct PageOptions {
  ShowViewing viewing;  // trace_file unset: where the trace goes is the page's
  bool trace = false;
  bool own_files = false;
  std::vector<FrameAsked> frames_at;
};

// nullopt with `error` set for a value that is not one; `ignored` gets the
// names the page does not know.
std::optional<PageOptions> parse_page_options(const std::vector<std::string>& parameters,
                                              std::string& error,
                                              std::vector<std::string>& ignored);
