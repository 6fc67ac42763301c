// The preferences against the registry: natively against the in-memory
// registry, for Windows against Wine's real one.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/byte_order.h"
#include "engine/records.h"
#include "engine/registry.h"
#include "engine/resources.h"
#include "logic/preferences.h"
#include "support/registry_sandbox.h"

namespace corvelle {
namespace {

std::vector<uint8_t> Number(uint32_t value) {
    std::vector<uint8_t> bytes(4);
    StoreLE(bytes.data(), value);
    return bytes;
}

class PreferencesTest : public test::RegistrySandbox {
protected:
    void SetUp() override {
        RegistrySandbox::SetUp();
        options.gameIds = {100, 7, 250, 3, 42};   // ids of a five-game database
        options.askResetAfterAbnormalEnd = [this] {
            ++questions;
            return answerYes;
        };
    }

    CRegistryKey& Key() {
        if (!key.IsOpen()) {
            EXPECT_TRUE(key.Create(ProgramSubKey(u"prefs")));
        }
        return key;
    }
    std::vector<uint8_t> Stored(const char16_t* name, uint32_t* type = nullptr) {
        std::vector<uint8_t> bytes;
        uint32_t t = 0;
        EXPECT_TRUE(Key().QueryValue(name, t, bytes, 4096)) << Utf16ToUtf8(name);
        if (type)
            *type = t;
        return bytes;
    }
    void Store(const char16_t* name, uint32_t type, std::vector<uint8_t> bytes) {
        ASSERT_TRUE(Key().WriteValue(name, type, bytes.data(), bytes.size()));
    }
    void StoreNumber(const char16_t* name, uint32_t type, uint32_t value) { Store(name, type, Number(value)); }
    // Preferences as a later start finds them after a clean close.
    AppPreferences LoadAfterCleanClose() {
        AppPreferences prefs;
        EXPECT_TRUE(SavePreferences(prefs, PreferencesSave::kCleanClose));
        return prefs;
    }
    AppPreferences Load(PreferencesLoadResult* result = nullptr) {
        AppPreferences prefs;
        const PreferencesLoadResult r = LoadPreferences(prefs, options);
        if (result)
            *result = r;
        return prefs;
    }

    PreferencesLoadOptions options;
    CRegistryKey key;
    int questions = 0;
    bool answerYes = false;
};

void ExpectSame(const AppPreferences& a, const AppPreferences& b) {
    EXPECT_EQ(a.timedGame, b.timedGame);
    EXPECT_EQ(a.timeLimit, b.timeLimit);
    EXPECT_EQ(a.animation, b.animation);
    EXPECT_EQ(a.playMode, b.playMode);
    EXPECT_EQ(a.bgColor, b.bgColor);
    EXPECT_EQ(a.bgCustomColors, b.bgCustomColors);
    EXPECT_EQ(a.bgPicture, b.bgPicture);
    EXPECT_EQ(a.bgPicturePosition, b.bgPicturePosition);
    EXPECT_EQ(a.cardBack, b.cardBack);
    EXPECT_EQ(a.curSolId, b.curSolId);
    EXPECT_EQ(a.curGameNumber, b.curGameNumber);
    EXPECT_EQ(a.lastEnteredName, b.lastEnteredName);
    EXPECT_EQ(a.lastPlayed, b.lastPlayed);
    EXPECT_EQ(a.mainPopupsEnabled, b.mainPopupsEnabled);
    EXPECT_EQ(a.mainPopupsWidth, b.mainPopupsWidth);
    EXPECT_EQ(a.mainPopupsState, b.mainPopupsState);
    EXPECT_EQ(a.commandBarEnabled, b.commandBarEnabled);
    EXPECT_EQ(a.commandBarIconType, b.commandBarIconType);
    EXPECT_EQ(a.commandBarButtonsNum, b.commandBarButtonsNum);
    EXPECT_EQ(a.commandBarButtons, b.commandBarButtons);
    EXPECT_EQ(a.selectPopupsWidth, b.selectPopupsWidth);
    EXPECT_EQ(a.selectPopupsState, b.selectPopupsState);
    EXPECT_EQ(a.filter.category, b.filter.category);
    EXPECT_EQ(a.filter.skill, b.filter.skill);
    EXPECT_EQ(a.filter.time, b.filter.time);
    EXPECT_EQ(a.filter.favoritesOnly, b.filter.favoritesOnly);
    EXPECT_EQ(a.favorites.ids, b.favorites.ids);
}

// Every member away from its default, each within what it may hold.
AppPreferences ChangedPreferences() {
    AppPreferences p;
    p.timedGame = 1;
    p.timeLimit = 10;
    p.animation = 0;
    p.playMode = PlayMode::kClick;
    p.bgColor = 0x123456;
    for (size_t i = 0; i < p.bgCustomColors.size(); ++i)
        p.bgCustomColors[i] = 0x010203u * static_cast<uint32_t>(i);
    p.bgPicture = 1;
    p.bgPicturePosition = 2;
    p.cardBack = 0;   // the one back there is
    p.curSolId = 4;
    p.curGameNumber = 0xDEADBEEF;
    const std::u16string name = u"Zo\u00EB \u4E2D";
    std::copy(name.begin(), name.end(), p.lastEnteredName.begin());
    for (size_t i = 0; i < p.lastPlayed.size(); ++i)
        p.lastPlayed[i] = 1700000000u + static_cast<uint32_t>(i);
    p.mainWindowPos.flags = 2;
    p.mainWindowPos.showCmd = 3;
    p.mainWindowPos.minPosition[0] = -1;
    p.mainWindowPos.maxPosition[1] = -8;
    p.mainWindowPos.normalLeft = 10;
    p.mainWindowPos.normalTop = 20;
    p.mainWindowPos.normalRight = 1210;
    p.mainWindowPos.normalBottom = 920;
    p.mainPopupsEnabled = 0;
    p.mainPopupsWidth = 400;
    p.mainPopupsState = {{{3, 0}, {0, 1}, {2, 0}, {1, 1}}};
    p.commandBarEnabled = 0;
    p.commandBarIconType = 0;
    p.commandBarButtonsNum = 7;
    p.commandBarButtons = {0, 1, 2, kNotInCommandBar, 4, 6};
    p.selectPopupsWidth = 300;
    p.selectPopupsState = {{{6, 0}, {5, 1}, {4, 0}, {3, 1}, {2, 0}, {1, 1}}};
    p.filter = {11, 3, 4, 1};
    p.favorites.ids = {42, 100, 3};
    return p;
}

TEST_F(PreferencesTest, EveryValueIsStoredInOrderWithItsTypeAndSize) {
    AppPreferences prefs = ChangedPreferences();
    ASSERT_TRUE(SavePreferences(prefs, PreferencesSave::kWhileRunning));

    struct Row {
        const char16_t* name;
        uint32_t type;
        size_t size;
    };
    const Row rows[] = {
        {u"failed", kRegBinary, 1}, {u"timedGame", kRegBinary, 1}, {u"timeLimit", kRegDword, 4},
        {u"animation", kRegBinary, 1}, {u"playMode", kRegBinary, 1}, {u"bgColor", kRegDword, 4},
        {u"bgCustomColors", kRegBinary, 64}, {u"bgPicture", kRegBinary, 1}, {u"bgPicturePosition", kRegBinary, 1},
        {u"cardBack", kRegDword, 4}, {u"curSolId", kRegDword, 4}, {u"curGameNumber", kRegDword, 4},
        {u"lastEnteredName", kRegNone, 32}, {u"lastPlayed", kRegNone, 40}, {u"mainWindowPos", kRegBinary, 44},
        {u"mainPopupsEnabled", kRegBinary, 1}, {u"mainPopupsWidth", kRegBinary, 4},
        {u"mainPopupsState", kRegBinary, 32}, {u"commandBarEnabled", kRegBinary, 1},
        {u"commandBarIconType", kRegBinary, 1}, {u"commandBarButtonsNum", kRegBinary, 1},
        {u"commandBarButtons", kRegBinary, 6}, {u"selectPopupsWidth", kRegBinary, 4},
        {u"selectPopupsState", kRegBinary, 48}, {u"filterCat", kRegDword, 1}, {u"filterSkill", kRegDword, 1},
        {u"filterTime", kRegDword, 1}, {u"filterFav", kRegBinary, 1}, {u"favNum", kRegDword, 4},
        {u"favList", kRegBinary, 6},
    };
    // The in-memory registry lists values in the order they were first
    // written; Wine's lists them by name.
    std::vector<std::u16string> names, expected;
    for (const Row& row : rows)
        expected.push_back(row.name);
    ASSERT_TRUE(Key().ListValues(names));
#ifdef _WIN32
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
#endif
    EXPECT_EQ(names, expected);
    for (size_t i = 0; i < 30; ++i) {
        SCOPED_TRACE(Utf16ToUtf8(rows[i].name));
        uint32_t type = 0;
        EXPECT_EQ(Stored(rows[i].name, &type).size(), rows[i].size);
        EXPECT_EQ(type, rows[i].type);
    }
    // A few stored forms byte by byte.
    EXPECT_EQ(Stored(u"mainPopupsState"),
              (std::vector<uint8_t>{3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,
                                    1, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(Stored(u"favList"), (std::vector<uint8_t>{42, 0, 100, 0, 3, 0}));
    EXPECT_EQ(Stored(u"bgColor"), (std::vector<uint8_t>{0x56, 0x34, 0x12, 0}));
    EXPECT_EQ(Stored(u"lastEnteredName")[8], 0x2D);   // U+4E2D, little-endian
    EXPECT_EQ(Stored(u"mainWindowPos")[0], 44);
}

TEST_F(PreferencesTest, EveryValueComesBackAfterACleanClose) {
    AppPreferences saved = ChangedPreferences();
    ASSERT_TRUE(SavePreferences(saved, PreferencesSave::kCleanClose));
    PreferencesLoadResult result;
    const AppPreferences loaded = Load(&result);
    EXPECT_TRUE(result.keyOpened);
    EXPECT_FALSE(result.firstStart);
    EXPECT_FALSE(result.abnormalEnd);
    EXPECT_EQ(questions, 0);
    ExpectSame(loaded, saved);
    ASSERT_TRUE(result.placementRead);
    EXPECT_EQ(loaded.mainWindowPos.normalRight, 1210);
    EXPECT_EQ(loaded.mainWindowPos.minPosition[0], -1);
    EXPECT_EQ(loaded.mainWindowPos.maxPosition[1], -8);
    EXPECT_EQ(loaded.mainWindowPos.showCmd, 3u);
}

TEST_F(PreferencesTest, MissingValuesTakeTheirDefaults) {
    AppPreferences saved = ChangedPreferences();
    ASSERT_TRUE(SavePreferences(saved, PreferencesSave::kCleanClose));
    std::vector<std::u16string> names;
    ASSERT_TRUE(Key().ListValues(names));
    for (const auto& name : names)
        if (name != u"failed") {
            ASSERT_TRUE(Key().DeleteValue(name.c_str()));
        }
    AppPreferences loaded;
    loaded.mainWindowPos.normalRight = 77;   // the window's own placement stays
    const PreferencesLoadResult result = LoadPreferences(loaded, options);
    EXPECT_FALSE(result.placementRead);
    EXPECT_EQ(loaded.mainWindowPos.normalRight, 77);
    ExpectSame(loaded, AppPreferences());
}

struct BadValue {
    const char16_t* name;
    uint32_t type;
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> States(const std::vector<std::pair<uint32_t, uint8_t>>& states) {
    std::vector<uint8_t> bytes;
    for (const auto& s : states) {
        AppendLE(bytes, s.first);
        bytes.insert(bytes.end(), {s.second, 0, 0, 0});
    }
    return bytes;
}

TEST_F(PreferencesTest, StoredValuesOutOfRangeOrOfTheWrongSizeTakeTheirDefaults) {
    options.mainPanelMaxWidth = 1100;
    options.selectWindowWidth = 600;
    const BadValue bad[] = {
        {u"timeLimit", kRegDword, Number(0)},
        {u"timeLimit", kRegDword, Number(2)},
        {u"timeLimit", kRegDword, Number(0xFFFFFFFF)},
        {u"timeLimit", kRegBinary, {5}},   // too short
        {u"playMode", kRegBinary, {2}},
        {u"playMode", kRegBinary, {0, 0}},   // too long
        {u"bgPicture", kRegBinary, {0xFF}},
        {u"bgPicturePosition", kRegBinary, {3}},
        {u"cardBack", kRegDword, Number(1)},   // the artwork has one back
        {u"cardBack", kRegDword, Number(4)},
        {u"cardBack", kRegDword, Number(0x80000000)},
        {u"curSolId", kRegDword, Number(5)},   // beyond the five games
        {u"bgCustomColors", kRegBinary, std::vector<uint8_t>(63, 1)},
        {u"bgColor", kRegDword, Number(0x01123456)},   // a palette index, not a colour
        {u"bgColor", kRegDword, Number(0xFFFFFFFF)},
        {u"commandBarButtonsNum", kRegBinary, {static_cast<uint8_t>(kMaxCommandBarItems + 1)}},
        {u"commandBarButtonsNum", kRegBinary, {0xFF}},
        {u"bgCustomColors", kRegBinary, std::vector<uint8_t>(64, 1)},   // not plain RGB values
        {u"bgColor", kRegDword, Number(0x01000005)},                   // a palette index
        {u"lastPlayed", kRegNone, std::vector<uint8_t>(36, 1)},
        {u"mainPopupsWidth", kRegBinary, Number(1101)},   // wider than the work area leaves it
        {u"mainPopupsWidth", kRegBinary, Number(0xFFFFFFFF)},
        {u"mainPopupsWidth", kRegBinary, Number(220)},
        {u"selectPopupsWidth", kRegBinary, Number(601)},
        {u"selectPopupsWidth", kRegBinary, Number(159)},
        {u"mainPopupsState", kRegBinary, States({{0, 1}, {1, 1}, {1, 1}, {3, 1}})},   // repeated id
        {u"mainPopupsState", kRegBinary, States({{0, 1}, {1, 1}, {2, 1}, {4, 1}})},   // not a main id
        {u"mainPopupsState", kRegBinary, States({{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}})},   // too long
        {u"mainPopupsState", kRegBinary, States({{0, 1}, {1, 1}, {2, 1}})},   // too short
        {u"selectPopupsState", kRegBinary, States({{4, 1}, {5, 1}, {1, 1}, {6, 1}, {2, 1}, {0, 1}})},
        {u"selectPopupsState", kRegBinary, States({{4, 1}, {5, 1}, {1, 1}, {6, 1}, {2, 1}, {2, 1}})},
        {u"commandBarIconType", kRegBinary, {2}},
        {u"commandBarButtons", kRegBinary, {0, 1, 2, 3, 4}},
        {u"filterCat", kRegDword, {12}},
        {u"filterCat", kRegDword, Number(1)},   // four bytes where one is stored
        {u"filterSkill", kRegDword, {4}},
        {u"filterTime", kRegDword, {5}},
        {u"filterFav", kRegBinary, {2}},
    };
    const AppPreferences defaults;
    for (const BadValue& value : bad) {
        SCOPED_TRACE(Utf16ToUtf8(value.name) + " of " + std::to_string(value.bytes.size()) + " bytes");
        AppPreferences saved = ChangedPreferences();
        ASSERT_TRUE(SavePreferences(saved, PreferencesSave::kCleanClose));
        Store(value.name, value.type, value.bytes);
        const AppPreferences loaded = Load();
        AppPreferences expected = saved;
        const std::u16string name = value.name;
        if (name == u"timeLimit") expected.timeLimit = defaults.timeLimit;
        if (name == u"playMode") expected.playMode = defaults.playMode;
        if (name == u"bgPicture") expected.bgPicture = defaults.bgPicture;
        if (name == u"bgPicturePosition") expected.bgPicturePosition = defaults.bgPicturePosition;
        if (name == u"cardBack") expected.cardBack = defaults.cardBack;
        if (name == u"bgColor") expected.bgColor = defaults.bgColor;
        if (name == u"commandBarButtonsNum") expected.commandBarButtonsNum = defaults.commandBarButtonsNum;
        if (name == u"curSolId") expected.curSolId = kNoCurrentGame;
        if (name == u"bgCustomColors") expected.bgCustomColors = defaults.bgCustomColors;
        if (name == u"lastPlayed") expected.lastPlayed = defaults.lastPlayed;
        if (name == u"mainPopupsWidth") expected.mainPopupsWidth = defaults.mainPopupsWidth;
        if (name == u"selectPopupsWidth") expected.selectPopupsWidth = defaults.selectPopupsWidth;
        if (name == u"mainPopupsState") expected.mainPopupsState = defaults.mainPopupsState;
        if (name == u"selectPopupsState") expected.selectPopupsState = defaults.selectPopupsState;
        if (name == u"commandBarIconType") expected.commandBarIconType = defaults.commandBarIconType;
        if (name == u"commandBarButtons") expected.commandBarButtons = defaults.commandBarButtons;
        if (name == u"filterCat") expected.filter.category = 0;
        if (name == u"filterSkill") expected.filter.skill = 0;
        if (name == u"filterTime") expected.filter.time = 0;
        if (name == u"filterFav") expected.filter.favoritesOnly = 0;
        ExpectSame(loaded, expected);
    }
}

TEST_F(PreferencesTest, ValuesAtTheEdgesOfTheirRangesAreKept) {
    options.mainPanelMaxWidth = 1100;
    options.selectWindowWidth = 600;
    for (uint32_t limit : kTimeLimits) {
        AppPreferences saved = LoadAfterCleanClose();
        StoreNumber(u"timeLimit", kRegDword, limit);
        StoreNumber(u"mainPopupsWidth", kRegBinary, 1100);
        StoreNumber(u"selectPopupsWidth", kRegBinary, 160);
        StoreNumber(u"curSolId", kRegDword, 4);
        StoreNumber(u"bgColor", kRegDword, 0xFFFFFF);
        const AppPreferences loaded = Load();
        EXPECT_EQ(loaded.bgColor, 0xFFFFFFu);
        EXPECT_EQ(loaded.timeLimit, limit);
        EXPECT_EQ(loaded.mainPopupsWidth, 1100u);
        EXPECT_EQ(loaded.selectPopupsWidth, 160u);
        EXPECT_EQ(loaded.curSolId, 4u);
    }
    // The selection dialog gets its stored size back, made to fit the work
    // area, and takes a panel as wide as it. The main window's stored size
    // does not widen its panel's bound: the work area sets it.
    AppPreferences wide;
    wide.mainWindowPos.normalLeft = -100;
    wide.mainWindowPos.normalRight = 1700;
    wide.mainPopupsWidth = 1800;
    wide.selectPopupsWidth = 900;
    ASSERT_TRUE(SavePreferences(wide, PreferencesSave::kCleanClose));
    Store(u"selectWindowPos", kRegBinary, std::vector<uint8_t>(kWindowPlacementSize, 0));
    EXPECT_EQ(Load().selectPopupsWidth, kSelectPopupsDefaultWidth);
    std::vector<uint8_t> placement(kWindowPlacementSize, 0);
    StoreLE(placement.data() + 36, 900);   // the normal rectangle's right edge
    Store(u"selectWindowPos", kRegBinary, placement);
    ASSERT_TRUE(SavePreferences(wide, PreferencesSave::kCleanClose));
    const AppPreferences widths = Load();
    EXPECT_EQ(widths.mainPopupsWidth, kMainPopupsDefaultWidth);
    EXPECT_EQ(widths.selectPopupsWidth, 900u);
    options.workAreaWidth = 899;
    ASSERT_TRUE(SavePreferences(wide, PreferencesSave::kCleanClose));
    EXPECT_EQ(Load().selectPopupsWidth, kSelectPopupsDefaultWidth);
    options.workAreaWidth = UINT32_MAX;

    // Types are not checked, and flags hold 0 or 1.
    LoadAfterCleanClose();
    Store(u"timeLimit", kRegBinary, Number(10));
    Store(u"animation", kRegBinary, {9});
    StoreNumber(u"curSolId", kRegDword, kNoCurrentGame);
    const AppPreferences loaded = Load();
    EXPECT_EQ(loaded.timeLimit, 10u);
    EXPECT_EQ(loaded.animation, 1);
    EXPECT_EQ(loaded.curSolId, kNoCurrentGame);
}

TEST_F(PreferencesTest, ACustomColourThatIsNoColourTakesItsDefaultAlone) {
    LoadAfterCleanClose();
    std::vector<uint8_t> colours;
    for (uint32_t i = 0; i < 16; ++i) AppendLE(colours, i == 5 ? 0x02000000u | i : 0x102030u + i);
    Store(u"bgCustomColors", kRegBinary, colours);
    const AppPreferences loaded = Load();
    for (uint32_t i = 0; i < 16; ++i)
        EXPECT_EQ(loaded.bgCustomColors[i], i == 5 ? kDefaultCustomColors[i] : 0x102030u + i) << i;
}

TEST(StoredWindowSize, FitsTheWorkAreaButNeverGoesBelowTheWindowsMinimum) {
    auto size = [](int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t workW, int32_t workH) {
        WindowPlacement p;
        p.normalLeft = left;
        p.normalTop = top;
        p.normalRight = right;
        p.normalBottom = bottom;
        const WindowSize s = StoredWindowSize(p, workW, workH, 1100, 800);
        return std::make_pair(s.width, s.height);
    };
    EXPECT_EQ(size(10, 20, 1210, 920, 1280, 1024), std::make_pair(1200, 900));
    EXPECT_EQ(size(0, 0, 5000, 5000, 1280, 1024), std::make_pair(1280, 1024));
    EXPECT_EQ(size(0, 0, 10, 10, 1280, 1024), std::make_pair(1100, 800));
    EXPECT_EQ(size(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 1280, 1024), std::make_pair(1280, 1024));
    EXPECT_EQ(size(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, 1280, 1024), std::make_pair(1100, 800));
    // A work area smaller than the window's minimum: the minimum wins.
    EXPECT_EQ(size(0, 0, 1280, 1024, 1024, 768), std::make_pair(1100, 800));
}

TEST_F(PreferencesTest, TheLastNameAlwaysEndsWithinItsSixteenUnits) {
    LoadAfterCleanClose();
    Store(u"lastEnteredName", kRegNone, std::vector<uint8_t>(32, 'A'));   // no terminator
    AppPreferences loaded = Load();
    EXPECT_EQ(std::u16string(loaded.lastEnteredName.data()), std::u16string(15, u'\x4141'));
    EXPECT_EQ(loaded.lastEnteredName[15], 0);

    LoadAfterCleanClose();
    Store(u"lastEnteredName", kRegNone, {'B', 0, 'o', 0, 'b'});   // shorter, odd byte left over
    loaded = Load();
    EXPECT_EQ(std::u16string(loaded.lastEnteredName.data()), u"Bo");

    LoadAfterCleanClose();
    Store(u"lastEnteredName", kRegNone, std::vector<uint8_t>(34, 'A'));   // longer than its buffer
    loaded = Load();
    EXPECT_EQ(loaded.lastEnteredName[0], 0);
}

TEST_F(PreferencesTest, FavouritesNeedACountInRangeAndAListOfExactlyThatLength) {
    struct Case {
        std::vector<uint8_t> count;   // empty: no "favNum"
        std::vector<uint8_t> list;
        std::vector<uint16_t> expected;
    };
    const Case cases[] = {
        {Number(3), {42, 0, 7, 0, 3, 0}, {42, 7, 3}},
        {Number(3), {42, 0, 7, 0}, {}},                               // shorter than the count
        {Number(2), {42, 0, 7, 0, 3, 0}, {}},                         // longer than the count
        {Number(0), {}, {}},
        {{}, {42, 0}, {}},
        {Number(801), std::vector<uint8_t>(1602, 0), {}},
        {Number(0xFFFFFFFF), {42, 0}, {}},
        {Number(0x80000001), {42, 0}, {}},                            // count x 2 wraps in 32 bits
        {Number(4), {42, 0, 9, 0, 0xFF, 0xFF, 100, 0}, {42, 100}},    // ids not in the database dropped
        {Number(3), {7, 0, 3, 0, 7, 0}, {7, 3}},                      // each id once
        {Number(1), {0xFF, 0xFF}, {}},
        {{1, 0}, {42, 0}, {}},                                         // a count of the wrong size
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.count) + " " + testing::PrintToString(c.list));
        LoadAfterCleanClose();
        if (c.count.empty()) {
            ASSERT_TRUE(Key().DeleteValue(u"favNum"));
        } else {
            Store(u"favNum", kRegDword, c.count);
        }
        Store(u"favList", kRegBinary, c.list);
        EXPECT_EQ(Load().favorites.ids, c.expected);
    }
    // All 800 ids of a full database are a valid list.
    options.gameIds.clear();
    std::vector<uint8_t> list;
    for (uint16_t id = 0; id < 800; ++id) {
        options.gameIds.push_back(799 - id);
        AppendLE(list, id);
    }
    LoadAfterCleanClose();
    StoreNumber(u"favNum", kRegDword, 800);
    Store(u"favList", kRegBinary, list);
    EXPECT_EQ(Load().favorites.ids.size(), 800u);
}

TEST_F(PreferencesTest, FirstStartWritesTheDefaultsAndThePlacementWithoutAsking) {
    AppPreferences prefs = ChangedPreferences();
    prefs.mainWindowPos.normalRight = 555;   // the window as it was created
    const PreferencesLoadResult result = LoadPreferences(prefs, options);
    EXPECT_TRUE(result.firstStart);
    EXPECT_FALSE(result.abnormalEnd);
    EXPECT_FALSE(result.placementRead);
    EXPECT_EQ(questions, 0);
    ExpectSame(prefs, AppPreferences());
    EXPECT_EQ(Stored(u"failed"), std::vector<uint8_t>{1});
    EXPECT_EQ(LoadLE<int32_t>(Stored(u"mainWindowPos").data() + 36), 555);
    // The empty favourites are stored in their one-entry form.
    EXPECT_EQ(Stored(u"favNum"), Number(1));
    EXPECT_EQ(Stored(u"favList"), (std::vector<uint8_t>{0xFF, 0xFF}));
    std::vector<std::u16string> names;
    ASSERT_TRUE(Key().ListValues(names));
    EXPECT_EQ(names.size(), 30u);
}

TEST_F(PreferencesTest, OnlyACleanCloseClearsTheRunMarker) {
    AppPreferences prefs = Load();
    EXPECT_EQ(Stored(u"failed"), std::vector<uint8_t>{1});

    // Saving while running (a confirmed options dialog) keeps the marker set.
    prefs.timedGame = 1;
    ASSERT_TRUE(SavePreferences(prefs, PreferencesSave::kWhileRunning));
    EXPECT_EQ(Stored(u"failed"), std::vector<uint8_t>{1});
    EXPECT_EQ(Stored(u"timedGame"), std::vector<uint8_t>{1});

    ASSERT_TRUE(SavePreferences(prefs, PreferencesSave::kCleanClose));
    EXPECT_EQ(Stored(u"failed"), std::vector<uint8_t>{0});

    // The next start finds a clean close, asks nothing and marks the run.
    PreferencesLoadResult result;
    prefs = Load(&result);
    EXPECT_FALSE(result.abnormalEnd);
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(prefs.timedGame, 1);
    EXPECT_EQ(Stored(u"failed"), std::vector<uint8_t>{1});

    // A run that ends after that save without closing is found.
    Load(&result);
    EXPECT_TRUE(result.abnormalEnd);
    EXPECT_EQ(questions, 1);
}

TEST_F(PreferencesTest, AnAbnormalEndAsksAndYesResetsEveryValue) {
    const std::vector<std::vector<uint8_t>> markers = {{1}, {7}, {0xFF}, {}, {0, 0}};
    for (const auto& marker : markers) {
        SCOPED_TRACE(testing::PrintToString(marker));
        AppPreferences saved = ChangedPreferences();
        ASSERT_TRUE(SavePreferences(saved, PreferencesSave::kCleanClose));
        Store(u"failed", kRegBinary, marker);

        answerYes = false;
        questions = 0;
        PreferencesLoadResult result;
        AppPreferences loaded = Load(&result);
        EXPECT_EQ(questions, 1);
        EXPECT_TRUE(result.abnormalEnd);
        EXPECT_FALSE(result.reset);
        EXPECT_TRUE(result.placementRead);
        EXPECT_EQ(loaded.failed, 1);
        ExpectSame(loaded, saved);
        EXPECT_EQ(Stored(u"failed"), marker);   // No leaves the registry alone

        answerYes = true;
        loaded = Load(&result);
        EXPECT_EQ(questions, 2);
        EXPECT_TRUE(result.reset);
        EXPECT_FALSE(result.placementRead);
        ExpectSame(loaded, AppPreferences());
        EXPECT_EQ(Stored(u"failed"), std::vector<uint8_t>{1});
        EXPECT_EQ(Stored(u"curSolId"), Number(kNoCurrentGame));
        EXPECT_EQ(Stored(u"favList"), (std::vector<uint8_t>{0xFF, 0xFF}));
    }
    // A missing marker is an abnormal end too; without a question the stored
    // values are kept.
    LoadAfterCleanClose();
    ASSERT_TRUE(Key().DeleteValue(u"failed"));
    options.askResetAfterAbnormalEnd = nullptr;
    StoreNumber(u"timeLimit", kRegDword, 10);
    PreferencesLoadResult result;
    EXPECT_EQ(Load(&result).timeLimit, 10u);
    EXPECT_TRUE(result.abnormalEnd);
}

TEST_F(PreferencesTest, AKeyThatCannotBeOpenedGivesTheDefaultsAndWritesNothing) {
    // A key name longer than the registry allows cannot be created.
    const std::u16string unopenable = root + u"\\" + std::u16string(300, u'x');
    SetProgramKeyPath(unopenable);
    AppPreferences prefs = ChangedPreferences();
    const PreferencesLoadResult result = LoadPreferences(prefs, options);
    EXPECT_FALSE(result.keyOpened);
    EXPECT_EQ(questions, 0);
    ExpectSame(prefs, AppPreferences());
    EXPECT_FALSE(SavePreferences(prefs, PreferencesSave::kCleanClose));

    SetProgramKeyPath(root);
    CRegistryKey probe;
    EXPECT_FALSE(probe.Open(ProgramSubKey(u"prefs")));
    std::vector<std::u16string> names;
    if (probe.Open(root)) {
        EXPECT_TRUE(probe.ListSubKeys(names) && names.empty());
    }
}

#ifndef _WIN32
TEST(DatabaseGameIds, ReadsTheIdTableOnePerPosition) {
    const uint8_t table[] = {100, 0, 7, 0, 0x20, 0x03};
    RegisterAppResource(kResSolId, L"SOLID", table, sizeof table);
    EXPECT_EQ(DatabaseGameIds(), (std::vector<uint16_t>{100, 7, 800}));
    ClearAppResources();
    EXPECT_TRUE(DatabaseGameIds().empty());
}
#endif

}  // namespace
}  // namespace corvelle
