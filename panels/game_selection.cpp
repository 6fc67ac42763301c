#include "panels/game_selection.h"

#include <algorithm>

#include "engine/resources.h"

namespace corvelle {

namespace {

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// A stored category (0 "Other", 1..10) as the filter codes it.
uint32_t FilterCategory(uint32_t stored) {
    return stored == CategoryOther || stored >= kCategoryCount ? kCategoryOtherFilter : stored;
}

}  // namespace

std::vector<CGameEntry> BuildGameTable(const GameTables& t, const std::function<std::u16string(uint32_t)>& nameOf) {
    const uint32_t count = std::min<uint32_t>(t.ids ? t.idsSize / 2 : 0, kMaxGames);
    std::vector<CGameEntry> table(count);
    for (uint32_t i = 0; i < count; ++i) {
        CGameEntry& e = table[i];
        e.id = ReadU16(t.ids + 2 * i);
        e.category = t.categories && 2 * i + 2 <= t.categoriesSize ? FilterCategory(ReadU16(t.categories + 2 * i))
                                                                  : kCategoryOtherFilter;
        const uint32_t skill = t.skills && i < t.skillsSize ? t.skills[i] : 0;
        e.difficulty = skill < kSkillCount ? skill + 1 : 1;
        const uint32_t time = t.times && i < t.timesSize ? t.times[i] : 0;
        e.timeClass = time < kTimeClassCount ? time + 1 : 1;
        if (nameOf) e.name = nameOf(i);
    }
    if (t.extraCategories) {
        for (uint32_t k = 0; k + 4 <= t.extraCategoriesSize; k += 4) {
            const uint16_t id = ReadU16(t.extraCategories + k);
            const uint32_t category = FilterCategory(ReadU16(t.extraCategories + k + 2));
            auto it = std::find_if(table.begin(), table.end(), [id](const CGameEntry& e) { return e.id == id; });
            if (it != table.end()) it->extraCategories.push_back(category);
        }
    }
    return table;
}

GameTables LoadGameTables() {
    GameTables t;
    t.ids = LoadAppResource(kResSolId, L"SOLID", &t.idsSize);
    t.categories = LoadAppResource(kResSolCat, L"SOLCAT", &t.categoriesSize);
    t.extraCategories = LoadAppResource(kResSolACat, L"SOLACAT", &t.extraCategoriesSize);
    t.skills = LoadAppResource(kResSolSkill, L"SOLSKILL", &t.skillsSize);
    t.times = LoadAppResource(kResSolTime, L"SOLTIME", &t.timesSize);
    return t;
}

bool PassesFilter(const CGameEntry& e, const SelectionFilter& f) {
    if (f.category != 0 && e.category != f.category &&
        std::find(e.extraCategories.begin(), e.extraCategories.end(), f.category) == e.extraCategories.end()) {
        return false;
    }
    if (f.skill != 0 && e.difficulty != f.skill) return false;
    if (f.time != 0 && e.timeClass != f.time) return false;
    return true;
}

std::vector<uint32_t> FilterGames(const std::vector<CGameEntry>& table, const SelectionFilter& filter,
                                  const FavoritesList& favorites) {
    std::vector<uint32_t> rows;
    for (uint32_t i = 0; i < table.size(); ++i) {
        if (filter.favoritesOnly && !favorites.IsFavorite(table[i].id)) continue;
        if (PassesFilter(table[i], filter)) rows.push_back(i);
    }
    if (rows.empty()) rows.push_back(kNoGame);
    return rows;
}

void AddFavorite(FavoritesList& favorites, uint16_t id) {
    if (id == kNoFavorite || favorites.IsFavorite(id) || favorites.ids.size() >= kMaxFavorites) return;
    favorites.ids.push_back(id);
}

void RemoveFavorite(FavoritesList& favorites, uint16_t id) {
    favorites.ids.erase(std::remove(favorites.ids.begin(), favorites.ids.end(), id), favorites.ids.end());
}

void SelectionTracker::OnSelected(uint32_t position) {
    if (position < kNoGame) pending = position;
}

void SelectionTracker::OnDeselected(uint32_t position) {
    if (position == pending) pending = kNoListGame;
}

SelectionTracker::Step SelectionTracker::Update(uint32_t* position) {
    if (pending == shown) return Step::None;
    shown = pending;
    if (shown == kNoListGame) return Step::Clear;
    if (position) *position = shown;
    return Step::Show;
}

std::u16string FitWithEllipsis(const std::u16string& name, int32_t width,
                               const std::function<int32_t(const std::u16string&)>& measure) {
    if (measure(name) <= width) return name;
    const std::u16string ellipsis = u"\u2026";
    for (size_t n = name.size(); n > 0;) {
        --n;
        if (n == 0) break;
        std::u16string text = name.substr(0, n) + ellipsis;
        if (measure(text) <= width) return text;
    }
    return ellipsis;
}

int32_t RelatedRowAt(int32_t x, int32_t y, int32_t width, int32_t height, int32_t count,
                     const std::function<bool(int32_t)>& isGame) {
    if (x < 0 || y < 0 || x >= width || y >= height) return -1;
    const int32_t row = y / kRelatedRowHeight;
    if (row >= count) return -1;
    return isGame && isGame(row) ? row : -1;
}

PlacementRect ClampPlacement(const PlacementRect& saved, const PlacementRect& work, int32_t minWidth,
                             int32_t minHeight) {
    const int32_t workWidth = std::max<int32_t>(0, work.right - work.left);
    const int32_t workHeight = std::max<int32_t>(0, work.bottom - work.top);
    // 64-bit: a stored rectangle may hold any values.
    const int64_t savedWidth = static_cast<int64_t>(saved.right) - saved.left;
    const int64_t savedHeight = static_cast<int64_t>(saved.bottom) - saved.top;
    const int32_t w = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(savedWidth, minWidth), workWidth));
    const int32_t h = static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(savedHeight, minHeight), workHeight));
    const int32_t left = static_cast<int32_t>(std::clamp<int64_t>(saved.left, work.left, work.right - w));
    const int32_t top = static_cast<int32_t>(std::clamp<int64_t>(saved.top, work.top, work.bottom - h));
    return PlacementRect{left, top, left + w, top + h};
}

int32_t SelectPanelRoom(int32_t listMinWidth) { return listMinWidth + 2 * kSelectMargin; }

SelectDialogLayout LayOutSelectDialog(int32_t width, int32_t height, int32_t panelWidth, int32_t panelMinWidth,
                                      int32_t listMinWidth) {
    const int32_t panel =
        std::max(panelMinWidth, std::min(panelWidth, width - SelectPanelRoom(listMinWidth)));
    SelectDialogLayout layout;
    layout.panel = PlacementRect{0, 0, panel, height};
    layout.list = PlacementRect{panel + kSelectMargin, kSelectMargin, width - kSelectMargin, height - 40};
    const int32_t buttonTop = height - 30;
    layout.play = PlacementRect{layout.list.left, buttonTop, layout.list.left + kSelectButtonWidth,
                                buttonTop + kSelectButtonHeight};
    const int32_t cancelLeft = std::max(width - kSelectMargin - kSelectButtonWidth, layout.play.right + kSelectMargin);
    layout.cancel = PlacementRect{cancelLeft, buttonTop, cancelLeft + kSelectButtonWidth,
                                  buttonTop + kSelectButtonHeight};
    return layout;
}

}  // namespace corvelle
