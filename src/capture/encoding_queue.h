#pragma once
// A capture's file (or folder) fed from the drawing thread: pictures and sound are handed to
// a worker thread of the queue's own, which converts and encodes them in the
// order given while the caller draws the next frame. At most `depth` pictures
// wait; a caller ahead of the encoder waits for room.
//
//   write_frame   hands over the picture in `rgba` (RGBA, top row first) and
//                 leaves a spare buffer in its place, to be filled again
//   write_audio   copies and hands over interleaved stereo sample frames
//                 (both false once the worker has failed; error() says why)
//   finish        waits for all that was handed over, then finishes the sink
//                 as FrameSink::finish does; later calls give the first answer
//   frames_written  pictures encoded so far

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "capture/frame_sink.h"

class EncodingQueue {
 public:
  explicit EncodingQueue(std::unique_ptr<FrameSink> file, std::size_t depth = 3);
  ~EncodingQueue();
  EncodingQueue(const EncodingQueue&) = delete;
  EncodingQueue& operator=(const EncodingQueue&) = delete;

  bool write_frame(std::vector<std::uint8_t>& rgba, int width, int height);
  bool write_audio(const float* interleaved_stereo, long frames);
  bool finish(std::string& error);
  long frames_written() const { return frames_written_; }
  std::string error() const;

 private:
  struct Job {
    std::vector<std::uint8_t> rgba;  // empty: sound
    int width = 0, height = 0;
    std::vector<float> sound;
  };
  bool push(Job job);
  void work();

  std::unique_ptr<FrameSink> file_;
  std::size_t depth_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  std::vector<std::vector<std::uint8_t>> spare_;  // encoded pictures' buffers, for reuse
  std::size_t pictures_waiting_ = 0;
  bool closing_ = false;
  bool failed_ = false;
  std::string error_;
  std::atomic<long> frames_written_{0};
  std::thread worker_;
};
