// The compiled game library for the field's tests and the field viewer: the
// host build reads the packed database folder, the Windows build has it
// built in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/game_engine.h"

namespace corvelle::test {

// The names of every game of the library, in database order.
std::vector<std::string> LibraryGameNames();

// Loads the game named `name` and starts game number `gameNumber` as the
// program does (the deal, then the game's start events); false when the
// library has no such game or it cannot be dealt.
bool DealLibraryGame(CGameEngine& engine, const std::string& name, uint32_t gameNumber);

}  // namespace corvelle::test
