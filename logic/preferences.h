// The program's persistent settings and remembered state, stored one
// registry value each in the key "prefs" below the program's key:
// game options (timed game, animation, play mode, background, card back),
// the game in play, the layout of the command bar and of both side panels,
// the selection filters, the favourites, the last name entered for a best
// time, the save stamps of the saved-game slots, the main window's placement
// and the run marker "failed" that tells whether the last run ended cleanly.
//
// Plain C++ over the registry layer, so it builds and is tested natively and
// for Windows. The main window owns one AppPreferences, fills it once with
// LoadPreferences at start-up and stores it with SavePreferences; everything
// in between reads and changes the members directly.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

namespace corvelle {

// The kind of one side-panel region.
enum PopupRegionId : uint32_t {
    kRegionAdvertisement = 0,
    kRegionRules = 1,
    kRegionBestTimes = 2,
    kRegionStatistics = 3,
    kRegionFilter = 4,
    kRegionPreview = 5,
    kRegionRelated = 6,
};

// One position of a side panel, in display order. Stored as 8 bytes: u32 id,
// u8 expanded, three bytes that mean nothing.
struct PopupRegionState {
    uint32_t id = 0;          // a PopupRegionId
    uint8_t expanded = 1;     // 1 expanded
};
inline bool operator==(const PopupRegionState& a, const PopupRegionState& b) {
    return a.id == b.id && a.expanded == b.expanded;
}
constexpr size_t kPopupRegionStateSize = 8;
constexpr size_t kMainPopupCount = 4;
constexpr size_t kSelectPopupCount = 6;

// The game list's filters in the selection dialog.
struct SelectionFilter {
    uint8_t category = 0;        // 0 any, 1 .. 11 a category (11 "Other")
    uint8_t skill = 0;           // 0 any, 1 .. 3
    uint8_t time = 0;            // 0 any, 1 .. 4 a time class
    uint8_t favoritesOnly = 0;   // 0 or 1
};
constexpr uint8_t kFilterCategoryMax = 11;
constexpr uint8_t kFilterSkillMax = 3;
constexpr uint8_t kFilterTimeMax = 4;

// The player's favourite games by game id (the database's id table, not the
// position). Empty means no favourites; the stored form of the empty list is
// one entry 0xFFFF with a count of 1.
struct FavoritesList {
    std::vector<uint16_t> ids;
    bool IsFavorite(uint16_t id) const;
};
constexpr uint16_t kNoFavorite = 0xFFFF;
constexpr uint32_t kMaxFavorites = 800;

// The main window's placement as the system reports it (44 bytes stored:
// length, flags, show command, minimised and maximised positions, normal
// rectangle). Only the normal rectangle's size is used when it is restored.
struct WindowPlacement {
    uint32_t length = 44;
    uint32_t flags = 0;
    uint32_t showCmd = 0;
    int32_t minPosition[2] = {};
    int32_t maxPosition[2] = {};
    int32_t normalLeft = 0;
    int32_t normalTop = 0;
    int32_t normalRight = 0;
    int32_t normalBottom = 0;
};
constexpr size_t kWindowPlacementSize = 44;

// How the left mouse button plays (stored as one byte, "playMode"):
// clicking a card and then its destination, or dragging it there.
enum class PlayMode : uint8_t { kClick = 0, kDrag = 1 };

// The size a window takes from a stored placement: its normal rectangle's
// size made to fit the work area (workWidth x workHeight), but never below
// the window's smallest size, which wins over a smaller work area. Any
// stored values give a size within those bounds.
struct WindowSize {
    int32_t width = 0;
    int32_t height = 0;
};
WindowSize StoredWindowSize(const WindowPlacement& placement, int32_t workWidth, int32_t workHeight,
                            int32_t minWidth, int32_t minHeight);

// Time limits (minutes) a timed game may have.
constexpr uint32_t kTimeLimits[] = {1, 3, 5, 10};
bool IsOfferedTimeLimit(uint32_t minutes);

constexpr uint32_t kNoCurrentGame = 0xFFFFFFFF;
constexpr uint32_t kDefaultBgColor = 0x008000;   // COLORREF 0x00BBGGRR: dark green
constexpr uint32_t kMainPopupsDefaultWidth = 221;
constexpr uint32_t kMainPopupsMinWidth = 221;
constexpr uint32_t kSelectPopupsDefaultWidth = 230;
constexpr uint32_t kSelectPopupsMinWidth = 160;
constexpr size_t kLastEnteredNameLength = 15;   // characters, plus a 0
constexpr size_t kSaveSlotCount = 10;
constexpr size_t kCommandCount = 6;             // the command bar's: ID_GAME_NEW .. ID_TOOLS_OPTIONS
constexpr uint8_t kNotInCommandBar = 0xFF;
// The most items a stored command bar may hold: each command with a
// separator on either side. A longer stored bar gives the default bar.
constexpr uint8_t kMaxCommandBarItems = 2 * kCommandCount + 1;
// The artwork has one card back.
constexpr uint32_t kCardBackCount = 1;
// A stored colour is a COLORREF of red, green and blue: one with any other
// bits set (a palette index, CLR_INVALID) gives its default.
constexpr uint32_t kColourBits = 0x00FFFFFF;

constexpr std::array<uint32_t, 16> kDefaultCustomColors = {
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
constexpr std::array<PopupRegionState, kMainPopupCount> kDefaultMainPopupsState = {{
    {kRegionAdvertisement, 1}, {kRegionRules, 1}, {kRegionBestTimes, 1}, {kRegionStatistics, 1}}};
constexpr std::array<PopupRegionState, kSelectPopupCount> kDefaultSelectPopupsState = {{
    {kRegionFilter, 1}, {kRegionPreview, 1}, {kRegionRules, 1},
    {kRegionRelated, 1}, {kRegionBestTimes, 1}, {kRegionStatistics, 1}}};
constexpr std::array<uint8_t, kCommandCount> kDefaultCommandBarButtons = {0, 1, 2, 4, 5, 7};

// Every member holds its default after construction (favourites empty).
struct AppPreferences {
    uint8_t failed = 1;            // run marker as last read or written
    uint8_t timedGame = 0;
    uint32_t timeLimit = 3;        // minutes, one of kTimeLimits
    uint8_t animation = 1;
    PlayMode playMode = PlayMode::kDrag;
    uint32_t bgColor = kDefaultBgColor;
    std::array<uint32_t, 16> bgCustomColors = kDefaultCustomColors;
    uint8_t bgPicture = 0;         // 0 none, 1 the field picture
    uint8_t bgPicturePosition = 0; // 0 centre, 1 tile, 2 stretch
    uint32_t cardBack = 0;         // 0 .. kCardBackCount - 1
    uint32_t curSolId = kNoCurrentGame;   // database position of the game in play
    uint32_t curGameNumber = 0;
    std::array<char16_t, kLastEnteredNameLength + 1> lastEnteredName = {};   // 0-terminated
    std::array<uint32_t, kSaveSlotCount> lastPlayed = {};   // time() of the last save per slot
    WindowPlacement mainWindowPos;   // set by the window before saving; see LoadPreferences
    uint8_t mainPopupsEnabled = 1;
    uint32_t mainPopupsWidth = kMainPopupsDefaultWidth;
    std::array<PopupRegionState, kMainPopupCount> mainPopupsState = kDefaultMainPopupsState;
    uint8_t commandBarEnabled = 1;
    uint8_t commandBarIconType = 1;      // 1 big icons, 0 small
    uint8_t commandBarButtonsNum = 8;    // items in the bar, separators included
    std::array<uint8_t, kCommandCount> commandBarButtons = kDefaultCommandBarButtons;   // position per command
    uint32_t selectPopupsWidth = kSelectPopupsDefaultWidth;
    std::array<PopupRegionState, kSelectPopupCount> selectPopupsState = kDefaultSelectPopupsState;
    SelectionFilter filter;
    FavoritesList favorites;
};

// Every member except the run marker and the window placement back to its
// default.
void SetDefaultPrefs(AppPreferences& prefs);

struct PreferencesLoadOptions {
    // The database's game ids, one per position. Favourites naming any other
    // id are dropped and a current game beyond the database becomes none.
    std::vector<uint16_t> gameIds;
    // The widest the main window's side panel may be: it leaves the field
    // its smallest width in the widest window the work area holds. A stored
    // width above it, or below the panel's minimum, gives the default.
    uint32_t mainPanelMaxWidth = 1100;
    // The selection dialog's width as it opens without a stored placement
    // (its smallest), and the work area's width. Its panel may be as wide as
    // the dialog: the stored placement's width made to fit the work area, or
    // selectWindowWidth without one.
    uint32_t selectWindowWidth = 600;
    uint32_t workAreaWidth = UINT32_MAX;
    // Asked when the last run did not end cleanly; true resets every value to
    // its default. Without it the stored values are kept.
    std::function<bool()> askResetAfterAbnormalEnd;
};

struct PreferencesLoadResult {
    bool keyOpened = false;        // false: defaults in memory, nothing written
    bool firstStart = false;       // the key did not exist: defaults written
    bool abnormalEnd = false;      // the last run did not end cleanly (asked)
    bool reset = false;            // the values were reset to their defaults
    bool placementRead = false;    // mainWindowPos holds the stored placement
};

// Reads the preferences at start-up and marks the run as started ("failed"
// 1 in the registry). On a first start, and when the player chose to reset
// after an abnormal end, the defaults are written with prefs.mainWindowPos
// (the window's current placement, set by the caller before the call) and
// nothing stored is read. Otherwise every value that is missing, of the
// wrong size or out of range takes its default. The caller applies
// mainWindowPos when placementRead is set (only its normal size is meant to
// be used: the window is then centred).
PreferencesLoadResult LoadPreferences(AppPreferences& prefs, const PreferencesLoadOptions& options);

// Why the preferences are stored: only a clean close clears the run marker;
// a save while the program goes on running (a confirmed options dialog)
// keeps it set, so a crash afterwards is still detected.
enum class PreferencesSave { kWhileRunning, kCleanClose };

// Writes every value in its stored order; mainWindowPos is written as it
// stands. Returns false when the key cannot be opened.
bool SavePreferences(AppPreferences& prefs, PreferencesSave reason);

// Names of the values stored while the program runs (StorePreferenceValues).
constexpr char16_t kCurSolIdValue[] = u"curSolId";
constexpr char16_t kCurGameNumberValue[] = u"curGameNumber";
constexpr char16_t kLastPlayedValue[] = u"lastPlayed";

// Writes the named values alone, each in its stored form, while the program
// runs: the game in play when it changes and the save stamps after each
// save, so that a run that does not end cleanly leaves them current.
// Returns false when the key cannot be opened.
bool StorePreferenceValues(AppPreferences& prefs, std::initializer_list<const char16_t*> names);

// The database's game ids, one per position (the "SOLID" table).
std::vector<uint16_t> DatabaseGameIds();

}  // namespace corvelle
