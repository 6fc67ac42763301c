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
    void UpdateBanner(bool initial);

    // Test seams: the clock (seconds) and the connection test.
    void SetClock(BannerSchedule::Clock clock);
    void SetConnectionTest(BannerSchedule::ConnectionTest test);
    // The system's connection test (InternetGetConnectedState).
    static bool SystemConnectionTest();

    bool HasBrowser() const { return browser.IsCreated(); }
    bool IsShowingFallback() const;
    const BannerSchedule& GetSchedule() const { return schedule; }
    const std::wstring& GetLoadAddress() const { return loadAddress; }
    // Loads started (navigations and reloads) since creation.
    int GetLoadCount() const { return loads; }

protected:
    void OnSize(UINT type, int cx, int cy) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

private:
    static constexpr UINT kStartLoadMessage = WM_APP + 1;
    // Navigates (or reloads) as decided by the last update.
    void StartLoad(bool navigate);
    void ShowPage();
    void ShowFallback();
    void LoadFailed();

    std::wstring pageAddress;
    std::wstring loadAddress;
    CWnd* fallback;
    BannerSchedule schedule;
    CWebBrowserHost browser;
    int loads = 0;
};

}  // namespace corvelle
