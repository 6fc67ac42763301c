// Plays the field window with the mouse as a player would: mouse messages
// posted to the window and handled by its message loop, aimed at the places
// where the last paint drew the cards. Used by the input tests and the
// input benchmark.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/game_engine.h"
#include "field/sol_game_field.h"

namespace corvelle::test {

class FieldMouse {
public:
    explicit FieldMouse(CSolGameField* target) : field(target) {}

    // Handles every message waiting for this thread but the moves of the
    // screen cursor with no button held.
    static void Pump();
    // Posts a mouse message at client point p and handles it.
    void Post(UINT message, WPARAM flags, POINT p) const;
    void Click(POINT p) const;

    // A point where a press finds card `index` of the pile (kFieldNone: the
    // empty pile's base), with its region; false when none shows.
    bool PointOf(uint16_t pile, uint16_t index, POINT* p, HitRect* rect = nullptr) const;
    // A point of the pile's topmost region: where a drop lands on it.
    bool TargetPoint(uint16_t pile, POINT* p) const;
    // Presses on card `index` of the pile and drags so that the drop point
    // (the centre of the card-sized area at the image's top-left corner)
    // comes to `target`; releases at `release` unless it is null. False when
    // the card does not show.
    bool DragTo(uint16_t pile, uint16_t index, POINT target, bool release = true, POINT* releasePoint = nullptr) const;
    // The first hint of the engine whose card shows and whose target can be
    // found: the card's place and the target pile.
    bool FindVisibleHint(const CGameEngine& engine, uint16_t* pile, uint16_t* index, uint16_t* target) const;

private:
    CSolGameField* field;
};

}  // namespace corvelle::test
