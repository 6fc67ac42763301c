// The main window's Options command: the options dialog over the main
// window's preferences and game field.
#pragma once

namespace corvelle {

class CCorvelleDlg;

// Runs the options dialog over the main window; true when an option that
// changes the field's look was changed.
bool RunOptionsDialog(CCorvelleDlg& main);

}  // namespace corvelle
