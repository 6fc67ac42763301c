// The application's windows under Wine: the end-of-game dialogs, the
// main window's layout, clock text, smallest size and stored size, and
// which windows the shortcuts are translated for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "app/corvelle_app.h"
#include "app/corvelle_dlg.h"
#include "app/game_dialogs.h"
#include "engine/registry.h"
#include "field/field_test_support.h"
#include "field/sol_game_field.h"
#include "res/resource.h"
#include "support/message_pump.h"
#include "support/registry_sandbox.h"

namespace corvelle {
namespace {

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[256] = {};
    ::GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

void PostClick(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// The lost dialog, clicking one of its buttons as soon as it is up.
class ClickingLostDlg : public CGameLostDlg {
public:
    ClickingLostDlg(bool timeUp, int clickButton) : CGameLostDlg(timeUp), button(clickButton) {}
    bool restartVisible = true;
    std::wstring undoLabel;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CGameLostDlg::OnInitDialog();
        restartVisible = (::GetWindowLongW(GetDlgItemHwnd(IDC_LOST_RESTART), GWL_STYLE) & WS_VISIBLE) != 0;
        undoLabel = ItemText(hwnd, IDC_LOST_UNDO);
        PostClick(hwnd, button);
        return result;
    }

private:
    int button;
};

TEST(GameLostDlg, TheLostFormEndsWithTheButtonClicked) {
    for (int button : {IDC_LOST_NEW_GAME, IDC_LOST_RESTART, IDC_LOST_UNDO, IDCANCEL}) {
        ClickingLostDlg dialog(false, button);
        EXPECT_EQ(dialog.DoModal(), button);
        EXPECT_TRUE(dialog.restartVisible);
        EXPECT_EQ(dialog.undoLabel, L"Undo");
    }
}

TEST(GameLostDlg, TheTimeUpFormOffersNewGameAndRestartOnly) {
    ClickingLostDlg relabelled(true, IDC_LOST_UNDO);
    EXPECT_EQ(relabelled.DoModal(), IDC_LOST_RESTART);
    EXPECT_FALSE(relabelled.restartVisible);
    EXPECT_EQ(relabelled.undoLabel, L"Restart");
    ClickingLostDlg newGame(true, IDC_LOST_NEW_GAME);
    EXPECT_EQ(newGame.DoModal(), IDC_LOST_NEW_GAME);
}

// The best-time dialog, typing into the name box and pressing a button.
class TypingWinDlg : public CGameWinDlg {
public:
    TypingWinDlg(std::array<char16_t, kLastEnteredNameLength + 1>& enteredName, std::wstring text, int clickButton)
        : CGameWinDlg(nullptr, enteredName), typed(std::move(text)), button(clickButton) {}
    LRESULT limit = 0;
    DWORD selectionStart = 99, selectionEnd = 0;
    bool editHasFocus = false;
    std::wstring shown;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CGameWinDlg::OnInitDialog();
        HWND edit = GetDlgItemHwnd(IDC_WIN_NAME);
        limit = ::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0);
        ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                       reinterpret_cast<LPARAM>(&selectionEnd));
        editHasFocus = ::GetFocus() == edit;
        shown = ItemText(hwnd, IDC_WIN_NAME);
        for (wchar_t c : typed) ::SendMessageW(edit, WM_CHAR, c, 0);
        PostClick(hwnd, button);
        return result;
    }

private:
    std::wstring typed;
    int button;
};

TEST(GameWinDlg, TakesAtMostFifteenCharactersAndReplacesTheLastName) {
    std::array<char16_t, kLastEnteredNameLength + 1> name = {};
    const std::u16string last = u"Fifteen letters";
    std::copy(last.begin(), last.end(), name.begin());
    TypingWinDlg dialog(name, L"Ada Lovelace of the long name", IDOK);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.limit, 15);
    EXPECT_EQ(dialog.shown, L"Fifteen letters");
    EXPECT_EQ(dialog.selectionStart, 0u);
    EXPECT_EQ(dialog.selectionEnd, 15u);
    EXPECT_TRUE(dialog.editHasFocus);
    EXPECT_EQ(std::u16string(name.data()), u"Ada Lovelace of");
}

TEST(GameWinDlg, CancelKeepsTheLastNameAndAnEmptyNameStartsEmpty) {
    std::array<char16_t, kLastEnteredNameLength + 1> name = {};
    TypingWinDlg dialog(name, L"Grace", IDCANCEL);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.shown, L"");
    EXPECT_TRUE(dialog.editHasFocus);
    EXPECT_EQ(name[0], 0);
}

class MainWindowTest : public test::RegistrySandbox {};

TEST_F(MainWindowTest, LaysOutFieldPanelAndStatusBarAndShowsTheClock) {
    CCorvelleDlg main;
    ASSERT_TRUE(main.CreateModeless());
    test::PumpMessages();
    EXPECT_NE(::GetPropW(main, kMainWindowProperty), nullptr);
    // The first game of the database, dealt, named in the title.
    EXPECT_EQ(main.GetPrefs().curSolId, 0u);
    wchar_t title[64] = {};
    main.GetWindowText(title, 64);
    const std::u16string name = main.GetGameFlow().GetGameName();
    EXPECT_EQ(std::wstring(title), std::wstring(name.begin(), name.end()));

    RECT client, field, bar;
    main.GetClientRect(&client);
    HWND fieldWindow = main.GetGameField()->GetSafeHwnd();
    ::GetWindowRect(fieldWindow, &field);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&field), 2);
    ::GetWindowRect(main.GetDlgItemHwnd(IDC_STATUS_BAR), &bar);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&bar), 2);
    EXPECT_EQ(field.left, 0);
    EXPECT_EQ(field.top, main.GetCommandBarHeight());
    EXPECT_EQ(field.bottom, client.bottom - kStatusBarHeight);
    EXPECT_EQ(field.right, client.right - static_cast<LONG>(main.GetPrefs().mainPopupsWidth));
    EXPECT_EQ(bar.top, client.bottom - kStatusBarHeight);

    // Without the side panel the field reaches the right edge.
    main.GetPrefs().mainPopupsEnabled = 0;
    main.RecalcLayout();
    ::GetWindowRect(fieldWindow, &field);
    ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&field), 2);
    EXPECT_EQ(field.right, client.right);
    EXPECT_FALSE(::IsWindowVisible(main.GetMainPanel()->GetSafeHwnd()));

    wchar_t clock[32] = {};
    main.ShowGameTime(125);
    ::SendDlgItemMessageW(main, IDC_STATUS_BAR, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(clock));
    EXPECT_EQ(std::wstring(clock), L"2:05");
    main.GetPrefs().timedGame = 1;
    main.ShowGameTime(0);
    ::SendDlgItemMessageW(main, IDC_STATUS_BAR, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(clock));
    EXPECT_EQ(std::wstring(clock), L"3:00");

    MINMAXINFO info{};
    main.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, kMainWindowMinWidth);
    EXPECT_EQ(info.ptMinTrackSize.y, kMainWindowMinHeight);
}

TEST_F(MainWindowTest, AStoredSizeOfAnyValueFitsTheWorkAreaAndThePanelFitsTheWindow) {
    struct Stored {
        int32_t left, top, right, bottom;
        uint32_t panelWidth;
    };
    // A rectangle whose width does not fit 32 bits, and one far larger than
    // the screen, each with a panel as wide as the stored window allows.
    for (const Stored& stored : {Stored{-0x7FFFFFF0, -0x7FFFFFF0, 0x7FFFFFF0, 0x7FFFFFF0, 0xFFFFFF00u},
                                 Stored{0, 0, 5000, 4000, 4000}}) {
        SCOPED_TRACE(stored.right);
        AppPreferences prefs;
        prefs.mainWindowPos.normalLeft = stored.left;
        prefs.mainWindowPos.normalTop = stored.top;
        prefs.mainWindowPos.normalRight = stored.right;
        prefs.mainWindowPos.normalBottom = stored.bottom;
        prefs.mainPopupsWidth = stored.panelWidth;
        ASSERT_TRUE(SavePreferences(prefs, PreferencesSave::kCleanClose));

        CCorvelleDlg main;
        ASSERT_TRUE(main.CreateModeless());
        test::PumpMessages();
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor));
        const RECT& work = monitor.rcWork;
        RECT window, field;
        main.GetWindowRect(&window);
        EXPECT_GE(window.left, work.left);
        EXPECT_GE(window.top, work.top);
        EXPECT_LE(window.right, work.right);
        EXPECT_LE(window.bottom, work.bottom);
        EXPECT_GE(window.right - window.left, kMainWindowMinWidth);
        EXPECT_GE(window.bottom - window.top, kMainWindowMinHeight);
        EXPECT_EQ(main.GetPrefs().mainPopupsWidth, kMainPopupsDefaultWidth);
        ::GetWindowRect(main.GetGameField()->GetSafeHwnd(), &field);
        EXPECT_GT(field.right - field.left, 0);
    }
}

TEST_F(MainWindowTest, ShortcutsAreForTheMainWindowAndItsChildrenWhileItIsEnabled) {
    CCorvelleDlg main;
    ASSERT_TRUE(main.CreateModeless());
    HWND field = main.GetGameField()->GetSafeHwnd();
    CWnd other;
    const RECT r{0, 0, 100, 100};
    ASSERT_TRUE(other.CreateEx(0, CWnd::DefaultClassName(), L"other", WS_POPUP, r, nullptr, 0));
    EXPECT_TRUE(AcceleratorTarget(main, main));
    EXPECT_TRUE(AcceleratorTarget(main, field));
    EXPECT_FALSE(AcceleratorTarget(main, other));
    EXPECT_FALSE(AcceleratorTarget(nullptr, field));
    ::EnableWindow(main, FALSE);   // a modal dialog is open
    EXPECT_FALSE(AcceleratorTarget(main, field));
    ::EnableWindow(main, TRUE);
}

// The dialogs the game flow asks the main window for, opened and closed
// again and again: each is the asked one, the clock is paused under it, and
// neither GDI objects nor windows are left behind.
TEST_F(MainWindowTest, TheFlowsDialogsComeAndGoWithoutLeavingHandles) {
    CCorvelleDlg main;
    ASSERT_TRUE(main.CreateModeless());
    test::PumpMessages();
    CGameFlow& flow = main.GetGameFlow();
    static std::vector<std::wstring> seen;
    static bool pausedUnder = true;
    static CGameFlow* running = nullptr;
    seen.clear();
    running = &flow;
    // Each dialog, once up, is noted and ended with Esc's command.
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        for (const wchar_t* title : {L"About", L"No Undo", L"Sorry..."}) {
            HWND found = ::FindWindowW(nullptr, title);
            if (found && ::IsWindowVisible(found) && ::IsWindowEnabled(found)) {
                seen.push_back(title);
                pausedUnder = pausedUnder && running->GetClock().IsPaused();
                ::PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
                return;
            }
        }
    });
    const auto count = [&] {
        test::PumpMessages();
        return std::make_pair(LiveGdiObjects(), ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS));
    };
    const auto play = [&] {
        main.RunFlow(flow.OnAbout());
        main.RunFlow(flow.NewGame(Deal::Random(), FlowMode::kPlay));
        main.RunFlow(flow.UndoMove());   // nothing to undo: the message
        main.GetPrefs().timedGame = 1;      // a timed game past its limit
        main.GetPrefs().timeLimit = 1;
        flow.GetClock().SetElapsed(61);
        main.RunFlow(flow.CheckGameState());
        main.GetPrefs().timedGame = 0;
    };
    play();   // what the first opening makes once (fonts, classes)
    const auto before = count();
    seen.clear();
    for (int i = 0; i < 15; ++i)
        play();
    const auto after = count();
    ::KillTimer(nullptr, timer);
    for (const wchar_t* title : {L"About", L"No Undo", L"Sorry..."}) {
        // A deal without a move at its start shows the lost dialog too.
        const auto n = std::count(seen.begin(), seen.end(), std::wstring(title));
        EXPECT_GE(n, 15) << std::string(title, title + wcslen(title));
    }
    EXPECT_LE(seen.size(), 60u);
    EXPECT_TRUE(pausedUnder) << "a dialog opened with the clock running";
    EXPECT_LE(after.first, before.first + 2) << "GDI objects left behind";
    EXPECT_LE(after.second, before.second + 2) << "windows left behind";
    EXPECT_FALSE(flow.GetClock().IsPaused());
    EXPECT_EQ(flow.GetAwaitedDialog(), FlowDialog::kNoDialog);
    main.SendMessage(WM_CLOSE);
    test::PumpMessages();
}

TEST(SingleInstance, FindsOnlyProcessesOfTheSameName) {
    const std::wstring own = OwnExecutableName();
    EXPECT_FALSE(own.empty());
    // This process does not count itself (other processes of these tests
    // may run meanwhile), nor does a name in another letter case.
    EXPECT_NE(FindProcessByName(own), ::GetCurrentProcessId());
    std::wstring otherCase = own;
    for (wchar_t& c : otherCase) c = static_cast<wchar_t>(::towupper(c));
    EXPECT_EQ(FindProcessByName(otherCase), 0u);
    // Wine's own services run under these names.
    EXPECT_NE(FindProcessByName(L"services.exe"), 0u);
}

}  // namespace
}  // namespace corvelle
