// The main side panel in its test host: building it from the stored order,
// mirroring order, state and width into the preferences, its updates, the
// round trip through the registry, and GDI objects over many builds.
#include <gtest/gtest.h>

#include "engine/registry.h"
#include "engine/statistics.h"
#include "panel_host.h"
#include "panels/advertisement_banner.h"
#include "panels/best_scores_table.h"
#include "panels/html_text_static.h"
#include "panels/region_header.h"
#include "panels/statistics_control.h"
#include "res/resource.h"
#include "support/registry_sandbox.h"

namespace corvelle::test {
namespace {

class MainPopupsTest : public RegistrySandbox {
protected:
    void SetUp() override {
        RegistrySandbox::SetUp();
        // Wide enough for the panel to widen beside the smallest field.
        ASSERT_TRUE(host.Open(1200, 620));
    }
    std::wstring Caption(UINT i) {
        wchar_t text[64] = {};
        host.panel->GetRegion(i)->GetHeader()->GetWindowText(text, 64);
        return text;
    }
    PanelHost host;
};

TEST_F(MainPopupsTest, DefaultOrderAllOpenWithTheAdvertisementLocked) {
    ASSERT_TRUE(host.BuildPanel());
    CSolMainPopups& p = *host.panel;
    ASSERT_EQ(p.GetRegionCount(), 4u);
    EXPECT_EQ(Caption(0), L"Advertisement");
    EXPECT_EQ(Caption(1), L"Rules");
    EXPECT_EQ(Caption(2), L"Best Times");
    EXPECT_EQ(Caption(3), L"Statistics");
    for (UINT i = 0; i < 4; ++i) EXPECT_TRUE(p.GetRegion(i)->IsExpanded()) << i;
    EXPECT_TRUE(p.GetRegion(0)->IsLocked());
    EXPECT_FALSE(p.GetRegion(1)->IsLocked());
    EXPECT_EQ(::GetDlgCtrlID(p), IDC_MAIN_PANEL);
    wchar_t name[64] = {};
    ::GetWindowTextW(p, name, 64);
    EXPECT_STREQ(name, L"SetOfPopupRegions");
    // The panel sits at the right edge, 221 wide, above the status strip.
    RECT client;
    host.GetClientRect(&client);
    const RECT r = RectInParent(p);
    EXPECT_EQ(r.right, client.right);
    EXPECT_EQ(r.right - r.left, 221);
    EXPECT_EQ(r.bottom, client.bottom - 20);
}

TEST_F(MainPopupsTest, StoredStatesDecideOrderLockAndExpansion) {
    host.prefs.mainPopupsState = {{{2, 1}, {0, 0}, {1, 0}, {3, 1}}};
    ASSERT_TRUE(host.BuildPanel());
    CSolMainPopups& p = *host.panel;
    EXPECT_EQ(Caption(0), L"Best Times");
    EXPECT_TRUE(p.GetRegion(0)->IsLocked());
    EXPECT_FALSE(p.GetRegion(1)->IsLocked());
    // The advertisement is always open; the rules stay closed as stored.
    EXPECT_TRUE(p.GetRegion(1)->IsExpanded());
    EXPECT_FALSE(p.GetRegion(2)->IsExpanded());
    EXPECT_EQ(p.GetRegionBody(2)->GetVisibleHeight(), 0u);
}

TEST_F(MainPopupsTest, BadStoredStatesGiveTheDefaultOrder) {
    const std::array<PopupRegionState, 4> bad[] = {
        {{{1, 1}, {1, 1}, {2, 1}, {3, 1}}},
        {{{0, 1}, {1, 1}, {2, 1}, {6, 1}}},
        {{{0, 1}, {1, 1}, {2, 1}, {0x7FFFFFFF, 0}}},
    };
    for (const auto& states : bad) {
        host.DestroyPanel();
        host.prefs.mainPopupsState = states;
        ASSERT_TRUE(host.BuildPanel());
        EXPECT_EQ(host.prefs.mainPopupsState, kDefaultMainPopupsState);
        EXPECT_EQ(Caption(0), L"Advertisement");
        EXPECT_EQ(Caption(3), L"Statistics");
    }
}


TEST_F(MainPopupsTest, RulesTextReachesTheControlAndSizesItsRegion) {
    SetGame(host.engine, "Golf", "Aim\nMove");
    ASSERT_TRUE(host.BuildPanel());
    CHtmlTextStatic* rules = host.panel->GetRulesControl();
    ASSERT_NE(rules, nullptr);
    EXPECT_EQ(host.panel->GetRegionBody(1)->GetChild(0), rules);
    EXPECT_EQ(rules->GetText(), L"Aim<br>Move");
    RECT rc;
    rules->GetClientRect(&rc);
    EXPECT_EQ(host.panel->GetRegionBody(1)->GetVisibleHeight(), rules->MeasureHeight(rc.right) + 20);
    EXPECT_EQ(rc.bottom, 28);
    // A long text: the region grows, the panel gets its scroll bar, and the
    // control is as tall as the text measures at its width.
    SetGame(host.engine, "Golf", kTestRules);
    host.panel->UpdateRulesText();
    rules->GetClientRect(&rc);
    EXPECT_EQ(static_cast<uint32_t>(rc.bottom), rules->MeasureHeight(rc.right));
    EXPECT_TRUE(host.panel->HasScrollBar());
    // A wider panel: the height follows the new width at once.
    host.prefs.mainPopupsWidth = 400;
    host.RecalcLayout();
    rules->GetClientRect(&rc);
    EXPECT_EQ(static_cast<uint32_t>(rc.bottom), rules->MeasureHeight(rc.right));
    EXPECT_EQ(rc.right, 400 - 3 - 20 - 20 - host.panel->GetScrollBarWidth());
}

TEST_F(MainPopupsTest, PlayerChangesAreMirroredIntoThePreferences) {
    ASSERT_TRUE(host.BuildPanel());
    CSolMainPopups& p = *host.panel;
    // Drag "Best Times" above "Rules" with the mouse.
    HWND timesHeader = p.GetRegion(2)->GetHeader()->GetSafeHwnd();
    MouseMoveTo(ScreenPoint(timesHeader, 60, 10));
    MouseDown();
    MouseMoveTo(ScreenPoint(timesHeader, 75, 14));
    ASSERT_TRUE(WaitFor([&] { return p.IsHeaderDragActive(); }));
    MouseMoveTo(ScreenPoint(p, 100, 10 + 20 + 140 + 10 + 5));
    EXPECT_TRUE(WaitFor([&] { return p.GetDragInsertionIndex() == 1u; }));
    MouseUp();
    ASSERT_TRUE(WaitFor([&] { return !p.IsHeaderDragActive(); }));
    const std::array<PopupRegionState, 4> moved = {{{0, 1}, {2, 1}, {1, 1}, {3, 1}}};
    EXPECT_EQ(host.prefs.mainPopupsState, moved);
    // Close "Rules" (now at 2) with a click.
    HWND statsHeader = p.GetRegion(2)->GetHeader()->GetSafeHwnd();
    MouseMoveTo(ScreenPoint(statsHeader, 60, 10));
    MouseDown();
    MouseUp();
    EXPECT_TRUE(WaitFor([&] { return host.prefs.mainPopupsState[2].expanded == 0; }));
    // Widen the panel by its edge: the width is stored and the window laid out.
    const int layouts = host.layouts;
    MouseMoveTo(ScreenPoint(p, 0, 300));
    MouseDown();
    MouseMoveTo(ScreenPoint(p, -40, 300));
    EXPECT_TRUE(WaitFor([&] { return host.prefs.mainPopupsWidth == 261u; })) << host.prefs.mainPopupsWidth;
    MouseUp();
    EXPECT_GT(host.layouts, layouts);
    EXPECT_EQ(RectInParent(p).right - RectInParent(p).left, 261);
    RECT hostClient;
    host.GetClientRect(&hostClient);
    EXPECT_EQ(RectInParent(p).bottom, hostClient.bottom - 20);
}

TEST_F(MainPopupsTest, OrderStateAndWidthSurviveARestart) {
    ASSERT_TRUE(host.BuildPanel());
    host.panel->OnRegionMoved(3, 1);
    host.panel->GetRegion(2)->Toggle();   // not animated state goes to prefs via the hook
    host.panel->MoveRegion(3, 1);
    host.prefs.mainPopupsWidth = 300;
    ASSERT_TRUE(SavePreferences(host.prefs, PreferencesSave::kCleanClose));
    const auto savedStates = host.prefs.mainPopupsState;
    host.DestroyPanel();

    PanelHost again;
    ASSERT_TRUE(again.Open());
    PreferencesLoadOptions options;
    options.mainPanelMaxWidth = 900;
    LoadPreferences(again.prefs, options);
    EXPECT_EQ(again.prefs.mainPopupsState, savedStates);
    EXPECT_EQ(again.prefs.mainPopupsWidth, 300u);
    ASSERT_TRUE(again.BuildPanel());
    const RECT r = RectInParent(*again.panel);
    EXPECT_EQ(r.right - r.left, 300);
    for (UINT i = 0; i < 4; ++i) {
        wchar_t text[64] = {};
        again.panel->GetRegion(i)->GetHeader()->GetWindowText(text, 64);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), RegionCaption(savedStates[i].id));
        EXPECT_EQ(again.panel->GetRegion(i)->IsExpanded(), savedStates[i].expanded != 0 || i == 0) << i;
    }
}

TEST_F(MainPopupsTest, AWonGameShowsItsNewStatisticsAndBestTime) {
    ASSERT_TRUE(host.BuildPanel());
    EXPECT_EQ(host.panel->GetStatisticsControl()->GetStatistics().played, 0);
    // What the main window does after a win.
    AddGameStatistics(u"Golf", true, 125);
    host.panel->UpdateStatistics(nullptr);
    CBestTimesTable table(u"Golf");
    ASSERT_TRUE(table.Qualifies(125));
    table.Insert(u"Ann", 125);
    host.panel->UpdateBestTimes(nullptr);
    host.panel->RefreshAfterGameChange();
    EXPECT_EQ(host.panel->GetStatisticsControl()->GetStatistics().won, 1);
    EXPECT_EQ(host.panel->GetBestScoresTable()->GetCellText(0, 0), L"Ann");
    EXPECT_EQ(host.panel->GetBestScoresTable()->GetCellText(0, 1), L"2:05");
    // Another game: its own records.
    SetGame(host.engine, "Klondike", "Build down.");
    host.panel->ShowCurrentGame();
    EXPECT_EQ(host.panel->GetStatisticsControl()->GetGameName(), u"Klondike");
    EXPECT_EQ(host.panel->GetBestScoresTable()->GetCellText(0, 0), L"---");
    EXPECT_EQ(host.panel->GetRulesControl()->GetText(), L"Build down.");
    // The clear button pauses the host's clock while it asks.
    bool paused = false;
    host.panel->GetClearButton()->SetMessageBox([&](HWND, const wchar_t*, const wchar_t*, UINT) {
        paused = host.clock.IsPaused();
        return IDNO;
    });
    host.clock.StartNewDeal();
    host.panel->GetClearButton()->SendMessage(BM_CLICK);
    EXPECT_TRUE(paused);
}

TEST_F(MainPopupsTest, BuildingAndDestroyingThePanelLeavesNoGdiObjects) {
    // Warm up: the system makes some objects once, on first use (the
    // window's frame drawn active, the browser control's first page error
    // a moment later).
    ::RedrawWindow(host, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(1000);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(host.BuildPanel());
        host.DestroyPanel();
    }
    PumpFor(1000);
    const DWORD before = CountGdiObjects();
    ASSERT_GT(before, 0u);
    HBRUSH probe = ::CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(CountGdiObjects(), before + 1);   // the count sees one object
    ::DeleteObject(probe);
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(host.BuildPanel());
        host.DestroyPanel();
    }
    // The browser control finishes its failed page load a moment after the
    // panel goes; wait until the count stays put.
    DWORD after = CountGdiObjects();
    for (int i = 0; i < 10; ++i) {
        PumpFor(500);
        const DWORD now = CountGdiObjects();
        if (now == after) break;
        after = now;
    }
    std::printf("GDI objects before: %lu, after 100 panels: %lu\n", static_cast<unsigned long>(before),
                static_cast<unsigned long>(after));
    // A leak in building or destroying the panel would show once per panel,
    // 100 or more; a busy machine can leave the browser control's few
    // objects of one late page load still alive.
    EXPECT_LE(after, before + 5);
}
}  // namespace
}  // namespace corvelle::test

namespace corvelle::test {
namespace {

// Keeps the host open for a screenshot (run by hand:
// --gtest_also_run_disabled_tests --gtest_filter=*Screenshot*).
TEST_F(MainPopupsTest, DISABLED_Screenshot) {
    AddGameStatistics(u"Golf", true, 185);
    AddGameStatistics(u"Golf", false, 240);
    AddGameStatistics(u"Golf", true, 95);
    CBestTimesTable table(u"Golf");
    table.Insert(u"Ann", 95);
    table.Insert(u"Bertrand", 185);
    RECT r{0, 0, 900, 960};
    ::AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    ::SetWindowPos(host, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_TRUE(host.BuildPanel());
    PumpFor(8000);
}

}  // namespace
}  // namespace corvelle::test
