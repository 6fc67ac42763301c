// A deal of Klondike played to a win with the mouse: the steps come from the
// library's win search (corvelle-cli solve, run by the build), the driver
// drags and clicks them on the screen where the field draws the cards, the
// name for the best time is typed into the win dialog, and the statistics
// and best times are read back from the registry and from the side panel,
// whose controls must show them as they draw them from the registry.
#include <gtest/gtest.h>

#include <cmath>
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


// Deals `deal` of Klondike (draw one) into `engine` as the program starts
// it (the deal and its start events).
void DealKlondike(CGameEngine& engine, uint32_t deal) {
    ASSERT_TRUE(test::DealLibraryGame(engine, "Klondike (draw one)", deal));
    uint8_t flag = 1;
    engine.RunAutomaticEvents(AutomaticEvents::AtGameStart, Recording::Unrecorded, flag);
    engine.RefreshExposedCards(Recording::Unrecorded);
}

// Starts the program and waits until it shows its game and takes input:
// its main window, its field and the field's size.
void StartShowing(Program& program, HWND* main, HWND* field, int* width, int* height) {
    ASSERT_TRUE(program.Start());
    *main = WaitForMainWindow(program.Pid(), 30000);
    ASSERT_NE(*main, nullptr);
    *field = FindField(*main);
    ASSERT_NE(*field, nullptr);
    ASSERT_TRUE(WaitUntilReady(program, *main));
    RECT client;
    ::GetClientRect(*field, &client);
    *width = client.right;
    *height = client.bottom;
}

TEST(EndToEndMouse, PlaysAKlondikeDealToAWinAndEntersTheBestTime) {
    const std::vector<Step> steps = ReadSteps(CORVELLE_WIN_STEPS);
    ASSERT_FALSE(steps.empty()) << "no steps in " << CORVELLE_WIN_STEPS;

    // The program is to restore deal CORVELLE_WIN_DEAL of Klondike; the
    // driver keeps its own copy of the game in step with the screen.
    CGameEngine engine;
    ASSERT_NO_FATAL_FAILURE(DealKlondike(engine, CORVELLE_WIN_DEAL));
    // The Rules region closed, so that the panel's view holds the best
    // times and the statistics whole.
    PrepareStart(engine, "Klondike (draw one)", CORVELLE_WIN_DEAL, [](CRegistryKey& prefs) {
        const uint8_t panelState[32] = {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0,
                                        2, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0};
        prefs.WriteBinary(u"mainPopupsState", panelState, sizeof panelState);
    });
    const std::u16string name(u"Klondike (draw one)");

    Program program;
    HWND main = nullptr, field = nullptr;
    int width = 0, height = 0;
    ASSERT_NO_FATAL_FAILURE(StartShowing(program, &main, &field, &width, &height));
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

// The inside of a card whose top-left corner is at client point (x, y) of
// the field, as the screen shows it: the card less three pixels all round,
// where its rounded corners let the table through.
Screenshot CardInside(HWND field, int32_t x, int32_t y) {
    const POINT at = OnScreen(field, x + 3, y + 3);
    return CaptureScreen(RECT{at.x, at.y, at.x + 79 - 6, at.y + 112 - 6});
}

// A move of a pile's top card (shown whole) whose destination's top card,
// or base, lies at least `reach` pixels from it in a field of width x
// height.
struct FarMove {
    uint16_t card = 0;
    uint16_t to = 0;
    CardSpot from;
    CardSpot over;
};
bool FindFarMove(const CGameEngine& engine, int width, int height, double reach, FarMove* out) {
    std::vector<CGameEngine::HintMove> hints;
    engine.FindAllHints(hints, false);
    for (const CGameEngine::HintMove& h : hints) {
        if (h.second == kNone) continue;
        const CardState& c = engine.cardStates[h.first];
        if (c.position + 1 != engine.pileStates[c.pile].count) continue;
        const uint16_t onTarget = engine.pileStates[h.second].count;
        FarMove m;
        if (!SpotOf(engine, c.pile, c.position, width, height, m.from) ||
            !SpotOf(engine, h.second, onTarget == 0 ? -1 : onTarget - 1, width, height, m.over))
            continue;
        if (std::hypot(m.over.x - m.from.x, m.over.y - m.from.y) < reach) continue;
        m.card = h.first;
        m.to = h.second;
        *out = m;
        return true;
    }
    return false;
}

// A card pressed off its centre and carried in one jump of more than 300
// pixels, through the system's input queue, straight over a legal target:
// the card shows whole under the pointer, grabbed where it was pressed,
// and the release there makes the move.
TEST(EndToEndMouse, AFastDragKeepsTheCardUnderThePointerAndDropsWhereReleased) {
    constexpr double kJump = 300;
    // A deal with such a move even in the smallest field the main window
    // leaves (a larger field only moves the piles further apart).
    CGameEngine engine;
    uint32_t deal = 0;
    FarMove move;
    for (uint32_t n = 1; n <= 100 && deal == 0; ++n) {
        ASSERT_NO_FATAL_FAILURE(DealKlondike(engine, n));
        if (FindFarMove(engine, 867, 686, kJump, &move)) deal = n;
    }
    ASSERT_NE(deal, 0u) << "no deal with a move across the field";
    PrepareStart(engine, "Klondike (draw one)", deal);

    Program program;
    HWND main = nullptr, field = nullptr;
    int width = 0, height = 0;
    ASSERT_NO_FATAL_FAILURE(StartShowing(program, &main, &field, &width, &height));
    ASSERT_TRUE(FindFarMove(engine, width, height, kJump, &move));

    const Screenshot card = CardInside(field, move.from.x, move.from.y);
    const POINT press = OnScreen(field, move.from.x + 17, move.from.y + 29);
    const POINT over{press.x + move.over.x - move.from.x, press.y + move.over.y - move.from.y};
    // Where the pointer really goes: the input's absolute coordinates come
    // to the screen's pixels rounded.
    auto cursorAt = [](POINT p) {
        POINT at{};
        WaitFor([&] { return ::GetCursorPos(&at) && std::abs(at.x - p.x) <= 1 && std::abs(at.y - p.y) <= 1; }, 2000);
        return at;
    };
    MoveTo(press);
    const POINT pressedAt = cursorAt(press);
    PressLeft(press);
    MoveTo(over);
    // The card shows whole within a pixel of where the jump took it... Wine
    // answers the pointer warp behind an injected move with a move of its
    // own back to where the pointer was, and at times holds the move that
    // brings it forward again until more input comes: the pointer is put
    // where it is once more (a move only when Wine took it back).
    POINT shownAt{-1, -1};
    const bool carried = WaitFor(
        [&] {
            MoveTo(over);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (CardInside(field, move.over.x + dx, move.over.y + dy) == card) {
                        shownAt = POINT{move.over.x + dx, move.over.y + dy};
                        return true;
                    }
            return false;
        },
        5000);
    if (!carried) WriteBmp(CaptureClient(field), L"fast-drag-carried.bmp");
    EXPECT_TRUE(carried) << "after the jump the card is not where the pointer holds it; see fast-drag-carried.bmp";
    ReleaseLeft(over);
    // ...exactly where the pointer holds it, grabbed where it was pressed.
    const POINT releasedAt = cursorAt(over);
    EXPECT_GE(std::hypot(releasedAt.x - pressedAt.x, releasedAt.y - pressedAt.y), kJump - 2);
    EXPECT_EQ(shownAt.x, move.from.x + releasedAt.x - pressedAt.x);
    EXPECT_EQ(shownAt.y, move.from.y + releasedAt.y - pressedAt.y);

    const uint16_t onTarget = engine.pileStates[move.to].count;
    ASSERT_TRUE(PlayMove(engine, move.card, move.to));
    CardSpot placed;
    ASSERT_TRUE(SpotOf(engine, move.to, onTarget, width, height, placed));
    const bool moved = WaitFor([&] { return CardInside(field, placed.x, placed.y) == card; }, 5000);
    if (!moved) WriteBmp(CaptureClient(field), L"fast-drag-dropped.bmp");
    EXPECT_TRUE(moved) << "the card was not moved onto its target; see fast-drag-dropped.bmp";
    EXPECT_NE(CardInside(field, move.from.x, move.from.y), card);

    EXPECT_TRUE(BringToFront(main));
    PressKey(VK_F4, false, true);
    EXPECT_TRUE(program.WaitExit(20000)) << "Alt+F4 did not end the program";
}

}  // namespace
}  // namespace corvelle
