// The application object and what the entry point runs.
#include "platform/win_app.h"

namespace corvelle {

namespace {
CWinApp* application = nullptr;
}  // namespace

std::wstring LoadAppString(UINT id) {
    const wchar_t* text = nullptr;
    // With a length of 0 LoadStringW points into the resource itself.
    const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

CWinApp::CWinApp() : previous(application), instance(::GetModuleHandleW(nullptr)) {
    application = this;
}

CWinApp::~CWinApp() {
    if (application == this) application = previous;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG message;
    BOOL got;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) break;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (got == 0) exitCode = static_cast<int>(message.wParam);
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return exitCode;
}

BOOL CWinApp::ProcessMessageFilter(int, MSG*) {
    return FALSE;
}

CWinApp* GetApp() {
    return application;
}

int RunApplication(HINSTANCE instance) {
    CWinApp* app = GetApp();
    if (app == nullptr) return 1;
    app->instance = instance;
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}

}  // namespace corvelle
