// The selection dialog's view of the main window (see select_runner.cpp).
#pragma once

#include <memory>

#include "panels/select_dlg.h"

namespace corvelle {

class CCorvelleDlg;
class CPreviewImageCache;

// Runs the game selection dialog over the main window. It previews games
// in the main window's engine and field (CGameFlow::PreviewGame) and leaves
// the chosen game's database position in the preferences' curSolId
// (unchanged on cancel); the game logic then loads that game.
void RunSelectDialog(CCorvelleDlg& main);

// The host through which a selection dialog previews games in the main
// window's engine and field; it must not outlive `main`.
std::unique_ptr<CSelectHost> MakeSelectHost(CCorvelleDlg& main);

// The game previews' cache: the application's, or one of the run's own
// where there is no application object.
CPreviewImageCache* MainPreviewCache();

}  // namespace corvelle
