// Loading game records: layout conversion, round trip and refusal of
// malformed records.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "engine/game_engine.h"
#include "writer/record_writer.h"
#include "support/sample_games.h"

using namespace corvelle;
using corvelle::test::LoadInto;
using corvelle::test::MakeSimpleGame;

namespace {

PileDef Pile(int16_t x, uint8_t xAnchor, int16_t y, uint8_t yAnchor) {
    PileDef p{};
    p.x = x;
    p.xAnchor = xAnchor;
    p.y = y;
    p.yAnchor = yAnchor;
    return p;
}

uint16_t Extent(uint8_t fan, uint8_t kind, uint16_t extent, bool dense) {
    PileDef p{};
    p.fan = fan;
    p.extentKind = kind;
    p.fanExtent = extent;
    ConvertPileToPixels(p, dense);
    return p.fanExtent;
}

}  // namespace

TEST(PileConversion, PositionsOnBothGrids) {
    struct Case { int16_t x; uint8_t xa; int16_t y; uint8_t ya; bool dense; int16_t px, py; };
    const Case cases[] = {
        {10, AnchorStart, 12, AnchorStart, false, 52, 64},
        {90, AnchorCentre, 148, AnchorEnd, false, 132, 96},
        {152, AnchorEnd, 80, AnchorProportional, false, 118, 80},
        {30, AnchorProportional, 35, AnchorStart, true, 30, 163},
        {90, AnchorCentre, 100, AnchorCentre, true, 123, 173},
    };
    for (const Case& c : cases) {
        PileDef p = Pile(c.x, c.xa, c.y, c.ya);
        ConvertPileToPixels(p, c.dense);
        EXPECT_EQ(p.x, c.px) << c.x;
        EXPECT_EQ(p.y, c.py) << c.y;
    }
}

TEST(PileConversion, FanExtentIsConvertedTwice) {
    EXPECT_EQ(Extent(FanUp, ExtentFixed, 8, true), 172);
    EXPECT_EQ(Extent(FanUp, ExtentFixed, 10, false), 279);
    EXPECT_EQ(Extent(FanLeft, ExtentFixed, 10, true), 188);
    EXPECT_EQ(Extent(FanUp, ExtentScaled, 58, false), 76);
    EXPECT_EQ(Extent(FanUp, ExtentScaled, 53, true), 77);
    EXPECT_EQ(Extent(FanUp, ExtentFromFarEdge, 77, true), 42044);
    EXPECT_EQ(Extent(FanUp, ExtentFromFarEdge, 114, false), 20695);
    // Not fanned: kept as stored; an extent of 0 stays 0 whatever its kind.
    EXPECT_EQ(Extent(FanNone, ExtentFixed, 40, false), 40);
    EXPECT_EQ(Extent(FanNone, ExtentFromFarEdge, 40, true), 40);
    for (uint8_t kind = 0; kind <= 2; ++kind) {
        EXPECT_EQ(Extent(FanDown, kind, 0, false), 0);
        EXPECT_EQ(Extent(FanDown, kind, 0, true), 0);
    }
}

TEST(GameRecord, RoundTripThroughTheLoader) {
    GameDefinitionData g = MakeSimpleGame(8);
    g.id = 42;
    g.category = CategoryKlondike;
    g.skill = SkillHard;
    g.timeClass = Time5to10;
    g.extraCategories = {CategoryFreeCell};
    g.counterDefs.push_back(CounterDef{3, 0});
    g.eventTypes.push_back(EventPlayerOnly);
    g.eventCounters.push_back(EventCounter{1, 0});
    g.flips.push_back(PilePosition{2, 0});
    g.placements.push_back(CardPlacement{1, 5, 0});
    g.programs.push_back({OpSuit, OpRank, OpAdd});

    CGameEngine engine;
    ASSERT_TRUE(LoadInto(engine, g));
    EXPECT_STREQ(engine.name, "Sample");
    EXPECT_STREQ(engine.rulesText.data(), g.rulesText.c_str());
    EXPECT_EQ(engine.id, 42);
    EXPECT_EQ(engine.category, static_cast<uint32_t>(CategoryKlondike));
    EXPECT_EQ(engine.skill, static_cast<uint32_t>(SkillHard));
    EXPECT_EQ(engine.timeClass, static_cast<uint32_t>(Time5to10));
    ASSERT_EQ(engine.extraCategories.size(), 1u);
    EXPECT_EQ(engine.extraCategories[0], static_cast<uint32_t>(CategoryFreeCell));
    EXPECT_EQ(engine.GetCardCount(), 52);
    EXPECT_EQ(engine.GetPileCount(), 8);
    EXPECT_EQ(engine.piles[1].x, 30 * 79 / 15);
    EXPECT_EQ(engine.GetProgramCount(), 3);
    // Every program carries an added END byte.
    EXPECT_EQ(engine.programs[2].GetCode(), (std::vector<uint8_t>{OpSuit, OpRank, OpAdd, OpEnd}));
    EXPECT_EQ(engine.programs[0].GetCode(), (std::vector<uint8_t>{OpPush, 1, 1, OpEnd}));
    EXPECT_EQ(engine.GetCounterCount(), 1);
    EXPECT_EQ(engine.counterDefs[0].initialValue, 3);
    EXPECT_EQ(engine.flips.size(), 1u);
    EXPECT_EQ(engine.placements.size(), 1u);
    EXPECT_EQ(engine.locks.size(), 0u);
    EXPECT_TRUE(engine.locks.empty()) << "an empty list stays absent";
    EXPECT_TRUE(engine.exposures.empty());

    // A second load replaces everything of the first.
    GameDefinitionData other = MakeSimpleGame(3, 2);
    other.name = "Other";
    ASSERT_TRUE(LoadInto(engine, other));
    EXPECT_STREQ(engine.name, "Other");
    EXPECT_EQ(engine.GetCardCount(), 104);
    EXPECT_EQ(engine.GetPileCount(), 3);
    EXPECT_EQ(engine.GetCounterCount(), 0);
    EXPECT_TRUE(engine.counterDefs.empty());
    EXPECT_EQ(engine.extraCategories.size(), 0u);
    EXPECT_EQ(engine.GetProgramCount(), 2);
}

TEST(GameRecord, LongNamesAreCutTo31Characters) {
    GameDefinitionData g = MakeSimpleGame();
    g.name = std::string(40, 'n');
    CGameEngine engine;
    ASSERT_TRUE(LoadInto(engine, g));
    EXPECT_EQ(std::strlen(engine.name), 31u);
}

TEST(GameRecord, ReadStringAndReadProgramStayInBounds) {
    const uint8_t text[] = {'a', 'b', 0, 'c'};
    std::vector<char> s;
    EXPECT_EQ(ReadString(text, sizeof text, s), 3u);
    EXPECT_STREQ(s.data(), "ab");
    EXPECT_EQ(ReadString(text, 2, s), 0u) << "no terminator within the bytes given";

    const uint8_t program[] = {3, 0, OpPush, 0, 1, 99};
    std::vector<uint8_t> p;
    EXPECT_EQ(ReadProgram(program, sizeof program, p), 5u);
    EXPECT_EQ(p, (std::vector<uint8_t>{OpPush, 0, 1, OpEnd}));
    EXPECT_EQ(ReadProgram(program, 4, p), 0u);
    const uint8_t negative[] = {0x00, 0x80, 1};
    EXPECT_EQ(ReadProgram(negative, sizeof negative, p), 0u);
}

namespace {

// Applies `damage` to a valid definition and expects the loader to refuse it.
void ExpectRefused(const char* what, const std::function<void(GameDefinitionData&)>& damage) {
    GameDefinitionData g = MakeSimpleGame();
    damage(g);
    const std::vector<uint8_t> bytes = SerializeGameRecord(g);
    CGameEngine engine;
    EXPECT_FALSE(ValidateGameRecord(bytes.data(), bytes.size())) << what;
    EXPECT_FALSE(engine.LoadGameDefinition(bytes.data(), bytes.size())) << what;
    EXPECT_FALSE(engine.HasDefinition()) << what;
    EXPECT_EQ(engine.GetPileCount(), 0) << what;
}

}  // namespace

TEST(GameRecord, MalformedRecordsAreRefused) {
    ExpectRefused("suit 5", [](auto& g) { g.cards[3].suit = 5; });
    ExpectRefused("rank 0", [](auto& g) { g.cards[3].rank = 0; });
    ExpectRefused("deal too many", [](auto& g) { g.piles[0].dealCount = 2; });
    ExpectRefused("deal too few", [](auto& g) { g.piles.back().dealCount--; });
    ExpectRefused("pile of a group without cards", [](auto& g) { g.piles[0].cardGroup = 1; });
    ExpectRefused("drop program", [](auto& g) { g.piles[2].dropProgram = 2; });
    ExpectRefused("click event", [](auto& g) { g.piles[2].clickEvent = 1; });
    ExpectRefused("fan 5", [](auto& g) { g.piles[2].fan = 5; });
    ExpectRefused("anchor 4", [](auto& g) { g.piles[2].yAnchor = 4; });
    ExpectRefused("move to no pile", [](auto& g) { g.actions.push_back(ActionDef{ActionMoveCards, 0, 0, 0, 0, 8}); });
    ExpectRefused("action kind 7", [](auto& g) { g.actions.push_back(ActionDef{7}); });
    ExpectRefused("reset of no counter", [](auto& g) { g.actions.push_back(ActionDef{ActionResetCounter}); });
    ExpectRefused("link to no pile", [](auto& g) { g.links.push_back(MoveLink{0, 9}); });
    ExpectRefused("placement card", [](auto& g) { g.placements.push_back(CardPlacement{0, 52, 0}); });
    ExpectRefused("flip pile", [](auto& g) { g.flips.push_back(PilePosition{8, 0}); });
    ExpectRefused("event type 4", [](auto& g) { g.eventTypes[0] = 4; });
    ExpectRefused("event action", [](auto& g) { g.eventActions.push_back(EventAction{0, 1}); });
    ExpectRefused("condition program", [](auto& g) { g.conditions[0].program = 2; });
    ExpectRefused("condition pile B", [](auto& g) { g.conditions[0].pileB = 8; });
    ExpectRefused("event condition", [](auto& g) { g.eventConditions.push_back(EventCondition{1, 0}); });
    ExpectRefused("counter event", [](auto& g) { g.counterDefs.push_back(CounterDef{1, 1}); });
    ExpectRefused("event counter", [](auto& g) { g.eventCounters.push_back(EventCounter{0, 0}); });
    ExpectRefused("no event 0", [](auto& g) { g.eventTypes.clear(); g.eventConditions.clear(); });
    ExpectRefused("no programs", [](auto& g) {
        g.programs.clear();
        g.conditions.clear();
        g.eventConditions.clear();
    });
    ExpectRefused("category 11", [](auto& g) { g.category = 11; });
}

TEST(GameRecord, TruncatedAndPaddedRecordsAreRefused) {
    const std::vector<uint8_t> good = SerializeGameRecord(MakeSimpleGame());
    ASSERT_TRUE(ValidateGameRecord(good.data(), good.size()));
    for (size_t cut = 0; cut < good.size(); cut += (cut < 64 ? 1 : 7)) {
        std::vector<uint8_t> shorter(good.begin(), good.begin() + cut);
        EXPECT_FALSE(ValidateGameRecord(shorter.data(), shorter.size())) << cut;
    }
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_FALSE(ValidateGameRecord(longer.data(), longer.size()));
    EXPECT_FALSE(ValidateGameRecord(nullptr, 0));
}

TEST(GameRecord, RandomDamageNeverCrashesTheLoader) {
    const std::vector<uint8_t> good = SerializeGameRecord(MakeSimpleGame(12, 2));
    uint32_t state = 99;
    CGameEngine engine;
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> bytes = good;
        for (int flips = 1 + round % 4; flips > 0; --flips) {
            state = state * 1664525u + 1013904223u;
            bytes[(state >> 8) % bytes.size()] ^= static_cast<uint8_t>(1u << (state % 8));
        }
        if (engine.LoadGameDefinition(bytes.data(), bytes.size())) {
            // Whatever was accepted passes the validator and holds exactly
            // the entries its header counts.
            EXPECT_TRUE(ValidateGameRecord(bytes.data(), bytes.size()));
            GameRecordHeader h;
            std::memcpy(&h, bytes.data(), sizeof h);
            EXPECT_EQ(engine.piles.size(), h.pileCount);
            EXPECT_EQ(engine.programs.size(), h.programCount);
            EXPECT_EQ(engine.eventConditions.size(), h.eventConditionCount);
        }
    }
}
