// A game played on the program's screen with the mouse while the driver
// keeps its own copy of the game in step, and the program's saved game read
// back from the registry without touching it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "driver.h"
#include "engine/game_engine.h"
#include "engine/saved_game.h"

namespace corvelle::drive {

// The mouse gesture that plays hint `index` of the copy's position in the
// program's field (its card dragged onto its destination pile, or its pile
// clicked), with the hint in `first` and `second` as FindHint gives them;
// empty when the position has no such hint.
std::function<void()> HintGesture(HWND main, HWND field, const CGameEngine& copy, uint16_t index, uint16_t& first,
                                  uint16_t& second);

// Hint `index` of the copy's position played in the program's field: the
// hint's card dragged onto its destination pile, or its pile clicked; the
// copy makes the same step. Waits until the field shows a change, and makes
// the gesture once more when it did not (an input event lost under load).
// False when the position has no such hint or the screen never changed.
bool PlayHint(Program& program, HWND main, HWND field, CGameEngine& copy, uint16_t index = 0);

// The game the program keeps in its slot for the copy's game, as stored:
// false when there is none, or its blob does not parse against the copy's
// definition. `gameNumber` (optional) receives the slot's deal number.
bool ReadSavedGame(const CGameEngine& copy, SavedGameData& out, uint32_t* gameNumber = nullptr);

// Makes the copy's game in play the saved one (its history included).
void TakeSavedGame(CGameEngine& copy, SavedGameData saved);

}  // namespace corvelle::drive
