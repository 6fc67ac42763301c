// The options dialog and the command bar on the running program, through
// the system's input queue: Options switched to clicking mode and a
// stretched picture, a move made with two clicks, both kept over a restart;
// the command bar's context menu switched to small icons, the field growing
// by the ten pixels the bar gives up; its customise dialog's Reset showing
// the default layout in the dialog's lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_bar.h"
#include "driver.h"
#include "engine/player_move.h"
#include "engine/registry.h"
#include "engine/saved_game.h"
#include "field/field_model.h"
#include "field/pile_geometry.h"
#include "res/options_ids.h"
#include "library_games.h"

namespace corvelle {
namespace {

using namespace drive;

constexpr DWORD kStartMs = 30000;
constexpr DWORD kStepMs = 10000;
constexpr uint32_t kGreen = 0x008000;   // the default background (0x00RRGGBB)

uint32_t GamePosition(const std::string& name) {
    const std::vector<std::string> names = test::LibraryGameNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<uint32_t>(i);
    return 0xFFFFFFFF;
}

uint8_t PrefByte(const char16_t* name) {
    CRegistryKey key;
    uint8_t value = 0xEE;
    if (key.Open(ProgramSubKey(u"prefs"))) key.ReadBinaryExact(name, &value, 1);
    return value;
}

// Chooses item `index` of a drop-down list with the mouse and keys: the
// list opens on a click, Home goes to its first item, Down moves on, Enter
// takes it. True once the list has closed on that item.
bool ChooseListItem(HWND list, int index) {
    if (!OpenDropDown(list, kStepMs)) return false;
    PressKey(VK_HOME);
    for (int i = 0; i < index; ++i) PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    return WaitFor([&] { return !DroppedDown(list) && ComboSelection(list) == index; }, kStepMs);
}

// The share of pixels in the field's lower right quarter that are not the
// plain background colour.
double NonGreenShare(const Screenshot& shot) {
    int other = 0, all = 0;
    for (int y = shot.height * 3 / 4; y < shot.height; ++y)
        for (int x = shot.width * 3 / 4; x < shot.width; ++x, ++all) other += shot.At(x, y) != kGreen;
    return all ? static_cast<double>(other) / all : 0;
}

HWND StartProgram(Program& program, HWND* field) {
    EXPECT_TRUE(program.Start());
    HWND main = WaitForMainWindow(program.Pid(), kStartMs);
    if (!main) return nullptr;
    *field = FindField(main);
    EXPECT_TRUE(WaitUntilReady(program, main));
    return main;
}

void CloseCleanly(Program& program, HWND main) {
    EXPECT_TRUE(BringToFront(main));
    PressKey(VK_F4, false, true);
    EXPECT_TRUE(program.WaitExit(kStepMs)) << "Alt+F4 did not end the program";
}

TEST(EndToEndOptions, ClickingModeAndAStretchedPictureAreAppliedPlayedAndKept) {
    // A Klondike deal in progress, stored as the program would have saved it.
    DeleteRegistryTree(ProgramKeyPath());
    const char* const game = "Klondike (draw one)";
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, game, 59));
    uint8_t flag = 1;
    engine.RunAutomaticEvents(AutomaticEvents::AtGameStart, Recording::Unrecorded, flag);
    engine.RefreshExposedCards(Recording::Unrecorded);
    engine.SaveGame();
    {
        CRegistryKey prefs;
        ASSERT_TRUE(prefs.Create(ProgramSubKey(u"prefs")));
        const uint8_t zero = 0;
        prefs.WriteDword(u"curSolId", GamePosition(game));
        prefs.WriteBinary(u"failed", &zero, 1);
        prefs.WriteBinary(u"animation", &zero, 1);
    }

    Program program;
    HWND field = nullptr;
    HWND main = StartProgram(program, &field);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(field, nullptr);
    const Screenshot plain = CaptureSettled(field, 10000);
    EXPECT_LT(NonGreenShare(plain), 0.05);

    // Options: clicking mode on the first page, the picture stretched on the
    // second, OK.
    ASSERT_TRUE(BringToFront(main));
    PressKey('O', true);
    HWND options = WaitForWindowTitled(program.Pid(), L"Options", kStepMs);
    ASSERT_NE(options, nullptr) << WindowTitlesOf(program.Pid());
    ASSERT_TRUE(ChooseListItem(::GetDlgItem(options, IDC_PLAY_MODE), 0)) << "play mode not chosen";
    RECT tab;
    ::GetWindowRect(::GetDlgItem(options, IDC_OPTIONS_TAB), &tab);
    Click(POINT{tab.left + 95, tab.top + 10});
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowVisible(::GetDlgItem(options, IDC_PICTURE)) != 0; }, kStepMs))
        << "the Background page did not show";
    ASSERT_TRUE(ChooseListItem(::GetDlgItem(options, IDC_PICTURE), 1)) << "picture not chosen";
    ASSERT_TRUE(ChooseListItem(::GetDlgItem(options, IDC_POSITION), 2)) << "position not chosen";
    Click(CentreOf(::GetDlgItem(options, IDOK)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(options); }, kStepMs));

    // Saved at once, with the run still marked as running.
    EXPECT_EQ(PrefByte(u"playMode"), 0);
    EXPECT_EQ(PrefByte(u"bgPicture"), 1);
    EXPECT_EQ(PrefByte(u"bgPicturePosition"), 2);
    EXPECT_EQ(PrefByte(u"failed"), 1);
    const Screenshot pictured = CaptureSettled(field, 10000, &plain);
    EXPECT_GT(NonGreenShare(pictured), 0.5) << "the field does not show the picture";

    // One move of the deal's win with two clicks: the card, then its
    // destination.
    RECT client;
    ::GetClientRect(field, &client);
    bool moved = false;
    for (uint16_t from = 0; from < engine.pileStates.size() && !moved; ++from) {
        const uint16_t count = engine.pileStates[from].count;
        if (count == 0) continue;
        const uint16_t card = engine.CardAt(from, count - 1);
        for (uint16_t to = 0; to < engine.pileStates.size() && !moved; ++to) {
            if (to == from) continue;
            CGameEngine trial;
            ASSERT_TRUE(test::DealLibraryGame(trial, game, 59));
            uint8_t f = 1;
            trial.RunAutomaticEvents(AutomaticEvents::AtGameStart, Recording::Unrecorded, f);
            trial.RefreshExposedCards(Recording::Unrecorded);
            if (!PlayMove(trial, card, to)) continue;
            const uint16_t destCount = engine.pileStates[to].count;
            CardSpot a, b;
            ASSERT_TRUE(SpotOf(engine, from, count - 1, client.right, client.bottom, a));
            ASSERT_TRUE(SpotOf(engine, to, destCount == 0 ? -1 : destCount - 1, client.right, client.bottom, b));
            ASSERT_TRUE(BringToFront(main));
            Click(OnScreen(field, a.x + 39, a.y + 56));
            Click(OnScreen(field, b.x + 39, b.y + 56));
            ASSERT_TRUE(PlayMove(engine, card, to));
            moved = true;
        }
    }
    ASSERT_TRUE(moved) << "the deal offers no move";
    const Screenshot afterMove = CaptureSettled(field, 10000, &pictured);
    EXPECT_NE(afterMove, pictured) << "the two clicks moved nothing";
    CloseCleanly(program, main);

    // The saved game holds the move; a new start keeps both options.
    {
        CGameEngine saved;
        ASSERT_TRUE(test::DealLibraryGame(saved, game, 1));
        ASSERT_TRUE(saved.LoadSavedGame(false));
        for (uint16_t p = 0; p < engine.pileStates.size(); ++p)
            EXPECT_EQ(saved.pileStates[p].count, engine.pileStates[p].count) << "pile " << p;
    }
    Program again;
    main = StartProgram(again, &field);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(PrefByte(u"playMode"), 0);
    EXPECT_EQ(PrefByte(u"bgPicture"), 1);
    EXPECT_EQ(PrefByte(u"bgPicturePosition"), 2);
    EXPECT_GT(NonGreenShare(CaptureSettled(field, 10000)), 0.5);
    CloseCleanly(again, main);
}

TEST(EndToEndOptions, SmallIconsFromTheCommandBarGiveTheFieldTenPixels) {
    DeleteRegistryTree(ProgramKeyPath());
    Program program;
    HWND field = nullptr;
    HWND main = StartProgram(program, &field);
    ASSERT_NE(main, nullptr);
    HWND bar = ::FindWindowExW(main, nullptr, nullptr, L"CommandBar");
    ASSERT_NE(bar, nullptr);
    RECT before, barRect;
    ::GetWindowRect(field, &before);
    ::GetWindowRect(bar, &barRect);
    EXPECT_EQ(barRect.bottom - barRect.top, 40);
    EXPECT_EQ(before.top, barRect.bottom);
    WriteBmp(CaptureSettled(main, 10000), L"main-window-big-icons.bmp");

    // Right-click the bar's empty end; the menu's first item is Small Icons.
    ASSERT_TRUE(BringToFront(main));
    const POINT at{barRect.right - 20, (barRect.top + barRect.bottom) / 2};
    HWND menu = OpenMenuWith(program.Pid(), [&] { RightClick(at); }, kStepMs);
    ASSERT_NE(menu, nullptr) << "no context menu on the command bar";
    RECT items;
    ::GetWindowRect(menu, &items);
    Click(POINT{items.left + 30, items.top + 10});
    ASSERT_TRUE(WaitForMenuClosed(program.Pid(), kStepMs));
    // The field and the bar are moved one after the other: wait for both.
    ASSERT_TRUE(WaitFor(
        [&] {
            RECT now, strip;
            ::GetWindowRect(field, &now);
            ::GetWindowRect(bar, &strip);
            return now.top == before.top - 10 && strip.bottom - strip.top == 30;
        },
        kStepMs))
        << "the field did not grow or the bar did not shrink";
    RECT after;
    ::GetWindowRect(field, &after);
    EXPECT_EQ(after.bottom, before.bottom);
    ::GetWindowRect(bar, &barRect);
    EXPECT_EQ(barRect.bottom - barRect.top, 30);
    WriteBmp(CaptureSettled(main, 10000), L"main-window-small-icons.bmp");
    CloseCleanly(program, main);
    EXPECT_EQ(PrefByte(u"commandBarIconType"), 0);
}

int ListCount(HWND dialog, int id) {
    return static_cast<int>(::SendMessageW(::GetDlgItem(dialog, id), LB_GETCOUNT, 0, 0));
}

// The customise dialog opened from the bar's context menu (its last item).
HWND OpenCustomize(Program& program, HWND main, HWND bar) {
    RECT strip;
    ::GetWindowRect(bar, &strip);
    const POINT at{strip.right - 20, (strip.top + strip.bottom) / 2};
    if (!BringToFront(main) || !OpenMenuWith(program.Pid(), [&] { RightClick(at); }, kStepMs)) return nullptr;
    PressKey(VK_UP);
    PressKey(VK_RETURN);
    return WaitForWindowTitled(program.Pid(), L"Customize Toolbar", kStepMs);
}

// A button taken off the bar in the customise dialog, then Reset: the bar
// holds the default layout again and so do the dialog's two lists.
TEST(EndToEndOptions, CustomizeResetShowsTheDefaultLayoutInTheDialog) {
    DeleteRegistryTree(ProgramKeyPath());
    Program program;
    HWND field = nullptr;
    HWND main = StartProgram(program, &field);
    ASSERT_NE(main, nullptr);
    HWND bar = ::FindWindowExW(main, nullptr, nullptr, L"CommandBar");
    ASSERT_NE(bar, nullptr);
    HWND toolbar = ::FindWindowExW(bar, nullptr, TOOLBARCLASSNAMEW, nullptr);
    ASSERT_NE(toolbar, nullptr);
    const int buttons = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    ASSERT_EQ(buttons, 8);
    HWND dialog = OpenCustomize(program, main, bar);
    ASSERT_NE(dialog, nullptr) << "no customise dialog";
    const int onBar = ListCount(dialog, kCustomizeBarList);
    const int available = ListCount(dialog, kCustomizeAvailableList);
    // The first button (New Game) removed: the list shown from its top,
    // its first row clicked, Remove.
    HWND barList = ::GetDlgItem(dialog, kCustomizeBarList);
    ::SendMessageW(barList, LB_SETTOPINDEX, 0, 0);
    RECT client;
    ::GetClientRect(barList, &client);
    const int rowHeight = static_cast<int>(::SendMessageW(barList, LB_GETITEMHEIGHT, 0, 0));
    POINT first{client.right / 2, rowHeight / 2};
    ::ClientToScreen(barList, &first);
    Click(first);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(barList, LB_GETCURSEL, 0, 0) == 0; }, kStepMs));
    HWND remove = ChildWithText(dialog, L"Button", L"<- &Remove");
    if (remove == nullptr) remove = ::GetDlgItem(dialog, 204);
    ASSERT_NE(remove, nullptr);
    Click(CentreOf(remove));
    ASSERT_TRUE(WaitFor([&] { return ListCount(dialog, kCustomizeBarList) == onBar - 1; }, kStepMs));
    EXPECT_EQ(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0), buttons - 1);
    // Reset: the bar and the dialog's lists show the default layout.
    Click(CentreOf(::GetDlgItem(dialog, 202)));
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0) == buttons; }, kStepMs));
    EXPECT_TRUE(WaitFor(
        [&] {
            HWND shown = FindWindowTitled(program.Pid(), L"Customize Toolbar");
            return shown != nullptr && ListCount(shown, kCustomizeBarList) == onBar &&
                   ListCount(shown, kCustomizeAvailableList) == available;
        },
        kStepMs))
        << "the dialog's lists kept the old layout";
    dialog = FindWindowTitled(program.Pid(), L"Customize Toolbar");
    ASSERT_NE(dialog, nullptr);
    Click(CentreOf(::GetDlgItem(dialog, IDCANCEL)));
    ASSERT_TRUE(WaitFor([&] { return FindWindowTitled(program.Pid(), L"Customize Toolbar") == nullptr; }, kStepMs));
    CloseCleanly(program, main);
    EXPECT_EQ(PrefByte(u"commandBarButtonsNum"), 8);
}

}  // namespace
}  // namespace corvelle
