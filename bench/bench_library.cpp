// The game library: how long compiling all of games/ takes, and the median
// time of one player's step (the move or click with its drop event and the
// automatic events after it) in Klondike, FreeCell and Spider, over steps
// chosen from the hints of many positions.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/player_move.h"
#include "writer/record_writer.h"
#include "tools/gamec/gamec.h"
#include "bench/bench_stats.h"

using namespace corvelle;
using Clock = std::chrono::steady_clock;

namespace {

void BenchSteps(const gamec::CompiledGame& game) {
    const std::vector<uint8_t> record = SerializeGameRecord(game.def);
    CGameEngine e;
    if (!e.LoadGameDefinition(record.data(), record.size())) {
        std::printf("%-24s cannot load\n", game.key.c_str());
        return;
    }
    std::vector<double> samples;
    std::vector<CGameEngine::HintMove> hints;
    uint32_t number = 1, rng = 99;
    StartGame(e, number);
    while (samples.size() < 3000) {
        e.FindAllHints(hints, false);
        if (hints.empty() || e.finished || e.GetHistory()->GetCount() > 20000) {
            StartGame(e, ++number);
            continue;
        }
        rng = rng * 1103515245u + 12345u;
        const CGameEngine::HintMove h = hints[(rng >> 8) % hints.size()];
        const auto start = Clock::now();
        const bool ok = h.second == kNone ? PlayClick(e, h.first) : PlayMove(e, h.first, h.second);
        const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
        if (ok) samples.push_back(us);
    }
    std::printf("%-24s player step with automatic events: median %.1f us (%zu steps, %u deals)\n", game.key.c_str(),
                bench::Median(samples), samples.size(), number);
}

}  // namespace

int main() {
    std::vector<double> times;
    gamec::Library lib;
    for (int round = 0; round < 5; ++round) {
        gamec::Library fresh;
        std::vector<gamec::Diagnostic> diags;
        const auto start = Clock::now();
        const bool ok = gamec::CompileLibrary(CORVELLE_GAMES_DIR, fresh, diags);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (!ok) {
            std::printf("the library does not compile\n");
            return 1;
        }
        lib = std::move(fresh);
    }
    std::printf("compile games/ (%zu games): median %.1f ms\n", lib.games.size(), bench::Median(times));
    for (const char* key : {"klondike-draw-one", "freecell", "spider-four-suits"})
        for (const gamec::CompiledGame& g : lib.games)
            if (g.key == key) BenchSteps(g);
    return 0;
}
