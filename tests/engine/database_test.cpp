// The game database: resource tables, inflation, stable sort and ScaleAlign.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/game_engine.h"
#include "engine/records.h"
#include "engine/resources.h"
#include "support/sample_games.h"
#include "writer/database_packer.h"
#include "writer/record_writer.h"

using namespace corvelle;

namespace {

uint16_t SizeAt(int position) {
    const uint8_t* sizes = LoadAppResource(kResSolSize, L"SOLSIZE");
    return static_cast<uint16_t>(sizes[2 * position] | (sizes[2 * position + 1] << 8));
}

struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};
using Record = std::unique_ptr<uint8_t, FreeDeleter>;

}  // namespace

TEST(Database, TablesAgreeWithTheRecords) {
    const int n = GetGameCount();
    ASSERT_EQ(n, 800);
    uint32_t size = 0;
    const uint8_t* ids = LoadAppResource(kResSolId, L"SOLID", &size);
    ASSERT_NE(ids, nullptr);
    EXPECT_EQ(size, 1600u);
    const uint8_t* cats = LoadAppResource(kResSolCat, L"SOLCAT");
    const uint8_t* skills = LoadAppResource(kResSolSkill, L"SOLSKILL", &size);
    EXPECT_EQ(size, 800u);
    const uint8_t* times = LoadAppResource(kResSolTime, L"SOLTIME");
    std::vector<bool> seen(n, false);
    for (int pos = 0; pos < n; ++pos) {
        uint32_t length = 0;
        Record record(InflateGameRecord(static_cast<uint16_t>(pos), &length));
        ASSERT_TRUE(record) << "position " << pos;
        EXPECT_EQ(length, SizeAt(pos));
        GameRecordHeader h;
        std::memcpy(&h, record.get(), sizeof h);
        EXPECT_EQ(h.id, ids[2 * pos] | (ids[2 * pos + 1] << 8));
        EXPECT_EQ(h.category, cats[2 * pos] | (cats[2 * pos + 1] << 8));
        EXPECT_EQ(h.skill, skills[pos]);
        EXPECT_EQ(h.timeClass, times[pos]);
        ASSERT_LT(h.id, n);
        EXPECT_FALSE(seen[h.id]);
        seen[h.id] = true;
        EXPECT_TRUE(ValidateGameRecord(record.get(), length));
    }
}

TEST(Database, FirstAndLastSlotsOfAGroupInflate) {
    // Slot 0 needs no skip phase; position 799 is slot 31 of group 12 and
    // skips the 31 records before it.
    for (uint16_t pos : {0, 63, 64, 768, 799}) {
        uint32_t length = 0;
        Record record(InflateGameRecord(pos, &length));
        ASSERT_TRUE(record) << pos;
        EXPECT_EQ(length, SizeAt(pos));
        const std::string expected = "Synthetic ";
        EXPECT_EQ(std::memcmp(record.get() + sizeof(GameRecordHeader), expected.data(), expected.size()), 0);
    }
    EXPECT_EQ(InflateGameRecord(800), nullptr);
    EXPECT_EQ(LoadAppResource(kResSolDbFirst + 13, L"SOLDB"), nullptr);
}

TEST(Database, GroupLengthEqualsTheSumOfItsSizes) {
    // Inflating the whole group stream gives exactly its records back to back.
    for (int group = 0; group <= 12; ++group) {
        uint32_t streamSize = 0;
        const uint8_t* stream = LoadAppResource(static_cast<uint16_t>(kResSolDbFirst + group), L"SOLDB", &streamSize);
        ASSERT_NE(stream, nullptr);
        uint32_t total = 0;
        for (int pos = group * 64; pos < 800 && pos < group * 64 + 64; ++pos)
            total += SizeAt(pos);
        Record all(InflateFromStream(stream, streamSize, 0, total));
        EXPECT_TRUE(all);
        Record tooMuch(InflateFromStream(stream, streamSize, 0, total + 1));
        EXPECT_FALSE(tooMuch) << "a record running past the stream's end is refused";
    }
}

TEST(Database, DamagedStreamsGiveNoBuffer) {
    uint32_t streamSize = 0;
    const uint8_t* stream = LoadAppResource(kResSolDbFirst + 1, L"SOLDB", &streamSize);
    ASSERT_NE(stream, nullptr);
    std::vector<uint8_t> damaged(stream, stream + streamSize);
    // The last record of the group: the whole stream must be read to reach it.
    uint32_t skip = 0;
    for (int pos = 64; pos < 127; ++pos)
        skip += SizeAt(pos);
    const uint32_t first = SizeAt(64), last = SizeAt(127);

    // Damage the start of the deflate data (the first block's code tables).
    for (size_t i = 2; i < 18; ++i)
        damaged[i] ^= 0x5A;
    EXPECT_EQ(InflateFromStream(damaged.data(), static_cast<uint32_t>(damaged.size()), skip, last), nullptr);
    // A truncated stream ends before the record is complete.
    EXPECT_EQ(InflateFromStream(stream, streamSize / 2, skip, last), nullptr);
    EXPECT_EQ(InflateFromStream(stream, 2, 0, first), nullptr);
    // A bad header.
    std::vector<uint8_t> badHeader(stream, stream + streamSize);
    badHeader[0] = 0;
    EXPECT_EQ(InflateFromStream(badHeader.data(), streamSize, 0, first), nullptr);
    EXPECT_EQ(InflateFromStream(nullptr, 0, 0, first), nullptr);
}

TEST(DatabasePacker, IdsAreDistinctAndBelowTheLimitButMayLeaveGaps) {
    // A growing library keeps its stable ids: 0, 5 and 799 pack; a repeated
    // id or one past the database's size does not.
    auto withIds = [](std::initializer_list<uint16_t> ids) {
        std::vector<std::vector<uint8_t>> records;
        for (uint16_t id : ids) {
            GameDefinitionData g = test::MakeSimpleGame();
            g.id = id;
            records.push_back(SerializeGameRecord(g));
        }
        return records;
    };
    std::vector<ResourceBlob> blobs;
    std::string error;
    EXPECT_TRUE(PackDatabase(withIds({5, 0, 799}), "", blobs, error)) << error;
    EXPECT_FALSE(PackDatabase(withIds({5, 0, 5}), "", blobs, error));
    EXPECT_FALSE(PackDatabase(withIds({0, 800}), "", blobs, error));
    EXPECT_NE(error.find("position 1"), std::string::npos);
}

#ifndef _WIN32
TEST(DatabasePacker, AResourceScriptThatDoesNotReachTheDiskIsAnError) {
    // The script's few bytes wait in the stream's buffer until the file is
    // closed; on a full disk only the close fails.
    std::string error;
    EXPECT_FALSE(WriteResourceFolder({}, {"Golf"}, ::testing::TempDir(), "/dev/full", error));
    EXPECT_NE(error.find("/dev/full"), std::string::npos);
}
#endif

namespace {

struct Keyed {
    uint16_t key;
    char tag;
};

int CompareKeys(const void* a, const void* b, void* context) {
    ++*static_cast<int*>(context);
    return static_cast<const Keyed*>(a)->key - static_cast<const Keyed*>(b)->key;
}

std::string Tags(const std::vector<Keyed>& v) {
    std::string s;
    for (const Keyed& k : v)
        s += k.tag;
    return s;
}

}  // namespace

TEST(SortArray, IsStableAndLeavesTrivialArraysAlone) {
    std::vector<Keyed> v = {{3, 'a'}, {1, 'b'}, {3, 'c'}, {2, 'd'}, {1, 'e'}};
    int calls = 0;
    SortArray(v.data(), 5, sizeof(Keyed), CompareKeys, &calls);
    EXPECT_EQ(Tags(v), "bedac");

    calls = 0;
    SortArray(v.data(), 1, sizeof(Keyed), CompareKeys, &calls);
    SortArray(v.data(), 0, sizeof(Keyed), CompareKeys, &calls);
    SortArray(v.data(), -3, sizeof(Keyed), CompareKeys, &calls);
    SortArray(v.data(), 5, 0, CompareKeys, &calls);
    EXPECT_EQ(calls, 0);
}

TEST(SortArray, MatchesAStableReferenceOnManyInputs) {
    uint32_t state = 7;
    for (int round = 0; round < 300; ++round) {
        const int n = round % 40;
        std::vector<Keyed> v;
        for (int i = 0; i < n; ++i) {
            state = state * 1103515245u + 12345u;
            v.push_back({static_cast<uint16_t>((state >> 16) % (1 + round % 9)), static_cast<char>('!' + i)});
        }
        std::vector<Keyed> expected = v;
        std::stable_sort(expected.begin(), expected.end(), [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
        int calls = 0;
        SortArray(v.data(), n, sizeof(Keyed), CompareKeys, &calls);
        ASSERT_EQ(Tags(v), Tags(expected)) << "round " << round;
    }
}

TEST(ScaleAlign, ModesAndTruncation) {
    EXPECT_EQ(ScaleAlign(10, 320, 160, 1), 20);
    EXPECT_EQ(ScaleAlign(10, 320, 160, 2), 90);
    EXPECT_EQ(ScaleAlign(10, 320, 160, 3), 170);
    EXPECT_EQ(ScaleAlign(10, 320, 160, 0), 10);
    EXPECT_EQ(ScaleAlign(10, 320, 160, 7), 10);
    EXPECT_EQ(ScaleAlign(0, 5, 8, 2), -1);
    EXPECT_EQ(ScaleAlign(-7, 1, 2, 1), -3);
    EXPECT_EQ(ScaleAlign(60000, 60000, 160, 1), 22500000) << "the product does not overflow";
}
