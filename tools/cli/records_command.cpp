// corvelle-cli records. The records live in the registry of the machine (or
// Wine prefix) the program ran on, so this command is useful in the Windows
// build of the tool, run under Wine with that prefix's WINEPREFIX.
#include "tools/cli/records_command.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "engine/byte_order.h"
#include "engine/game_engine.h"
#include "engine/registry.h"
#include "engine/resources.h"
#include "engine/saved_game.h"
#include "engine/statistics.h"

namespace corvelle {
namespace {

void Append(std::string& out, const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out += line;
}

std::string Clock(uint32_t seconds) {
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%u:%02u", seconds / 60, seconds % 60);
    return text;
}

// The definition of the game with this id from the game database, if any.
std::unique_ptr<CGameEngine> FindGame(uint16_t gameId) {
    for (int position = 0; position < GetGameCount(); ++position) {
        uint32_t length = 0;
        uint8_t* record = InflateGameRecord(static_cast<uint16_t>(position), &length);
        if (!record)
            continue;
        auto engine = std::make_unique<CGameEngine>();
        const bool loaded = engine->LoadGameDefinition(record, length);
        std::free(record);
        if (loaded && engine->id == gameId)
            return engine;
    }
    return nullptr;
}

void PrintSavedGames(const std::u16string& root, std::string& out) {
    out += "Saved games\n";
    const std::u16string saved = ProgramKeyPath();
    SetProgramKeyPath(root);
    int shown = 0;
    for (unsigned slot = 0; slot < kSavedGameSlots; ++slot) {
        CRegistryKey key;
        if (!key.Open(SavedGameSlotPath(slot)))
            continue;
        ++shown;
        uint8_t idBytes[2] = {};
        const bool hasId = key.ReadBinaryExact(u"solId", idBytes, 2);
        const uint16_t gameId = LoadLE<uint16_t>(idBytes);
        uint8_t failed = 0;
        const bool hasFailed = key.ReadBinaryExact(u"failed", &failed, 1);
        uint32_t size = 0;
        const bool hasSize = key.ReadDword(u"size", size);
        std::vector<uint8_t> data;
        const bool hasData = key.ReadBinary(u"data", data, 64u << 20);
        uint8_t hashBytes[8] = {};
        const bool hasHash = key.ReadBinaryExact(u"definitionHash", hashBytes, 8);

        Append(out, "  slot %u: ", slot);
        if (hasId)
            Append(out, "game id %u", gameId);
        else
            out += "game id unreadable";
        Append(out, ", failed %s", hasFailed ? (failed ? "1 (dropped at the next restore)" : "0") : "unreadable");
        if (hasSize)
            Append(out, ", size %u", size);
        else
            out += ", size unreadable";
        if (hasData)
            Append(out, ", data %zu bytes", data.size());
        else
            out += ", data unreadable";
        out += "\n";
        if (hasData && data.size() >= 4)
            Append(out, "          clock %s\n", Clock(LoadLE<uint32_t>(data.data())).c_str());

        std::unique_ptr<CGameEngine> game = hasId && GetGameCount() > 0 ? FindGame(gameId) : nullptr;
        if (!game) {
            if (GetGameCount() > 0 && hasId)
                out += "          no game with this id in the game database\n";
            continue;
        }
        Append(out, "          %s\n", game->name);
        SavedGameData parsed;
        const char* why = "";
        if (!hasData || !hasSize || size != data.size()) {
            out += "          would not restore: size and data disagree\n";
        } else if (!ParseSavedGame(*game, data.data(), data.size(), parsed, &why)) {
            Append(out, "          would not restore: %s\n", why);
        } else {
            const bool sameDefinition = !hasHash || LoadLE<uint64_t>(hashBytes) == DefinitionFingerprint(*game);
            Append(out, "          %zu links, %zu history records%s%s\n", parsed.moveLinks.size(),
                   parsed.history.size(), parsed.finished ? ", finished" : "",
                   sameDefinition ? "" : "; made for another version of the game: would not restore");
        }
    }
    SetProgramKeyPath(saved);
    if (!shown)
        out += "  (none)\n";
}

std::vector<std::u16string> SubKeys(const std::u16string& path) {
    std::vector<std::u16string> names;
    CRegistryKey key;
    if (key.Open(path))
        key.ListSubKeys(names);
    return names;
}

void PrintStatistics(const std::u16string& root, std::string& out) {
    out += "Statistics\n";
    const std::vector<std::u16string> games = SubKeys(root + u"\\statistics");
    if (games.empty())
        out += "  (none)\n";
    for (const auto& game : games) {
        CRegistryKey key;
        uint8_t b[8];
        const std::string name = Utf16ToUtf8(game);
        if (!key.Open(root + u"\\statistics\\" + game) || !key.ReadBinaryExact(u"data", b, 8)) {
            Append(out, "  %-24s no record (reads as zeros)\n", name.c_str());
            continue;
        }
        const GameStatistics s = DecodeGameStatistics(b);
        Append(out, "  %-24s played %u, won %u, time %s\n", name.c_str(), s.played, s.won,
               Clock(s.totalSeconds).c_str());
    }
}

// A stored best-time entry that the program cannot have written: a name
// without its terminating 0, with control characters or half a surrogate
// pair; or an entry out of the table's order (fastest first, empty last).
bool DamagedBestTime(const uint8_t* stored, uint32_t seconds, uint32_t previousSeconds) {
    size_t length = 0;
    while (length < 16 && LoadLE<uint16_t>(stored + 2 * length) != 0) ++length;
    if (length > kBestTimeNameLength) return true;
    for (size_t c = 0; c < length; ++c) {
        const uint16_t unit = LoadLE<uint16_t>(stored + 2 * c);
        const uint16_t next = c + 1 < length ? LoadLE<uint16_t>(stored + 2 * c + 2) : 0;
        if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0)) return true;
        if (unit >= 0xDC00 && unit <= 0xDFFF) return true;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (next < 0xDC00 || next > 0xDFFF) return true;
            ++c;
        }
    }
    if (seconds == 0) return length != 0;
    return previousSeconds == 0 || seconds < previousSeconds;
}

void PrintBestTimes(const std::u16string& root, std::string& out) {
    out += "Best times\n";
    const std::vector<std::u16string> games = SubKeys(root + u"\\bestScores");
    if (games.empty())
        out += "  (none)\n";
    for (const auto& game : games) {
        CRegistryKey key;
        uint8_t b[kBestTimesDataSize];
        Append(out, "  %s\n", Utf16ToUtf8(game).c_str());
        if (!key.Open(root + u"\\bestScores\\" + game) || !key.ReadBinaryExact(u"data", b, sizeof b)) {
            out += "    damaged or missing (reads as an empty table)\n";
            continue;
        }
        BestTimeEntry entries[kBestTimeEntries];
        DecodeBestTimes(b, entries);
        int filled = 0;
        uint32_t previous = 1;   // the first entry follows no empty one
        for (int i = 0; i < kBestTimeEntries; ++i) {
            const bool damaged = DamagedBestTime(b + 36 * i, entries[i].seconds, previous);
            previous = damaged ? previous : entries[i].seconds;
            if (damaged) {
                Append(out, "    %2d. (damaged entry)\n", i + 1);
                ++filled;
                continue;
            }
            if (!entries[i].seconds)
                continue;
            Append(out, "    %2d. %-16s %s\n", i + 1, Utf16ToUtf8(entries[i].name).c_str(),
                   Clock(entries[i].seconds).c_str());
            ++filled;
        }
        if (!filled)
            out += "    (empty)\n";
    }
}

}  // namespace

void PrintRecords(const std::u16string& root, std::string& out) {
    Append(out, "Records under HKEY_CURRENT_USER\\%s\n\n", Utf16ToUtf8(root).c_str());
    PrintSavedGames(root, out);
    out += "\n";
    PrintStatistics(root, out);
    out += "\n";
    PrintBestTimes(root, out);
}

int RunRecordsCommand(const std::vector<std::u16string>& args) {
    std::u16string root = kDefaultProgramKeyPath;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == u"--root" && i + 1 < args.size()) {
            root = args[++i];
        } else {
            std::fprintf(stderr, "corvelle-cli records: unknown argument '%s'\n", Utf16ToUtf8(args[i]).c_str());
            return 2;
        }
    }
    std::string out;
    PrintRecords(root, out);
    std::fputs(out.c_str(), stdout);
    return 0;
}

}  // namespace corvelle
