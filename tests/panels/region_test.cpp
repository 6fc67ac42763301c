// The region container in the test host with real mouse input: layout and
// scroll bar, the roll animation, header clicks, drags and drops, the edge
// resize, and what losing the mouse does to a drag or a resize.
#include <gtest/gtest.h>

#include <vector>

#include "panel_host.h"
#include "panels/region_body.h"
#include "panels/region_header.h"
#include "panels/set_of_popup_regions.h"

namespace corvelle::test {
namespace {

using Body = CSetOfPopupRegions::CPopupRegion::CRegionBody;

// A container that records its hooks and, like the main window, gives
// itself the full height again after each resize step.
class RecordingPanel : public CSetOfPopupRegions {
public:
    void OnScrollBarToggled() override { ++toggledBar; }
    void OnRegionsRepositioned() override { ++repositioned; }
    void OnRegionMoved(UINT from, UINT to) override { moves.push_back({from, to}); }
    void OnRegionToggled(UINT index, bool expanded) override { toggles.push_back({index, expanded}); }
    void OnBodyChildLaidOut(UINT, UINT) override { ++childLaidOut; }
    void OnPanelResized() override {
        RECT client;
        ::GetClientRect(::GetParent(hwnd), &client);
        RECT r = RectInParent(hwnd);
        widths.push_back(r.right - r.left);
        MoveWindow(RECT{r.left, 0, r.right, client.bottom}, TRUE);
        RepositionRegions(RegionLayout::Full);
        RedrawNow();
    }

    int toggledBar = 0;
    int repositioned = 0;
    int childLaidOut = 0;
    std::vector<std::pair<UINT, UINT>> moves;
    std::vector<std::pair<UINT, bool>> toggles;
    std::vector<int> widths;
};

class RegionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.Open(900, 600)); }

    // A panel of `height` at the right edge with bodies of the given
    // heights (with-bar heights: +20), the first locked when asked.
    void Build(int height, std::vector<UINT> heights, bool lockFirst = false) {
        RECT client;
        host.GetClientRect(&client);
        ASSERT_TRUE(panel.Create(&host, RECT{client.right - 240, 0, client.right, height}, 105));
        panel.SetResizeBand(RECT{3, 0, 0, 0});
        panel.SetMinWidth(221);
        std::vector<UINT> withBar;
        std::vector<const wchar_t*> titles;
        for (UINT h : heights) withBar.push_back(h + 20), titles.push_back(L"Region");
        ASSERT_TRUE(panel.CreateRegions(RECT{10, 10, -10, -10}, 20, static_cast<UINT>(heights.size()), heights.data(),
                                        withBar.data(), titles.data()));
        if (lockFirst) panel.SetRegionLocked(0, true);
        panel.RepositionRegions(RegionLayout::InvalidateHeaders);
        panel.RedrawNow();
        Pump();
    }
    HWND Header(UINT i) { return panel.GetRegion(i)->GetHeader()->GetSafeHwnd(); }
    POINT HeaderPoint(UINT i, int dx = 0, int dy = 0) { return ScreenPoint(Header(i), 60 + dx, 10 + dy); }
    void Click(POINT at) {
        MouseMoveTo(at);
        MouseDown();
        MouseUp();
    }
    int Width() {
        RECT r = RectInParent(panel);
        return r.right - r.left;
    }

    PanelHost host;
    RecordingPanel panel;
};

TEST_F(RegionTest, ContentThatFitsExactlyHasNoScrollBarOnePixelMoreHasOne) {
    // 3 x (10 + 20) + 300 + the bottom margin 10 = 400.
    Build(400, {100, 100, 100});
    EXPECT_EQ(panel.GetContentHeight(true), 400);
    EXPECT_FALSE(panel.HasScrollBar());
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(panel, 1)));
    panel.GetRegionBody(2)->SetContentHeights(101, 121);
    EXPECT_TRUE(panel.HasScrollBar());
    EXPECT_EQ(panel.toggledBar, 1);
    EXPECT_EQ(panel.GetScrollPosition(), 0);
    // Every open body now has its height with the bar.
    for (UINT i = 0; i < 3; ++i) EXPECT_EQ(panel.GetRegionBody(i)->GetVisibleHeight(), i == 2 ? 121u : 120u);
    EXPECT_EQ(panel.GetScrollRangeMax(), 90 + 361 + 10 - 400 + 50);
    SCROLLINFO info{sizeof info, SIF_PAGE};
    ::GetScrollInfo(::GetDlgItem(panel, 1), SB_CTL, &info);
    EXPECT_EQ(info.nPage, 50u);
    // A collapsed body stays collapsed both ways; closing one hides the bar.
    panel.ExpandRegion(1, false, false);
    EXPECT_FALSE(panel.HasScrollBar());
    EXPECT_EQ(panel.GetRegionBody(0)->GetVisibleHeight(), 100u);
    EXPECT_EQ(panel.GetRegionBody(1)->GetVisibleHeight(), 0u);
    EXPECT_EQ(panel.GetRegionBody(2)->GetVisibleHeight(), 101u);
}

// Keeping a region in view through the container itself: a region taller
// than the panel shows from its top (its bottom cannot show as well); an
// index past the end scrolls back to the top; with no scroll bar nothing
// moves.
TEST_F(RegionTest, KeepingARegionInViewTallRegionsAndIndexesPastTheEnd) {
    Build(300, {100, 500, 100});
    ASSERT_TRUE(panel.HasScrollBar());
    EXPECT_TRUE(panel.EnsureRegionVisible(1));
    panel.RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::KeepScrollRange);
    EXPECT_EQ(RectInParent(Header(1)).top, 0);
    const int32_t position = panel.GetScrollPosition();
    panel.EnsureRegionVisible(1);   // sets the bottom, then the top again
    EXPECT_EQ(panel.GetScrollPosition(), position);
    // Region 2 below: brought up so that its bottom shows.
    EXPECT_TRUE(panel.EnsureRegionVisible(2));
    panel.RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::KeepScrollRange);
    EXPECT_EQ(RectInParent(panel.GetRegionBody(2)->GetSafeHwnd()).bottom, 300);
    // Past the end: back to the top.
    EXPECT_TRUE(panel.EnsureRegionVisible(3));
    EXPECT_EQ(panel.GetScrollPosition(), 0);
    EXPECT_FALSE(panel.EnsureRegionVisible(99));
    panel.DestroyWindow();
    Build(560, {100, 100});
    ASSERT_FALSE(panel.HasScrollBar());
    EXPECT_FALSE(panel.EnsureRegionVisible(5));
    EXPECT_FALSE(panel.EnsureRegionVisible(1));
}

TEST_F(RegionTest, ScrollingByLinePageAndThumb) {
    Build(300, {200, 200, 200});
    ASSERT_TRUE(panel.HasScrollBar());
    HWND bar = ::GetDlgItem(panel, 1);
    panel.SendMessage(WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(panel.GetScrollPosition(), 1);
    panel.SendMessage(WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(panel.GetScrollPosition(), 51);
    // The first header moved up with the content.
    EXPECT_EQ(RectInParent(Header(0)).top, 10 - 51);
    panel.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(panel.GetScrollPosition(), 51);
    panel.SendMessage(WM_VSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(bar));
    panel.SendMessage(WM_VSCROLL, SB_LINEUP, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(panel.GetScrollPosition(), 0);
    // Keeping the last region in view scrolls to its bottom.
    EXPECT_TRUE(panel.EnsureRegionVisible(2));
    int32_t top = 0, bottom = 0;
    EXPECT_GT(panel.GetScrollPosition(), 0);
    (void)top, (void)bottom;
    EXPECT_FALSE(panel.EnsureRegionVisible(2));
}

// The roll follows the clock (here one that moves 7 ms at every reading):
// it ends within its time whatever the body's height, each step moves the
// body's bottom, its content with it (bottom-aligned, sliding out from
// under the header) and the regions below, and the panel is laid out once,
// at the end.
TEST_F(RegionTest, OpeningAndClosingRollWithinTheirTimeAndLayOutOnce) {
    Build(600, {100, 200, 100});
    Body* body = panel.GetRegionBody(1);
    CStatic child;
    ASSERT_TRUE(child.Create(L"x", WS_CHILD | WS_VISIBLE, RECT{10, 10, 60, 40}, body, 1));
    body->AddChild(&child);
    body->SetChildAnchors(0, RECT{-1, -1, -1, -1});
    panel.ExpandRegion(1, false, false);
    struct Step {
        uint32_t visible;
        LONG bodyBottom, nextHeaderTop, childBottom;
    };
    std::vector<Step> steps;
    double now = 0;
    panel.SetAnimationClock([&] {
        const RECT b = RectInParent(*body);
        steps.push_back(Step{body->GetVisibleHeight(), b.bottom, RectInParent(Header(2)).top,
                             b.top + RectInParent(child).bottom});
        return now += 7;
    });
    for (bool open : {true, false}) {
        steps.clear();
        panel.repositioned = 0;
        const double started = now;
        panel.GetRegion(1)->Toggle();
        EXPECT_LE(now - started, 200) << (open ? "opening" : "closing");
        EXPECT_EQ(panel.repositioned, 1) << "one layout, after the roll";
        EXPECT_EQ(body->GetVisibleHeight(), open ? 200u : 0u);
        EXPECT_EQ(panel.GetRegion(1)->IsExpanded(), open);
        ASSERT_EQ(panel.toggles.back(), (std::pair<UINT, bool>{1, open}));
        // Several steps, each one a new height on the way, and the windows
        // where that height puts them.
        size_t seen = 0;
        for (size_t k = 1; k < steps.size(); ++k) {
            const Step& s = steps[k];
            if (s.visible == steps[k - 1].visible) continue;
            ++seen;
            EXPECT_TRUE(open ? s.visible > steps[k - 1].visible : s.visible < steps[k - 1].visible);
            EXPECT_EQ(s.bodyBottom - RectInParent(Header(1)).bottom, static_cast<LONG>(s.visible));
            EXPECT_EQ(s.nextHeaderTop, s.bodyBottom + 10);
            EXPECT_EQ(s.childBottom, s.bodyBottom - 10);
        }
        EXPECT_GE(seen, 5u);
        // The final layout placed everything as a layout does.
        EXPECT_EQ(RectInParent(Header(2)).top, RectInParent(Header(1)).bottom + (open ? 200 : 0) + 10);
    }

    // A region below the visible part: opened and brought into view whole.
    panel.DestroyWindow();
    Build(300, {150, 150, 150});
    panel.ExpandRegion(2, false, false);
    panel.GetRegion(2)->Expand();
    int32_t top = RectInParent(Header(2)).top;
    const int32_t bottom = RectInParent(panel.GetRegionBody(2)->GetSafeHwnd()).bottom;
    EXPECT_GE(top, 0);
    EXPECT_LE(bottom, 300);
}

TEST_F(RegionTest, HeaderClicksToggleAndHoverFollowsTheMouse) {
    Build(560, {100, 100, 100}, true);
    Click(HeaderPoint(1));
    EXPECT_TRUE(WaitFor([&] { return !panel.GetRegion(1)->IsExpanded(); }));
    ASSERT_EQ(panel.toggles.size(), 1u);
    EXPECT_EQ(panel.toggles[0], (std::pair<UINT, bool>{1, false}));
    // Moving 10 px straight is still a click.
    MouseMoveTo(HeaderPoint(1));
    MouseDown();
    MouseMoveTo(HeaderPoint(1, 10, 0));
    EXPECT_FALSE(panel.IsHeaderDragActive());
    MouseUp();
    EXPECT_TRUE(WaitFor([&] { return panel.GetRegion(1)->IsExpanded(); }));
    // A release just outside the header (no drag) does not toggle.
    MouseMoveTo(HeaderPoint(2, 0, 7));
    MouseDown();
    MouseMoveTo(HeaderPoint(2, 0, 13));
    EXPECT_FALSE(panel.IsHeaderDragActive());
    MouseUp();
    EXPECT_TRUE(panel.GetRegion(2)->IsExpanded());
    // The locked header neither toggles nor drags.
    Click(HeaderPoint(0));
    EXPECT_TRUE(panel.GetRegion(0)->IsExpanded());
    MouseMoveTo(HeaderPoint(0));
    MouseDown();
    MouseMoveTo(HeaderPoint(0, 0, 100));
    EXPECT_FALSE(panel.IsHeaderDragActive());
    MouseUp();
    EXPECT_EQ(panel.toggles.size(), 2u);
    // Hover: hot over the header, not hot once the mouse has left.
    auto* header = panel.GetRegion(2)->GetHeader();
    MouseMoveTo(HeaderPoint(2));
    MouseMoveTo(HeaderPoint(2, 3, 0));
    EXPECT_TRUE(WaitFor([&] { return header->IsHot(); }));
    MouseMoveTo(ScreenPoint(host, 100, 100));
    // The system notices the leave on its next hover check.
    EXPECT_TRUE(WaitFor([&] { return !header->IsHot(); }));
}

TEST_F(RegionTest, DraggingAHeaderMovesItsRegion) {
    Build(560, {80, 80, 80, 80}, true);
    HWND body1 = panel.GetRegionBody(1)->GetSafeHwnd();
    // 10 px across and 1 down starts a drag.
    MouseMoveTo(HeaderPoint(1));
    MouseDown();
    MouseMoveTo(HeaderPoint(1, 10, 1));
    EXPECT_TRUE(WaitFor([&] { return panel.IsHeaderDragActive(); }));
    EXPECT_TRUE(panel.GetRegion(1)->IsDragging());
    // Below the last region.
    MouseMoveTo(ScreenPoint(panel, 100, 520));
    EXPECT_TRUE(WaitFor([&] { return panel.GetDragInsertionIndex() == 4u; }));
    MouseUp();
    ASSERT_TRUE(WaitFor([&] { return !panel.IsHeaderDragActive() && panel.moves.size() == 1; }));
    EXPECT_EQ(panel.moves[0], (std::pair<UINT, UINT>{1, 3}));
    EXPECT_EQ(panel.GetRegionBody(3)->GetSafeHwnd(), body1);
    EXPECT_EQ(panel.GetRegion(3)->GetIndex(), 3u);
    EXPECT_FALSE(panel.GetRegion(3)->IsDragging());
    EXPECT_EQ(::GetCapture(), nullptr);
    // Dropped into the gap just below itself: nothing moves, nothing called.
    MouseMoveTo(HeaderPoint(2));
    MouseDown();
    MouseMoveTo(HeaderPoint(2, 12, 2));
    MouseMoveTo(HeaderPoint(3, 0, -12));
    EXPECT_TRUE(WaitFor([&] { return panel.GetDragInsertionIndex() == 3u; }));
    MouseUp();
    EXPECT_EQ(panel.moves.size(), 1u);
    // Nothing can be dropped above the locked first region.
    MouseMoveTo(HeaderPoint(3));
    MouseDown();
    MouseMoveTo(HeaderPoint(3, 12, 2));
    MouseMoveTo(ScreenPoint(panel, 100, 2));
    EXPECT_TRUE(WaitFor([&] { return panel.GetDragInsertionIndex() == 1u; }));
    MouseUp();
    ASSERT_TRUE(WaitFor([&] { return panel.moves.size() == 2; }));
    EXPECT_EQ(panel.moves[1], (std::pair<UINT, UINT>{3, 1}));
}

TEST_F(RegionTest, LosingTheMouseEndsADragWithoutMovingAnything) {
    Build(560, {80, 80, 80, 80}, true);
    HWND body2 = panel.GetRegionBody(2)->GetSafeHwnd();
    MouseMoveTo(HeaderPoint(2));
    MouseDown();
    MouseMoveTo(HeaderPoint(2, 15, 5));
    MouseMoveTo(ScreenPoint(panel, 100, 520));
    ASSERT_TRUE(WaitFor([&] { return panel.IsHeaderDragActive(); }));
    // Another window takes the mouse (as a message box would).
    ::SetCapture(host);
    EXPECT_TRUE(WaitFor([&] { return !panel.IsHeaderDragActive(); }));
    EXPECT_FALSE(panel.GetRegion(2)->IsDragging());
    ::ReleaseCapture();
    MouseUp();
    MouseMoveTo(ScreenPoint(panel, 100, 300));
    EXPECT_TRUE(panel.moves.empty());
    EXPECT_EQ(panel.GetRegionBody(2)->GetSafeHwnd(), body2);
    // A drop with no region marked as dragging moves nothing, not region 0.
    panel.BeginRegionDrag(3);
    panel.OnHeaderDragDrop();
    EXPECT_TRUE(panel.moves.empty());
    EXPECT_TRUE(panel.GetRegion(0)->IsLocked());
}

TEST_F(RegionTest, TheEdgeResizesBetweenTheMinimumAndACardLessThanTheWindow) {
    Build(560, {80, 80});
    const int start = Width();
    ASSERT_EQ(start, 240);
    MouseMoveTo(ScreenPoint(panel, 0, 200));
    MouseDown();
    EXPECT_TRUE(WaitFor([&] { return panel.IsResizing(); }));
    MouseMoveTo(ScreenPoint(host, RectInParent(panel).left - 30, 200));
    EXPECT_TRUE(WaitFor([&] { return Width() == 270; })) << Width();
    ASSERT_FALSE(panel.widths.empty());
    EXPECT_EQ(panel.widths.back(), 270);
    // The header follows the new width.
    EXPECT_EQ(RectInParent(Header(0)).right - RectInParent(Header(0)).left, 270 - 3 - 20);
    MouseMoveTo(ScreenPoint(host, 890, 200), false);
    EXPECT_TRUE(WaitFor([&] { return Width() == 221; })) << Width();
    MouseMoveTo(ScreenPoint(host, 2, 200), false);
    EXPECT_TRUE(WaitFor([&] { return Width() == 900 - kMinFieldWidth; })) << Width();
    MouseUp();
    EXPECT_TRUE(WaitFor([&] { return !panel.IsResizing(); }));
    EXPECT_EQ(::GetCapture(), nullptr);

    // Losing the mouse mid-resize ends it: later plain moves resize nothing.
    MouseMoveTo(ScreenPoint(panel, 1, 200));
    MouseDown();
    ASSERT_TRUE(WaitFor([&] { return panel.IsResizing(); }));
    ::SetCapture(host);
    EXPECT_TRUE(WaitFor([&] { return !panel.IsResizing(); }));
    ::ReleaseCapture();
    MouseUp();
    const int before = Width();
    MouseMoveTo(ScreenPoint(host, 500, 200));
    MouseMoveTo(ScreenPoint(host, 300, 200));
    PumpFor(100);
    EXPECT_EQ(Width(), before);
}

TEST_F(RegionTest, BodiesPlaceTheirChildrenByAnchors) {
    Build(560, {100, 100});
    Body* body = panel.GetRegionBody(0);
    CStatic child;
    ASSERT_TRUE(child.Create(L"x", WS_CHILD | WS_VISIBLE, RECT{20, 20, 60, 40}, body, 1));
    body->AddChild(&child);
    body->SetChildAnchors(0, RECT{-1, -1, -1, -1});
    RECT bodyClient;
    body->GetClientRect(&bodyClient);
    EXPECT_EQ(RectInParent(child).left, 10);
    EXPECT_EQ(RectInParent(child).right, bodyClient.right - 10);
    EXPECT_EQ(RectInParent(child).bottom, 90);
    // Collapsed: the content sits one full height above the body's top.
    panel.ExpandRegion(0, false, false);
    EXPECT_EQ(RectInParent(child).top, 10 - 100);
    panel.ExpandRegion(0, true, false);
    EXPECT_EQ(RectInParent(child).top, 10);
    // While animating the children stay put but are still reported.
    body->BeginAnimation();
    panel.childLaidOut = 0;
    panel.SetMinWidth(221);
    body->LayoutChildren(true);
    EXPECT_EQ(panel.childLaidOut, 1);
    body->EndAnimation();
}

TEST_F(RegionTest, WithoutRegionsLayoutDoesNothing) {
    RECT client;
    host.GetClientRect(&client);
    ASSERT_TRUE(panel.Create(&host, RECT{client.right - 240, 0, client.right, 100}, 105));
    panel.RepositionRegions(RegionLayout::Full);
    EXPECT_EQ(panel.repositioned, 0);
    EXPECT_EQ(panel.GetContentHeight(true), 0);
    EXPECT_FALSE(panel.UpdateScrollBar(false));
    EXPECT_FALSE(panel.HasScrollBar());
}

}  // namespace
}  // namespace corvelle::test
