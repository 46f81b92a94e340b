#pragma once
// The show's one random generator: never seeded, so every run draws the same
// numbers. The sequencer and the particle systems share it, and the order of
// their draws is part of the show.
//
//   show_rand()          next draw, 0 to 32767
//   show_rand_reset()    back to the state of a fresh process (tests)
//   show_rand_state(), show_rand_restore(state)   where the sequence stands,
//                        to go back there (a seek to an earlier time)

#include <cstdint>

int show_rand();
void show_rand_reset();
std::uint32_t show_rand_state();
void show_rand_restore(std::uint32_t saved);
