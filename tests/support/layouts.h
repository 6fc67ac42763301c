// Hand-arranged positions for the rules tests: puts chosen cards on chosen
// piles without dealing, and writes rule card lists and programs from text.
#pragma once

#include <string_view>
#include <vector>

#include "engine/game_engine.h"

namespace corvelle::test {

// One pile from bottom to top as card texts: "5C" is the five of clubs face
// up, "5c" the same card face down ("TD" ten of diamonds, "AH", "KS", ...).
// Each text takes the first card of the definition with that suit and rank
// that is not placed yet.
using PileText = std::vector<std::string_view>;

// Sets up the runtime half of a loaded engine as a deal would, but with the
// given piles (index i of `piles` is pile i; piles not listed are empty).
// Cards not named go face down to the bottom of the last pile. Pile flags
// and programs, move links and counters come from the definition; the
// history is empty; every card is movable and every top card exposed.
void ArrangeLayout(CGameEngine& engine, const std::vector<PileText>& piles);

// A rule card list from text, top card first: "5C 6d" gives {1,5}, {6,15}
// and the terminating pair.
RuleCardList CardList(std::string_view text);

// Assembles a program (failing the current test on an error) and appends
// the END byte that the loader adds.
std::vector<uint8_t> Program(std::string_view text);

}  // namespace corvelle::test
