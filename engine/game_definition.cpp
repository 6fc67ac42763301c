// Checking a GameRecord and loading it into a CGameDefinition.
#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/byte_order.h"
#include "engine/game_definition.h"
#include "engine/resources.h"

namespace corvelle {
namespace {

// Walks the record body in order, checking that every item fits. Used both by
// the validator and, once a record has passed it, by the loader.
struct RecordLayout {
    GameRecordHeader header;
    size_t nameOffset, extraOffset, rulesOffset;
    size_t cards, piles, actions, links, placements, flips, locks, exposures, eventTypes,
        eventActions, programsStart, conditions, eventConditions, counters, eventCounters, end;
};

bool Fail(const char** error, const char* message) {
    if (error)
        *error = message;
    return false;
}

// The stored size (length field included) of the rule program at `source`,
// or 0 when its length is negative or runs past the `available` bytes.
size_t ProgramSize(const uint8_t* source, size_t available) {
    if (available < 2)
        return 0;
    const int16_t n = LoadLE<int16_t>(source);
    if (n < 0 || static_cast<size_t>(n) > available - 2)
        return 0;
    return static_cast<size_t>(n) + 2;
}

bool MeasureRecord(const uint8_t* record, size_t length, RecordLayout& out, const char** error) {
    if (!record || length < sizeof(GameRecordHeader))
        return Fail(error, "record shorter than its header");
    std::memcpy(&out.header, record, sizeof out.header);
    const GameRecordHeader& h = out.header;
    size_t at = sizeof(GameRecordHeader);
    auto skipString = [&](size_t& start) {
        start = at;
        const void* end = std::memchr(record + at, 0, length - at);
        if (!end)
            return false;
        at = static_cast<const uint8_t*>(end) - record + 1;
        return true;
    };
    auto skipArray = [&](size_t& start, size_t count, size_t entry) {
        start = at;
        if (count * entry > length - at)
            return false;
        at += count * entry;
        return true;
    };
    if (!skipString(out.nameOffset))
        return Fail(error, "name not terminated");
    if (!skipArray(out.extraOffset, h.extraCategoryCount, 1))
        return Fail(error, "additional categories run past the record");
    if (!skipString(out.rulesOffset))
        return Fail(error, "rules text not terminated");
    if (!skipArray(out.cards, h.cardCount, sizeof(CardDef)) ||
        !skipArray(out.piles, h.pileCount, sizeof(PileDef)) ||
        !skipArray(out.actions, h.actionCount, sizeof(ActionDef)) ||
        !skipArray(out.links, h.linkCount, sizeof(MoveLink)) ||
        !skipArray(out.placements, h.placementCount, sizeof(CardPlacement)) ||
        !skipArray(out.flips, h.flipCount, sizeof(PilePosition)) ||
        !skipArray(out.locks, h.lockCount, sizeof(PilePosition)) ||
        !skipArray(out.exposures, h.exposureCount, sizeof(PilePosition)) ||
        !skipArray(out.eventTypes, h.eventCount, 1) ||
        !skipArray(out.eventActions, h.eventActionCount, sizeof(EventAction)))
        return Fail(error, "an array runs past the record");
    out.programsStart = at;
    for (unsigned i = 0; i < h.programCount; ++i) {
        const size_t size = ProgramSize(record + at, length - at);
        if (size == 0)
            return Fail(error, "a rule program runs past the record");
        at += size;
    }
    if (!skipArray(out.conditions, h.conditionCount, sizeof(RuleCondition)) ||
        !skipArray(out.eventConditions, h.eventConditionCount, sizeof(EventCondition)) ||
        !skipArray(out.counters, h.counterCount, sizeof(CounterDef)) ||
        !skipArray(out.eventCounters, h.eventCounterCount, sizeof(EventCounter)))
        return Fail(error, "an array runs past the record");
    out.end = at;
    if (at != length)
        return Fail(error, "record longer than its arrays");
    return true;
}

template <typename T>
void CopyArray(const uint8_t* record, size_t offset, uint16_t count, std::vector<T>& out) {
    out.resize(count);
    if (count)
        std::memcpy(out.data(), record + offset, sizeof(T) * count);
}

template <typename T>
T At(const uint8_t* record, size_t offset, size_t i) {
    // Entries are read by copy: the record buffer has no alignment promise.
    T entry;
    std::memcpy(&entry, record + offset + i * sizeof(T), sizeof(T));
    return entry;
}

int32_t GridToPixels(int32_t v, uint8_t anchor, int32_t pixels, int32_t grid) {
    switch (anchor) {
    case AnchorStart: return v * pixels / grid;
    case AnchorCentre: return (v - kLayoutReference / 2) * pixels / grid + kLayoutReference / 2;
    case AnchorEnd: return (v - kLayoutReference) * pixels / grid + kLayoutReference;
    default: return v;   // proportional: already a fraction of the reference
    }
}

}  // namespace

void ConvertPileToPixels(PileDef& pile, bool dense) {
    const GridCardSize grid = GridCardSizeFor(dense);
    const int32_t gridW = grid.width, gridH = grid.height;
    const bool horizontal = pile.fan == FanRight || pile.fan == FanLeft;
    const int32_t S = horizontal ? kCardWidth : kCardHeight;
    const int32_t D = horizontal ? gridW : gridH;
    const bool fanned = pile.fan != FanNone;

    // The extent is converted twice; the layouts are drawn with the result.
    if (fanned && pile.fanExtent != 0) {
        const int32_t e = pile.fanExtent;
        int32_t r = e;
        if (pile.extentKind == ExtentFixed) r = e * S / D;
        else if (pile.extentKind == ExtentScaled) r = e + D;
        else if (pile.extentKind == ExtentFromFarEdge) r = (e - kLayoutReference) * S / D + kLayoutReference;
        pile.fanExtent = static_cast<uint16_t>(r);
    }
    pile.x = static_cast<int16_t>(GridToPixels(pile.x, pile.xAnchor, kCardWidth, gridW));
    pile.y = static_cast<int16_t>(GridToPixels(pile.y, pile.yAnchor, kCardHeight, gridH));
    if (fanned && pile.fanExtent != 0) {
        const int32_t e = pile.fanExtent;
        int32_t r = e;
        if (pile.extentKind == ExtentFixed) r = e * S / D;
        else if (pile.extentKind == ExtentFromFarEdge) r = (e - kLayoutReference) * S / D + kLayoutReference;
        if (!dense && pile.extentKind <= ExtentFromFarEdge)
            r -= 3;
        pile.fanExtent = static_cast<uint16_t>(r);
    }
}

size_t ReadString(const uint8_t* source, size_t available, std::vector<char>& out) {
    const void* end = std::memchr(source, 0, available);
    if (!end)
        return 0;
    const size_t n = static_cast<const uint8_t*>(end) - source;
    out.assign(source, source + n + 1);
    return n + 1;
}

size_t ReadProgram(const uint8_t* source, size_t available, std::vector<uint8_t>& out) {
    const size_t size = ProgramSize(source, available);
    if (size == 0)
        return 0;
    out.assign(source + 2, source + size);
    out.push_back(0);   // END, so that every program ends
    return size;
}

namespace {

// The values of a record whose layout MeasureRecord has found sound.
bool CheckRecordValues(const uint8_t* record, const RecordLayout& L, const char** error) {
    const GameRecordHeader& h = L.header;
    if (h.category >= kCategoryCount || h.skill >= kSkillCount || h.timeClass >= kTimeClassCount)
        return Fail(error, "category, difficulty or time class out of range");
    if (h.denseGrid > 1)
        return Fail(error, "denseGrid is neither 0 nor 1");
    if (h.cardCount == 0 || h.pileCount == 0 || h.pileCount >= kNone || h.cardCount >= kNone)
        return Fail(error, "a game needs cards and piles");
    if (h.eventCount == 0 || h.programCount == 0)
        return Fail(error, "a game needs event 0 and at least one rule program");
    for (unsigned i = 0; i < h.extraCategoryCount; ++i)
        if (record[L.extraOffset + i] >= kCategoryCount)
            return Fail(error, "additional category out of range");

    const auto pileOk = [&](uint16_t p) { return p < h.pileCount; };
    const auto linkPileOk = [&](uint16_t p) { return p < h.pileCount || p == kAnyPile; };
    const auto eventOk = [&](uint16_t e) { return e < h.eventCount; };

    std::vector<uint32_t> groupCards, groupDealt;
    for (unsigned i = 0; i < h.cardCount; ++i) {
        const CardDef c = At<CardDef>(record, L.cards, i);
        if (c.suit < 1 || c.suit > 4 || c.rank < 1 || c.rank > 13)
            return Fail(error, "card with a suit or rank out of range");
        if (c.cardGroup >= groupCards.size())
            groupCards.resize(c.cardGroup + 1u, 0);
        groupCards[c.cardGroup]++;
    }
    for (unsigned i = 0; i < h.pileCount; ++i) {
        const PileDef p = At<PileDef>(record, L.piles, i);
        if (p.xAnchor > AnchorEnd || p.yAnchor > AnchorEnd || p.fan > kLastFanKind || p.baseKind > BasePictured ||
            p.extentKind > ExtentFromFarEdge || p.dealFaceUp > 1 || p.acceptsDrops > 1 || p.manualExposure > 1 ||
            p.enabled > 1)
            return Fail(error, "pile with a layout or flag value out of range");
        if (p.pickupProgram >= h.programCount || p.dropProgram >= h.programCount)
            return Fail(error, "pile names a rule program that does not exist");
        if (!eventOk(p.clickEvent) || !eventOk(p.emptyClickEvent) || !eventOk(p.dropEvent))
            return Fail(error, "pile names an event that does not exist");
        if (p.dealCount) {
            if (p.cardGroup >= groupDealt.size())
                groupDealt.resize(p.cardGroup + 1u, 0);
            groupDealt[p.cardGroup] += p.dealCount;
        }
    }
    // Every card is dealt, each to a pile of its own group.
    groupCards.resize(std::max(groupCards.size(), groupDealt.size()), 0);
    groupDealt.resize(groupCards.size(), 0);
    if (groupCards != groupDealt)
        return Fail(error, "the piles' deal counts do not match the cards of their groups");

    for (unsigned i = 0; i < h.actionCount; ++i) {
        const ActionDef a = At<ActionDef>(record, L.actions, i);
        switch (a.kind) {
        case ActionMoveCards:
            if (!pileOk(a.sourcePile) || !pileOk(a.destPile))
                return Fail(error, "move action names a pile that does not exist");
            break;
        case ActionSetPileAttribute:
        case ActionSetCardAttribute:
            if (!pileOk(a.sourcePile))
                return Fail(error, "attribute action names a pile that does not exist");
            if (a.kind == ActionSetPileAttribute &&
                (a.subKind == PileDropProgram || a.subKind == PilePickupProgram) && a.value >= h.programCount)
                return Fail(error, "attribute action names a rule program that does not exist");
            break;
        case ActionForbidMove:
        case ActionAllowMove:
            if (!linkPileOk(a.sourcePile) || !linkPileOk(a.destPile))
                return Fail(error, "link action names a pile that does not exist");
            break;
        case ActionFinishGame:
            break;
        case ActionResetCounter:
            if (a.sourcePile >= h.counterCount)
                return Fail(error, "counter action names a counter that does not exist");
            break;
        default:
            return Fail(error, "action of an unknown kind");
        }
    }
    for (unsigned i = 0; i < h.linkCount; ++i) {
        const MoveLink m = At<MoveLink>(record, L.links, i);
        if (!linkPileOk(m.sourcePile) || !linkPileOk(m.destPile))
            return Fail(error, "move link names a pile that does not exist");
    }
    for (unsigned i = 0; i < h.placementCount; ++i) {
        const CardPlacement p = At<CardPlacement>(record, L.placements, i);
        if (!pileOk(p.pile) || p.card >= h.cardCount)
            return Fail(error, "placement names a pile or card that does not exist");
    }
    const size_t positionLists[3] = {L.flips, L.locks, L.exposures};
    const uint16_t positionCounts[3] = {h.flipCount, h.lockCount, h.exposureCount};
    for (int list = 0; list < 3; ++list)
        for (unsigned i = 0; i < positionCounts[list]; ++i)
            if (!pileOk(At<PilePosition>(record, positionLists[list], i).pile))
                return Fail(error, "flip, lock or exposure names a pile that does not exist");
    for (unsigned i = 0; i < h.eventCount; ++i)
        if (record[L.eventTypes + i] > EventAtStart)
            return Fail(error, "event of an unknown type");
    for (unsigned i = 0; i < h.eventActionCount; ++i) {
        const EventAction e = At<EventAction>(record, L.eventActions, i);
        if (!eventOk(e.event) || e.action >= h.actionCount)
            return Fail(error, "event action names an event or action that does not exist");
    }
    for (unsigned i = 0; i < h.conditionCount; ++i) {
        const RuleCondition c = At<RuleCondition>(record, L.conditions, i);
        if (c.program >= h.programCount || !pileOk(c.pileA) || (c.pileB != kNone && !pileOk(c.pileB)))
            return Fail(error, "condition names a program or pile that does not exist");
    }
    for (unsigned i = 0; i < h.eventConditionCount; ++i) {
        const EventCondition e = At<EventCondition>(record, L.eventConditions, i);
        if (!eventOk(e.event) || e.condition >= h.conditionCount)
            return Fail(error, "event condition names an event or condition that does not exist");
    }
    for (unsigned i = 0; i < h.counterCount; ++i)
        if (!eventOk(At<CounterDef>(record, L.counters, i).exhaustedEvent))
            return Fail(error, "counter names an event that does not exist");
    for (unsigned i = 0; i < h.eventCounterCount; ++i) {
        const EventCounter e = At<EventCounter>(record, L.eventCounters, i);
        if (!eventOk(e.event) || e.counter >= h.counterCount)
            return Fail(error, "event counter names an event or counter that does not exist");
    }
    return true;
}

}  // namespace

bool ValidateGameRecord(const uint8_t* record, size_t length, const char** error) {
    RecordLayout L;
    return MeasureRecord(record, length, L, error) && CheckRecordValues(record, L, error);
}

bool CGameDefinition::LoadGameDefinition(const uint8_t* record, size_t length) {
    FreeGameDefinition();
    // Zero the whole definition, its arrays freed above.
    std::memset(name, 0, sizeof name);
    id = 0; category = skill = timeClass = 0; denseGrid = 0;

    RecordLayout L;
    if (!MeasureRecord(record, length, L, nullptr) || !CheckRecordValues(record, L, nullptr))
        return false;
    const GameRecordHeader& h = L.header;

    std::strncpy(name, reinterpret_cast<const char*>(record + L.nameOffset), sizeof name - 1);
    id = h.id;
    category = h.category;
    skill = h.skill;
    timeClass = h.timeClass;
    denseGrid = h.denseGrid;
    extraCategories.assign(record + L.extraOffset, record + L.extraOffset + h.extraCategoryCount);
    ReadString(record + L.rulesOffset, length - L.rulesOffset, rulesText);

    CopyArray(record, L.cards, h.cardCount, cards);
    CopyArray(record, L.piles, h.pileCount, piles);
    CopyArray(record, L.actions, h.actionCount, actions);
    CopyArray(record, L.links, h.linkCount, links);
    CopyArray(record, L.placements, h.placementCount, placements);
    CopyArray(record, L.flips, h.flipCount, flips);
    CopyArray(record, L.locks, h.lockCount, locks);
    CopyArray(record, L.exposures, h.exposureCount, exposures);
    CopyArray(record, L.eventTypes, h.eventCount, eventTypes);
    CopyArray(record, L.eventActions, h.eventActionCount, eventActions);
    programs.resize(h.programCount);
    size_t at = L.programsStart;
    for (RuleProgram& program : programs) {
        std::vector<uint8_t> code;
        at += ReadProgram(record + at, length - at, code);
        program = RuleProgram(std::move(code));
    }
    CopyArray(record, L.conditions, h.conditionCount, conditions);
    CopyArray(record, L.eventConditions, h.eventConditionCount, eventConditions);
    CopyArray(record, L.counters, h.counterCount, counterDefs);
    CopyArray(record, L.eventCounters, h.eventCounterCount, eventCounters);

    for (PileDef& pile : piles)
        ConvertPileToPixels(pile, denseGrid != 0);
    return true;
}

void CGameDefinition::FreeGameDefinition() {
    // Release every array; each count is its array's size, so all are 0 now.
    std::vector<char>().swap(rulesText);
    static_cast<GameRecordArrays&>(*this) = GameRecordArrays{};
    std::vector<RuleProgram>().swap(programs);
    std::vector<uint32_t>().swap(extraCategories);
}

}  // namespace corvelle
