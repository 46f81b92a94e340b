// The synthesised music: exactly one pass of the show's clock, never silent,
// never clipped.
#include "showdata/music.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace showdata {
namespace {

TEST(Music, OnePassOfTheClockInStereo) {
  const std::vector<std::int16_t> pcm = synthesize_music();
  ASSERT_EQ(kMusicFrames, 3271338);  // 74180 ms at 44100 Hz
  ASSERT_EQ(pcm.size(), static_cast<std::size_t>(kMusicFrames) * 2);

  // Every two bars carry sound (the quietest part is the break), and the
  // level leaves headroom for the MP3 encoder.
  const std::size_t chunk = pcm.size() / 20;
  int peak = 0;
  for (std::size_t c = 0; c < 20; ++c) {
    double sum = 0.0;
    for (std::size_t i = c * chunk; i < (c + 1) * chunk; ++i) {
      sum += static_cast<double>(pcm[i]) * pcm[i];
      peak = std::max(peak, std::abs(static_cast<int>(pcm[i])));
    }
    EXPECT_GT(std::sqrt(sum / static_cast<double>(chunk)), 1500.0)
        << "two bars near silence at " << c;
  }
  EXPECT_LE(peak, 29200);
  EXPECT_GT(peak, 25000);
  // The channels differ: it is stereo, not a copied mono track.
  std::size_t differing = 0;
  for (std::size_t i = 0; i < pcm.size(); i += 2) differing += pcm[i] != pcm[i + 1];
  EXPECT_GT(differing, pcm.size() / 4);
}

}  // namespace
}  // namespace showdata
