// Time to inflate and load each game of the generated 800-record database.
// Prints the median and the slowest position; loading one game should take
// well under a millisecond.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/game_engine.h"
#include "engine/resources.h"
#include "bench/bench_stats.h"

using namespace corvelle;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
    const char* folder = argc > 1 ? argv[1] : CORVELLE_TEST_DB_DIR;
    if (LoadResourceDirectory(folder) == 0 || GetGameCount() == 0) {
        std::fprintf(stderr, "bench_load: no database in %s\n", folder);
        return 1;
    }
    const int n = GetGameCount();
    const int rounds = 5;
    std::vector<double> best(n, 1e9);
    CGameEngine engine;
    for (int round = 0; round < rounds; ++round) {
        for (int pos = 0; pos < n; ++pos) {
            const auto start = Clock::now();
            uint32_t length = 0;
            uint8_t* record = InflateGameRecord(static_cast<uint16_t>(pos), &length);
            const bool ok = record && engine.LoadGameDefinition(record, length);
            std::free(record);
            const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
            if (!ok) {
                std::fprintf(stderr, "bench_load: position %d failed\n", pos);
                return 1;
            }
            best[pos] = std::min(best[pos], us);
        }
    }
    const auto worst = std::max_element(best.begin(), best.end());
    std::printf("inflate + load, %d games (best of %d rounds each)\n", n, rounds);
    std::printf("  median   %8.1f us\n", bench::Median(best));
    std::printf("  90th pct %8.1f us\n", bench::Quantile(best, 0.9));
    std::printf("  slowest  %8.1f us (position %d, slot %d of its group)\n", *worst,
                static_cast<int>(worst - best.begin()), static_cast<int>(worst - best.begin()) % kGamesPerGroup);
    return 0;
}
