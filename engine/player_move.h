// The player's step, engine side: the checks and the sequence of a drop and
// of a click, and the automatic events that follow every accepted step. The
// game field calls these and replays the executed actions on its own copy of
// the piles; tools and tests call them to play without a window.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/game_engine.h"

namespace corvelle {

enum class MoveRefusal {
    None,
    NoSuchCard,        // the card or pile index does not exist
    NotMovable,        // the card is locked
    PickupRule,        // the source pile's pick-up program refuses the run
    SamePile,          // source and destination are the same pile
    OutOfPlay,         // the destination does not accept drops
    TopNotExposed,     // the destination's top card is not exposed
    NoLink,            // no move link allows source to destination
    DropRule,          // the destination's drop program refuses the cards
    NothingHappened,   // a click whose event ran no action
};
const char* MoveRefusalText(MoveRefusal why);

// Whether the player may lift `card` with every card above it: the card is
// movable and its pile's pick-up program accepts the run.
bool CanPickUp(const CGameEngine& engine, uint16_t card);

// Runs one event as a player's step does: its conditions and counter, its
// actions, then the actions of the event of a counter it used up. `actions`
// (optional) receives the executed actions. True when an action ran.
bool RunPlayerEvent(CGameEngine& engine, uint16_t event, uint8_t& groupOpened, std::vector<ActionDef>* actions = nullptr);

// The checks of a drop of `card` (with the cards above it) on `destination`,
// in the order the drop makes them; changes nothing.
MoveRefusal CheckDrop(const CGameEngine& engine, uint16_t card, uint16_t destination);

// Every check of a whole step moving `card` onto `destination`: the card is
// movable, may be picked up, and the drop is allowed.
MoveRefusal CheckMove(const CGameEngine& engine, uint16_t card, uint16_t destination);

// A drop: the checks, then the player-move history record (opening the undo
// group), the move and the destination's drop event. `actions` (optional)
// receives the drop event's executed actions in order. The pick-up check is
// the caller's (a drag checks it when it starts).
bool TryMove(CGameEngine& engine, uint16_t card, uint16_t destination, std::vector<ActionDef>* actions = nullptr,
             MoveRefusal* why = nullptr);

// A click on a pile: its click event (or its empty-click event when it holds
// no card). True when at least one action ran; its records open the group.
bool TryPileClick(CGameEngine& engine, uint16_t pile, std::vector<ActionDef>* actions = nullptr,
                  MoveRefusal* why = nullptr);

// The automatic events after an accepted step, joined to its undo group,
// then the exposed flags refreshed with recording. True when an action ran.
bool RunAutoMoves(CGameEngine& engine, std::vector<ActionDef>* actions = nullptr);

// A whole step as the game field makes it: a drop (after the pick-up check)
// or a click, followed by the automatic events when it was accepted.
bool PlayMove(CGameEngine& engine, uint16_t card, uint16_t destination, MoveRefusal* why = nullptr);
bool PlayClick(CGameEngine& engine, uint16_t pile, MoveRefusal* why = nullptr);

// Takes back the last step (one undo group); false when there is none.
bool UndoStep(CGameEngine& engine);

// A new game in play: the deal, the start events without recording and the
// exposed flags, as the new-game step does it. Game number 0 deals a number
// of the engine's choice; `dealt` (optional) receives the number dealt.
bool StartGame(CGameEngine& engine, uint32_t gameNumber, uint32_t* dealt = nullptr);

}  // namespace corvelle
