// corvelle-cli records over a sandboxed program key filled by the engine.
#include <gtest/gtest.h>

#include <cstdlib>

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
