// The test program's application object (the dialogs' message filter) and a
// top-level window to own or hold what a test makes.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/win_app.h"
#include "platform/wnd.h"

class TestApp : public corvelle::CWinApp {
public:
    BOOL ProcessMessageFilter(int code, MSG* message) override;
    // The filter's answer for the running test, when it sets one.
    std::function<BOOL(int, MSG*)> filter;
};
TestApp& TheTestApp();

class HostWindow : public corvelle::CWnd {
public:
    // A visible top-level window of the default class, 400 x 300.
    HostWindow();
    std::vector<UINT> commands;      // OnCommand: LOWORD(wParam)
    std::vector<UINT> notifications; // OnNotify: code
    std::vector<int> drawnIds;       // OnDrawItem ids
    int ownDrawId = -1;              // OnDrawItem draws this id itself

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDrawItem(int id, DRAWITEMSTRUCT* item) override;
};

// Dispatches the thread's pending messages.
void PumpMessages();
