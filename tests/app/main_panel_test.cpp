// The main window with its side panel under Wine: the panel shows the game
// in play and its records, follows the results the game flow records, and
// comes back after a restart with the order, state and width the player
// left.
#include <gtest/gtest.h>

#include "app/corvelle_dlg.h"
#include "engine/statistics.h"
#include "panels/best_scores_table.h"
#include "panels/html_text_static.h"
#include "panels/panel_layout.h"
#include "panels/panel_texts.h"
#include "panels/region_header.h"
#include "panels/sol_main_popups.h"
#include "panels/statistics_control.h"
#include "res/resource.h"
#include "support/message_pump.h"
#include "support/registry_sandbox.h"

namespace corvelle {
namespace {

CSolMainPopups& PanelOf(CCorvelleDlg& main) {
    return *main.GetMainPanel();
}

class MainWindowPanelTest : public test::RegistrySandbox {};

TEST_F(MainWindowPanelTest, ThePanelShowsTheGameInPlayAndTheResultsRecorded) {
    CCorvelleDlg main;
    ASSERT_TRUE(main.CreateModeless());
    test::PumpMessages();
    CSolMainPopups& panel = PanelOf(main);
    const std::u16string name = main.GetGameFlow().GetGameName();
    EXPECT_EQ(panel.GetGameName(), name);
    const std::u16string rules = RulesMarkup(main.GetEngine()->rulesText.data());
    EXPECT_EQ(panel.GetRulesControl()->GetText(), std::wstring(rules.begin(), rules.end()));
    EXPECT_EQ(::GetParent(panel), main.GetSafeHwnd());
    RECT client, r;
    main.GetClientRect(&client);
    ::GetWindowRect(panel, &r);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.right, client.right);
    EXPECT_EQ(r.right - r.left, static_cast<LONG>(main.GetPrefs().mainPopupsWidth));
    EXPECT_EQ(r.bottom, client.bottom - kStatusBarHeight);

    // A new game records the abandoned one as lost: the panel shows it.
    EXPECT_EQ(panel.GetStatisticsControl()->GetStatistics().played, 0);
    main.SendMessage(WM_COMMAND, ID_GAME_NEW);
    test::PumpMessages();
    EXPECT_EQ(panel.GetStatisticsControl()->GetStatistics().played, 1);
    // A best time entered for the game shows after the main window's reload.
    CBestTimesTable(name).Insert(u"Grace", 75);
    main.GetMainPanel()->UpdateBestTimes(nullptr);
    EXPECT_EQ(panel.GetBestScoresTable()->GetCellText(0, 0), L"Grace");
    EXPECT_EQ(panel.GetBestScoresTable()->GetCellText(0, 1), L"1:15");
    main.SendMessage(WM_CLOSE);
    test::PumpMessages();
}

TEST_F(MainWindowPanelTest, OrderStateAndWidthComeBackAfterARestart) {
    std::array<PopupRegionState, kMainPopupCount> left;
    {
        CCorvelleDlg main;
        ASSERT_TRUE(main.CreateModeless());
        test::PumpMessages();
        // Wide enough for the panel's 300 pixels beside the smallest field.
        main.SetWindowPos(nullptr, 0, 0, kMainWindowMinWidth + 150, kMainWindowMinHeight,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        CSolMainPopups& panel = PanelOf(main);
        // What a header drag, a header click and an edge drag leave behind.
        panel.MoveRegion(3, 1);
        panel.OnRegionMoved(3, 1);
        panel.GetRegion(2)->Toggle();
        main.GetPrefs().mainPopupsWidth = 300;
        main.RecalcLayout();
        left = main.GetPrefs().mainPopupsState;
        EXPECT_EQ(left[1].id, kRegionStatistics);
        EXPECT_EQ(left[2].expanded, 0);
        main.SendMessage(WM_CLOSE);
        test::PumpMessages();
    }
    CCorvelleDlg again;
    ASSERT_TRUE(again.CreateModeless());
    test::PumpMessages();
    EXPECT_EQ(again.GetPrefs().mainPopupsState, left);
    EXPECT_EQ(again.GetPrefs().mainPopupsWidth, 300u);
    CSolMainPopups& panel = PanelOf(again);
    RECT r;
    ::GetClientRect(panel, &r);
    EXPECT_EQ(r.right, 300);
    for (UINT i = 0; i < kMainPopupCount; ++i) {
        wchar_t caption[32] = {};
        ::GetWindowTextW(panel.GetRegion(i)->GetHeader()->GetSafeHwnd(), caption, 32);
        const std::u16string expected = RegionCaption(left[i].id);
        EXPECT_EQ(std::wstring(caption), std::wstring(expected.begin(), expected.end()));
        EXPECT_EQ(panel.GetRegion(i)->IsExpanded(), left[i].expanded != 0) << i;
    }
    again.SendMessage(WM_CLOSE);
    test::PumpMessages();
}

}  // namespace
}  // namespace corvelle
