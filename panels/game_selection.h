// The plain logic of the game selection dialog: the table of games built
// from the database's tables, the filter, the favourites, the rows of the
// game list, which game the side panel shows, the shortened names of the
// list, the related list's rows and the dialog's stored placement. Free of
// windows so that it is tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/records.h"
#include "logic/preferences.h"

namespace corvelle {

constexpr uint32_t kCategoryOtherFilter = 11;
// No game in the list selection or shown by the panel.
constexpr uint32_t kNoListGame = 0xFFFF;

// One game of the database, as the selection list shows and filters it.
struct CGameEntry {
    std::u16string name;
    uint16_t id = 0;
    uint32_t category = kCategoryOtherFilter;   // 1..10, 11 "Other"
    std::vector<uint32_t> extraCategories;      // the same coding
    uint32_t difficulty = 1;                    // 1..3
    uint32_t timeClass = 1;                     // 1..4
};

// The database's tables as stored: SOLID (u16 per game), SOLCAT (u16 per
// game), SOLACAT (u16 id, u16 category pairs), SOLSKILL and SOLTIME (one
// byte per game). A missing table is null with size 0.
struct GameTables {
    const uint8_t* ids = nullptr;
    uint32_t idsSize = 0;
    const uint8_t* categories = nullptr;
    uint32_t categoriesSize = 0;
    const uint8_t* extraCategories = nullptr;
    uint32_t extraCategoriesSize = 0;
    const uint8_t* skills = nullptr;
    uint32_t skillsSize = 0;
    const uint8_t* times = nullptr;
    uint32_t timesSize = 0;
};

// One entry per game of SOLID (at most kMaxGames). Values a table does not
// hold, or holds out of range, read as "Other", easy and the shortest time
// class; extra categories naming no game are skipped.
std::vector<CGameEntry> BuildGameTable(const GameTables& tables,
                                       const std::function<std::u16string(uint32_t)>& nameOf);
// The tables of the program's resources (LoadAppResource).
GameTables LoadGameTables();

// The category, difficulty and time test (favourites are FilterGames').
bool PassesFilter(const CGameEntry& entry, const SelectionFilter& filter);
// The list's rows: the positions that pass, ascending; the single
// placeholder kNoGame when none does.
std::vector<uint32_t> FilterGames(const std::vector<CGameEntry>& table, const SelectionFilter& filter,
                                  const FavoritesList& favorites);

// A game id present already is not added again; removing takes away every
// occurrence.
void AddFavorite(FavoritesList& favorites, uint16_t id);
void RemoveFavorite(FavoritesList& favorites, uint16_t id);

// Which game the side panel shows, following the list's selection by game
// position (never by row: a refill moves games to other rows).
class SelectionTracker {
public:
    enum class Step { None, Clear, Show };
    // Item changes of the list: a game's row gained or lost the selection.
    void OnSelected(uint32_t position);
    void OnDeselected(uint32_t position);
    // The list was emptied and filled again: nothing is selected.
    void OnRefill() { pending = kNoListGame; }
    // What the panel must do to follow; on Show, *position is the game.
    Step Update(uint32_t* position);

private:
    uint32_t pending = kNoListGame;
    uint32_t shown = kNoListGame;
};

// The name shortened to fit `width` with a trailing "…": the longest prefix
// that fits, down to "…" alone. `measure` gives a text's width.
std::u16string FitWithEllipsis(const std::u16string& name, int32_t width,
                               const std::function<int32_t(const std::u16string&)>& measure);

// The related list's row at (x, y) of a client area width x height with
// `count` rows of kRelatedRowHeight, or -1 outside the area or below the
// last row. `isGame` tells whether a row stands for a game.
constexpr int32_t kRelatedRowHeight = 16;
int32_t RelatedRowAt(int32_t x, int32_t y, int32_t width, int32_t height, int32_t count,
                     const std::function<bool(int32_t)>& isGame);

// A stored placement (left, top, right, bottom) made to fit the work area:
// its size at least minWidth x minHeight and at most the work area's, moved
// inside the work area.
struct PlacementRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
PlacementRect ClampPlacement(const PlacementRect& saved, const PlacementRect& workArea, int32_t minWidth,
                             int32_t minHeight);

// The selection dialog's layout in a client area of width x height: the
// side panel at the left, the game list beside it, Play under the list's
// left edge and Cancel at the right. The panel takes `panelWidth` but
// leaves the list at least `listMinWidth` (never narrower than
// `panelMinWidth` itself); the buttons never overlap.
struct SelectDialogLayout {
    PlacementRect panel, list, play, cancel;
};
constexpr int32_t kSelectMargin = 10;
constexpr int32_t kSelectButtonWidth = 60;
constexpr int32_t kSelectButtonHeight = 20;
// The client width the list and its margins leave the panel.
int32_t SelectPanelRoom(int32_t listMinWidth);
SelectDialogLayout LayOutSelectDialog(int32_t width, int32_t height, int32_t panelWidth, int32_t panelMinWidth,
                                      int32_t listMinWidth);

}  // namespace corvelle
