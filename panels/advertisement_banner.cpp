// The advertisement banner.
#include "panels/advertisement_banner.h"

#include <wininet.h>

#include <ctime>

#include "platform/drawing.h"

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
    CreateBrowser();
    return true;
}

bool CAdvertisementBanner::CreateDeferred(const RECT& rect, CWnd* parent, UINT id) {
    if (!CWnd::Create(L"AdvertisementBanner", WS_CHILD | WS_CLIPCHILDREN, rect, parent, id)) return false;
    running = false;
    return true;
}

void CAdvertisementBanner::CreateBrowser() {
    RECT client;
    GetClientRect(&client);
    // Without a browser control the banner shows its fallback picture.
    const HWND focus = ::GetFocus();
    const bool made = browser.Create(hwnd, client);
    KeepFocusOutside(focus);
    if (made) {
        browser.onNavigationEnd = [this](bool loaded) {
            if (!loaded) LoadFailed();
        };
    }
}

void CAdvertisementBanner::StartAfterPaint() {
    if (!running) SetTimer(kStartTimer, USER_TIMER_MINIMUM);
}

void CAdvertisementBanner::OnTimer(UINT_PTR id) {
    if (id != kStartTimer) {
        CWnd::OnTimer(id);
        return;
    }
    KillTimer(kStartTimer);
    if (running) return;
    running = true;
    // The paints before have reached the screen before the control starts.
    ShowDrawingNow();
    CreateBrowser();
    UpdateBanner(true);
}

bool CAdvertisementBanner::IsShowingFallback() const {
    return fallback != nullptr && fallback->IsWindowVisible() && !::IsWindowVisible(hwnd);
}

void CAdvertisementBanner::ShowPage() {
    if (fallback != nullptr) fallback->ShowWindow(SW_HIDE);
    ShowWindow(SW_SHOWNA);
}

bool CAdvertisementBanner::HoldsFocus() const {
    const HWND focus = ::GetFocus();
    return focus != nullptr && (focus == hwnd || ::IsChild(hwnd, focus));
}

void CAdvertisementBanner::KeepFocusOutside(HWND previous) {
    // The browser control takes the keyboard focus when it starts or loads;
    // the game's window keeps it (its shortcuts, Alt+F4).
    if (!HoldsFocus()) return;
    ::SetFocus(previous != nullptr && !::IsChild(hwnd, previous) ? previous : ::GetAncestor(hwnd, GA_ROOT));
}

void CAdvertisementBanner::ShowFallback() {
    if (HoldsFocus()) ::SetFocus(::GetAncestor(hwnd, GA_ROOT));
    ShowWindow(SW_HIDE);
    if (fallback != nullptr) fallback->ShowWindow(SW_SHOWNA);
}

void CAdvertisementBanner::LoadFailed() {
    schedule.PageFailed();
    ShowFallback();
}

void CAdvertisementBanner::UpdateBanner(bool initial) {
    if (!running) return;
    // Without a browser control there is no page to show: as offline, the
    // picture stays and nothing is loaded or counted.
    if (!browser.IsCreated()) {
        if (initial) ShowFallback();
        return;
    }
    const BannerAction action = schedule.Update(initial);
    switch (action) {
    case BannerAction::kNothing: break;
    case BannerAction::kShowAgain:
        ShowWindow(SW_HIDE);
        ShowWindow(SW_SHOWNA);
        break;
    case BannerAction::kNavigate:
    case BannerAction::kReload:
        ++loads;
        if (!browser.IsCreated()) {
            // No page can show: the fallback stays, without the page view
            // coming up empty in between.
            LoadFailed();
            break;
        }
        // The page view shows at once; the load starts from the message
        // loop (it runs asynchronously anyway), so whoever asked is not
        // held up by the browser's start.
        ShowPage();
        PostMessage(kStartLoadMessage, action == BannerAction::kNavigate ? 1 : 0);
        break;
    case BannerAction::kShowFallback: ShowFallback(); break;
    }
}

void CAdvertisementBanner::StartLoad(bool navigate) {
    if (!schedule.HasPage()) return;   // failed meanwhile
    const HWND focus = ::GetFocus();
    const bool started = navigate ? browser.Navigate(loadAddress.c_str()) : browser.Refresh();
    KeepFocusOutside(focus);
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
