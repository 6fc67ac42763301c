// CCorvelleDlg: the program's main window, a resizable dialog tiled by the
// game field, the side panel at the right and the status bar with the game
// clock at the bottom (the command bar will take a strip at the top). It
// holds the preferences, owns the field, the side panel and the game logic
// (CGameFlow, which owns the engine), dispatches the menu commands to the
// game logic and shows its modal dialogs.
#pragma once

#include <memory>
#include <string>

#include "app/command_bar.h"
#include "app/main_panel.h"
#include "field/sol_game_field.h"
#include "logic/game_flow.h"
#include "logic/preferences.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/win_app.h"

namespace corvelle {

class CSolGameField;

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

class CCorvelleDlg : public CDialog, private GameFlowView, private CommandBarHost {
public:
    explicit CCorvelleDlg(CWnd* parent = nullptr);
    ~CCorvelleDlg() override;

    // Places the children: status bar at the bottom, the side panel at the
    // right above it, the field in the rest (below the command bar when it
    // is shown). Safe before the children exist.
    void RecalcLayout() override;
    // The clock text in the status bar.
    void ShowGameTime(uint32_t seconds) override;
    // Stores the preferences while the program goes on running (a confirmed
    // options dialog).
    void SavePrefs();

    AppPreferences& Prefs() override { return prefs_; }
    CGameFlow& GetGameFlow() { return flow_; }
    CGameEngine* GetEngine() { return &flow_.Engine(); }
    CSolGameField* GetGameField() { return field_.get(); }
    CMainPanel* GetMainPanel() { return panel_.get(); }
    void ResetHintIndex() { flow_.ResetHintIndex(); }
    // The height of the command bar's strip (0 while there is none).
    int CommandBarHeight() const { return commandBar_ ? commandBar_->StripHeight() : 0; }
    CCommandBarWnd* GetCommandBar() { return commandBar_.get(); }

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
    RECT WorkArea() const;
    // The window's placement as it is now into the preferences.
    void TakeWindowPlacement();
    void OnCommandBar();

    // CommandBarHost
    CWnd* BarParent() override { return this; }
    void OnBarCommand(UINT command) override;

    // GameFlowView
    void BuildField(bool quiet) override;
    void RedrawField() override;
    void ClearFieldSelection() override;
    void BlinkHint(uint16_t first, uint16_t second) override;
    void SetTitle(const std::u16string& title) override;
    void SendGameStateCheck() override;
    void UpdateRulesText() override;
    void UpdateStatistics() override;
    void UpdateBestTimes() override;
    void RefreshPanelAfterGameChange() override;
    bool RunWinDialog() override;
    void RunSimpleWinDialog() override;
    int RunLostDialog(bool timeUp) override;
    void ShowNoUndoMessage() override;
    void RunSelectDialog() override;
    bool RunOptionsDialog() override;
    void RunAboutDialog() override;

    AppPreferences prefs_;
    CGameFlow flow_;
    std::unique_ptr<CCommandBarWnd> commandBar_;
    std::unique_ptr<CSolGameField> field_;
    std::unique_ptr<CMainPanel> panel_;
    CStatusBarCtrl statusBar_;
    HICON icon_ = nullptr;
    int lastPanelWidth_ = -1;
};

}  // namespace corvelle
