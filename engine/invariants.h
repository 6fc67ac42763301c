// Consistency checks of a game in play, for tests and tools: every card lies
// on a pile, each pile's cards hold exactly the positions 0 .. count - 1 and
// the runtime arrays have the sizes the definition gives them.
#pragma once

#include <string>
#include <vector>

#include "engine/game_engine.h"

namespace corvelle {

// True when the game in play is consistent; otherwise false with a one-line
// reason in `reason` (when given), naming the first problem found.
bool CheckGameInvariants(const CGameEngine& engine, std::string* reason = nullptr);

// The part of those checks that concerns where the cards lie: every card on
// a pile, and each pile's positions 0 .. count - 1 held by exactly one card.
bool CheckCardPlaces(const std::vector<CardState>& cards, const std::vector<PileState>& piles,
                     std::string* reason = nullptr);

}  // namespace corvelle
