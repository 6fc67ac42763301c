// The pseudo-random generator behind deals and shuffles: the classic linear
// congruential generator of the C runtime (state := state x 214013 + 2531011,
// draws of 15 bits), implemented here so that a game number deals the same
// layout on every platform and with every C library. There is one global
// state, as the program has one thread; it is 1 until the first seed.
#pragma once

#include <cstdint>

namespace corvelle {

// Sets the generator's state.
void SeedRandom(uint32_t seed);
// Advances the state and returns its bits 16..30 (0 .. 32767).
int NextRandom();
// A millisecond tick count (wraps after about 49.7 days), the seed of a
// random game number.
uint32_t TickCountMs();

}  // namespace corvelle
