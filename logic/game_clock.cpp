#include "logic/game_clock.h"

#include <ctime>
#include <utility>

namespace corvelle {

std::u16string GameTimeText(uint32_t elapsedSeconds, bool timedGame, uint32_t timeLimitMinutes) {
    uint64_t value = elapsedSeconds;
    if (timedGame) {
        const uint64_t limit = uint64_t{timeLimitMinutes} * 60;
        value = limit > elapsedSeconds ? limit - elapsedSeconds : 0;
    }
    const uint64_t seconds = value % 60;
    std::u16string text;
    for (uint64_t minutes = value / 60; text.empty() || minutes; minutes /= 10)
        text.insert(text.begin(), static_cast<char16_t>(u'0' + minutes % 10));
    text += u':';
    text += static_cast<char16_t>(u'0' + seconds / 10);
    text += static_cast<char16_t>(u'0' + seconds % 10);
    return text;
}

bool TimeLimitReached(uint32_t elapsedSeconds, bool timedGame, uint32_t timeLimitMinutes) {
    return timedGame && timeLimitMinutes <= elapsedSeconds / 60;
}

int64_t CGameClock::SystemTime() {
    return static_cast<int64_t>(std::time(nullptr));
}

CGameClock::CGameClock(TimeSource source) : timeSource(std::move(source)) {}

void CGameClock::Reset() {
    lastTick = 0;
    elapsed = 0;
    paused = true;
    skipNextTick = true;
}

void CGameClock::StartNewDeal() {
    elapsed = 0;
    StartRestored();
}

void CGameClock::StartRestored() {
    paused = false;
    skipNextTick = true;
}

void CGameClock::Pause() {
    skipNextTick = true;
    paused = true;
}

void CGameClock::Resume() {
    paused = false;
}

bool CGameClock::CountTo(int64_t now) {
    const int64_t gap = now - lastTick;
    lastTick = now;
    if (gap <= 0)
        return false;
    const uint32_t add = gap < kMaxSecondsPerTick ? static_cast<uint32_t>(gap) : kMaxSecondsPerTick;
    elapsed = elapsed > UINT32_MAX - add ? UINT32_MAX : elapsed + add;
    return true;
}

ClockTick CGameClock::OnTimer(bool timedGame, uint32_t timeLimitMinutes) {
    ClockTick tick;
    if (paused)
        return tick;
    const int64_t now = timeSource();
    if (skipNextTick) {
        skipNextTick = false;
        lastTick = now;
        return tick;
    }
    tick.counted = CountTo(now);
    tick.timeUp = tick.counted && TimeLimitReached(elapsed, timedGame, timeLimitMinutes);
    return tick;
}

uint32_t CGameClock::CountUpToNow() {
    // Paused or not yet ticked since it started: lastTick is not a time of
    // this game's play.
    if (!paused && !skipNextTick)
        CountTo(timeSource());
    return elapsed;
}

}  // namespace corvelle
