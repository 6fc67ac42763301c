// Helpers of the game-state tests: layouts with chosen deal counts, reading a
// pile bottom to top, and snapshots of the runtime records.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/game_engine.h"
#include "engine/invariants.h"
#include "models/action_records.h"
#include "support/sample_games.h"

namespace corvelle::test {

// The simple game (one card group) with pile i dealing counts[i] cards; the
// counts must add up to 52 x decks.
inline GameDefinitionData GameWithCounts(const std::vector<uint16_t>& counts, int decks = 1) {
    GameDefinitionData g = MakeSimpleGame(static_cast<int>(counts.size()), decks);
    for (size_t i = 0; i < counts.size(); ++i)
        g.piles[i].dealCount = counts[i];
    return g;
}

// Loads and deals; fails the test when either step fails.
inline void LoadAndDeal(CGameEngine& engine, const GameDefinitionData& game, uint32_t number = 1) {
    ASSERT_TRUE(LoadInto(engine, game));
    ASSERT_TRUE(engine.NewDeal(number));
}

// The cards of a pile, bottom first.
inline std::vector<int> PileCards(const CGameEngine& engine, uint16_t pile) {
    std::vector<int> out(engine.pileStates.at(pile).count, -1);
    for (size_t c = 0; c < engine.cardStates.size(); ++c) {
        const CardState& s = engine.cardStates[c];
        if (s.pile == pile && s.position >= 0 && static_cast<size_t>(s.position) < out.size())
            out[s.position] = static_cast<int>(c);
    }
    return out;
}

inline ::testing::AssertionResult Consistent(const CGameEngine& engine) {
    std::string why;
    if (CheckGameInvariants(engine, &why))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << why;
}

// The bytes of the card, pile and counter states, as a saved game stores them.
struct StateSnapshot {
    std::vector<uint8_t> cards, piles, counters;
    uint32_t shuffleState;
    explicit StateSnapshot(const CGameEngine& e)
        : cards(Bytes(e.cardStates)), piles(Bytes(e.pileStates)), counters(Bytes(e.counters)),
          shuffleState(e.shuffleState) {}
    bool operator==(const StateSnapshot& o) const {
        return cards == o.cards && piles == o.piles && counters == o.counters && shuffleState == o.shuffleState;
    }
    template <typename T>
    static std::vector<uint8_t> Bytes(const std::vector<T>& v) {
        std::vector<uint8_t> out(v.size() * sizeof(T));
        if (!out.empty())
            std::memcpy(out.data(), v.data(), out.size());
        return out;
    }
};

// An owner that counts the hint resets of the history.
class CountingOwner : public CEngineOwner {
public:
    void ResetHintIndex() override { ++resets; }
    uint32_t GetElapsedSeconds() const override { return 0; }
    void SetElapsedSeconds(uint32_t) override {}
    uint32_t* GetSaveStamps() override { return stamps; }
    uint32_t GetGameNumber() const override { return 0; }
    void SetGameNumber(uint32_t) override {}
    int resets = 0;
    uint32_t stamps[10] = {};
};

}  // namespace corvelle::test
