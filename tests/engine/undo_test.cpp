// Undo: each history kind, group boundaries, exact restoration of card and
// pile flags, and a property test: random steps on several layouts, undone
// group by group, must give back the card, pile and counter states byte for
// byte.
#include <gtest/gtest.h>

#include <random>

#include "game_state_util.h"

using namespace corvelle;
using namespace corvelle::test;

namespace {

HistoryRecord Record(uint32_t kind, uint8_t groupStart, uint16_t index, uint16_t value = 0) {
    HistoryRecord r{};
    r.kind = kind;
    r.groupStart = groupStart;
    r.index = index;
    r.value = value;
    return r;
}

// The game field's player move: record, then move the card and those above it.
void PlayerMove(CGameEngine& engine, uint16_t card, uint16_t dest) {
    const CardState s = engine.cardStates[card];
    HistoryRecord r = Record(HistoryPlayerMove, 1, s.pile, static_cast<uint16_t>(s.position));
    r.destPile = dest;
    r.destCountBefore = engine.pileStates[dest].count;
    engine.GetHistory()->Push(r);
    ActionDef move = Move(s.pile, SourceFromTop, 0, static_cast<uint16_t>(engine.pileStates[s.pile].count - s.position),
                          dest, DestFromTop, 0);
    engine.ExecuteAction(move, nullptr);
}

// An event action: execute a copy of definition action k, record it when it
// changed something. Returns whether it was recorded.
bool RunRecorded(CGameEngine& engine, uint16_t k, uint8_t& groupOpened) {
    ActionDef copy = engine.actions[k];
    uint16_t result = 0;
    if (!engine.ExecuteAction(copy, &result))
        return false;
    engine.GetHistory()->Push(Record(HistoryActionExecuted, groupOpened ? 0 : 1, k, result));
    groupOpened = 1;
    return true;
}

// Undoes one group the way the undo command does; returns the records undone.
int UndoGroup(CGameEngine& engine) {
    int undone = 0;
    while (engine.CanUndo()) {
        ++undone;
        if (engine.UndoOne())
            break;
    }
    return undone;
}

}  // namespace

TEST(Undo, StopsAtTheStartOfTheHistory) {
    CGameEngine engine;
    LoadAndDeal(engine, MakeSimpleGame(4));
    const StateSnapshot dealt(engine);
    EXPECT_FALSE(engine.CanUndo());
    EXPECT_TRUE(engine.UndoOne());
    // A history whose first record opens no group.
    const uint16_t top = engine.TopCard(0);
    engine.cardStates[top].exposed = 0;
    engine.GetHistory()->Push(Record(HistoryExposedToggled, 0, top));
    EXPECT_EQ(UndoGroup(engine), 1);
    EXPECT_FALSE(engine.CanUndo());
    EXPECT_TRUE(StateSnapshot(engine) == dealt);
}

TEST(Undo, PlayerMoveGoesBackOnTopInOrder) {
    CGameEngine engine;
    LoadAndDeal(engine, GameWithCounts({5, 5, 8, 5, 5, 5, 5, 4, 10}));
    const StateSnapshot before(engine);
    const auto two = PileCards(engine, 2), seven = PileCards(engine, 7);
    PlayerMove(engine, static_cast<uint16_t>(two[5]), 7);
    EXPECT_EQ(PileCards(engine, 7), (std::vector<int>{seven[0], seven[1], seven[2], seven[3], two[5], two[6], two[7]}));
    EXPECT_EQ(UndoGroup(engine), 1);
    EXPECT_EQ(PileCards(engine, 2), two);
    EXPECT_TRUE(StateSnapshot(engine) == before);
}

TEST(Undo, OneGroupIsTheMoveAndEverythingItCaused) {
    GameDefinitionData g = GameWithCounts({3, 3, 3, 43});
    g.actions.push_back(Move(3, SourceFromTop, 0, 1, 2, DestFromTop));             // 1: deal one
    g.actions.push_back(CardAttr(2, SourceFromTop, 0, 1, CardFaceUp, 0));         // 2: turn it down
    CGameEngine engine;
    LoadAndDeal(engine, g);
    // An earlier step that stays.
    PlayerMove(engine, engine.TopCard(0), 1);
    engine.RefreshExposedCards(Recording::Recorded);
    const StateSnapshot afterFirst(engine);
    const uint32_t firstRecords = engine.GetHistory()->GetCount();

    PlayerMove(engine, engine.TopCard(1), 2);
    uint8_t groupOpened = 1;
    ASSERT_TRUE(RunRecorded(engine, 1, groupOpened));
    ASSERT_TRUE(RunRecorded(engine, 2, groupOpened));
    const uint32_t before = engine.GetHistory()->GetCount();
    engine.RefreshExposedCards(Recording::Recorded);
    ASSERT_GT(engine.GetHistory()->GetCount(), before);

    const uint32_t total = engine.GetHistory()->GetCount();
    EXPECT_EQ(UndoGroup(engine), static_cast<int>(total - firstRecords));   // move, two actions, exposures
    EXPECT_EQ(engine.GetHistory()->GetCount(), firstRecords);
    EXPECT_TRUE(StateSnapshot(engine) == afterFirst);
    EXPECT_TRUE(Consistent(engine));
}

TEST(Undo, TurningCardsRestoresEachCardAsItWas) {
    // Turn the top three waste cards face down when one of them already was.
    GameDefinitionData g = GameWithCounts({10, 42});
    g.actions.push_back(CardAttr(0, SourceFromTop, 0, 3, CardFaceUp, 0));
    g.actions.push_back(PileAttr(0, PileEnabled, 0));
    CGameEngine engine;
    LoadAndDeal(engine, g);
    const auto waste = PileCards(engine, 0);
    engine.cardStates[waste[8]].faceUp = 0;
    const StateSnapshot before(engine);
    uint8_t groupOpened = 0;
    ASSERT_TRUE(RunRecorded(engine, 1, groupOpened));
    ASSERT_TRUE(RunRecorded(engine, 2, groupOpened));
    EXPECT_EQ(UndoGroup(engine), 2);
    EXPECT_EQ(engine.cardStates[waste[8]].faceUp, 0);
    EXPECT_EQ(engine.cardStates[waste[9]].faceUp, 1);
    EXPECT_TRUE(StateSnapshot(engine) == before);
}

TEST(Undo, LongRanges) {
    GameDefinitionData g = GameWithCounts({10, 42});
    g.actions.push_back(CardAttr(1, SourceFromPosition, 0, 0, CardMovable, 0));
    g.eventTypes.push_back(EventPlayerOnly);
    g.eventActions.push_back(EventAction{1, 1});
    CGameEngine engine;
    LoadAndDeal(engine, g);
    const auto stock = PileCards(engine, 1);
    // Changes in one run: one exact record.
    for (int k = 0; k < 30; ++k)
        engine.cardStates[stock[k]].movable = 0;
    const StateSnapshot before(engine);
    uint8_t groupOpened = 0;
    ASSERT_TRUE(RunRecorded(engine, 1, groupOpened));
    EXPECT_EQ(UndoGroup(engine), 1);
    EXPECT_TRUE(StateSnapshot(engine) == before);

    // Scattered changes over a long range: an event records one record per
    // run of changed cards, and undo restores each card as it was.
    for (int k = 0; k < 42; ++k)
        engine.cardStates[stock[k]].movable = (k % 7 == 3 || k == 20 || k == 21) ? 0 : 1;
    const StateSnapshot scattered(engine);
    groupOpened = 0;
    uint16_t index = 0;
    ActionDef executed{};
    ASSERT_TRUE(engine.RunEventActions(1, groupOpened, index, executed, Recording::Recorded));
    for (int k = 0; k < 42; ++k)
        ASSERT_EQ(engine.cardStates[stock[k]].movable, 0);
    // The cards that changed lie between the seven that already held 0.
    EXPECT_EQ(UndoGroup(engine), 8);
    EXPECT_TRUE(StateSnapshot(engine) == scattered);
}

TEST(Undo, ShufflesCountersAndResets) {
    GameDefinitionData g = MakeSimpleGame(3);
    g.counterDefs.push_back(CounterDef{2, 0});
    g.actions.push_back(PileAttr(2, PileShuffle, 0));
    ActionDef reset{};
    reset.kind = ActionResetCounter;
    g.actions.push_back(reset);
    CGameEngine engine;
    LoadAndDeal(engine, g);
    const StateSnapshot before(engine);
    const auto stock = PileCards(engine, 2);
    uint8_t groupOpened = 0;
    ASSERT_TRUE(RunRecorded(engine, 1, groupOpened));
    EXPECT_NE(PileCards(engine, 2), stock);
    engine.counters[0].value--;
    engine.GetHistory()->Push(Record(HistoryCounterUsed, 0, 0));
    engine.counters[0].value--;
    engine.GetHistory()->Push(Record(HistoryCounterUsed, 0, 0));
    ASSERT_TRUE(RunRecorded(engine, 2, groupOpened));
    EXPECT_EQ(engine.counters[0].value, 2);
    const auto shuffled = PileCards(engine, 2);
    EXPECT_EQ(UndoGroup(engine), 4);
    // The generator is given back too (the snapshot holds its state), so
    // the same shuffle again deals the same cards.
    EXPECT_TRUE(StateSnapshot(engine) == before);
    groupOpened = 0;
    ASSERT_TRUE(RunRecorded(engine, 1, groupOpened));
    EXPECT_EQ(PileCards(engine, 2), shuffled);
}

TEST(Undo, RecordsNamingNothingAreDropped) {
    CGameEngine engine;
    LoadAndDeal(engine, MakeSimpleGame(3));
    const StateSnapshot before(engine);
    engine.GetHistory()->Push(Record(HistoryActionExecuted, 1, 999, 3));
    engine.GetHistory()->Push(Record(HistoryExposedToggled, 0, 999));
    engine.GetHistory()->Push(Record(HistoryCounterUsed, 0, 5));
    engine.GetHistory()->Push(Record(9, 0, 0));
    EXPECT_EQ(UndoGroup(engine), 4);
    EXPECT_TRUE(StateSnapshot(engine) == before);
}

// ---------------------------------------------------------------- property

namespace {

// Random actions of every kind for a layout; card attribute ranges are kept
// to at most 15 cards so that their undo is exact.
void AddRandomActions(GameDefinitionData& g, std::mt19937& rng, int n) {
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const uint16_t piles = static_cast<uint16_t>(g.piles.size());
    const auto pile = [&] { return static_cast<uint16_t>(pick(0, piles - 1)); };
    const auto linkPile = [&] { return pick(0, 4) == 0 ? kAnyPile : pile(); };
    const uint8_t pileSubKinds[] = {6, 7, 8, 9, 10, 11, 12, 13};
    const uint8_t cardSubKinds[] = {0, 1, 7, 3};
    for (int k = 0; k < n; ++k) {
        ActionDef a{};
        switch (pick(0, 9)) {
        case 0: case 1: case 2:
            a = Move(pile(), static_cast<uint8_t>(pick(0, 3)), static_cast<int16_t>(pick(-3, 20)),
                     static_cast<uint16_t>(pick(0, 20)), pile(), static_cast<uint8_t>(pick(0, 3)),
                     static_cast<uint16_t>(pick(0, 25)));
            break;
        case 3: case 4: {
            const uint8_t sub = pileSubKinds[pick(0, 7)];
            uint16_t value = static_cast<uint16_t>(pick(0, 1) | (pick(0, 3) << 8));
            if (sub == PileDropProgram || sub == PilePickupProgram)
                value = static_cast<uint16_t>(pick(0, 1));
            else if (sub == PileAttributeValue)
                value = static_cast<uint16_t>(pick(0, 0xFFFF));
            a = PileAttr(pile(), sub, value);
            break;
        }
        case 5: case 6: {
            const uint8_t mode = static_cast<uint8_t>(pick(1, 2));
            a = CardAttr(pile(), mode, static_cast<int16_t>(pick(-3, 12)), static_cast<uint16_t>(pick(0, 15 - 3 * (mode == 2))),
                         cardSubKinds[pick(0, 3)], static_cast<uint16_t>(pick(0, 1)));
            break;
        }
        case 7:
            a = LinkAction(static_cast<uint8_t>(pick(ActionForbidMove, ActionAllowMove)), linkPile(), linkPile());
            break;
        case 8:
            a.kind = ActionFinishGame;
            break;
        default:
            a.kind = g.counterDefs.empty() ? ActionFinishGame : ActionResetCounter;
            if (!g.counterDefs.empty())
                a.sourcePile = static_cast<uint16_t>(pick(0, static_cast<int>(g.counterDefs.size()) - 1));
            break;
        }
        g.actions.push_back(a);
    }
}

std::vector<GameDefinitionData> PropertyLayouts() {
    std::vector<GameDefinitionData> out;
    out.push_back(MakeSimpleGame(8));
    GameDefinitionData g = GameWithCounts({0, 3, 10, 1, 25, 13});
    g.piles[2].manualExposure = 1;
    g.piles[4].baseKind = BaseMarked;
    g.piles[4].attribute = 0x0307;
    g.piles[1].dealFaceUp = 0;
    g.counterDefs = {{3, 0}, {1, 0}};
    out.push_back(g);
    GameDefinitionData two = MakeSimpleGame(10, 2);
    two.counterDefs = {{5, 0}};
    out.push_back(two);
    out.push_back(GameWithCounts({30, 22}));
    return out;
}

}  // namespace

TEST(UndoProperty, RandomStepsUndoneGroupByGroupRestoreEveryState) {
    int layoutIndex = 0;
    for (GameDefinitionData game : PropertyLayouts()) {
        for (uint32_t seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE("layout " + std::to_string(layoutIndex) + ", seed " + std::to_string(seed));
            std::mt19937 rng(seed * 7919u + static_cast<uint32_t>(layoutIndex));
            const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
            GameDefinitionData g = game;
            AddRandomActions(g, rng, 120);
            CGameEngine engine;
            LoadAndDeal(engine, g, seed);

            std::vector<StateSnapshot> groupStarts;
            for (int step = 0; step < 80; ++step) {
                const StateSnapshot before(engine);
                const uint32_t recordsBefore = engine.GetHistory()->GetCount();
                uint8_t groupOpened = 0;
                const int what = pick(0, 5);
                if (what <= 1) {
                    const uint16_t card = static_cast<uint16_t>(pick(0, engine.GetCardCount() - 1));
                    uint16_t dest = static_cast<uint16_t>(pick(0, engine.GetPileCount() - 1));
                    if (dest == engine.cardStates[card].pile)
                        dest = static_cast<uint16_t>((dest + 1) % engine.GetPileCount());
                    PlayerMove(engine, card, dest);
                    groupOpened = 1;
                }
                if (what == 5 && !engine.counters.empty()) {
                    CounterState& c = engine.counters[static_cast<size_t>(pick(0, static_cast<int>(engine.counters.size()) - 1))];
                    if (c.value > 0) {
                        c.value--;
                        engine.GetHistory()->Push(Record(HistoryCounterUsed, groupOpened ? 0 : 1,
                                                         static_cast<uint16_t>(&c - engine.counters.data())));
                        groupOpened = 1;
                    }
                }
                for (int n = pick(what <= 1 ? 0 : 1, 3); n > 0; --n)
                    RunRecorded(engine, static_cast<uint16_t>(pick(1, engine.GetActionCount() - 1)), groupOpened);
                engine.RefreshExposedCards(Recording::Recorded);
                ASSERT_TRUE(Consistent(engine)) << "step " << step;
                if (engine.GetHistory()->GetCount() > recordsBefore)
                    groupStarts.push_back(before);
                else
                    ASSERT_TRUE(StateSnapshot(engine) == before) << "step " << step << " changed without a record";
            }
            while (!groupStarts.empty()) {
                UndoGroup(engine);
                ASSERT_TRUE(Consistent(engine));
                ASSERT_TRUE(StateSnapshot(engine) == groupStarts.back()) << "group " << groupStarts.size();
                groupStarts.pop_back();
            }
            EXPECT_FALSE(engine.CanUndo());
        }
        ++layoutIndex;
    }
}
