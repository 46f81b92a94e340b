#pragma once
// MP3 encoding through libmp3lame: constant bit rate, with the LAME "Info" tag
// in the first frame so that decoders cut the encoder's delay and padding and
// give back exactly the samples that went in (the show's clock loops on them).
//
//   encode_mp3   interleaved stereo 16-bit PCM -> MP3 bytes; empty on failure

#include <cstdint>
#include <vector>

namespace showdata {

std::vector<std::uint8_t> encode_mp3(const std::vector<std::int16_t>& stereo_pcm, int sample_rate,
                                     int kbps);

}  // namespace showdata
