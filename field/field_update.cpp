#include "field/field_update.h"

#include <new>
#include <utility>

#include "engine/action_range.h"

namespace corvelle {

namespace {

bool HasPile(const FieldLayout& layout, uint16_t pile) { return pile < layout.piles.size(); }

}  // namespace

void QueueFieldUpdate(const ActionDef& action, const FieldLayout& layout, FieldUpdateList& updates) {
    FieldUpdate u;
    u.pile = action.sourcePile;
    switch (action.kind) {
    case ActionMoveCards:
        u.kind = FieldUpdateKind::MoveRun;
        u.sourceMode = action.sourceMode;
        u.position = action.sourcePosition;
        u.count = action.count;
        u.destPile = action.destPile;
        u.destMode = action.destMode;
        u.destPosition = action.destPosition;
        if (!HasPile(layout, u.destPile)) {
            updates.lost = true;
            return;
        }
        break;
    case ActionSetCardAttribute:
        if (action.subKind != CardFaceUp) return;
        u.kind = FieldUpdateKind::SetFaceUp;
        u.sourceMode = action.sourceMode;
        u.position = action.sourcePosition;
        u.count = action.count;
        u.value = action.value;
        break;
    case ActionSetPileAttribute:
        switch (action.subKind) {
        case PileAcceptsDrops:
            u.kind = FieldUpdateKind::SetVisible;
            u.value = action.value;
            break;
        case PileReverse:
            u.kind = FieldUpdateKind::Reverse;
            break;
        case PileShuffle:
            u.kind = FieldUpdateKind::Shuffle;
            u.value = action.value;   // the seed the engine drew
            break;
        case PileAttributeValue: {
            u.kind = FieldUpdateKind::BaseMarks;
            if (!HasPile(layout, u.pile)) break;
            const FieldPile& pile = layout.piles[u.pile];
            u.baseValue = pile.baseValue;
            u.baseSuit = pile.baseSuit;
            // The engine keeps a marked pile's value as rank (low byte) and
            // suit (high byte), each 0 for none; a pictured pile's as the
            // picture. Other bases draw no marks.
            if (pile.baseKind == BaseMarked) {
                u.baseValue = (action.value & 0xFFu) - 1u;
                u.baseSuit = (action.value >> 8u) - 1u;
            } else if (pile.baseKind == BasePictured) {
                u.baseValue = action.value;
            }
            break;
        }
        default:
            return;
        }
        break;
    default:
        return;
    }
    if (!HasPile(layout, u.pile)) {
        updates.lost = true;
        return;
    }
    try {
        updates.items.push_back(u);
    } catch (const std::bad_alloc&) {
        updates.lost = true;
    }
}

void SetRunFaceUp(FieldLayout& layout, uint16_t pile, uint16_t start, uint16_t count, bool faceUp) {
    if (!HasPile(layout, pile)) return;
    std::vector<FieldCard>& cards = layout.piles[pile].cards;
    for (size_t i = start; i < cards.size() && i < size_t{start} + count; ++i) cards[i].faceUp = faceUp ? 1 : 0;
}

void ReversePile(FieldLayout& layout, uint16_t pile) {
    if (!HasPile(layout, pile)) return;
    std::vector<FieldCard>& cards = layout.piles[pile].cards;
    const size_t n = cards.size();
    for (size_t i = 0; i < n / 2; ++i) std::swap(cards[i], cards[n - 1 - i]);
}

void ShufflePile(FieldLayout& layout, uint16_t pile, uint16_t seed) {
    if (!HasPile(layout, pile)) return;
    std::vector<FieldCard>& cards = layout.piles[pile].cards;
    const uint32_t n = static_cast<uint32_t>(cards.size());
    for (uint32_t i = 0; i < n; ++i) std::swap(cards[i], cards[ShufflePartner(i, seed, n)]);
}

bool MoveCardsInModel(FieldLayout& layout, uint16_t sourcePile, uint16_t fromIndex, uint16_t destinationPile) {
    if (!HasPile(layout, sourcePile) || !HasPile(layout, destinationPile)) return false;
    const size_t n = layout.piles[sourcePile].cards.size();
    if (n <= fromIndex) return false;
    const auto count = static_cast<uint16_t>(n - fromIndex);
    const size_t at = layout.piles[destinationPile].cards.size() - (sourcePile == destinationPile ? count : 0);
    return MoveFieldRun(layout, sourcePile, fromIndex, count, destinationPile, static_cast<uint16_t>(at));
}

bool ReplayFieldUpdate(FieldLayout& layout, const FieldUpdate& u, const FieldRunMover& move) {
    if (!HasPile(layout, u.pile)) return false;
    FieldPile& pile = layout.piles[u.pile];
    const int n = pile.GetCardCount();
    switch (u.kind) {
    case FieldUpdateKind::MoveRun: {
        if (!HasPile(layout, u.destPile)) return false;
        // The engine's own range and insertion rules, so that the copy takes
        // exactly the cards the engine moved.
        const CardRange range = SelectRange(u.sourceMode, u.position, u.count, n);
        if (range.GetSize() == 0) return false;
        const int left = layout.piles[u.destPile].GetCardCount() - (u.destPile == u.pile ? range.GetSize() : 0);
        const int at = InsertionPoint(u.destMode, u.destPosition, left, range.lo);
        move(u.pile, static_cast<uint16_t>(range.lo), static_cast<uint16_t>(range.GetSize()), u.destPile,
             static_cast<uint16_t>(at));
        return true;
    }
    case FieldUpdateKind::SetFaceUp: {
        const CardRange range = SelectRange(u.sourceMode, u.position, u.count, n);
        if (range.GetSize() == 0) return false;
        // The engine keeps the low byte of the value as the flag.
        SetRunFaceUp(layout, u.pile, static_cast<uint16_t>(range.lo), static_cast<uint16_t>(range.GetSize()),
                          (u.value & 0xFFu) != 0);
        return true;
    }
    case FieldUpdateKind::SetVisible:
        pile.visible = (u.value & 0xFFu) != 0 ? 1 : 0;
        return true;
    case FieldUpdateKind::Reverse:
        ReversePile(layout, u.pile);
        return true;
    case FieldUpdateKind::BaseMarks:
        pile.baseValue = u.baseValue;
        pile.baseSuit = u.baseSuit;
        return true;
    case FieldUpdateKind::Shuffle:
        ShufflePile(layout, u.pile, u.value);
        return true;
    }
    return false;
}

}  // namespace corvelle
