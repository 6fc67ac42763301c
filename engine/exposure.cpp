// Exposed flags of the piles that keep them automatically: only the top card
// of such a pile is exposed.
#include "engine/game_engine.h"

namespace corvelle {

void CGameEngine::RefreshExposedCards(bool record) {
    for (size_t c = 0; c < cardStates.size(); ++c) {
        CardState& card = cardStates[c];
        if (card.pile >= pileStates.size())
            continue;
        const PileState& pile = pileStates[card.pile];
        if (pile.manualExposure != 0)
            continue;
        const uint8_t exposed = card.position + 1 == pile.count ? 1 : 0;
        if (card.exposed == exposed)
            continue;
        card.exposed = exposed;
        if (record && history) {
            HistoryRecord r{};
            r.kind = HistoryExposedToggled;
            r.groupStart = 0;
            r.index = static_cast<uint16_t>(c);
            history->Push(r);
        }
    }
}

}  // namespace corvelle
