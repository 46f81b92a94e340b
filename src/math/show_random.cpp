#include "math/show_random.h"

#include <cstdint>

namespace {
// The C runtime's classic linear congruential generator, started at 1.
std::uint32_t state = 1;
}  // namespace

int show_rand() {
  state = state * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFFu);
}

void show_rand_reset() { state = 1; }

std::uint32_t show_rand_state() { return state; }

void show_rand_restore(std::uint32_t saved) { state = saved; }
