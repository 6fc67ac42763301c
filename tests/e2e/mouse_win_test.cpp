// A deal of Klondike played to a win with the mouse: the steps come from the
// library's win search (corvelle-cli solve, run by the build), the driver
// drags and clicks them on the screen where the field draws the cards, the
// name for the best time is typed into the win dialog, and the statistics
// and best times are read back from the registry and from the side panel,
// whose controls must show them as they draw them from the registry.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"
#include "panel_view.h"
#include "engine/player_move.h"
#include "engine/registry.h"
#include "engine/resources.h"
#include "engine/saved_game.h"
#include "engine/statistics.h"
#include "field/field_model.h"
#include "field/pile_geometry.h"
#include "library_games.h"
#include "game_setup.h"

namespace corvelle {
namespace {

using namespace drive;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(EndToEndMouse, PlaysAKlondikeDealToAWinAndEntersTheBestTime) {
    const std::vector<Step> steps = ReadSteps(CORVELLE_WIN_STEPS);
    ASSERT_FALSE(steps.empty()) << "no steps in " << CORVELLE_WIN_STEPS;

    // The program is to restore deal CORVELLE_WIN_DEAL of Klondike; the
    // driver keeps its own copy of the game in step with the screen.
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, "Klondike (draw one)", CORVELLE_WIN_DEAL));
    uint8_t flag = 1;
    engine.RunAutomaticEvents(AutomaticEvents::AtGameStart, Recording::Unrecorded, flag);
    engine.RefreshExposedCards(Recording::Unrecorded);
    // The Rules region closed, so that the panel's view holds the best
    // times and the statistics whole.
    PrepareStart(engine, "Klondike (draw one)", CORVELLE_WIN_DEAL, [](CRegistryKey& prefs) {
        const uint8_t panelState[32] = {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,
                                        2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0};
        prefs.WriteBinary(u"mainPopupsState", panelState, sizeof panelState);
    });
    const std::u16string name(u"Klondike (draw one)");

    Program program;
    ASSERT_TRUE(program.Start());
    HWND main = WaitForMainWindow(program.Pid(), 30000);
    ASSERT_NE(main, nullptr);
    HWND field = FindField(main);
    ASSERT_NE(field, nullptr);
    ASSERT_TRUE(WaitUntilReady(program, main));
    RECT client;
    ::GetClientRect(field, &client);
    const int width = client.right, height = client.bottom;
    Screenshot shown = CaptureSettled(field, 10000);

    // The panel's statistics and best times as shown before the game.
    const HWND panel = FindPanel(main);
    ASSERT_NE(panel, nullptr);
    const HWND stats = FindChildOfClass(PanelRegion(panel, L"Statistics").body, L"Static");
    const HWND list = FindChildOfClass(PanelRegion(panel, L"Best Times").body, L"SysListView32");
    ASSERT_NE(stats, nullptr) << Narrow(PanelOrder(panel));
    ASSERT_NE(list, nullptr);
    RECT panelRect;
    ::GetWindowRect(panel, &panelRect);
    for (HWND control : {stats, list}) {
        RECT r, in;
        ::GetWindowRect(control, &r);
        ASSERT_TRUE(::IntersectRect(&in, &r, &panelRect) && ::EqualRect(&in, &r))
            << "a control lies outside the panel's view: " << r.left << "," << r.top << "-" << r.right << ","
            << r.bottom << " in " << panelRect.left << "," << panelRect.top << "-" << panelRect.right << ","
            << panelRect.bottom;
    }
    const Screenshot statsBefore = CaptureSettled(stats, 5000);
    const Screenshot listBefore = CaptureSettled(list, 5000);

    for (size_t i = 0; i < steps.size() && !engine.finished; ++i) {
        const Step& s = steps[i];
        CardSpot from, to;
        const uint16_t count = engine.pileStates[s.from].count;
        if (s.click) {
            ASSERT_TRUE(SpotOf(engine, s.from, count == 0 ? -1 : count - 1, width, height, from)) << "step " << i;
        } else {
            const uint16_t destCount = engine.pileStates[s.to].count;
            ASSERT_TRUE(SpotOf(engine, s.from, count - s.count, width, height, from)) << "step " << i;
            ASSERT_TRUE(SpotOf(engine, s.to, destCount == 0 ? -1 : destCount - 1, width, height, to)) << "step " << i;
        }
        const auto gesture = [&] {
            BringToFront(main);
            if (s.click) {
                Click(OnScreen(field, from.x + 39, from.y + 56));
            } else {
                const POINT press = OnScreen(field, from.x + 10, from.y + 8);
                Drag(press, POINT{press.x + to.x - from.x, press.y + to.y - from.y});
            }
        };
        gesture();
        if (s.click) {
            ASSERT_TRUE(PlayClick(engine, s.from)) << "step " << i;
        } else {
            ASSERT_TRUE(PlayMove(engine, engine.CardAt(s.from, count - s.count), s.to)) << "step " << i;
        }
        if (engine.finished) break;
        // The field shows the step before the next one is made. A field that
        // still shows the same cards once the program waits for input again
        // did not get the gesture (an input event lost under load): it is
        // made once more.
        const Screenshot before = shown;
        shown = CaptureSettled(field, 10000, &before, 60);
        if (shown == before) {
            ::WaitForInputIdle(program.Handle(), 10000);
            shown = CaptureSettled(field, 1000, &before, 60);
        }
        if (shown == before) {
            std::fprintf(stderr, "step %u changed nothing: the gesture is made once more\n", static_cast<unsigned>(i));
            gesture();
            shown = CaptureSettled(field, 10000, &before, 60);
        }
        if (shown == before) {
            WriteBmp(shown, L"mouse-win-stuck.bmp");
            FAIL() << "step " << i << " (" << s.from << " " << s.to << " " << s.count << (s.click ? " click" : "")
                   << ") changed nothing on the screen (from " << from.x << "," << from.y << " to " << to.x << ","
                   << to.y << " in a field of " << width << "x" << height << "); it is in mouse-win-stuck.bmp";
        }
    }
    ASSERT_TRUE(engine.finished) << "the steps did not win";

    HWND win = WaitForWindowTitled(program.Pid(), L"Congratulations!", 20000);
    ASSERT_NE(win, nullptr) << "no win dialog";
    ASSERT_TRUE(BringToFront(win)) << "the win dialog did not take the focus";
    PressKey(VK_BACK);
    TypeText(L"tester");
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(win); }, 10000));

    GameStatistics s;
    ReadGameStatistics(name, s);
    EXPECT_EQ(s.played, 1);
    EXPECT_EQ(s.won, 1);
    CBestTimesTable best(name);
    EXPECT_EQ(std::u16string(best.GetName(0)), u"tester");
    EXPECT_EQ(best.GetTime(0), s.totalSeconds);
    EXPECT_GT(best.GetTime(0), 0u);
    EXPECT_EQ(best.GetTime(1), 0u);

    // The won game is followed by a new deal: close once the window takes
    // input again.
    EXPECT_TRUE(WaitUntilReady(program, main));

    // The panel shows the new records: both controls change and settle...
    const Screenshot statsAfter = CaptureSettled(stats, 10000, &statsBefore);
    const Screenshot listAfter = CaptureSettled(list, 10000, &listBefore);
    EXPECT_NE(statsAfter, statsBefore) << "the statistics did not change on the screen";
    EXPECT_NE(listAfter, listBefore) << "the best times did not change on the screen";
    const SIZE statsSize = WindowSize(stats), listSize = WindowSize(list);
    const int headerHeight = WindowSize(FindChildOfClass(list, L"SysHeader32")).cy;
    RECT statsAt, listAt;
    ::GetWindowRect(stats, &statsAt);
    ::GetWindowRect(list, &listAt);

    EXPECT_TRUE(BringToFront(main));
    PressKey(VK_F4, false, true);
    EXPECT_TRUE(program.WaitExit(20000)) << "Alt+F4 did not end the program";

    // ...into exactly what the same controls draw from the registry's
    // values (drawn here, where the program's window was, once it is gone;
    // the list's rows, below the column header the system draws).
    const Screenshot statsDrawn = DrawStatisticsLike(name, statsSize, POINT{statsAt.left, statsAt.top});
    const Screenshot listDrawn = DrawBestTimesLike(name, listSize, POINT{listAt.left, listAt.top});
    EXPECT_TRUE(statsDrawn == statsAfter) << "the panel's statistics are not the registry's; see stats-*.bmp";
    EXPECT_TRUE(RowsBelow(listDrawn, headerHeight) == RowsBelow(listAfter, headerHeight))
        << "the panel's best times are not the registry's; see best-*.bmp";
    if (statsDrawn != statsAfter) {
        WriteBmp(statsAfter, L"stats-shown.bmp");
        WriteBmp(statsDrawn, L"stats-drawn.bmp");
    }
    if (listDrawn != listAfter) {
        WriteBmp(listAfter, L"best-shown.bmp");
        WriteBmp(listDrawn, L"best-drawn.bmp");
    }
}

}  // namespace
}  // namespace corvelle
