#include "showdata/music.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace showdata {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kBars = 40;
constexpr int kStepsPerBar = 16;
constexpr int kSteps = kBars * kStepsPerBar;

// Step k starts at k * N / 640 samples: the grid spreads the pass exactly, so
// the last step ends on the loop point.
std::int64_t step_start(int k) { return static_cast<std::int64_t>(k) * kMusicFrames / kSteps; }

double midi_hz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

struct Mix {
  std::vector<float> left;
  std::vector<float> right;
  Mix() : left(kMusicFrames, 0.0f), right(kMusicFrames, 0.0f) {}
  // Tails beyond the end continue at the start: the track loops.
  void add(std::int64_t pos, double l, double r) {
    const auto i = static_cast<std::size_t>(pos % kMusicFrames);
    left[i] += static_cast<float>(l);
    right[i] += static_cast<float>(r);
  }
};

// The generator's own noise source, a 32-bit LCG: the same every run.
class Noise {
 public:
  explicit Noise(std::uint32_t seed) : state_(seed) {}
  double next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
  }

 private:
  std::uint32_t state_;
};

// Chamberlin state-variable filter, low-pass output.
class LowPass {
 public:
  // The coefficient follows the cutoff every 32 samples: sweeps stay smooth
  // and the sine is rare.
  double run(double in, double cutoff_hz, double resonance) {
    if (count_++ % 32 == 0)
      f_ = 2.0 * std::sin(std::numbers::pi * std::min(cutoff_hz, 8000.0) / kMusicRate);
    low_ += f_ * band_;
    const double high = in - low_ - resonance * band_;
    band_ += f_ * high;
    return low_;
  }

 private:
  double low_ = 0.0;
  double band_ = 0.0;
  double f_ = 0.0;
  unsigned count_ = 0;
};

double saw(double phase) { return 2.0 * (phase - std::floor(phase)) - 1.0; }

void kick(Mix& mix, std::int64_t at, double gain) {
  const int length = kMusicRate * 45 / 100;
  double phase = 0.0;
  for (int i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kMusicRate;
    phase += (48.0 + 120.0 * std::exp(-t * 28.0)) / kMusicRate;
    const double click = i < 80 ? (1.0 - i / 80.0) * 0.3 : 0.0;
    const double v = (std::sin(kTwoPi * phase) * std::exp(-t * 6.5) + click) * gain;
    mix.add(at + i, v, v);
  }
}

void snare(Mix& mix, std::int64_t at, double gain, Noise& noise) {
  const int length = kMusicRate * 30 / 100;
  double previous = 0.0;
  double phase = 0.0;
  for (int i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kMusicRate;
    const double n = noise.next();
    const double bright = n - previous * 0.6;
    previous = n;
    phase += 190.0 / kMusicRate;
    const double body = std::sin(kTwoPi * phase) * std::exp(-t * 30.0) * 0.6;
    const double v = (bright * std::exp(-t * 16.0) * 0.55 + body) * gain;
    mix.add(at + i, v * 0.95, v);
  }
}

void hat(Mix& mix, std::int64_t at, double gain, double decay, double pan, Noise& noise) {
  const int length = kMusicRate / 5;
  double x1 = 0.0;
  double x2 = 0.0;
  const double fall = std::exp(-decay / kMusicRate);
  double env = gain * 0.25;
  for (int i = 0; i < length; ++i) {
    const double n = noise.next();
    const double high = n - 2.0 * x1 + x2;  // second difference: a steep high-pass
    x2 = x1;
    x1 = n;
    const double v = high * env;
    env *= fall;
    mix.add(at + i, v * (1.0 - pan), v * (1.0 + pan));
  }
}

void bass(Mix& mix, std::int64_t at, int note, int length, double gain) {
  const double hz = midi_hz(note);
  LowPass filter;
  for (int i = 0; i < length + 2000; ++i) {
    const double t = static_cast<double>(i) / kMusicRate;
    const double env =
        std::min(1.0, t * 400.0) *
        (i < length ? std::exp(-t * 3.0) : std::exp(-t * 3.0) * (1.0 - (i - length) / 2000.0));
    const double osc =
        saw(hz * t) * 0.6 + saw(hz * 1.006 * t) * 0.4 + std::sin(kTwoPi * hz * 0.5 * t) * 0.5;
    const double v = filter.run(osc, 180.0 + 1400.0 * std::exp(-t * 14.0), 0.5) * env * gain;
    mix.add(at + i, v, v);
  }
}

void pad(Mix& mix, std::int64_t at, const std::array<int, 3>& notes, int length, double gain,
         double brightness) {
  std::array<LowPass, 2> filters;
  for (int i = 0; i < length + kMusicRate / 2; ++i) {
    const double t = static_cast<double>(i) / kMusicRate;
    const double attack = std::min(1.0, t / 0.25);
    const double release =
        i < length ? 1.0 : std::exp(-static_cast<double>(i - length) / kMusicRate * 8.0);
    double l = 0.0;
    double r = 0.0;
    for (std::size_t k = 0; k < notes.size(); ++k) {
      const double hz = midi_hz(notes[k]);
      l += saw(hz * 0.997 * t + 0.1 * static_cast<double>(k));
      r += saw(hz * 1.003 * t + 0.37 * static_cast<double>(k));
    }
    const double cutoff = 500.0 + brightness * (900.0 + 400.0 * std::sin(kTwoPi * 0.25 * t));
    const double env = attack * release * gain * 0.22;
    mix.add(at + i, filters[0].run(l, cutoff, 0.7) * env, filters[1].run(r, cutoff, 0.7) * env);
  }
}

void pluck(Mix& mix, std::int64_t at, int note, double gain, double pan) {
  const double hz = midi_hz(note);
  const int length = kMusicRate * 35 / 100;
  for (int i = 0; i < length; ++i) {
    const double t = static_cast<double>(i) / kMusicRate;
    const double v = (std::sin(kTwoPi * hz * t) + 0.3 * std::sin(kTwoPi * 2.0 * hz * t)) *
                     std::exp(-t * 11.0) * std::min(1.0, t * 500.0) * gain;
    mix.add(at + i, v * (1.0 - pan), v * (1.0 + pan));
  }
}

void lead(Mix& mix, std::int64_t at, int note, int length, double gain) {
  const double hz = midi_hz(note);
  LowPass filter;
  double phase = 0.0;
  for (int i = 0; i < length + 3000; ++i) {
    const double t = static_cast<double>(i) / kMusicRate;
    const double vibrato = 1.0 + 0.006 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t * 3.0);
    phase += hz * vibrato / kMusicRate;
    const double frac = phase - std::floor(phase);
    const double pulse = frac < 0.35 ? 1.0 : -1.0;
    const double osc = pulse * 0.45 + std::sin(kTwoPi * phase) * 0.55;
    const double env =
        std::min(1.0, t * 150.0) *
        (i < length ? (0.75 + 0.25 * std::exp(-t * 6.0)) : 0.75 * (1.0 - (i - length) / 3000.0));
    const double v = filter.run(osc, 2600.0, 0.6) * env * gain;
    mix.add(at + i, v, v);
  }
}

// Am, F, C, G: one chord a bar.
constexpr std::array<std::array<int, 3>, 4> kChords{
    {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}}};
constexpr std::array<int, 4> kRoots{33, 29, 36, 31};

// Lead phrases over four bars, one entry a sixteenth: a note, or -1 (rest) or
// -2 (the note before goes on).
constexpr std::array<int, 64> kMelodyA{
    69, -2, -2, 72, -2, -2, 76, -2, 74, -2, 72, -2, 69, -2, -1, -1, 65, -2, -2, 69, -2, -2,
    72, -2, 72, -2, 74, -2, 72, -2, -1, -1, 67, -2, -2, 72, -2, -2, 76, -2, 79, -2, 76, -2,
    74, -2, 72, -2, 71, -2, -2, 74, -2, -2, 79, -2, 78, -2, 74, -2, 71, -2, -1, -1};
constexpr std::array<int, 64> kMelodyB{
    76, -2, 74, -2, 72, -2, 69, -2, 72, -2, -2, -2, 76, -2, 81, -2, 77, -2, 76, -2, 72, -2,
    69, -2, 72, -2, -2, -2, -1, -1, 69, 72, 79, -2, 76, -2, 72, -2, 76, -2, 79, -2, -2, -2,
    84, -2, 83, -2, 83, -2, 79, -2, 74, -2, 79, -2, 78, -2, -2, -2, 74, -2, 71, -2};

enum Part : unsigned {
  kPad = 1,
  kHats = 2,
  kKick = 4,
  kBass = 8,
  kSnare = 16,
  kLeadA = 32,
  kLeadB = 64,
  kArp = 128,
};

unsigned parts_of_bar(int bar) {
  if (bar < 4) return kPad | kHats;
  if (bar < 12) return kPad | kHats | kKick | kBass;
  if (bar < 20) return kPad | kHats | kKick | kBass | kSnare | kLeadA;
  if (bar < 24) return kPad | kArp;
  if (bar < 36) return kPad | kHats | kKick | kBass | kSnare | kLeadB | kArp;
  return kPad | kHats | kKick | kArp;
}

void render_melody(Mix& mix, const std::array<int, 64>& melody, int bar, double gain) {
  const int base = (bar % 4) * kStepsPerBar;
  for (int s = 0; s < kStepsPerBar; ++s) {
    const int note = melody[static_cast<std::size_t>(base + s)];
    if (note < 0) continue;
    int end = s + 1;
    while (base + end < 64 && end < kStepsPerBar &&
           melody[static_cast<std::size_t>(base + end)] == -2)
      ++end;
    const int first = bar * kStepsPerBar + s;
    lead(mix, step_start(first), note,
         static_cast<int>(step_start(bar * kStepsPerBar + end) - step_start(first)), gain);
  }
}

// Ping-pong echo of the lead, three sixteenths late, run twice round the loop
// so that the echoes at the start come from the end of the pass.
void echo(Mix& mix, const Mix& dry) {
  const auto delay = static_cast<std::size_t>(step_start(3));
  std::vector<float> left(delay, 0.0f);
  std::vector<float> right(delay, 0.0f);
  std::size_t head = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(kMusicFrames); ++i) {
      const float out_l = left[head];
      const float out_r = right[head];
      left[head] = dry.left[i] * 0.5f + out_r * 0.45f;
      right[head] = out_l * 0.45f;
      head = (head + 1) % delay;
      if (pass == 1) {
        mix.left[i] += out_l;
        mix.right[i] += out_r;
      }
    }
  }
}

}  // namespace

std::vector<std::int16_t> synthesize_music() {
  Mix mix;
  Mix lead_dry;
  Noise noise(0x5eed1234u);
  for (int bar = 0; bar < kBars; ++bar) {
    const unsigned parts = parts_of_bar(bar);
    const auto chord = static_cast<std::size_t>(bar % 4);
    const std::int64_t bar_start = step_start(bar * kStepsPerBar);
    const int bar_length = static_cast<int>(step_start((bar + 1) * kStepsPerBar) - bar_start);
    if (parts & kPad) {
      const double brightness = bar < 4 ? 0.25 * (bar + 1) : (bar >= 20 && bar < 24 ? 1.3 : 1.0);
      pad(mix, bar_start, kChords[chord], bar_length, bar < 4 ? 0.8 : 0.6, brightness);
    }
    for (int s = 0; s < kStepsPerBar; ++s) {
      const int step = bar * kStepsPerBar + s;
      const std::int64_t at = step_start(step);
      if ((parts & kKick) && s % 4 == 0) kick(mix, at, 0.9);
      if ((parts & kSnare) && (s == 4 || s == 12)) snare(mix, at, 0.5, noise);
      if ((parts & kSnare) && bar % 4 == 3 && (s == 14 || s == 15)) snare(mix, at, 0.25, noise);
      if (parts & kHats) {
        if (s % 4 == 2)
          hat(mix, at, 0.5, 14.0, 0.3, noise);
        else
          hat(mix, at, s % 2 == 0 ? 0.35 : 0.22, 70.0, -0.3, noise);
      }
      if ((parts & kBass) && s % 2 == 0) {
        const int root = kRoots[chord] + 12;
        const int note = (s % 8 == 6) ? root + 12 : (s == 10 ? root + 7 : root);
        bass(mix, at, note, static_cast<int>(step_start(step + 2) - at) * 3 / 4, 0.55);
      }
      if ((parts & kArp) && s % 2 == 1) {
        const auto k = static_cast<std::size_t>((s / 2) % 3);
        pluck(mix, at, kChords[chord][k] + 12, 0.12, (s % 4 == 1) ? -0.5 : 0.5);
      }
    }
    if (parts & kLeadA) render_melody(lead_dry, kMelodyA, bar, 0.22);
    if (parts & kLeadB) render_melody(lead_dry, kMelodyB, bar, 0.24);
  }
  echo(mix, lead_dry);
  for (std::size_t i = 0; i < static_cast<std::size_t>(kMusicFrames); ++i) {
    mix.left[i] += lead_dry.left[i];
    mix.right[i] += lead_dry.right[i];
  }

  // Gentle saturation, then a fixed level: the peak lands at -1 dBFS.
  float peak = 0.0f;
  for (std::size_t i = 0; i < mix.left.size(); ++i) {
    mix.left[i] = std::tanh(mix.left[i]);
    mix.right[i] = std::tanh(mix.right[i]);
    peak = std::max({peak, std::abs(mix.left[i]), std::abs(mix.right[i])});
  }
  const float gain = peak > 0.0f ? 0.89f * 32767.0f / peak : 0.0f;
  std::vector<std::int16_t> pcm(static_cast<std::size_t>(kMusicFrames) * 2);
  for (std::size_t i = 0; i < mix.left.size(); ++i) {
    pcm[2 * i] = static_cast<std::int16_t>(std::lround(mix.left[i] * gain));
    pcm[2 * i + 1] = static_cast<std::int16_t>(std::lround(mix.right[i] * gain));
  }
  return pcm;
}

}  // namespace showdata
