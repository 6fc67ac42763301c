// The pseudo-random generator behind random game numbers and shuffles: the
// classic linear congruential generator of the C runtime (state := state x
// 214013 + 2531011, draws of 15 bits), implemented here so that a game plays
// the same on every platform and with every C library. Random game numbers
// draw from one global state (the program has one thread; it is 1 until the
// first seed); each game in play keeps its own state for its shuffles.
#pragma once

#include <cstdint>

namespace corvelle {

// Sets the generator's state.
void SeedRandom(uint32_t seed);
// Advances the state and returns its bits 16..30 (0 .. 32767).
int NextRandom();

// The same generator on a state the caller keeps: a game's shuffles draw
// from the engine's own state, so that they follow from the game number and
// the steps played, whatever else drew from the global one.
int NextRandom(uint32_t& state);
// Takes back the last draw from `state` (state x 214013 + 2531011 is
// invertible modulo 2^32), so that undo can give a shuffle's draws back.
void PreviousRandom(uint32_t& state);
// A millisecond tick count (wraps after about 49.7 days), the seed of a
// random game number.
uint32_t TickCountMs();

}  // namespace corvelle
