#include "test_app.h"

BOOL TestApp::ProcessMessageFilter(int code, MSG* message) {
    if (filter) return filter(code, message);
    return CWinApp::ProcessMessageFilter(code, message);
}

namespace {
// The one application object, there before main as in the program.
TestApp application;
}  // namespace

TestApp& TheTestApp() {
    return application;
}

HostWindow::HostWindow() {
    RECT r{50, 50, 450, 350};
    Create(L"Host", WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_CLIPCHILDREN, r, nullptr, 0);
}

BOOL HostWindow::OnCommand(WPARAM wParam, LPARAM) {
    commands.push_back(LOWORD(wParam));
    return TRUE;
}

BOOL HostWindow::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    notifications.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
    *result = 0;
    return TRUE;
}

void HostWindow::OnDrawItem(int id, DRAWITEMSTRUCT* item) {
    drawnIds.push_back(id);
    if (id == ownDrawId) return;
    CWnd::OnDrawItem(id, item);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
