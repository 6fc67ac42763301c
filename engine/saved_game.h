// Games in progress in the registry: ten slots "gameState0" .. "gameState9"
// below the program's key, each holding the game id ("solId"), the length
// ("size") and bytes ("data") of a SavedGameData blob, the restore guard
// ("failed"), a fingerprint of the game definition the blob was made for
// ("definitionHash"), the deal number the engine's owner keeps with it
// ("gameNumber") and a check over all of these ("saveCheck"), marked
// unfinished before a save's first write and written after its last, so
// that a save cut short is never restored. Slots written before a value
// existed restore without it.
//
// Blob layout, little-endian and packed, for a definition of c cards, p piles
// and k counters:
//   u32 elapsed seconds | c x CardState | p x PileState | u16 l | l x MoveLink
//   | k x CounterState | u32 shuffle state | u8 finished | u32 h
//   | h x HistoryRecord                       (15 + 8c + 32p + 4l + 4k + 16h bytes)
// The shuffle state (CGameEngine::shuffleState) lies in four bytes that are
// free in the layout; a slot written before it was kept there holds 0.
// The slots are used through CGameEngine::FindSavedGameSlot, SaveGame and
// LoadSavedGame (saved_game.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/records.h"

namespace corvelle {

class CGameEngine;

constexpr uint16_t kSavedGameSlots = 10;          // FindSavedGameSlot's "no slot"
constexpr uint32_t kMaxSavedHistory = 1u << 20;   // history records a blob may carry

// The runtime half of a game as stored in a slot.
struct SavedGameData {
    uint32_t elapsedSeconds = 0;
    std::vector<CardState> cardStates;
    std::vector<PileState> pileStates;
    std::vector<MoveLink> moveLinks;
    std::vector<CounterState> counters;
    uint32_t shuffleState = 0;
    uint8_t finished = 0;
    std::vector<HistoryRecord> history;
};

// The slot key's path: the program's key + "\gameState" + digit.
std::u16string SavedGameSlotPath(unsigned slot);

// The blob of the engine's game in play (which must exist) and the clock.
std::vector<uint8_t> SerializeSavedGame(const CGameEngine& engine, uint32_t elapsedSeconds);

// Parses a blob against the loaded definition and checks all of it: the
// length, every card on an existing pile with the positions of each pile
// exactly 0 .. count - 1, pile fans and programs, link piles, counter
// events, the finished flag, and every history record's kind and index, the
// first one opening a step. False (with a one-line reason in `error`) leaves
// `out` in an unspecified state.
bool ParseSavedGame(const CGameEngine& engine, const uint8_t* data, size_t size, SavedGameData& out,
                    const char** error = nullptr);

// A 64-bit fingerprint of everything in the loaded definition that a saved
// position depends on (not the name or the rules text).
uint64_t DefinitionFingerprint(const CGameEngine& engine);

}  // namespace corvelle
