// Pile positions, fan limits and steps, the hit regions and what they find,
// on hand-made piles and on every game of the library.
#include <gtest/gtest.h>

#include "engine/covering.h"
#include "engine/records.h"
#include "field/hit_regions.h"
#include "field/pile_geometry.h"
#include "library_games.h"
#include "visible_points.h"

namespace corvelle {
namespace {

FieldLayout Standard() {
    FieldLayout layout;
    layout.SetStandardGeometry();
    return layout;
}

// A pile whose first card's top-left corner is (x, y) with start anchors:
// the pile itself holds the card's centre.
FieldPile Pile(int32_t x, int32_t y, uint32_t fan, int cards, uint32_t xAnchor = AnchorStart,
               uint32_t yAnchor = AnchorStart) {
    FieldPile p;
    p.x = x + 39;
    p.y = y + 56;
    p.fan = fan;
    p.xAnchor = xAnchor;
    p.yAnchor = yAnchor;
    p.visible = 1;
    p.cards.resize(static_cast<size_t>(cards));
    for (int i = 0; i < cards; ++i) p.cards[static_cast<size_t>(i)].card = static_cast<uint16_t>(i);
    return p;
}

TEST(PileGeometry, AnchorsMapTheCentreOntoTheDrawing) {
    const FieldLayout layout = Standard();
    auto at = [](int32_t x, int32_t y, uint32_t xAnchor, uint32_t yAnchor) {
        FieldPile p = Pile(0, 0, FanNone, 1, xAnchor, yAnchor);
        p.x = x;
        p.y = y;
        return p;
    };
    // (centre, anchor) -> the first card's centre in a 480 x 320 drawing,
    // less half a card (39 x 56) for its top-left corner.
    EXPECT_EQ(PlacePile(layout, at(100, 100, AnchorStart, AnchorStart), 480, 320).x, 100 - 39);
    EXPECT_EQ(PlacePile(layout, at(100, 100, AnchorStart, AnchorStart), 480, 320).y, 100 - 56);
    EXPECT_EQ(PlacePile(layout, at(80, 100, AnchorProportional, AnchorStart), 480, 320).x, 240 - 39);
    EXPECT_EQ(PlacePile(layout, at(80, 100, AnchorCentre, AnchorStart), 480, 320).x, 80 + 160 - 39);
    EXPECT_EQ(PlacePile(layout, at(150, 100, AnchorEnd, AnchorStart), 480, 320).x, 150 + 320 - 39);
    EXPECT_EQ(PlacePile(layout, at(10, 80, AnchorStart, AnchorProportional), 480, 320).y, 160 - 56);
    EXPECT_EQ(PlacePile(layout, at(10, 80, AnchorStart, AnchorCentre), 480, 321).y, 80 + 80 - 56);
    EXPECT_EQ(PlacePile(layout, at(10, 150, AnchorStart, AnchorEnd), 480, 320).y, 150 + 160 - 56);
}

TEST(PileGeometry, UnlimitedFansStepByTheRoomUpToTwentyPixels) {
    const FieldLayout layout = Standard();
    // Down: first card top at 44; room 546 - 44 - 112 = 390.
    PilePlacement p = PlacePile(layout, Pile(61, 44, FanDown, 40), 600, 546);
    EXPECT_EQ(p.limit, 32767);
    EXPECT_EQ(p.dy, 10);
    EXPECT_EQ(p.dx, 0);
    EXPECT_EQ(PlacePile(layout, Pile(61, 44, FanDown, 5), 600, 546).dy, 20);
    EXPECT_EQ(PlacePile(layout, Pile(61, 44, FanDown, 1), 600, 546).dy, 0);
    // Right: left edge 61, room 600 - 61 - 79 = 460 over 46 steps.
    EXPECT_EQ(PlacePile(layout, Pile(61, 44, FanRight, 47), 600, 546).dx, 10);
    // Left: the room is the left edge, 61, over 3 steps.
    EXPECT_EQ(PlacePile(layout, Pile(61, 44, FanLeft, 4), 600, 546).dx, -20);
    EXPECT_EQ(PlacePile(layout, Pile(61, 44, FanLeft, 5), 600, 546).dx, -15);
    // Up: the room is the top edge, 44.
    EXPECT_EQ(PlacePile(layout, Pile(61, 44, FanUp, 5), 600, 546).dy, -11);
}

TEST(PileGeometry, ARoomBeyondTheEdgeStepsTheOtherWay) {
    const FieldLayout layout = Standard();
    // Left edge 361 in a 400-wide drawing: room 400 - 361 - 79 = -40.
    EXPECT_EQ(PlacePile(layout, Pile(361, 100, FanRight, 5), 400, 400).dx, -10);
}

TEST(PileGeometry, FixedExtentLimitsTheFan) {
    FieldLayout layout = Standard();
    FieldPile pile = Pile(100, -36, FanDown, 11);
    pile.fanExtent = 50;
    PilePlacement p = PlacePile(layout, pile, 800, 800);
    EXPECT_EQ(p.limit, 50);
    EXPECT_EQ(p.dy, 5);
    // Mode 3 moves the limit with the far edge.
    pile.extentMode = 3;
    EXPECT_EQ(PlacePile(layout, pile, 800, 800).limit, 50 + 800 - 160);
    // Mode 3 on a pile that is not fanned keeps the stored extent.
    pile.fan = FanNone;
    EXPECT_EQ(PlacePile(layout, pile, 800, 800).limit, 50);
}

TEST(PileGeometry, ProportionalExtentTakesBackWhatTheCardLosesInASmallDrawing) {
    FieldLayout layout = Standard();
    FieldPile pile = Pile(30, -16, FanDown, 10);
    pile.fanExtent = 120;
    pile.extentMode = 1;
    // Large drawing: 120 * 1600 / 160 - 112, no correction (112 * 160 <= 1600 * 21).
    EXPECT_EQ(PlacePile(layout, pile, 800, 1600).limit, 1200 - 112);
    // 600 high: L = 120 * 600 / 160 - 112 = 338; py = 40 - 56 = -16;
    // correction (56 - 16) * (17920 - 12600) / 17920 = 11.
    EXPECT_EQ(PlacePile(layout, pile, 800, 600).limit, 338 - 11);
    layout.denseGrid = 1;  // k = 24: (56 - 16) * (17920 - 14400) / 17920 = 7
    EXPECT_EQ(PlacePile(layout, pile, 800, 600).limit, 338 - 7);
    // A proportionally anchored pile takes no correction.
    pile.yAnchor = AnchorProportional;
    pile.y = 0;
    EXPECT_EQ(PlacePile(layout, pile, 800, 600).limit, 338);
    // Horizontal fans use the width, the card's width and 15 / 18.
    layout.denseGrid = 0;
    FieldPile row = Pile(-9, 40, FanRight, 10);
    row.fanExtent = 100;
    row.extentMode = 1;
    // L = 100 * 400 / 160 - 79 = 171; px = -9; (39 - 9) * (12640 - 6000) / 12640 = 15.
    EXPECT_EQ(PlacePile(layout, row, 400, 600).limit, 171 - 15);
}

std::vector<CardSpot> Spots(const FieldLayout& layout, const FieldPile& pile, int w = 600, int h = 600) {
    std::vector<CardSpot> out;
    LayOutPile(layout, pile, w, h, out);
    return out;
}

TEST(PileGeometry, DrawnCardsOfEachKindOfPile) {
    const FieldLayout layout = Standard();
    // Not fanned, three cards: cards 1 and 2, the top one a pixel lower.
    std::vector<CardSpot> s = Spots(layout, Pile(61, 44, FanNone, 3));
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].index, 1);
    EXPECT_EQ(s[0].y, 44);
    EXPECT_FALSE(s[0].hit);
    EXPECT_EQ(s[1].index, 2);
    EXPECT_TRUE(s[1].hit);
    EXPECT_EQ(s[1].y, 45);
    EXPECT_EQ(s[1].x, s[0].x);
    // One card: at the pile's place.
    s = Spots(layout, Pile(61, 44, FanNone, 1));
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].y, 44);
    // Fanned: every card, by the step.
    s = Spots(layout, Pile(61, 44, FanLeft, 3));
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[2].x, 61 - 40);
    // Empty: the base, whatever its kind; hidden: nothing.
    FieldPile empty = Pile(61, 44, FanDown, 0);
    empty.baseKind = BaseNone;
    s = Spots(layout, empty);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].index, -1);
    FieldPile hidden = Pile(61, 44, FanDown, 4);
    hidden.visible = 0;
    EXPECT_TRUE(Spots(layout, hidden).empty());
}

TEST(PileGeometry, PeekedCardIsBoundedByThePile) {
    const FieldLayout layout = Standard();
    CardSpot spot;
    const FieldPile fanned = Pile(61, 44, FanDown, 4);
    ASSERT_TRUE(PeekedCardSpot(layout, fanned, 600, 600, 2, &spot));
    EXPECT_EQ(spot.y, 44 + 2 * 20);
    EXPECT_FALSE(PeekedCardSpot(layout, fanned, 600, 600, 4, &spot));
    EXPECT_FALSE(PeekedCardSpot(layout, fanned, 600, 600, 0xFFFF, &spot));
    const FieldPile stacked = Pile(61, 44, FanNone, 4);
    EXPECT_FALSE(PeekedCardSpot(layout, stacked, 600, 600, 2, &spot));
    ASSERT_TRUE(PeekedCardSpot(layout, stacked, 600, 600, 3, &spot));
    EXPECT_EQ(spot.y, 45);
    EXPECT_FALSE(PeekedCardSpot(layout, Pile(61, 44, FanDown, 0), 600, 600, 0, &spot));
}

TEST(HitRegions, TopmostRegionWinsAndEmptyPilesWithoutBaseAreSkipped) {
    FieldLayout layout = Standard();
    layout.piles.push_back(Pile(61, 44, FanDown, 2));
    layout.piles.push_back(Pile(61, 44, FanDown, 0));
    layout.piles[1].baseKind = BaseNone;
    CHitRegions regions(&layout);
    regions.AddRegion(0, 0, 0, 0);
    regions.AddRegion(0, 20, 0, 1);
    regions.AddRegion(0, 0, 1, -1);  // over both, but it has no base
    uint16_t pile = 9, index = 9;
    HitRect rect;
    ASSERT_TRUE(regions.HitTest(5, 25, &pile, &index, &rect));
    EXPECT_EQ(pile, 0);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.bottom, 132);
    EXPECT_EQ(rect.right, 79);
    ASSERT_TRUE(regions.HitTest(5, 19, &pile, &index, nullptr));
    EXPECT_EQ(index, 0);
    // Right and bottom edges are outside.
    EXPECT_FALSE(regions.HitTest(79, 25, &pile, &index, nullptr));
    EXPECT_FALSE(regions.HitTest(5, 132, nullptr, nullptr, nullptr));
    // An empty base of another kind is hit, as index kFieldNone.
    layout.piles[1].baseKind = BasePlain;
    ASSERT_TRUE(regions.HitTest(5, 25, &pile, &index, nullptr));
    EXPECT_EQ(pile, 1);
    EXPECT_EQ(index, kFieldNone);
    CHitRegions none(nullptr);
    none.AddRegion(0, 0, 0, 0);
    EXPECT_FALSE(none.HitTest(1, 1, &pile, &index, nullptr));
}

TEST(HitRegions, FindRegionAnswersForTheCardBelowAPosition) {
    FieldLayout layout = Standard();
    CHitRegions regions(&layout);
    for (int16_t i = 0; i < 6; ++i) regions.AddRegion(10, 100 + 20 * i, 3, i);
    regions.AddRegion(300, 50, 4, -1);
    int32_t x = -1, y = -1;
    regions.FindRegion(3, 3, &x, &y);
    EXPECT_EQ(y, 140);
    regions.FindRegion(3, 0, &x, &y);
    EXPECT_EQ(y, 100);
    regions.FindRegion(3, 6, &x, &y);
    EXPECT_EQ(y, 200);
    regions.FindRegion(4, 0, &x, &y);
    EXPECT_EQ(x, 300);
    EXPECT_EQ(y, 50);
    regions.FindRegion(4, 5, &x, &y);  // no card 4: the base
    EXPECT_EQ(x, 300);
    regions.FindRegion(7, 1, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

// Every game of the library, dealt, laid out as a full paint lays it out,
// in a field of 1100 x 800, in a narrow one (860 x 860) and in the field the
// main window leaves at its minimum size with its side panel (867 x 686):
// every pile starts inside the field, piles in play do not overlap (except a
// pile drawn over part of one whose cards it covers by the game's rules, as
// in a pyramid), fans stay inside, and every card the paint records can be
// found again by a press on a part of it that nothing drawn later covers.
class LibraryLayout : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(LibraryLayout, EveryRecordedCardIsHitAtAVisiblePointAndFansStayInside) {
    const int w = GetParam().first, h = GetParam().second;
    const std::vector<std::string> names = test::LibraryGameNames();
    ASSERT_GE(names.size(), 6u);
    for (const std::string& name : names) {
        CGameEngine engine;
        ASSERT_TRUE(test::DealLibraryGame(engine, name, 7)) << name;
        FieldLayout layout;
        ASSERT_TRUE(BuildFieldLayout(engine, layout)) << name;
        layout.SetStandardGeometry();
        CHitRegions regions(&layout);
        std::vector<CardSpot> spots;
        std::vector<std::pair<uint16_t, HitRect>> drawn;   // every visible pile's cards
        for (uint16_t p : SortPilesByZOrder(layout)) {
            spots.clear();
            LayOutPile(layout, layout.piles[p], w, h, spots);
            if (spots.empty()) continue;
            const CardSpot& first = spots.front();
            const bool inside = first.x >= 0 && first.y >= 0 && first.x + 79 <= w && first.y + 112 <= h;
            EXPECT_TRUE(inside) << name << " pile " << p << " at " << first.x << "," << first.y;
            for (const CardSpot& s : spots) {
                if (s.hit) regions.AddRegion(s.x, s.y, p, static_cast<int16_t>(s.index));
                drawn.push_back({p, HitRect{s.x, s.y, s.x + 79, s.y + 112}});
                if (layout.piles[p].fan == FanNone || s.index < 0 || !inside) continue;
                EXPECT_GE(s.x, 0) << name << " pile " << p;
                EXPECT_GE(s.y, 0) << name << " pile " << p;
                EXPECT_LE(s.x + 79, w) << name << " pile " << p;
                EXPECT_LE(s.y + 112, h) << name << " pile " << p;
            }
        }
        // Piles in play never overlap one another.
        for (size_t i = 0; i < drawn.size(); ++i)
            for (size_t j = i + 1; j < drawn.size(); ++j) {
                const HitRect &a = drawn[i].second, &b = drawn[j].second;
                if (drawn[i].first == drawn[j].first || PileCovers(engine, drawn[j].first, drawn[i].first)) continue;
                const bool overlap = a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
                ASSERT_FALSE(overlap) << name << ": piles " << drawn[i].first << " and " << drawn[j].first;
            }
        const std::vector<HitRegion>& all = regions.GetEntries();
        for (size_t i = 0; i < all.size(); ++i) {
            const FieldPile& pile = layout.piles[all[i].pile];
            if (pile.cards.empty() && pile.baseKind == BaseNone) continue;
            int32_t x = 0, y = 0;
            ASSERT_TRUE(test::VisiblePoint(all, layout, i, &x, &y))
                << name << ": pile " << all[i].pile << " card " << all[i].index << " is hidden";
            uint16_t pile16 = 0, index = 0;
            ASSERT_TRUE(regions.HitTest(x, y, &pile16, &index, nullptr)) << name;
            EXPECT_EQ(pile16, all[i].pile) << name;
            EXPECT_EQ(index, all[i].index < 0 ? kFieldNone : static_cast<uint16_t>(all[i].index)) << name;
            if (all[i].index >= 0) {
                EXPECT_EQ(layout.piles[pile16].cards[index].card,
                          pile.cards[static_cast<size_t>(all[i].index)].card) << name;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, LibraryLayout,
                         ::testing::Values(std::make_pair(1100, 800), std::make_pair(860, 860),
                                           std::make_pair(867, 686)));

}  // namespace
}  // namespace corvelle
