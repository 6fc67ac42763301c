#include "engine/game_engine.h"

namespace corvelle {

CGameEngine::CGameEngine(CEngineOwner* ownerWindow) : owner(ownerWindow) {}

CGameEngine::~CGameEngine() {
    FreeGameState();
    FreeGameDefinition();
}

void CGameEngine::FreeGameState() {
    history.reset();
    std::vector<CardState>().swap(cardStates);
    std::vector<PileState>().swap(pileStates);
    std::vector<MoveLink>().swap(moveLinks);
    std::vector<CounterState>().swap(counters);
}

uint16_t CGameEngine::CardAt(uint16_t pile, int position) const {
    for (size_t i = 0; i < cardStates.size(); ++i)
        if (cardStates[i].pile == pile && cardStates[i].position == position)
            return static_cast<uint16_t>(i);
    return kNone;
}

uint16_t CGameEngine::TopCard(uint16_t pile) const {
    if (pile >= pileStates.size() || pileStates[pile].count == 0)
        return kNone;
    return CardAt(pile, pileStates[pile].count - 1);
}

}  // namespace corvelle
