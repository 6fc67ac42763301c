// Rule card lists: the cards of a pile, of a moving run and of a pick-up, in
// the order the rule programs read them (top card first, face-down cards
// as suit 6, rank 15, ended by {0, 0}).
#include "engine/rules.h"

#include "engine/game_engine.h"

namespace corvelle {
namespace {

inline RuleCard EntryOf(const CardDef& def, const CardState& state) {
    if (!state.faceUp)
        return RuleCard{kFaceDownSuit, kFaceDownRank};
    return RuleCard{def.suit, def.rank};
}

// Lists: position p of a pile of `count` cards goes to entry count - 1 - p.
void FillTerminated(RuleCardList& out, size_t entries) {
    // Gaps (only possible in a corrupt state) read as face-down cards.
    out.assign(entries + 1, RuleCard{kFaceDownSuit, kFaceDownRank});
    out[entries] = RuleCard{0, 0};
}

// The list of the cards at positions from .. to - 1 of `pile`, the card at
// to - 1 first.
void FillFromPile(const CGameEngine& e, uint16_t pile, int from, int to, RuleCardList& out) {
    FillTerminated(out, to - from);
    for (size_t i = 0; i < e.cardStates.size() && i < e.cards.size(); ++i) {
        const CardState& s = e.cardStates[i];
        if (s.pile == pile && s.position >= from && s.position < to)
            out[to - 1 - s.position] = EntryOf(e.cards[i], s);
    }
}

}  // namespace

void CGameEngine::BuildPileCardList(uint16_t pile, RuleCardList& out) const {
    const int count = pile < pileStates.size() ? pileStates[pile].count : 0;
    FillFromPile(*this, pile, 0, count, out);
}

void CGameEngine::BuildMovingCardList(uint16_t card, RuleCardList& out) const {
    if (card >= cardStates.size() || cardStates[card].pile >= pileStates.size()) {
        FillTerminated(out, 0);
        return;
    }
    const uint16_t pile = cardStates[card].pile;
    const int count = pileStates[pile].count;
    const int from = cardStates[card].position;
    if (from < 0 || from >= count) {
        FillTerminated(out, 0);
        return;
    }
    FillFromPile(*this, pile, from, count, out);
}

void CGameEngine::BuildPickupCardLists(uint16_t card, RuleCardList& listA, RuleCardList& listB) const {
    BuildMovingCardList(card, listA);
    if (listA.size() == 1) {
        FillTerminated(listB, 0);
        return;
    }
    FillFromPile(*this, cardStates[card].pile, 0, cardStates[card].position, listB);
}

}  // namespace corvelle
