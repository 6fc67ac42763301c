// The main window and its dialogs as a player meets them, through the
// system's input queue: where the dialogs open, the side panel's edge
// dragged at the smallest window, starts from stored values of any kind,
// Ctrl+M and the maximised window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "driver.h"
#include "game_setup.h"
#include "engine/player_move.h"
#include "engine/registry.h"
#include "engine/saved_game.h"
#include "field/field_model.h"
#include "field/pile_geometry.h"
#include "library_games.h"
#include "panel_view.h"
#include "stored_prefs.h"

namespace corvelle {
namespace {

using namespace drive;

constexpr DWORD kStartMs = 30000;
constexpr DWORD kStepMs = 10000;

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

HWND StartAndWait(Program& program) {
    EXPECT_TRUE(program.Start());
    HWND main = WaitForMainWindow(program.Pid(), kStartMs);
    EXPECT_NE(main, nullptr) << "no main window";
    if (main) {
        EXPECT_TRUE(WaitUntilReady(program, main));
    }
    return main;
}

void Key(HWND window, WORD vk, bool ctrl = false, bool alt = false) {
    EXPECT_TRUE(BringToFront(window)) << "the window did not take the focus";
    PressKey(vk, ctrl, alt);
}

// A dialog's place: centred on the main window, moved onto the work area
// where it would leave it.
void ExpectCentredOnMain(HWND dialog, HWND main, const char* what) {
    ASSERT_NE(dialog, nullptr) << what << " did not open";
    RECT d, m;
    ::GetWindowRect(dialog, &d);
    ::GetWindowRect(main, &m);
    const RECT work = WorkAreaOf(main);
    const LONG w = d.right - d.left, h = d.bottom - d.top;
    LONG x = (m.left + m.right - w) / 2, y = (m.top + m.bottom - h) / 2;
    x = std::max(work.left, std::min(x, work.right - w));
    y = std::max(work.top, std::min(y, work.bottom - h));
    EXPECT_NEAR(d.left, x, 2) << what << " at " << RectText(d) << " over the main window at " << RectText(m);
    EXPECT_NEAR(d.top, y, 2) << what << " at " << RectText(d) << " over the main window at " << RectText(m);
}

void CloseWith(HWND dialog, WORD vk) {
    ASSERT_TRUE(BringToFront(dialog));
    PressKey(vk);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, kStepMs));
}

// The first deal of `name` (from 1) whose start leaves no move: the
// program shows the lost dialog when it deals it.
uint32_t DeadDeal(const std::string& name) {
    CGameEngine engine;
    for (uint32_t number = 1; number <= 200; ++number) {
        if (!test::DealLibraryGame(engine, name, number)) return 0;
        uint16_t a = 0, b = 0;
        if (!engine.finished && !engine.FindHint(0, a, b, true)) return number;
    }
    return 0;
}

TEST(EndToEndWindow, DialogsOpenCentredOverTheMainWindow) {
    const std::string klondike = "Klondike (draw one)";
    const std::vector<Step> steps = ReadSteps(CORVELLE_WIN_STEPS);
    ASSERT_FALSE(steps.empty());
    {
        // Options, About, the first selection dialog and the win dialog
        // (best times are empty, so the win asks for the name).
        SavingOwner owner(30);
        CGameEngine engine(&owner);
        Step last;
        ASSERT_TRUE(PlayUpToTheWinningStep(engine, klondike, CORVELLE_WIN_DEAL, steps, &last));
        PrepareStart(engine, klondike, CORVELLE_WIN_DEAL);
        Program program;
        HWND main = StartAndWait(program);
        ASSERT_NE(main, nullptr);

        Key(main, 'O', true);
        HWND options = WaitForWindowTitled(program.Pid(), L"Options", kStepMs);
        ExpectCentredOnMain(options, main, "Options");
        CloseWith(options, VK_ESCAPE);

        ASSERT_NE(OpenMenuWith(program.Pid(), [&] { Key(main, 'H', false, true); }, kStepMs), nullptr);
        PressKey(VK_RETURN);
        HWND about = WaitForWindowTitled(program.Pid(), L"About", kStepMs);
        ExpectCentredOnMain(about, main, "About");
        CloseWith(about, VK_RETURN);

        Key(main, 'S', true);
        HWND select = WaitForWindowTitled(program.Pid(), L"Select Solitaire", kStepMs);
        ExpectCentredOnMain(select, main, "the first selection dialog");
        CloseWith(select, VK_ESCAPE);

        ASSERT_TRUE(WaitUntilReady(program, main));
        HWND field = FindField(main);
        RECT client;
        ::GetClientRect(field, &client);
        POINT press, release;
        StepGesture(engine, last, client.right, client.bottom, &press, &release);
        // The last step, made once more when no dialog follows (an input
        // event lost under load).
        HWND win = nullptr;
        for (int attempt = 0; attempt < 2 && !win; ++attempt) {
            BringToFront(main);
            if (last.click)
                Click(OnScreen(field, press.x, press.y));
            else
                Drag(OnScreen(field, press.x, press.y), OnScreen(field, release.x, release.y));
            win = WaitForWindowTitled(program.Pid(), L"Congratulations!", attempt == 0 ? 8000 : 20000);
            if (!win) std::fprintf(stderr, "no win dialog: the last step is made once more\n");
        }
        ExpectCentredOnMain(win, main, "the win dialog");
    }
    {
        // Time up: a timed game of one minute restored after two.
        SavingOwner owner(120);
        CGameEngine engine(&owner);
        ASSERT_TRUE(test::DealLibraryGame(engine, klondike, CORVELLE_WIN_DEAL));
        PrepareStart(engine, klondike, CORVELLE_WIN_DEAL, [](CRegistryKey& prefs) {
            const uint8_t on = 1;
            prefs.WriteBinary(u"timedGame", &on, 1);
            prefs.WriteDword(u"timeLimit", 1);
        });
        Program program;
        ASSERT_TRUE(program.Start());
        HWND main = WaitForMainWindow(program.Pid(), kStartMs);
        ASSERT_NE(main, nullptr);
        HWND timeUp = WaitForWindowTitled(program.Pid(), L"Sorry...", 20000);
        ExpectCentredOnMain(timeUp, main, "the time-up dialog");
    }
    {
        // Lost: a restart deals a deal that has no move.
        const std::string thirteens = "Thirteens";
        const uint32_t dead = DeadDeal(thirteens);
        ASSERT_NE(dead, 0u) << "no deal of " << thirteens << " without a move";
        SavingOwner owner(5);
        CGameEngine engine(&owner);
        ASSERT_TRUE(test::DealLibraryGame(engine, thirteens, dead));
        PrepareStart(engine, thirteens, dead);
        Program program;
        HWND main = StartAndWait(program);
        ASSERT_NE(main, nullptr);
        Key(main, 'R', true);
        HWND lost = WaitForWindowTitled(program.Pid(), L"Sorry...", kStepMs);
        ExpectCentredOnMain(lost, main, "the lost dialog");
    }
}

// A stored placement smaller than the window's minimum: the window opens
// at its smallest size.
void StoreSmallestPlacement(CRegistryKey& prefs) {
    int32_t placement[11] = {44, 0, 1, -1, -1, -1, -1, 0, 0, 10, 10};
    prefs.WriteBinary(u"mainWindowPos", placement, sizeof placement);
}

TEST(EndToEndWindow, ThePanelsEdgeDraggedFarLeavesEveryPileInTheVisibleField) {
    // Thirteens: its stock and discard pile lie at the field's right edge.
    const std::string thirteens = "Thirteens";
    SavingOwner owner(0);
    CGameEngine engine(&owner);
    ASSERT_TRUE(test::DealLibraryGame(engine, thirteens, 3));
    PrepareStart(engine, thirteens, 3, StoreSmallestPlacement);
    Program program;
    HWND main = StartAndWait(program);
    ASSERT_NE(main, nullptr);
    RECT window;
    ::GetWindowRect(main, &window);
    EXPECT_EQ(window.right - window.left, 1100);
    EXPECT_EQ(window.bottom - window.top, 800);
    const HWND panel = FindPanel(main), field = FindField(main);
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(field, nullptr);

    // The panel's left edge dragged 600 pixels to the left.
    RECT edge;
    ::GetWindowRect(panel, &edge);
    const POINT from{edge.left + 1, (edge.top + edge.bottom) / 2};
    BringToFront(main);
    Drag(from, POINT{from.x - 600, from.y});
    ASSERT_TRUE(WaitUntilReady(program, main));
    const Screenshot shown = CaptureSettled(field, kStepMs);

    RECT fieldRect, panelRect, overlap;
    ::GetWindowRect(field, &fieldRect);
    ::GetWindowRect(panel, &panelRect);
    EXPECT_FALSE(::IntersectRect(&overlap, &fieldRect, &panelRect))
        << "field " << RectText(fieldRect) << ", panel " << RectText(panelRect);
    const int width = shown.width, height = shown.height;
    EXPECT_GE(width, kSmallestFieldWidth);
    EXPECT_GE(height, kSmallestFieldHeight);

    // Every card and base of every pile lies inside the field, and the
    // field draws the top of each pile where its hit region says.
    FieldLayout layout;
    ASSERT_TRUE(BuildFieldLayout(engine, layout));
    layout.SetStandardGeometry();
    const uint32_t background = 0x008000;   // the default colour, as the screen gives it
    int piles = 0;
    for (uint16_t p = 0; p < layout.piles.size(); ++p) {
        std::vector<CardSpot> spots;
        LayOutPile(layout, layout.piles[p], width, height, spots);
        for (const CardSpot& s : spots) {
            EXPECT_TRUE(s.x >= 0 && s.y >= 0 && s.x + 79 <= width && s.y + 112 <= height)
                << "pile " << p << " card " << s.index << " at " << s.x << "," << s.y << " in a field of " << width
                << " x " << height;
        }
        if (spots.empty() || layout.piles[p].cards.empty()) continue;
        const CardSpot& top = spots.back();
        const int x = std::min(std::max(top.x + 39, 0), width - 1), y = std::min(std::max(top.y + 56, 0), height - 1);
        EXPECT_NE(shown.At(x, y), background) << "pile " << p << " is not drawn at " << top.x << "," << top.y;
        ++piles;
    }
    EXPECT_GT(piles, 3);
}

// ---- starts from stored values of any kind

using Bytes = std::vector<uint8_t>;

class RandomValues {
public:
    explicit RandomValues(uint32_t seed) : rng(seed) {}
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(rng() % n); }
    bool OneIn(uint32_t n) { return Below(n) == 0; }
    uint32_t Any() { return static_cast<uint32_t>(rng()); }
    Bytes Random(size_t size) {
        Bytes bytes(size);
        for (uint8_t& b : bytes) b = static_cast<uint8_t>(Any());
        return bytes;
    }
    // A value of `size` bytes, now and then of another size.
    Bytes Sized(size_t size) { return Random(OneIn(6) ? Below(2 * static_cast<uint32_t>(size) + 2) : size); }
    Bytes Number(uint32_t value) {
        if (OneIn(8)) return Random(Below(9));
        Bytes bytes(4);
        for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
        return bytes;
    }
    uint32_t OneOf(std::initializer_list<uint32_t> values) { return *(values.begin() + Below(static_cast<uint32_t>(values.size()))); }
    // A corner of a stored placement: extremes, far off the screen, or anything.
    uint32_t Coordinate() {
        return OneOf({0x80000000u, 0x7FFFFFFFu, static_cast<uint32_t>(-100000), 0, 100000, 30000, Any(), Below(3000)});
    }
    Bytes Placement() {
        if (OneIn(8)) return Random(Below(60));
        Bytes bytes;
        for (int i = 0; i < 11; ++i) {
            const Bytes n = Number(i < 3 ? Any() : Coordinate());
            if (n.size() != 4) return Random(44);
            bytes.insert(bytes.end(), n.begin(), n.end());
        }
        return bytes;
    }
    // A panel's regions: random bytes or the right ids with random states.
    Bytes States(std::vector<uint32_t> ids) {
        if (OneIn(2)) return Sized(8 * ids.size());
        std::shuffle(ids.begin(), ids.end(), rng);
        Bytes bytes;
        for (uint32_t id : ids) {
            const Bytes n = Number(id);
            bytes.insert(bytes.end(), n.begin(), n.end());
            for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(Any()));
        }
        return bytes;
    }

private:
    std::mt19937 rng;
};

struct StoredValue {
    const char16_t* name;
    uint32_t type;
    Bytes bytes;
};

// Every preference with a value out of its range (or of the wrong size, or
// anything), the field picture left off so that the field shows its colour.
std::vector<StoredValue> RandomPreferences(RandomValues& r) {
    const uint32_t width = r.OneOf({0, 100, 220, 0x7FFFFFFF, 0xFFFFFFFF, 100000, 5000, 1500, 900});
    return {
        {u"failed", kRegBinary, r.OneIn(3) ? r.Sized(1) : Bytes{0}},
        {u"timedGame", kRegBinary, r.Sized(1)},
        {u"timeLimit", kRegDword, r.Number(r.OneOf({0, 2, 4, 7, 11, 0xFFFFFFFF, r.Any()}))},
        {u"animation", kRegBinary, r.Sized(1)},
        {u"playMode", kRegBinary, r.Sized(1)},
        {u"bgColor", kRegDword, r.Number(r.Any() | (r.OneIn(2) ? 0x01000000u << r.Below(8) : 0))},
        {u"bgCustomColors", kRegBinary, r.Sized(64)},
        {u"bgPicture", kRegBinary, Bytes{static_cast<uint8_t>(r.OneIn(3) ? 0 : 2 + r.Below(254))}},
        {u"bgPicturePosition", kRegBinary, r.Sized(1)},
        {u"cardBack", kRegDword, r.Number(r.OneOf({1, 2, 3, 4, 0x80000000u, r.Any()}))},
        {u"curSolId", kRegDword, r.Number(r.OneOf({r.Below(900), 0xFFFFFFFF, 0xFFFE, r.Any()}))},
        {u"curGameNumber", kRegDword, r.Number(r.Any())},
        {u"lastEnteredName", kRegNone, r.Random(r.Below(40))},
        {u"lastPlayed", kRegNone, r.Sized(40)},
        {u"mainWindowPos", kRegBinary, r.Placement()},
        {u"mainPopupsEnabled", kRegBinary, r.Sized(1)},
        {u"mainPopupsWidth", kRegBinary, r.Number(width)},
        {u"mainPopupsState", kRegBinary, r.States({0, 1, 2, 3})},
        {u"commandBarEnabled", kRegBinary, r.Sized(1)},
        {u"commandBarIconType", kRegBinary, r.Sized(1)},
        {u"commandBarButtonsNum", kRegBinary, r.Sized(1)},
        {u"commandBarButtons", kRegBinary, r.Sized(6)},
        {u"selectPopupsWidth", kRegBinary, r.Number(r.OneOf({0, 159, 0x7FFFFFFF, 0xFFFFFFFF, 100000, 2000, 700}))},
        {u"selectPopupsState", kRegBinary, r.States({4, 5, 1, 6, 2, 3})},
        {u"filterCat", kRegDword, r.Sized(1)},
        {u"filterSkill", kRegDword, r.Sized(1)},
        {u"filterTime", kRegDword, r.Sized(1)},
        {u"filterFav", kRegBinary, r.Sized(1)},
        {u"favNum", kRegDword, r.Number(r.OneOf({0, 801, 0xFFFFFFFF, 0x80000001u, r.Below(1000)}))},
        {u"favList", kRegBinary, r.Random(r.Below(1700))},
        {u"selectWindowPos", kRegBinary, r.Placement()},
    };
}

// The shares of a field capture in `colour` (a COLORREF) and in any other.
std::pair<size_t, size_t> ColourShare(const Screenshot& shot, uint32_t colour) {
    const uint32_t pixel = (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
    const size_t same = static_cast<size_t>(std::count(shot.pixels.begin(), shot.pixels.end(), pixel));
    return {same, shot.pixels.size() - same};
}

TEST(EndToEndWindow, AnyStoredValuesOpenAUsableWindowAndAreWrittenBackInRange) {
    const uint32_t games = static_cast<uint32_t>(test::LibraryGameNames().size());
    for (uint32_t run = 0; run < 50; ++run) {
        SCOPED_TRACE("start " + std::to_string(run) + " (seed " + std::to_string(2500 + run) + ")");
        RandomValues random(2500 + run);
        DeleteRegistryTree(ProgramKeyPath());
        {
            CRegistryKey prefs;
            ASSERT_TRUE(prefs.Create(ProgramSubKey(u"prefs")));
            for (const StoredValue& v : RandomPreferences(random))
                prefs.WriteValue(v.name, v.type, v.bytes.data(), v.bytes.size());
        }
        Program program;
        ASSERT_TRUE(program.Start());
        // A run marker left set asks first: the stored values are kept.
        HWND main = nullptr;
        ASSERT_TRUE(WaitFor(
            [&] {
                if (HWND question = FindWindowTitled(program.Pid(), L"Warning")) {
                    if (BringToFront(question)) PressKey('N');
                    ::Sleep(200);
                }
                return (main = FindMainWindow(program.Pid())) != nullptr;
            },
            kStartMs))
            << "no main window";
        WaitUntilReady(program, main);
        // A deal without a move ends at once: the lost dialog's Enter deals anew.
        for (int i = 0; i < 5; ++i) {
            HWND lost = FindWindowTitled(program.Pid(), L"Sorry...");
            if (!lost) break;
            CloseWith(lost, VK_RETURN);
            WaitUntilReady(program, main);
        }
        const RECT work = WorkAreaOf(main);
        RECT window, fieldRect, client;
        ::GetWindowRect(main, &window);
        HWND field = FindField(main);
        ASSERT_NE(field, nullptr);
        ::GetWindowRect(field, &fieldRect);
        ::GetClientRect(field, &client);
        EXPECT_TRUE(window.left >= work.left && window.top >= work.top && window.left < work.right &&
                    window.top < work.bottom)
            << "the window at " << RectText(window) << " in a work area of " << RectText(work);
        EXPECT_TRUE(::IsWindowVisible(field));
        EXPECT_GE(client.right, kSmallestFieldWidth) << "field " << RectText(fieldRect);
        EXPECT_GE(client.bottom, kSmallestFieldHeight) << "field " << RectText(fieldRect);
        const Screenshot shown = CaptureSettled(field, kStepMs);
        if (run % 5 == 0) {
            // The selection dialog with its stored placement and panel width.
            Key(main, 'S', true);
            HWND select = WaitForWindowTitled(program.Pid(), L"Select Solitaire", kStepMs);
            ASSERT_NE(select, nullptr);
            RECT r;
            ::GetWindowRect(select, &r);
            EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
                << "the selection dialog at " << RectText(r);
            CloseWith(select, VK_ESCAPE);
            WaitUntilReady(program, main);
        }
        Key(main, VK_F4, false, true);
        ASSERT_TRUE(program.WaitExit(kStepMs)) << "Alt+F4 did not end the program";

        const std::string wrong = StoredPreferencesOutOfRange(work, games, true);
        EXPECT_EQ(wrong, "");
        CRegistryKey key;
        ASSERT_TRUE(key.Open(ProgramSubKey(u"prefs")));
        uint32_t colour = 0;
        key.ReadDword(u"bgColor", colour);
        const auto share = ColourShare(shown, colour);
        EXPECT_GT(share.first, shown.pixels.size() / 10) << "the field does not show its background";
        EXPECT_GT(share.second, size_t{79 * 112}) << "the field shows no cards";
        if (::testing::Test::HasFailure()) {
            WriteBmp(shown, L"stored-values-" + std::to_wstring(run) + L".bmp");
            break;
        }
    }
}

TEST(EndToEndWindow, CtrlMBlinksTheHintedCard) {
    const std::string klondike = "Klondike (draw one)";
    SavingOwner owner(0);
    CGameEngine engine(&owner);
    ASSERT_TRUE(test::DealLibraryGame(engine, klondike, CORVELLE_WIN_DEAL));
    uint16_t card = 0, target = 0;
    ASSERT_TRUE(engine.FindHint(0, card, target, false));
    PrepareStart(engine, klondike, CORVELLE_WIN_DEAL);
    Program program;
    HWND main = StartAndWait(program);
    ASSERT_NE(main, nullptr);
    HWND field = FindField(main);
    RECT client;
    ::GetClientRect(field, &client);
    CardSpot spot{};
    ASSERT_TRUE(SpotOf(engine, engine.cardStates[card].pile, engine.cardStates[card].position, client.right,
                       client.bottom, spot));
    const Screenshot before = CaptureSettled(field, kStepMs);
    const auto cardPixels = [&](const Screenshot& shot) {
        std::vector<uint32_t> pixels;
        for (int y = std::max(0, spot.y); y < std::min(shot.height, spot.y + 112); ++y)
            for (int x = std::max(0, spot.x); x < std::min(shot.width, spot.x + 79); ++x) pixels.push_back(shot.At(x, y));
        return pixels;
    };
    // Pressed as a player presses it, up to twice when the first press
    // shows nothing (an input event lost under load).
    bool blinked = false;
    for (int attempt = 0; attempt < 2 && !blinked; ++attempt) {
        Key(main, 'M', true);
        const DWORD start = ::GetTickCount();
        while (!blinked && ::GetTickCount() - start < 4000) {
            blinked = cardPixels(CaptureClient(field)) != cardPixels(before);
            ::Sleep(20);
        }
        if (!blinked) std::fprintf(stderr, "Ctrl+M showed nothing: pressed once more\n");
    }
    EXPECT_TRUE(blinked) << "Ctrl+M did not blink the hinted card";
    // Once the blink is over the field shows what it showed before.
    EXPECT_TRUE(WaitFor([&] { return CaptureClient(field) == before; }, kStepMs))
        << "the field did not come back after the blink";
}

TEST(EndToEndWindow, MaximisedTheCaptionIsOnTheScreenAndTheBottomAtTheWorkArea) {
    DeleteRegistryTree(ProgramKeyPath());
    Program program;
    HWND main = StartAndWait(program);
    ASSERT_NE(main, nullptr);
    TITLEBARINFO title{};
    title.cbSize = sizeof title;
    ASSERT_TRUE(::GetTitleBarInfo(main, &title));
    // A double click on the caption maximises the window.
    const POINT caption{(title.rcTitleBar.left + title.rcTitleBar.right) / 2,
                        (title.rcTitleBar.top + title.rcTitleBar.bottom) / 2};
    BringToFront(main);
    DoubleClick(caption);
    ASSERT_TRUE(WaitFor([&] { return ::IsZoomed(main) != FALSE; }, kStepMs)) << "the window was not maximised";
    WaitUntilReady(program, main);
    const RECT work = WorkAreaOf(main);
    RECT window, bar;
    ::GetWindowRect(main, &window);
    ASSERT_TRUE(::GetTitleBarInfo(main, &title));
    ::GetWindowRect(::GetDlgItem(main, 104), &bar);   // the status bar
    const std::string where = "window " + RectText(window) + ", caption " + RectText(title.rcTitleBar) +
                              ", status bar " + RectText(bar) + ", work area " + RectText(work);
    EXPECT_GE(title.rcTitleBar.top, work.top) << where;
    EXPECT_LE(title.rcTitleBar.bottom, work.top + 40) << where;
    EXPECT_GE(window.bottom, work.bottom) << where;
    EXPECT_GE(bar.bottom, work.bottom - 2) << where;
    EXPECT_LE(bar.bottom, work.bottom) << where;
}

}  // namespace
}  // namespace corvelle
