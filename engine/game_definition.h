// CGameDefinition: one game's rules as its GameRecord gives them: cards,
// piles (converted to pixels), actions, move links, the deal's corrections,
// events, rule programs, conditions and counters.
//
// LoadGameDefinition fills it and nothing changes it afterwards while a game
// is played; CGameEngine adds the game in play on top of it. Every array
// holds exactly the entries of its record array, so each array's size is
// its count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/record_arrays.h"
#include "engine/records.h"
#include "engine/rules.h"

namespace corvelle {

class CGameDefinition : public GameRecordArrays {
public:
    // Copies a record into the definition, converting the pile layout from
    // grid units to pixels. Returns false, leaving no definition loaded,
    // when the record is malformed (see ValidateGameRecord).
    bool LoadGameDefinition(const uint8_t* record, size_t length);
    void FreeGameDefinition();
    bool HasDefinition() const { return !piles.empty(); }

    // The counts of the record's header, for the arrays that callers count.
    uint16_t GetCardCount() const { return Count(cards); }
    uint16_t GetPileCount() const { return Count(piles); }
    uint16_t GetActionCount() const { return Count(actions); }
    uint16_t GetEventCount() const { return Count(eventTypes); }
    uint16_t GetProgramCount() const { return Count(programs); }
    uint16_t GetCounterCount() const { return Count(counterDefs); }

    // Runs a program of the definition (interpreter.cpp); false for an
    // index out of range.
    bool EvaluateProgram(uint16_t program, const RuleCardList& listA, const RuleCardList* listB) const;

    char name[32] = {};
    std::vector<char> rulesText;          // 0-terminated 8-bit text
    uint16_t id = 0;
    uint32_t category = 0;
    uint32_t skill = 0;
    uint32_t timeClass = 0;
    uint16_t denseGrid = 0;

    // The record's arrays (GameRecordArrays), piles converted to pixels, and
    // its programs: bytecode followed by one 0 (END), jumps worked out.
    std::vector<RuleProgram> programs;
    std::vector<uint32_t> extraCategories;

private:
    // Every array was counted by a u16 of its record's header.
    template <typename T>
    static uint16_t Count(const std::vector<T>& v) { return static_cast<uint16_t>(v.size()); }
};

// Reads one 0-terminated 8-bit string from at most `available` bytes into a
// new owned copy; returns the bytes consumed (length + 1), or 0 when no
// terminator lies within `available`.
size_t ReadString(const uint8_t* source, size_t available, std::vector<char>& out);
// Reads a length-prefixed rule program (u16 length n, then n bytes) into a
// copy of n + 1 bytes whose last byte is END; returns n + 2, or 0 when the
// program does not fit in `available` bytes.
size_t ReadProgram(const uint8_t* source, size_t available, std::vector<uint8_t>& out);

// Checks a record against its length and against itself: every array fits,
// every index names something that exists, the deal gives each pile only
// cards of its group and there are enough of them. `error` (optional)
// receives a one-line reason when the record is refused.
bool ValidateGameRecord(const uint8_t* record, size_t length, const char** error = nullptr);

// Grid-to-pixel conversion of one pile, as the loader applies it.
void ConvertPileToPixels(PileDef& pile, bool denseGrid);

}  // namespace corvelle
