#pragma once
// Writes presented frames at chosen show times as PNG files.
//
//   FrameCapture(times, dir, presenter)   times in any order; duplicates count
//                              once; frames read from `presenter` (nullptr: none)
//   after_present(t)           writes every pending time that t has reached
//   done()                     every time written
//   missing()                  the times not written (reported at the end)

#include <string>
#include <vector>

#include "gfx/presenter.h"

class FrameCapture {
 public:
  FrameCapture(std::vector<int> times, std::string dir, Presenter* presenter);
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
};

// 800 x 600 RGBA, top row first; false (message on stderr) on failure.
bool write_png(const std::string& path, const std::vector<unsigned char>& rgba, int width,
               int height);
