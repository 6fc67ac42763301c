// STAND-IN until its own code lands: the options dialog (it does nothing
// yet). It is replaced by defining the function of app/main_panel.h in its
// own file and removing it here.
#include "app/corvelle_dlg.h"
#include "app/main_panel.h"

namespace corvelle {

// STAND-IN for the options dialog.
bool RunOptionsDialog(CCorvelleDlg&) { return false; }

}  // namespace corvelle
