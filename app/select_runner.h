// The selection dialog's view of the main window (see select_runner.cpp).
#pragma once

#include <memory>

#include "panels/select_dlg.h"

namespace corvelle {

class CCorvelleDlg;
class CPreviewImageCache;

// The host through which a selection dialog previews games in the main
// window's engine and field; it must not outlive `main`.
std::unique_ptr<CSelectHost> MakeSelectHost(CCorvelleDlg& main);

// The game previews' cache: the application's, or one of the run's own
// where there is no application object.
CPreviewImageCache* MainPreviewCache();

}  // namespace corvelle
