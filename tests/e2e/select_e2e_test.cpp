// The game selection driven through the system's input queue on the
// running program: opening it with Ctrl+S, the filter combos, favourites
// only, the context menu's "Add To Favorites", playing a game with a
// double-click, and Cancel leaving the game in progress as it was.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "driver.h"
#include "engine/registry.h"

namespace corvelle {
namespace {

using namespace drive;

constexpr DWORD kStartMs = 30000;
constexpr DWORD kStepMs = 10000;
constexpr int kListId = 1001;
constexpr int kRowHeight = 15;

// The children of a window of a class, in creation order (depth first).
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
    struct Search {
        const wchar_t* name;
        std::vector<HWND> found;
    } search{className, {}};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t name[64] = {};
            ::GetClassNameW(child, name, 64);
            if (_wcsicmp(name, s->name) == 0) s->found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ChildWithText(HWND parent, const wchar_t* text) {
    for (HWND button : ChildrenOfClass(parent, L"Button"))
        if (WindowText(button) == text) return button;
    return nullptr;
}

POINT CentreOf(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

int ItemCount(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// The screen point in the middle of the name of list row `row`.
POINT RowPoint(HWND list, int row) {
    RECT header{};
    HWND headerWindow = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
    ::GetWindowRect(headerWindow, &header);
    RECT r;
    ::GetWindowRect(list, &r);
    return POINT{r.left + 40, header.bottom + row * kRowHeight + kRowHeight / 2};
}

void RightClick(POINT at) {
    ::SetCursorPos(at.x, at.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    ::SendInput(2, in, sizeof(INPUT));
}

void DoubleClick(POINT at) {
    Click(at);
    ::Sleep(50);
    Click(at);
}

// Moves a drop-down combo `steps` items on: a click opens its list, a
// second closes it with the focus on the box, and each Down chooses the
// next item (Enter would go to the dialog's Play button).
void NextComboItem(HWND combo, int steps) {
    BringToFront(::GetAncestor(combo, GA_ROOT));
    Click(CentreOf(combo));
    ::Sleep(250);
    Click(CentreOf(combo));
    ::Sleep(250);
    for (int i = 0; i < steps; ++i) PressKey(VK_DOWN);
    ::Sleep(200);
}

std::wstring GameNameOf(uint32_t position) {
    HMODULE module = ::LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    wchar_t text[128] = {};
    if (module) {
        ::LoadStringW(module, 4000 + position, text, 128);
        ::FreeLibrary(module);
    }
    return text;
}

std::vector<uint8_t> StoredFavourites() {
    std::vector<uint8_t> list;
    CRegistryKey key;
    if (key.Open(ProgramSubKey(u"prefs"))) key.ReadBinary(u"favList", list, 4096);
    return list;
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
    EXPECT_TRUE(BringToFront(main));
    PressKey('S', true);
    HWND dialog = WaitForWindowTitled(program.Pid(), L"Select Solitaire", kStepMs);
    if (!dialog) {
        WriteBmp(CaptureScreen(RECT{0, 0, 1280, 1024}), L"select-e2e-failure.bmp");
    }
    ASSERT_NE(dialog, nullptr);
    HWND list = ::GetDlgItem(dialog, kListId);
    ASSERT_NE(list, nullptr);
    const int all = ItemCount(list);
    EXPECT_GT(all, 10);
    std::vector<HWND> combos = ChildrenOfClass(dialog, L"ComboBox");
    ASSERT_EQ(combos.size(), 3u);

    // A category, then a difficulty: fewer games each time.
    NextComboItem(combos[0], 7);   // Klondike
    const int klondike = ItemCount(list);
    EXPECT_LT(klondike, all);
    EXPECT_GE(klondike, 1);
    NextComboItem(combos[1], 1);   // easy
    EXPECT_LE(ItemCount(list), klondike);
    // Reset: every game again.
    HWND reset = ChildWithText(dialog, L"Reset");
    ASSERT_NE(reset, nullptr);
    Click(CentreOf(reset));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == all; }, kStepMs));

    // Favourites only, with none: the placeholder row alone; then off.
    HWND favourites = ChildWithText(dialog, L"Favorites Only");
    ASSERT_NE(favourites, nullptr);
    Click(CentreOf(favourites));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == 1; }, kStepMs));
    Click(CentreOf(favourites));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == all; }, kStepMs));

    // Right-click row 2: "Add To Favorites" (the menu's second item).
    BringToFront(dialog);
    ::SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
    ::Sleep(200);
    RightClick(RowPoint(list, 2));
    ::Sleep(400);
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ::Sleep(300);
    // Favourites only now lists that one game.
    Click(CentreOf(favourites));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == 1; }, kStepMs));
    Click(CentreOf(favourites));
    EXPECT_TRUE(WaitFor([&] { return ItemCount(list) == all; }, kStepMs));

    // Double-click row 4: that game is played.
    BringToFront(dialog);
    DoubleClick(RowPoint(list, 4));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs)) << "the double-click did not play";
    const std::wstring played = GameNameOf(4);
    EXPECT_TRUE(WaitFor([&] { return WindowText(main) == played; }, kStepMs))
        << "title " << std::string(WindowText(main).begin(), WindowText(main).end());
    EXPECT_NE(played, firstGame);

    // Cancel after browsing leaves the game on screen as it was.
    const Screenshot before = CaptureSettled(field, kStepMs);
    BringToFront(main);
    PressKey('S', true);
    dialog = WaitForWindowTitled(program.Pid(), L"Select Solitaire", kStepMs);
    ASSERT_NE(dialog, nullptr);
    list = ::GetDlgItem(dialog, kListId);
    ::SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
    ::Sleep(300);
    Click(RowPoint(list, 1));   // browse another game
    ::Sleep(400);
    Click(RowPoint(list, 0));
    ::Sleep(400);
    HWND cancel = ::GetDlgItem(dialog, IDCANCEL);
    Click(CentreOf(cancel));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(dialog); }, kStepMs));
    EXPECT_EQ(WindowText(main), played);
    EXPECT_EQ(CaptureSettled(field, kStepMs), before);
    // Restart deals the game on screen again.
    BringToFront(main);
    PressKey('R', true);
    ::Sleep(500);
    EXPECT_EQ(CaptureSettled(field, kStepMs), before);

    BringToFront(main);
    PressKey(VK_F4, false, true);
    EXPECT_TRUE(program.WaitExit(kStepMs));
    // The favourite is stored: one id.
    EXPECT_EQ(StoredFavourites().size(), 2u);
}

}  // namespace
}  // namespace corvelle
