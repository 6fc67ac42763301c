#include "engine/invariants.h"

#include <string>
#include <vector>

namespace corvelle {

namespace {

bool Fail(std::string* reason, const std::string& text) {
    if (reason)
        *reason = text;
    return false;
}

}  // namespace

bool CheckGameInvariants(const CGameEngine& engine, std::string* reason) {
    const size_t pileTotal = engine.pileStates.size();
    if (engine.cardStates.size() != engine.cards.size())
        return Fail(reason, "card states: " + std::to_string(engine.cardStates.size()) + " for " +
                                std::to_string(engine.cards.size()) + " cards");
    if (pileTotal != engine.piles.size())
        return Fail(reason, "pile states: " + std::to_string(pileTotal) + " for " +
                                std::to_string(engine.piles.size()) + " piles");
    if (engine.counters.size() != engine.counterDefs.size())
        return Fail(reason, "counters: " + std::to_string(engine.counters.size()) + " for " +
                                std::to_string(engine.counterDefs.size()) + " defined");

    return CheckCardPlaces(engine.cardStates, engine.pileStates, reason);
}

bool CheckCardPlaces(const std::vector<CardState>& cards, const std::vector<PileState>& piles, std::string* reason) {
    const size_t pileTotal = piles.size();
    // Which card holds each place of each pile.
    std::vector<std::vector<int>> places(pileTotal);
    for (size_t p = 0; p < pileTotal; ++p)
        places[p].assign(piles[p].count, -1);
    for (size_t c = 0; c < cards.size(); ++c) {
        const CardState& card = cards[c];
        const std::string name = "card " + std::to_string(c);
        if (card.pile >= pileTotal)
            return Fail(reason, name + " lies on pile " + std::to_string(card.pile) + ", which does not exist");
        std::vector<int>& pile = places[card.pile];
        const std::string where = "pile " + std::to_string(card.pile) + " (count " + std::to_string(pile.size()) + ")";
        if (card.position < 0 || static_cast<size_t>(card.position) >= pile.size())
            return Fail(reason, name + " has position " + std::to_string(card.position) + " on " + where);
        int& holder = pile[card.position];
        if (holder >= 0)
            return Fail(reason, "cards " + std::to_string(holder) + " and " + std::to_string(c) +
                                    " share position " + std::to_string(card.position) + " on " + where);
        holder = static_cast<int>(c);
    }
    for (size_t p = 0; p < pileTotal; ++p)
        for (size_t pos = 0; pos < places[p].size(); ++pos)
            if (places[p][pos] < 0)
                return Fail(reason, "pile " + std::to_string(p) + " (count " + std::to_string(places[p].size()) +
                                        ") has no card at position " + std::to_string(pos));
    return true;
}

}  // namespace corvelle
