// When the advertisement banner loads its page: the first update and every
// update at least 300 seconds after the last load attempt test the
// connection; online, the page is fetched (navigated the first time, and
// again while nothing is loaded, else reloaded), offline the fallback
// picture shows. Updates in between only show the page again. A page that
// fails to load counts as offline. Time and connection test are injected.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace corvelle {

constexpr uint32_t kBannerReloadSeconds = 300;

// The connection test's verdict: the call succeeded and reported a modem,
// LAN or proxy connection (flags 1, 2 or 4).
bool IsOnlineConnection(bool callSucceeded, uint32_t flags);

enum class BannerAction {
    kNothing,       // leave everything as it is
    kShowAgain,     // hide and show the page view again, load nothing
    kNavigate,      // show the view and load the page address
    kReload,        // show the view and reload the page from the server
    kShowFallback,  // hide the view, show the fallback picture
};

class BannerSchedule {
public:
    using Clock = std::function<uint32_t()>;          // seconds, as time() gives them
    using ConnectionTest = std::function<bool()>;      // true when online

    BannerSchedule(Clock clock, ConnectionTest connectionTest);

    void SetClock(Clock source) { clock = std::move(source); }
    void SetConnectionTest(ConnectionTest test) { connectionTest = std::move(test); }

    BannerAction Update(bool initial);
    // The page could not be loaded (or there is no page view): the fallback
    // shows as when offline, and the next load navigates afresh.
    void PageFailed();

    bool IsOnline() const { return online; }
    bool HasPage() const { return pageLoaded; }
    uint32_t GetLastLoad() const { return lastLoad; }

private:
    Clock clock;
    ConnectionTest connectionTest;
    uint32_t lastLoad = 0;
    bool online = true;
    bool pageLoaded = false;   // a page was navigated and has not failed
};

}  // namespace corvelle
