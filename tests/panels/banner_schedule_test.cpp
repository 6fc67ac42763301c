// The banner's load schedule over an injected clock and connection test.
#include <gtest/gtest.h>

#include "panels/banner_schedule.h"

namespace corvelle {
namespace {

struct World {
    uint32_t now = 100000;
    bool online = true;
    int tests = 0;
    BannerSchedule schedule{[this] { return now; }, [this] { ++tests; return online; }};
};

TEST(BannerSchedule, OnlineLoadsOnceAndThenAtMostEvery300Seconds) {
    World w;
    EXPECT_EQ(w.schedule.Update(true), BannerAction::kNavigate);
    EXPECT_EQ(w.schedule.GetLastLoad(), 100000u);
    for (uint32_t t = 1; t < 300; t += 37) {
        w.now = 100000 + t;
        EXPECT_EQ(w.schedule.Update(false), BannerAction::kShowAgain);
    }
    EXPECT_EQ(w.tests, 1);   // the connection is not even tested in between
    w.now = 100300;
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kReload);
    EXPECT_EQ(w.schedule.GetLastLoad(), 100300u);
    w.now = 100301;
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kShowAgain);
}

TEST(BannerSchedule, ADroppedConnectionShowsTheFallbackAtTheNextDueRequest) {
    World w;
    w.schedule.Update(true);
    w.online = false;
    w.now += 299;
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kShowAgain);
    w.now += 1;
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kShowFallback);
    EXPECT_EQ(w.schedule.GetLastLoad(), w.now);   // the failed attempt counts
    w.now += 10;
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kNothing);
    w.online = true;
    w.now += 290;
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kReload);
}

TEST(BannerSchedule, AnOfflineStartNavigatesWhenTheConnectionComes) {
    World w;
    w.online = false;
    EXPECT_EQ(w.schedule.Update(true), BannerAction::kShowFallback);
    EXPECT_EQ(w.schedule.GetLastLoad(), 0u);   // an offline start does not count as a load
    w.online = true;
    // Nothing was ever loaded: the first load navigates instead of reloading
    // a page that does not exist.
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kNavigate);
    EXPECT_TRUE(w.schedule.HasPage());
    w.now += 300;
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kReload);
}

TEST(BannerSchedule, AFailedPageCountsAsOfflineAndIsNavigatedAgain) {
    World w;
    EXPECT_EQ(w.schedule.Update(true), BannerAction::kNavigate);
    w.schedule.PageFailed();
    EXPECT_FALSE(w.schedule.IsOnline());
    w.now += 5;
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kNothing);
    w.now += 300;
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kNavigate);
}

TEST(BannerSchedule, AClockSetBackReloadsAtOnce) {
    World w;
    w.schedule.Update(true);
    w.now -= 10;   // unsigned difference: huge
    EXPECT_EQ(w.schedule.Update(false), BannerAction::kReload);
}

TEST(BannerSchedule, OnlyModemLanOrProxyCountsAsOnline) {
    EXPECT_TRUE(IsOnlineConnection(true, 1));
    EXPECT_TRUE(IsOnlineConnection(true, 2));
    EXPECT_TRUE(IsOnlineConnection(true, 4 | 0x20));
    EXPECT_FALSE(IsOnlineConnection(true, 0x20));    // offline mode alone
    EXPECT_FALSE(IsOnlineConnection(true, 0x40));    // configured, not connected
    EXPECT_FALSE(IsOnlineConnection(false, 2));
}

}  // namespace
}  // namespace corvelle
