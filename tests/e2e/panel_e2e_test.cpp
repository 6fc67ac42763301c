// The main window's side panel handled with the mouse through the system's
// input queue: a header click closes a region, a header drag moves one, a
// drag of the panel's edge widens it; after a restart the panel shows the
// order, the closed region and the width the player left.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"
#include "engine/registry.h"
#include "panel_view.h"

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

}  // namespace
}  // namespace corvelle
