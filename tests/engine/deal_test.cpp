// The deal: generator, candidate and probe arithmetic, placements, flips,
// locks and exposures, and the state a deal leaves behind.
#include <gtest/gtest.h>

#include "engine/crt_random.h"
#include "engine/deal.h"
#include "engine/player_move.h"
#include "game_state_util.h"

using namespace corvelle;
using namespace corvelle::test;

namespace {

// 52 piles of one card each: pile k holds the k-th card chosen.
std::vector<int> FirstPicks(uint32_t number, int n) {
    CGameEngine engine;
    LoadAndDeal(engine, MakeSimpleGame(52), number);
    std::vector<int> out;
    for (int k = 0; k < n; ++k)
        out.push_back(PileCards(engine, static_cast<uint16_t>(k)).at(0));
    return out;
}

}  // namespace

TEST(CrtRandom, MatchesTheRuntimeSequence) {
    SeedRandom(1);
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    EXPECT_EQ(NextRandom(), 6334);
    SeedRandom(12345);
    const int bytes[4] = {NextRandom() & 0xFF, NextRandom() & 0xFF, NextRandom() & 0xFF, NextRandom() & 0xFF};
    EXPECT_EQ(bytes[0], 160);
    EXPECT_EQ(bytes[1], 220);
    EXPECT_EQ(bytes[2], 195);
    EXPECT_EQ(bytes[3], 109);
}

TEST(DealArithmetic, CandidatesAndProbeSteps) {
    EXPECT_EQ(DealCandidate(0, 1001, 52), 24u);   // A 12, B 0, C 2, E 324: 336 mod 52
    EXPECT_EQ(DealProbeStep(52), 7);
    EXPECT_EQ(DealProbeStep(104), 7);
    EXPECT_EQ(DealProbeStep(28), 11);
    EXPECT_EQ(DealProbeStep(77), 13);
    EXPECT_EQ(DealProbeStep(7 * 11 * 13), 17);
    EXPECT_EQ(DealProbeStep(7 * 11 * 13 * 17), 1);
    // i and s wrap as unsigned 32-bit numbers.
    EXPECT_LT(DealCandidate(0x7FFFFFFF, 0xFFFFFFFFu, 52), 52u);
}

TEST(Deal, KnownGamesPickKnownCards) {
    EXPECT_EQ(FirstPicks(1, 6), (std::vector<int>{24, 49, 12, 43, 42, 16}));
    EXPECT_EQ(FirstPicks(2, 6), (std::vector<int>{32, 50, 31, 8, 14, 42}));
}

TEST(Deal, ProbeStepsBackOverCardsOfOtherGroups) {
    // Game 1 tries card 24 first. Cards 24, 17, 10 and 3 belong to another
    // group, so the probe steps back by 7 and wraps to 3 - 7 + 52 = 48.
    GameDefinitionData g = GameWithCounts({1, 0, 47, 4});
    for (int c : {24, 17, 10, 3})
        g.cards[c].cardGroup = 1;
    g.piles[3].cardGroup = 1;
    CGameEngine engine;
    LoadAndDeal(engine, g, 1);
    EXPECT_EQ(PileCards(engine, 0), std::vector<int>{48});
    EXPECT_EQ(engine.pileStates[1].count, 0);
    for (int c : PileCards(engine, 3))
        EXPECT_EQ(engine.cards[c].cardGroup, 1);
    EXPECT_TRUE(Consistent(engine));
}

TEST(Deal, EmptyPilesArePassedOverAlsoAtTheStart) {
    CGameEngine engine;
    LoadAndDeal(engine, GameWithCounts({0, 0, 1, 0, 51}), 1);
    EXPECT_EQ(PileCards(engine, 2), std::vector<int>{24});
    EXPECT_EQ(engine.pileStates[0].count, 0);
    EXPECT_EQ(engine.pileStates[4].count, 51);
    EXPECT_TRUE(Consistent(engine));
}

TEST(Deal, ShortGroupsEndTheProbeAndEveryCardStillLiesOnAPile) {
    // A definition the loader would refuse: ten cards of group 1 that no pile
    // takes, so the group-0 piles run short. The deal must still end and
    // leave every card in a defined place.
    CGameEngine engine;
    ASSERT_TRUE(LoadInto(engine, MakeSimpleGame(8)));
    for (int c = 0; c < 10; ++c)
        engine.cards[c].cardGroup = 1;
    uint32_t number = 5;
    ASSERT_TRUE(engine.NewDeal(number));
    EXPECT_TRUE(Consistent(engine));
    for (const CardState& s : engine.cardStates)
        EXPECT_EQ(s.movable, 1);
}

TEST(Deal, DecksSmallerThanTheProbeStepStayInBounds) {
    // Four cards probe with step 7: the step wraps round the deck more than once.
    GameDefinitionData g = MakeSimpleGame(2);
    g.cards.resize(4);
    g.piles[0].dealCount = 2;
    g.piles[1].dealCount = 2;
    for (uint32_t number = 1; number <= 50; ++number) {
        CGameEngine engine;
        LoadAndDeal(engine, g, number);
        EXPECT_TRUE(Consistent(engine)) << number;
    }
}

TEST(Deal, SameNumberSameLayoutAndDrawnNumbersAreWrittenBack) {
    for (int decks : {1, 2}) {
        GameDefinitionData g = MakeSimpleGame(10, decks);
        g.piles[3].dealFaceUp = 0;
        CGameEngine a, b;
        LoadAndDeal(a, g, 77);
        LoadAndDeal(b, g, 77);
        EXPECT_TRUE(StateSnapshot(a) == StateSnapshot(b));
        EXPECT_TRUE(Consistent(a));
        for (const CardState& s : a.cardStates) {
            EXPECT_EQ(s.faceUp, s.pile == 3 ? 0 : 1);
            EXPECT_EQ(s.movable, 1);
        }
        uint32_t other = 78;
        ASSERT_TRUE(b.NewDeal(other));
        EXPECT_FALSE(StateSnapshot(a) == StateSnapshot(b));

        uint32_t drawn = 0;
        ASSERT_TRUE(a.NewDeal(drawn));
        uint32_t again = drawn;
        ASSERT_TRUE(b.NewDeal(again));
        EXPECT_EQ(again, drawn);
        // The shuffles start from the game number, so a restart repeats them.
        EXPECT_EQ(a.shuffleState, drawn);
        EXPECT_TRUE(StateSnapshot(a) == StateSnapshot(b));
    }
}

TEST(Deal, StartGameReportsTheNumberItDealt) {
    // The new-game step keeps the number it dealt, so that a restart deals
    // the same game again.
    const GameDefinitionData g = MakeSimpleGame(10);
    CGameEngine a, b;
    ASSERT_TRUE(LoadInto(a, g));
    ASSERT_TRUE(LoadInto(b, g));
    uint32_t dealt = 0;
    ASSERT_TRUE(StartGame(a, 0, &dealt));
    EXPECT_NE(dealt, 0u);
    ASSERT_TRUE(StartGame(b, dealt));
    EXPECT_TRUE(StateSnapshot(a) == StateSnapshot(b));
    ASSERT_TRUE(StartGame(a, 42, &dealt));
    EXPECT_EQ(dealt, 42u);
}

TEST(Deal, PileStatesLinksCountersAndHistory) {
    GameDefinitionData g = MakeSimpleGame(4);
    g.piles[1].baseKind = BaseMarked;
    g.piles[1].attribute = 0x0203;
    g.piles[2].attribute = 0x0405;
    g.piles[2].acceptsDrops = 0;
    g.piles[3].manualExposure = 1;
    g.links.push_back(MoveLink{1, 2});
    g.counterDefs.push_back(CounterDef{3, 0});
    CountingOwner owner;
    CGameEngine engine(&owner);
    LoadAndDeal(engine, g, 9);
    EXPECT_EQ(engine.pileStates[1].attribute, 3u);
    EXPECT_EQ(engine.pileStates[1].attributeHigh, 2u);
    EXPECT_EQ(engine.pileStates[2].attribute, 0x0405u);
    EXPECT_EQ(engine.pileStates[2].attributeHigh, 0u);
    EXPECT_EQ(engine.pileStates[2].acceptsDrops, 0);
    EXPECT_EQ(engine.pileStates[0].x, engine.piles[0].x);
    EXPECT_EQ(engine.pileStates[0].dropProgram, 1);
    ASSERT_EQ(engine.GetMoveLinkCount(), 2);
    EXPECT_EQ(engine.moveLinks[1].destPile, 2);
    ASSERT_EQ(engine.counters.size(), 1u);
    EXPECT_EQ(engine.counters[0].value, 3);
    EXPECT_EQ(engine.finished, 0);
    ASSERT_NE(engine.GetHistory(), nullptr);
    EXPECT_FALSE(engine.CanUndo());
    EXPECT_EQ(owner.resets, 0);
    // Automatic exposure: only top cards; the manual pile keeps its flags.
    for (const CardState& s : engine.cardStates) {
        const bool top = s.position + 1 == engine.pileStates[s.pile].count;
        EXPECT_EQ(s.exposed, s.pile != 3 && top ? 1 : 0);
    }
}

TEST(Deal, PlacementsFlipsLocksAndExposures) {
    // Pile 0 deals 0 cards, piles 1..3 one each, pile 4 the rest (manual
    // exposure, dealt face down).
    GameDefinitionData g = GameWithCounts({0, 1, 1, 1, 49});
    g.piles[4].manualExposure = 1;
    g.piles[4].dealFaceUp = 0;
    CGameEngine plain;
    LoadAndDeal(plain, g, 3);
    const int onPile1 = PileCards(plain, 1)[0];
    const std::vector<int> stock = PileCards(plain, 4);
    const int wanted = stock[10];

    g.placements.push_back(CardPlacement{1, static_cast<uint16_t>(wanted), 0});  // swaps with the stock card
    g.placements.push_back(CardPlacement{0, 0, 0});                              // empty pile: nothing
    g.placements.push_back(CardPlacement{2, 0, 5});                              // no such position
    g.flips = {{2, 0}, {4, 48}, {0, 0}, {3, 1}};
    g.locks = {{3, 0}, {0, 0}, {4, -1}};
    g.exposures = {{4, 2}, {1, 0}, {0, 0}, {4, 60}};
    CGameEngine engine;
    LoadAndDeal(engine, g, 3);
    EXPECT_TRUE(Consistent(engine));

    const CardState& placed = engine.cardStates[wanted];
    EXPECT_EQ(placed.pile, 1);
    EXPECT_EQ(placed.position, 0);
    EXPECT_EQ(placed.faceUp, 1);   // takes pile 1's dealFaceUp
    const CardState& swapped = engine.cardStates[onPile1];
    EXPECT_EQ(swapped.pile, 4);
    EXPECT_EQ(swapped.position, 10);
    EXPECT_EQ(swapped.faceUp, 0);

    EXPECT_EQ(engine.cardStates[PileCards(engine, 2)[0]].faceUp, 0);   // flipped down
    EXPECT_EQ(engine.cardStates[stock[48]].faceUp, 1);                // flipped up
    EXPECT_EQ(engine.cardStates[PileCards(engine, 3)[0]].movable, 0);
    EXPECT_EQ(engine.cardStates[stock[2]].exposed, 1);    // manual pile keeps it
    EXPECT_EQ(engine.cardStates[stock[3]].exposed, 0);
    EXPECT_EQ(engine.cardStates[stock[48]].exposed, 0);   // manual pile: top not exposed
    // Everything else is as in the plain deal.
    int differences = 0;
    for (size_t c = 0; c < engine.cardStates.size(); ++c)
        differences += std::memcmp(&engine.cardStates[c], &plain.cardStates[c], sizeof(CardState)) != 0;
    EXPECT_EQ(differences, 2 /*placement*/ + 2 /*flips*/ + 1 /*lock*/ + 1 /*exposure*/);
}

TEST(Deal, RefusedWithoutADefinition) {
    CGameEngine engine;
    uint32_t number = 1;
    EXPECT_FALSE(engine.NewDeal(number));
    EXPECT_FALSE(engine.CanUndo());
    EXPECT_TRUE(engine.UndoOne());
}
