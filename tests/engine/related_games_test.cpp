// The related-games table from its pair text and the id table.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/records.h"
#include "engine/related_games.h"
#include "engine/resources.h"

namespace corvelle {
namespace {

// An id table of n games whose id at position i is (i * 7 + 3) mod n, a
// permutation when n is not a multiple of 7.
std::vector<uint8_t> Ids(int n) {
    std::vector<uint8_t> ids;
    for (int i = 0; i < n; ++i) {
        const int id = (i * 7 + 3) % n;
        ids.push_back(static_cast<uint8_t>(id));
        ids.push_back(static_cast<uint8_t>(id >> 8));
    }
    return ids;
}
uint32_t PositionOf(int id, int n) {
    for (int i = 0; i < n; ++i)
        if ((i * 7 + 3) % n == id)
            return static_cast<uint32_t>(i);
    return 9999;
}

std::vector<uint32_t> Related(const CRelatedSolsTable& table, uint32_t position) {
    const uint32_t* list = nullptr;
    const uint16_t count = table.GetRelated(position, &list);
    return count ? std::vector<uint32_t>(list, list + count) : std::vector<uint32_t>();
}

// The text is copied into a buffer of exactly its length, so that reading
// past the end is caught by the address sanitizer.
CRelatedSolsTable* Build(const std::string& text, const std::vector<uint8_t>& ids) {
    auto* bytes = new uint8_t[text.size() ? text.size() : 1];
    std::copy(text.begin(), text.end(), bytes);
    auto* table = new CRelatedSolsTable(bytes, text.size(), ids.data(), ids.size());
    delete[] bytes;
    return table;
}

TEST(RelatedGames, PairsGoBothWaysInOrderOfFirstAppearance) {
    const int n = 20;
    std::unique_ptr<CRelatedSolsTable> table(Build("4,9\r\n9,4\r\n4,12\r\n1,4\r\n12,9", Ids(n)));
    const uint32_t p4 = PositionOf(4, n), p9 = PositionOf(9, n), p12 = PositionOf(12, n), p1 = PositionOf(1, n);
    EXPECT_EQ(Related(*table, p4), (std::vector<uint32_t>{p9, p12, p1}));
    EXPECT_EQ(Related(*table, p9), (std::vector<uint32_t>{p4, p12}));   // "9,4" added nothing
    EXPECT_EQ(Related(*table, p12), (std::vector<uint32_t>{p4, p9}));   // the last line without CR LF
    EXPECT_EQ(Related(*table, p1), (std::vector<uint32_t>{p4}));
    const uint32_t* list = reinterpret_cast<const uint32_t*>(1);
    EXPECT_EQ(table->GetRelated(PositionOf(5, n), &list), 0);          // named in no pair
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(table->GetRelated(n, &list), 0);                          // outside the database
    EXPECT_EQ(table->GetRelated(kNoGame, nullptr), 0);
}

TEST(RelatedGames, BadLinesAndUnknownIdsAreSkipped) {
    const int n = 20;
    const std::string text =
        "2,x\r\n"        // not a number
        "abc\r\n"        // no comma
        "-1,3\r\n"       // sign
        " 5,6\r\n"       // space
        "5,,6\r\n"
        ",6\r\n"
        "7,\r\n"
        "20,3\r\n"       // id outside 0 .. n - 1
        "3,99999999\r\n" // too large for an id
        "\r\n"
        "2,3\n"          // a bare LF ends a line too
        "3,11\r";        // the last line: CR and then the end of the text
    std::unique_ptr<CRelatedSolsTable> table(Build(text, Ids(n)));
    EXPECT_EQ(Related(*table, PositionOf(3, n)), (std::vector<uint32_t>{PositionOf(2, n), PositionOf(11, n)}));
    for (int id : {5, 6, 7, 0})
        EXPECT_TRUE(Related(*table, PositionOf(id, n)).empty()) << id;
}

TEST(RelatedGames, ANumberAtTheVeryEndIsReadWithinTheText) {
    const int n = 20;
    std::unique_ptr<CRelatedSolsTable> table(Build("1,1", Ids(n)));
    EXPECT_EQ(Related(*table, PositionOf(1, n)), (std::vector<uint32_t>{PositionOf(1, n)}));
    std::unique_ptr<CRelatedSolsTable> empty(Build("", Ids(n)));
    EXPECT_EQ(empty->GetGameCount(), n);
    std::unique_ptr<CRelatedSolsTable> noIds(Build("1,2", {}));
    EXPECT_EQ(noIds->GetRelated(0, nullptr), 0);
}

TEST(RelatedGames, AddRelatedIgnoresPositionsOutsideTheTable) {
    std::unique_ptr<CRelatedSolsTable> table(Build("", Ids(10)));
    table->AddRelated(2, 3);
    table->AddRelated(2, 3);
    table->AddRelated(2, 10);
    table->AddRelated(800, 1);
    EXPECT_EQ(Related(*table, 2), (std::vector<uint32_t>{3}));
}

TEST(RelatedGames, TheDatabaseResourcesBuildATableOverEveryGame) {
    CRelatedSolsTable table(kResRelatedSols);
    const int n = GetGameCount();
    ASSERT_GT(n, 0);
    EXPECT_EQ(table.GetGameCount(), n);
    int withRelated = 0;
    for (int p = 0; p < n; ++p) {
        const std::vector<uint32_t> list = Related(table, static_cast<uint32_t>(p));
        withRelated += !list.empty();
        for (uint32_t q : list) {
            ASSERT_LT(q, static_cast<uint32_t>(n));
            const std::vector<uint32_t> back = Related(table, q);
            EXPECT_NE(std::find(back.begin(), back.end(), static_cast<uint32_t>(p)), back.end());
        }
    }
    EXPECT_GT(withRelated, 0);
}

}  // namespace
}  // namespace corvelle
