// The game clock of the main window: the seconds played in the game in
// play, counted in whole seconds of the system time by a window timer that
// ticks every 50 ms, and the text the status bar shows for them.
//
// Plain C++ over an injected time source, so every rule is tested without a
// window. The main window calls OnTimer from its timer and acts on the
// result (show the time, run the game-state check); it pauses the clock
// around every modal window (ClockPause), starts it with each deal and reads
// and sets the elapsed seconds for saved games.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvelle {

constexpr uint32_t kClockTimerId = 1;
constexpr uint32_t kClockTimerPeriodMs = 50;
// The most one tick counts. Ticks come every 50 ms, but a long redraw or
// the hint's blink holds them back for seconds of real play; a gap longer
// than a minute is the machine suspended or the system clock stepped
// forward, not play.
constexpr uint32_t kMaxSecondsPerTick = 60;

// The clock text: minutes (not split into hours), ":", two digits of
// seconds, e.g. "0:00", "2:05", "125:30". A timed game shows the time left
// of its limit, which stops at 0:00.
std::u16string GameTimeText(uint32_t elapsedSeconds, bool timedGame, uint32_t timeLimitMinutes);

// Whether a timed game has used its whole limit (counted in whole minutes).
bool TimeLimitReached(uint32_t elapsedSeconds, bool timedGame, uint32_t timeLimitMinutes);

// What one timer tick did.
struct ClockTick {
    bool counted = false;   // elapsed grew: show the new time
    bool timeUp = false;    // counted, and a timed game has reached its limit
};

class CGameClock {
public:
    // Seconds since 1970, as time() gives them.
    using TimeSource = std::function<int64_t()>;
    static int64_t SystemTime();

    explicit CGameClock(TimeSource source = SystemTime);

    // The state at start-up: paused, nothing counted, the next tick after
    // the clock starts only records the time.
    void Reset();
    // A new deal: elapsed 0, running; the first tick only records the time.
    void StartNewDeal();
    // A restored game: running with the restored elapsed seconds; the first
    // tick only records the time.
    void StartRestored();
    // Around a modal window: the time it is open is never counted.
    void Pause();
    void Resume();

    // Timer 1: counts the whole seconds since the last tick, at most
    // kMaxSecondsPerTick, nothing when the system time went back.
    ClockTick OnTimer(bool timedGame, uint32_t timeLimitMinutes);
    // A win: adds the time since the last tick, but only while the clock runs
    // and has ticked since it started; returns the elapsed seconds.
    uint32_t CountUpToNow();

    uint32_t GetElapsed() const { return elapsed; }
    void SetElapsed(uint32_t seconds) { elapsed = seconds; }
    bool IsPaused() const { return paused; }
    bool SkipsNextTick() const { return skipNextTick; }

private:
    // Adds the seconds from the last tick to `now` within the limits above
    // and records `now` as the last tick; returns whether elapsed grew.
    bool CountTo(int64_t now);

    TimeSource timeSource;
    int64_t lastTick = 0;
    bool paused = true;
    bool skipNextTick = true;
    uint32_t elapsed = 0;
};

// Pauses the clock for the life of a modal window.
class ClockPause {
public:
    explicit ClockPause(CGameClock& gameClock) : pausedClock(gameClock) { pausedClock.Pause(); }
    ~ClockPause() { pausedClock.Resume(); }
    ClockPause(const ClockPause&) = delete;
    ClockPause& operator=(const ClockPause&) = delete;

private:
    CGameClock& pausedClock;
};

}  // namespace corvelle
