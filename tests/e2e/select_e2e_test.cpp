// The game selection driven through the system's input queue on the
// running program: opening it with Ctrl+S, the filter combos, favourites
// only, the context menu's "Add To Favorites", playing a game with a
// double-click, and Cancel leaving the game in progress as it was.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "driver.h"
#include "panel_view.h"
#include "engine/records.h"
#include "engine/registry.h"
#include "engine/statistics.h"
#include "res/resource.h"

namespace corvelle {
namespace {

using namespace drive;

constexpr DWORD kStartMs = 30000;
constexpr DWORD kStepMs = 10000;
constexpr int kRowHeight = 15;

int ItemCount(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

int SelectedRow(HWND list) {
    return static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Scrolls the list to its top and waits until row 0 is the first one shown.
bool ShowFirstRow(HWND list) {
    ::SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
    return WaitFor([&] { return ::SendMessageW(list, LVM_GETTOPINDEX, 0, 0) == 0; }, kStepMs);
}

// The screen point in the middle of the name of list row `row`.
POINT RowPoint(HWND list, int row) {
    RECT header{};
    HWND headerWindow = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    ::GetWindowRect(headerWindow, &header);
    RECT r;
    ::GetWindowRect(list, &r);
    return POINT{r.left + 40, header.bottom + row * kRowHeight + kRowHeight / 2};
}

// Moves a drop-down combo `steps` items on: a click opens its list, a
// second closes it with the focus on the box, and each Down chooses the
// next item (Enter would go to the dialog's Play button). True once the
// combo shows the item.
bool NextComboItem(HWND combo, int steps) {
    const int target = ComboSelection(combo) + steps;
    if (!OpenDropDown(combo, kStepMs)) return false;
    Click(CentreOf(combo));
    if (!WaitFor([&] { return !DroppedDown(combo); }, kStepMs) || !WaitForFocus(combo, kStepMs)) return false;
    for (int i = 0; i < steps; ++i) PressKey(VK_DOWN);
    return WaitFor([&] { return ComboSelection(combo) == target; }, kStepMs);
}

std::wstring GameNameOf(uint32_t position) {
    HMODULE module = ::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    wchar_t text[128] = {};
    if (module) {
        ::LoadStringW(module, kGameNameStringBase + position, text, 128);
        ::FreeLibrary(module);
    }
    return text;
}

uint32_t TimesPlayed(const std::wstring& game) {
    GameStatistics s;
    ReadGameStatistics(std::u16string(game.begin(), game.end()), s);
    return s.played;
}

std::vector<uint8_t> StoredFavourites() {
    std::vector<uint8_t> list;
    CRegistryKey key;
    if (key.Open(ProgramSubKey(u"prefs"))) key.ReadBinary(u"favList", list, 4096);
    return list;
}

// The dialog's client rectangle of a child window.
RECT RectInDialog(HWND dialog, HWND child) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Pixels of the dialog's client area outside its panel, list, Play and
// Cancel that are not the dialog's background: what a move left painted
// where nothing is now (list rows below the list, buttons where they were).
int StrayPixels(HWND dialog, const Screenshot& shot) {
    std::vector<RECT> children;
    for (int id : {static_cast<int>(IDC_SELECT_PANEL), static_cast<int>(IDC_SELECT_LIST), IDOK, IDCANCEL})
        children.push_back(RectInDialog(dialog, ::GetDlgItem(dialog, id)));
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const uint32_t background = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    int stray = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const POINT p{x, y};
            bool covered = false;
            for (const RECT& r : children) covered = covered || ::PtInRect(&r, p);
            if (!covered && shot.At(x, y) != background) ++stray;
        }
    return stray;
}

// The width the game list needs: its columns and a vertical scroll bar,
// inside its border.
LONG ListNeeds(HWND list) {
    LONG columns = 0;
    for (int i = 0; i < 5; ++i) columns += static_cast<LONG>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
    RECT window, client;
    ::GetWindowRect(list, &window);
    ::GetClientRect(list, &client);
    const LONG frame = (window.right - window.left) - client.right -
                       ((::GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0);
    return columns + ::GetSystemMetrics(SM_CXVSCROLL) + frame;
}

// The dialog laid out whole at its present size: the list at least as wide
// as it needs, Play and Cancel below it side by side without overlapping,
// and nothing painted outside the four controls. `name` names the
// screenshot written.
void ExpectWholeLayout(HWND dialog, const wchar_t* name) {
    // Once the screen holds still: the resize has ended.
    const Screenshot shot = CaptureSettled(dialog, kStepMs);
    HWND list = ::GetDlgItem(dialog, IDC_SELECT_LIST);
    const RECT play = RectInDialog(dialog, ::GetDlgItem(dialog, IDOK));
    const RECT cancel = RectInDialog(dialog, ::GetDlgItem(dialog, IDCANCEL));
    const RECT listRect = RectInDialog(dialog, list);
    RECT client;
    ::GetClientRect(dialog, &client);
    RECT overlap;
    EXPECT_FALSE(::IntersectRect(&overlap, &play, &cancel)) << "Play and Cancel overlap";
    EXPECT_LE(play.right, cancel.left);
    EXPECT_GE(play.top, listRect.bottom);
    EXPECT_LE(cancel.right, client.right);
    EXPECT_LE(play.bottom, client.bottom);
    EXPECT_GE(listRect.right - listRect.left, ListNeeds(list)) << "the list is narrower than its columns";
    WriteBmp(shot, name);
    EXPECT_EQ(StrayPixels(dialog, shot), 0) << "see " << std::string(name, name + wcslen(name));
}

// Opens the selection with Ctrl+S and waits for its list; the dialog.
HWND OpenSelection(Program& program, HWND main) {
    WaitUntilReady(program, main);
    if (!BringToFront(main)) return nullptr;
    PressKey('S', true);
    HWND dialog = WaitForWindowTitled(program.Pid(), L"Select Solitaire", kStepMs);
    if (dialog == nullptr) return nullptr;
    HWND list = ::GetDlgItem(dialog, IDC_SELECT_LIST);
    return WaitFor([&] { return ItemCount(list) > 10; }, kStepMs) ? dialog : nullptr;
}

// Ends the program with Alt+F4 (it saves its preferences).
void CloseProgram(Program& program, HWND main) {
    WaitUntilReady(program, main);
    BringToFront(main);
    PressKey(VK_F4, false, true);
    EXPECT_TRUE(program.WaitExit(20000)) << "Alt+F4 did not end the program";
}

SIZE WindowSizeOf(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

class SelectEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegistryTree(ProgramKeyPath()); }
};

TEST_F(SelectEndToEnd, FilterFavouritesPlayAndCancelWithRealInput) {
    Program program;
    ASSERT_TRUE(program.Start());
    HWND main = WaitForMainWindow(program.Pid(), kStartMs);
    ASSERT_NE(main, nullptr);
    HWND field = FindField(main);
    CaptureSettled(field, kStepMs);
    const std::wstring firstGame = WindowText(main);

    // Ctrl+S opens the selection on the current game.
    ASSERT_TRUE(BringToFront(main));
    PressKey('S', true);
    HWND dialog = WaitForWindowTitled(program.Pid(), L"Select Solitaire", kStepMs);
    if (!dialog) {
        WriteBmp(CaptureScreen(RECT{0, 0, 1280, 1024}), L"select-e2e-failure.bmp");
    }
    ASSERT_NE(dialog, nullptr);
    HWND list = ::GetDlgItem(dialog, IDC_SELECT_LIST);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ItemCount(list) > 10; }, kStepMs)) << "the list was not filled";
    const int all = ItemCount(list);
    std::vector<HWND> combos = ChildrenOfClass(dialog, L"ComboBox");
    ASSERT_EQ(combos.size(), 3u);

    // A category, then a difficulty: fewer games each time.
    ASSERT_TRUE(NextComboItem(combos[0], 7));   // Klondike
    const int klondike = ItemCount(list);
    EXPECT_LT(klondike, all);
    EXPECT_GE(klondike, 1);
    ASSERT_TRUE(NextComboItem(combos[1], 1));   // easy
    EXPECT_LE(ItemCount(list), klondike);
    // Reset: every game again.
    HWND reset = ChildWithText(dialog, L"Button", L"Reset");
    ASSERT_NE(reset, nullptr);
    Click(CentreOf(reset));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == all; }, kStepMs));

    // Favourites only, with none: the placeholder row alone; then off.
    HWND favourites = ChildWithText(dialog, L"Button", L"Favorites Only");
    ASSERT_NE(favourites, nullptr);
    Click(CentreOf(favourites));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == 1; }, kStepMs));
    Click(CentreOf(favourites));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == all; }, kStepMs));

    // Right-click row 2: "Add To Favorites" (the menu's second item).
    ASSERT_TRUE(BringToFront(dialog));
    ASSERT_TRUE(ShowFirstRow(list));
    ASSERT_NE(OpenMenuWith(program.Pid(), [&] { RightClick(RowPoint(list, 2)); }, kStepMs), nullptr)
        << "no context menu on the list";
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForMenuClosed(program.Pid(), kStepMs));
    // Favourites only now lists that one game.
    Click(CentreOf(favourites));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == 1; }, kStepMs));
    Click(CentreOf(favourites));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == all; }, kStepMs));

    // Double-click row 4: that game is played.
    ASSERT_TRUE(BringToFront(dialog));
    DoubleClick(RowPoint(list, 4));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs)) << "the double-click did not play";
    const std::wstring played = GameNameOf(4);
    EXPECT_TRUE(WaitFor([&] { return WindowText(main) == played; }, kStepMs))
        << "title " << std::string(WindowText(main).begin(), WindowText(main).end());
    EXPECT_NE(played, firstGame);

    // Cancel after browsing leaves the game on screen as it was.
    const Screenshot before = CaptureSettled(field, kStepMs);
    ASSERT_TRUE(BringToFront(main));
    PressKey('S', true);
    dialog = WaitForWindowTitled(program.Pid(), L"Select Solitaire", kStepMs);
    ASSERT_NE(dialog, nullptr);
    list = ::GetDlgItem(dialog, IDC_SELECT_LIST);
    ASSERT_TRUE(WaitFor([&] { return ItemCount(list) == all; }, kStepMs));
    ASSERT_TRUE(ShowFirstRow(list));
    ASSERT_TRUE(BringToFront(dialog));
    Click(RowPoint(list, 1));   // browse another game
    EXPECT_TRUE(WaitFor([&] { return SelectedRow(list) == 1; }, kStepMs));
    Click(RowPoint(list, 0));
    EXPECT_TRUE(WaitFor([&] { return SelectedRow(list) == 0; }, kStepMs));
    HWND cancel = ::GetDlgItem(dialog, IDCANCEL);
    Click(CentreOf(cancel));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs));
    EXPECT_EQ(WindowText(main), played);
    EXPECT_EQ(CaptureSettled(field, kStepMs), before);
    // Restart deals the game on screen again (and counts the one left).
    const uint32_t times = TimesPlayed(played);
    ASSERT_TRUE(BringToFront(main));
    PressKey('R', true);
    EXPECT_TRUE(WaitFor([&] { return TimesPlayed(played) == times + 1; }, kStepMs)) << "no restart";
    EXPECT_EQ(CaptureSettled(field, kStepMs), before);

    BringToFront(main);
    PressKey(VK_F4, false, true);
    EXPECT_TRUE(program.WaitExit(kStepMs));
    // The favourite is stored: one id.
    EXPECT_EQ(StoredFavourites().size(), 2u);
}

// The dialog resized with the mouse by its corner to its smallest size and
// to twice its first size, and its panel's edge dragged as far right as it
// goes: the list keeps the width its columns need, Play and Cancel stand
// once each without overlapping, and nothing is left painted where a
// control was.
TEST_F(SelectEndToEnd, ResizedToItsSmallestAndLargeItKeepsItsLayoutWhole) {
    Program program;
    ASSERT_TRUE(program.Start());
    HWND main = WaitForMainWindow(program.Pid(), kStartMs);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitUntilReady(program, main));
    ASSERT_TRUE(BringToFront(main));
    PressKey('S', true);
    HWND dialog = WaitForWindowTitled(program.Pid(), L"Select Solitaire", kStepMs);
    ASSERT_NE(dialog, nullptr);
    HWND list = ::GetDlgItem(dialog, IDC_SELECT_LIST);
    ASSERT_TRUE(WaitFor([&] { return ItemCount(list) > 10; }, kStepMs));
    RECT start;
    ::GetWindowRect(dialog, &start);
    const SIZE first{start.right - start.left, start.bottom - start.top};
    auto corner = [&] {
        RECT r;
        ::GetWindowRect(dialog, &r);
        return POINT{r.right - 2, r.bottom - 2};
    };
    auto size = [&] {
        RECT r;
        ::GetWindowRect(dialog, &r);
        return SIZE{r.right - r.left, r.bottom - r.top};
    };
    // Moved to the top left by its caption, so that it can grow.
    BringToFront(dialog);
    Drag(POINT{start.left + 60, start.top + 10}, POINT{60 + 60, 10});
    ASSERT_TRUE(WaitFor([&] { RECT r; ::GetWindowRect(dialog, &r); return r.top < 40; }, kStepMs));

    // The smallest size.
    Drag(corner(), POINT{20, 20});
    ASSERT_TRUE(WaitFor([&] { return size().cx < first.cx || size().cy < first.cy; }, kStepMs));
    ExpectWholeLayout(dialog, L"select-smallest.bmp");
    // The panel's edge dragged to the dialog's right edge.
    HWND panel = ::GetDlgItem(dialog, IDC_SELECT_PANEL);
    RECT edge;
    ::GetWindowRect(panel, &edge);
    RECT whole;
    ::GetWindowRect(dialog, &whole);
    Drag(POINT{edge.right - 2, (edge.top + edge.bottom) / 2}, POINT{whole.right - 5, (edge.top + edge.bottom) / 2});
    ::Sleep(300);
    ExpectWholeLayout(dialog, L"select-smallest-wide-panel.bmp");
    // And back to the left as far as it goes: what the panel uncovers is
    // painted anew.
    ::GetWindowRect(panel, &edge);
    Drag(POINT{edge.right - 2, (edge.top + edge.bottom) / 2}, POINT{whole.left + 5, (edge.top + edge.bottom) / 2});
    ::Sleep(300);
    ExpectWholeLayout(dialog, L"select-smallest-narrow-panel.bmp");

    // Twice the first size (as far as the screen allows).
    const POINT largest{std::min<LONG>(60 + 2 * first.cx, ::GetSystemMetrics(SM_CXSCREEN) - 2),
                        std::min<LONG>(10 + 2 * first.cy, ::GetSystemMetrics(SM_CYSCREEN) - 2)};
    Drag(corner(), largest);
    ASSERT_TRUE(WaitFor([&] { return size().cx > first.cx; }, kStepMs));
    ExpectWholeLayout(dialog, L"select-twice.bmp");

    Click(CentreOf(::GetDlgItem(dialog, IDCANCEL)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs));
    WaitUntilReady(program, main);
    BringToFront(main);
    PressKey(VK_F4, false, true);
    EXPECT_TRUE(program.WaitExit(20000));
}

// Opens the selection and checks it comes with the size, panel width and
// region order given; closes it again.
void ExpectKept(Program& program, HWND main, SIZE size, LONG width, const std::wstring& order) {
    HWND dialog = OpenSelection(program, main);
    ASSERT_NE(dialog, nullptr);
    HWND panel = ::GetDlgItem(dialog, IDC_SELECT_PANEL);
    EXPECT_EQ(WindowSizeOf(dialog).cx, size.cx);
    EXPECT_EQ(WindowSizeOf(dialog).cy, size.cy);
    EXPECT_EQ(WindowSize(panel).cx, width);
    EXPECT_EQ(PanelOrder(panel), order);
    Click(CentreOf(::GetDlgItem(dialog, IDCANCEL)));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs));
}

// The dialog's size, its panel's width and its regions' order, changed
// with the mouse, come back when it opens again and after a restart.
TEST_F(SelectEndToEnd, SizePanelWidthAndOrderComeBackAtTheNextOpeningAndAfterARestart) {
    SIZE size{};
    LONG width = 0;
    std::wstring order;
    {
        Program program;
        ASSERT_TRUE(program.Start());
        HWND main = WaitForMainWindow(program.Pid(), kStartMs);
        ASSERT_NE(main, nullptr);
        HWND dialog = OpenSelection(program, main);
        ASSERT_NE(dialog, nullptr);
        HWND panel = ::GetDlgItem(dialog, IDC_SELECT_PANEL);
        ASSERT_EQ(PanelOrder(panel), L"Filter|Preview|Rules|Related|Best Times|Statistics");
        const SIZE first = WindowSizeOf(dialog);
        const LONG firstWidth = WindowSize(panel).cx;
        // Larger by its corner.
        RECT r;
        ::GetWindowRect(dialog, &r);
        BringToFront(dialog);
        Drag(POINT{r.right - 2, r.bottom - 2}, POINT{r.right + 120, r.bottom + 60});
        ASSERT_TRUE(WaitFor([&] { return WindowSizeOf(dialog).cx > first.cx; }, kStepMs));
        CaptureSettled(dialog, kStepMs);
        // The panel wider by its edge.
        BringToFront(dialog);
        RECT edge;
        ::GetWindowRect(panel, &edge);
        const int y = (edge.top + edge.bottom) / 2;
        Drag(POINT{edge.right - 2, y}, POINT{edge.right + 60, y});
        ASSERT_TRUE(WaitFor([&] { return WindowSize(panel).cx > firstWidth; }, kStepMs));
        // The wider panel measures its texts again and moves its headers:
        // they are read once the dialog has settled.
        CaptureSettled(dialog, kStepMs);
        BringToFront(dialog);
        // Rules dragged by its header to the top.
        const PanelRegionView filter = PanelRegion(panel, L"Filter");
        Drag(CentreOf(PanelRegion(panel, L"Rules").header), POINT{CentreOf(filter.header).x, filter.headerRect.top + 2});
        ASSERT_TRUE(WaitFor([&] { return PanelOrder(panel) == L"Rules|Filter|Preview|Related|Best Times|Statistics"; },
                            kStepMs))
            << Narrow(PanelOrder(panel));
        ::Sleep(300);
        size = WindowSizeOf(dialog);
        width = WindowSize(panel).cx;
        order = PanelOrder(panel);
        Click(CentreOf(::GetDlgItem(dialog, IDCANCEL)));
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs));

        // Opened again in the same run, then after a restart.
        ExpectKept(program, main, size, width, order);
        CloseProgram(program, main);
    }
    Program again;
    ASSERT_TRUE(again.Start());
    HWND main = WaitForMainWindow(again.Pid(), kStartMs);
    ASSERT_NE(main, nullptr);
    ExpectKept(again, main, size, width, order);
    CloseProgram(again, main);
}

// The context menu acts on the row that was right-clicked, not on the one
// that carries the list's mark: Play plays it, Add To Favorites marks it.
TEST_F(SelectEndToEnd, TheContextMenuActsOnTheRightClickedGame) {
    Program program;
    ASSERT_TRUE(program.Start());
    HWND main = WaitForMainWindow(program.Pid(), kStartMs);
    ASSERT_NE(main, nullptr);
    HWND dialog = OpenSelection(program, main);
    ASSERT_NE(dialog, nullptr);
    HWND list = ::GetDlgItem(dialog, IDC_SELECT_LIST);
    auto markRowOne = [&] {
        ASSERT_TRUE(BringToFront(dialog));
        ASSERT_TRUE(ShowFirstRow(list));
        Click(RowPoint(list, 1));
        ASSERT_TRUE(WaitFor([&] { return SelectedRow(list) == 1; }, kStepMs));
    };
    // Row 1 marked, row 4 right-clicked: "Add To Favorites" (second item).
    markRowOne();
    ASSERT_NE(OpenMenuWith(program.Pid(), [&] { RightClick(RowPoint(list, 4)); }, kStepMs), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForMenuClosed(program.Pid(), kStepMs));
    // Row 1 marked again, row 6 right-clicked: "Play" (first item).
    markRowOne();
    ASSERT_NE(OpenMenuWith(program.Pid(), [&] { RightClick(RowPoint(list, 6)); }, kStepMs), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs)) << "Play did not end the dialog";
    EXPECT_TRUE(WaitFor([&] { return WindowText(main) == GameNameOf(6); }, kStepMs))
        << "playing " << std::string(WindowText(main).begin(), WindowText(main).end());

    // The one favourite is row 4's game: favourites only lists it alone,
    // and a double-click plays it.
    dialog = OpenSelection(program, main);
    ASSERT_NE(dialog, nullptr);
    list = ::GetDlgItem(dialog, IDC_SELECT_LIST);
    HWND favourites = ChildWithText(dialog, L"Button", L"Favorites Only");
    ASSERT_NE(favourites, nullptr);
    BringToFront(dialog);
    Click(CentreOf(favourites));
    ASSERT_TRUE(WaitFor([&] { return ItemCount(list) == 1; }, kStepMs));
    DoubleClick(RowPoint(list, 0));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs));
    EXPECT_TRUE(WaitFor([&] { return WindowText(main) == GameNameOf(4); }, kStepMs))
        << "the favourite is " << std::string(WindowText(main).begin(), WindowText(main).end());
    CloseProgram(program, main);
}

}  // namespace
}  // namespace corvelle
