// Fuzz target: the game compiler over the text of one game file, compiled
// against the library's own blocks, families and games. Whatever the text,
// the compiler must end: a game it accepts is one the engine loads, and a
// refusal names its file and line.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/game_engine.h"
#include "tools/gamec/source.h"
#include "writer/record_writer.h"

using namespace corvelle;
using namespace corvelle::gamec;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static LibrarySources* const sources = [] {
        auto* s = new LibrarySources;
        std::vector<Diagnostic> diags;
        if (!ReadLibrarySources(CORVELLE_GAMES_DIR, *s, diags)) std::abort();
        return s;
    }();
    const std::string text(reinterpret_cast<const char*>(data), size);
    CompiledGame game;
    std::vector<Diagnostic> diags;
    if (CompileGameText(*sources, "fuzz.game", text, game, diags)) {
        const std::vector<uint8_t> record = SerializeGameRecord(game.def);
        CGameEngine engine;
        if (!engine.LoadGameDefinition(record.data(), record.size())) std::abort();
        return 0;
    }
    if (diags.empty()) std::abort();
    for (const Diagnostic& d : diags)
        if (d.file.empty() || d.line < 0 || d.message.empty()) std::abort();
    return 0;
}
