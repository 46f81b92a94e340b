#include "showdata/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstddef>

namespace showdata {

std::vector<std::uint8_t> encode_mp3(const std::vector<std::int16_t>& stereo_pcm, int sample_rate,
                                     int kbps) {
  lame_global_flags* lame = lame_init();
  if (!lame) return {};
  lame_set_in_samplerate(lame, sample_rate);
  lame_set_out_samplerate(lame, sample_rate);
  lame_set_num_channels(lame, 2);
  lame_set_mode(lame, JOINT_STEREO);
  lame_set_brate(lame, kbps);
  lame_set_VBR(lame, vbr_off);
  lame_set_quality(lame, 7);  // fast; at 160 kbit/s the difference is not audible
  lame_set_bWriteVbrTag(lame, 1);
  lame_set_write_id3tag_automatic(lame, 0);
  if (lame_init_params(lame) < 0) {
    lame_close(lame);
    return {};
  }

  std::vector<std::uint8_t> out;
  const int frames = static_cast<int>(stereo_pcm.size() / 2);
  const int chunk = 8192;
  std::vector<unsigned char> buffer(static_cast<std::size_t>(chunk) * 5 / 4 + 7200);
  bool ok = true;
  for (int start = 0; start < frames && ok; start += chunk) {
    const int n = std::min(chunk, frames - start);
    // lame's API takes a non-const pointer but only reads the samples.
    auto* pcm = const_cast<short*>(stereo_pcm.data() + static_cast<std::size_t>(start) * 2);
    const int written = lame_encode_buffer_interleaved(lame, pcm, n, buffer.data(),
                                                       static_cast<int>(buffer.size()));
    if (written < 0)
      ok = false;
    else
      out.insert(out.end(), buffer.begin(), buffer.begin() + written);
  }
  if (ok) {
    const int written = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
    if (written < 0)
      ok = false;
    else
      out.insert(out.end(), buffer.begin(), buffer.begin() + written);
  }
  if (ok) {
    // The first frame was left blank for the tag; fill it in now that the
    // totals are known.
    std::vector<unsigned char> tag(2880);
    const std::size_t tag_size = lame_get_lametag_frame(lame, tag.data(), tag.size());
    if (tag_size == 0 || tag_size > tag.size() || tag_size > out.size())
      ok = false;
    else
      std::copy(tag.begin(), tag.begin() + static_cast<std::ptrdiff_t>(tag_size), out.begin());
  }
  lame_close(lame);
  if (!ok) out.clear();
  return out;
}

}  // namespace showdata
