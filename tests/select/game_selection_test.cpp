// The selection dialog's plain logic: the game table from the database's
// tables, the filter, favourites, the panel's following of the selection,
// shortened names, the related list's rows and the stored placement.
#include "panels/game_selection.h"

#include <gtest/gtest.h>

#include <cstring>

namespace corvelle {
namespace {

void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

// Four games with ids 10, 20, 30, 40: categories FreeCell, Klondike,
// Other (0) and Spider; game 20 is also FreeCell, game 40 also Other.
struct Tables {
    std::vector<uint8_t> ids, cats, acats, skills{0, 1, 2, 0}, times{3, 0, 1, 2};
    Tables() {
        for (uint16_t id : {10, 20, 30, 40}) Put16(ids, id);
        for (uint16_t c : {6, 7, 0, 8}) Put16(cats, c);
        for (uint16_t x : {20, 6, 40, 0, 999, 3}) Put16(acats, x);   // 999 names no game
    }
    GameTables View() const {
        GameTables t;
        t.ids = ids.data(), t.idsSize = static_cast<uint32_t>(ids.size());
        t.categories = cats.data(), t.categoriesSize = static_cast<uint32_t>(cats.size());
        t.extraCategories = acats.data(), t.extraCategoriesSize = static_cast<uint32_t>(acats.size());
        t.skills = skills.data(), t.skillsSize = static_cast<uint32_t>(skills.size());
        t.times = times.data(), t.timesSize = static_cast<uint32_t>(times.size());
        return t;
    }
};

std::u16string Name(uint32_t i) { return u"Game " + std::u16string(1, static_cast<char16_t>(u'A' + i)); }

TEST(GameTable, BuiltFromTheTables) {
    Tables t;
    const auto table = BuildGameTable(t.View(), Name);
    ASSERT_EQ(table.size(), 4u);
    EXPECT_EQ(table[0].id, 10);
    EXPECT_EQ(table[0].name, u"Game A");
    EXPECT_EQ(table[0].category, 6u);
    EXPECT_EQ(table[2].category, kCategoryOtherFilter);   // stored 0 is "Other"
    EXPECT_EQ(table[1].extraCategories, std::vector<uint32_t>{6});
    EXPECT_EQ(table[3].extraCategories, std::vector<uint32_t>{kCategoryOtherFilter});
    EXPECT_TRUE(table[0].extraCategories.empty());
    EXPECT_EQ(table[0].difficulty, 1u);
    EXPECT_EQ(table[2].difficulty, 3u);
    EXPECT_EQ(table[0].timeClass, 4u);
    EXPECT_EQ(table[1].timeClass, 1u);
}

TEST(GameTable, MissingOrShortTablesReadAsDefaults) {
    Tables t;
    GameTables v = t.View();
    v.categories = nullptr, v.categoriesSize = 0;
    v.extraCategories = nullptr, v.extraCategoriesSize = 0;
    v.skillsSize = 2;   // only the first two games have one
    v.times = nullptr, v.timesSize = 0;
    const auto table = BuildGameTable(v, nullptr);
    ASSERT_EQ(table.size(), 4u);
    for (const CGameEntry& e : table) {
        EXPECT_EQ(e.category, kCategoryOtherFilter);
        EXPECT_TRUE(e.extraCategories.empty());
        EXPECT_EQ(e.timeClass, 1u);
    }
    EXPECT_EQ(table[1].difficulty, 2u);
    EXPECT_EQ(table[3].difficulty, 1u);
    EXPECT_TRUE(BuildGameTable(GameTables{}, Name).empty());   // no id table: no games
}

TEST(GameFilter, CategoryDifficultyTimeAndFavourites) {
    Tables t;
    const auto table = BuildGameTable(t.View(), Name);
    FavoritesList fav;
    SelectionFilter f;
    EXPECT_EQ(FilterGames(table, f, fav), (std::vector<uint32_t>{0, 1, 2, 3}));
    f.category = 6;   // FreeCell, and game 20's extra category
    EXPECT_EQ(FilterGames(table, f, fav), (std::vector<uint32_t>{0, 1}));
    f.category = kCategoryOtherFilter;   // stored 0 and game 40's extra 0
    EXPECT_EQ(FilterGames(table, f, fav), (std::vector<uint32_t>{2, 3}));
    f.skill = 3;
    EXPECT_EQ(FilterGames(table, f, fav), (std::vector<uint32_t>{2}));
    f.time = 1;   // game 30 takes 3-5m: none passes, the placeholder row
    EXPECT_EQ(FilterGames(table, f, fav), (std::vector<uint32_t>{kNoGame}));
    f = SelectionFilter{};
    f.time = 3;
    EXPECT_EQ(FilterGames(table, f, fav), (std::vector<uint32_t>{3}));
    f = SelectionFilter{};
    f.favoritesOnly = 1;
    EXPECT_EQ(FilterGames(table, f, fav), (std::vector<uint32_t>{kNoGame}));
    fav.ids = {40, 10};
    EXPECT_EQ(FilterGames(table, f, fav), (std::vector<uint32_t>{0, 3}));
    f.category = 8;
    EXPECT_EQ(FilterGames(table, f, fav), (std::vector<uint32_t>{3}));
}

TEST(Favorites, AddRemoveAndDuplicates) {
    FavoritesList fav;
    AddFavorite(fav, 7);
    AddFavorite(fav, 7);   // present already: nothing
    AddFavorite(fav, 3);
    AddFavorite(fav, kNoFavorite);
    EXPECT_EQ(fav.ids, (std::vector<uint16_t>{7, 3}));
    RemoveFavorite(fav, 9);   // absent: nothing
    EXPECT_EQ(fav.ids, (std::vector<uint16_t>{7, 3}));
    fav.ids = {5, 7, 5, 5};   // duplicates from an edited record all go
    RemoveFavorite(fav, 5);
    EXPECT_EQ(fav.ids, std::vector<uint16_t>{7});
    RemoveFavorite(fav, 7);
    EXPECT_TRUE(fav.ids.empty());
    EXPECT_FALSE(fav.IsFavorite(kNoFavorite));
}

TEST(SelectionTracker, FollowsGamesNotRows) {
    SelectionTracker s;
    uint32_t game = 0;
    EXPECT_EQ(s.Update(&game), SelectionTracker::Step::None);
    s.OnSelected(kNoGame);   // the placeholder is never a selection
    EXPECT_EQ(s.Update(&game), SelectionTracker::Step::None);
    s.OnSelected(12);
    s.OnSelected(14);   // two changes within one tick: the panel sees the last
    ASSERT_EQ(s.Update(&game), SelectionTracker::Step::Show);
    EXPECT_EQ(game, 14u);
    EXPECT_EQ(s.Update(&game), SelectionTracker::Step::None);
    // A filter change refills the list and drops game 14: the panel clears.
    s.OnRefill();
    EXPECT_EQ(s.Update(&game), SelectionTracker::Step::Clear);
    // The game now in the row 14 had: it is a new game for the panel.
    s.OnSelected(30);
    ASSERT_EQ(s.Update(&game), SelectionTracker::Step::Show);
    EXPECT_EQ(game, 30u);
    // A refill that selects the same game again changes nothing shown.
    s.OnRefill();
    s.OnSelected(30);
    EXPECT_EQ(s.Update(&game), SelectionTracker::Step::None);
    // Deselecting another game than the pending one keeps it.
    s.OnSelected(31);
    s.OnDeselected(30);
    ASSERT_EQ(s.Update(&game), SelectionTracker::Step::Show);
    EXPECT_EQ(game, 31u);
    s.OnDeselected(31);
    EXPECT_EQ(s.Update(&game), SelectionTracker::Step::Clear);
}

TEST(Ellipsis, LongestPrefixThatFitsDownToTheEllipsisAlone) {
    auto width = [](const std::u16string& s) { return static_cast<int32_t>(s.size()) * 10; };
    EXPECT_EQ(FitWithEllipsis(u"Klondike", 80, width), u"Klondike");
    EXPECT_EQ(FitWithEllipsis(u"Klondike", 79, width), u"Klondi\u2026");
    EXPECT_EQ(FitWithEllipsis(u"Klondike", 15, width), u"\u2026");
    EXPECT_EQ(FitWithEllipsis(u"Klondike", -4, width), u"\u2026");
    EXPECT_EQ(FitWithEllipsis(u"", -4, width), u"\u2026");   // empty name, negative width: ends
    EXPECT_EQ(FitWithEllipsis(u"", 0, width), u"");
}

TEST(RelatedRows, OnlyRowsOfGamesInsideTheClientArea) {
    auto games = [](int32_t row) { return row != 1; };   // row 1: the placeholder
    EXPECT_EQ(RelatedRowAt(5, 0, 100, 80, 3, games), 0);
    EXPECT_EQ(RelatedRowAt(5, 47, 100, 80, 3, games), 2);
    EXPECT_EQ(RelatedRowAt(5, 20, 100, 80, 3, games), -1);
    EXPECT_EQ(RelatedRowAt(5, 48, 100, 80, 3, games), -1);    // below the last row
    EXPECT_EQ(RelatedRowAt(5, -3, 100, 80, 3, games), -1);    // above: no row 0
    EXPECT_EQ(RelatedRowAt(5, -20, 100, 80, 3, games), -1);   // a negative row
    EXPECT_EQ(RelatedRowAt(-1, 5, 100, 80, 3, games), -1);
    EXPECT_EQ(RelatedRowAt(100, 5, 100, 80, 3, games), -1);
    EXPECT_EQ(RelatedRowAt(5, 5, 100, 80, 0, games), -1);
}

TEST(Placement, ClampedToTheWorkAreaAndAMinimum) {
    const PlacementRect work{0, 0, 1024, 738};
    auto eq = [](PlacementRect a, PlacementRect b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    EXPECT_TRUE(eq(ClampPlacement({100, 50, 800, 650}, work, 600, 400), {100, 50, 800, 650}));
    EXPECT_TRUE(eq(ClampPlacement({100, 50, 110, 60}, work, 600, 400), {100, 50, 700, 450}));
    EXPECT_TRUE(eq(ClampPlacement({-5000, -5000, 90000, 90000}, work, 600, 400), {0, 0, 1024, 738}));
    EXPECT_TRUE(eq(ClampPlacement({900, 700, 1500, 1100}, work, 600, 400), {424, 338, 1024, 738}));
    EXPECT_TRUE(eq(ClampPlacement({INT32_MAX, INT32_MIN, INT32_MIN, INT32_MAX}, work, 600, 400),
                   {424, 0, 1024, 738}));
}

}  // namespace
}  // namespace corvelle
