// Building GameRecords: the in-memory form of a game definition before it is
// serialised into the database's byte layout. Used by the game compiler, the
// database tools and the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/records.h"

namespace corvelle {

struct GameDefinitionData {
    uint16_t id = 0;
    uint16_t category = 0;
    uint16_t skill = 0;
    uint16_t timeClass = 0;
    uint16_t denseGrid = 0;
    std::string name;
    std::vector<uint8_t> extraCategories;
    std::string rulesText;
    std::vector<CardDef> cards;
    std::vector<PileDef> piles;              // grid units, as stored
    std::vector<ActionDef> actions;
    std::vector<MoveLink> links;
    std::vector<CardPlacement> placements;
    std::vector<PilePosition> flips;
    std::vector<PilePosition> locks;
    std::vector<PilePosition> exposures;
    std::vector<uint8_t> eventTypes;
    std::vector<EventAction> eventActions;
    std::vector<std::vector<uint8_t>> programs;   // bytecode without the added END
    std::vector<RuleCondition> conditions;
    std::vector<EventCondition> eventConditions;
    std::vector<CounterDef> counters;
    std::vector<EventCounter> eventCounters;
};

// The record bytes of a definition. Counts come from the vector sizes.
std::vector<uint8_t> SerializeGameRecord(const GameDefinitionData& game);

}  // namespace corvelle
