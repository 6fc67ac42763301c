// Fuzz target: the game record loader. A record it accepts is also dealt and
// played a little (hints, automatic events, a click on every pile, undo), so
// that everything a loaded record can reach runs on checked data.
#include <cstdint>

#include "engine/game_engine.h"
#include "fuzz/play.h"

using namespace corvelle;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CGameEngine engine;
    if (!engine.LoadGameDefinition(data, size))
        return 0;
    fuzz::PlayBriefly(engine, static_cast<uint32_t>(size) + 1);
    return 0;
}
