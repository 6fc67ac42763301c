// Which piles cover others by a game's own rules, as in a pyramid: the
// cards of the lower pile stay locked or hidden until an event that asks
// about the upper pile exposes or unlocks them. A layout may let such an
// upper pile lie over part of the pile it covers.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/records.h"

namespace corvelle {

// True when some event of `def` has a condition on pile `upper` and exposes
// or unlocks cards of pile `lower`. `Definition` is any holder of the
// record's actions, eventActions, conditions and eventConditions arrays (the
// loaded definition or the one the game compiler builds).
template <typename Definition>
bool PileCovers(const Definition& def, uint16_t upper, uint16_t lower) {
    for (const EventAction& ea : def.eventActions) {
        if (ea.action >= def.actions.size()) continue;
        const ActionDef& a = def.actions[ea.action];
        const bool frees = a.kind == ActionSetCardAttribute && a.sourcePile == lower && a.value != 0 &&
                           (a.subKind == CardExposed || a.subKind == CardMovable);
        if (!frees) continue;
        const bool asksUpper = std::any_of(def.eventConditions.begin(), def.eventConditions.end(), [&](const EventCondition& ec) {
            return ec.event == ea.event && ec.condition < def.conditions.size() && def.conditions[ec.condition].pileA == upper;
        });
        if (asksUpper) return true;
    }
    return false;
}

}  // namespace corvelle
