#pragma once
// Writes presented frames at chosen show times as PNG files (--frames-at).
//
//   FrameCapture(times, dir, presenter)   times in any order; duplicates count
//                              once; frames read from `presenter` (nullptr: none)
//   start()                    makes the folder, and asks the presenter to keep
//                              its presented frames (before the run)
//   after_present(t)           writes every pending time that t has reached
//   done()                     every time written
//   missing()                  the times not written
//   As the run's capture: writes after each present and ends the run once done.
//   finish()                   says which times the show never reached; false
//                              when a frame asked for was not written

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/presenter.h"
#include "show/players.h"

class FrameCapture : public ShowCapture {
 public:
  FrameCapture(std::vector<int> times, std::string dir, Presenter* presenter);
  void start();
  bool frame_presented(int t) override;
  bool finish() const;
  // False when a frame could not be read back or written; the message is on stderr.
  bool after_present(int t);
  bool done() const { return next_ == times_.size(); }
  std::vector<int> missing() const;

  static std::string file_name(const std::string& dir, int t);

 private:
  std::vector<int> times_;
  std::string dir_;
  Presenter* presenter_;
  std::size_t next_ = 0;
  bool written_ = true;
};

// RGBA, top row first, rows tightly packed; false when it cannot be written.
bool write_png(const std::string& path, const std::uint8_t* rgba, int width, int height);
