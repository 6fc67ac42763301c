#include "options_test_support.h"

#include <cstdio>
#include <cstdlib>

#include "platform/bmp_codec.h"
#include "platform/image_gdi.h"

namespace corvelle::test {

bool OwnerWindow::Make() {
    const RECT r{0, 0, 1100, 800};
    if (CreateEx(0, DefaultClassName(), L"Options test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, r, nullptr, 0))
        return true;
    // Seen once on a loaded machine: say what the system gave as the reason.
    std::fprintf(stderr, "the owner window cannot be created (error %lu)\n", ::GetLastError());
    return false;
}

PixelImage CaptureWindow(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    ::GetWindowRect(window, &r);
    HDC screen = ::GetDC(nullptr);
    PixelImage image;
    ImageFromDc(screen, r, &image);
    ::ReleaseDC(nullptr, screen);
    return image;
}

void SavePicture(HWND window, const std::string& name) {
    WriteBmpFile(CaptureWindow(window), name);
}

namespace {

HWND g_except = nullptr;
std::function<void(HWND)> g_act;
UINT_PTR g_timer = 0;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (window != g_except && ::IsWindowVisible(window) && std::wstring(name) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    if (!found)
        return;
    ::KillTimer(nullptr, g_timer);
    g_timer = 0;
    auto act = std::move(g_act);
    g_act = nullptr;
    act(found);
}

}  // namespace

void WhenDialogAppears(HWND except, std::function<void(HWND)> act) {
    g_except = except;
    g_act = std::move(act);
    g_timer = ::SetTimer(nullptr, 0, 50, OnTimer);
}

}  // namespace corvelle::test
