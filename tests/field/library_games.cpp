#include "library_games.h"

#include <cstdlib>

#include "engine/player_move.h"
#include "engine/resources.h"

namespace corvelle::test {

namespace {

void OpenLibrary() {
#ifndef _WIN32
    static const bool opened = LoadResourceDirectory(CORVELLE_GAME_DB_DIR) > 0;
    (void)opened;
#endif
}

bool LoadPosition(CGameEngine& engine, int position) {
    uint32_t length = 0;
    uint8_t* record = InflateGameRecord(static_cast<uint16_t>(position), &length);
    if (!record) return false;
    const bool ok = engine.LoadGameDefinition(record, length);
    std::free(record);
    return ok;
}

}  // namespace

std::vector<std::string> LibraryGameNames() {
    OpenLibrary();
    std::vector<std::string> names;
    for (int position = 0; position < GetGameCount(); ++position) {
        CGameEngine engine;
        names.push_back(LoadPosition(engine, position) ? engine.name : "");
    }
    return names;
}

bool DealLibraryGame(CGameEngine& engine, const std::string& name, uint32_t gameNumber) {
    OpenLibrary();
    for (int position = 0; position < GetGameCount(); ++position) {
        if (!LoadPosition(engine, position)) continue;
        if (name == engine.name) return StartGame(engine, gameNumber);
    }
    return false;
}

}  // namespace corvelle::test
