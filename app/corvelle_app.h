// CCorvelleApp: the program's application object. Its start-up makes sure
// that one instance runs (a second start brings the first one's window
// forward and ends), creates what lives for the whole run (the related-games
// table, the side panels' control font, the preview cache), loads the
// keyboard shortcuts and runs the main window modally; when that closes, the program ends.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "engine/related_games.h"
#include "field/preview_cache.h"
#include "platform/font.h"
#include "platform/win_app.h"

namespace corvelle {

class CCorvelleApp : public CWinApp {
public:
    CCorvelleApp();
    ~CCorvelleApp() override;

    BOOL InitInstance() override;
    // The shortcuts (accelerator table 323) for the main window and its
    // children while it is enabled; messages of other windows (a dialog's
    // name box, a message box) pass untouched.
    BOOL ProcessMessageFilter(int code, MSG* message) override;

    // Set by the main window when it starts and ends.
    void SetMainWindowHandle(HWND window) { mainWindow = window; }
    const CRelatedSolsTable* GetRelatedGames() const { return relatedGames.get(); }
    const CFont& GetControlFont() const { return controlFont; }
    // The thumbnails of previewed games, kept for the whole run.
    CPreviewImageCache& GetPreviewCache() { return previewCache; }

private:
    // With the start-up breakdown on: times the first paint of the field.
    bool TimeFirstPaint(const MSG& message);

    HWND mainWindow = nullptr;
    bool firstMessageSeen = false;
    HACCEL accelerators = nullptr;
    HANDLE instanceMutex = nullptr;
    std::unique_ptr<CRelatedSolsTable> relatedGames;
    CFont controlFont;
    CPreviewImageCache previewCache{kPreviewCacheCapacity};
};

// The application object while the program runs (null in tests that make
// none).
CCorvelleApp* GetCorvelleApp();

// Whether the translation of a shortcut applies to a message for `target`:
// the main window or one of its children, while the main window is enabled.
bool AcceleratorTarget(HWND mainWindow, HWND target);

// The executable's own file name without its folder ("corvelle.exe").
std::wstring OwnExecutableName();

// Single instance. True when another process of the same executable name
// runs (or is starting: the named mutex exists); with activate set its main
// window (marked with kMainWindowProperty) is shown and brought forward,
// waiting up to waitMs for it to appear. `mutex` receives the mutex this
// process holds for the rest of its run when it is the first.
bool FindRunningInstance(bool activate, HANDLE* mutex, DWORD waitMs = 5000);
// The process id of another running process named exeName (case as given),
// or 0; walks the whole process snapshot.
DWORD FindProcessByName(const std::wstring& exeName);
// Shows and brings forward the marked top-level windows of process `pid`;
// true when one was found.
bool ActivateInstanceWindows(DWORD pid);

}  // namespace corvelle
