// The save after every step of the player, as the program makes it
// (CGameFlow::SaveCurrentGame: the game's slot found among the ten, the
// blob with its check, the deal number, the save stamps), on the registry
// under Wine. The game's slot is the last of the ten looked at, the other
// nine hold other games. The floor, measured in the same run, is one plain
// registry value write of four bytes.
//
//   wine build/win/bench/app/bench_save.exe
//
// Prints, per game and for all steps, the median and the slowest save and
// the median save in floors.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_stats.h"
#include "bench/win_clock.h"
#include "engine/player_move.h"
#include "engine/registry.h"
#include "library_games.h"
#include "logic/game_flow.h"

using namespace corvelle;

namespace {

uint32_t PositionOf(const std::string& name) {
    const std::vector<std::string> names = test::LibraryGameNames();
    return static_cast<uint32_t>(std::find(names.begin(), names.end(), name) - names.begin());
}

// One player step of the game in play: a hint chosen at random, an undo
// now and then, a new deal when the game is over.
void Step(CGameFlow& flow, std::mt19937& random) {
    CGameEngine& engine = flow.GetEngine();
    std::vector<CGameEngine::HintMove> hints;
    engine.FindAllHints(hints, true);
    if (engine.finished || hints.empty()) {
        flow.NewGame(Deal::Random(), FlowMode::kPlay);
        return;
    }
    if (random() % 8 == 0 && UndoStep(engine))
        return;
    const CGameEngine::HintMove& hint = hints[random() % hints.size()];
    if (hint.second == 0xFFFF)
        PlayClick(engine, hint.first);
    else
        PlayMove(engine, hint.first, hint.second);
}

}  // namespace

int main() {
    // The benchmark keeps its records apart from the program's.
    SetProgramKeyPath(u"SOFTWARE\\Velmora Software\\Corvelle Bench");
    DeleteRegistryTree(ProgramKeyPath());

    const char* const games[] = {"Klondike (draw one)", "Spider (two suits)", "FreeCell"};
    constexpr int kSteps = 300;
    std::mt19937 random(20240611);
    std::vector<double> all;
    std::printf("per-step save (ms)            median  slowest  history\n");
    for (const char* game : games) {
        AppPreferences prefs;
        CGameFlow flow(prefs);
        prefs.curSolId = PositionOf(game);
        if (!flow.LoadCurrentSolitaire()) {
            std::fprintf(stderr, "no game %s\n", game);
            return 1;
        }
        flow.NewGame(Deal::Number(7), FlowMode::kPlay);
        flow.SaveCurrentGame();
        // Nine other games in the other slots; this game's slot is scanned last.
        for (uint32_t other = 0; other < 9; ++other) {
            AppPreferences otherPrefs;
            otherPrefs.lastPlayed = prefs.lastPlayed;
            CGameFlow otherFlow(otherPrefs);
            otherPrefs.curSolId = (prefs.curSolId + 1 + other) % static_cast<uint32_t>(test::LibraryGameNames().size());
            if (!otherFlow.LoadCurrentSolitaire())
                continue;
            otherFlow.NewGame(Deal::Random(), FlowMode::kPlay);
            otherFlow.SaveCurrentGame();
            prefs.lastPlayed = otherPrefs.lastPlayed;
        }
        std::vector<double> samples;
        uint32_t longest = 0;
        for (int i = 0; i < kSteps; ++i) {
            Step(flow, random);
            const double start = bench::NowMilliseconds();
            flow.SaveCurrentGame();
            samples.push_back(bench::NowMilliseconds() - start);
            if (flow.GetEngine().GetHistory())
                longest = std::max(longest, flow.GetEngine().GetHistory()->GetCount());
        }
        all.insert(all.end(), samples.begin(), samples.end());
        std::printf("  %-26s %7.3f  %7.3f  %u records at most\n", game, bench::Median(samples),
                    *std::max_element(samples.begin(), samples.end()), longest);
        DeleteRegistryTree(ProgramKeyPath());
    }

    // The floor: one four-byte value written into an open key.
    std::vector<double> floor;
    {
        CRegistryKey key;
        key.Create(ProgramSubKey(u"floor"));
        for (uint32_t i = 0; i < 500; ++i) {
            const double start = bench::NowMilliseconds();
            key.WriteDword(u"value", i);
            floor.push_back(bench::NowMilliseconds() - start);
        }
    }
    DeleteRegistryTree(ProgramKeyPath());
    const double floorMedian = bench::Median(floor);
    std::printf("  all %zu steps                %7.3f  %7.3f\n", all.size(), bench::Median(all),
                *std::max_element(all.begin(), all.end()));
    std::printf("floor: one registry value write %.4f ms (median of %zu); a save is %.0f floors\n", floorMedian,
                floor.size(), bench::Median(all) / floorMedian);
    return 0;
}
