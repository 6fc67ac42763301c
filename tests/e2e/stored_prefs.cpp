#include "stored_prefs.h"

#include <algorithm>
#include <vector>

#include "engine/registry.h"
#include "field/pile_geometry.h"

namespace corvelle::drive {

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadBack(const CRegistryKey& key, const char16_t* name) {
    uint32_t type = 0;
    Bytes bytes;
    key.QueryValue(name, type, bytes, 1 << 16);
    return bytes;
}

uint32_t U32(const Bytes& b, size_t at = 0) {
    return b.size() < at + 4 ? 0xFFFFFFFF : b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

}  // namespace

std::string StoredPreferencesOutOfRange(const RECT& work, uint32_t games, bool closedCleanly) {
    CRegistryKey key;
    if (!key.Open(ProgramSubKey(u"prefs"))) return "no preferences";
    std::string wrong;
    auto expect = [&](bool ok, const std::string& what) {
        if (!ok) wrong += what + "; ";
    };
    auto byteAtMost = [&](const char16_t* name, uint8_t max) {
        const Bytes b = ReadBack(key, name);
        std::string n;
        for (const char16_t* c = name; *c; ++c) n += static_cast<char>(*c);
        expect(b.size() == 1 && b[0] <= max, n + " " + (b.size() == 1 ? std::to_string(b[0]) : "of " + std::to_string(b.size()) + " bytes"));
    };
    byteAtMost(u"failed", closedCleanly ? 0 : 1);
    for (const char16_t* flag : {u"timedGame", u"animation", u"playMode", u"bgPicture", u"mainPopupsEnabled",
                                 u"commandBarEnabled", u"commandBarIconType", u"filterFav"})
        byteAtMost(flag, 1);
    byteAtMost(u"bgPicturePosition", 2);
    byteAtMost(u"commandBarButtonsNum", 13);
    byteAtMost(u"filterCat", 11);
    byteAtMost(u"filterSkill", 3);
    byteAtMost(u"filterTime", 4);
    const uint32_t limit = U32(ReadBack(key, u"timeLimit"));
    expect(limit == 1 || limit == 3 || limit == 5 || limit == 10, "timeLimit " + std::to_string(limit));
    expect((U32(ReadBack(key, u"bgColor")) >> 24) == 0, "bgColor " + std::to_string(U32(ReadBack(key, u"bgColor"))));
    const Bytes custom = ReadBack(key, u"bgCustomColors");
    expect(custom.size() == 64, "bgCustomColors size");
    for (size_t i = 0; i + 4 <= custom.size(); i += 4) expect(custom[i + 3] == 0, "custom colour " + std::to_string(i / 4));
    expect(U32(ReadBack(key, u"cardBack")) == 0, "cardBack " + std::to_string(U32(ReadBack(key, u"cardBack"))));
    // While the program runs the first start's "no game" may stand.
    const uint32_t current = U32(ReadBack(key, u"curSolId"));
    expect(current < games || (!closedCleanly && current == 0xFFFFFFFF), "curSolId " + std::to_string(current));
    const Bytes name = ReadBack(key, u"lastEnteredName");
    expect(name.size() == 32 && name[30] == 0 && name[31] == 0, "lastEnteredName");
    const Bytes placement = ReadBack(key, u"mainWindowPos");
    const auto workW = static_cast<int32_t>(work.right - work.left), workH = static_cast<int32_t>(work.bottom - work.top);
    // The largest a window may be made with the mouse: a little more than
    // the screen.
    const int32_t maxW = ::GetSystemMetrics(SM_CXMAXTRACK), maxH = ::GetSystemMetrics(SM_CYMAXTRACK);
    if (placement.size() == 44) {
        const auto l = static_cast<int32_t>(U32(placement, 28)), t = static_cast<int32_t>(U32(placement, 32));
        const auto rt = static_cast<int32_t>(U32(placement, 36)), b = static_cast<int32_t>(U32(placement, 40));
        const int64_t w = int64_t{rt} - l, h = int64_t{b} - t;
        // Its top edge dragged to the screen's top leaves the top up to a
        // frame's width above it.
        const int32_t frame = ::GetSystemMetrics(SM_CYSIZEFRAME) + ::GetSystemMetrics(SM_CXPADDEDBORDER);
        expect(w >= 1100 && w <= std::max({1100, workW, maxW}) && h >= 800 && h <= std::max({800, workH, maxH}) &&
                   l >= work.left - 1100 && t >= work.top - frame && l < work.right && t < work.bottom,
               "mainWindowPos " + std::to_string(l) + "," + std::to_string(t) + "-" + std::to_string(rt) + "," +
                   std::to_string(b));
    } else {
        expect(false, "mainWindowPos of " + std::to_string(placement.size()) + " bytes");
    }
    const uint32_t panel = U32(ReadBack(key, u"mainPopupsWidth"));
    expect(panel >= 221 && panel <= static_cast<uint32_t>(std::max(221, workW - kSmallestFieldWidth)),
           "mainPopupsWidth " + std::to_string(panel));
    const uint32_t selectPanel = U32(ReadBack(key, u"selectPopupsWidth"));
    expect(selectPanel >= 160 && selectPanel <= static_cast<uint32_t>(workW), "selectPopupsWidth " + std::to_string(selectPanel));
    auto states = [&](const char16_t* value, std::vector<uint32_t> ids) {
        const Bytes b = ReadBack(key, value);
        bool ok = b.size() == 8 * ids.size();
        std::vector<uint32_t> seen;
        for (size_t i = 0; ok && i < ids.size(); ++i) {
            seen.push_back(U32(b, 8 * i));
            ok = b[8 * i + 4] <= 1;
        }
        std::sort(seen.begin(), seen.end());
        std::sort(ids.begin(), ids.end());
        expect(ok && seen == ids, "panel regions");
    };
    states(u"mainPopupsState", {0, 1, 2, 3});
    states(u"selectPopupsState", {4, 5, 1, 6, 2, 3});
    const uint32_t favourites = U32(ReadBack(key, u"favNum"));
    expect(favourites >= 1 && favourites <= 800 && ReadBack(key, u"favList").size() == 2 * size_t{favourites},
           "favNum " + std::to_string(favourites));
    return wrong;
}

std::string StoredCommandBarLayoutWrong() {
    CRegistryKey key;
    if (!key.Open(ProgramSubKey(u"prefs"))) return "no preferences";
    const Bytes count = ReadBack(key, u"commandBarButtonsNum"), places = ReadBack(key, u"commandBarButtons");
    bool placesOk = count.size() == 1 && places.size() == 6;
    for (size_t i = 0; placesOk && i < places.size(); ++i) {
        if (places[i] == 0xFF) continue;
        placesOk = places[i] < count[0] && std::count(places.begin(), places.end(), places[i]) == 1;
    }
    return placesOk ? "" : "commandBarButtons; ";
}

}  // namespace corvelle::drive
