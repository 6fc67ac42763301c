// CAdvertisementBanner: the web page of the "Advertisement" region. It
// hosts the system's web browser control, loads the page while the computer
// is online (at most once every 300 seconds, however often it is asked),
// and shows a fallback picture control instead while offline, while the
// page cannot be loaded, and where no browser control exists.
#pragma once

#include <windows.h>

#include <string>

#include "panels/banner_schedule.h"
#include "platform/web_browser_host.h"
#include "platform/wnd.h"

namespace corvelle {

class CAdvertisementBanner : public CWnd {
public:
    CAdvertisementBanner(const wchar_t* pageAddress, CWnd* fallback);
    ~CAdvertisementBanner() override;

    // The window "AdvertisementBanner" (WS_CHILD | WS_CLIPCHILDREN, hidden
    // until an update shows it) with the browser control inside.
    bool Create(const RECT& rect, CWnd* parent, UINT id);
    // The window alone: the browser control and the first update follow
    // from StartAfterPaint. Until then updates do nothing and the fallback
    // picture shows.
    bool CreateDeferred(const RECT& rect, CWnd* parent, UINT id);
    // Makes the browser control and runs the first update (UpdateBanner
    // with initial) once the window's pending paints are done: a window
    // timer, whose message comes after every paint.
    void StartAfterPaint();
    void UpdateBanner(bool initial);

    // Test seams: the clock (seconds) and the connection test.
    void SetClock(BannerSchedule::Clock clock);
    void SetConnectionTest(BannerSchedule::ConnectionTest test);
    // The system's connection test (InternetGetConnectedState).
    static bool SystemConnectionTest();

    bool HasBrowser() const { return browser.IsCreated(); }
    bool IsShowingFallback() const;
    // Loads started (navigations and reloads) since creation.
    int GetLoadCount() const { return loads; }

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT_PTR id) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    static constexpr UINT kStartLoadMessage = WM_APP + 1;
    static constexpr UINT_PTR kStartTimer = 1;
    // The browser control inside the window (none where it cannot be made).
    void CreateBrowser();
    // Navigates (or reloads) as decided by the last update.
    void StartLoad(bool navigate);
    bool HoldsFocus() const;
    // Gives the focus back to `previous` (else the top-level window) when
    // the banner or its browser control took it.
    void KeepFocusOutside(HWND previous);
    void ShowPage();
    void ShowFallback();
    void LoadFailed();

    std::wstring pageAddress;
    std::wstring loadAddress;
    CWnd* fallback;
    BannerSchedule schedule;
    CWebBrowserHost browser;
    int loads = 0;
    bool running = true;   // false from CreateDeferred until its start
};

}  // namespace corvelle
