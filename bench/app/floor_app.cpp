// The floor of the application benchmark: the least Win32 program that does
// what bench_app measures of corvelle.exe, built with the same compiler and
// flags, so that what corvelle.exe takes beyond it is the program's own
// work. A dialog as main window (the size of the program's, with a menu and
// its two shortcuts) with a status bar; its client area above the bar
// painted green with seven white "cards" whose heights change with every
// New; Select... opens a modal dialog whose report list holds 200 rows.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "floor_ids.h"

namespace {

constexpr COLORREF kFieldColour = RGB(0, 0x80, 0);   // the benchmark waits for it
constexpr int kStatusHeight = 20;
constexpr int kRows = 200;

HWND statusBar = nullptr;
int deals = 0;

RECT FieldRect(HWND main) {
    RECT r;
    ::GetClientRect(main, &r);
    r.bottom -= kStatusHeight;
    return r;
}

void PaintField(HWND main) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(main, &ps);
    const RECT field = FieldRect(main);
    HBRUSH green = ::CreateSolidBrush(kFieldColour);
    ::FillRect(dc, &field, green);
    ::DeleteObject(green);
    // Seven columns over the whole width, each a "card" of a height that
    // changes with the deal, so that a new deal changes every column.
    const int step = (field.right - field.left) / 7;
    for (int c = 0; c < 7; ++c) {
        const int height = 96 + 40 * ((deals + c) % 5);
        const RECT card{field.left + c * step + 20, field.top + 120, field.left + c * step + 91,
                        field.top + 120 + height};
        ::FillRect(dc, &card, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    ::EndPaint(main, &ps);
}

INT_PTR CALLBACK ListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        HWND list = ::GetDlgItem(dialog, IDC_FLOOR_LIST);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = 300;
        column.pszText = const_cast<wchar_t*>(L"Name");
        ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        for (int i = 0; i < kRows; ++i) {
            wchar_t name[32];
            std::swprintf(name, 32, L"Game %d", i + 1);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = name;
            ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK MainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        RECT client;
        ::GetClientRect(dialog, &client);
        statusBar = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0,
                                      client.bottom - kStatusHeight, client.right, kStatusHeight, dialog,
                                      reinterpret_cast<HMENU>(IDC_FLOOR_STATUS), nullptr, nullptr);
        const int parts[2] = {static_cast<int>(client.right) - 100, -1};
        ::SendMessageW(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
        ::SendMessageW(statusBar, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"0:00"));
        return TRUE;
    }
    case WM_ERASEBKGND:
        ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_PAINT: PaintField(dialog); return TRUE;
    case WM_SIZE:
        ::SendMessageW(statusBar, WM_SIZE, 0, 0);
        ::InvalidateRect(dialog, nullptr, FALSE);
        return TRUE;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = 1100;
        info->ptMinTrackSize.y = 800;
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_FLOOR_NEW: {
            ++deals;
            const RECT field = FieldRect(dialog);
            ::InvalidateRect(dialog, &field, FALSE);
            ::UpdateWindow(dialog);
            return TRUE;
        }
        case ID_FLOOR_SELECT:
            ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FLOOR_LIST), dialog, ListProc, 0);
            return TRUE;
        default: return FALSE;
        }
    case WM_CLOSE: ::DestroyWindow(dialog); return TRUE;
    case WM_DESTROY: ::PostQuitMessage(0); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    HACCEL accelerators = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_FLOOR_ACCELERATORS));
    HWND main = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_FLOOR_MAIN), nullptr, MainProc, 0);
    if (!main) return 1;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (::TranslateAcceleratorW(main, accelerators, &msg)) continue;
        if (::IsDialogMessageW(main, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}
