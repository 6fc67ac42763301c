// The game clock over a time source the test sets.
#include <gtest/gtest.h>

#include "logic/game_clock.h"

namespace corvelle {
namespace {

TEST(GameTimeText, ShowsMinutesAndTwoDigitsOfSeconds) {
    EXPECT_EQ(GameTimeText(0, false, 3), u"0:00");
    EXPECT_EQ(GameTimeText(125, false, 3), u"2:05");
    EXPECT_EQ(GameTimeText(7530, false, 3), u"125:30");
    EXPECT_EQ(GameTimeText(UINT32_MAX, false, 3), u"71582788:15");
}

TEST(GameTimeText, ATimedGameCountsDownAndStopsAtZero) {
    EXPECT_EQ(GameTimeText(0, true, 3), u"3:00");
    EXPECT_EQ(GameTimeText(1, true, 10), u"9:59");
    EXPECT_EQ(GameTimeText(179, true, 3), u"0:01");
    EXPECT_EQ(GameTimeText(180, true, 3), u"0:00");
    EXPECT_EQ(GameTimeText(181, true, 3), u"0:00");
    EXPECT_EQ(GameTimeText(UINT32_MAX, true, 1), u"0:00");
    EXPECT_EQ(GameTimeText(0, true, UINT32_MAX), u"4294967295:00");   // the limit in seconds does not wrap
}

class GameClockTest : public ::testing::Test {
protected:
    // Ticks as a 50 ms timer does: several per second of the time source.
    ClockTick TickAt(int64_t seconds, bool timed = false, uint32_t limit = 3) {
        now = seconds;
        return clock.OnTimer(timed, limit);
    }

    int64_t now = 1700000000;
    CGameClock clock{[this] { return now; }};
};

TEST_F(GameClockTest, StartsPausedAndANewDealCountsFromItsFirstTick) {
    EXPECT_TRUE(clock.IsPaused());
    EXPECT_FALSE(TickAt(now + 5).counted);
    EXPECT_EQ(clock.GetElapsed(), 0u);

    clock.SetElapsed(42);
    clock.StartNewDeal();
    EXPECT_EQ(clock.GetElapsed(), 0u);
    EXPECT_FALSE(TickAt(now + 100).counted);   // only records the time
    EXPECT_FALSE(TickAt(now).counted);         // the same second again
    EXPECT_TRUE(TickAt(now + 1).counted);
    EXPECT_EQ(clock.GetElapsed(), 1u);
    TickAt(now + 1);
    TickAt(now + 1);
    EXPECT_EQ(clock.GetElapsed(), 3u);
}

TEST_F(GameClockTest, ARestoredGameGoesOnFromItsElapsedTime) {
    clock.SetElapsed(600);
    clock.StartRestored();
    TickAt(now + 50);
    TickAt(now + 1);
    EXPECT_EQ(clock.GetElapsed(), 601u);
}

TEST_F(GameClockTest, TimeInAModalWindowIsNotCounted) {
    clock.StartNewDeal();
    TickAt(now);
    TickAt(now + 1);
    {
        ClockPause pause(clock);
        EXPECT_TRUE(clock.IsPaused());
        EXPECT_FALSE(TickAt(now + 30).counted);
    }
    EXPECT_FALSE(clock.IsPaused());
    EXPECT_FALSE(TickAt(now + 30).counted);   // the first tick after only records
    EXPECT_TRUE(TickAt(now + 1).counted);
    EXPECT_EQ(clock.GetElapsed(), 2u);

    clock.Reset();
    EXPECT_TRUE(clock.IsPaused());
    EXPECT_EQ(clock.GetElapsed(), 0u);
}

TEST_F(GameClockTest, RealPlayCountsWholeAndOnlyJumpsOfOverAMinuteAreCapped) {
    clock.StartNewDeal();
    TickAt(now);
    EXPECT_FALSE(TickAt(now - 3600).counted);   // the system clock set back
    EXPECT_EQ(clock.GetElapsed(), 0u);
    EXPECT_TRUE(TickAt(now + 1).counted);        // and on from the new time
    EXPECT_EQ(clock.GetElapsed(), 1u);
    // Ticks held back by the hint's blink or a slow redraw: all of it is
    // play, up to a whole minute.
    EXPECT_TRUE(TickAt(now + 3).counted);
    EXPECT_EQ(clock.GetElapsed(), 4u);
    EXPECT_TRUE(TickAt(now + 60).counted);
    EXPECT_EQ(clock.GetElapsed(), 64u);
    // A suspend or a clock step: a minute at most.
    EXPECT_TRUE(TickAt(now + 3600).counted);
    EXPECT_EQ(clock.GetElapsed(), 124u);
    EXPECT_TRUE(TickAt(now + 2).counted);
    EXPECT_EQ(clock.GetElapsed(), 126u);

    clock.SetElapsed(UINT32_MAX - 1);
    TickAt(now + 2);
    EXPECT_EQ(clock.GetElapsed(), UINT32_MAX);   // stops at its largest value
}

TEST_F(GameClockTest, ATimedGameReportsTimeUpAtEveryCountedSecondFromItsLimit) {
    clock.StartNewDeal();
    TickAt(now, true, 1);
    for (int i = 1; i < 60; ++i)
        EXPECT_FALSE(TickAt(now + 1, true, 1).timeUp) << i;
    EXPECT_TRUE(TickAt(now + 1, true, 1).timeUp);
    EXPECT_FALSE(TickAt(now, true, 1).timeUp);   // nothing counted this tick
    EXPECT_TRUE(TickAt(now + 1, true, 1).timeUp);
    EXPECT_FALSE(TickAt(now + 1, false, 1).timeUp);
    clock.StartNewDeal();
    TickAt(now, true, 1);
    EXPECT_FALSE(TickAt(now + 1, true, 1).timeUp);
}

TEST_F(GameClockTest, AWinAddsTheTimeSinceTheLastTickOnlyWhileTheClockRunsAndHasTicked) {
    // A deal finished by its start events: the clock has not ticked yet.
    clock.StartNewDeal();
    now += 1000000000;
    EXPECT_EQ(clock.CountUpToNow(), 0u);

    TickAt(now);
    TickAt(now + 1);
    now += 1;
    EXPECT_EQ(clock.CountUpToNow(), 2u);
    EXPECT_EQ(clock.CountUpToNow(), 2u);         // the same second adds nothing more
    EXPECT_FALSE(TickAt(now).counted);           // and the next tick does not count it again

    clock.Pause();
    now += 100;
    EXPECT_EQ(clock.CountUpToNow(), 2u);         // paused
    clock.Resume();
    EXPECT_EQ(clock.CountUpToNow(), 2u);         // resumed but not ticked
    TickAt(now);
    now -= 50;
    EXPECT_EQ(clock.CountUpToNow(), 2u);         // time went back
    now += 3600;
    EXPECT_EQ(clock.CountUpToNow(), 62u);
}

}  // namespace
}  // namespace corvelle
