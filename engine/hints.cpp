// Hint search: the moves and pile clicks open to the player, numbered in a
// fixed order (clicks first or last, then moves by card and destination).
#include <algorithm>
#include <vector>

#include "engine/events.h"
#include "engine/hint_memo.h"

namespace corvelle {
namespace {

// The game's piles as rule card lists, built once per search: the cards of
// every pile by position, and each pile's whole list (top card first). The
// pick-up lists of a card are cut from its pile's list: A is the head down
// to the card, B the tail below it, which already ends with the pile's
// terminating pair. They equal what the engine's list builders give.
class PileLists {
public:
    explicit PileLists(const CGameEngine& e) : engine(e) {
        const size_t piles = e.pileStates.size();
        start.assign(piles + 1, 0);
        for (size_t p = 0; p < piles; ++p)
            start[p + 1] = start[p] + e.pileStates[p].count;
        slots.assign(start[piles], kNone);
        for (size_t c = 0; c < e.cardStates.size(); ++c) {
            const CardState& s = e.cardStates[c];
            if (s.pile < piles && s.position >= 0 && s.position < e.pileStates[s.pile].count)
                slots[start[s.pile] + s.position] = static_cast<uint16_t>(c);
        }
        lists.assign(start[piles] + piles, RuleCard{0, 0});
        for (size_t p = 0; p < piles; ++p) {
            const uint16_t count = e.pileStates[p].count;
            RuleCard* list = &lists[start[p] + p];
            for (uint16_t pos = 0; pos < count; ++pos) {
                const uint16_t c = slots[start[p] + pos];
                RuleCard& entry = list[count - 1 - pos];
                if (c == kNone || c >= e.cards.size() || !e.cardStates[c].faceUp)
                    entry = RuleCard{kFaceDownSuit, kFaceDownRank};
                else
                    entry = RuleCard{e.cards[c].suit, e.cards[c].rank};
            }
        }
    }

    uint16_t CardAt(uint16_t pile, int position) const { return slots[start[pile] + position]; }
    const RuleCard* List(uint16_t pile) const { return &lists[start[pile] + pile]; }

    // Pick-up lists of the card at `position` of `pile`: A is written into
    // `a`, B points into the pile's own list.
    const RuleCard* PickupLists(uint16_t pile, int position, RuleCardList& a) const {
        const int count = engine.pileStates[pile].count;
        const RuleCard* list = List(pile);
        a.assign(list, list + (count - position));
        a.push_back(RuleCard{0, 0});
        return list + (count - position);
    }

private:
    const CGameEngine& engine;
    std::vector<size_t> start;
    std::vector<uint16_t> slots;
    std::vector<RuleCard> lists;
};

// The move links as rows: which piles a source pile may send cards to,
// each row worked out with one pass over the links the first time the
// scan asks about its source (asking the links for every pair of piles
// costs a pass each, and games that list their links one by one have
// hundreds).
class LinkRows {
public:
    LinkRows(const CGameEngine& e, uint16_t pileTotal)
        : engine(e), piles(pileTotal), filled(pileTotal, 0), rows(static_cast<size_t>(pileTotal) * pileTotal) {}

    // What CGameEngine::MoveLinkAllows(source, dest) answers.
    bool Allows(uint16_t source, uint16_t dest) {
        uint8_t* row = &rows[static_cast<size_t>(source) * piles];
        if (!filled[source]) {
            filled[source] = 1;
            for (const MoveLink& link : engine.moveLinks) {
                if (link.sourcePile != kAnyPile && link.sourcePile != source)
                    continue;
                if (link.destPile == kAnyPile) {
                    std::fill(row, row + piles, uint8_t{1});
                    break;
                }
                if (link.destPile < piles)
                    row[link.destPile] = 1;
            }
        }
        return row[dest] != 0;
    }

private:
    const CGameEngine& engine;
    uint16_t piles;
    std::vector<uint8_t> filled;
    std::vector<uint8_t> rows;
};

bool RunProgram(const CGameEngine& e, uint16_t program, const RuleCard* a, const RuleCard* b) {
    if (program >= e.programs.size())
        return false;
    return EvaluateRuleProgram(a, b, e.programs[program]);
}

// The clickable piles in order: a pile in play whose click (or, empty, whose
// empty-click) event may run now. `take(pile)` returns true to stop.
template <typename Take>
bool ScanClicks(const CGameEngine& e, Take&& take) {
    const size_t pileTotal = e.pileStates.size() < e.piles.size() ? e.pileStates.size() : e.piles.size();
    for (size_t p = 0; p < pileTotal; ++p) {
        // The player cannot click a pile out of play (the field neither draws
        // nor hits it, and the click is refused).
        if (!e.pileStates[p].acceptsDrops)
            continue;
        uint16_t event;
        if (e.pileStates[p].count != 0) {
            const uint16_t top = e.TopCard(static_cast<uint16_t>(p));
            if (top == kNone || !e.cardStates[top].movable)
                continue;
            event = e.piles[p].clickEvent;
        } else {
            event = e.piles[p].emptyClickEvent;
        }
        if (!e.IsEventAllowed(event) || !EventCounterAllows(e, event))
            continue;
        if (take(static_cast<uint16_t>(p)))
            return true;
    }
    return false;
}

// The moves in order: top cards first, then the cards under them in fanned
// piles, each by card index and then by destination; a pile out of play
// gives no card and takes none. `take(card, pile)` returns true to stop.
template <typename Take>
bool ScanMoves(const CGameEngine& e, HintMemo* memo, Take&& take) {
    const uint16_t pileTotal =
        static_cast<uint16_t>(e.pileStates.size() < e.piles.size() ? e.pileStates.size() : e.piles.size());
    const PileLists lists(e);
    LinkRows links(e, pileTotal);
    if (memo) {
        memo->BeginScan(pileTotal);
        for (uint16_t p = 0; p < pileTotal; ++p)
            memo->SeePile(p, lists.List(p), e.pileStates[p].count);
    }
    RuleCardList listA;
    for (int pass = 1; pass <= 2; ++pass) {
        for (size_t i = 0; i < e.cardStates.size(); ++i) {
            const CardState& s = e.cardStates[i];
            if (s.pile >= pileTotal)
                continue;
            const uint16_t p = s.pile;
            const PileState& from = e.pileStates[p];
            const bool onTop = s.position + 1 == from.count;
            if (pass == 1 ? !onTop : (onTop || from.fan == FanNone))
                continue;
            if (!s.movable || !from.acceptsDrops || s.position < 0 || s.position >= from.count)
                continue;
            const uint16_t position = static_cast<uint16_t>(s.position);
            // The card's pick-up lists are cut only when a program must run.
            const RuleCard* listB = nullptr;
            const auto cut = [&] {
                if (!listB)
                    listB = lists.PickupLists(p, position, listA);
            };
            int picked = memo ? memo->Pickup(p, position, from.pickupProgram) : -1;
            if (picked < 0) {
                cut();
                picked = RunProgram(e, from.pickupProgram, listA.data(), listB);
                if (memo)
                    memo->SetPickup(p, position, from.pickupProgram, picked != 0);
            }
            if (!picked)
                continue;
            for (uint16_t d = 0; d < pileTotal; ++d) {
                if (d == p)
                    continue;
                const PileState& to = e.pileStates[d];
                // A pile out of play takes no drop, whatever its rule says.
                if (!to.acceptsDrops)
                    continue;
                if (to.count != 0) {
                    const uint16_t top = lists.CardAt(d, to.count - 1);
                    if (top == kNone || !e.cardStates[top].exposed)
                        continue;
                } else if (e.piles[d].baseKind == BaseNone) {
                    continue;
                }
                if (!links.Allows(p, d))
                    continue;
                int dropped = memo ? memo->Drop(p, position, d, to.dropProgram) : -1;
                if (dropped < 0) {
                    cut();
                    dropped = RunProgram(e, to.dropProgram, listA.data(), lists.List(d));
                    if (memo)
                        memo->SetDrop(p, position, d, to.dropProgram, dropped != 0);
                }
                if (!dropped)
                    continue;
                if (take(static_cast<uint16_t>(i), d))
                    return true;
            }
        }
    }
    return false;
}

// Every hint in FindHint's numbering: the clicks first or last, the moves
// between. `take(first, second)` (second kNone for a click) returns true to
// stop; the result tells whether it stopped.
template <typename Take>
bool ScanHints(const CGameEngine& e, bool withClicks, HintMemo* memo, Take&& take) {
    const auto click = [&](uint16_t pile) { return take(pile, kNone); };
    if (withClicks && ScanClicks(e, click))
        return true;
    if (ScanMoves(e, memo, take))
        return true;
    return !withClicks && ScanClicks(e, click);
}

}  // namespace

bool CGameEngine::FindClickHint(uint16_t n, uint16_t& pile, uint16_t& card, uint16_t& count) const {
    return ScanClicks(*this, [&](uint16_t p) {
        if (count != n) {
            ++count;
            return false;
        }
        pile = p;
        card = kNone;
        return true;
    });
}

bool CGameEngine::FindHint(uint16_t n, uint16_t& first, uint16_t& second, bool withClicks) const {
    uint16_t count = 0;
    return ScanHints(*this, withClicks, nullptr, [&](uint16_t a, uint16_t b) {
        if (count != n) {
            ++count;
            return false;
        }
        first = a;
        second = b;
        return true;
    });
}

void CGameEngine::FindAllHints(std::vector<HintMove>& out, bool withClicks, HintMemo* memo) const {
    out.clear();
    ScanHints(*this, withClicks, memo, [&](uint16_t a, uint16_t b) {
        out.push_back(HintMove{a, b});
        return false;
    });
}

}  // namespace corvelle
