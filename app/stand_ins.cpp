// STAND-INS until their own code lands: the game selection dialog and the
// options dialog (both do nothing yet). Each is replaced by defining the
// function of app/main_panel.h in its own file and removing it here.
#include "app/corvelle_dlg.h"
#include "app/main_panel.h"

namespace corvelle {

// STAND-IN for the game selection dialog.
void RunSelectDialog(CCorvelleDlg&) {}

// STAND-IN for the options dialog.
bool RunOptionsDialog(CCorvelleDlg&) { return false; }

}  // namespace corvelle
