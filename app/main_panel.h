// What the main window asks of its side panel, and where the panel, the
// game selection dialog and the options dialog come from. The panel reads
// and changes its width, its regions' order and state and whether it is
// shown in the main window's preferences (CCorvelleDlg::Prefs); after the
// player drags its edge it asks the main window for a new layout
// (CCorvelleDlg::RecalcLayout).
#pragma once

#include <windows.h>

#include <memory>

namespace corvelle {

class CCorvelleDlg;
class CWnd;

class CMainPanel {
public:
    virtual ~CMainPanel() = default;

    // The panel's window.
    virtual CWnd* GetWindow() = 0;
    // Places the panel in the main window's client area (rect) and shows or
    // hides it; widthChanged tells that its contents must be laid out anew.
    virtual void Place(const RECT& rect, bool visible, bool widthChanged) = 0;

    // The game in play changed (start-up, another game selected): its rules.
    virtual void UpdateRulesText() = 0;
    // Reload the best times and the statistics of the game in play (a
    // result was recorded, or another game was selected).
    virtual void UpdateBestTimes() = 0;
    virtual void UpdateStatistics() = 0;
    // After every new deal, restart, selection and game end: the first
    // region brought into view and the advertisement refreshed.
    virtual void RefreshAfterGameChange() = 0;
    // While held, the panel's layout and painting wait (several changes in
    // a row); releasing it lays the panel out and paints it once.
    virtual void HoldLayout(bool hold) = 0;
};

// Creates the main window's side panel as a child of `main`; null when it
// cannot be made (the main window then does not start).
std::unique_ptr<CMainPanel> CreateMainPopups(CCorvelleDlg& main);

// Runs the game selection dialog over the main window. It previews games
// with the quiet game operations (CCorvelleDlg::GetGameFlow) and leaves the
// chosen game's database position in the preferences' curSolId (unchanged
// on cancel); the main window then loads that game.
void RunSelectDialog(CCorvelleDlg& main);

// Runs the options dialog over the main window; true when an option that
// changes the field's look was changed.
bool RunOptionsDialog(CCorvelleDlg& main);

}  // namespace corvelle
