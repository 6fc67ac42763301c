// Events: conditions, counters, running actions with their history records,
// the automatic passes and their bound, and the exposed flags.
#include <gtest/gtest.h>

#include "engine/events.h"
#include "support/layouts.h"
#include "models/model_games.h"
#include "engine/player_move.h"
#include "support/sample_games.h"

using namespace corvelle;
using corvelle::model::GameBuilder;
using corvelle::model::TurnTop;
using corvelle::test::ArrangeLayout;

namespace {

// A game of four plain piles with no events but event 0 (tests add theirs),
// and a fifth pile that holds the cards a layout does not place.
GameBuilder FourPiles() {
    GameBuilder b;
    b.Decks(1);
    b.Pile(52, FanDown, BasePlain, "PUSH 0", "PUSH 0");
    for (int i = 0; i < 4; ++i)
        b.Pile(0, FanDown, BasePlain, "PUSH 0", "PUSH 0");
    return b;
}

void Load(CGameEngine& engine, GameBuilder& b, const std::vector<test::PileText>& layout) {
    ASSERT_TRUE(test::LoadInto(engine, b.GetData()));
    ArrangeLayout(engine, layout);
}

std::vector<HistoryRecord> History(const CGameEngine& e) {
    return std::vector<HistoryRecord>(e.history->GetRecords(), e.history->GetRecords() + e.history->GetCount());
}

}  // namespace

TEST(EventConditions, AllMustHold) {
    GameBuilder b = FourPiles();
    const uint16_t free = b.Event(EventPlayerOnly);
    const uint16_t twoPiles = b.Event(EventPlayerOnly);
    b.Condition(twoPiles, "SUIT RANK ADD", 1);                    // pile 1 empty
    b.Condition(twoPiles, "SWITCHLIST RANK PUSH 5 SUB", 0, 2);    // pile 2's top is a 5
    const uint16_t disabled = b.Event(EventPlayerOnly);
    b.Condition(disabled, "PUSH 0", 3);
    CGameEngine e;
    Load(e, b, {{"AC"}, {}, {"5H"}, {"KS"}});

    EXPECT_TRUE(e.IsEventAllowed(free));
    EXPECT_TRUE(e.IsEventAllowed(twoPiles));
    EXPECT_TRUE(e.IsEventAllowed(disabled));
    EXPECT_FALSE(e.IsEventAllowed(0));                 // the null event
    EXPECT_TRUE(e.IsEventAllowed(e.GetEventCount() + 5));   // beyond the events: no conditions

    e.pileStates[3].enabled = 0;                       // pile A disabled: refused
    EXPECT_FALSE(e.IsEventAllowed(disabled));
    ArrangeLayout(e, {{"AC"}, {"2C"}, {"5H"}, {"KS"}});
    EXPECT_FALSE(e.IsEventAllowed(twoPiles));

    // Indexes out of range make the condition fail.
    ArrangeLayout(e, {{"AC"}, {}, {"5H"}, {"KS"}});
    const uint16_t program = e.conditions[2].program;
    e.conditions[2].program = e.GetProgramCount();
    EXPECT_FALSE(e.IsEventAllowed(twoPiles));
    e.conditions[2].program = program;
    EXPECT_TRUE(e.IsEventAllowed(twoPiles));
    e.conditions[2].pileB = e.GetPileCount();
    EXPECT_FALSE(e.IsEventAllowed(twoPiles));
    e.conditions[2].pileB = 2;
    e.conditions[2].pileA = e.GetPileCount();
    EXPECT_FALSE(e.IsEventAllowed(twoPiles));
    e.eventConditions.back().condition = 999;
    EXPECT_FALSE(e.IsEventAllowed(disabled));
}

TEST(EventCounters, ConsumeReportAndRecord) {
    GameBuilder b = FourPiles();
    const uint16_t free = b.Event(EventPlayerOnly);
    const uint16_t limited = b.Event(EventPlayerOnly);
    b.Counter(limited, 2);
    // Only the first entry naming an event counts: this one, at 0, does not.
    b.GetData().counterDefs.push_back(CounterDef{0, 0});
    b.GetData().eventCounters.push_back(EventCounter{limited, 1});
    CGameEngine e;
    Load(e, b, {});

    uint8_t flag = 0;
    uint16_t counter = 77;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(e.UseEventCounter(free, flag, counter, CounterUse::Consume, Recording::Recorded));
    EXPECT_EQ(counter, e.GetCounterCount());   // no counter
    EXPECT_EQ(e.history->GetCount(), 0u);

    // Without consume: nothing changes, nothing is reported.
    counter = 77;
    EXPECT_TRUE(e.UseEventCounter(limited, flag, counter, CounterUse::Check, Recording::Recorded));
    EXPECT_EQ(counter, 77);
    EXPECT_EQ(e.counters[0].value, 2);
    EXPECT_EQ(flag, 0);

    // Consume without recording: the value drops, the flag stays.
    EXPECT_TRUE(e.UseEventCounter(limited, flag, counter, CounterUse::Consume, Recording::Unrecorded));
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(e.counters[0].value, 1);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(e.history->GetCount(), 0u);

    // Consume with recording opens the group.
    EXPECT_TRUE(e.UseEventCounter(limited, flag, counter, CounterUse::Consume, Recording::Recorded));
    EXPECT_EQ(e.counters[0].value, 0);
    EXPECT_EQ(flag, 1);
    ASSERT_EQ(e.history->GetCount(), 1u);
    const HistoryRecord r = History(e)[0];
    EXPECT_EQ(r.kind, HistoryCounterUsed);
    EXPECT_EQ(r.groupStart, 1);
    EXPECT_EQ(r.index, 0);

    // At 0 it is refused, the index still reported, nothing recorded.
    counter = 77;
    EXPECT_FALSE(e.UseEventCounter(limited, flag, counter, CounterUse::Consume, Recording::Recorded));
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(e.counters[0].value, 0);
    EXPECT_EQ(e.history->GetCount(), 1u);
    EXPECT_FALSE(EventCounterAllows(e, limited));
    EXPECT_TRUE(EventCounterAllows(e, free));
}

TEST(EventActions, OneChangingActionPerCall) {
    GameBuilder b = FourPiles();
    const uint16_t ev = b.Event(EventPlayerOnly);
    b.Action(ev, test::Move(2, SourceFromTop, 0, 1, 3, DestFromTop));    // pile 2 is empty: no change
    b.Action(ev, test::Move(0, SourceFromTop, 0, 2, 1, DestFromTop));
    b.Action(ev, TurnTop(1, 1));                       // already face up: no change
    b.Action(ev, TurnTop(0, 0));
    CGameEngine e;
    Load(e, b, {{"AC", "2C", "3C", "4C"}});

    uint8_t flag = 0;
    uint16_t index = 0;
    ActionDef out{};
    ASSERT_TRUE(e.RunEventActions(ev, flag, index, out, Recording::Recorded));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(out.kind, ActionMoveCards);
    EXPECT_EQ(out.sourcePile, 0);
    EXPECT_EQ(e.pileStates[1].count, 2);
    ASSERT_TRUE(e.RunEventActions(ev, flag, index, out, Recording::Recorded));
    EXPECT_EQ(index, 4);
    EXPECT_EQ(out.kind, ActionSetCardAttribute);
    EXPECT_FALSE(e.RunEventActions(ev, flag, index, out, Recording::Recorded));

    const std::vector<HistoryRecord> h = History(e);
    ASSERT_EQ(h.size(), 2u);
    EXPECT_EQ(h[0].kind, HistoryActionExecuted);
    EXPECT_EQ(h[0].groupStart, 1);   // the first record of the step
    EXPECT_EQ(h[0].index, 1);        // the action's index in the action table
    EXPECT_EQ(h[1].groupStart, 0);
    EXPECT_EQ(h[1].index, 3);

    // Records of a drop event join the group the move opened.
    flag = 1;
    index = 0;
    ArrangeLayout(e, {{"AC", "2C", "3C", "4C"}});
    EXPECT_TRUE(e.RunEventActions(ev, flag, index, out, Recording::Recorded));
    EXPECT_EQ(History(e).at(0).groupStart, 0);

    // Without recording the flag is neither read nor changed.
    flag = 0;
    index = 0;
    ArrangeLayout(e, {{"AC", "2C", "3C", "4C"}});
    EXPECT_TRUE(e.RunEventActions(ev, flag, index, out, Recording::Unrecorded));
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(e.history->GetCount(), 0u);

    // An event beyond the game's events runs nothing.
    index = 0;
    EXPECT_FALSE(e.RunEventActions(e.GetEventCount(), flag, index, out, Recording::Recorded));
}

TEST(EventActions, EventThatChangesNothingStillRuns) {
    GameBuilder b = FourPiles();
    const uint16_t ev = b.Event(EventPlayerOnly);
    b.Action(ev, test::Move(2, SourceFromTop, 0, 1, 3, DestFromTop));
    b.Counter(ev, 3);
    CGameEngine e;
    Load(e, b, {{"AC"}});
    uint8_t flag = 0;
    EXPECT_FALSE(RunPlayerEvent(e, ev, flag));   // no action ran ...
    EXPECT_EQ(e.counters[0].value, 2);                  // ... but the counter was used
    const std::vector<HistoryRecord> h = History(e);
    ASSERT_EQ(h.size(), 1u);
    EXPECT_EQ(h[0].kind, HistoryCounterUsed);
    EXPECT_EQ(h[0].groupStart, 1);
}

TEST(EventCounters, UsedUpEventRunsInTheSameStep) {
    GameBuilder b = FourPiles();
    const uint16_t click = b.Event(EventPlayerOnly);
    const uint16_t usedUp = b.Event(EventPlayerOnly);
    b.Condition(usedUp, "PUSH 1", 0);                   // never holds, and is not checked
    b.Action(click, test::Move(0, SourceFromTop, 0, 1, 1, DestFromTop));
    b.Action(usedUp, test::Move(0, SourceFromTop, 0, 1, 2, DestFromTop));
    const uint16_t counter = b.Counter(click, 1, usedUp);
    CGameEngine e;
    Load(e, b, {{"AC", "2C", "3C"}});

    uint8_t flag = 0;
    uint16_t index = 0, used = 0;
    ActionDef out{};
    EXPECT_FALSE(e.RunCounterExhaustedEvent(counter, flag, index, out));   // value 1: not used up
    EXPECT_FALSE(e.RunCounterExhaustedEvent(e.GetCounterCount(), flag, index, out));
    ASSERT_TRUE(RunPlayerEvent(e, click, flag));
    EXPECT_EQ(e.pileStates[1].count, 1);
    EXPECT_EQ(e.pileStates[2].count, 1);
    const std::vector<HistoryRecord> h = History(e);
    ASSERT_EQ(h.size(), 3u);
    EXPECT_EQ(h[0].kind, HistoryCounterUsed);
    EXPECT_EQ(h[0].groupStart, 1);
    EXPECT_EQ(h[1].kind, HistoryActionExecuted);
    EXPECT_EQ(h[2].kind, HistoryActionExecuted);
    EXPECT_EQ(h[2].index, 1);
    EXPECT_EQ(h[2].groupStart, 0);
    // Now refused; the used-up event would run again (it always records).
    EXPECT_FALSE(e.UseEventCounter(click, flag, used, CounterUse::Consume, Recording::Recorded));
    index = 0;
    EXPECT_TRUE(e.RunCounterExhaustedEvent(used, flag, index, out));
}

TEST(ExposedCards, RefreshFollowsTheTop) {
    GameBuilder b = FourPiles();
    b.PileAt(3).manualExposure = 1;
    CGameEngine e;
    Load(e, b, {{"AC", "2C"}, {"3C"}, {}, {"4C", "5C"}});
    const uint16_t two = e.CardAt(0, 1), ace = e.CardAt(0, 0);
    const uint16_t four = e.CardAt(3, 0), five = e.CardAt(3, 1);
    e.cardStates[four].exposed = 1;   // a manual pile keeps whatever it has
    ActionDef move = test::Move(0, SourceFromTop, 0, 1, 1, DestFromTop);
    uint16_t result;
    ASSERT_TRUE(e.ExecuteAction(move, &result));
    e.RefreshExposedCards(Recording::Recorded);
    EXPECT_EQ(e.cardStates[ace].exposed, 1);
    EXPECT_EQ(e.cardStates[two].exposed, 1);
    EXPECT_EQ(e.cardStates[e.CardAt(1, 0)].exposed, 0);
    EXPECT_EQ(e.cardStates[four].exposed, 1);
    EXPECT_EQ(e.cardStates[five].exposed, 1);
    const std::vector<HistoryRecord> h = History(e);
    ASSERT_EQ(h.size(), 2u);
    for (const HistoryRecord& r : h) {
        EXPECT_EQ(r.kind, HistoryExposedToggled);
        EXPECT_EQ(r.groupStart, 0);
    }
    EXPECT_EQ(h[0].index, ace);   // card order
    EXPECT_EQ(h[1].index, e.CardAt(1, 0));
    e.RefreshExposedCards(Recording::Recorded);  // nothing left to change
    EXPECT_EQ(e.history->GetCount(), 2u);
}

TEST(AutomaticEvents, TypesAndOrder) {
    GameBuilder b = FourPiles();
    const uint16_t atStart = b.Event(EventAtStart);
    b.Action(atStart, test::Move(0, SourceFromTop, 0, 1, 1, DestFromTop));
    const uint16_t playerOnly = b.Event(EventPlayerOnly);
    b.Action(playerOnly, test::Move(0, SourceFromTop, 0, 1, 3, DestFromTop));
    const uint16_t afterStep = b.Event(EventAfterStep);
    b.Action(afterStep, test::Move(0, SourceFromTop, 0, 1, 2, DestFromTop));
    // Event 0 never runs automatically, whatever its type.
    b.GetData().eventTypes[0] = EventAfterStepRepeating;
    b.GetData().eventConditions.clear();
    b.Action(0, test::Move(0, SourceFromTop, 0, 1, 3, DestFromTop));
    CGameEngine e;
    Load(e, b, {{"AC", "2C", "3C", "4C"}});

    uint8_t flag = 0;
    EXPECT_TRUE(e.RunAutomaticEvents(AutomaticEvents::AtGameStart, Recording::Unrecorded, flag));
    EXPECT_EQ(e.pileStates[1].count, 1);
    EXPECT_EQ(e.pileStates[2].count, 0);
    EXPECT_EQ(e.history->GetCount(), 0u);
    EXPECT_EQ(flag, 0);

    EXPECT_TRUE(e.RunAutomaticEvents(AutomaticEvents::AfterStep, Recording::Recorded, flag));
    EXPECT_EQ(e.pileStates[1].count, 1);
    EXPECT_EQ(e.pileStates[2].count, 1);
    EXPECT_EQ(e.pileStates[3].count, 0);   // neither event 0 nor the player-only event
    ASSERT_EQ(e.history->GetCount(), 1u);
    EXPECT_EQ(History(e)[0].groupStart, 1);
    (void)playerOnly;
    (void)afterStep;
}

TEST(AutomaticEvents, RepeatingPassesAndTheirBound) {
    GameBuilder b = FourPiles();
    // Moves one card per pass from pile 0 to pile 1 while pile 0 holds any.
    const uint16_t drain = b.Event(EventAfterStepRepeating);
    b.Condition(drain, model::programs::kNotEmpty, 0);
    b.Action(drain, test::Move(0, SourceFromTop, 0, 1, 1, DestFromTop));
    // Allowed for ever, changes nothing.
    const uint16_t idle = b.Event(EventAfterStepRepeating);
    b.Action(idle, test::Move(3, SourceFromTop, 0, 1, 3, DestFromTop));
    CGameEngine e;
    Load(e, b, {{"AC", "2C", "3C", "4C", "5C"}});

    uint8_t flag = 1;
    CAutomaticEventRunner runner(e, AutomaticEvents::AfterStep, Recording::Recorded, flag);
    ActionDef out{};
    int actions = 0;
    while (runner.Next(out)) {
        EXPECT_EQ(out.kind, ActionMoveCards);
        EXPECT_EQ(out.value, 1);   // ExecuteAction wrote the number of cards moved
        ++actions;
    }
    EXPECT_EQ(actions, 5);
    EXPECT_EQ(e.pileStates[0].count, 0);
    EXPECT_EQ(e.pileStates[1].count, 5);
    EXPECT_EQ(runner.GetPasses(), 6u);   // the sixth pass changed nothing
    EXPECT_FALSE(runner.Next(out));

    // Only the idle event is left: one pass.
    CAutomaticEventRunner idleOnly(e, AutomaticEvents::AfterStep, Recording::Recorded, flag);
    EXPECT_FALSE(idleOnly.Next(out));
    EXPECT_EQ(idleOnly.GetPasses(), 1u);
}

TEST(AutomaticEvents, EndlessChangesStopAtTheCap) {
    GameBuilder b = FourPiles();
    const uint16_t flip = b.Event(EventAfterStepRepeating);
    b.Action(flip, test::PileAttr(0, PileReverse, 0));
    CGameEngine e;
    Load(e, b, {{"AC", "2C"}});
    uint8_t flag = 0;
    CAutomaticEventRunner runner(e, AutomaticEvents::AfterStep, Recording::Unrecorded, flag);
    ActionDef out;
    unsigned actions = 0;
    while (runner.Next(out))
        ++actions;
    EXPECT_EQ(actions, kMaxAutomaticPasses);
    EXPECT_EQ(runner.GetPasses(), kMaxAutomaticPasses);
}

TEST(AutomaticEvents, FinishingEndsThePass) {
    GameBuilder b = FourPiles();
    const uint16_t repeat = b.Event(EventAfterStepRepeating);
    b.Action(repeat, test::Move(0, SourceFromTop, 0, 1, 1, DestFromTop));
    const uint16_t win = b.Event(EventAfterStep);
    b.Condition(win, "SUIT RANK ADD", 2);   // pile 2 is empty
    b.Action(win, model::Finish());
    const uint16_t later = b.Event(EventAfterStep);
    b.Action(later, test::Move(0, SourceFromTop, 0, 1, 3, DestFromTop));
    CGameEngine e;
    Load(e, b, {{"AC", "2C", "3C"}});
    uint8_t flag = 0;
    EXPECT_TRUE(e.RunAutomaticEvents(AutomaticEvents::AfterStep, Recording::Recorded, flag));
    EXPECT_EQ(e.finished, 1);
    EXPECT_EQ(e.pileStates[1].count, 1);   // one pass only
    EXPECT_EQ(e.pileStates[3].count, 0);   // the pass ended at the win
    (void)later;
}

TEST(AutomaticEvents, CountingDownIsAChange) {
    GameBuilder b = FourPiles();
    const uint16_t tick = b.Event(EventAfterStepRepeating);
    b.Counter(tick, 4);
    CGameEngine e;
    Load(e, b, {{"AC"}});
    uint8_t flag = 0;
    CAutomaticEventRunner runner(e, AutomaticEvents::AfterStep, Recording::Recorded, flag);
    ActionDef out;
    EXPECT_FALSE(runner.Next(out));
    EXPECT_EQ(e.counters[0].value, 0);
    EXPECT_EQ(runner.GetPasses(), 5u);
    EXPECT_EQ(e.history->GetCount(), 4u);
    EXPECT_FALSE(runner.AnyActionRan());
}

TEST(PlayerSteps, GroupsOfAMoveAndAClick) {
    GameBuilder b = FourPiles();
    const uint16_t drop = b.Event(EventPlayerOnly);
    b.Action(drop, TurnTop(0, 0));
    b.PileAt(1).dropEvent = drop;
    const uint16_t click = b.Event(EventPlayerOnly);
    b.Action(click, test::Move(0, SourceFromTop, 0, 1, 2, DestFromTop));
    b.PileAt(0).clickEvent = click;
    CGameEngine e;
    Load(e, b, {{"AC", "2C", "3C"}});

    ASSERT_TRUE(PlayMove(e, e.CardAt(0, 2), 1));
    std::vector<HistoryRecord> h = History(e);
    ASSERT_GE(h.size(), 2u);
    EXPECT_EQ(h[0].kind, HistoryPlayerMove);
    EXPECT_EQ(h[0].groupStart, 1);
    EXPECT_EQ(h[1].kind, HistoryActionExecuted);
    EXPECT_EQ(h[1].groupStart, 0);   // the drop event joins the move's group
    const uint32_t afterMove = e.history->GetCount();

    ASSERT_TRUE(PlayClick(e, 0));
    h = History(e);
    ASSERT_GT(h.size(), afterMove);
    EXPECT_EQ(h[afterMove].kind, HistoryActionExecuted);
    EXPECT_EQ(h[afterMove].groupStart, 1);   // the click opens its own group
    for (size_t i = afterMove + 1; i < h.size(); ++i)
        EXPECT_EQ(h[i].groupStart, 0);

    // Undo takes back the click, then the move.
    ASSERT_TRUE(UndoStep(e));
    EXPECT_EQ(e.history->GetCount(), afterMove);
    ASSERT_TRUE(UndoStep(e));
    EXPECT_EQ(e.history->GetCount(), 0u);
    EXPECT_EQ(e.pileStates[0].count, 3);
    EXPECT_EQ(e.cardStates[e.CardAt(0, 1)].faceUp, 1);
}
