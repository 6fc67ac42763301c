// Statistics and best times of each game in the registry.
#include "engine/statistics.h"

#include <cstring>

#include "engine/byte_order.h"
#include "engine/registry.h"

namespace corvelle {
namespace {

const char16_t kData[] = u"data";

std::u16string StatisticsPath(const std::u16string& gameName) {
    return ProgramSubKey(u"statistics\\" + gameName);
}

std::u16string BestScoresPath(const std::u16string& gameName) {
    return ProgramSubKey(u"bestScores\\" + gameName);
}

// The record of an open statistics key; zeros when it is new or damaged.
// Wins never outnumber the games played (both counts stop at the same
// maximum), so a record that says otherwise is damaged too.
GameStatistics ReadOpenStatistics(const CRegistryKey& key, bool created) {
    GameStatistics out;
    uint8_t bytes[8];
    if (!created && key.ReadBinaryExact(kData, bytes, sizeof bytes))
        out = DecodeGameStatistics(bytes);
    if (out.won > out.played)
        out = GameStatistics();
    return out;
}

}  // namespace

GameStatistics DecodeGameStatistics(const uint8_t* bytes) {
    GameStatistics out;
    out.played = LoadLE<uint16_t>(bytes);
    out.won = LoadLE<uint16_t>(bytes + 2);
    out.totalSeconds = LoadLE<uint32_t>(bytes + 4);
    return out;
}

void DecodeBestTimes(const uint8_t* bytes, BestTimeEntry (&entries)[kBestTimeEntries]) {
    for (int i = 0; i < kBestTimeEntries; ++i) {
        const uint8_t* p = bytes + 36 * i;
        for (int c = 0; c < 16; ++c)
            entries[i].name[c] = static_cast<char16_t>(LoadLE<uint16_t>(p + 2 * c));
        entries[i].name[kBestTimeNameLength] = 0;   // a stored name always ends within its field
        entries[i].seconds = LoadLE<uint32_t>(p + 32);
    }
}

void ReadGameStatistics(const std::u16string& gameName, GameStatistics& out) {
    CRegistryKey key;
    bool created = false;
    out = GameStatistics();
    if (key.Create(StatisticsPath(gameName), &created))
        out = ReadOpenStatistics(key, created);
}

void AddGameStatistics(const std::u16string& gameName, bool won, uint32_t seconds) {
    CRegistryKey key;
    bool created = false;
    if (!key.Create(StatisticsPath(gameName), &created))
        return;
    GameStatistics s = ReadOpenStatistics(key, created);
    if (s.played < 0xFFFF)
        ++s.played;
    if (won && s.won < 0xFFFF)
        ++s.won;
    s.totalSeconds = seconds > 0xFFFFFFFFu - s.totalSeconds ? 0xFFFFFFFFu : s.totalSeconds + seconds;
    uint8_t bytes[8];
    StoreLE(bytes, s.played);
    StoreLE(bytes + 2, s.won);
    StoreLE(bytes + 4, s.totalSeconds);
    key.WriteBinary(kData, bytes, sizeof bytes);
}

CBestTimesTable::CBestTimesTable(const std::u16string& gameName) {
    Init(gameName);
}

void CBestTimesTable::Init(const std::u16string& gameName) {
    key = gameName;
    Load();
}

void CBestTimesTable::Load() {
    CRegistryKey regKey;
    bool created = false;
    for (auto& entry : entries)
        entry = BestTimeEntry();
    if (!regKey.Create(BestScoresPath(key), &created))
        return;
    uint8_t bytes[kBestTimesDataSize];
    if (created || !regKey.ReadBinaryExact(kData, bytes, sizeof bytes)) {
        // A new table, or one that is not the 360 bytes it should be:
        // start again from an empty table.
        std::memset(bytes, 0, sizeof bytes);
        regKey.WriteBinary(kData, bytes, sizeof bytes);
        return;
    }
    DecodeBestTimes(bytes, entries);
}

void CBestTimesTable::Save() const {
    uint8_t bytes[kBestTimesDataSize];
    for (int i = 0; i < kBestTimeEntries; ++i) {
        uint8_t* p = bytes + 36 * i;
        for (int c = 0; c < 16; ++c)
            StoreLE<uint16_t>(p + 2 * c, entries[i].name[c]);
        StoreLE(p + 32, entries[i].seconds);
    }
    CRegistryKey regKey;
    if (regKey.Create(BestScoresPath(key)))
        regKey.WriteBinary(kData, bytes, sizeof bytes);
}

void CBestTimesTable::Clear() {
    for (auto& entry : entries)
        entry = BestTimeEntry();
    Save();
}

bool CBestTimesTable::Qualifies(uint32_t seconds) const {
    // A time of 0 marks an empty entry, so it cannot be stored as a result.
    if (seconds == 0)
        return false;
    for (int i = kBestTimeEntries - 1; i >= 0; --i)
        if (entries[i].seconds == 0 || entries[i].seconds > seconds)
            return true;
    return false;
}

void CBestTimesTable::Insert(const std::u16string& playerName, uint32_t seconds) {
    if (!Qualifies(seconds))
        return;
    int at = 0;
    while (at < kBestTimeEntries && entries[at].seconds != 0 && entries[at].seconds <= seconds)
        ++at;
    if (at == kBestTimeEntries)
        return;   // does not qualify
    for (int i = kBestTimeEntries - 1; i > at; --i)
        entries[i] = entries[i - 1];
    BestTimeEntry entry;
    size_t length = 0;
    while (length < playerName.size() && length < static_cast<size_t>(kBestTimeNameLength) && playerName[length] != 0)
        ++length;
    // Never keep half of a surrogate pair at the cut.
    if (length == static_cast<size_t>(kBestTimeNameLength) && length < playerName.size() &&
        playerName[length - 1] >= 0xD800 && playerName[length - 1] <= 0xDBFF)
        --length;
    for (size_t c = 0; c < length; ++c)
        entry.name[c] = playerName[c];
    entry.seconds = seconds;
    entries[at] = entry;
    Save();
}

uint32_t CBestTimesTable::GetTime(int index) const {
    return index >= 0 && index < kBestTimeEntries ? entries[index].seconds : 0;
}

const char16_t* CBestTimesTable::GetName(int index) const {
    return index >= 0 && index < kBestTimeEntries ? entries[index].name : u"";
}

}  // namespace corvelle
