#include "app/corvelle_dlg.h"

#include <algorithm>

#include "app/corvelle_app.h"
#include "app/game_dialogs.h"
#include "app/main_options.h"
#include "app/select_runner.h"
#include "engine/records.h"
#include "field/pile_geometry.h"
#include "field/sol_game_field.h"
#include "platform/drawing.h"
#include "platform/startup_timing.h"
#include "res/resource.h"

namespace corvelle {

const wchar_t kMainWindowProperty[] = L"Corvelle.MainWindow";

LONG PanelWidthLeaving(LONG clientWidth, uint32_t minWidth) {
    return std::max<LONG>(static_cast<LONG>(minWidth), clientWidth - kSmallestFieldWidth);
}

namespace {

// wParam of the game-state check posted once at start-up: the window is
// painted first, so that a dialog the check opens shows over the game.
constexpr WPARAM kStartUpCheck = 1;

WindowPlacement ToPlacement(const WINDOWPLACEMENT& wp) {
    WindowPlacement p;
    p.length = wp.length;
    p.flags = wp.flags;
    p.showCmd = wp.showCmd;
    p.minPosition[0] = wp.ptMinPosition.x;
    p.minPosition[1] = wp.ptMinPosition.y;
    p.maxPosition[0] = wp.ptMaxPosition.x;
    p.maxPosition[1] = wp.ptMaxPosition.y;
    p.normalLeft = wp.rcNormalPosition.left;
    p.normalTop = wp.rcNormalPosition.top;
    p.normalRight = wp.rcNormalPosition.right;
    p.normalBottom = wp.rcNormalPosition.bottom;
    return p;
}

// What the player is told when the game in play cannot be loaded.
std::wstring LoadFailureText(LoadFailure failure, uint32_t position) {
    std::wstring game = L"Game " + std::to_wstring(position + 1);
    const std::wstring name = LoadAppString(static_cast<UINT>(kGameNameStringBase + position));
    if (!name.empty())
        game += L" (\"" + name + L"\")";
    switch (failure) {
    case LoadFailure::kNoLibrary:
        return L"The program holds no game library (its resource \"SOLID\" is missing).";
    case LoadFailure::kUnreadable:
        return game + L" could not be read from the game library (resource \"SOLDB\").";
    case LoadFailure::kRefused:
        return game + L" of the game library is damaged: its record was refused.";
    case LoadFailure::kLoaded:
        break;
    }
    return L"The game library could not be loaded.";
}

}  // namespace

CCorvelleDlg::CCorvelleDlg(CWnd* parent)
    : CDialog(IDD_CORVELLE_DIALOG, parent), flow(prefs) {
    icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_CORVELLE));
}

CCorvelleDlg::~CCorvelleDlg() {
    // The children go before the window they live in.
    panel.reset();
    field.reset();
    commandBar.reset();
}

BOOL CCorvelleDlg::OnInitDialog() {
    namespace timing = startup_timing;
    timing::Step("main_window_made");
    CDialog::OnInitDialog();
    if (auto* app = dynamic_cast<CCorvelleApp*>(GetApp()))
        app->SetMainWindowHandle(hwnd);
    ::SetPropW(hwnd, kMainWindowProperty, reinterpret_cast<HANDLE>(1));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    ReadPrefs();
    ::CheckMenuItem(::GetMenu(hwnd), ID_TOOLS_COMMAND_BAR,
                    MF_BYCOMMAND | (prefs.commandBarEnabled ? MF_CHECKED : MF_UNCHECKED));
    timing::Step("preferences");

    RECT client;
    GetClientRect(&client);
    RECT bar = client;
    bar.top = bar.bottom - kStatusBarHeight;
    if (!statusBar.Create(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, bar, this, IDC_STATUS_BAR))
        return FailStart(L"The status bar could not be created.");
    const int parts[2] = {static_cast<int>(client.right) - kClockPartWidth, -1};
    statusBar.SetParts(2, parts);
    timing::Step("status_bar");

    commandBar = CreateCommandBar(*this);
    if (!commandBar)
        return FailStart(L"The command bar could not be created.");
    timing::Step("command_bar");
    field.reset(CSolGameField::CreateGameField(this, &prefs));
    if (!field)
        return FailStart(L"The game field could not be created.");
    field->SetEngine(&flow.GetEngine());
    field->ApplyOptions();
    timing::Step("field_window");

    const FlowStep start = flow.StartUp();
    timing::Step("game_and_saved_game");
    if (!flow.IsGameLoaded())
        return FailStart(LoadFailureText(flow.GetLastLoadFailure(), prefs.curSolId));
    panel = CreateMainPopups(this);
    if (!panel)
        return FailStart(L"The side panel could not be created.");
    timing::Step("panels");
    SetTimer(kClockTimerId, kClockTimerPeriodMs);
    // The field, the clock and the title first; the rules once the panel
    // has its place. The layout and the rules text each change the panel:
    // it is laid out once, after both.
    Apply(start.updates & ~(ViewUpdate::kRulesText | ViewUpdate::kGameStateCheck));
    panel->DeferLayout(true);
    RecalcLayout();
    timing::Step("layout");
    if (Has(start.updates, ViewUpdate::kRulesText))
        panel->UpdateRulesText();
    panel->DeferLayout(false);
    panel->RepositionRegions(RegionLayout::Full);
    panel->RedrawNow();
    timing::Step("rules_text");
    // Once the window is on the screen, a restored game is saved again and
    // a new deal checked.
    startUpCheck = Has(start.updates, ViewUpdate::kGameStateCheck);
    PostMessage(WM_GAMESTATECHECK, kStartUpCheck, 0);
    return TRUE;
}

BOOL CCorvelleDlg::FailStart(const std::wstring& why) {
    const std::wstring text = L"Corvelle cannot start.\n\n" + why;
    ::MessageBoxW(hwnd, text.c_str(), L"Corvelle", MB_OK | MB_ICONERROR);
    return -1;
}

void CCorvelleDlg::ReadPrefs() {
    TakeWindowPlacement();
    const RECT work = GetWorkArea();
    const LONG workWidth = work.right - work.left;

    PreferencesLoadOptions options;
    options.gameIds = DatabaseGameIds();
    options.mainPanelMaxWidth = static_cast<uint32_t>(PanelWidthLeaving(workWidth, kMainPopupsMinWidth));
    options.workAreaWidth = static_cast<uint32_t>(std::max<LONG>(workWidth, 0));
    options.askResetAfterAbnormalEnd = [this] {
        const std::wstring caption = LoadAppString(IDS_WARNING_CAPTION);
        const std::wstring text = LoadAppString(IDS_ABNORMAL_END_TEXT);
        // No is the default: Enter must not wipe every preference.
        return ::MessageBoxW(hwnd, text.c_str(), caption.c_str(), MB_YESNO | MB_DEFBUTTON2) == IDYES;
    };
    const PreferencesLoadResult result = LoadPreferences(prefs, options);
    if (result.placementRead) {
        // Only the size comes back, made to fit the work area; the window
        // is centred on it.
        const WindowSize size = StoredWindowSize(prefs.mainWindowPos, workWidth, work.bottom - work.top,
                                                 kMainWindowMinWidth, kMainWindowMinHeight);
        SetWindowPos(nullptr, 0, 0, size.width, size.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }
    CenterWindow();
}

RECT CCorvelleDlg::GetWorkArea() const {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor))
        return RECT{0, 0, kMainWindowMinWidth, kMainWindowMinHeight};
    return monitor.rcWork;
}

void CCorvelleDlg::TakeWindowPlacement() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (::GetWindowPlacement(hwnd, &wp))
        prefs.mainWindowPos = ToPlacement(wp);
}

void CCorvelleDlg::SavePrefs() {
    TakeWindowPlacement();
    SavePreferences(prefs, PreferencesSave::kWhileRunning);
}

void CCorvelleDlg::RecalcLayout() {
    if (!hwnd)
        return;
    RECT client;
    GetClientRect(&client);
    const bool panelShown = panel && prefs.mainPopupsEnabled;
    // However wide the player made it, the panel leaves the field its
    // smallest width (a narrower window narrows it).
    const LONG shownPanelWidth = std::min<LONG>(static_cast<LONG>(std::min<uint32_t>(prefs.mainPopupsWidth, INT32_MAX)),
                                                PanelWidthLeaving(client.right, kMainPopupsMinWidth));
    const LONG panelWidth = panelShown ? shownPanelWidth : 0;

    if (statusBar.GetSafeHwnd()) {
        RECT bar = client;
        bar.top = bar.bottom - kStatusBarHeight;
        statusBar.MoveWindow(bar, FALSE);
        ::RedrawWindow(statusBar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const int parts[2] = {static_cast<int>(client.right) - kClockPartWidth, -1};
        statusBar.SetParts(2, parts);
    }
    if (field && field->GetSafeHwnd()) {
        RECT area = client;
        area.bottom -= kStatusBarHeight;
        if (prefs.commandBarEnabled)
            area.top += GetCommandBarHeight();
        area.right -= panelWidth;
        field->MoveWindow(area, FALSE);
        field->Redraw();
    }
    if (commandBar) {
        RECT area = client;
        area.right -= panelWidth;
        area.bottom = area.top + GetCommandBarHeight();
        commandBar->Place(area, prefs.commandBarEnabled != 0);
    }
    if (panel) {
        RECT area = client;
        area.bottom -= kStatusBarHeight;
        area.left = area.right - shownPanelWidth;
        const bool widthChanged = lastPanelWidth != shownPanelWidth;
        lastPanelWidth = shownPanelWidth;
        panel->Place(area, prefs.mainPopupsEnabled != 0, widthChanged);
    }
}

void CCorvelleDlg::ShowGameTime(uint32_t seconds) {
    if (!statusBar.GetSafeHwnd())
        return;
    const std::u16string text = GameTimeText(seconds, prefs.timedGame != 0, prefs.timeLimit);
    statusBar.SetText(Wide(text), 1);
}

BOOL CCorvelleDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        // The window has no control that takes the focus: it keeps it
        // itself, so that the shortcuts arrive as plain key presses.
        *result = Default();
        HWND focus = ::GetFocus();
        if (focus != hwnd && !::IsChild(hwnd, focus))
            ::SetFocus(hwnd);
        return TRUE;
    }
    if (message == WM_GAMESTATECHECK) {
        if (wParam == kStartUpCheck) {
            // The window shows before the check, which may take a while.
            UpdateWindow();
            ShowDrawingNow();
            flow.GameShown();
            if (!startUpCheck) {
                *result = 0;
                return TRUE;
            }
        }
        RunFlow(flow.CheckGameState());
        *result = 0;
        return TRUE;
    }
    return CDialog::OnWndMsg(message, wParam, lParam, result);
}

BOOL CCorvelleDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Menu items (0) and accelerators (1); controls send other codes.
    if (lParam == 0 && HIWORD(wParam) <= 1) {
        switch (LOWORD(wParam)) {
        case ID_GAME_NEW: RunFlow(flow.OnNew()); return TRUE;
        case ID_GAME_RESTART: RunFlow(flow.OnRestart()); return TRUE;
        case ID_GAME_SELECT: RunFlow(flow.OnSelect()); return TRUE;
        case ID_MOVES_UNDO: RunFlow(flow.OnUndo()); return TRUE;
        case ID_MOVES_SHOW_NEXT: OnShowNextMove(); return TRUE;
        case ID_TOOLS_OPTIONS: RunFlow(flow.OnOptions()); return TRUE;
        case ID_TOOLS_COMMAND_BAR: OnCommandBar(); return TRUE;
        case ID_HELP_ABOUT: RunFlow(flow.OnAbout()); return TRUE;
        default: break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CCorvelleDlg::OnBarCommand(UINT command) {
    // The bar's buttons do what the menu items of the same number do.
    SendMessage(WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void CCorvelleDlg::OnShowNextMove() {
    uint16_t first = 0, second = 0;
    if (flow.ShowNextMove(first, second) && field)
        field->BlinkHint(first, second);
}

void CCorvelleDlg::OnCommandBar() {
    prefs.commandBarEnabled = prefs.commandBarEnabled ? 0 : 1;
    ::CheckMenuItem(::GetMenu(hwnd), ID_TOOLS_COMMAND_BAR,
                    MF_BYCOMMAND | (prefs.commandBarEnabled ? MF_CHECKED : MF_UNCHECKED));
    RecalcLayout();
}

void CCorvelleDlg::OnClose() {
    // The game first: its save stamp is part of the preferences.
    if (prefs.curSolId != kNoCurrentGame)
        flow.SaveCurrentGame();
    TakeWindowPlacement();
    SavePreferences(prefs, PreferencesSave::kCleanClose);
    EndDialog(IDOK);
}

void CCorvelleDlg::OnDestroy() {
    KillTimer(kClockTimerId);
    ::RemovePropW(hwnd, kMainWindowProperty);
    if (auto* app = dynamic_cast<CCorvelleApp*>(GetApp()))
        app->SetMainWindowHandle(nullptr);
    CDialog::OnDestroy();
}

void CCorvelleDlg::OnPaint() {
    if (!::IsIconic(hwnd)) {
        CDialog::OnPaint();
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(&r);
    const int x = (r.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (r.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, icon);
    ::EndPaint(hwnd, &ps);
}

HCURSOR CCorvelleDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(icon); }

void CCorvelleDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

void CCorvelleDlg::OnTimer(UINT_PTR id) {
    if (id == kClockTimerId)
        RunFlow(flow.OnTimer());
    else
        CDialog::OnTimer(id);
}

void CCorvelleDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    CDialog::OnGetMinMaxInfo(info);
    // Maximised, the window covers its monitor's work area with only its
    // sizing frame outside it: the caption at the work area's top, the
    // status bar at its bottom. The default place leaves that to the system,
    // and Wine counts the menu bar of a popup window (this dialog's style)
    // into the frame: the caption went off the screen and a strip of desktop
    // showed below the window.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const auto style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
        const auto exStyle = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE));
        RECT frame{0, 0, 0, 0};
        ::AdjustWindowRectEx(&frame, style & ~WS_BORDER, FALSE, exStyle & ~WS_EX_CLIENTEDGE);
        const RECT& work = monitor.rcWork;
        // Relative to the monitor, as the system reads it.
        info->ptMaxPosition = POINT{work.left - monitor.rcMonitor.left + frame.left,
                                    work.top - monitor.rcMonitor.top + frame.top};
        info->ptMaxSize = POINT{work.right - work.left + frame.right - frame.left,
                                work.bottom - work.top + frame.bottom - frame.top};
        info->ptMaxTrackSize.x = std::max(info->ptMaxTrackSize.x, info->ptMaxSize.x);
        info->ptMaxTrackSize.y = std::max(info->ptMaxTrackSize.y, info->ptMaxSize.y);
    }
    info->ptMinTrackSize.x = kMainWindowMinWidth;
    info->ptMinTrackSize.y = kMainWindowMinHeight;
}

// ---- what the game logic asks of the window

void CCorvelleDlg::RunFlow(FlowStep step) {
    for (;;) {
        Apply(step.updates);
        const bool check = Has(step.updates, ViewUpdate::kGameStateCheck);
        if (step.dialog != FlowDialog::kNoDialog) {
            step = flow.AfterDialog(RunDialog(step.dialog));
            if (check)
                step.updates |= ViewUpdate::kGameStateCheck;
        } else if (check) {
            step = flow.CheckGameState();
        } else {
            return;
        }
    }
}

void CCorvelleDlg::Apply(ViewUpdate updates) {
    if (field) {
        if (Has(updates, ViewUpdate::kClearSelection))
            field->ClearSelection();
        if (Has(updates, ViewUpdate::kBuildField | ViewUpdate::kBuildFieldQuiet)) {
            field->BuildFromEngine(!Has(updates, ViewUpdate::kBuildField));
            startup_timing::Step("field_copy");
            field->PrepareDrawing();
            startup_timing::Step("card_images");
        }
        if (Has(updates, ViewUpdate::kRedrawField))
            field->Redraw();
    }
    if (Has(updates, ViewUpdate::kClock))
        ShowGameTime(flow.GetClock().GetElapsed());
    if (Has(updates, ViewUpdate::kTitle))
        SetWindowText(Wide(flow.GetGameName()));
    if (panel) {
        if (Has(updates, ViewUpdate::kRulesText))
            panel->UpdateRulesText();
        if (Has(updates, ViewUpdate::kBestTimes | ViewUpdate::kStatistics)) {
            const std::u16string name = panel->GetGameName();
            if (Has(updates, ViewUpdate::kBestTimes))
                panel->UpdateBestTimes(name.c_str());
            if (Has(updates, ViewUpdate::kStatistics))
                panel->UpdateStatistics(name.c_str());
        }
        if (Has(updates, ViewUpdate::kPanelAfterGameChange))
            panel->RefreshAfterGameChange();
    }
}

int CCorvelleDlg::RunDialog(FlowDialog dialog) {
    switch (dialog) {
    case FlowDialog::kBestTimeWin: {
        CGameWinDlg win(this, prefs.lastEnteredName);
        return win.DoModal() == IDOK ? 1 : 0;
    }
    case FlowDialog::kSimpleWin: {
        CGameSimpleWinDlg win;
        win.DoModal();
        return 0;
    }
    case FlowDialog::kLost:
    case FlowDialog::kTimeUp: {
        CGameLostDlg lost(dialog == FlowDialog::kTimeUp);
        return static_cast<int>(lost.DoModal());
    }
    case FlowDialog::kNoUndo: {
        const std::wstring caption = LoadAppString(IDS_NO_UNDO_CAPTION);
        const std::wstring text = LoadAppString(IDS_NO_UNDO_TEXT);
        ::MessageBoxW(hwnd, text.c_str(), caption.c_str(), MB_OK);
        return 0;
    }
    case FlowDialog::kSelect:
        RunSelectDialog(*this);
        return 0;
    case FlowDialog::kOptions:
        return RunOptionsDialog(*this) ? 1 : 0;
    case FlowDialog::kAbout: {
        CAboutDlg about(this);
        about.DoModal();
        return 0;
    }
    case FlowDialog::kNoDialog:
        break;
    }
    return 0;
}

}  // namespace corvelle
