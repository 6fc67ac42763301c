// The input format of the fuzz target over stored records (fuzz_stored.cpp),
// shared with the seed writer (seeds.cpp).
//
// Byte 0 picks the kind of record (mod 4); the rest is its body:
//  0 preferences: a flags byte (bit 0: the key exists before the start,
//    bit 1: the answer to the question after an abnormal end), two u16 that
//    widen the main window and the selection dialog beyond their smallest
//    sizes, then stored values, each [name index][type][length][bytes];
//    a length byte of 0xFF is followed by a u16 length.
//  1 statistics: one stored value [type][length][bytes] as "data", then a
//    byte (bit 0: the next game is won) and the u32 seconds of that game.
//  2 best times: [type][u16 length][bytes] as "data", then entries to insert,
//    each a u32 time, a length byte and that many UTF-16 units.
//  3 saved game: four bytes (game and slot options, steps, seed) and the rest
//    is the slot's "data".
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvelle::fuzz {

enum StoredKind : uint8_t { kStoredPreferences, kStoredStatistics, kStoredBestTimes, kStoredGame, kStoredKinds };

// The values of the preferences key, the selection dialog's placement and a
// name the program does not know.
constexpr const char16_t* kPreferenceValueNames[] = {
    u"failed", u"timedGame", u"timeLimit", u"animation", u"playMode", u"bgColor", u"bgCustomColors",
    u"bgPicture", u"bgPicturePosition", u"cardBack", u"curSolId", u"curGameNumber", u"lastEnteredName",
    u"lastPlayed", u"mainWindowPos", u"mainPopupsEnabled", u"mainPopupsWidth", u"mainPopupsState",
    u"commandBarEnabled", u"commandBarIconType", u"commandBarButtonsNum", u"commandBarButtons",
    u"selectPopupsWidth", u"selectPopupsState", u"filterCat", u"filterSkill", u"filterTime", u"filterFav",
    u"favNum", u"favList", u"selectWindowPos", u"unknownValue"};
constexpr size_t kPreferenceValueCount = sizeof kPreferenceValueNames / sizeof kPreferenceValueNames[0];

// Reads the input front to back; past its end every read gives zeros.
class StoredInput {
public:
    StoredInput(const uint8_t* data, size_t size) : p(data), end(data + size) {}
    bool IsEmpty() const { return p == end; }
    uint8_t Byte() { return p < end ? *p++ : 0; }
    uint16_t U16() { const uint16_t lo = Byte(); return static_cast<uint16_t>(lo | Byte() << 8); }
    uint32_t U32() { const uint32_t lo = U16(); return lo | static_cast<uint32_t>(U16()) << 16; }
    std::vector<uint8_t> Take(size_t n) {
        const size_t k = n < static_cast<size_t>(end - p) ? n : static_cast<size_t>(end - p);
        std::vector<uint8_t> out(p, p + k);
        p += k;
        return out;
    }
    std::vector<uint8_t> Rest() { return Take(static_cast<size_t>(end - p)); }

private:
    const uint8_t* p;
    const uint8_t* end;
};

// One stored preference value in the input's form.
inline void AppendStoredValue(std::vector<uint8_t>& out, size_t nameIndex, uint32_t type,
                              const std::vector<uint8_t>& bytes) {
    out.push_back(static_cast<uint8_t>(nameIndex));
    out.push_back(static_cast<uint8_t>(type));
    if (bytes.size() < 0xFF) {
        out.push_back(static_cast<uint8_t>(bytes.size()));
    } else {
        out.push_back(0xFF);
        out.push_back(static_cast<uint8_t>(bytes.size()));
        out.push_back(static_cast<uint8_t>(bytes.size() >> 8));
    }
    out.insert(out.end(), bytes.begin(), bytes.end());
}

}  // namespace corvelle::fuzz
