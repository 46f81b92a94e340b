#pragma once
// The music and the show's clock: milliseconds of music played, growing on
// when the stream starts over. Every step back of the stream's own time counts
// as one whole pass of 74180 ms, whatever the file's real length.
//
//   music_stream(source)  the opened music, silent
//   ready()             false while the source is still opening
//   play()              0, or 1 when no channel could be had (then closed)
//   get_time()          the show time in ms
//   close()
//   pause(), resume()   the viewer's pause; the clock stands still meanwhile
//   mute()              before play(): plays at volume 0, the clock unchanged
//   latency_ms()        how far what is heard trails get_time()
//   seek(t)             the stream to where it would be at show time t: position
//                       t mod 74180 in pass t div 74180, or the start of the next
//                       pass when the file is shorter than that position; returns
//                       the show time it went to

#include <memory>

#include "audio/position_source.h"

constexpr double MUSIC_PASS_MS = 74180.0;

// Where a stream looping at `length_ms` (0: unknown) is when the show's clock
// reads t: position t mod 74180 in pass t div 74180, or the start of the next
// pass when the file is shorter than that position.
struct MusicPlace {
  int pass = 0;
  int position_ms = 0;
};
MusicPlace music_place(double t, double length_ms);

class music_stream {
 public:
  explicit music_stream(std::unique_ptr<PositionSource> source);
  ~music_stream();
  music_stream(const music_stream&) = delete;
  music_stream& operator=(const music_stream&) = delete;

  bool ready() const;
  int play();
  double get_time();
  void close();
  void pause();
  void resume();
  void mute();
  double latency_ms() const;
  double seek(double t);

 private:
  std::unique_ptr<PositionSource> stream;
  int channel = -1;
  int wraps = 0;
  int time_ms = 0;
  int previous_ms = 0;
};
