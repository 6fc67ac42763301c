// Writes the starting corpus of the fuzz targets into FOLDER/record,
// FOLDER/rules, FOLDER/play and FOLDER/gamec: records of the test database
// and of the model games, the model games' programs, a few step sequences,
// and the game files of the library.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>

#include "engine/resources.h"
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds FOLDER\n");
        return 2;
    }
    const std::string root = argv[1];
    for (const char* sub : {"", "/record", "/rules", "/play", "/gamec"})
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
    std::printf("fuzz_seeds: %d database records, 2 model games, %d game files\n", records, gameFiles);
    return 0;
}
