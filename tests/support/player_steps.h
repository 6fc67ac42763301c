// A player's steps on the engine alone, as the game field takes them: a move
// of a card (and the cards above it) onto a pile with its drop event, a click
// on a pile, the automatic moves after either, and undo of a whole step.
// Header-only, for the tests, the benchmarks and the fuzz targets.
#pragma once

#include "engine/events.h"
#include "engine/game_engine.h"

namespace corvelle::steps {

// Runs event e as a player step does: conditions, counter, actions, then the
// actions of a counter that this used up. Returns whether an action ran.
inline bool RunPlayerEvent(CGameEngine& e, uint16_t event, uint8_t& firstFlag) {
    uint16_t counter = 0;
    if (!e.IsEventAllowed(event) || !e.UseEventCounter(event, firstFlag, counter, true, true))
        return false;
    bool ran = false;
    ActionDef action;
    uint16_t index = 0;
    while (e.RunEventActions(event, firstFlag, index, action, true))
        ran = true;
    index = 0;
    while (e.RunCounterExhaustedEvent(counter, firstFlag, index, action))
        ran = true;
    return ran;
}

// The automatic moves after a player step; they join the step's group.
inline bool RunAutoMoves(CGameEngine& e) {
    uint8_t firstFlag = 1;
    CAutomaticEventRunner runner(e, false, true, firstFlag, true);
    ActionDef action;
    while (runner.Next(action)) {
    }
    e.RefreshExposedCards(true);
    return runner.AnyActionRan();
}

// Whether the player may move `card` and the cards above it onto `to`.
inline bool MoveAllowed(const CGameEngine& e, uint16_t card, uint16_t to) {
    if (card >= e.cardStates.size() || to >= e.pileStates.size() || !e.pileStates[to].acceptsDrops)
        return false;
    const CardState& s = e.cardStates[card];
    if (s.pile >= e.pileStates.size() || s.pile == to || !s.movable)
        return false;
    const uint16_t top = e.TopCard(to);
    if (e.pileStates[to].count != 0 && (top == kNone || !e.cardStates[top].exposed))
        return false;
    bool linked = false;
    for (size_t i = 0; i < e.moveLinks.size() && i < e.moveLinkCount && !linked; ++i)
        linked = (e.moveLinks[i].sourcePile == s.pile || e.moveLinks[i].sourcePile == kAnyPile) &&
                 (e.moveLinks[i].destPile == to || e.moveLinks[i].destPile == kAnyPile);
    if (!linked)
        return false;
    RuleCardList a, b;
    e.BuildPickupCardLists(card, a, b);
    if (!e.EvaluateProgram(e.pileStates[s.pile].pickupProgram, a, &b))
        return false;
    e.BuildMovingCardList(card, a);
    e.BuildPileCardList(to, b);
    return e.EvaluateProgram(e.pileStates[to].dropProgram, a, &b);
}

// The move itself: the player-move record (opening the step's group) and
// the move of `card` and every card above it onto `to`. No checks, no events.
inline void ExecutePlayerMove(CGameEngine& e, uint16_t card, uint16_t to) {
    const CardState s = e.cardStates[card];
    HistoryRecord r{};
    r.kind = HistoryPlayerMove;
    r.groupStart = 1;
    r.index = s.pile;
    r.value = static_cast<uint16_t>(s.position);
    r.destPile = to;
    r.destCountBefore = e.pileStates[to].count;
    if (e.history)
        e.history->Push(r);
    ActionDef move{};
    move.kind = ActionMoveCards;
    move.sourceMode = SourceFromTop;
    move.sourcePile = s.pile;
    move.count = static_cast<uint16_t>(e.pileStates[s.pile].count - s.position);
    move.destPile = to;
    move.destMode = DestFromTop;
    uint16_t result = 0;
    e.ExecuteAction(move, &result);
}

// A player's move with its drop event and the automatic moves; false (and
// nothing changed) when the move is not allowed.
inline bool PlayerMove(CGameEngine& e, uint16_t card, uint16_t to) {
    if (!MoveAllowed(e, card, to) || !e.history)
        return false;
    ExecutePlayerMove(e, card, to);
    uint8_t firstFlag = 1;
    if (to < e.piles.size())
        RunPlayerEvent(e, e.piles[to].dropEvent, firstFlag);
    RunAutoMoves(e);
    return true;
}

// A click on a pile; true when it ran an action (then the automatic moves
// followed).
inline bool PileClick(CGameEngine& e, uint16_t pile) {
    if (pile >= e.pileStates.size() || pile >= e.piles.size() || !e.pileStates[pile].acceptsDrops)
        return false;
    uint16_t event = e.piles[pile].emptyClickEvent;
    if (e.pileStates[pile].count != 0) {
        const uint16_t top = e.TopCard(pile);
        if (top == kNone || !e.cardStates[top].movable)
            return false;
        event = e.piles[pile].clickEvent;
    }
    uint8_t firstFlag = 0;
    if (!RunPlayerEvent(e, event, firstFlag))
        return false;
    RunAutoMoves(e);
    return true;
}

// Takes back one whole step; false when there was nothing to undo.
inline bool UndoStep(CGameEngine& e) {
    if (!e.CanUndo())
        return false;
    while (e.CanUndo() && !e.UndoOne()) {
    }
    return true;
}

// The new-game step: deal, then the game-start events and the exposed flags
// without recording.
inline bool StartGame(CGameEngine& e, uint32_t number) {
    if (!e.NewDeal(number))
        return false;
    uint8_t firstFlag = 0;
    e.RunAutomaticEvents(true, false, firstFlag);
    e.RefreshExposedCards(false);
    return true;
}

}  // namespace corvelle::steps
