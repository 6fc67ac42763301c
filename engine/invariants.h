// Consistency checks of a game in play, for tests and tools: every card lies
// on a pile, each pile's cards hold exactly the positions 0 .. count - 1 and
// the runtime arrays have the sizes the definition gives them.
#pragma once

#include <string>

#include "engine/game_engine.h"

namespace corvelle {

// True when the game in play is consistent; otherwise false with a one-line
// reason in `reason` (when given), naming the first problem found.
bool CheckGameInvariants(const CGameEngine& engine, std::string* reason = nullptr);

}  // namespace corvelle
