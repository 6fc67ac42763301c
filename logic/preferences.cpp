// Reading and writing the preferences. One list of the stored values
// (VisitValues) drives both directions, so the order, names, types and sizes
// of the values cannot drift apart between reading and writing.
#include "logic/preferences.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "engine/byte_order.h"
#include "engine/records.h"
#include "engine/registry.h"
#include "engine/resources.h"

namespace corvelle {

bool FavoritesList::IsFavorite(uint16_t id) const {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

WindowSize StoredWindowSize(const WindowPlacement& p, int32_t workWidth, int32_t workHeight, int32_t minWidth,
                            int32_t minHeight) {
    // 64-bit: the stored corners may hold any values.
    const auto fit = [](int64_t stored, int32_t work, int32_t least) {
        return static_cast<int32_t>(std::max<int64_t>(std::min<int64_t>(stored, work), least));
    };
    return WindowSize{fit(int64_t{p.normalRight} - p.normalLeft, workWidth, minWidth),
                      fit(int64_t{p.normalBottom} - p.normalTop, workHeight, minHeight)};
}

bool IsOfferedTimeLimit(uint32_t minutes) {
    return std::find(std::begin(kTimeLimits), std::end(kTimeLimits), minutes) != std::end(kTimeLimits);
}

void SetDefaultPrefs(AppPreferences& prefs) {
    AppPreferences defaults;
    defaults.failed = prefs.failed;
    defaults.mainWindowPos = prefs.mainWindowPos;
    prefs = std::move(defaults);
}

std::vector<uint16_t> DatabaseGameIds() {
    uint32_t size = 0;
    const uint8_t* table = LoadAppResource(kResSolId, L"SOLID", &size);
    std::vector<uint16_t> ids;
    if (!table)
        return ids;
    const size_t count = std::min<size_t>(size / 2, kMaxGames);
    for (size_t i = 0; i < count; ++i)
        ids.push_back(LoadLE<uint16_t>(table + 2 * i));
    return ids;
}

namespace {

using Bytes = std::vector<uint8_t>;

const char16_t kPrefsKey[] = u"prefs";
const char16_t kFailedValue[] = u"failed";
const char16_t kSelectWindowPosValue[] = u"selectWindowPos";

// A stored one-byte value, or `fallback` when it is missing, of another size
// or above `max`.
uint8_t ByteOr(const Bytes* in, uint8_t fallback, uint8_t max = 0xFF) {
    return in && in->size() == 1 && (*in)[0] <= max ? (*in)[0] : fallback;
}

// A stored flag: any value other than 0 is set.
uint8_t FlagOr(const Bytes* in, uint8_t fallback) {
    return in && in->size() == 1 ? ((*in)[0] != 0) : fallback;
}

uint32_t NumberOr(const Bytes* in, uint32_t fallback) {
    return in && in->size() == 4 ? LoadLE<uint32_t>(in->data()) : fallback;
}

uint32_t ColourOr(uint32_t stored, uint32_t fallback) {
    return (stored & ~kColourBits) == 0 ? stored : fallback;
}

void PutByte(Bytes& out, uint8_t value) { out.push_back(value); }
void PutNumber(Bytes& out, uint32_t value) { AppendLE(out, value); }

template <size_t N>
void PutStates(Bytes& out, const std::array<PopupRegionState, N>& states) {
    for (const auto& state : states) {
        AppendLE(out, state.id);
        out.push_back(state.expanded);
        out.insert(out.end(), 3, 0);
    }
}

// A stored panel order: exactly N records whose ids are the panel's own ids,
// each once (the default's ids in any order); anything else gives the
// default.
template <size_t N>
std::array<PopupRegionState, N> StatesOr(const Bytes* in, const std::array<PopupRegionState, N>& fallback) {
    if (!in || in->size() != N * kPopupRegionStateSize)
        return fallback;
    std::array<PopupRegionState, N> states;
    std::array<bool, N> seen = {};
    for (size_t i = 0; i < N; ++i) {
        const uint8_t* record = in->data() + i * kPopupRegionStateSize;
        states[i].id = LoadLE<uint32_t>(record);
        states[i].expanded = record[4] != 0;
        size_t k = 0;
        while (k < N && fallback[k].id != states[i].id)
            ++k;
        if (k == N || seen[k])
            return fallback;
        seen[k] = true;
    }
    return states;
}

uint32_t PanelWidthOr(const Bytes* in, uint32_t fallback, uint32_t minWidth, uint32_t windowWidth) {
    const uint32_t width = NumberOr(in, fallback);
    return width >= minWidth && width <= windowWidth ? width : fallback;
}

Bytes EncodePlacement(const WindowPlacement& p) {
    Bytes out;
    for (int32_t v : {static_cast<int32_t>(p.length), static_cast<int32_t>(p.flags), static_cast<int32_t>(p.showCmd),
                      p.minPosition[0], p.minPosition[1], p.maxPosition[0], p.maxPosition[1], p.normalLeft,
                      p.normalTop, p.normalRight, p.normalBottom})
        AppendLE(out, v);
    return out;
}

WindowPlacement DecodePlacement(const uint8_t* in) {
    int32_t v[11];
    for (int i = 0; i < 11; ++i)
        v[i] = LoadLE<int32_t>(in + 4 * i);
    WindowPlacement p;
    p.length = static_cast<uint32_t>(v[0]);
    p.flags = static_cast<uint32_t>(v[1]);
    p.showCmd = static_cast<uint32_t>(v[2]);
    p.minPosition[0] = v[3];
    p.minPosition[1] = v[4];
    p.maxPosition[0] = v[5];
    p.maxPosition[1] = v[6];
    p.normalLeft = v[7];
    p.normalTop = v[8];
    p.normalRight = v[9];
    p.normalBottom = v[10];
    return p;
}

// The width of a placement's normal rectangle; 0 for an empty or inverted one.
uint32_t NormalWidth(const WindowPlacement& p) {
    const int64_t width = int64_t{p.normalRight} - p.normalLeft;
    return width > 0 && width <= UINT32_MAX ? static_cast<uint32_t>(width) : 0;
}

// What a read pass learns beyond the members.
struct ReadState {
    const PreferencesLoadOptions* options = nullptr;
    uint32_t selectWindowWidth = 0;   // the width the selection panel must fit in
    bool placementRead = false;
    uint32_t favoriteCount = 0;   // a usable stored "favNum", else 0
};

// Calls row(name, type, maxSize, encode, decode) for every stored value in
// its order. encode(Bytes&) appends the value's stored bytes; decode(const
// Bytes*) sets the member from the stored bytes (nullptr: not readable),
// falling back to the default for anything unusable. maxSize is the buffer
// a read allows. Reading visits the rows in order, so "favList" is read with
// the count that "favNum" gave.
template <typename Row>
void VisitValues(AppPreferences& p, ReadState& read, Row&& row) {
    const AppPreferences d;   // the defaults
    const PreferencesLoadOptions& o = *read.options;

    row(kFailedValue, kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.failed); },
        [&](const Bytes* in) { p.failed = in && in->size() == 1 && (*in)[0] == 0 ? 0 : 1; });
    row(u"timedGame", kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.timedGame); },
        [&](const Bytes* in) { p.timedGame = FlagOr(in, d.timedGame); });
    row(u"timeLimit", kRegDword, 4, [&](Bytes& out) { PutNumber(out, p.timeLimit); },
        [&](const Bytes* in) {
            p.timeLimit = NumberOr(in, d.timeLimit);
            if (!IsOfferedTimeLimit(p.timeLimit))
                p.timeLimit = d.timeLimit;
        });
    row(u"animation", kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.animation); },
        [&](const Bytes* in) { p.animation = FlagOr(in, d.animation); });
    row(u"playMode", kRegBinary, 1, [&](Bytes& out) { PutByte(out, static_cast<uint8_t>(p.playMode)); },
        [&](const Bytes* in) {
            p.playMode = static_cast<PlayMode>(ByteOr(in, static_cast<uint8_t>(d.playMode), 1));
        });
    // Colours are plain RGB values (0x00BBGGRR); a high byte would make the
    // drawing take a palette entry or another kind of colour instead.
    row(u"bgColor", kRegDword, 4, [&](Bytes& out) { PutNumber(out, p.bgColor); },
        [&](const Bytes* in) { p.bgColor = ColourOr(NumberOr(in, d.bgColor), d.bgColor); });
    row(u"bgCustomColors", kRegBinary, 64,
        [&](Bytes& out) {
            for (uint32_t colour : p.bgCustomColors)
                PutNumber(out, colour);
        },
        [&](const Bytes* in) {
            p.bgCustomColors = d.bgCustomColors;
            if (in && in->size() == 64)
                for (size_t i = 0; i < 16; ++i)
                    p.bgCustomColors[i] = ColourOr(LoadLE<uint32_t>(in->data() + 4 * i), d.bgCustomColors[i]);
        });
    row(u"bgPicture", kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.bgPicture); },
        [&](const Bytes* in) { p.bgPicture = ByteOr(in, d.bgPicture, 1); });
    row(u"bgPicturePosition", kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.bgPicturePosition); },
        [&](const Bytes* in) { p.bgPicturePosition = ByteOr(in, d.bgPicturePosition, 2); });
    row(u"cardBack", kRegDword, 4, [&](Bytes& out) { PutNumber(out, p.cardBack); },
        [&](const Bytes* in) {
            p.cardBack = NumberOr(in, d.cardBack);
            if (p.cardBack >= kCardBackCount)
                p.cardBack = d.cardBack;
        });
    row(kCurSolIdValue, kRegDword, 4, [&](Bytes& out) { PutNumber(out, p.curSolId); },
        [&](const Bytes* in) {
            p.curSolId = NumberOr(in, d.curSolId);
            if (p.curSolId >= o.gameIds.size())
                p.curSolId = kNoCurrentGame;
        });
    row(kCurGameNumberValue, kRegDword, 4, [&](Bytes& out) { PutNumber(out, p.curGameNumber); },
        [&](const Bytes* in) { p.curGameNumber = NumberOr(in, d.curGameNumber); });
    row(u"lastEnteredName", kRegNone, 2 * p.lastEnteredName.size(),
        [&](Bytes& out) {
            for (char16_t c : p.lastEnteredName)
                AppendLE(out, static_cast<uint16_t>(c));
        },
        [&](const Bytes* in) {
            // A shorter name is taken as far as it goes; the name always
            // ends within its 16 units.
            p.lastEnteredName = {};
            const size_t units = in ? std::min(in->size() / 2, kLastEnteredNameLength) : 0;
            for (size_t i = 0; i < units; ++i) {
                const auto c = static_cast<char16_t>(LoadLE<uint16_t>(in->data() + 2 * i));
                if (c == 0)
                    break;
                p.lastEnteredName[i] = c;
            }
        });
    row(kLastPlayedValue, kRegNone, 4 * kSaveSlotCount,
        [&](Bytes& out) {
            for (uint32_t stamp : p.lastPlayed)
                PutNumber(out, stamp);
        },
        [&](const Bytes* in) {
            p.lastPlayed = d.lastPlayed;
            if (in && in->size() == 4 * kSaveSlotCount)
                for (size_t i = 0; i < kSaveSlotCount; ++i)
                    p.lastPlayed[i] = LoadLE<uint32_t>(in->data() + 4 * i);
        });
    row(u"mainWindowPos", kRegBinary, kWindowPlacementSize,
        [&](Bytes& out) {
            const Bytes placement = EncodePlacement(p.mainWindowPos);
            out.insert(out.end(), placement.begin(), placement.end());
        },
        [&](const Bytes* in) {
            if (in && in->size() == kWindowPlacementSize) {
                p.mainWindowPos = DecodePlacement(in->data());
                read.placementRead = true;
            }
        });
    row(u"mainPopupsEnabled", kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.mainPopupsEnabled); },
        [&](const Bytes* in) { p.mainPopupsEnabled = FlagOr(in, d.mainPopupsEnabled); });
    row(u"mainPopupsWidth", kRegBinary, 4, [&](Bytes& out) { PutNumber(out, p.mainPopupsWidth); },
        [&](const Bytes* in) {
            p.mainPopupsWidth = PanelWidthOr(in, d.mainPopupsWidth, kMainPopupsMinWidth, o.mainPanelMaxWidth);
        });
    row(u"mainPopupsState", kRegBinary, kMainPopupCount * kPopupRegionStateSize,
        [&](Bytes& out) { PutStates(out, p.mainPopupsState); },
        [&](const Bytes* in) { p.mainPopupsState = StatesOr(in, d.mainPopupsState); });
    row(u"commandBarEnabled", kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.commandBarEnabled); },
        [&](const Bytes* in) { p.commandBarEnabled = FlagOr(in, d.commandBarEnabled); });
    row(u"commandBarIconType", kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.commandBarIconType); },
        [&](const Bytes* in) { p.commandBarIconType = ByteOr(in, d.commandBarIconType, 1); });
    row(u"commandBarButtonsNum", kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.commandBarButtonsNum); },
        [&](const Bytes* in) { p.commandBarButtonsNum = ByteOr(in, d.commandBarButtonsNum, kMaxCommandBarItems); });
    row(u"commandBarButtons", kRegBinary, kCommandCount,
        [&](Bytes& out) { out.insert(out.end(), p.commandBarButtons.begin(), p.commandBarButtons.end()); },
        [&](const Bytes* in) {
            p.commandBarButtons = d.commandBarButtons;
            if (in && in->size() == kCommandCount)
                std::copy(in->begin(), in->end(), p.commandBarButtons.begin());
        });
    row(u"selectPopupsWidth", kRegBinary, 4, [&](Bytes& out) { PutNumber(out, p.selectPopupsWidth); },
        [&](const Bytes* in) {
            p.selectPopupsWidth =
                PanelWidthOr(in, d.selectPopupsWidth, kSelectPopupsMinWidth, read.selectWindowWidth);
        });
    row(u"selectPopupsState", kRegBinary, kSelectPopupCount * kPopupRegionStateSize,
        [&](Bytes& out) { PutStates(out, p.selectPopupsState); },
        [&](const Bytes* in) { p.selectPopupsState = StatesOr(in, d.selectPopupsState); });
    // The three list filters are one byte typed REG_DWORD.
    row(u"filterCat", kRegDword, 1, [&](Bytes& out) { PutByte(out, p.filter.category); },
        [&](const Bytes* in) { p.filter.category = ByteOr(in, d.filter.category, kFilterCategoryMax); });
    row(u"filterSkill", kRegDword, 1, [&](Bytes& out) { PutByte(out, p.filter.skill); },
        [&](const Bytes* in) { p.filter.skill = ByteOr(in, d.filter.skill, kFilterSkillMax); });
    row(u"filterTime", kRegDword, 1, [&](Bytes& out) { PutByte(out, p.filter.time); },
        [&](const Bytes* in) { p.filter.time = ByteOr(in, d.filter.time, kFilterTimeMax); });
    row(u"filterFav", kRegBinary, 1, [&](Bytes& out) { PutByte(out, p.filter.favoritesOnly); },
        [&](const Bytes* in) { p.filter.favoritesOnly = ByteOr(in, d.filter.favoritesOnly, 1); });
    // The empty list is stored as the one entry kNoFavorite.
    row(u"favNum", kRegDword, 4,
        [&](Bytes& out) { PutNumber(out, p.favorites.ids.empty() ? 1 : static_cast<uint32_t>(p.favorites.ids.size())); },
        [&](const Bytes* in) {
            const uint32_t count = NumberOr(in, 0);
            read.favoriteCount = count <= kMaxFavorites ? count : 0;
        });
    row(u"favList", kRegBinary, 2 * static_cast<size_t>(read.favoriteCount),
        [&](Bytes& out) {
            if (p.favorites.ids.empty())
                AppendLE(out, kNoFavorite);
            for (uint16_t id : p.favorites.ids)
                AppendLE(out, id);
        },
        [&](const Bytes* in) {
            // Only a list of exactly the stored count is used, and of it only
            // the ids of games in the database, each once.
            p.favorites = d.favorites;
            if (read.favoriteCount == 0 || !in || in->size() != 2 * size_t{read.favoriteCount})
                return;
            for (uint32_t i = 0; i < read.favoriteCount; ++i) {
                const uint16_t id = LoadLE<uint16_t>(in->data() + 2 * i);
                if (std::find(o.gameIds.begin(), o.gameIds.end(), id) != o.gameIds.end() &&
                    !p.favorites.IsFavorite(id))
                    p.favorites.ids.push_back(id);
            }
        });
}

// Writes every value, or only those named in `only`.
void WritePrefs(CRegistryKey& key, AppPreferences& prefs, std::initializer_list<const char16_t*> only = {}) {
    const PreferencesLoadOptions unused;
    ReadState state;
    state.options = &unused;
    VisitValues(prefs, state, [&](const char16_t* name, uint32_t type, size_t, auto&& encode, auto&&) {
        const std::u16string_view row(name);
        if (only.size() != 0 &&
            std::none_of(only.begin(), only.end(), [&](const char16_t* wanted) { return row == wanted; }))
            return;
        Bytes bytes;
        encode(bytes);
        key.WriteValue(name, type, bytes.data(), bytes.size());
    });
}

// Reads either the run marker alone or every other value; types are not
// checked, sizes are.
enum class ReadPass { kMarker, kValues };
void ReadValues(const CRegistryKey& key, AppPreferences& prefs, ReadState& state, ReadPass pass) {
    VisitValues(prefs, state, [&](const char16_t* name, uint32_t, size_t maxSize, auto&&, auto&& decode) {
        if ((name == kFailedValue) != (pass == ReadPass::kMarker))
            return;
        uint32_t type = kRegNone;
        Bytes bytes;
        decode(key.QueryValue(name, type, bytes, maxSize) ? &bytes : nullptr);
    });
}

}  // namespace

bool StorePreferenceValues(AppPreferences& prefs, std::initializer_list<const char16_t*> names) {
    CRegistryKey key;
    if (!key.Create(ProgramSubKey(kPrefsKey)))
        return false;
    if (names.size() != 0)
        WritePrefs(key, prefs, names);
    return true;
}

PreferencesLoadResult LoadPreferences(AppPreferences& prefs, const PreferencesLoadOptions& options) {
    PreferencesLoadResult result;
    prefs.failed = 1;
    CRegistryKey key;
    bool created = false;
    if (!key.Create(ProgramSubKey(kPrefsKey), &created)) {
        SetDefaultPrefs(prefs);
        return result;
    }
    result.keyOpened = true;
    if (created) {
        SetDefaultPrefs(prefs);
        WritePrefs(key, prefs);
        result.firstStart = true;
        return result;
    }

    // The run marker is 0 only after a clean close; missing or any other
    // value means the last run ended some other way.
    ReadState state;
    state.options = &options;
    ReadValues(key, prefs, state, ReadPass::kMarker);
    if (prefs.failed == 0) {
        prefs.failed = 1;
        key.WriteValue(kFailedValue, kRegBinary, &prefs.failed, 1);
    } else {
        result.abnormalEnd = true;
        if (options.askResetAfterAbnormalEnd && options.askResetAfterAbnormalEnd()) {
            SetDefaultPrefs(prefs);
            WritePrefs(key, prefs);
            result.reset = true;
            return result;
        }
    }

    // The selection dialog keeps its own placement in this key.
    state.selectWindowWidth = options.selectWindowWidth;
    uint32_t type = kRegNone;
    Bytes selectPlacement;
    if (key.QueryValue(kSelectWindowPosValue, type, selectPlacement, kWindowPlacementSize) &&
        selectPlacement.size() == kWindowPlacementSize) {
        // The dialog gets that size back, made to fit the work area.
        state.selectWindowWidth = std::max(
            state.selectWindowWidth, std::min(NormalWidth(DecodePlacement(selectPlacement.data())), options.workAreaWidth));
    }
    ReadValues(key, prefs, state, ReadPass::kValues);
    result.placementRead = state.placementRead;
    return result;
}

bool SavePreferences(AppPreferences& prefs, PreferencesSave reason) {
    prefs.failed = reason == PreferencesSave::kCleanClose ? 0 : 1;
    CRegistryKey key;
    if (!key.Create(ProgramSubKey(kPrefsKey)))
        return false;
    WritePrefs(key, prefs);
    return true;
}

}  // namespace corvelle
