// ExecuteAction: every change of a game in play, forward (with a result for
// undo) or in the undo direction (without one), one handler per action kind
// as undo.cpp has one inverse per kind.
#include <algorithm>
#include <vector>

#include "engine/action_range.h"
#include "engine/crt_random.h"
#include "engine/game_engine.h"

namespace corvelle {

namespace {

constexpr uint32_t kMaxMoveLinks = 0xFFFF;

uint8_t* CardFlag(CardState& card, uint8_t attribute) {
    switch (attribute) {
    case CardFaceUp: return &card.faceUp;
    case CardMovable: return &card.movable;
    case CardExposed: return &card.exposed;
    default: return nullptr;
    }
}

bool LinkPileOk(uint16_t pile, size_t pileTotal) {
    return pile == kAnyPile || pile < pileTotal;
}

// Appends a link unless it is already listed or the list is full.
void AppendLink(std::vector<MoveLink>& links, uint16_t source, uint16_t dest) {
    if (links.size() >= kMaxMoveLinks)
        return;
    for (const MoveLink& l : links)
        if (l.sourcePile == source && l.destPile == dest)
            return;
    links.push_back(MoveLink{source, dest});
}

}  // namespace

bool CGameEngine::ExecuteAction(ActionDef& action, uint16_t* result) {
    switch (action.kind) {
    case ActionMoveCards: return MoveCards(action, result);
    case ActionSetPileAttribute: return SetPileAttribute(action, result);
    case ActionSetCardAttribute: return SetCardAttribute(action, result);
    case ActionForbidMove: return ForbidMove(action.sourcePile, action.destPile);
    case ActionAllowMove: return AllowMove(action.sourcePile, action.destPile);
    case ActionFinishGame:
        finished = 1;
        return true;
    case ActionResetCounter: return ResetCounter(action.sourcePile, result);
    default: return false;
    }
}

bool CGameEngine::MoveCards(ActionDef& action, uint16_t* result) {
    const size_t pileTotal = pileStates.size();
    const uint16_t scratchPile = static_cast<uint16_t>(pileTotal);
    const uint16_t src = action.sourcePile;
    const uint16_t dst = action.destPile;
    if (src >= pileTotal || dst >= pileTotal)
        return false;
    const int srcCount = pileStates[src].count;
    const CardRange range = SelectRange(action.sourceMode, action.sourcePosition, action.count, srcCount);

    // Lift the range into the scratch pile (positions from 0), close the
    // gap it leaves.
    int moved = 0;
    for (CardState& card : cardStates) {
        if (card.pile != src)
            continue;
        if (card.position >= range.lo && card.position < range.hi) {
            card.pile = scratchPile;
            card.position = static_cast<int16_t>(card.position - range.lo);
            ++moved;
        }
    }
    if (moved)
        for (CardState& card : cardStates)
            if (card.pile == src && card.position >= range.hi)
                card.position = static_cast<int16_t>(card.position - moved);
    if (result)
        *result = static_cast<uint16_t>(action.sourceMode == SourceFromPosition ? srcCount : moved);
    pileStates[src].count = static_cast<uint16_t>(srcCount - moved);

    // Insert the run: each card either arrives or makes room, never both.
    const int ins = InsertionPoint(action.destMode, action.destPosition, pileStates[dst].count, range.lo);
    if (moved)
        for (CardState& card : cardStates) {
            if (card.pile == scratchPile) {
                card.pile = dst;
                card.position = static_cast<int16_t>(card.position + ins);
            } else if (card.pile == dst && card.position >= ins) {
                card.position = static_cast<int16_t>(card.position + moved);
            }
        }
    pileStates[dst].count = static_cast<uint16_t>(pileStates[dst].count + moved);
    action.value = static_cast<uint16_t>(moved);
    return moved != 0;
}

bool CGameEngine::SetPileAttribute(ActionDef& action, uint16_t* result) {
    const uint16_t p = action.sourcePile;
    if (p >= pileStates.size())
        return false;
    PileState& pile = pileStates[p];
    const uint16_t value = action.value;
    switch (action.subKind) {
    case PileAcceptsDrops:
    case PileEnabled: {
        uint8_t& flag = action.subKind == PileAcceptsDrops ? pile.acceptsDrops : pile.enabled;
        const uint8_t old = flag;
        flag = static_cast<uint8_t>(value & 0xFF);
        if (result)
            *result = static_cast<uint16_t>(kChangeMaskFlag | old);
        return flag != old;
    }
    case PileReverse:
        for (CardState& card : cardStates)
            if (card.pile == p)
                card.position = static_cast<int16_t>(pile.count - 1 - card.position);
        return true;
    case PileDropProgram:
    case PilePickupProgram: {
        uint16_t& program = action.subKind == PileDropProgram ? pile.dropProgram : pile.pickupProgram;
        const uint16_t old = program;
        program = value;
        if (result)
            *result = old;
        return value != old;
    }
    case PileAttributeValue: {
        const uint32_t oldLow = pile.attribute;
        const uint32_t oldHigh = pile.attributeHigh;
        const bool marked = p < piles.size() && piles[p].baseKind == BaseMarked;
        if (marked) {
            pile.attributeHigh = value >> 8;
            pile.attribute = value & 0xFFu;
            if (result)
                *result = static_cast<uint16_t>(oldHigh * 256u + oldLow);
        } else {
            pile.attribute = (oldLow & 0xFFFF0000u) | value;
            if (result)
                *result = static_cast<uint16_t>(oldLow & 0xFFFFu);
        }
        return pile.attribute != oldLow || pile.attributeHigh != oldHigh;
    }
    case PileShuffle:
        return ShufflePile(action, result);
    default:
        return false;
    }
}

bool CGameEngine::ShufflePile(ActionDef& action, uint16_t* result) {
    const uint16_t p = action.sourcePile;
    // Forward, a new seed is drawn and kept in the action and the result;
    // undo passes that seed back in the value and runs the swaps backwards.
    // The seed comes from the game's own generator, and only when the pile
    // holds cards: every draw then belongs to a shuffle that the history
    // records, and the undo direction gives its two draws back, so that
    // undoing a shuffle and shuffling again deals the same cards.
    const int n = pileStates[p].count;
    if (n == 0) {
        if (result)
            *result = 0;
        return false;
    }
    uint16_t seed;
    if (result) {
        seed = static_cast<uint16_t>(NextRandom(shuffleState));
        seed = static_cast<uint16_t>(seed + NextRandom(shuffleState));
        *result = seed;
        action.value = seed;
    } else {
        seed = action.value;
        PreviousRandom(shuffleState);
        PreviousRandom(shuffleState);
    }
    std::vector<uint16_t> order(n, kNone);
    for (size_t c = 0; c < cardStates.size(); ++c)
        if (cardStates[c].pile == p && cardStates[c].position >= 0 && cardStates[c].position < n)
            order[cardStates[c].position] = static_cast<uint16_t>(c);
    const auto swapAt = [&](int i) {
        std::swap(order[i], order[ShufflePartner(static_cast<uint32_t>(i), seed, static_cast<uint32_t>(n))]);
    };
    if (result)
        for (int i = 0; i < n; ++i)
            swapAt(i);
    else
        for (int i = n - 1; i >= 0; --i)
            swapAt(i);
    for (int k = 0; k < n; ++k)
        if (order[k] != kNone)
            cardStates[order[k]].position = static_cast<int16_t>(k);
    return true;
}

bool CGameEngine::SetCardAttribute(const ActionDef& action, uint16_t* result) {
    const uint16_t p = action.sourcePile;
    if (p >= pileStates.size())
        return false;
    const CardRange range = SelectRange(action.sourceMode, action.sourcePosition, action.count, pileStates[p].count);
    const uint8_t value = static_cast<uint8_t>(action.value & 0xFF);
    ChangeRecorder changes(range.GetSize());
    bool changed = false;
    for (CardState& card : cardStates) {
        if (card.pile != p || card.position < range.lo || card.position >= range.hi)
            continue;
        uint8_t* flag = CardFlag(card, action.subKind);
        if (!flag)
            break;
        if (*flag != value) {
            *flag = value;
            changed = true;
            changes.Changed(card.position - range.lo);
        }
    }
    if (result)
        *result = changes.Result();
    return changed;
}

bool CGameEngine::ForbidMove(uint16_t s, uint16_t d) {
    const size_t pileTotal = pileStates.size();
    if (s == d || pileTotal < 2 || !LinkPileOk(s, pileTotal) || !LinkPileOk(d, pileTotal))
        return false;
    const uint16_t piles16 = static_cast<uint16_t>(pileTotal);
    bool removed = false;
    for (size_t i = 0; i < moveLinks.size();) {
        const MoveLink link = moveLinks[i];
        const bool anyAny = link.sourcePile == kAnyPile && link.destPile == kAnyPile;
        const bool sourceAny = !anyAny && link.sourcePile == s && link.destPile == kAnyPile;
        const bool anyDest = !anyAny && link.sourcePile == kAnyPile && link.destPile == d;
        const bool exact = (link.sourcePile == s && link.destPile == d) ||
                           (link.sourcePile == s && d == kAnyPile) ||
                           (s == kAnyPile && link.destPile == d);
        if (!anyAny && !sourceAny && !anyDest && !exact) {
            ++i;
            continue;
        }
        moveLinks.erase(moveLinks.begin() + static_cast<std::ptrdiff_t>(i));
        removed = true;
        if (anyAny) {
            if (s == kAnyPile) {
                for (uint16_t q = 0; q < piles16; ++q)
                    if (q != d)
                        AppendLink(moveLinks, kAnyPile, q);
            } else {
                // Every other source keeps all its moves; s keeps the
                // moves to every pile but d (to none when d is any).
                for (uint16_t q = 0; q < piles16; ++q)
                    if (q != s)
                        AppendLink(moveLinks, q, kAnyPile);
                if (d != kAnyPile)
                    for (uint16_t q = 0; q < piles16; ++q)
                        if (q != s && q != d)
                            AppendLink(moveLinks, s, q);
            }
        } else if (sourceAny && d != kAnyPile) {
            for (uint16_t q = 0; q < piles16; ++q)
                if (q != s && q != d)
                    AppendLink(moveLinks, s, q);
        } else if (anyDest && s != kAnyPile) {
            for (uint16_t q = 0; q < piles16; ++q)
                if (q != s && q != d)
                    AppendLink(moveLinks, q, d);
        }
    }
    return removed;
}

bool CGameEngine::AllowMove(uint16_t s, uint16_t d) {
    const size_t pileTotal = pileStates.size();
    if (!LinkPileOk(s, pileTotal) || !LinkPileOk(d, pileTotal))
        return false;
    if (MoveLinkAllows(s, d) || moveLinks.size() >= kMaxMoveLinks)
        return false;
    moveLinks.push_back(MoveLink{s, d});
    return true;
}

bool CGameEngine::ResetCounter(uint16_t c, uint16_t* result) {
    if (c >= counters.size() || c >= counterDefs.size())
        return false;
    if (result)
        *result = counters[c].value;
    counters[c].value = counterDefs[c].initialValue;
    return true;
}

bool CGameEngine::MoveLinkAllows(uint16_t source, uint16_t dest) const {
    for (const MoveLink& link : moveLinks)
        if ((link.sourcePile == kAnyPile || link.sourcePile == source) &&
            (link.destPile == kAnyPile || link.destPile == dest))
            return true;
    return false;
}

}  // namespace corvelle
