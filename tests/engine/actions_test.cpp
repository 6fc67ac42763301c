// ExecuteAction: every kind, the clipping of ranges and insertion points, the
// results handed to undo, and the move-link edits.
#include <gtest/gtest.h>

#include "engine/action_range.h"
#include "engine/crt_random.h"
#include "game_state_util.h"

using namespace corvelle;
using namespace corvelle::test;

namespace {

std::vector<int> Concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<int> Slice(const std::vector<int>& v, size_t from, size_t to) {
    return std::vector<int>(v.begin() + static_cast<std::ptrdiff_t>(from), v.begin() + static_cast<std::ptrdiff_t>(to));
}

class ActionsTest : public ::testing::Test {
protected:
    void SetUp() override { LoadAndDeal(engine, GameWithCounts({6, 8, 0, 4, 34}), 11); }

    // Executes a copy forward; returns whether it changed something.
    bool Run(ActionDef a, uint16_t* result = nullptr) {
        uint16_t scratch = 0xBEEF;
        const bool changed = engine.ExecuteAction(a, result ? result : &scratch);
        executed = a;
        return changed;
    }

    CGameEngine engine;
    ActionDef executed{};
};

}  // namespace

TEST_F(ActionsTest, FromPositionMovesToTheTopOrReportsTheCount) {
    const auto src = PileCards(engine, 1), dst = PileCards(engine, 3);
    uint16_t result = 0;
    // p at or above c - n: nothing moves, the result is still the count.
    EXPECT_FALSE(Run(Move(1, SourceFromPosition, 6, 2, 3, DestFromTop), &result));
    EXPECT_EQ(result, 8);
    EXPECT_EQ(executed.value, 0);
    // From position 5 with 1 card left on top.
    EXPECT_TRUE(Run(Move(1, SourceFromPosition, 5, 1, 3, DestFromTop), &result));
    EXPECT_EQ(result, 8);
    EXPECT_EQ(executed.value, 2);
    EXPECT_EQ(PileCards(engine, 1), Concat(Slice(src, 0, 5), {src[7]}));
    EXPECT_EQ(PileCards(engine, 3), Concat(dst, Slice(src, 5, 7)));
    EXPECT_TRUE(Consistent(engine));
}

TEST_F(ActionsTest, RangesReachingBeyondThePileHoldFewerCards) {
    const auto src = PileCards(engine, 1), dst = PileCards(engine, 3);
    uint16_t result = 0;
    // From the top, n larger than the pile: the whole pile, in order.
    EXPECT_TRUE(Run(Move(1, SourceFromTop, 0, 20, 3, DestFromTop), &result));
    EXPECT_EQ(result, 8);
    EXPECT_EQ(PileCards(engine, 3), Concat(dst, src));
    EXPECT_EQ(engine.pileStates[1].count, 0);
    EXPECT_TRUE(Consistent(engine));
    // Negative positions in modes 0, 1 and 2 never leave gaps.
    EXPECT_TRUE(Run(Move(3, SourceFromPosition, -3, 2, 1, DestFromTop), &result));
    EXPECT_EQ(PileCards(engine, 1), Slice(Concat(dst, src), 0, 10));
    EXPECT_TRUE(Consistent(engine));
    EXPECT_TRUE(Run(Move(1, SourceRange, -2, 5, 2, DestFromTop), &result));
    EXPECT_EQ(result, 3);
    EXPECT_TRUE(Consistent(engine));
    EXPECT_TRUE(Run(Move(1, SourceFromTop, -1, 3, 2, DestFromTop), &result));
    EXPECT_EQ(result, 2);   // positions c - 2 .. c + 0: two cards exist
    EXPECT_EQ(engine.pileStates[2].count, 5);
    EXPECT_TRUE(Consistent(engine));
    // Unknown source mode: empty range.
    EXPECT_FALSE(Run(Move(4, 7, 0, 3, 2, DestFromTop), &result));
    EXPECT_EQ(result, 0);
}

TEST_F(ActionsTest, InsertionPoints) {
    const auto a = PileCards(engine, 0), b = PileCards(engine, 1);
    // Mode 2 at 0: under the pile's cards.
    EXPECT_TRUE(Run(Move(0, SourceFromTop, 0, 2, 1, DestAtPosition, 0)));
    EXPECT_EQ(PileCards(engine, 1), Concat(Slice(a, 4, 6), b));
    // Mode 2 beyond the count: on top; mode 1 beyond the count: at the bottom.
    EXPECT_TRUE(Run(Move(0, SourceFromTop, 0, 1, 1, DestAtPosition, 500)));
    EXPECT_EQ(PileCards(engine, 1).back(), a[3]);
    EXPECT_TRUE(Run(Move(0, SourceFromTop, 0, 1, 1, DestFromTop, 500)));
    EXPECT_EQ(PileCards(engine, 1).front(), a[2]);
    // Mode 1 with q: q cards stay above the run.
    EXPECT_TRUE(Run(Move(0, SourceFromTop, 0, 1, 1, DestFromTop, 2)));
    auto now = PileCards(engine, 1);
    EXPECT_EQ(now[now.size() - 3], a[1]);
    // Unknown mode: where the source range started.
    const auto d = PileCards(engine, 3);
    EXPECT_TRUE(Run(Move(0, SourceRange, 0, 1, 3, 0)));
    EXPECT_EQ(PileCards(engine, 3), Concat({a[0]}, d));
    EXPECT_TRUE(Consistent(engine));
}

TEST_F(ActionsTest, MovingWithinOnePile) {
    const auto b = PileCards(engine, 1);
    EXPECT_TRUE(Run(Move(1, SourceFromTop, 0, 3, 1, DestAtPosition, 0)));
    EXPECT_EQ(PileCards(engine, 1), Concat(Slice(b, 5, 8), Slice(b, 0, 5)));
    EXPECT_TRUE(Run(Move(1, SourceRange, 0, 3, 1, DestFromTop, 0)));
    EXPECT_EQ(PileCards(engine, 1), b);
    EXPECT_TRUE(Run(Move(1, SourceRange, 2, 2, 1, DestAtPosition, 100)));
    EXPECT_EQ(PileCards(engine, 1), Concat(Concat(Slice(b, 0, 2), Slice(b, 4, 8)), Slice(b, 2, 4)));
    EXPECT_TRUE(Consistent(engine));
}

TEST_F(ActionsTest, PilesAndCountersThatDoNotExistChangeNothing) {
    const StateSnapshot before(engine);
    uint16_t result = 0;
    EXPECT_FALSE(Run(Move(99, SourceFromTop, 0, 1, 0, DestFromTop)));
    EXPECT_FALSE(Run(Move(0, SourceFromTop, 0, 1, 5, DestFromTop)));
    EXPECT_FALSE(Run(PileAttr(5, PileReverse, 0)));
    EXPECT_FALSE(Run(PileAttr(7, PileShuffle, 0), &result));
    EXPECT_FALSE(Run(CardAttr(5, SourceFromPosition, 0, 0, CardFaceUp, 0)));
    EXPECT_FALSE(Run(LinkAction(ActionForbidMove, 9, 1)));
    EXPECT_FALSE(Run(LinkAction(ActionAllowMove, 1, 9)));
    ActionDef reset{};
    reset.kind = ActionResetCounter;
    reset.sourcePile = 0;   // this game has no counters
    EXPECT_FALSE(Run(reset, &result));
    ActionDef unknown{};
    unknown.kind = 7;
    EXPECT_FALSE(Run(unknown, &result));
    EXPECT_TRUE(StateSnapshot(engine) == before);
    EXPECT_EQ(engine.GetMoveLinkCount(), 1);
    EXPECT_EQ(engine.finished, 0);
}

TEST_F(ActionsTest, PileFlagsProgramsAndReverse) {
    uint16_t result = 0;
    EXPECT_FALSE(Run(PileAttr(1, PileAcceptsDrops, 0x0101), &result));   // low byte 1 = the flag
    EXPECT_EQ(result, 0x8001);
    EXPECT_TRUE(Run(PileAttr(1, PileAcceptsDrops, 0x0100), &result));
    EXPECT_EQ(engine.pileStates[1].acceptsDrops, 0);
    EXPECT_TRUE(Run(PileAttr(1, PileEnabled, 0)));
    EXPECT_EQ(engine.pileStates[1].enabled, 0);
    EXPECT_TRUE(Run(PileAttr(1, PileDropProgram, 0), &result));
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(Run(PileAttr(1, PileDropProgram, 0), &result));
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(Run(PileAttr(1, PilePickupProgram, 0), &result));
    EXPECT_EQ(engine.pileStates[1].pickupProgram, 0);
    EXPECT_FALSE(Run(PileAttr(1, 7, 1)));
    EXPECT_FALSE(Run(PileAttr(1, 14, 1)));

    const auto b = PileCards(engine, 1);
    EXPECT_TRUE(Run(PileAttr(1, PileReverse, 0)));
    EXPECT_EQ(PileCards(engine, 1), std::vector<int>(b.rbegin(), b.rend()));
    const StateSnapshot before(engine);
    EXPECT_TRUE(Run(PileAttr(2, PileReverse, 0)));   // empty pile
    EXPECT_TRUE(StateSnapshot(engine) == before);
}

TEST(Actions, AttributeChangesAreReportedOnlyWhenStored) {
    GameDefinitionData g = MakeSimpleGame(3);
    g.piles[0].baseKind = BaseMarked;
    g.piles[0].attribute = 0x0105;
    g.piles[1].attribute = 0x0203;
    CGameEngine engine;
    LoadAndDeal(engine, g);
    uint16_t result = 0;
    ActionDef a = PileAttr(0, PileAttributeValue, 0x0203);
    EXPECT_TRUE(engine.ExecuteAction(a, &result));
    EXPECT_EQ(result, 0x0105);
    EXPECT_EQ(engine.pileStates[0].attributeHigh, 2u);
    EXPECT_EQ(engine.pileStates[0].attribute, 3u);
    a = PileAttr(0, PileAttributeValue, 0x0203);
    EXPECT_FALSE(engine.ExecuteAction(a, &result));   // same stored state
    a = PileAttr(0, PileAttributeValue, 0x0105);
    EXPECT_TRUE(engine.ExecuteAction(a, nullptr));   // undo with the recorded value
    EXPECT_EQ(engine.pileStates[0].attributeHigh, 1u);
    EXPECT_EQ(engine.pileStates[0].attribute, 5u);

    a = PileAttr(1, PileAttributeValue, 0x0203);
    EXPECT_FALSE(engine.ExecuteAction(a, &result));
    EXPECT_EQ(result, 0x0203);
    a = PileAttr(1, PileAttributeValue, 0x0003);
    EXPECT_TRUE(engine.ExecuteAction(a, &result));
    EXPECT_EQ(engine.pileStates[1].attribute, 3u);
}

TEST_F(ActionsTest, ShuffleRoundTripAndSeeds) {
    // The seed is two draws from the game's own generator, which the deal
    // started from the game number.
    EXPECT_EQ(engine.shuffleState, 11u);
    uint32_t expected = engine.shuffleState;
    const int r1 = NextRandom(expected), r2 = NextRandom(expected);
    SeedRandom(99);
    const StateSnapshot before(engine);
    const uint32_t dealt = engine.shuffleState;
    uint16_t seed = 0xBEEF;
    // Empty pile: false, and nothing drawn.
    EXPECT_FALSE(Run(PileAttr(2, PileShuffle, 0), &seed));
    EXPECT_EQ(seed, 0);
    EXPECT_EQ(engine.shuffleState, dealt);

    for (uint16_t pile : {1, 4}) {
        const auto cards = PileCards(engine, pile);
        ActionDef shuffle = PileAttr(pile, PileShuffle, 0);
        EXPECT_TRUE(engine.ExecuteAction(shuffle, &seed));
        if (pile == 1) {
            EXPECT_EQ(seed, static_cast<uint16_t>(r1 + r2));
            EXPECT_EQ(engine.shuffleState, expected);
        }
        EXPECT_EQ(shuffle.value, seed);
        EXPECT_NE(PileCards(engine, pile), cards);
        EXPECT_TRUE(Consistent(engine));
        // The undo direction: same seed, and the two draws given back.
        EXPECT_TRUE(engine.ExecuteAction(shuffle, nullptr));
        EXPECT_EQ(PileCards(engine, pile), cards);
        EXPECT_EQ(engine.shuffleState, dealt);
    }
    EXPECT_TRUE(StateSnapshot(engine) == before);
    // The global generator is not touched.
    EXPECT_EQ(NextRandom(), [] { uint32_t s = 99; return NextRandom(s); }());

    // One card swaps with itself.
    ASSERT_TRUE(Run(Move(0, SourceFromTop, 0, 5, 2, DestFromTop)));
    EXPECT_TRUE(Run(PileAttr(0, PileShuffle, 0), &seed));
    EXPECT_EQ(engine.pileStates[0].count, 1);
    EXPECT_TRUE(Consistent(engine));
}

TEST_F(ActionsTest, CardAttributesReportAnyChangedCard) {
    const auto b = PileCards(engine, 1);
    uint16_t result = 0;
    EXPECT_FALSE(Run(CardAttr(1, SourceFromPosition, 0, 0, CardFaceUp, 1), &result));
    EXPECT_EQ(result, kChangeMaskFlag);
    engine.cardStates[b[6]].faceUp = 0;
    EXPECT_TRUE(Run(CardAttr(1, SourceFromTop, 0, 3, CardFaceUp, 1), &result));
    EXPECT_EQ(result, kChangeMaskFlag | 0x2);   // range 5..7: the card at 6
    EXPECT_TRUE(Run(CardAttr(1, SourceRange, 2, 3, CardMovable, 0x0100), &result));
    EXPECT_EQ(result, kChangeMaskFlag | 0x7);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(engine.cardStates[b[k]].movable, k >= 2 && k < 5 ? 0 : 1);
    EXPECT_TRUE(Run(CardAttr(1, SourceRange, -4, 5, CardExposed, 1)));
    EXPECT_EQ(engine.cardStates[b[0]].exposed, 1);
    EXPECT_FALSE(Run(CardAttr(1, SourceRange, 0, 8, 3, 1), &result));   // no such attribute

    // A long range whose changes form one run, and one whose changes do not.
    const auto stock = PileCards(engine, 4);
    for (int k = 20; k < 30; ++k)
        engine.cardStates[stock[k]].faceUp = 0;
    EXPECT_TRUE(Run(CardAttr(4, SourceFromPosition, 2, 0, CardFaceUp, 1), &result));
    EXPECT_EQ(result, (18 << 8) | 10);
    engine.cardStates[stock[3]].faceUp = 0;
    engine.cardStates[stock[30]].faceUp = 0;
    EXPECT_TRUE(Run(CardAttr(4, SourceFromPosition, 0, 0, CardFaceUp, 1), &result));
    EXPECT_EQ(result, 0);
}

TEST_F(ActionsTest, ForbidAndAllowMoveLinks) {
    CGameEngine ten;
    LoadAndDeal(ten, MakeSimpleGame(10));
    ActionDef forbid = LinkAction(ActionForbidMove, 3, 7);
    ASSERT_TRUE(ten.ExecuteAction(forbid, nullptr));
    ASSERT_EQ(ten.GetMoveLinkCount(), 17);
    ASSERT_EQ(ten.moveLinks.size(), 17u);
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(ten.moveLinks[k].sourcePile, k < 3 ? k : k + 1);
        EXPECT_EQ(ten.moveLinks[k].destPile, kAnyPile);
    }
    for (int k = 9; k < 17; ++k)
        EXPECT_EQ(ten.moveLinks[k].sourcePile, 3);
    // Forbidding again removes nothing and adds nothing.
    forbid = LinkAction(ActionForbidMove, 3, 7);
    EXPECT_FALSE(ten.ExecuteAction(forbid, nullptr));
    EXPECT_EQ(ten.GetMoveLinkCount(), 17);
    ActionDef allow = LinkAction(ActionAllowMove, 3, 7);
    EXPECT_TRUE(ten.ExecuteAction(allow, nullptr));
    ASSERT_EQ(ten.GetMoveLinkCount(), 18);
    EXPECT_EQ(ten.moveLinks[17].sourcePile, 3);
    EXPECT_EQ(ten.moveLinks[17].destPile, 7);
    allow = LinkAction(ActionAllowMove, 4, 1);   // (4, any) permits it
    EXPECT_FALSE(ten.ExecuteAction(allow, nullptr));

    // (s, s), and any-to-any, change nothing.
    ActionDef same = LinkAction(ActionForbidMove, 2, 2);
    EXPECT_FALSE(engine.ExecuteAction(same, nullptr));
    same = LinkAction(ActionForbidMove, kAnyPile, kAnyPile);
    EXPECT_FALSE(engine.ExecuteAction(same, nullptr));
    EXPECT_EQ(engine.GetMoveLinkCount(), 1);

    // Wildcard sides: forbidding everything from pile 2 leaves (p, any) for the others.
    ActionDef fromTwo = LinkAction(ActionForbidMove, 2, kAnyPile);
    EXPECT_TRUE(engine.ExecuteAction(fromTwo, nullptr));
    EXPECT_EQ(engine.GetMoveLinkCount(), 4);
    ActionDef intoOne = LinkAction(ActionForbidMove, kAnyPile, 1);
    EXPECT_FALSE(engine.ExecuteAction(intoOne, nullptr));   // no link names pile 1 as destination
    ActionDef toOne = LinkAction(ActionForbidMove, 0, 1);
    EXPECT_TRUE(engine.ExecuteAction(toOne, nullptr));   // (0, any) becomes (0, 2), (0, 3), (0, 4)
    EXPECT_EQ(engine.GetMoveLinkCount(), 6);
    intoOne = LinkAction(ActionForbidMove, kAnyPile, 3);
    EXPECT_TRUE(engine.ExecuteAction(intoOne, nullptr));   // removes (0, 3)
    EXPECT_EQ(engine.GetMoveLinkCount(), 5);
}

TEST(Actions, MoveLinksNeverPass65535) {
    CGameEngine engine;
    LoadAndDeal(engine, MakeSimpleGame(256, 5));
    engine.moveLinks.clear();
    for (uint16_t s = 0; s < 255; ++s)
        engine.moveLinks.push_back(MoveLink{s, kAnyPile});
    for (uint16_t s = 0; s < 255 && engine.moveLinks.size() < 65533; ++s)
        for (uint16_t d = 0; d < 256 && engine.moveLinks.size() < 65533; ++d)
            engine.moveLinks.push_back(MoveLink{s, d});
    engine.moveLinks.push_back(MoveLink{255, kAnyPile});
    ASSERT_EQ(engine.GetMoveLinkCount(), 65534);
    ActionDef forbid = LinkAction(ActionForbidMove, 255, 4);   // splits (255, any) into 254 links
    EXPECT_TRUE(engine.ExecuteAction(forbid, nullptr));
    EXPECT_EQ(engine.GetMoveLinkCount(), 65535);
    EXPECT_EQ(engine.moveLinks.size(), 65535u);
    ActionDef allow = LinkAction(ActionAllowMove, kAnyPile, 5);
    EXPECT_FALSE(engine.ExecuteAction(allow, nullptr));
    EXPECT_EQ(engine.GetMoveLinkCount(), 65535);
}

TEST_F(ActionsTest, FinishAndResetCounter) {
    EXPECT_TRUE(Run(ActionDef{ActionFinishGame}));
    EXPECT_EQ(engine.finished, 1);

    GameDefinitionData g = MakeSimpleGame(3);
    g.counterDefs.push_back(CounterDef{4, 0});
    CGameEngine counted;
    LoadAndDeal(counted, g);
    counted.counters[0].value = 1;
    ActionDef reset{};
    reset.kind = ActionResetCounter;
    uint16_t result = 0;
    EXPECT_TRUE(counted.ExecuteAction(reset, &result));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(counted.counters[0].value, 4);
    EXPECT_TRUE(counted.ExecuteAction(reset, &result));   // always reports a change
}
