#include "game_setup.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "library_games.h"

namespace corvelle::drive {

std::vector<Step> ReadSteps(const char* file) {
    std::vector<Step> steps;
    FILE* f = std::fopen(file, "r");
    if (!f) return steps;
    char line[128];
    bool first = true;
    while (std::fgets(line, sizeof line, f)) {
        if (first) {
            first = false;
            continue;
        }
        Step s;
        unsigned a = 0, b = 0, c = 0;
        if (std::sscanf(line, "click %u", &a) == 1) {
            s.click = true;
            s.from = static_cast<uint16_t>(a);
        } else if (std::sscanf(line, "%u %u %u", &a, &b, &c) == 3) {
            s.from = static_cast<uint16_t>(a);
            s.to = static_cast<uint16_t>(b);
            s.count = static_cast<uint16_t>(c);
        } else {
            continue;
        }
        steps.push_back(s);
    }
    std::fclose(f);
    return steps;
}

uint32_t LibraryPosition(const std::string& name) {
    const std::vector<std::string> names = test::LibraryGameNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<uint32_t>(i);
    return 0xFFFFFFFF;
}

void PrepareStart(CGameEngine& engine, const std::string& name, uint32_t gameNumber,
                  const std::function<void(CRegistryKey&)>& more) {
    DeleteRegistryTree(ProgramKeyPath());
    // The deal number goes into the slot with the game, as the program
    // saves it (its own owner's, or one lent for the save).
    SavingOwner lent(0, gameNumber);
    CEngineOwner* const owner = engine.owner;
    if (owner)
        owner->SetGameNumber(gameNumber);
    else
        engine.owner = &lent;
    engine.SaveGame();
    engine.owner = owner;
    ASSERT_NE(engine.FindSavedGameSlot(engine.id), kSavedGameSlots);
    CRegistryKey prefs;
    ASSERT_TRUE(prefs.Create(ProgramSubKey(u"prefs")));
    const uint8_t zero = 0, dragMode = 1;
    ASSERT_NE(LibraryPosition(name), 0xFFFFFFFFu) << name;
    prefs.WriteDword(u"curSolId", LibraryPosition(name));
    prefs.WriteBinary(u"failed", &zero, 1);
    prefs.WriteBinary(u"animation", &zero, 1);
    prefs.WriteBinary(u"playMode", &dragMode, 1);
    if (more) more(prefs);
}

}  // namespace corvelle::drive
