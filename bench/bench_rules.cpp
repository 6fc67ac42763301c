// Rule programs, hint search and automatic events on a Klondike-like (52
// cards) and a Spider-like (104 cards) game: median times of
//  - one evaluation of the run-checking pick-up program, over the moving
//    cards of a dealt position and over a full 13-card run;
//  - a full hint enumeration (a search that finds nothing, so it visits
//    every candidate: what the lost-game check costs when no move is left);
//  - RunAutomaticEvents right after a player's move.
// Targets: an evaluation under 1 us, a full hint enumeration under 200 us.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/events.h"
#include "models/model_games.h"
#include "engine/player_move.h"
#include "bench/bench_stats.h"

using namespace corvelle;
using Clock = std::chrono::steady_clock;

namespace {

volatile int sink = 0;

// "AH 2S ..." as a face-up rule card list, top card first.
RuleCardList ParseRun(const char* text) {
    RuleCardList list;
    for (const char* at = text; at[0] && at[1]; at += at[2] ? 3 : 2) {
        list.push_back(RuleCard{SuitOfLetter(at[1]), RankOfLetter(at[0])});
        if (!at[2])
            break;
    }
    list.push_back(RuleCard{0, 0});
    return list;
}

void Bench(const char* label, const GameDefinitionData& game, const char* runProgram, const char* fullRun) {
    const std::vector<uint8_t> record = SerializeGameRecord(game);
    CGameEngine e;
    if (!e.LoadGameDefinition(record.data(), record.size()) || !StartGame(e, 12345)) {
        std::printf("%s: cannot load or deal\n", label);
        return;
    }
    std::printf("== %s (%u cards, %u piles, %u events)\n", label, e.GetCardCount(), e.GetPileCount(), e.GetEventCount());

    // The run check over the longest face-up run of the dealt tableau.
    std::vector<uint8_t> code = model::Code(runProgram);
    code.push_back(OpEnd);
    const RuleProgram program(code);   // as a loaded game keeps it
    RuleCardList a, b;
    uint16_t best = 0;
    int bestLength = 0;
    for (uint16_t c = 0; c < e.GetCardCount(); ++c) {
        e.BuildPickupCardLists(c, a, b);
        if (e.cardStates[c].faceUp && static_cast<int>(a.size()) > bestLength &&
            EvaluateRuleProgram(a.data(), b.data(), program)) {
            best = c;
            bestLength = static_cast<int>(a.size());
        }
    }
    e.BuildPickupCardLists(best, a, b);
    double ns = bench::MedianNanoseconds(31, 20000, [&](int) {
        sink += EvaluateRuleProgram(a.data(), b.data(), program);
    });
    std::printf("run check, %d-card run of the deal:  %8.1f ns\n", bestLength - 1, ns);
    const RuleCardList run = ParseRun(fullRun);
    ns = bench::MedianNanoseconds(31, 20000, [&](int) {
        sink += EvaluateRuleProgram(run.data(), nullptr, program);
    });
    std::printf("run check, 13-card run:             %8.1f ns  (target < 1000)\n", ns);

    // A full hint enumeration, and the first hint.
    uint16_t first = 0, second = 0;
    int hints = 0, moves = 0;
    while (e.FindHint(static_cast<uint16_t>(hints), first, second, false)) {
        ++hints;
        moves += second != kNone;   // the moves come before the clicks
    }
    ns = bench::MedianNanoseconds(31, 50, [&](int) { sink += e.FindHint(0xFFFF, first, second, true); });
    std::printf("full hint enumeration (%2d hints):   %8.1f ns  (target < 200000)\n", hints, ns);
    ns = bench::MedianNanoseconds(31, 200, [&](int) { sink += e.FindHint(0, first, second, true); });
    std::printf("first hint, clicks first:           %8.1f ns\n", ns);

    // RunAutomaticEvents after each hinted move (taken back after timing).
    std::vector<double> samples;
    for (int round = 0; round < 200; ++round) {
        if (moves == 0 || !e.FindHint(static_cast<uint16_t>(round % moves), first, second, false))
            break;
        TryMove(e, first, second);
        uint8_t flag = 1;
        const auto start = Clock::now();
        e.RunAutomaticEvents(AutomaticEvents::AfterStep, Recording::Recorded, flag);
        samples.push_back(std::chrono::duration<double, std::nano>(Clock::now() - start).count());
        UndoStep(e);
    }
    if (!samples.empty()) {
        std::printf("RunAutomaticEvents after a move:    %8.1f ns  (%d different moves)\n", bench::Median(samples),
                    moves);
    }
}

}  // namespace

int main() {
    Bench("Klondike-like", model::KlondikeLike(), model::programs::kAlternatingRun,
          "AH 2S 3D 4C 5H 6S 7D 8C 9H TS JD QC KH");
    Bench("Spider-like", model::SpiderLike(), model::programs::kSameSuitRun,
          "AS 2S 3S 4S 5S 6S 7S 8S 9S TS JS QS KS");
    return sink == 12345 ? 1 : 0;
}
