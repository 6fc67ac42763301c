// corvelle-cli records over a sandboxed program key filled by the engine.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/byte_order.h"
#include "engine/registry.h"
#include "engine/resources.h"
#include "engine/saved_game.h"
#include "engine/statistics.h"
#include "support/registry_sandbox.h"
#include "tools/cli/records_command.h"

namespace corvelle {
namespace {

using RecordsCommandTest = test::RegistrySandbox;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(RecordsCommandTest, ListsSavedGamesStatisticsAndBestTimes) {
    test::TestOwner owner;
    CGameEngine engine(&owner);
    uint32_t length = 0;
    uint8_t* record = InflateGameRecord(0, &length);
    ASSERT_NE(record, nullptr);
    ASSERT_TRUE(engine.LoadGameDefinition(record, length));
    std::free(record);
    uint32_t number = 3;
    ASSERT_TRUE(engine.NewDeal(number));
    engine.history->Push(HistoryRecord{HistoryExposedToggled, 1, 0, 0, 0, 0, 0, 0});
    owner.elapsed = 125;
    engine.SaveGame();

    AddGameStatistics(u"Klondike", true, 3725);
    AddGameStatistics(Utf8ToUtf16("\xC3\x86r\xC3\xB8"), false, 10);
    CBestTimesTable table(u"Klondike");
    table.Insert(u"Ann", 95);
    table.Insert(u"Bo", 80);
    CBestTimesTable empty(u"Spider");

    const size_t keysBefore = [&] {
        std::vector<std::u16string> names;
        CRegistryKey key;
        key.Open(root);
        key.ListSubKeys(names);
        return names.size();
    }();
    std::string out;
    PrintRecords(root, out);

    EXPECT_TRUE(Contains(out, "slot 9: game id " + std::to_string(engine.id) + ", failed 0")) << out;
    EXPECT_TRUE(Contains(out, "clock 2:05")) << out;
    EXPECT_TRUE(Contains(out, engine.name)) << out;
    EXPECT_TRUE(Contains(out, "1 history records")) << out;
    EXPECT_TRUE(Contains(out, "Klondike                 played 1, won 1, time 1:02:05")) << out;
    EXPECT_TRUE(Contains(out, "\xC3\x86r\xC3\xB8")) << out;
    EXPECT_TRUE(Contains(out, " 1. Bo               1:20")) << out;
    EXPECT_TRUE(Contains(out, " 2. Ann              1:35")) << out;
    EXPECT_TRUE(Contains(out, "(empty)")) << out;

    // Damage shows as such, and looking creates nothing.
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(SavedGameSlotPath(9)));
        const uint8_t two = 2;
        key.WriteBinary(u"data", &two, 1);
    }
    out.clear();
    PrintRecords(root, out);
    EXPECT_TRUE(Contains(out, "would not restore")) << out;
    std::vector<std::u16string> names;
    CRegistryKey key;
    ASSERT_TRUE(key.Open(root));
    key.ListSubKeys(names);
    EXPECT_EQ(names.size(), keysBefore);
}

TEST_F(RecordsCommandTest, BestTimesTheProgramCannotHaveWrittenAreMarkedDamaged) {
    CBestTimesTable table(u"Golf");
    table.Insert(u"Ann", 95);
    table.Insert(u"Bo", 80);
    uint8_t bytes[kBestTimesDataSize] = {};
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(root + u"\\bestScores\\Golf"));
        ASSERT_TRUE(key.ReadBinaryExact(u"data", bytes, sizeof bytes));
    }
    // Entry 1 (Bo, 80 s) stays; entry 2 loses its terminating 0; entry 3
    // holds a control character; entry 4 half a surrogate pair; entry 5 a
    // time faster than the entry above it; entry 7 a time after an empty one.
    auto entry = [&](int i) { return bytes + 36 * i; };
    for (int c = 0; c < 16; ++c) StoreLE<uint16_t>(entry(1) + 2 * c, u'x');
    StoreLE<uint32_t>(entry(1) + 32, 100);
    StoreLE<uint16_t>(entry(2), 0x07);
    StoreLE<uint32_t>(entry(2) + 32, 110);
    StoreLE<uint16_t>(entry(3), 0xD800);
    StoreLE<uint32_t>(entry(3) + 32, 120);
    StoreLE<uint16_t>(entry(4), u'E');
    StoreLE<uint32_t>(entry(4) + 32, 10);
    StoreLE<uint16_t>(entry(6), u'G');
    StoreLE<uint32_t>(entry(6) + 32, 300);
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(root + u"\\bestScores\\Golf"));
        ASSERT_TRUE(key.WriteBinary(u"data", bytes, sizeof bytes));
    }
    std::string out;
    PrintRecords(root, out);
    EXPECT_TRUE(Contains(out, " 1. Bo               1:20")) << out;
    for (const char* damaged : {" 2. (damaged entry)", " 3. (damaged entry)", " 4. (damaged entry)",
                                " 5. (damaged entry)", " 7. (damaged entry)"})
        EXPECT_TRUE(Contains(out, damaged)) << damaged << "\n" << out;
    EXPECT_FALSE(Contains(out, " 6.")) << out;
    EXPECT_FALSE(Contains(out, "xxxxxxxx")) << out;
}

TEST_F(RecordsCommandTest, AnEmptyKeyListsNothing) {
    std::string out;
    PrintRecords(root + u"\\nothing here", out);
    EXPECT_TRUE(Contains(out, "Saved games\n  (none)")) << out;
    EXPECT_TRUE(Contains(out, "Statistics\n  (none)")) << out;
    EXPECT_TRUE(Contains(out, "Best times\n  (none)")) << out;
    CRegistryKey key;
    EXPECT_FALSE(key.Open(root + u"\\nothing here"));
}

}  // namespace
}  // namespace corvelle
