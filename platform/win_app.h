// The application object: exactly one object derived from CWinApp exists
// while the program runs. The program's entry point (win_main.cpp) calls its
// InitInstance; when that returns false the program ends, otherwise Run's
// message loop runs until WM_QUIT. ProcessMessageFilter sees every message
// of a modal dialog's loop before the dialog does.
#pragma once

#include <windows.h>

#include <string>

namespace corvelle {

class CWnd;

class CWinApp {
public:
    // Registers itself as the application object. The program has exactly
    // one; a test may make another for a while, the previous one coming back
    // when it goes.
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up: false ends the program.
    virtual BOOL InitInstance();
    // The message loop after a true InitInstance; returns ExitInstance().
    virtual int Run();
    // Called when Run's loop ends; the base returns the WM_QUIT code.
    virtual int ExitInstance();
    // `code` is MSGF_DIALOGBOX for messages of a modal dialog's loop. TRUE
    // when the message was consumed (it is then neither handed to the dialog
    // nor dispatched). The base consumes nothing.
    virtual BOOL ProcessMessageFilter(int code, MSG* message);

    HINSTANCE GetInstance() const { return instance; }
    CWnd* GetMainWnd() const { return mainWnd; }
    void SetMainWnd(CWnd* window) { mainWnd = window; }

private:
    friend int RunApplication(HINSTANCE instance);
    CWinApp* previous = nullptr;
    HINSTANCE instance = nullptr;
    CWnd* mainWnd = nullptr;
    int exitCode = 0;
};

// The application object, or nullptr when none exists.
CWinApp* GetApp();
// A string of the program's string table ("" when it has none).
std::wstring LoadAppString(UINT id);

// What the entry point does: InitInstance, then Run when it returned true.
// Returns the process exit code (0 when InitInstance returned false).
int RunApplication(HINSTANCE instance);

}  // namespace corvelle
