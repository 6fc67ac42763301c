// The command bar on the real toolbar under Wine: pictures in both sizes,
// the stored layout restored, the buttons' commands, the context menu's
// commands, the customise dialog, reset, tooltips, and a layout that
// survives saving and reading the preferences.
#include <gtest/gtest.h>

#include <vector>

#include "app/command_bar.h"
#include "options_test_support.h"
#include "res/resource.h"
#include "support/registry_sandbox.h"

namespace corvelle {
namespace {

constexpr int S = kBarSeparator;

class TestBarHost : public CommandBarHost {
public:
    explicit TestBarHost(CWnd* barParent) : parent(barParent) {}
    CWnd* GetBarParent() override { return parent; }
    AppPreferences& GetPrefs() override { return prefs; }
    void RecalcLayout() override { ++layouts; }
    void OnBarCommand(UINT command) override { commands.push_back(command); }

    AppPreferences prefs;
    int layouts = 0;
    std::vector<UINT> commands;

private:
    CWnd* parent;
};

class CommandBar : public test::RegistrySandbox {
protected:
    void SetUp() override {
        RegistrySandbox::SetUp();
        ASSERT_TRUE(owner.Make());
    }
    test::OwnerWindow owner;
};

// The bar's picture list drawn on white: the key green must not show.
void ExpectPicturesWithoutKey(HIMAGELIST list, int size) {
    int w = 0, h = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(list, &w, &h));
    EXPECT_EQ(w, size);
    EXPECT_EQ(h, size);
    ASSERT_EQ(::ImageList_GetImageCount(list), 6);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    for (int k = 0; k < 6; ++k) {
        const RECT r{0, 0, size, size};
        ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::ImageList_Draw(list, k, dc, 0, 0, ILD_TRANSPARENT);
        int green = 0, inked = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const COLORREF c = ::GetPixel(dc, x, y);
                green += c == RGB(0, 255, 0);
                inked += c != RGB(255, 255, 255);
            }
        EXPECT_EQ(green, 0) << "picture " << k;
        EXPECT_GT(inked, size * size / 10) << "picture " << k;
        EXPECT_LT(inked, size * size) << "picture " << k;   // the corners are see-through
    }
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
}

int ButtonHeight(const CCommandBar& bar) {
    RECT r{};
    bar.SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r.bottom - r.top;
}

TEST_F(CommandBar, DefaultBarWithBigAndSmallPictures) {
    TestBarHost host(&owner);
    auto bar = CreateCommandBar(host);
    ASSERT_TRUE(bar);
    wchar_t name[32] = {};
    ::GetWindowTextW(*bar, name, 32);
    EXPECT_STREQ(name, L"CommandBar");
    EXPECT_EQ(::GetDlgCtrlID(*bar), IDC_COMMAND_BAR);
    EXPECT_EQ(bar->GetBar().GetItems(), (std::vector<int>{0, 1, 2, S, 3, 4, S, 5}));
    EXPECT_TRUE(bar->IsBigIcons());
    EXPECT_EQ(bar->StripHeight(), 40);
    auto list = reinterpret_cast<HIMAGELIST>(bar->GetBar().SendMessage(TB_GETIMAGELIST));
    ExpectPicturesWithoutKey(list, 32);
    const int bigHeight = ButtonHeight(bar->GetBar());
    EXPECT_LE(bigHeight, 40);
    test::SavePicture(*bar, "command-bar-big.bmp");

    // The context menu's Small Icons, sent to the host as the menu does.
    bar->SendMessage(WM_COMMAND, ID_CMDBAR_SMALLICONS, 0);
    EXPECT_FALSE(bar->IsBigIcons());
    EXPECT_EQ(host.prefs.commandBarIconType, 0);
    EXPECT_EQ(host.layouts, 1);
    EXPECT_EQ(bar->StripHeight(), 30);
    list = reinterpret_cast<HIMAGELIST>(bar->GetBar().SendMessage(TB_GETIMAGELIST));
    ExpectPicturesWithoutKey(list, 22);
    EXPECT_LT(ButtonHeight(bar->GetBar()), bigHeight);
    EXPECT_LE(ButtonHeight(bar->GetBar()), 30);
    test::SavePicture(*bar, "command-bar-small.bmp");
    bar->SendMessage(WM_COMMAND, ID_CMDBAR_BIGICONS, 0);
    EXPECT_TRUE(bar->IsBigIcons());
    EXPECT_EQ(host.prefs.commandBarIconType, 1);
    EXPECT_EQ(ButtonHeight(bar->GetBar()), bigHeight);
}

TEST_F(CommandBar, ButtonsSendTheirCommandsToTheMainWindow) {
    TestBarHost host(&owner);
    auto bar = CreateCommandBar(host);
    ASSERT_TRUE(bar);
    const std::vector<int> items = bar->GetBar().GetItems();
    for (size_t i = 0; i < items.size(); ++i) {
        RECT r{};
        bar->GetBar().SendMessage(TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        bar->GetBar().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        bar->GetBar().SendMessage(WM_LBUTTONUP, 0, at);
    }
    EXPECT_EQ(host.commands, (std::vector<UINT>{ID_GAME_NEW, ID_GAME_RESTART, ID_GAME_SELECT, ID_MOVES_UNDO,
                                                ID_MOVES_SHOW_NEXT, ID_TOOLS_OPTIONS}));
}

TEST_F(CommandBar, StoredLayoutIsRestored) {
    TestBarHost host(&owner);
    host.prefs.commandBarButtonsNum = 7;
    host.prefs.commandBarButtons = {0, 1, 2, kNotInCommandBar, 4, 6};
    auto bar = CreateCommandBar(host);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->GetBar().GetItems(), (std::vector<int>{0, 1, 2, S, 4, S, 5}));
    host.prefs.commandBarButtonsNum = 0;
    auto empty = CreateCommandBar(host);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->GetBar().GetItems().empty());
}

TEST_F(CommandBar, TooltipsShowTheLabels) {
    TestBarHost host(&owner);
    auto bar = CreateCommandBar(host);
    ASSERT_TRUE(bar);
    HWND tips = reinterpret_cast<HWND>(bar->GetBar().SendMessage(TB_GETTOOLTIPS));
    ASSERT_TRUE(tips);
    const wchar_t* expected[] = {L"New Game", L"Restart Game", L"Select Solitaire", L"Undo", L"Show Next Move",
                                 L"Options"};
    for (int k = 0; k < 6; ++k) {
        // What the tooltip asks the bar's window for a button.
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = tips;
        info.hdr.idFrom = static_cast<UINT_PTR>(ID_GAME_NEW + k);
        info.hdr.code = TTN_GETDISPINFOW;
        bar->SendMessage(WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
        ASSERT_TRUE(info.lpszText);
        EXPECT_STREQ(info.lpszText, expected[k]);
        NMTTDISPINFOA ansi{};
        ansi.hdr.hwndFrom = tips;
        ansi.hdr.idFrom = info.hdr.idFrom;
        ansi.hdr.code = TTN_GETDISPINFOA;
        bar->SendMessage(WM_NOTIFY, ansi.hdr.idFrom, reinterpret_cast<LPARAM>(&ansi));
        EXPECT_EQ(std::string(ansi.szText), std::string(expected[k], expected[k] + wcslen(expected[k])));
        // And what the tooltip itself shows.
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = bar->GetBar();
        tool.uId = static_cast<UINT_PTR>(ID_GAME_NEW + k);
        wchar_t text[80] = {};
        tool.lpszText = text;
        ::SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(text, expected[k]);
    }
    // A separator has no tooltip of its own.
    NMTTDISPINFOW none{};
    none.hdr.hwndFrom = tips;
    none.hdr.code = TTN_GETDISPINFOW;
    bar->SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&none));
    EXPECT_EQ(none.lpszText, nullptr);
}

TEST_F(CommandBar, CustomiseStoresTheLayoutAndResetRestoresTheDefault) {
    TestBarHost host(&owner);
    auto bar = CreateCommandBar(host);
    ASSERT_TRUE(bar);
    // While the system's customise dialog runs, Undo and the first separator
    // go; the dialog's Reset brings the default back.
    bool dialogSeen = false;
    test::WhenDialogAppears(owner, [&](HWND dialog) {
        dialogSeen = true;
        bar->GetBar().DeleteButton(4);
        bar->GetBar().DeleteButton(3);
        ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        ::SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    bar->SendMessage(WM_COMMAND, ID_CMDBAR_CUSTOMIZE, 0);
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(bar->GetBar().GetItems(), (std::vector<int>{0, 1, 2, 4, S, 5}));
    EXPECT_EQ(host.prefs.commandBarButtonsNum, 6);
    EXPECT_EQ(host.prefs.commandBarButtons, (std::array<uint8_t, 6>{0, 1, 2, kNotInCommandBar, 3, 5}));

    // Reset, as the dialog's button asks for it.
    NMHDR reset{bar->GetBar(), IDC_COMMAND_BAR, static_cast<UINT>(TBN_RESET)};
    bar->SendMessage(WM_NOTIFY, IDC_COMMAND_BAR, reinterpret_cast<LPARAM>(&reset));
    EXPECT_EQ(bar->GetBar().GetItems(), (std::vector<int>{0, 1, 2, S, 3, 4, S, 5}));

    // The customise dialog is offered the six commands with their labels.
    NMTOOLBARW info{};
    wchar_t text[40] = {};
    info.hdr = {bar->GetBar(), IDC_COMMAND_BAR, static_cast<UINT>(TBN_GETBUTTONINFOW)};
    info.pszText = text;
    info.cchText = 40;
    for (int i = 0; i < 6; ++i) {
        info.iItem = i;
        EXPECT_TRUE(bar->SendMessage(WM_NOTIFY, IDC_COMMAND_BAR, reinterpret_cast<LPARAM>(&info)));
        EXPECT_EQ(info.tbButton.idCommand, ID_GAME_NEW + i);
        EXPECT_STREQ(text, CommandBarLabel(i));
    }
    info.iItem = 6;
    EXPECT_FALSE(bar->SendMessage(WM_NOTIFY, IDC_COMMAND_BAR, reinterpret_cast<LPARAM>(&info)));
}

TEST_F(CommandBar, LayoutAndIconSizeSurviveARestart) {
    AppPreferences prefs;
    PreferencesLoadOptions options;
    options.gameIds = {0};
    LoadPreferences(prefs, options);   // first start
    {
        TestBarHost host(&owner);
        host.prefs = prefs;
        auto bar = CreateCommandBar(host);
        ASSERT_TRUE(bar);
        // Options first, New Game gone; small icons.
        bar->GetBar().SendMessage(TB_MOVEBUTTON, 7, 0);
        bar->GetBar().DeleteButton(1);
        test::WhenDialogAppears(owner, [](HWND dialog) { ::SendMessageW(dialog, WM_CLOSE, 0, 0); });
        bar->OnCustomize();
        bar->OnSmallIcons();
        prefs = host.prefs;
        ASSERT_TRUE(SavePreferences(prefs, PreferencesSave::kCleanClose));
    }
    AppPreferences again;
    LoadPreferences(again, options);
    TestBarHost host(&owner);
    host.prefs = again;
    auto bar = CreateCommandBar(host);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->GetBar().GetItems(), (std::vector<int>{5, 1, 2, S, 3, 4, S}));
    EXPECT_FALSE(bar->IsBigIcons());
}

}  // namespace
}  // namespace corvelle
