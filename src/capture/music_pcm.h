#pragma once
// A music file decoded whole into the player's PCM: 44100 Hz stereo float,
// interleaved, whatever rate and channels the file held (a mono file plays the
// same on both channels). Anything FFmpeg reads will do; the show uses MP3.
//
//   decode_music   nullopt with `error` set, in words for the user, when the file
//                  cannot be opened or read, holds no audio, or none of it decodes.
//                  Damaged packets inside a file are skipped.

#include <optional>
#include <string>
#include <vector>

struct DecodedMusic {
  int sample_rate = 44100;
  std::vector<float> samples;  // interleaved stereo
  double length_ms() const;    // of the decoded samples
  long frames() const;
};

std::optional<DecodedMusic> decode_music(const std::string& path, std::string& error);
