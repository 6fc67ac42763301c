// Writes the starting corpus of the fuzz targets into FOLDER/record,
// FOLDER/rules, FOLDER/play, FOLDER/gamec and FOLDER/stored: records of the
// test database and of the model games, the model games' programs, a few
// step sequences, the game files of the library, and stored preferences,
// statistics, best times and saved games as the program writes them.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#include "engine/byte_order.h"
#include "engine/player_move.h"
#include "engine/registry.h"
#include "engine/resources.h"
#include "engine/saved_game.h"
#include "fuzz/stored_input.h"
#include "logic/preferences.h"
#include "models/model_games.h"

using namespace corvelle;

namespace {

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::perror(path.c_str());
        std::exit(1);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// The preferences key as SavePreferences leaves it, in the input form of
// fuzz_stored.
std::vector<uint8_t> StoredPreferences(const AppPreferences& prefs) {
    SetProgramKeyPath(u"SOFTWARE\\Velmora Software\\Corvelle Seeds");
    DeleteRegistryTree(ProgramKeyPath());
    AppPreferences copy = prefs;
    SavePreferences(copy, PreferencesSave::kCleanClose);
    std::vector<uint8_t> input = {fuzz::kStoredPreferences, 1, 0, 0, 0, 0};
    CRegistryKey key;
    std::vector<std::u16string> names;
    if (!key.Open(ProgramSubKey(u"prefs")) || !key.ListValues(names)) {
        std::fprintf(stderr, "fuzz_seeds: the preferences were not stored\n");
        std::exit(1);
    }
    for (const std::u16string& name : names) {
        size_t index = 0;
        while (index < fuzz::kPreferenceValueCount && name != fuzz::kPreferenceValueNames[index])
            ++index;
        uint32_t type = 0;
        std::vector<uint8_t> bytes;
        key.QueryValue(name.c_str(), type, bytes, 1u << 16);
        fuzz::AppendStoredValue(input, index, type, bytes);
    }
    DeleteRegistryTree(ProgramKeyPath());
    return input;
}

// A saved game of a model game after `steps` hinted steps, in the input form
// of fuzz_stored.
std::vector<uint8_t> StoredGame(int game, const GameDefinitionData& definition, uint32_t number, int steps) {
    const std::vector<uint8_t> record = SerializeGameRecord(definition);
    CGameEngine e;
    if (!e.LoadGameDefinition(record.data(), record.size()) || !StartGame(e, number)) {
        std::fprintf(stderr, "fuzz_seeds: the model game does not deal\n");
        std::exit(1);
    }
    for (int s = 0; s < steps; ++s) {
        std::vector<CGameEngine::HintMove> hints;
        e.FindAllHints(hints, true);
        if (hints.empty())
            break;
        const CGameEngine::HintMove h = hints[(s * 5 + number) % hints.size()];
        if (h.second == kNone)
            PlayClick(e, h.first);
        else
            PlayMove(e, h.first, h.second);
    }
    std::vector<uint8_t> input = {fuzz::kStoredGame, static_cast<uint8_t>(game), 0, 6, static_cast<uint8_t>(number)};
    const std::vector<uint8_t> blob = SerializeSavedGame(e, 60u * number);
    input.insert(input.end(), blob.begin(), blob.end());
    return input;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string root = argv[1];
    for (const char* sub : {"", "/record", "/rules", "/play", "/gamec", "/stored"})
        mkdir((root + sub).c_str(), 0755);
    int gameFiles = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CORVELLE_GAMES_DIR)) {
        const auto ext = entry.path().extension();
        if (ext != ".game" && ext != ".family") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        Write(root + "/gamec/" + entry.path().filename().string(), std::vector<uint8_t>(text.begin(), text.end()));
        ++gameFiles;
    }

    int records = 0;
    LoadResourceDirectory(CORVELLE_TEST_DB_DIR);
    for (int pos = 0; pos < GetGameCount(); pos += 25) {
        uint32_t length = 0;
        uint8_t* record = InflateGameRecord(static_cast<uint16_t>(pos), &length);
        if (record)
            Write(root + "/record/db" + std::to_string(pos), std::vector<uint8_t>(record, record + length));
        std::free(record);
        records += record != nullptr;
    }
    const GameDefinitionData games[2] = {model::KlondikeLike(), model::SpiderLike()};
    for (int g = 0; g < 2; ++g) {
        Write(root + "/record/model" + std::to_string(g), SerializeGameRecord(games[g]));
        for (size_t p = 0; p < games[g].programs.size(); ++p) {
            // Lists of 3 and 2 cards, END appended, then the program.
            std::vector<uint8_t> input = {3, 0x82, 17, 22, 27, 40, 41};
            input.insert(input.end(), games[g].programs[p].begin(), games[g].programs[p].end());
            Write(root + "/rules/model" + std::to_string(g) + "_" + std::to_string(p), input);
        }
        for (int s = 0; s < 4; ++s) {
            std::vector<uint8_t> input = {static_cast<uint8_t>(g), static_cast<uint8_t>(s + 1), 0, 0, 0};
            for (int i = 0; i < 60; ++i) {
                input.push_back(static_cast<uint8_t>(i % 7 == 6 ? 3 : i % 3 == 2 ? 2 : 0));
                input.push_back(static_cast<uint8_t>(i * 37 + s));
            }
            Write(root + "/play/steps" + std::to_string(g) + "_" + std::to_string(s), input);
        }
    }
    AppPreferences changed;
    changed.timedGame = 1;
    changed.timeLimit = 10;
    changed.playMode = PlayMode::kClick;
    changed.curSolId = 7;
    changed.lastEnteredName[0] = u'A';
    changed.mainWindowPos.normalRight = 1200;
    changed.mainWindowPos.normalBottom = 900;
    changed.mainPopupsWidth = 300;
    changed.mainPopupsState = {{{kRegionStatistics, 0}, {kRegionRules, 1}, {kRegionAdvertisement, 1},
                                {kRegionBestTimes, 0}}};
    changed.commandBarButtonsNum = 9;
    changed.commandBarButtons = {8, 0, 1, 3, 0xFF, 5};
    changed.filter = SelectionFilter{2, 1, 3, 1};
    changed.favorites.ids = {1, 4, 298};
    Write(root + "/stored/prefs_defaults", StoredPreferences(AppPreferences()));
    Write(root + "/stored/prefs_changed", StoredPreferences(changed));
    Write(root + "/stored/statistics", {fuzz::kStoredStatistics, kRegBinary, 8, 12, 0, 5, 0, 0x10, 0x0E, 0, 0, 1,
                                        0x2C, 0x01, 0, 0});
    std::vector<uint8_t> best = {fuzz::kStoredBestTimes, kRegBinary, 0x68, 0x01};
    for (int i = 0; i < 10; ++i) {
        std::vector<uint8_t> entry(36, 0);
        if (i < 3) {
            entry[0] = static_cast<uint8_t>('A' + i);
            StoreLE(entry.data() + 32, static_cast<uint32_t>(100 * (i + 1)));
        }
        best.insert(best.end(), entry.begin(), entry.end());
    }
    for (const uint32_t seconds : {150u, 50u, 400u}) {
        uint8_t b[4];
        StoreLE(b, seconds);
        best.insert(best.end(), b, b + 4);
        best.insert(best.end(), {2, 'Z', 0, 'y', 0});
    }
    Write(root + "/stored/best_times", best);
    for (int g = 0; g < 2; ++g)
        for (int s = 0; s < 3; ++s)
            Write(root + "/stored/game" + std::to_string(g) + "_" + std::to_string(s),
                  StoredGame(g, games[g], static_cast<uint32_t>(3 + s), 10 * s));

    std::printf("fuzz_seeds: %d database records, 2 model games, %d game files, stored records\n", records, gameFiles);
    return 0;
}
