#include "app/corvelle_app.h"

#include <tlhelp32.h>

#include "app/corvelle_dlg.h"
#include "engine/records.h"
#include "platform/startup_timing.h"
#include "res/resource.h"

namespace corvelle {

CCorvelleApp* GetCorvelleApp() { return dynamic_cast<CCorvelleApp*>(GetApp()); }

CCorvelleApp::CCorvelleApp() = default;

CCorvelleApp::~CCorvelleApp() {
    if (instanceMutex)
        ::CloseHandle(instanceMutex);
}

BOOL CCorvelleApp::InitInstance() {
    startup_timing::Step("process_start");
    if (FindRunningInstance(true, &instanceMutex))
        return FALSE;
    CWinApp::InitInstance();
    CCorvelleDlg dialog;
    SetMainWnd(&dialog);
    accelerators = ::LoadAcceleratorsW(GetInstance(), MAKEINTRESOURCEW(IDR_ACCELERATORS));
    relatedGames = std::make_unique<CRelatedSolsTable>(kResRelatedSols);
    controlFont.CreateAppFont();
    startup_timing::Step("instance_check");
    dialog.DoModal();
    SetMainWnd(nullptr);
    mainWindow = nullptr;
    return FALSE;
}

bool AcceleratorTarget(HWND mainWindow, HWND target) {
    return mainWindow != nullptr && target != nullptr && ::IsWindowEnabled(mainWindow) &&
           (target == mainWindow || ::IsChild(mainWindow, target));
}

BOOL CCorvelleApp::ProcessMessageFilter(int code, MSG* message) {
    if (startup_timing::On() && message && TimeFirstPaint(*message))
        return TRUE;
    if (message && accelerators && AcceleratorTarget(mainWindow, message->hwnd) &&
        ::TranslateAcceleratorW(mainWindow, accelerators, message))
        return TRUE;
    return CWinApp::ProcessMessageFilter(code, message);
}

bool CCorvelleApp::TimeFirstPaint(const MSG& message) {
    // The window has been shown when its loop takes its first message. The
    // start-up ends when the field has been painted on the screen: the
    // messages until then (paints, the posted check of a new deal) are
    // dispatched here, as the loop would, to see when that happened.
    if (!firstMessageSeen) {
        firstMessageSeen = true;
        startup_timing::Step("window_shown");
    }
    const UINT m = message.message;
    if ((m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST))
        return false;
    auto* main = dynamic_cast<CCorvelleDlg*>(GetMainWnd());
    const HWND field = main && main->GetGameField() ? main->GetGameField()->GetSafeHwnd() : nullptr;
    const bool fieldPaint = m == WM_PAINT && message.hwnd == field;
    if (fieldPaint)
        startup_timing::Step("other_paints");
    ::DispatchMessageW(&message);
    if (field && ::IsWindowVisible(field) && !::GetUpdateRect(field, nullptr, FALSE)) {
        startup_timing::Step(fieldPaint ? "field_paint" : "paints");
        startup_timing::Finish();
    }
    return true;
}

std::wstring OwnExecutableName() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"";
    std::wstring full(path, length);
    const size_t slash = full.find_last_of(L"\\/");
    return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

DWORD FindProcessByName(const std::wstring& exeName) {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    const DWORD self = ::GetCurrentProcessId();
    DWORD found = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && found == 0;
         more = ::Process32NextW(snapshot, &entry)) {
        // The same name exactly: a copy under another name, or in another
        // letter case, is another program.
        if (entry.th32ProcessID != self && exeName == entry.szExeFile)
            found = entry.th32ProcessID;
    }
    ::CloseHandle(snapshot);
    return found;
}

namespace {

struct ActivateSearch {
    DWORD pid;
    bool found;
};

BOOL CALLBACK ActivateInstanceWindowProc(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<ActivateSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid || ::GetPropW(window, kMainWindowProperty) == nullptr)
        return TRUE;
    if (!::IsWindowVisible(window))
        ::ShowWindow(window, SW_SHOW);
    if (::IsIconic(window))
        ::ShowWindow(window, SW_RESTORE);
    ::SetForegroundWindow(window);
    search->found = true;
    return TRUE;
}

}  // namespace

bool ActivateInstanceWindows(DWORD pid) {
    ActivateSearch search{pid, false};
    ::EnumWindows(&ActivateInstanceWindowProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool FindRunningInstance(bool activate, HANDLE* mutex, DWORD waitMs) {
    const std::wstring exeName = OwnExecutableName();
    // The mutex settles two starts at the same moment: the one that made it
    // runs. Its name carries the executable's, as the process test does.
    const std::wstring mutexName = L"Local\\Corvelle.SingleInstance." + exeName;
    HANDLE own = ::CreateMutexW(nullptr, FALSE, mutexName.c_str());
    const bool existed = own != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (own && !existed) {
        if (mutex)
            *mutex = own;
        else
            ::CloseHandle(own);
        return false;
    }
    // Another start holds the mutex (it may still be opening its window),
    // or the mutex could not be made: the process test decides.
    const DWORD pid = FindProcessByName(exeName);
    if (pid == 0) {
        // No other process of this name (a holder that has just ended):
        // this process is the instance.
        if (own && mutex)
            *mutex = own;
        else if (own)
            ::CloseHandle(own);
        return false;
    }
    if (activate) {
        const DWORD start = ::GetTickCount();
        while (!ActivateInstanceWindows(pid) && ::GetTickCount() - start < waitMs)
            ::Sleep(50);
    }
    if (own)
        ::CloseHandle(own);
    return true;
}

}  // namespace corvelle
