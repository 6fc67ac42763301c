// The arithmetic of the deal, shared with the tests and tools that explain a
// layout: which card the deal tries first for its i-th card and how far the
// probe steps back from a card that cannot be taken.
#pragma once

#include <cstdint>

namespace corvelle {

// The first candidate card for deal step i of a deck of `cardCount` cards,
// with s = game number + 1000.
uint32_t DealCandidate(int32_t i, uint32_t s, uint16_t cardCount);
// The probe step: the first of 7, 11, 13 and 17 that does not divide the
// card count, else 1.
int DealProbeStep(uint16_t cardCount);

}  // namespace corvelle
