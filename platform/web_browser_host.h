// A small OLE container for the system's web browser control: it creates
// the control in place inside a parent window, answers the browser's host
// queries (client site, in-place site and frame, and the document host's
// user-interface handler, whose host information turns the page's scroll
// bars off), and reports each navigation's end, loaded or failed.
#pragma once

#include <windows.h>

#include <functional>

namespace corvelle {

class CWebBrowserHost {
public:
    CWebBrowserHost();
    ~CWebBrowserHost();
    CWebBrowserHost(const CWebBrowserHost&) = delete;
    CWebBrowserHost& operator=(const CWebBrowserHost&) = delete;

    // Creates the browser control in `parent` over `rect` (parent client
    // coordinates). False, with nothing left behind, when the system has no
    // browser control, no HTML engine to show pages in it, or the control
    // cannot be activated.
    bool Create(HWND parent, const RECT& rect);
    void Destroy();
    bool IsCreated() const;

    // Starts loading `address`; false when the control refused it.
    bool Navigate(const wchar_t* address);
    // Reloads the present page from the server (no cached copy).
    bool Refresh();
    void SetRect(const RECT& rect);

    // Called when a navigation ends: true when the page arrived, false on
    // a navigation error.
    std::function<void(bool loaded)> onNavigationEnd;

    // The flags the host reports in its host information.
    static DWORD HostInfoFlags();

private:
    class Site;
    Site* site = nullptr;
};

}  // namespace corvelle
