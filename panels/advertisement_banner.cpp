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
    switch (schedule.Update(initial)) {
    case BannerAction::kNothing: break;
    case BannerAction::kShowAgain:
        ShowWindow(SW_HIDE);
        ShowWindow(SW_SHOW);
        break;
    case BannerAction::kNavigate:
        ++loads;
        if (!browser.Navigate(loadAddress.c_str())) {
            LoadFailed();
            break;
        }
        // A navigation error may already have been reported inside Navigate.
        if (schedule.HasPage()) ShowPage();
        break;
    case BannerAction::kReload:
        ++loads;
        if (!browser.Refresh()) {
            LoadFailed();
            break;
        }
        if (schedule.HasPage()) ShowPage();
        break;
    case BannerAction::kShowFallback: ShowFallback(); break;
    }
}

void CAdvertisementBanner::OnSize(UINT, int cx, int cy) {
    Default();
    browser.SetRect(RECT{0, 0, cx, cy});
}

}  // namespace corvelle
