// Fuzz target: the game record loader. A record it accepts is also dealt and
// played a little (hints, clicks, moves, automatic events and undo), so that
// everything a loaded record can reach runs on checked data.
#include <cstdint>
#include <cstdlib>

#include "engine/game_engine.h"
#include "engine/invariants.h"
#include "engine/player_move.h"

using namespace corvelle;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CGameEngine engine;
    if (!engine.LoadGameDefinition(data, size))
        return 0;
    // Keep the work per input small: the record fuzzer is about reaching
    // code with odd definitions, not about long games.
    if (engine.GetCardCount() > 520 || engine.GetPileCount() > 200)
        return 0;
    if (!StartGame(engine, static_cast<uint32_t>(size) + 1))
        return 0;
    if (!CheckGameInvariants(engine))
        std::abort();
    for (int step = 0; step < 4; ++step) {
        uint16_t first = 0, second = 0;
        if (!engine.FindHint(static_cast<uint16_t>(step), first, second, step % 2 == 0))
            break;
        if (second == kNone)
            PlayClick(engine, first);
        else
            PlayMove(engine, first, second);
        if (!CheckGameInvariants(engine))
            std::abort();
    }
    while (UndoStep(engine)) {
    }
    if (!CheckGameInvariants(engine))
        std::abort();
    return 0;
}
