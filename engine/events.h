// Automatic events, one executed action at a time.
//
// After every player step the engine runs the automatic events in passes:
// each pass walks events 1 .. GetEventCount() - 1 in order and runs every one that
// is allowed (its conditions hold and its counter is not used up). A pass in
// which a repeating event (type 1) ran and something changed is followed by
// another pass; a pass in which nothing changed ends the repetition, since
// the next one would find the same state; the game being finished ends it at
// once; and a hard cap on the number of passes ends events that keep changing
// the game without end. The engine's RunAutomaticEvents and the game field's
// automatic moves both step this runner, so the rule lives in one place.
#pragma once

#include <cstdint>

#include "engine/game_engine.h"

namespace corvelle {

// Passes that one run of the automatic events makes at most. Legitimate
// repetition moves or turns cards one pass at a time, so it needs at most
// about one pass per card (104 for two decks).
constexpr unsigned kMaxAutomaticPasses = 256;

// Whether an automatic run also runs the used-up event of each counter that
// an event used up.
enum class ExhaustedEvents : uint8_t { Skip, Run };

class CAutomaticEventRunner {
public:
    // `which`: the after-step events (types 0 and 1) or the game-start
    // events (type 3). Recorded: push history records, opening the step's
    // undo group unless `groupOpened` says it is open already. `exhausted`
    // Run: after each event, also run the actions of its counter's used-up
    // event (the game field does this; the engine's own RunAutomaticEvents
    // does not). `engine` and `groupOpened` must outlive the runner.
    CAutomaticEventRunner(CGameEngine& engine, AutomaticEvents which, Recording recording, uint8_t& groupOpened,
                          ExhaustedEvents exhausted = ExhaustedEvents::Skip);

    // Runs on to the next action that changed something and copies it to
    // `actionOut` (with the fields that ExecuteAction filled in). False once
    // the passes are over.
    bool Next(ActionDef& actionOut);

    // At least one action changed something so far.
    bool AnyActionRan() const { return ran; }
    unsigned GetPasses() const { return passes; }

private:
    enum Phase { CheckEvent, EventActions, ExhaustedActions, AfterEvent, Done };

    bool EndPass();

    CGameEngine& engine;
    uint8_t& groupOpened;
    AutomaticEvents which;
    Recording recording;
    ExhaustedEvents exhausted;
    Phase phase = CheckEvent;
    uint16_t event = 1;
    uint16_t index = 0;
    uint16_t counter = 0;
    unsigned passes = 1;
    bool repeatingEventRan = false;
    bool changedInPass = false;
    bool ran = false;
};

// Whether the event's counter (the first EventCounter naming it) still allows
// it to run; an event without a counter always may. Changes nothing.
bool EventCounterAllows(const CGameEngine& engine, uint16_t event);

}  // namespace corvelle
