#include "engine/crt_random.h"

#include <chrono>

namespace corvelle {

namespace {
uint32_t g_randomState = 1;
}  // namespace

void SeedRandom(uint32_t seed) {
    g_randomState = seed;
}

int NextRandom() {
    return NextRandom(g_randomState);
}

int NextRandom(uint32_t& state) {
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

void PreviousRandom(uint32_t& state) {
    // 3115528533 is the inverse of 214013 modulo 2^32.
    state = (state - 2531011u) * 3115528533u;
}

uint32_t TickCountMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace corvelle
