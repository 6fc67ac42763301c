// GameRecordArrays: the arrays of a game record that keep their stored form
// in memory, one vector per record array in the record's order. Programs,
// which are length-prefixed, stand between eventActions and conditions in
// the bytes but are held by each user in its own form.
//
// The engine's CGameDefinition and the writer's GameDefinitionData both
// build on it, so the loader and the serialiser name the same members.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/records.h"

namespace corvelle {

struct GameRecordArrays {
    std::vector<CardDef> cards;
    std::vector<PileDef> piles;
    std::vector<ActionDef> actions;
    std::vector<MoveLink> links;
    std::vector<CardPlacement> placements;
    std::vector<PilePosition> flips;
    std::vector<PilePosition> locks;
    std::vector<PilePosition> exposures;
    std::vector<uint8_t> eventTypes;
    std::vector<EventAction> eventActions;
    std::vector<RuleCondition> conditions;
    std::vector<EventCondition> eventConditions;
    std::vector<CounterDef> counterDefs;
    std::vector<EventCounter> eventCounters;
};

// Calls array(v) for each array of `a` in the record's order, and programs()
// where the programs stand in it (after eventActions).
template <typename Arrays, typename Array, typename Programs>
void ForEachRecordArray(Arrays& a, Array&& array, Programs&& programs) {
    array(a.cards);
    array(a.piles);
    array(a.actions);
    array(a.links);
    array(a.placements);
    array(a.flips);
    array(a.locks);
    array(a.exposures);
    array(a.eventTypes);
    array(a.eventActions);
    programs();
    array(a.conditions);
    array(a.eventConditions);
    array(a.counterDefs);
    array(a.eventCounters);
}

}  // namespace corvelle
