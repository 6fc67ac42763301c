// Statistics and best times, keyed by the game's name in UTF-16.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/registry.h"
#include "engine/statistics.h"
#include "support/registry_sandbox.h"

namespace corvelle {
namespace {

using StatisticsTest = test::RegistrySandbox;

std::vector<uint8_t> StoredData(const std::u16string& path) {
    CRegistryKey key;
    std::vector<uint8_t> bytes;
    uint32_t type = 0;
    if (key.Open(path))
        key.QueryValue(u"data", type, bytes, 4096);
    return bytes;
}

void WriteStatistics(const std::u16string& name, uint16_t played, uint16_t won, uint32_t seconds) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(ProgramSubKey(u"statistics\\" + name)));
    const uint8_t bytes[8] = {static_cast<uint8_t>(played), static_cast<uint8_t>(played >> 8),
                              static_cast<uint8_t>(won), static_cast<uint8_t>(won >> 8),
                              static_cast<uint8_t>(seconds), static_cast<uint8_t>(seconds >> 8),
                              static_cast<uint8_t>(seconds >> 16), static_cast<uint8_t>(seconds >> 24)};
    key.WriteBinary(u"data", bytes, 8);
}

TEST_F(StatisticsTest, AGameNeverPlayedReadsZerosAndGetsItsKey) {
    GameStatistics s;
    s.played = 9;
    ReadGameStatistics(u"Klondike", s);
    EXPECT_EQ(s.played, 0);
    EXPECT_EQ(s.won, 0);
    EXPECT_EQ(s.totalSeconds, 0u);
    CRegistryKey key;
    EXPECT_TRUE(key.Open(ProgramSubKey(u"statistics\\Klondike")));
}

TEST_F(StatisticsTest, WinsAndLossesAddUpUnderTheUtf16Name) {
    const std::u16string name = Utf8ToUtf16("\xC3\x86r\xC3\xB8 Patience");   // "Ærø Patience"
    AddGameStatistics(name, true, 100);
    AddGameStatistics(name, false, 50);
    AddGameStatistics(name, true, 7);
    GameStatistics s;
    ReadGameStatistics(name, s);
    EXPECT_EQ(s.played, 3);
    EXPECT_EQ(s.won, 2);
    EXPECT_EQ(s.totalSeconds, 157u);
    EXPECT_EQ(StoredData(ProgramSubKey(u"statistics\\\u00C6r\u00F8 Patience")),
              (std::vector<uint8_t>{3, 0, 2, 0, 157, 0, 0, 0}));
    GameStatistics other;
    ReadGameStatistics(u"Other", other);
    EXPECT_EQ(other.played, 0);
}

TEST_F(StatisticsTest, CountsAndTotalStopAtTheirMaximum) {
    WriteStatistics(u"Long", 0xFFFF, 0xFFFE, 0xFFFFFF00u);
    AddGameStatistics(u"Long", true, 0x1000);
    AddGameStatistics(u"Long", true, 1);
    GameStatistics s;
    ReadGameStatistics(u"Long", s);
    EXPECT_EQ(s.played, 0xFFFF);
    EXPECT_EQ(s.won, 0xFFFF);
    EXPECT_EQ(s.totalSeconds, 0xFFFFFFFFu);
}

TEST_F(StatisticsTest, DamagedRecordsReadAsZerosAndStartAgain) {
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Create(ProgramSubKey(u"statistics\\Short")));
        const uint8_t seven[7] = {5, 0, 5, 0, 5, 0, 0};
        key.WriteBinary(u"data", seven, 7);
        ASSERT_TRUE(key.Create(ProgramSubKey(u"statistics\\Typed")));
        key.WriteDword(u"data", 0x00050005);
        ASSERT_TRUE(key.Create(ProgramSubKey(u"statistics\\Long")));
        const uint8_t nine[9] = {5, 0, 5, 0, 5, 0, 0, 0, 0};
        key.WriteBinary(u"data", nine, 9);
    }
    // More games won than played: no count the program keeps gives that (the
    // panel would show a win rate above 100%).
    WriteStatistics(u"Won more", 268, 2051, 3600);
    for (const char16_t* name : {u"Short", u"Typed", u"Long", u"Won more"}) {
        GameStatistics s;
        s.played = s.won = 77;
        s.totalSeconds = 77;
        ReadGameStatistics(name, s);
        EXPECT_EQ(s.played, 0);
        EXPECT_EQ(s.won, 0);
        EXPECT_EQ(s.totalSeconds, 0u);
        AddGameStatistics(name, false, 3);
        ReadGameStatistics(name, s);
        EXPECT_EQ(s.played, 1);
        EXPECT_EQ(s.totalSeconds, 3u);
    }
}

using BestTimesTest = test::RegistrySandbox;

TEST_F(BestTimesTest, AnEmptyTableTakesAnyTimeAndWritesZerosWhenNew) {
    CBestTimesTable table(u"Spider");
    EXPECT_EQ(StoredData(ProgramSubKey(u"bestScores\\Spider")), std::vector<uint8_t>(360, 0));
    EXPECT_TRUE(table.Qualifies(1));
    EXPECT_TRUE(table.Qualifies(0xFFFFFFFFu));
    table.Insert(u"Ann", 120);
    EXPECT_EQ(table.GetTime(0), 120u);
    EXPECT_EQ(std::u16string(table.GetName(0)), u"Ann");
    EXPECT_EQ(table.GetTime(1), 0u);
    EXPECT_EQ(table.GetTime(10), 0u);
    EXPECT_EQ(std::u16string(table.GetName(-1)), u"");
}

TEST_F(BestTimesTest, TimesStayInOrderEqualOnesAfterTheEarlierAndTheTenthDrops) {
    CBestTimesTable table(u"FreeCell");
    const uint32_t times[10] = {300, 100, 200, 100, 500, 400, 250, 150, 350, 450};
    for (int i = 0; i < 10; ++i)
        table.Insert(u"P" + std::u16string(1, static_cast<char16_t>(u'0' + i)), times[i]);
    const uint32_t sorted[10] = {100, 100, 150, 200, 250, 300, 350, 400, 450, 500};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(table.GetTime(i), sorted[i]) << i;
    EXPECT_EQ(std::u16string(table.GetName(0)), u"P1");   // the first 100 stays ahead
    EXPECT_EQ(std::u16string(table.GetName(1)), u"P3");

    EXPECT_FALSE(table.Qualifies(500));                   // equal to the slowest of a full table
    EXPECT_TRUE(table.Qualifies(499));
    const std::vector<uint8_t> before = StoredData(ProgramSubKey(u"bestScores\\FreeCell"));
    table.Insert(u"Late", 600);                           // does not qualify: nothing changes
    table.Insert(u"Tie", 500);
    EXPECT_EQ(StoredData(ProgramSubKey(u"bestScores\\FreeCell")), before);
    EXPECT_EQ(table.GetTime(9), 500u);

    table.Insert(u"Fast", 90);                            // the old tenth entry drops
    EXPECT_EQ(std::u16string(table.GetName(0)), u"Fast");
    EXPECT_EQ(table.GetTime(9), 450u);

    CBestTimesTable reread(u"FreeCell");
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(reread.GetTime(i), table.GetTime(i));
        EXPECT_EQ(std::u16string(reread.GetName(i)), std::u16string(table.GetName(i)));
    }
}

TEST_F(BestTimesTest, NamesAreCutTo15UnitsAndStoredNamesAlwaysEnd) {
    CBestTimesTable table(u"Yukon");
    table.Insert(u"ABCDEFGHIJKLMNOPQRS", 10);
    EXPECT_EQ(std::u16string(table.GetName(0)), u"ABCDEFGHIJKLMNO");
    table.Insert(u"ABCDEFGHIJKLMN\U0001F0A1", 20);         // no half surrogate pair at the cut
    EXPECT_EQ(std::u16string(table.GetName(1)), u"ABCDEFGHIJKLMN");

    // A stored entry whose name fills all 16 units.
    std::vector<uint8_t> bytes(360, 0);
    for (int c = 0; c < 16; ++c)
        bytes[2 * c] = 'x';
    bytes[32] = 42;
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(ProgramSubKey(u"bestScores\\Yukon")));
        key.WriteBinary(u"data", bytes.data(), bytes.size());
    }
    table.Load();
    EXPECT_EQ(std::u16string(table.GetName(0)), std::u16string(15, u'x'));
    EXPECT_EQ(table.GetTime(0), 42u);
}

TEST_F(BestTimesTest, ClearWritesZerosAndDamagedTablesStartEmpty) {
    CBestTimesTable table(u"Canfield");
    table.Insert(u"Bo", 77);
    table.Clear();
    EXPECT_EQ(StoredData(ProgramSubKey(u"bestScores\\Canfield")), std::vector<uint8_t>(360, 0));
    table.Load();
    EXPECT_EQ(table.GetTime(0), 0u);

    for (const size_t size : {size_t{0}, size_t{36}, size_t{359}, size_t{361}}) {
        {
            CRegistryKey key;
            ASSERT_TRUE(key.Open(ProgramSubKey(u"bestScores\\Canfield")));
            std::vector<uint8_t> bytes(size, 7);
            key.WriteBinary(u"data", bytes.data(), bytes.size());
        }
        table.Init(u"Canfield");
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(table.GetTime(i), 0u) << size;
        EXPECT_EQ(StoredData(ProgramSubKey(u"bestScores\\Canfield")), std::vector<uint8_t>(360, 0)) << size;
    }
    {
        CRegistryKey key;
        ASSERT_TRUE(key.Open(ProgramSubKey(u"bestScores\\Canfield")));
        key.WriteDword(u"data", 5);
    }
    table.Load();
    EXPECT_EQ(table.GetTime(0), 0u);
}

TEST_F(BestTimesTest, ATimeOfZeroIsNeverStored) {
    // 0 marks an empty entry; storing it would put a hole among the times.
    CBestTimesTable table(u"Fan");
    table.Insert(u"Ten", 10);
    table.Insert(u"Twenty", 20);
    EXPECT_FALSE(table.Qualifies(0));
    table.Insert(u"Zero", 0);
    table.Insert(u"Fifteen", 15);
    EXPECT_EQ(table.GetTime(0), 10u);
    EXPECT_EQ(table.GetTime(1), 15u);
    EXPECT_EQ(table.GetTime(2), 20u);
    EXPECT_EQ(table.GetTime(3), 0u);
}

}  // namespace
}  // namespace corvelle
