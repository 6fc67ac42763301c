// The advertisement banner.
#include "panels/advertisement_banner.h"

#include <wininet.h>

#include <ctime>

namespace corvelle {

namespace {

uint32_t SystemSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

}  // namespace

CAdvertisementBanner::CAdvertisementBanner(const wchar_t* address, CWnd* fallbackControl)
    : pageAddress(address), loadAddress(pageAddress), fallback(fallbackControl),
      schedule(&SystemSeconds, &SystemConnectionTest) {}

CAdvertisementBanner::~CAdvertisementBanner() {
    browser.Destroy();
    DestroyWindow();
}

bool CAdvertisementBanner::SystemConnectionTest() {
    DWORD flags = 0;
    const BOOL ok = ::InternetGetConnectedState(&flags, 0);
    return IsOnlineConnection(ok != FALSE, flags);
}

void CAdvertisementBanner::SetClock(BannerSchedule::Clock clock) { schedule.SetClock(std::move(clock)); }

void CAdvertisementBanner::SetConnectionTest(BannerSchedule::ConnectionTest test) {
    schedule.SetConnectionTest(std::move(test));
}

bool CAdvertisementBanner::Create(const RECT& rect, CWnd* parent, UINT id) {
    if (!CWnd::Create(L"AdvertisementBanner", WS_CHILD | WS_CLIPCHILDREN, rect, parent, id)) return false;
    RECT client;
    GetClientRect(&client);
    // Without a browser control the banner shows its fallback picture.
    if (browser.Create(hwnd_, client)) {
        browser.onNavigationEnd = [this](bool loaded) {
            if (!loaded) LoadFailed();
        };
    }
    return true;
}

bool CAdvertisementBanner::IsShowingFallback() const {
    return fallback != nullptr && fallback->IsWindowVisible() && !::IsWindowVisible(hwnd_);
}

void CAdvertisementBanner::ShowPage() {
    if (fallback != nullptr) fallback->ShowWindow(SW_HIDE);
    ShowWindow(SW_SHOW);
}

void CAdvertisementBanner::ShowFallback() {
    ShowWindow(SW_HIDE);
    if (fallback != nullptr) fallback->ShowWindow(SW_SHOW);
}

void CAdvertisementBanner::LoadFailed() {
    schedule.PageFailed();
    ShowFallback();
}

void CAdvertisementBanner::UpdateBanner(bool initial) {
    const BannerAction action = schedule.Update(initial);
    switch (action) {
    case BannerAction::kNothing: break;
    case BannerAction::kShowAgain:
        ShowWindow(SW_HIDE);
        ShowWindow(SW_SHOW);
        break;
    case BannerAction::kNavigate:
    case BannerAction::kReload:
        // The page view shows at once; the load starts from the message
        // loop (it runs asynchronously anyway), so whoever asked is not
        // held up by the browser's start.
        ++loads;
        ShowPage();
        PostMessage(kStartLoadMessage, action == BannerAction::kNavigate ? 1 : 0);
        break;
    case BannerAction::kShowFallback: ShowFallback(); break;
    }
}

void CAdvertisementBanner::StartLoad(bool navigate) {
    if (!schedule.HasPage()) return;   // failed meanwhile
    const bool started = navigate ? browser.Navigate(loadAddress.c_str()) : browser.Refresh();
    if (!started) LoadFailed();
}

BOOL CAdvertisementBanner::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == kStartLoadMessage) {
        StartLoad(wParam != 0);
        *result = 0;
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

void CAdvertisementBanner::OnSize(UINT, int cx, int cy) {
    Default();
    browser.SetRect(RECT{0, 0, cx, cy});
}

}  // namespace corvelle
