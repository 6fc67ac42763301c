// The side panels' arithmetic: stacked heights, scroll range, spans, drag
// insertion, anchors, resize limits and stored order.
#include <gtest/gtest.h>

#include <string>

#include "panels/panel_layout.h"

namespace corvelle {
namespace {

// The main panel's metrics: a 3-px band at the left, margins 10, headers 20.
StackMetrics MainMetrics() { return StackMetrics{Box{3, 0, 0, 0}, Box{10, 10, -10, -10}, 20}; }

StackRegion Open(int32_t h) { return StackRegion{h, h, h, false}; }

TEST(PanelStack, ContentHeightCountsOnlyFullyOpenRegionsForTheScrollDecision) {
    const StackMetrics m = MainMetrics();
    EXPECT_EQ(ContentHeight(m, {}, true), 0);
    EXPECT_EQ(ContentHeight(m, {}, false), 0);
    // Four open regions: 4 x (10 + 20) + bodies + the bottom margin 10.
    std::vector<StackRegion> regions = {Open(140), Open(200), Open(209), Open(120)};
    EXPECT_EQ(ContentHeight(m, regions, true), 120 + 669 + 10);
    EXPECT_EQ(ContentHeight(m, regions, false), 120 + 669 + 10);
    // Collapsed: the header only.
    regions[1] = StackRegion{0, 200, 200, false};
    EXPECT_EQ(ContentHeight(m, regions, true), 120 + 469 + 10);
    // Half-way through an animation: counted as collapsed for the decision,
    // with its present height for the layout.
    regions[1] = StackRegion{90, 200, 200, false};
    EXPECT_EQ(ContentHeight(m, regions, true), 120 + 469 + 10);
    EXPECT_EQ(ContentHeight(m, regions, false), 120 + 559 + 10);
    // With the scroll bar shown a body's full height may differ: the
    // decision uses the height without the bar.
    regions[1] = StackRegion{230, 230, 200, false};
    EXPECT_EQ(ContentHeight(m, regions, true), 120 + 669 + 10);
}

TEST(PanelStack, ScrollRangeNeverGoesNegative) {
    EXPECT_EQ(ScrollRangeMax(800, 600), 250);
    EXPECT_EQ(ScrollRangeMax(600, 600), 50);
    // Mid-animation the visible content can be far shorter than the client.
    EXPECT_EQ(ScrollRangeMax(300, 600), 0);
}

TEST(PanelStack, SpansAndKeepingARegionInView) {
    const StackMetrics m = MainMetrics();
    const std::vector<StackRegion> regions = {Open(140), Open(200), Open(700)};
    int32_t top = 0, bottom = 0;
    GetRegionSpan(m, regions, 1, &top, &bottom);
    EXPECT_EQ(top, 10 + 20 + 140 + 10);
    EXPECT_EQ(bottom, top + 220);
    GetRegionSpan(m, regions, 3, &top, &bottom);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(bottom, 0);

    int32_t position = 0;
    GetRegionSpan(m, regions, 1, &top, &bottom);
    EXPECT_FALSE(EnsureSpanVisible(top, bottom, 600, &position));
    EXPECT_TRUE(EnsureSpanVisible(top, bottom, 300, &position));
    EXPECT_EQ(position, bottom - 300);
    // Taller than the client area: its top wins.
    GetRegionSpan(m, regions, 2, &top, &bottom);
    position = 0;
    EXPECT_TRUE(EnsureSpanVisible(top, bottom, 300, &position));
    EXPECT_EQ(position, top);
    // Past the end: the span 0..0 scrolls to the top.
    position = 40;
    EXPECT_TRUE(EnsureSpanVisible(0, 0, 300, &position));
    EXPECT_EQ(position, 0);
}

TEST(PanelStack, DragInsertionSkipsLockedRegionsAndFollowsTheScroll) {
    const StackMetrics m = MainMetrics();
    std::vector<StackRegion> regions = {Open(140), Open(100), Open(100)};
    regions[0].locked = true;
    // Lines: 5, 5+170=175, 175+130=305, 435. Middles: 90, 240, 370.
    EXPECT_EQ(DragInsertionIndex(m, regions, -50, 0), 1u);   // never before the locked one
    EXPECT_EQ(DragInsertionIndex(m, regions, 239, 0), 1u);
    EXPECT_EQ(DragInsertionIndex(m, regions, 240, 0), 2u);
    EXPECT_EQ(DragInsertionIndex(m, regions, 369, 0), 2u);
    EXPECT_EQ(DragInsertionIndex(m, regions, 370, 0), 3u);
    EXPECT_EQ(DragInsertionIndex(m, regions, 239 - 50, 50), 1u);
    EXPECT_EQ(DragInsertionIndex(m, regions, 240 - 50, 50), 2u);
    // The marker sits in the gap above the region at the index.
    EXPECT_EQ(InsertionMarkerTop(m, regions, 0, 0), 3);
    EXPECT_EQ(InsertionMarkerTop(m, regions, 2, 0), 3 + 170 + 130);
    EXPECT_EQ(InsertionMarkerTop(m, regions, 3, 20), 3 + 170 + 130 + 130 - 20);
}

TEST(PanelStack, MovingAnElementShiftsTheOnesBetween) {
    auto moved = [](size_t from, size_t to) {
        std::array<PopupRegionState, 4> s = {{{0, 1}, {1, 0}, {2, 1}, {3, 1}}};
        MoveInOrder(s.data(), s.size(), from, to);
        std::string ids;
        for (const auto& r : s) ids += static_cast<char>('0' + r.id), ids += r.expanded ? '+' : '-';
        return ids;
    };
    EXPECT_EQ(moved(3, 1), "0+3+1-2+");
    EXPECT_EQ(moved(1, 3), "0+2+3+1-");
    EXPECT_EQ(moved(2, 2), "0+1-2+3+");
    EXPECT_EQ(moved(1, 9), "0+1-2+3+");
}

TEST(BodyChildren, AnchorsMarginsAndCentring) {
    const Box margins{10, 10, -10, -10};
    const int32_t m = kAnchorMargin;
    // Anchored to every margin: fills the inside and follows the size.
    EXPECT_EQ(PlaceChild(Box{m, m, m, m}, 0, margins, 200, 100), (Box{10, 10, 190, 90}));
    EXPECT_EQ(LayoutChild(Box{10, 10, 190, 90}, Box{m, m, m, m}, 0, margins, 300, 150, 0), (Box{10, 10, 290, 140}));
    // An anchored right edge beyond the inside is cut back and grows back.
    const Box anchored{10, 10, 250, 50};
    const Box narrow = LayoutChild(anchored, anchored, 0, margins, 200, 100, 0);
    EXPECT_EQ(narrow.right, 190);
    EXPECT_EQ(LayoutChild(narrow, anchored, 0, margins, 400, 100, 0).right, 250);
    // A left edge between the margin and its anchor stays.
    EXPECT_EQ(LayoutChild(Box{20, 10, 100, 50}, Box{30, 10, 100, 50}, 0, margins, 200, 100, 0).left, 20);
    EXPECT_EQ(LayoutChild(Box{5, 10, 100, 50}, Box{30, 10, 100, 50}, 0, margins, 200, 100, 0).left, 10);
    // 160 wide, centred between the margins at every width.
    for (int32_t width : {198, 240, 400}) {
        const Box b = LayoutChild(Box{0, 0, 10, 10}, Box{0, m, 160, m}, kCentreHorizontally, margins, width, 140, 0);
        EXPECT_EQ(b.right - b.left, 160);
        EXPECT_EQ(b.left - 10, width - 10 - b.right) << width;
    }
    // Collapsed: the content sits one full height above the body's top.
    const Box collapsed = LayoutChild(Box{10, 10, 190, 90}, Box{m, m, m, m}, 0, margins, 200, 0, 100);
    EXPECT_EQ(collapsed.top, 10 - 100);
    const Box half = LayoutChild(Box{10, 10, 190, 90}, Box{m, m, m, 169}, 0, margins, 200, 50, 50);
    EXPECT_EQ(half.top, -40);
    EXPECT_EQ(half.bottom, 40);
}

TEST(PanelResize, WidthStaysBetweenTheMinimumAndACardLessThanTheParent) {
    EXPECT_EQ(ResizedPanelWidth(221, 30, 221, 1000), 251);
    EXPECT_EQ(ResizedPanelWidth(221, -30, 221, 1000), 221);
    EXPECT_EQ(ResizedPanelWidth(900, 100, 221, 1000), 1000 - kMinFieldWidth);
    // A window too narrow for both keeps the panel's minimum.
    EXPECT_EQ(ResizedPanelWidth(221, 50, 221, 250), 221);
}

TEST(PanelOrder, OnlyAPermutationOfThePanelsIdsIsKept) {
    using States = std::array<PopupRegionState, kMainPopupCount>;
    const States kept = {{{2, 1}, {0, 0}, {1, 1}, {3, 0}}};
    EXPECT_EQ(ValidMainPopupsState(kept), kept);
    const States bad[] = {
        {{{0, 1}, {1, 1}, {1, 1}, {3, 1}}},       // repeated
        {{{0, 1}, {1, 1}, {2, 1}, {4, 1}}},       // a selection panel's id
        {{{0, 1}, {1, 1}, {2, 1}, {0xFFFFFFFF, 1}}},
        {{{7, 1}, {8, 1}, {9, 1}, {10, 1}}},
    };
    for (const States& s : bad) EXPECT_EQ(ValidMainPopupsState(s), kDefaultMainPopupsState);
    EXPECT_EQ(std::u16string(RegionCaption(2)), u"Best Times");
    EXPECT_EQ(std::u16string(RegionCaption(99)), u"");
    EXPECT_EQ(RegionBodyHeight(kRegionBestTimes), 209);
    EXPECT_EQ(RegionBodyHeight(kRegionRelated), 100);
    EXPECT_EQ(RegionBodyHeight(7), 0);
}

}  // namespace
}  // namespace corvelle
