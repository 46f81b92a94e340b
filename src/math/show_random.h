#pragma once
// The show's one random generator: never seeded, so every run draws the same
// numbers. The sequencer and the particle systems share it, and the order of
// their draws is part of the show.
//
//   show_rand()          next draw, 0 to 32767
//   show_rand_reset()    back to the state of a fresh process (tests)

int show_rand();
void show_rand_reset();
