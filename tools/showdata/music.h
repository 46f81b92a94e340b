#pragma once
// The show's music, synthesised: drums, bass, chords, an arpeggio and a lead,
// 40 bars at about 129 beats a minute that last exactly one pass of the show's
// clock and loop without a seam (note tails wrap round to the start).
//
//   kMusicMs, kMusicRate, kMusicFrames   one pass: 74180 ms at 44100 Hz
//   synthesize_music                     interleaved stereo 16-bit samples

#include <cstdint>
#include <vector>

namespace showdata {

inline constexpr int kMusicMs = 74180;
inline constexpr int kMusicRate = 44100;
inline constexpr int kMusicFrames = kMusicMs * (kMusicRate / 100) / 10;  // 3271338

std::vector<std::int16_t> synthesize_music();

}  // namespace showdata
