// The deal: a fresh game in play from the loaded definition and a game number.
#include "engine/deal.h"

#include <new>

#include "engine/crt_random.h"
#include "engine/game_engine.h"

namespace corvelle {

uint32_t DealCandidate(int32_t i, uint32_t s, uint16_t cardCount) {
    static constexpr uint32_t kModuli[] = {2, 3, 5, 7, 11, 13, 17, 43, 73, 107, 149, 181};
    const uint32_t ui = static_cast<uint32_t>(i);
    const uint32_t t = ui + s;
    const uint32_t a = (3u * ui + s) % 23u;
    const uint32_t b = static_cast<uint32_t>(i % 2 + i % 3 + i % 5 + i % 7 + i % 11);
    const uint32_t c = t % 5u + 1u;
    uint32_t e = 0;
    for (uint32_t m : kModuli)
        e += t % m;
    return (a + b * c + e) % cardCount;
}

int DealProbeStep(uint16_t cardCount) {
    for (int step : {7, 11, 13, 17})
        if (cardCount % step != 0)
            return step;
    return 1;
}

PileState InitialPileState(const PileDef& def) {
    PileState ps{};
    ps.x = def.x;
    ps.y = def.y;
    ps.fan = def.fan;
    ps.acceptsDrops = def.acceptsDrops;
    ps.dropProgram = def.dropProgram;
    ps.pickupProgram = def.pickupProgram;
    ps.manualExposure = def.manualExposure;
    ps.enabled = def.enabled;
    if (def.baseKind == BaseMarked) {
        ps.attribute = def.attribute & 0xFFu;
        ps.attributeHigh = def.attribute >> 8;
    } else {
        ps.attribute = def.attribute;
    }
    return ps;
}

bool CGameEngine::NewDeal(uint32_t& gameNumber) {
    FreeGameState();
    if (!HasDefinition() || cards.empty() || !AllocateGameState())
        return false;
    if (gameNumber == 0)
        gameNumber = DrawGameNumber();
    shuffleState = gameNumber;
    DealCardsToPiles(gameNumber);
    SetInitialPileStates();
    ApplyDealOverrides();
    for (size_t k = 0; k < counterDefs.size(); ++k)
        counters[k] = CounterState{counterDefs[k].initialValue, counterDefs[k].exhaustedEvent};
    finished = 0;
    RefreshExposedCards(Recording::Unrecorded);
    return true;
}

bool CGameEngine::AllocateGameState() {
    try {
        cardStates.assign(GetCardCount(), CardState{});
        pileStates.assign(GetPileCount(), PileState{});
        moveLinks = links;
        counters.resize(counterDefs.size());
        history.reset(new CMoveHistory(owner));
    } catch (const std::bad_alloc&) {
        // Without its arrays or its history the game cannot be played.
        FreeGameState();
        return false;
    }
    return true;
}

uint32_t CGameEngine::DrawGameNumber() {
    SeedRandom(TickCountMs());
    uint32_t drawn = 0;
    for (int b = 0; b < 4; ++b)
        drawn |= static_cast<uint32_t>(NextRandom() & 0xFF) << (8 * b);
    return drawn;
}

void CGameEngine::DealCardsToPiles(uint32_t gameNumber) {
    const uint16_t cardCount = GetCardCount();
    const uint16_t pileCount = GetPileCount();
    // Deal every card to its pile. The probe visits every card within
    // cardCount steps (the step is a prime that does not divide the count,
    // or 1), so a pile whose group has no free card left is closed after one
    // full round instead of probing for ever.
    const uint32_t s = gameNumber + 1000u;
    const int step = DealProbeStep(cardCount);
    std::vector<uint8_t> used(cardCount, 0);
    unsigned pile = 0;
    int dealtToPile = 0;
    for (int32_t i = 0; i < static_cast<int32_t>(cardCount);) {
        while (pile < pileCount && dealtToPile >= piles[pile].dealCount) {
            ++pile;
            dealtToPile = 0;
        }
        if (pile >= pileCount)
            break;
        const uint16_t group = piles[pile].cardGroup;
        int j = static_cast<int>(DealCandidate(i, s, cardCount));
        int probes = 0;
        while ((used[j] || cards[j].cardGroup != group) && probes < cardCount) {
            // The step may exceed a small deck: wrap by whole decks.
            j = (j + cardCount - step % cardCount) % cardCount;
            ++probes;
        }
        if (used[j] || cards[j].cardGroup != group) {
            // No card of this pile's group is left: the pile takes no more.
            ++pile;
            dealtToPile = 0;
            continue;
        }
        used[j] = 1;
        CardState& card = cardStates[j];
        card.faceUp = piles[pile].dealFaceUp;
        card.movable = 1;
        card.exposed = 0;
        card.pile = static_cast<uint16_t>(pile);
        card.position = static_cast<int16_t>(dealtToPile);
        pileStates[pile].count++;
        ++dealtToPile;
        ++i;
    }
    // Cards that found no pile (a definition whose deal counts fall short of
    // its deck) go on top of the last pile, so that every card lies on a pile.
    const uint16_t lastPile = static_cast<uint16_t>(pileCount - 1);
    for (uint16_t c = 0; c < cardCount; ++c) {
        if (used[c])
            continue;
        CardState& card = cardStates[c];
        card.faceUp = piles[lastPile].dealFaceUp;
        card.movable = 1;
        card.pile = lastPile;
        card.position = static_cast<int16_t>(pileStates[lastPile].count++);
    }
}

void CGameEngine::SetInitialPileStates() {
    for (uint16_t p = 0; p < GetPileCount(); ++p) {
        const uint16_t count = pileStates[p].count;
        pileStates[p] = InitialPileState(piles[p]);
        pileStates[p].count = count;
    }
}

void CGameEngine::ApplyDealOverrides() {
    // Cards the definition places: each swaps places with the card dealt
    // there, and both take their new pile's face.
    for (const CardPlacement& pl : placements) {
        const uint16_t there = CardAt(pl.pile, pl.position);
        if (there == kNone || there == pl.card || pl.card >= GetCardCount())
            continue;
        CardState& a = cardStates[pl.card];
        CardState& b = cardStates[there];
        std::swap(a.pile, b.pile);
        std::swap(a.position, b.position);
        a.faceUp = piles[a.pile].dealFaceUp;
        b.faceUp = piles[b.pile].dealFaceUp;
    }
    for (const PilePosition& flip : flips)
        for (CardState& card : cardStates)
            if (card.pile == flip.pile && card.position == flip.position)
                card.faceUp = card.faceUp ? 0 : 1;
    for (const PilePosition& lock : locks) {
        const uint16_t c = CardAt(lock.pile, lock.position);
        if (c != kNone)
            cardStates[c].movable = 0;
    }
    for (const PilePosition& exposure : exposures) {
        const uint16_t c = CardAt(exposure.pile, exposure.position);
        if (c != kNone)
            cardStates[c].exposed = 1;
    }
}

}  // namespace corvelle
