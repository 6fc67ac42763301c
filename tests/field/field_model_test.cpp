// The field's copy of the game, its draw order, moving runs in it, and the
// arithmetic of the move animation and the hint blink.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/records.h"
#include "field/animation.h"
#include "field/field_model.h"
#include "library_games.h"

namespace corvelle {
namespace {

TEST(FieldModel, CopyHoldsEveryCardOfTheDealInItsPlace) {
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, "Klondike (draw one)", 3));
    engine.pileStates[2].acceptsDrops = 0;  // hidden piles keep their cards
    FieldLayout layout;
    ASSERT_TRUE(BuildFieldLayout(engine, layout));
    ASSERT_EQ(layout.piles.size(), engine.piles.size());
    EXPECT_EQ(layout.cardWidth, 0u);  // no geometry before the field prepares to draw
    size_t cards = 0;
    for (size_t p = 0; p < layout.piles.size(); ++p) {
        const FieldPile& pile = layout.piles[p];
        EXPECT_EQ(pile.GetCardCount(), engine.pileStates[p].count) << p;
        EXPECT_EQ(pile.visible, p == 2 ? 0 : 1) << p;
        EXPECT_EQ(pile.fan, engine.piles[p].fan);
        for (size_t i = 0; i < pile.cards.size(); ++i) {
            const FieldCard& c = pile.cards[i];
            const CardState& s = engine.cardStates[c.card];
            EXPECT_EQ(s.pile, p);
            EXPECT_EQ(s.position, static_cast<int>(i));
            EXPECT_EQ(c.suit, engine.cards[c.card].suit - 1u);
            EXPECT_EQ(c.rank, engine.cards[c.card].rank - 1u);
            EXPECT_EQ(c.faceUp, s.faceUp != 0);
            ++cards;
        }
    }
    EXPECT_EQ(cards, engine.cards.size());
}

TEST(FieldModel, BaseMarksAndExtentModesFollowThePileKinds) {
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, "Golf", 1));
    engine.piles[0].baseKind = BaseMarked;
    engine.pileStates[0].attribute = 0;
    engine.pileStates[0].attributeHigh = 0;
    engine.piles[1].baseKind = BaseMarked;
    engine.pileStates[1].attribute = 13;
    engine.pileStates[1].attributeHigh = 4;
    engine.piles[2].baseKind = BasePictured;
    engine.pileStates[2].attribute = 0x20001;
    for (uint8_t kind = 0; kind < 4; ++kind) engine.piles[3 + kind].extentKind = kind;
    FieldLayout layout;
    ASSERT_TRUE(BuildFieldLayout(engine, layout));
    EXPECT_EQ(layout.piles[0].baseValue, kNoMark);
    EXPECT_EQ(layout.piles[0].baseSuit, kNoMark);
    EXPECT_EQ(layout.piles[1].baseValue, 12u);
    EXPECT_EQ(layout.piles[1].baseSuit, 3u);
    EXPECT_EQ(layout.piles[2].baseValue, 1u);
    EXPECT_EQ(layout.piles[3].extentMode, 0u);
    EXPECT_EQ(layout.piles[4].extentMode, 1u);
    EXPECT_EQ(layout.piles[5].extentMode, 3u);
    EXPECT_EQ(layout.piles[6].extentMode, 3u);
}

TEST(FieldModel, CardsWithPlacesOutsideTheirPileAreLeftOutWithoutGaps) {
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, "Golf", 1));
    // Pile 0 of Golf holds five cards. One card names a pile that does not
    // exist, one a position past its pile, one the place of another card.
    const uint16_t a = engine.CardAt(0, 1), b = engine.CardAt(0, 3), c = engine.CardAt(0, 4);
    const uint16_t bottom = engine.CardAt(0, 0), middle = engine.CardAt(0, 2);
    engine.cardStates[a].pile = 999;
    engine.cardStates[b].position = 40;
    engine.cardStates[c].position = 0;
    FieldLayout layout;
    EXPECT_FALSE(BuildFieldLayout(engine, layout));
    const std::vector<FieldCard>& cards = layout.piles[0].cards;
    // Pile 0 now counts four cards (a has left): places 0 and 2 are taken
    // (place 0 by the lower card number of the two that name it), so the pile
    // closes up to those two cards.
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].card, std::min(bottom, c));
    EXPECT_EQ(cards[1].card, middle);
    size_t total = 0;
    for (const FieldPile& p : layout.piles) total += p.cards.size();
    EXPECT_EQ(total, engine.cards.size() - 3);
}

TEST(FieldModel, DrawOrderIsAscendingWithTiesInPileOrder) {
    FieldLayout layout;
    const uint16_t keys[] = {5, 1, 5, 0, 1, 200};
    for (uint16_t k : keys) {
        FieldPile p;
        p.drawOrder = k;
        layout.piles.push_back(p);
    }
    EXPECT_EQ(SortPilesByZOrder(layout), (std::vector<uint16_t>{3, 1, 4, 0, 2, 5}));
    EXPECT_TRUE(SortPilesByZOrder(FieldLayout{}).empty());
}

FieldLayout Numbered(std::vector<int> counts) {
    FieldLayout layout;
    layout.SetStandardGeometry();
    uint16_t next = 0;
    for (int n : counts) {
        FieldPile p;
        p.visible = 1;
        for (int i = 0; i < n; ++i) {
            FieldCard c;
            c.card = next++;
            p.cards.push_back(c);
        }
        layout.piles.push_back(p);
    }
    return layout;
}

std::vector<uint16_t> CardsOf(const FieldLayout& layout, size_t pile) {
    std::vector<uint16_t> out;
    for (const FieldCard& c : layout.piles[pile].cards) out.push_back(c.card);
    return out;
}

TEST(FieldModel, MoveRunInsertsAtTheIndexAndRefusesRangesThatDoNotFit) {
    FieldLayout layout = Numbered({4, 2});  // pile 0: 0 1 2 3; pile 1: 4 5
    ASSERT_TRUE(MoveFieldRun(layout, 0, 2, 2, 1, 1));
    EXPECT_EQ(CardsOf(layout, 0), (std::vector<uint16_t>{0, 1}));
    EXPECT_EQ(CardsOf(layout, 1), (std::vector<uint16_t>{4, 2, 3, 5}));
    const FieldLayout before = layout;
    EXPECT_FALSE(MoveFieldRun(layout, 0, 0, 0, 1, 0));   // no cards
    EXPECT_FALSE(MoveFieldRun(layout, 0, 1, 2, 1, 0));   // past the source
    EXPECT_FALSE(MoveFieldRun(layout, 0, 0, 1, 1, 5));   // past the destination
    EXPECT_FALSE(MoveFieldRun(layout, 0, 0, 1, 2, 0));   // no such pile
    // Within one pile the index counts what is left: 4 cards, run of 2.
    EXPECT_FALSE(MoveFieldRun(layout, 1, 2, 2, 1, 3));
    EXPECT_EQ(CardsOf(layout, 1), CardsOf(before, 1));
    EXPECT_EQ(CardsOf(layout, 0), CardsOf(before, 0));
    ASSERT_TRUE(MoveFieldRun(layout, 1, 2, 2, 1, 0));
    EXPECT_EQ(CardsOf(layout, 1), (std::vector<uint16_t>{3, 5, 4, 2}));
    // The whole pile leaves it empty.
    ASSERT_TRUE(MoveFieldRun(layout, 0, 0, 2, 1, 4));
    EXPECT_TRUE(layout.piles[0].cards.empty());
    uint16_t pile = 0, index = 0;
    ASSERT_TRUE(FindFieldCard(layout, 1, &pile, &index));
    EXPECT_EQ(pile, 1);
    EXPECT_EQ(index, 5);
    EXPECT_FALSE(FindFieldCard(layout, 77, &pile, &index));
}

TEST(Animation, RunImagesUseFullStepsWithTheFirstCardAtTheFarEndForLeftAndUp) {
    FieldLayout layout;
    layout.SetStandardGeometry();
    RunImageGeometry g = MeasureRun(layout, FanLeft, 3);
    EXPECT_EQ(g.width, 79 + 40);
    EXPECT_EQ(g.height, 112);
    EXPECT_EQ(g.firstX, 40);
    EXPECT_EQ(g.dx, -20);
    g = MeasureRun(layout, FanUp, 3);
    EXPECT_EQ(g.height, 112 + 40);
    EXPECT_EQ(g.firstY, 40);
    EXPECT_EQ(g.dy, -20);
    g = MeasureRun(layout, FanDown, 13);
    EXPECT_EQ(g.height, 112 + 240);
    EXPECT_EQ(g.firstY, 0);
    g = MeasureRun(layout, FanRight, 1);
    EXPECT_EQ(g.width, 79);
    EXPECT_EQ(g.firstX, 0);
    g = MeasureRun(layout, FanNone, 5);
    EXPECT_EQ(g.width, 79);
    EXPECT_EQ(g.height, 112);
    EXPECT_TRUE(g.lastOnly);
}

TEST(Animation, FourFramesAtFifthsOfTheWayWithoutTheEnd) {
    auto f = AnimationFrames({100, 50}, {200, 50});
    EXPECT_EQ(f[0].x, 100);
    EXPECT_EQ(f[1].x, 120);
    EXPECT_EQ(f[2].x, 140);
    EXPECT_EQ(f[3].x, 160);
    EXPECT_EQ(f[3].y, 50);
    // Backwards: -7 * 256 / 5 = -358 (truncated); frames floor by the shift.
    f = AnimationFrames({10, 10}, {3, 10});
    EXPECT_EQ(f[1].x, (10 * 256 - 358) >> 8);
    EXPECT_EQ(f[3].x, (10 * 256 - 3 * 358) >> 8);
    f = AnimationFrames({7, 9}, {7, 9});
    for (const FramePoint& p : f) {
        EXPECT_EQ(p.x, 7);
        EXPECT_EQ(p.y, 9);
    }
}

TEST(Animation, BlinkFlashesTheCardThenTheTargetAndEndsWithNoHighlight) {
    FieldLayout layout = Numbered({3, 0, 2});
    const BlinkStep off{};
    std::vector<BlinkStep> s = BlinkSequence(layout, 1, kFieldNone);  // click on an empty pile: its base
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].pile, 1);
    EXPECT_EQ(s[0].index, kFieldNone);
    EXPECT_EQ(s[1].pile, off.pile);
    EXPECT_EQ(s[2].pile, 1);
    EXPECT_EQ(s[3].pile, off.pile);
    s = BlinkSequence(layout, 0, kFieldNone);
    EXPECT_EQ(s[0].index, 2);
    s = BlinkSequence(layout, 4, 0);  // card 4 is pile 2 index 1, onto pile 0
    ASSERT_EQ(s.size(), 8u);
    EXPECT_EQ(s[0].pile, 2);
    EXPECT_EQ(s[0].index, 1);
    EXPECT_EQ(s[2].index, 1);
    EXPECT_EQ(s[4].pile, 0);
    EXPECT_EQ(s[4].index, 2);
    for (int k = 1; k < 8; k += 2) {
        EXPECT_EQ(s[k].pile, kFieldNone);
        EXPECT_EQ(s[k].index, kFieldNone);
    }
    s = BlinkSequence(layout, 99, 1);  // a card the field does not hold
    ASSERT_EQ(s.size(), 8u);
    EXPECT_EQ(s[0].pile, kFieldNone);
    EXPECT_EQ(s[4].pile, 1);
    EXPECT_EQ(s[4].index, kFieldNone);
}

}  // namespace
}  // namespace corvelle
