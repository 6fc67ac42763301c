#include "writer/record_writer.h"

#include <cstring>

#include "engine/byte_order.h"

namespace corvelle {
namespace {

template <typename T>
void Append(std::vector<uint8_t>& out, const std::vector<T>& items) {
    const size_t at = out.size();
    out.resize(at + items.size() * sizeof(T));
    if (!items.empty())
        std::memcpy(out.data() + at, items.data(), items.size() * sizeof(T));
}

}  // namespace

std::vector<uint8_t> SerializeGameRecord(const GameDefinitionData& g) {
    GameRecordHeader h{};
    h.id = g.id;
    h.category = g.category;
    h.skill = g.skill;
    h.timeClass = g.timeClass;
    h.denseGrid = g.denseGrid;
    h.extraCategoryCount = static_cast<uint16_t>(g.extraCategories.size());
    h.cardCount = static_cast<uint16_t>(g.cards.size());
    h.pileCount = static_cast<uint16_t>(g.piles.size());
    h.actionCount = static_cast<uint16_t>(g.actions.size());
    h.linkCount = static_cast<uint16_t>(g.links.size());
    h.placementCount = static_cast<uint16_t>(g.placements.size());
    h.flipCount = static_cast<uint16_t>(g.flips.size());
    h.lockCount = static_cast<uint16_t>(g.locks.size());
    h.exposureCount = static_cast<uint16_t>(g.exposures.size());
    h.eventCount = static_cast<uint16_t>(g.eventTypes.size());
    h.eventActionCount = static_cast<uint16_t>(g.eventActions.size());
    h.programCount = static_cast<uint16_t>(g.programs.size());
    h.conditionCount = static_cast<uint16_t>(g.conditions.size());
    h.eventConditionCount = static_cast<uint16_t>(g.eventConditions.size());
    h.counterCount = static_cast<uint16_t>(g.counterDefs.size());
    h.eventCounterCount = static_cast<uint16_t>(g.eventCounters.size());

    std::vector<uint8_t> out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    out.insert(out.end(), g.name.begin(), g.name.end());
    out.push_back(0);
    out.insert(out.end(), g.extraCategories.begin(), g.extraCategories.end());
    out.insert(out.end(), g.rulesText.begin(), g.rulesText.end());
    out.push_back(0);
    ForEachRecordArray(
        g, [&](const auto& items) { Append(out, items); },
        [&] {
            for (const auto& program : g.programs) {
                AppendLE(out, static_cast<uint16_t>(program.size()));
                out.insert(out.end(), program.begin(), program.end());
            }
        });
    return out;
}

}  // namespace corvelle
