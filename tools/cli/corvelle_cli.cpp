// corvelle-cli: the rules engine and the game database from the command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include "engine/game_engine.h"
#include "engine/registry.h"
#include "engine/resources.h"
#include "tools/cli/cli_games.h"
#include "tools/cli/records_command.h"

using namespace corvelle;

namespace {

const char* const kTimeNames[] = {"<3m", "3-5m", "5-10m", ">10m"};
const char* const kSkillNames[] = {"easy", "medium", "hard"};

void Usage() {
    std::printf(
        "usage: corvelle-cli [--db FOLDER] COMMAND\n"
        "  list                position, id, name, category, difficulty, time class of every game,\n"
        "                      tab-separated, one line per game; then, after an empty line, the\n"
        "                      number of games of each category ('CATEGORY<tab>N') and in all ('all<tab>N')\n"
#ifdef CORVELLE_GAME_COMMANDS
        "%s"
#endif
        "  records [--root KEY]\n"
        "          saved games, statistics and best times in the current user's registry\n"
        "          below KEY (default SOFTWARE\\Velmora Software\\Corvelle). They live in\n"
        "          the registry of a Wine prefix: use the Windows build of this tool,\n"
        "            WINEPREFIX=/path/to/prefix wine build/win/tools/cli/corvelle-cli.exe records\n"
        "          (the tests' prefix is build/wineprefix); looking changes nothing.\n"
        "FOLDER holds the packed database (TYPE_ID.bin files and library.txt); default: %s\n",
#ifdef CORVELLE_GAME_COMMANDS
        cli::GameCommandsHelp(),
#endif
        CORVELLE_DEFAULT_DB);
}

int List() {
    const int n = GetGameCount();
    if (n == 0) {
        std::fprintf(stderr, "corvelle-cli: no game database found\n");
        return 1;
    }
    constexpr size_t kCategories = sizeof cli::kCategoryNames / sizeof cli::kCategoryNames[0];
    int perCategory[kCategories] = {};
    int games = 0;
    for (int pos = 0; pos < n; ++pos) {
        uint32_t length = 0;
        uint8_t* record = InflateGameRecord(static_cast<uint16_t>(pos), &length);
        CGameEngine engine;
        if (!record || !engine.LoadGameDefinition(record, length)) {
            std::free(record);
            std::printf("%d\t?\t(damaged record)\n", pos);
            continue;
        }
        std::free(record);
        std::printf("%d\t%u\t%s\t%s\t%s\t%s\n", pos, engine.id, engine.name, cli::kCategoryNames[engine.category],
                    kSkillNames[engine.skill], kTimeNames[engine.timeClass]);
        ++perCategory[engine.category];
        ++games;
    }
    std::printf("\n");
    for (size_t c = 0; c < kCategories; ++c)
        std::printf("%s\t%d\n", cli::kCategoryNames[c], perCategory[c]);
    std::printf("all\t%d\n", games);
    return 0;
}

// The arguments from `first` on as UTF-16. Windows passes argv in the ANSI
// code page, so there they are taken from the wide command line instead.
std::vector<std::u16string> WideArguments(int argc, char** argv, int first) {
    std::vector<std::u16string> out;
#ifdef _WIN32
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide && count == argc) {
        for (int i = first; i < count; ++i) out.emplace_back(reinterpret_cast<const char16_t*>(wide[i]));
        LocalFree(wide);
        return out;
    }
    if (wide) LocalFree(wide);
#endif
    for (int i = first; i < argc; ++i) out.push_back(Utf8ToUtf16(argv[i]));
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::string db = CORVELLE_DEFAULT_DB;
    int arg = 1;
    if (arg + 1 < argc && std::strcmp(argv[arg], "--db") == 0) {
        db = argv[arg + 1];
        arg += 2;
        std::error_code error;
        if (!std::filesystem::is_directory(db, error)) {
            std::fprintf(stderr, "corvelle-cli: no database folder '%s'\n", db.c_str());
            return 2;
        }
    }
    if (arg >= argc || std::strcmp(argv[arg], "help") == 0 || std::strcmp(argv[arg], "--help") == 0) {
        Usage();
        return arg >= argc ? 2 : 0;
    }
#ifndef _WIN32
    LoadResourceDirectory(db.c_str());
#endif
    const std::string command = argv[arg];
    if (command == "list")
        return List();
    if (command == "records")
        return RunRecordsCommand(WideArguments(argc, argv, arg + 1));
#ifdef CORVELLE_GAME_COMMANDS
    const std::vector<std::string> rest(argv + arg + 1, argv + argc);
    if (command == "show") return cli::ShowCommand(db, rest);
    if (command == "deal") return cli::DealCommand(db, rest);
    if (command == "play") return cli::PlayCommand(db, rest);
    if (command == "hints") return cli::HintsCommand(db, rest);
    if (command == "solve") return cli::SolveCommand(db, rest);
    if (command == "check") return cli::CheckCommand(db, rest);
#endif
    std::fprintf(stderr, "corvelle-cli: unknown command '%s'\n", command.c_str());
    Usage();
    return 2;
}
