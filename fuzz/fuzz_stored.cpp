// Fuzz target: everything the program reads back from the registry, written
// there from outside and read through the program's own reading code (the
// host build's in-memory registry stands for the real one):
//  - the preferences through LoadPreferences: every value must come out in
//    its range, store and read back unchanged, and feed what uses it (the
//    options dialog's lists, the command bar's restore steps, the selection
//    list's filter, the window placements) without a step out of range;
//  - a game's statistics and best times: read, a game added, a time entered;
//  - a saved game through the whole restore: the slot is dropped or the game
//    restored is consistent, its hints are moves the player may make, a few
//    steps are played, it saves and restores to the same game, and undo runs
//    back through its whole history.
// The input format is fuzz/stored_input.h.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/byte_order.h"
#include "engine/invariants.h"
#include "engine/player_move.h"
#include "engine/registry.h"
#include "engine/saved_game.h"
#include "engine/statistics.h"
#include "fuzz/stored_input.h"
#include "logic/command_bar_layout.h"
#include "logic/options_values.h"
#include "logic/preferences.h"
#include "models/model_games.h"
#include "panels/game_selection.h"
#include "panels/panel_layout.h"
#include "panels/panel_texts.h"

using namespace corvelle;
using corvelle::fuzz::StoredInput;

namespace {

using Bytes = std::vector<uint8_t>;

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_stored: %s\n", what);
        std::abort();
    }
}

// ---------------------------------------------------------------- preferences

// A database of 100 games whose ids are not their positions.
const std::vector<uint16_t>& GameIds() {
    static const std::vector<uint16_t> ids = [] {
        std::vector<uint16_t> v;
        for (uint16_t i = 0; i < 100; ++i)
            v.push_back(static_cast<uint16_t>(3 * i + 1));
        return v;
    }();
    return ids;
}

template <size_t N>
bool IsOrderOf(const std::array<PopupRegionState, N>& states, const std::array<PopupRegionState, N>& defaults) {
    for (const PopupRegionState& d : defaults)
        if (std::count_if(states.begin(), states.end(), [&](const PopupRegionState& s) { return s.id == d.id; }) != 1)
            return false;
    return std::all_of(states.begin(), states.end(), [](const PopupRegionState& s) { return s.expanded <= 1; });
}

// Everything but the run marker.
bool SamePreferences(const AppPreferences& a, const AppPreferences& b) {
    const auto placement = [](const WindowPlacement& p) {
        return std::vector<int64_t>{p.length, p.flags, p.showCmd, p.minPosition[0], p.minPosition[1],
                                    p.maxPosition[0], p.maxPosition[1], p.normalLeft, p.normalTop,
                                    p.normalRight, p.normalBottom};
    };
    return a.timedGame == b.timedGame && a.timeLimit == b.timeLimit && a.animation == b.animation &&
           a.playMode == b.playMode && a.bgColor == b.bgColor && a.bgCustomColors == b.bgCustomColors &&
           a.bgPicture == b.bgPicture && a.bgPicturePosition == b.bgPicturePosition && a.cardBack == b.cardBack &&
           a.curSolId == b.curSolId && a.curGameNumber == b.curGameNumber && a.lastEnteredName == b.lastEnteredName &&
           a.lastPlayed == b.lastPlayed && placement(a.mainWindowPos) == placement(b.mainWindowPos) &&
           a.mainPopupsEnabled == b.mainPopupsEnabled && a.mainPopupsWidth == b.mainPopupsWidth &&
           a.mainPopupsState == b.mainPopupsState && a.commandBarEnabled == b.commandBarEnabled &&
           a.commandBarIconType == b.commandBarIconType && a.commandBarButtonsNum == b.commandBarButtonsNum &&
           a.commandBarButtons == b.commandBarButtons && a.selectPopupsWidth == b.selectPopupsWidth &&
           a.selectPopupsState == b.selectPopupsState && a.filter.category == b.filter.category &&
           a.filter.skill == b.filter.skill && a.filter.time == b.filter.time &&
           a.filter.favoritesOnly == b.filter.favoritesOnly && a.favorites.ids == b.favorites.ids;
}

// The normal width of a stored 44-byte placement (left at byte 28, right at
// byte 36), 0 when there is none.
int64_t StoredNormalWidth(const Bytes& placement) {
    if (placement.size() != kWindowPlacementSize)
        return 0;
    return int64_t{LoadLE<int32_t>(placement.data() + 36)} - LoadLE<int32_t>(placement.data() + 28);
}

void CheckRanges(const AppPreferences& p, int64_t mainBound, int64_t selectBound) {
    Check(IsOfferedTimeLimit(p.timeLimit), "time limit");
    Check(p.timedGame <= 1 && p.animation <= 1 && p.mainPopupsEnabled <= 1 && p.commandBarEnabled <= 1, "flag");
    Check(static_cast<uint8_t>(p.playMode) <= 1 && p.bgPicture <= 1 && p.bgPicturePosition <= 2 && p.commandBarIconType <= 1, "list");
    Check(p.commandBarButtonsNum <= kMaxCommandBarItems, "command bar count");
    Check(p.cardBack < kCardBackCount, "card back");
    Check(p.bgColor <= 0xFFFFFF && *std::max_element(p.bgCustomColors.begin(), p.bgCustomColors.end()) <= 0xFFFFFF,
          "colour not a plain RGB value");
    Check(p.curSolId == kNoCurrentGame || p.curSolId < GameIds().size(), "current game");
    Check(p.lastEnteredName.back() == 0, "last name without its end");
    Check(IsOrderOf(p.mainPopupsState, kDefaultMainPopupsState), "main panel order");
    Check(IsOrderOf(p.selectPopupsState, kDefaultSelectPopupsState), "selection panel order");
    Check(ValidMainPopupsState(p.mainPopupsState) == p.mainPopupsState, "main panel order refused");
    Check(p.mainPopupsWidth == kMainPopupsDefaultWidth ||
              (p.mainPopupsWidth >= kMainPopupsMinWidth && p.mainPopupsWidth <= mainBound),
          "main panel width");
    Check(p.selectPopupsWidth == kSelectPopupsDefaultWidth ||
              (p.selectPopupsWidth >= kSelectPopupsMinWidth && p.selectPopupsWidth <= selectBound),
          "selection panel width");
    Check(p.filter.category <= kFilterCategoryMax && p.filter.skill <= kFilterSkillMax &&
              p.filter.time <= kFilterTimeMax && p.filter.favoritesOnly <= 1,
          "filter");
    Check(p.favorites.ids.size() <= kMaxFavorites, "favourites count");
    for (size_t i = 0; i < p.favorites.ids.size(); ++i) {
        const uint16_t id = p.favorites.ids[i];
        Check(std::find(GameIds().begin(), GameIds().end(), id) != GameIds().end(), "favourite not a game");
        Check(std::find(p.favorites.ids.begin(), p.favorites.ids.begin() + static_cast<long>(i), id) ==
                  p.favorites.ids.begin() + static_cast<long>(i),
              "favourite twice");
    }
}

// What the program builds from the values it read.
void CheckUses(const AppPreferences& p, const Bytes& selectPlacement) {
    const OptionValues v = OptionValuesFrom(p);
    const int limit = TimeLimitIndex(v.timeLimit);
    Check(limit >= 0 && limit < 4 && TimeLimitFromIndex(limit) == v.timeLimit, "time limit list");
    Check(ListIndex(static_cast<uint8_t>(v.playMode), kPlayModeItems) >= 0 && ListIndex(v.bgPicture, kPictureItems) >= 0 &&
              ListIndex(v.bgPicturePosition, kPicturePositionItems) >= 0,
          "options list without a selection");

    // The toolbar replays the restore steps without checks of its own: each
    // must name places the bar has at that moment.
    std::vector<int> items;
    for (int c = 0; c < static_cast<int>(kCommandCount); ++c)
        items.push_back(c);
    for (const CommandBarStep& step : CommandBarRestoreSteps(p.commandBarButtonsNum, p.commandBarButtons)) {
        const int n = static_cast<int>(items.size());
        switch (step.kind) {
        case CommandBarStep::kMove:
            Check(step.from >= 0 && step.from < n && step.to >= 0 && step.to < n, "command bar move");
            break;
        case CommandBarStep::kInsertSeparator:
            Check(step.to >= 0 && step.to <= n, "command bar separator");
            break;
        case CommandBarStep::kDelete:
            Check(step.to >= 0 && step.to < n, "command bar delete");
            break;
        }
        ApplyCommandBarSteps(items, {step});
    }
    Check(items == RestoreCommandBarLayout(p.commandBarButtonsNum, p.commandBarButtons), "command bar steps");
    Check(items.size() == p.commandBarButtonsNum, "command bar length");
    for (int c = 0; c < static_cast<int>(kCommandCount); ++c)
        Check(std::count(items.begin(), items.end(), c) <= 1, "command twice on the bar");
    const CommandBarLayout stored = StoreCommandBarLayout(items);
    Check(RestoreCommandBarLayout(stored.count, stored.positions) == items, "command bar does not store back");

    std::vector<CGameEntry> table;
    for (size_t i = 0; i < GameIds().size(); ++i) {
        CGameEntry e;
        e.id = GameIds()[i];
        e.category = 1 + i % 11;
        e.difficulty = 1 + i % 3;
        e.timeClass = 1 + i % 4;
        table.push_back(e);
    }
    const std::vector<uint32_t> rows = FilterGames(table, p.filter, p.favorites);
    Check(!rows.empty(), "no rows");
    for (size_t i = 0; i < rows.size(); ++i)
        Check((rows[i] < table.size() && (i == 0 || rows[i] > rows[i - 1])) || (rows.size() == 1 && rows[0] == kNoGame),
              "filtered rows");

    const PlacementRect work{0, 0, 1280, 1024};
    const auto inWork = [&](const PlacementRect& r, int32_t minWidth, int32_t minHeight) {
        return r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom &&
               r.right - r.left >= minWidth && r.bottom - r.top >= minHeight;
    };
    const WindowSize main = StoredWindowSize(p.mainWindowPos, work.right, work.bottom, 1100, 800);
    Check(main.width >= 1100 && main.width <= 1280 && main.height >= 800 && main.height <= 1024,
          "main window size");
    if (selectPlacement.size() == kWindowPlacementSize) {
        const uint8_t* s = selectPlacement.data() + 28;
        const PlacementRect saved{LoadLE<int32_t>(s), LoadLE<int32_t>(s + 4), LoadLE<int32_t>(s + 8),
                                  LoadLE<int32_t>(s + 12)};
        Check(inWork(ClampPlacement(saved, work, 600, 450), 600, 450), "selection placement");
    }
}

void FuzzPreferences(StoredInput& in) {
    const uint8_t flags = in.Byte();
    PreferencesLoadOptions options;
    options.gameIds = GameIds();
    options.mainPanelMaxWidth = kMainPopupsMinWidth + in.U16();
    options.selectWindowWidth = 600u + in.U16();
    const bool reset = flags & 2;
    options.askResetAfterAbnormalEnd = [reset] { return reset; };

    const std::u16string keyPath = ProgramSubKey(u"prefs");
    if (flags & 1) {
        CRegistryKey key;
        Check(key.Create(keyPath), "prefs key");
        while (!in.IsEmpty()) {
            const char16_t* name = fuzz::kPreferenceValueNames[in.Byte() % fuzz::kPreferenceValueCount];
            const uint8_t type = in.Byte();
            size_t length = in.Byte();
            if (length == 0xFF)
                length = in.U16();
            const Bytes bytes = in.Take(length);
            key.WriteValue(name, type, bytes.data(), bytes.size());
        }
    }
    Bytes selectPlacement;
    {
        CRegistryKey key;
        uint32_t type = 0;
        if (!key.Open(keyPath) || !key.QueryValue(u"selectWindowPos", type, selectPlacement, kWindowPlacementSize))
            selectPlacement.clear();
    }

    AppPreferences prefs;
    const PreferencesLoadResult result = LoadPreferences(prefs, options);
    Check(result.keyOpened && prefs.failed <= 1, "load");
    const int64_t mainBound = options.mainPanelMaxWidth;
    const int64_t selectBound = std::max<int64_t>(options.selectWindowWidth, StoredNormalWidth(selectPlacement));
    CheckRanges(prefs, mainBound, selectBound);
    CheckUses(prefs, selectPlacement);

    // What was read is stored and read back unchanged, and a clean close
    // means no question at the next start.
    AppPreferences saved = prefs;
    Check(SavePreferences(saved, PreferencesSave::kCleanClose), "save");
    AppPreferences again;
    const PreferencesLoadResult second = LoadPreferences(again, options);
    Check(!second.abnormalEnd && !second.firstStart && second.placementRead, "second start");
    Check(SamePreferences(prefs, again), "the preferences do not come back as they were stored");
}

// ------------------------------------------------------ statistics, best times

const std::u16string kGameName = u"Fuzz Game";

void FuzzStatistics(StoredInput& in) {
    const uint8_t type = in.Byte();
    const Bytes stored = in.Take(in.Byte());
    const bool won = in.Byte() & 1;
    const uint32_t seconds = in.U32();
    {
        CRegistryKey key;
        Check(key.Create(ProgramSubKey(u"statistics\\" + kGameName)), "statistics key");
        key.WriteValue(u"data", type, stored.data(), stored.size());
    }
    GameStatistics read;
    ReadGameStatistics(kGameName, read);
    GameStatistics expected;
    if (type == kRegBinary && stored.size() == 8)
        expected = GameStatistics{LoadLE<uint16_t>(stored.data()), LoadLE<uint16_t>(stored.data() + 2),
                                  LoadLE<uint32_t>(stored.data() + 4)};
    if (expected.won > expected.played)
        expected = GameStatistics();   // no count of games the program keeps gives that
    Check(read.played == expected.played && read.won == expected.won && read.totalSeconds == expected.totalSeconds,
          "statistics read");

    AddGameStatistics(kGameName, won, seconds);
    GameStatistics after;
    ReadGameStatistics(kGameName, after);
    Check(after.played == std::min(expected.played + 1, 0xFFFF), "games played");
    Check(after.won == (won ? std::min(expected.won + 1, 0xFFFF) : expected.won), "games won");
    Check(after.totalSeconds == std::min<uint64_t>(uint64_t{expected.totalSeconds} + seconds, 0xFFFFFFFFu), "time");
    const std::array<std::u16string, 5> texts = StatisticsValues(after.played, after.won, after.totalSeconds);
    const std::u16string& rate = texts[2];
    Check(!rate.empty() && rate.back() == u'%' && (rate.size() <= 3 || rate == u"100%"), "win rate above 100%");
}

void CheckEntryNames(const CBestTimesTable& table) {
    for (int i = 0; i < kBestTimeEntries; ++i) {
        const char16_t* name = table.GetName(i);
        int length = 0;
        while (length < 16 && name[length] != 0)
            ++length;
        Check(length <= kBestTimeNameLength, "best time name without its end");
        Check(BestTimeNameText(name, table.GetTime(i)).size() <= static_cast<size_t>(kBestTimeNameLength),
              "best time name text");
        BestTimeText(table.GetTime(i));
    }
}

bool Ordered(const CBestTimesTable& t) {
    for (int i = 1; i < kBestTimeEntries; ++i) {
        const uint32_t a = t.GetTime(i - 1), b = t.GetTime(i);
        if (b != 0 && (a == 0 || a > b))
            return false;
    }
    return true;
}

void FuzzBestTimes(StoredInput& in) {
    const uint8_t type = in.Byte();
    const Bytes stored = in.Take(in.U16() % 1024);
    const std::u16string path = ProgramSubKey(u"bestScores\\" + kGameName);
    {
        CRegistryKey key;
        Check(key.Create(path), "best times key");
        key.WriteValue(u"data", type, stored.data(), stored.size());
    }
    CBestTimesTable table(kGameName);
    const bool usable = type == kRegBinary && stored.size() == kBestTimesDataSize;
    for (int i = 0; i < kBestTimeEntries; ++i) {
        const uint32_t time = usable ? LoadLE<uint32_t>(stored.data() + 36 * i + 32) : 0;
        Check(table.GetTime(i) == time, "best time read");
        for (int c = 0; usable && c < kBestTimeNameLength && table.GetName(i)[c] != 0; ++c)
            Check(table.GetName(i)[c] == LoadLE<uint16_t>(stored.data() + 36 * i + 2 * c), "best time name read");
    }
    if (!usable) {
        // A table that is not its 360 bytes of binary data starts again empty.
        CRegistryKey key;
        Bytes now;
        Check(key.Open(path) && key.ReadBinary(u"data", now, 4096) && now == Bytes(kBestTimesDataSize, 0),
              "damaged best times not written back empty");
    }
    CheckEntryNames(table);

    for (int k = 0; k < 8 && !in.IsEmpty(); ++k) {
        const uint32_t seconds = in.U32();
        const uint8_t units = in.Byte() % 24;
        std::u16string name;
        for (uint8_t u = 0; u < units; ++u)
            name += static_cast<char16_t>(in.U16());
        bool qualifies = seconds != 0;
        bool room = false;
        for (int i = 0; i < kBestTimeEntries; ++i)
            room = room || table.GetTime(i) == 0 || table.GetTime(i) > seconds;
        qualifies = qualifies && room;
        Check(table.Qualifies(seconds) == qualifies, "qualifies");
        const bool ordered = Ordered(table);
        uint32_t before[kBestTimeEntries];
        for (int i = 0; i < kBestTimeEntries; ++i)
            before[i] = table.GetTime(i);
        table.Insert(name, seconds);
        int changed = 0;
        for (int i = 0; i < kBestTimeEntries; ++i)
            changed += table.GetTime(i) != before[i];
        Check(qualifies || changed == 0, "a time that does not qualify changed the table");
        Check(!ordered || Ordered(table), "insert broke the order");
        CheckEntryNames(table);
    }
    const CBestTimesTable reread(kGameName);
    for (int i = 0; i < kBestTimeEntries; ++i) {
        Check(reread.GetTime(i) == table.GetTime(i), "best times do not read back");
        Check(std::u16string(reread.GetName(i)) == std::u16string(table.GetName(i)), "best time names do not read back");
    }
}

// ----------------------------------------------------------------- saved games

class Owner : public CEngineOwner {
public:
    void ResetHintIndex() override {}
    uint32_t GetElapsedSeconds() const override { return elapsed; }
    void SetElapsedSeconds(uint32_t seconds) override { elapsed = seconds; }
    uint32_t* GetSaveStamps() override { return stamps; }
    uint32_t GetGameNumber() const override { return gameNumber; }
    void SetGameNumber(uint32_t number) override { gameNumber = number; }
    uint32_t elapsed = 0;
    uint32_t gameNumber = 0;
    uint32_t stamps[kSavedGameSlots] = {};
};

struct ModelRecords {
    Bytes records[2];
    ModelRecords() {
        records[0] = SerializeGameRecord(model::KlondikeLike());
        records[1] = SerializeGameRecord(model::SpiderLike());
    }
};

void CheckHints(const CGameEngine& e) {
    std::vector<CGameEngine::HintMove> hints;
    e.FindAllHints(hints, true);
    for (const CGameEngine::HintMove& h : hints) {
        if (h.second != kNone) {
            Check(CheckMove(e, h.first, h.second) == MoveRefusal::None, "a hint the player may not make");
        } else {
            // The click's own checks (its event may still change nothing).
            const uint16_t top = e.pileStates[h.first].count ? e.TopCard(h.first) : kNone;
            Check(e.pileStates[h.first].acceptsDrops && (top == kNone || e.cardStates[top].movable),
                  "a click hint the player may not make");
        }
    }
}

void CheckGame(const CGameEngine& e, const char* when) {
    std::string why;
    if (!CheckGameInvariants(e, &why)) {
        std::fprintf(stderr, "fuzz_stored: %s: %s\n", when, why.c_str());
        std::abort();
    }
}

void FuzzSavedGame(StoredInput& in) {
    static const ModelRecords models;
    const uint8_t options = in.Byte(), slotOptions = in.Byte(), steps = in.Byte();
    uint32_t seed = in.Byte();
    const Bytes blob = in.Rest();
    const Bytes& record = models.records[options & 1];
    const bool preview = options & 2;
    const unsigned slot = (options >> 4) % kSavedGameSlots;

    Owner owner;
    CGameEngine e(&owner);
    Check(e.LoadGameDefinition(record.data(), record.size()), "model game");
    const std::u16string path = SavedGameSlotPath(slot);
    {
        CRegistryKey key;
        Check(key.Create(path), "slot key");
        uint8_t id[2];
        StoreLE(id, e.id);
        key.WriteBinary(u"solId", id, 2);
        const uint32_t size = static_cast<uint32_t>(blob.size()) + ((slotOptions & 2) ? 1u : 0u);
        key.WriteDword(u"size", size);
        key.WriteBinary(u"data", blob.data(), blob.size());
        uint8_t hash[8];
        StoreLE(hash, DefinitionFingerprint(e) ^ ((options & 0x0C) == 8 ? 1u : 0u));
        if ((options & 0x0C) != 4)
            key.WriteBinary(u"definitionHash", hash, (options & 0x0C) == 0x0C ? 7 : 8);
        const uint8_t failed = slotOptions & 1;
        key.WriteBinary(u"failed", &failed, 1);
    }

    const bool restored = e.LoadSavedGame(preview);
    CRegistryKey key;
    const bool slotKept = key.Open(path);
    if (!restored) {
        Check(!slotKept, "a slot that did not restore is kept");
        Check(!e.HasGameInPlay() && e.history == nullptr, "a refused slot left a game in play");
        return;
    }
    Check(slotKept, "the restored slot is gone");
    uint8_t failed = 0xEE;
    Check(key.ReadBinaryExact(u"failed", &failed, 1) && failed == (preview ? 0 : 1), "restore guard");
    key.Close();
    Check(e.history != nullptr, "no history");
    CheckGame(e, "restored");
    CheckHints(e);

    // A few steps as a player makes them.
    const auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % n;
    };
    for (int s = 0; s < steps % 16; ++s) {
        std::vector<CGameEngine::HintMove> hints;
        e.FindAllHints(hints, true);
        const uint32_t what = next(8);
        if (what < 5 && !hints.empty()) {
            const CGameEngine::HintMove h = hints[next(static_cast<uint32_t>(hints.size()))];
            if (h.second == kNone)
                PlayClick(e, h.first);
            else
                Check(PlayMove(e, h.first, h.second), "a hinted move refused");
        } else if (what < 7) {
            PlayClick(e, static_cast<uint16_t>(next(e.GetPileCount())));
        } else {
            UndoStep(e);
        }
        CheckGame(e, "after a step");
    }

    // The program's own save of the game restores to the same game.
    const Bytes before = SerializeSavedGame(e, 0);
    owner.elapsed = 1;
    e.SaveGame();
    Check(e.LoadSavedGame(false), "the game saved after a restore does not restore");
    Check(SerializeSavedGame(e, 0) == before, "the game saved after a restore comes back different");

    while (UndoStep(e))
        CheckGame(e, "while undoing");
    Check(!e.CanUndo(), "undo ended early");
    CheckHints(e);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool sandbox = [] {
        SetProgramKeyPath(u"SOFTWARE\\Velmora Software\\Corvelle Fuzz");
        return true;
    }();
    (void)sandbox;
    DeleteRegistryTree(ProgramKeyPath());
    StoredInput in(data, size);
    switch (in.Byte() % fuzz::kStoredKinds) {
    case fuzz::kStoredPreferences: FuzzPreferences(in); break;
    case fuzz::kStoredStatistics: FuzzStatistics(in); break;
    case fuzz::kStoredBestTimes: FuzzBestTimes(in); break;
    default: FuzzSavedGame(in); break;
    }
    return 0;
}
