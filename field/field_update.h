// Field updates: the engine's executed actions that change what the field
// shows, queued while the engine runs a step and replayed afterwards, in
// order, on the field's own copy of the piles. The player's own move is
// mirrored by the field itself (MoveCardsInModel); the list holds only what
// events did. Plain data and functions, built and tested natively too.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/records.h"
#include "field/field_model.h"

namespace corvelle {

enum class FieldUpdateKind : uint8_t {
    MoveRun = 0,      // move a run of cards (pile = the source pile)
    SetFaceUp = 1,    // turn a run of cards face up or down
    SetVisible = 2,   // the pile is in play (drawn and hit) or not
    Reverse = 3,      // reverse the pile's card order
    BaseMarks = 4,    // the marks drawn on the pile's empty base
    Shuffle = 5,      // shuffle the pile with the engine's seed
};

struct FieldUpdate {
    FieldUpdateKind kind = FieldUpdateKind::MoveRun;
    uint16_t pile = 0;
    // The range as the action gave it; resolved against the field's copy
    // only when the update is replayed (MoveRun, SetFaceUp).
    uint8_t sourceMode = 0;
    int16_t position = 0;
    uint16_t count = 0;
    // MoveRun: where the run goes.
    uint16_t destPile = 0;
    uint8_t destMode = 0;
    uint16_t destPosition = 0;
    // SetFaceUp, SetVisible: the flag; Shuffle: the seed.
    uint16_t value = 0;
    // BaseMarks: the FieldPile's baseValue and baseSuit.
    uint32_t baseValue = 0;
    uint32_t baseSuit = 0;
};

// One batch of updates: those of a player's step, or those of the automatic
// moves that follow it.
struct FieldUpdateList {
    std::vector<FieldUpdate> items;
    // An update could not be kept (no memory, or a pile the field does not
    // have): replaying the batch leaves the copy out of step, so the caller
    // rebuilds the copy from the engine after it.
    bool lost = false;
};

// Appends the update of one executed engine action to `updates`, or nothing
// when the action does not change the view (locks, exposure, programs,
// links, counters, the end of the game). An action naming a pile that the
// field's copy does not have is left out and marks the list lost.
void QueueFieldUpdate(const ActionDef& action, const FieldLayout& layout, FieldUpdateList& updates);

// A moved run, as the replay hands it to its mover: the records start ..
// start + count - 1 of pile `from` become at .. at + count - 1 of pile `to`.
using FieldRunMover =
    std::function<void(uint16_t from, uint16_t start, uint16_t count, uint16_t to, uint16_t at)>;

// Replays one update on the field's copy, a run's move through `move` (the
// field animates it; MoveFieldRun does it plainly). Ranges are resolved as
// the engine resolves the action's, against the copy's cards; an update whose
// range is empty or whose pile the copy lacks changes nothing. True when it
// changed the copy (a move counts when its range was not empty).
bool ReplayFieldUpdate(FieldLayout& layout, const FieldUpdate& update, const FieldRunMover& move);

// The changes the non-move updates make to the field's copy.
void SetRunFaceUp(FieldLayout& layout, uint16_t pile, uint16_t start, uint16_t count, bool faceUp);
void ReversePile(FieldLayout& layout, uint16_t pile);
// The engine's shuffle on the same seed (ShufflePartner).
void ShufflePile(FieldLayout& layout, uint16_t pile, uint16_t seed);

// Moves the cards from fromIndex to the top of sourcePile onto the top of
// destinationPile, without drawing; false, changing nothing, when the source
// holds no card at fromIndex or a pile does not exist.
bool MoveCardsInModel(FieldLayout& layout, uint16_t sourcePile, uint16_t fromIndex, uint16_t destinationPile);

}  // namespace corvelle
