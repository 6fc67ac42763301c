// Events, their conditions and counters, the automatic events and the
// exposed flags.
#include "engine/events.h"

#include <vector>

#include "engine/action_range.h"

namespace corvelle {
namespace {

const EventCounter* FindEventCounter(const CGameEngine& e, uint16_t event) {
    for (const EventCounter& ec : e.eventCounters)
        if (ec.event == event)
            return &ec;
    return nullptr;
}

// Pushes a record that opens the step's undo group when nothing has yet.
void PushGrouped(CGameEngine& e, HistoryRecord r, uint8_t& groupOpened) {
    r.groupStart = groupOpened == 0 ? 1 : 0;
    groupOpened = 1;
    if (e.history)
        e.history->Push(r);
}

// The flag that a card-attribute action sets, for each card of its range, by
// offset from the range's start.
std::vector<uint8_t> RangeFlags(const CGameEngine& e, const ActionDef& a, const CardRange& range) {
    std::vector<uint8_t> flags(static_cast<size_t>(range.GetSize()), 0);
    for (const CardState& c : e.cardStates)
        if (c.pile == a.sourcePile && c.position >= range.lo && c.position < range.hi)
            flags[static_cast<size_t>(c.position - range.lo)] =
                a.subKind == CardFaceUp ? c.faceUp : a.subKind == CardMovable ? c.movable : c.exposed;
    return flags;
}

// One result per run of changed cards, (offset << 8) | length as the undo of
// a card-attribute change reads it; empty when a run starts beyond what that
// form can name.
std::vector<uint16_t> ChangedRuns(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after) {
    std::vector<uint16_t> runs;
    for (size_t at = 0; at < before.size();) {
        if (before[at] == after[at]) {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < before.size() && before[end] != after[end] && end - at < 255)
            ++end;
        if (at > 127)
            return {};
        runs.push_back(static_cast<uint16_t>((at << 8) | (end - at)));
        at = end;
    }
    return runs;
}

}  // namespace

bool EventCounterAllows(const CGameEngine& e, uint16_t event) {
    const EventCounter* ec = FindEventCounter(e, event);
    if (!ec || ec->counter >= e.counters.size())
        return true;
    return e.counters[ec->counter].value != 0;
}

bool CGameEngine::IsEventAllowed(uint16_t event) const {
    // Reused between calls so that checking conditions allocates nothing
    // once the lists have grown to the largest pile.
    static thread_local RuleCardList listA, listB;
    for (const EventCondition& ec : eventConditions) {
        if (ec.event != event)
            continue;
        // A condition, pile or program that does not exist fails.
        const uint16_t index = ec.condition;
        if (index >= conditions.size())
            return false;
        const RuleCondition& c = conditions[index];
        if (c.pileA >= pileStates.size() || !pileStates[c.pileA].enabled)
            return false;
        if (c.pileB != kNone && c.pileB >= pileStates.size())
            return false;
        BuildPileCardList(c.pileA, listA);
        if (c.pileB != kNone)
            BuildPileCardList(c.pileB, listB);
        if (!EvaluateProgram(c.program, listA, c.pileB != kNone ? &listB : nullptr))
            return false;
    }
    return true;
}

bool CGameEngine::UseEventCounter(uint16_t event, uint8_t& groupOpened, uint16_t& counterOut, CounterUse use,
                                  Recording recording) {
    const bool consume = use == CounterUse::Consume;
    if (consume)
        counterOut = GetCounterCount();
    const EventCounter* ec = FindEventCounter(*this, event);
    if (!ec)
        return true;
    if (consume)
        counterOut = ec->counter;
    if (ec->counter >= counters.size())
        return true;   // no runtime state for it: nothing to count
    CounterState& state = counters[ec->counter];
    if (state.value == 0)
        return false;
    if (!consume)
        return true;
    --state.value;
    if (recording == Recording::Recorded) {
        HistoryRecord r{};
        r.kind = HistoryCounterUsed;
        r.index = ec->counter;
        PushGrouped(*this, r, groupOpened);
    }
    return true;
}

bool CGameEngine::RunEventActions(uint16_t event, uint8_t& groupOpened, uint16_t& index, ActionDef& actionOut,
                                  Recording recording) {
    const bool record = recording == Recording::Recorded;
    for (; index < eventActions.size(); ++index) {
        const EventAction& ea = eventActions[index];
        if (ea.event != event || ea.action >= actions.size())
            continue;
        actionOut = actions[ea.action];
        // A long card range can change scattered cards, which one 16-bit
        // result cannot describe: such a change is recorded as one record per
        // run of changed cards, so that undo restores every card exactly.
        CardRange range;
        std::vector<uint8_t> before;
        if (record && actionOut.kind == ActionSetCardAttribute && actionOut.sourcePile < pileStates.size()) {
            range = SelectRange(actionOut.sourceMode, actionOut.sourcePosition, actionOut.count,
                                pileStates[actionOut.sourcePile].count);
            if (range.GetSize() > kChangeMaskBits)
                before = RangeFlags(*this, actionOut, range);
        }
        uint16_t result = 0;
        if (!ExecuteAction(actionOut, &result))
            continue;   // changed nothing: neither recorded nor reported
        if (record) {
            HistoryRecord r{};
            r.kind = HistoryActionExecuted;
            r.index = ea.action;
            std::vector<uint16_t> runs;
            if (!before.empty() && result == 0)
                runs = ChangedRuns(before, RangeFlags(*this, actionOut, range));
            if (runs.empty())
                runs.push_back(result);
            for (uint16_t value : runs) {
                r.value = value;
                PushGrouped(*this, r, groupOpened);
            }
        }
        ++index;
        return true;
    }
    return false;
}

bool CGameEngine::RunCounterExhaustedEvent(uint16_t counter, uint8_t& groupOpened, uint16_t& index,
                                           ActionDef& actionOut) {
    if (counter >= counterDefs.size() || counter >= counters.size())
        return false;
    const CounterState& state = counters[counter];
    if (state.value != 0 || state.exhaustedEvent == 0)
        return false;
    // The used-up event runs without checking its own conditions or counter.
    return RunEventActions(state.exhaustedEvent, groupOpened, index, actionOut, Recording::Recorded);
}

bool CGameEngine::RunAutomaticEvents(AutomaticEvents which, Recording recording, uint8_t& groupOpened) {
    CAutomaticEventRunner runner(*this, which, recording, groupOpened);
    ActionDef action;
    while (runner.Next(action)) {
    }
    return runner.AnyActionRan();
}

void CGameEngine::RefreshExposedCards(Recording recording) {
    for (size_t c = 0; c < cardStates.size(); ++c) {
        CardState& card = cardStates[c];
        if (card.pile >= pileStates.size())
            continue;
        const PileState& pile = pileStates[card.pile];
        if (pile.manualExposure != 0)
            continue;   // such piles keep the flags the deal and actions gave them
        const uint8_t exposed = card.position + 1 == pile.count ? 1 : 0;
        if (card.exposed == exposed)
            continue;
        card.exposed = exposed;
        if (recording == Recording::Recorded && history) {
            HistoryRecord r{};
            r.kind = HistoryExposedToggled;
            r.groupStart = 0;
            r.index = static_cast<uint16_t>(c);
            history->Push(r);
        }
    }
}

// ------------------------------------------------------ CAutomaticEventRunner

CAutomaticEventRunner::CAutomaticEventRunner(CGameEngine& gameEngine, AutomaticEvents events, Recording history,
                                             uint8_t& groupFlag, ExhaustedEvents exhaustedEvents)
    : engine(gameEngine), groupOpened(groupFlag), which(events), recording(history), exhausted(exhaustedEvents) {}

// At the end of a pass: another one follows only when a repeating event ran
// and the pass changed something, the game is not finished and the cap is not
// reached.
bool CAutomaticEventRunner::EndPass() {
    const bool again = repeatingEventRan && changedInPass && !engine.finished && passes < kMaxAutomaticPasses;
    if (!again)
        return false;
    ++passes;
    event = 1;
    repeatingEventRan = false;
    changedInPass = false;
    return true;
}

bool CAutomaticEventRunner::Next(ActionDef& actionOut) {
    for (;;) {
        switch (phase) {
        case Done:
            return false;
        case CheckEvent: {
            if (event >= engine.eventTypes.size()) {
                if (!EndPass()) {
                    phase = Done;
                    return false;
                }
                continue;
            }
            const uint8_t type = engine.eventTypes[event];
            const bool atStart = which == AutomaticEvents::AtGameStart;
            if ((type == EventAtStart) != atStart || type == EventPlayerOnly ||
                !engine.IsEventAllowed(event) ||
                !engine.UseEventCounter(event, groupOpened, counter, CounterUse::Consume, recording)) {
                ++event;
                continue;
            }
            // A used counter is a change too: an event that only counts
            // down repeats until its counter is used up.
            if (counter < engine.GetCounterCount())
                changedInPass = true;
            if (type == EventAfterStepRepeating)
                repeatingEventRan = true;
            index = 0;
            phase = EventActions;
            continue;
        }
        case EventActions:
            if (engine.RunEventActions(event, groupOpened, index, actionOut, recording)) {
                ran = changedInPass = true;
                return true;
            }
            index = 0;
            phase = exhausted == ExhaustedEvents::Run ? ExhaustedActions : AfterEvent;
            continue;
        case ExhaustedActions:
            if (engine.RunCounterExhaustedEvent(counter, groupOpened, index, actionOut)) {
                ran = changedInPass = true;
                return true;
            }
            phase = AfterEvent;
            continue;
        case AfterEvent:
            if (engine.finished) {
                phase = Done;
                return false;
            }
            ++event;
            phase = CheckEvent;
            continue;
        }
    }
}

}  // namespace corvelle
