// Small hand-made game definitions for the engine tests.
#pragma once

#include <vector>

#include "engine/game_engine.h"
#include "writer/record_writer.h"

namespace corvelle::test {

// A valid minimal game: one 52-card deck (group 0) dealt one card to each
// pile until the last pile takes the rest, `pileCount` piles at x = 10 + 20i
// (grid units, left anchored), y = 12, not fanned; program 0 is PUSH 1
// (never true) and program 1 is PUSH 0 (always true); event 0 is the null
// event; one link (any, any).
GameDefinitionData MakeSimpleGame(int pileCount = 8, int decks = 1);

// Serialises and loads a definition; fails the current test when refused.
bool LoadInto(CGameEngine& engine, const GameDefinitionData& game);

}  // namespace corvelle::test
