// The side panels handled with the mouse through the system's input queue:
// a header click closes a region, a header drag moves one, a drag of the
// panel's edge widens it; after a restart the panel shows the order, the
// closed region and the width the player left. A press that did not start
// on a header never drags one, in the main window's panel and in the
// selection's.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "engine/registry.h"
#include "panel_view.h"
#include "res/resource.h"

namespace corvelle {
namespace {

using namespace drive;


LONG PanelWidth(HWND panel) { return WindowSize(panel).cx; }

HWND StartProgram(Program& program) {
    EXPECT_TRUE(program.Start());
    HWND main = WaitForMainWindow(program.Pid(), 30000);
    EXPECT_NE(main, nullptr) << "no main window";
    if (main != nullptr) {
        EXPECT_TRUE(WaitUntilReady(program, main));
    }
    return main;
}

// Waits until `read` gives the same answer twice in a row, 150 ms apart
// (a region's roll or a resize has ended), and returns it.
template <typename Read>
auto Settled(Read read, DWORD ms) {
    auto last = read();
    WaitFor(
        [&] {
            ::Sleep(150);
            const auto now = read();
            const bool same = now == last;
            last = now;
            return same;
        },
        ms);
    return last;
}

TEST(EndToEndPanel, OrderClosedRegionAndWidthLeftWithTheMouseComeBackAfterARestart) {
    DeleteRegistryTree(ProgramKeyPath());
    std::wstring order;
    LONG width = 0;
    {
        Program program;
        HWND main = StartProgram(program);
        ASSERT_NE(main, nullptr);
        const HWND panel = FindPanel(main);
        ASSERT_NE(panel, nullptr);
        ASSERT_EQ(PanelOrder(panel), L"Advertisement|Rules|Best Times|Statistics");
        for (const PanelRegionView& region : PanelRegions(panel))
            EXPECT_TRUE(region.Expanded()) << Narrow(region.caption);

        // A click on the Rules header closes the region.
        BringToFront(main);
        Click(CentreOf(PanelRegion(panel, L"Rules").header));
        ASSERT_TRUE(WaitFor([&] { return !PanelRegion(panel, L"Rules").Expanded(); }, 10000))
            << "the Rules region did not close";

        // Statistics dragged by its header onto the Rules header: it goes
        // between the Advertisement and Rules.
        Settled([&] { return PanelRegion(panel, L"Best Times").headerRect.top; }, 5000);
        const PanelRegionView rules = PanelRegion(panel, L"Rules");
        BringToFront(main);
        const POINT onto{CentreOf(rules.header).x, rules.headerRect.top + 2};
        Drag(CentreOf(PanelRegion(panel, L"Statistics").header), onto);
        ASSERT_TRUE(
            WaitFor([&] { return PanelOrder(panel) == L"Advertisement|Statistics|Rules|Best Times"; }, 10000))
            << "the order is " << Narrow(PanelOrder(panel));

        // The panel's left edge dragged 80 pixels to the left: it widens.
        const LONG before = PanelWidth(panel);
        RECT edge;
        ::GetWindowRect(panel, &edge);
        const POINT from{edge.left + 1, (edge.top + edge.bottom) / 2};
        BringToFront(main);
        Drag(from, POINT{from.x - 80, from.y});
        ASSERT_TRUE(WaitFor([&] { return PanelWidth(panel) > before; }, 10000)) << "the panel kept its width";
        width = Settled([&] { return PanelWidth(panel); }, 5000);
        order = PanelOrder(panel);
        EXPECT_FALSE(PanelRegion(panel, L"Rules").Expanded());

        WaitUntilReady(program, main);
        BringToFront(main);
        PressKey(VK_F4, false, true);
        ASSERT_TRUE(program.WaitExit(20000)) << "Alt+F4 did not end the program";
    }

    Program again;
    HWND main = StartProgram(again);
    ASSERT_NE(main, nullptr);
    const HWND panel = FindPanel(main);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(PanelOrder(panel), order);
    EXPECT_EQ(PanelWidth(panel), width);
    for (const PanelRegionView& region : PanelRegions(panel))
        EXPECT_EQ(region.Expanded(), region.caption != L"Rules") << Narrow(region.caption);
    WaitUntilReady(again, main);
    BringToFront(main);
    PressKey(VK_F4, false, true);
    EXPECT_TRUE(again.WaitExit(20000)) << "Alt+F4 did not end the program";
}

// A point just inside the top of a header: a drop there goes before its
// region.
POINT AboveRegion(const PanelRegionView& region) {
    return POINT{CentreOf(region.header).x, region.headerRect.top + 2};
}

// Presses on `start` (inside a region's body, where nothing takes the
// mouse), slides over the header `over` and up to the top of the header
// `onto`, and releases: the panel's order must stay as it was.
void SlideOverAHeader(HWND panel, POINT start, const std::wstring& over, const std::wstring& onto) {
    const std::wstring before = PanelOrder(panel);
    const PanelRegionView slidOver = PanelRegion(panel, over);
    const PanelRegionView target = PanelRegion(panel, onto);
    ASSERT_NE(slidOver.header, nullptr) << Narrow(over);
    ASSERT_NE(target.header, nullptr) << Narrow(onto);
    BringToFront(::GetAncestor(panel, GA_ROOT));
    const POINT end = AboveRegion(target);
    PressLeft(start);
    MoveTo(CentreOf(slidOver.header));
    ::Sleep(60);
    MoveTo(end);
    ::Sleep(60);
    ReleaseLeft(end);
    EXPECT_EQ(Settled([&] { return PanelOrder(panel); }, 3000), before)
        << "a press outside the " << Narrow(over) << " header dragged its region";
}

TEST(EndToEndPanel, AHeaderDragStartsOnlyFromAPressOnThatHeader) {
    DeleteRegistryTree(ProgramKeyPath());
    Program program;
    HWND main = StartProgram(program);
    ASSERT_NE(main, nullptr);
    const HWND panel = FindPanel(main);
    ASSERT_NE(panel, nullptr);
    // The Rules region closed, so that every header shows.
    BringToFront(main);
    Click(CentreOf(PanelRegion(panel, L"Rules").header));
    ASSERT_TRUE(WaitFor([&] { return !PanelRegion(panel, L"Rules").Expanded(); }, 10000));
    Settled([&] { return PanelRegion(panel, L"Statistics").headerRect.top; }, 5000);
    // A press on the advertisement's picture, slid over the Statistics
    // header and up to the Rules header.
    SlideOverAHeader(panel, CentreOf(PanelRegion(panel, L"Advertisement").body), L"Statistics", L"Rules");

    // The selection's panel: a press on the preview, slid over the Rules
    // header and up to the Filter header.
    BringToFront(main);
    PressKey('S', true);
    HWND dialog = WaitForWindowTitled(program.Pid(), L"Select Solitaire", 10000);
    ASSERT_NE(dialog, nullptr);
    const HWND selectPanel = ::GetDlgItem(dialog, IDC_SELECT_PANEL);
    ASSERT_NE(selectPanel, nullptr);
    ASSERT_EQ(PanelOrder(selectPanel), L"Filter|Preview|Rules|Related|Best Times|Statistics");
    SlideOverAHeader(selectPanel, CentreOf(PanelRegion(selectPanel, L"Preview").body), L"Rules", L"Filter");
    // The headers still drag when pressed: Rules goes to the top.
    BringToFront(dialog);
    Drag(CentreOf(PanelRegion(selectPanel, L"Rules").header), AboveRegion(PanelRegion(selectPanel, L"Filter")));
    EXPECT_TRUE(WaitFor([&] { return PanelOrder(selectPanel) == L"Rules|Filter|Preview|Related|Best Times|Statistics"; },
                        10000))
        << Narrow(PanelOrder(selectPanel));
    Click(CentreOf(::GetDlgItem(dialog, IDCANCEL)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, 10000));

    WaitUntilReady(program, main);
    BringToFront(main);
    PressKey(VK_F4, false, true);
    EXPECT_TRUE(program.WaitExit(20000)) << "Alt+F4 did not end the program";
}

}  // namespace
}  // namespace corvelle
