// Per-game statistics and best times in the registry, keyed by the game's
// name as shown to the player (UTF-16):
//   <program key>\statistics\<name>   "data": u16 played, u16 won, u32 seconds
//   <program key>\bestScores\<name>   "data": ten entries of 16 UTF-16 units
//                                     of name and a u32 time (360 bytes)
// Reading a record creates its key when it does not exist yet.
#pragma once

#include <cstdint>
#include <string>

namespace corvelle {

struct GameStatistics {
    uint16_t played = 0;
    uint16_t won = 0;
    uint32_t totalSeconds = 0;
};

// Fills `out` from the registry, or with zeros when the game has no record
// or the record is not exactly the 8 bytes of binary data it should be or
// counts more games won than played.
void ReadGameStatistics(const std::u16string& gameName, GameStatistics& out);
// Adds one finished game; the counts and the total stop at their maximum
// instead of wrapping.
void AddGameStatistics(const std::u16string& gameName, bool won, uint32_t seconds);

struct BestTimeEntry {
    char16_t name[16] = {};       // at most 15 units and a terminating 0
    uint32_t seconds = 0;         // 0: empty entry
};

constexpr int kBestTimeEntries = 10;
constexpr int kBestTimeNameLength = 15;
constexpr size_t kBestTimesDataSize = kBestTimeEntries * 36;

// The stored forms read back, for code that reads the records without
// creating their keys (the records tool): the 8 bytes of a statistics record
// and the 360 bytes of a best-times table.
GameStatistics DecodeGameStatistics(const uint8_t* bytes);
void DecodeBestTimes(const uint8_t* bytes, BestTimeEntry (&entries)[kBestTimeEntries]);

// The ten best times of one game, fastest first, empty entries last.
class CBestTimesTable {
public:
    explicit CBestTimesTable(const std::u16string& gameName);

    void Init(const std::u16string& gameName);
    void Load();
    void Save() const;
    void Clear();
    // Enters a qualifying time (after the equal ones) and saves; a time that
    // does not qualify changes nothing. Names are cut to 15 units.
    void Insert(const std::u16string& playerName, uint32_t seconds);
    bool Qualifies(uint32_t seconds) const;
    uint32_t GetTime(int index) const;            // 0 for an index outside 0 .. 9
    const char16_t* GetName(int index) const;     // "" for an index outside 0 .. 9

private:
    std::u16string key;
    BestTimeEntry entries[kBestTimeEntries];
};

}  // namespace corvelle
