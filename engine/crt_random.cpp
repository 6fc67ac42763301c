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
    g_randomState = g_randomState * 214013u + 2531011u;
    return static_cast<int>((g_randomState >> 16) & 0x7FFF);
}

uint32_t TickCountMs() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace corvelle
