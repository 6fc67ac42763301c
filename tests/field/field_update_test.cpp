// Field updates: which executed actions become updates, and replaying the
// engine's own steps on the field's copy keeps it equal to the engine over
// random play of every game of the library.
#include <gtest/gtest.h>

#include <random>

#include "engine/action_range.h"
#include "engine/invariants.h"
#include "engine/player_move.h"
#include "field/field_update.h"
#include "field_compare.h"
#include "library_games.h"
#include "models/action_records.h"

namespace corvelle {
namespace {

FieldLayout Copy(const CGameEngine& engine) {
    FieldLayout layout;
    EXPECT_TRUE(BuildFieldLayout(engine, layout));
    return layout;
}

void Replay(FieldLayout& layout, FieldUpdateList& updates) {
    const FieldRunMover move = [&](uint16_t from, uint16_t start, uint16_t count, uint16_t to, uint16_t at) {
        EXPECT_TRUE(MoveFieldRun(layout, from, start, count, to, at));
    };
    for (const FieldUpdate& u : updates.items) ReplayFieldUpdate(layout, u, move);
    updates.items.clear();
}

void QueueAll(const std::vector<ActionDef>& actions, const FieldLayout& layout, FieldUpdateList& updates) {
    for (const ActionDef& a : actions) QueueFieldUpdate(a, layout, updates);
}

TEST(FieldUpdates, OnlyActionsThatChangeTheViewAreQueued) {
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, "Golf", 2));
    FieldLayout layout = Copy(engine);
    layout.piles[0].baseKind = BaseMarked;
    layout.piles[1].baseKind = BasePictured;
    FieldUpdateList updates;
    const ActionDef faceUp = test::CardAttr(3, SourceFromTop, 0, 1, CardFaceUp, 1);
    const ActionDef locked = test::CardAttr(3, SourceFromTop, 0, 1, CardMovable, 1);
    const ActionDef exposed = test::CardAttr(3, SourceFromTop, 0, 1, CardExposed, 1);
    ActionDef finish{};
    finish.kind = ActionFinishGame;
    for (const ActionDef& a : {locked, exposed, finish, test::PileAttr(0, PileEnabled, 0),
                               test::PileAttr(0, PileDropProgram, 1), test::PileAttr(0, PilePickupProgram, 1)})
        QueueFieldUpdate(a, layout, updates);
    EXPECT_TRUE(updates.items.empty());

    QueueFieldUpdate(MoveAction(2, SourceFromTop, 0, 1, 4, DestFromTop, 0), layout, updates);
    QueueFieldUpdate(faceUp, layout, updates);
    QueueFieldUpdate(test::PileAttr(5, PileAcceptsDrops, 0), layout, updates);
    QueueFieldUpdate(test::PileAttr(5, PileReverse, 0), layout, updates);
    QueueFieldUpdate(test::PileAttr(0, PileAttributeValue, 0x040D), layout, updates);   // king of hearts
    QueueFieldUpdate(test::PileAttr(0, PileAttributeValue, 0x0001), layout, updates);   // ace, no suit
    QueueFieldUpdate(test::PileAttr(1, PileAttributeValue, 1), layout, updates);        // the second picture
    QueueFieldUpdate(test::PileAttr(6, PileShuffle, 4711), layout, updates);
    ASSERT_EQ(updates.items.size(), 8u);
    EXPECT_FALSE(updates.lost);
    const std::vector<FieldUpdate>& u = updates.items;
    EXPECT_EQ(u[0].kind, FieldUpdateKind::MoveRun);
    EXPECT_EQ(u[0].pile, 2);
    EXPECT_EQ(u[0].destPile, 4);
    EXPECT_EQ(u[1].kind, FieldUpdateKind::SetFaceUp);
    EXPECT_EQ(u[2].kind, FieldUpdateKind::SetVisible);
    EXPECT_EQ(u[3].kind, FieldUpdateKind::Reverse);
    EXPECT_EQ(u[4].baseValue, 12u);
    EXPECT_EQ(u[4].baseSuit, 3u);
    EXPECT_EQ(u[5].baseValue, 0u);
    EXPECT_EQ(u[5].baseSuit, kNoMark);   // a high byte 0: no suit mark
    EXPECT_EQ(u[6].baseValue, 1u);
    EXPECT_EQ(u[7].kind, FieldUpdateKind::Shuffle);
    EXPECT_EQ(u[7].value, 4711);
}

TEST(FieldUpdates, ActionsOnPilesTheFieldLacksAreSkippedAndMarkTheBatchLost) {
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, "Klondike (draw one)", 2));
    FieldLayout layout = Copy(engine);
    const auto scratch = static_cast<uint16_t>(layout.piles.size());   // the engine's scratch pile
    FieldUpdateList updates;
    QueueFieldUpdate(MoveAction(0, SourceFromTop, 0, 1, scratch, DestFromTop, 0), layout, updates);
    EXPECT_TRUE(updates.items.empty());
    EXPECT_TRUE(updates.lost);
    updates.lost = false;
    QueueFieldUpdate(test::PileAttr(0xFFFF, PileReverse, 0), layout, updates);
    EXPECT_TRUE(updates.items.empty());
    EXPECT_TRUE(updates.lost);

    // Replaying a record that names no pile of the copy changes nothing.
    FieldUpdate bad;
    bad.pile = scratch;
    bad.count = 1;
    const FieldLayout before = layout;
    EXPECT_FALSE(ReplayFieldUpdate(layout, bad, [](uint16_t, uint16_t, uint16_t, uint16_t, uint16_t) { FAIL(); }));
    bad.pile = 0;
    bad.destPile = scratch;
    EXPECT_FALSE(ReplayFieldUpdate(layout, bad, [](uint16_t, uint16_t, uint16_t, uint16_t, uint16_t) { FAIL(); }));
    EXPECT_EQ(test::FieldDifference(layout, before), "");
}

// Each action executed by the engine and replayed on the copy leaves both
// equal: moves of every source and destination mode (also within one pile),
// face changes of long ranges, reverse and shuffle with the engine's seed.
TEST(FieldUpdates, ReplayedActionsTakeTheEnginesCards) {
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, "Klondike (draw one)", 7));
    const uint16_t stock = 0, waste = 1, column = 12;
    const ActionDef turn = test::CardAttr(stock, SourceRange, 3, 17, CardFaceUp, 1);
    std::vector<ActionDef> actions = {
        MoveAction(stock, SourceFromTop, 2, 3, waste, DestFromTop, 0),
        MoveAction(stock, SourceRange, 1, 4, waste, DestAtPosition, 1),
        MoveAction(stock, SourceFromPosition, 15, 2, column, DestFromTop, 1),
        MoveAction(waste, SourceFromTop, 0, 2, waste, DestAtPosition, 0),   // within one pile
        MoveAction(column, SourceFromTop, 0, 40, waste, DestFromTop, 0),    // more than the pile holds
        turn,
        test::PileAttr(waste, PileReverse, 0),
        test::PileAttr(stock, PileShuffle, 0),
    };
    FieldLayout layout = Copy(engine);
    for (ActionDef a : actions) {
        uint16_t result = 0;
        engine.ExecuteAction(a, &result);   // a shuffle draws its seed into the action
        FieldUpdateList updates;
        QueueFieldUpdate(a, layout, updates);
        Replay(layout, updates);
        ASSERT_EQ(test::FieldDifferenceFromEngine(layout, engine), "") << "action kind " << int{a.kind};
    }
}

TEST(FieldUpdates, MoveCardsInModelMovesTheRunFromIndexToTheTop) {
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, "Klondike (draw one)", 4));
    FieldLayout layout = Copy(engine);
    const FieldCard third = layout.piles[10].cards[2];
    EXPECT_TRUE(MoveCardsInModel(layout, 10, 2, 1));   // tableau 5 (5 cards) onto the empty waste
    EXPECT_EQ(layout.piles[10].cards.size(), 2u);
    ASSERT_EQ(layout.piles[1].cards.size(), 3u);
    EXPECT_EQ(layout.piles[1].cards[0].card, third.card);
    EXPECT_FALSE(MoveCardsInModel(layout, 10, 2, 1));   // no card at index 2 any more
    EXPECT_FALSE(MoveCardsInModel(layout, 10, 0, 99));
    EXPECT_TRUE(MoveCardsInModel(layout, 1, 1, 1));     // onto its own pile: no change of order
    EXPECT_EQ(layout.piles[1].cards[0].card, third.card);
}

// Random play of every game, as the field plays it: the player's move
// mirrored by the field, then the drop or click event's updates, then the
// automatic moves' updates; undo rebuilds the copy. After every step the copy
// equals the engine and the engine's invariants hold.
TEST(FieldUpdates, RandomPlayOfEveryGameKeepsTheCopyEqualToTheEngine) {
    std::mt19937 random(20261209);
    size_t steps = 0, updatesReplayed = 0;
    for (const std::string& name : test::LibraryGameNames()) {
        CGameEngine engine;
        ASSERT_TRUE(test::DealLibraryGame(engine, name, 3)) << name;
        FieldLayout layout = Copy(engine);
        std::vector<CGameEngine::HintMove> hints;
        for (int step = 0; step < 120 && !engine.finished; ++step) {
            const unsigned roll = random() % 100;
            FieldUpdateList updates;
            std::vector<ActionDef> actions;
            bool acted = false;
            if (roll < 8) {
                if (UndoStep(engine)) layout = Copy(engine);
            } else {
                uint16_t card = kNone, target = kNone;
                engine.FindAllHints(hints, true);
                if (roll < 70 && !hints.empty()) {
                    const CGameEngine::HintMove& h = hints[random() % hints.size()];
                    card = h.first;
                    target = h.second;
                } else if (roll < 90) {
                    card = static_cast<uint16_t>(random() % engine.cardStates.size());
                    target = static_cast<uint16_t>(random() % engine.pileStates.size());
                } else {
                    card = static_cast<uint16_t>(random() % engine.pileStates.size());   // a pile to click
                }
                if (target == kNone) {
                    acted = TryPileClick(engine, card, &actions);
                } else if (CheckMove(engine, card, target) == MoveRefusal::None) {
                    const CardState from = engine.cardStates[card];
                    acted = TryMove(engine, card, target, &actions);
                    ASSERT_TRUE(acted);
                    ASSERT_TRUE(MoveCardsInModel(layout, from.pile, static_cast<uint16_t>(from.position), target));
                }
                QueueAll(actions, layout, updates);
                updatesReplayed += updates.items.size();
                Replay(layout, updates);
                if (acted) {
                    actions.clear();
                    RunAutoMoves(engine, &actions);
                    QueueAll(actions, layout, updates);
                    updatesReplayed += updates.items.size();
                    Replay(layout, updates);
                }
                EXPECT_FALSE(updates.lost);
            }
            ++steps;
            std::string reason;
            ASSERT_TRUE(CheckGameInvariants(engine, &reason)) << name << " step " << step << ": " << reason;
            ASSERT_EQ(test::FieldDifferenceFromEngine(layout, engine), "") << name << " step " << step;
        }
    }
    EXPECT_GT(steps, 3000u);
    EXPECT_GT(updatesReplayed, 1000u);
}

}  // namespace
}  // namespace corvelle
