// CCorvelleDlg: the program's main window, a resizable dialog tiled by the
// command bar at the top, the game field, the side panel at the right and
// the status bar with the game clock at the bottom. It holds the
// preferences (read at start-up, stored when it closes and after a
// confirmed options dialog) and the game logic (CGameFlow, which owns the
// engine), and owns its children. The command bar and the side panel reach
// it only through their own small interfaces (CommandBarHost,
// CMainPopupsOwner). The game commands of the menu and the bar, the clock's
// timer and the game-state check go to the game logic; RunFlow carries out
// what each answers: the redraws and reloads it names, then the modal dialog
// it asks for, whose answer goes back to the game logic.
#pragma once

#include <memory>
#include <string>

#include "app/command_bar.h"
#include "field/sol_game_field.h"
#include "logic/game_flow.h"
#include "logic/preferences.h"
#include "panels/sol_main_popups.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/win_app.h"

namespace corvelle {

// The property that marks the main window, so that a second start finds it.
extern const wchar_t kMainWindowProperty[];
// The smallest size of the main window, in pixels.
constexpr int kMainWindowMinWidth = 1100;
constexpr int kMainWindowMinHeight = 800;
constexpr int kStatusBarHeight = 20;
constexpr int kClockPartWidth = 100;
// The widest the side panel may be beside the field in a client area this
// wide: the field keeps its smallest width, the panel its own minimum.
LONG PanelWidthLeaving(LONG clientWidth, uint32_t minWidth);

class CCorvelleDlg : public CDialog, private CMainPopupsOwner, private CommandBarHost {
public:
    explicit CCorvelleDlg(CWnd* parent = nullptr);
    ~CCorvelleDlg() override;

    // Places the children: status bar at the bottom, the side panel at the
    // right above it, the field in the rest (below the command bar when it
    // is shown). Safe before the children exist.
    void RecalcLayout() override;
    // The clock text in the status bar.
    void ShowGameTime(uint32_t seconds);
    // Stores the preferences while the program goes on running (a confirmed
    // options dialog).
    void SavePrefs();
    // Carries out a game operation's answer: its redraws and reloads, then
    // the dialog it asks for (whose answer goes back to the game logic) or
    // the game-state check, until nothing more is asked.
    void RunFlow(FlowStep step);

    AppPreferences& GetPrefs() override { return prefs; }
    CGameFlow& GetGameFlow() { return flow; }
    CGameEngine* GetEngine() { return &flow.GetEngine(); }
    CSolGameField* GetGameField() { return field.get(); }
    CSolMainPopups* GetMainPanel() { return panel.get(); }
    // The height of the command bar's strip (0 while there is none).
    int GetCommandBarHeight() const { return commandBar ? commandBar->StripHeight() : 0; }

protected:
    BOOL OnInitDialog() override;
    // Enter and Esc never close the main window.
    void OnOK() override {}
    void OnCancel() override {}
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnClose() override;
    void OnDestroy() override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT_PTR id) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;

private:
    void ReadPrefs();
    // The work area of the window's monitor.
    RECT GetWorkArea() const;
    // The window's placement as it is now into the preferences.
    void TakeWindowPlacement();
    void OnCommandBar();
    void OnShowNextMove();
    // The redraws and reloads a game operation names.
    void Apply(ViewUpdate updates);
    // Runs a dialog the game logic asked for; its answer as the game logic
    // reads it.
    int RunDialog(FlowDialog dialog);
    // Says why the window cannot start; OnInitDialog then returns -1.
    BOOL FailStart(const std::wstring& why);

    // CommandBarHost
    CWnd* GetBarParent() override { return this; }
    void OnBarCommand(UINT command) override;

    // CMainPopupsOwner
    CWnd* GetPanelParent() override { return this; }
    CGameEngine* GetPanelEngine() override { return &flow.GetEngine(); }
    AppPreferences& GetPanelPreferences() override { return prefs; }
    CGameClock* GetPanelClock() override { return &flow.GetClock(); }

    AppPreferences prefs;
    CGameFlow flow;
    std::unique_ptr<CCommandBarWnd> commandBar;
    std::unique_ptr<CSolGameField> field;
    std::unique_ptr<CSolMainPopups> panel;
    CStatusBarCtrl statusBar;
    HICON icon = nullptr;
    int lastPanelWidth = -1;
    bool startUpCheck = false;   // the start dealt anew: its check runs once shown
};

}  // namespace corvelle
