// The advertisement banner's load schedule; see banner_schedule.h.
#include "panels/banner_schedule.h"

#include <utility>

namespace corvelle {

bool IsOnlineConnection(bool callSucceeded, uint32_t flags) { return callSucceeded && (flags & 7) != 0; }

BannerSchedule::BannerSchedule(Clock clockSource, ConnectionTest test)
    : clock(std::move(clockSource)), connectionTest(std::move(test)) {}

BannerAction BannerSchedule::Update(bool initial) {
    const uint32_t now = clock();
    if (!initial && now - lastLoad < kBannerReloadSeconds) {
        return online ? BannerAction::kShowAgain : BannerAction::kNothing;
    }
    // A load attempt, also when the test finds no connection (the initial
    // call offline leaves the time alone, so the next call tests again).
    online = connectionTest();
    if (!initial || online) lastLoad = now;
    if (!online) return BannerAction::kShowFallback;
    if (pageLoaded && !initial) return BannerAction::kReload;
    pageLoaded = true;
    return BannerAction::kNavigate;
}

void BannerSchedule::PageFailed() {
    online = false;
    pageLoaded = false;
}

}  // namespace corvelle
