// Building GameRecords: the in-memory form of a game definition before it is
// serialised into the database's byte layout. Used by the game compiler, the
// database tools and the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/record_arrays.h"

namespace corvelle {

struct GameDefinitionData : GameRecordArrays {
    uint16_t id = 0;
    uint16_t category = 0;
    uint16_t skill = 0;
    uint16_t timeClass = 0;
    uint16_t denseGrid = 0;
    std::string name;
    std::vector<uint8_t> extraCategories;
    std::string rulesText;
    // The record's arrays (GameRecordArrays), piles in grid units as stored,
    // and its programs: bytecode without the END the loader adds.
    std::vector<std::vector<uint8_t>> programs;
};

// The record bytes of a definition. Counts come from the vector sizes.
std::vector<uint8_t> SerializeGameRecord(const GameDefinitionData& game);

}  // namespace corvelle
