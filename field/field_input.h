// The mouse on the field as plain logic: the two play modes of the left
// button (clicking: select a card, then click its destination; drag and
// drop: press, drag the run, release over another pile), the right button's
// peek at a covered card, and the selection and the peek that the field's
// paint shows. It works over the field's copy of the game and the hit
// regions of its last paint, puts the player's steps to the engine, and asks
// its view (the field window) for everything that shows on the screen or
// belongs to the window: paints, sliding moves, the drag image, the mouse
// capture and the cursor. No window or device context: tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "field/field_model.h"
#include "field/field_update.h"
#include "field/hit_regions.h"
#include "logic/preferences.h"

namespace corvelle {

class CGameEngine;

// A drag starts once the cursor has moved this far from the press on
// either axis.
constexpr int32_t kDragThreshold = 4;

struct FieldPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// The image of a dragged run as the view made it: its size and the top-left
// corner of the pressed card (the run's first card) in it.
struct DragImage {
    int32_t width = 0;
    int32_t height = 0;
    int32_t cardX = 0;
    int32_t cardY = 0;
};

// What the input asks of the window that shows the field.
class FieldInputView {
public:
    virtual ~FieldInputView() = default;

    // The client rectangle of the field's last paint: presses outside it
    // are ignored.
    virtual HitRect GetFieldArea() const = 0;
    // Whether moves are shown sliding (the animation option).
    virtual bool IsAnimated() const = 0;
    // Paints the whole field anew, its hit regions with it, and shows it.
    virtual void Redraw() = 0;
    // The same without showing it.
    virtual void Repaint() = 0;
    // Replays a batch of updates on the field's copy and empties it.
    virtual void ApplyFieldUpdates(FieldUpdateList& updates) = 0;
    // Moves a run of the copy (fromIndex .. fromIndex + count - 1 of
    // fromPile to toIndex .. of toPile), showing it slide there.
    virtual void MoveCardsAnimated(uint16_t fromPile, uint16_t fromIndex, uint16_t count, uint16_t toPile,
                                   uint16_t toIndex) = 0;
    // A step changed the game: the main window checks for a won, lost or
    // timed-out game before the handler returns.
    virtual void CheckGameState() = 0;
    // The mouse capture: taken, and let go by the field itself (which is
    // not a capture lost to another window).
    virtual void TakeCapture() = 0;
    virtual void ReleaseCapture() = 0;
    // Shows the peek's cursor, keeping the one it replaces; puts that back.
    virtual void ShowPeekCursor() = 0;
    virtual void RestoreCursor() = 0;
    // Moves the screen cursor by (dx, dy).
    virtual void MoveCursorBy(int32_t dx, int32_t dy) = 0;
    // Makes the image of cards index .. index + count - 1 of the pile;
    // false when none can be made.
    virtual bool MakeDragImage(uint16_t pile, uint16_t index, uint16_t count, DragImage* image) = 0;
    // Draws the image with its top-left corner at (left, top) over the
    // field, keeping what it covers, and shows the field.
    virtual void ShowDragImage(int32_t left, int32_t top) = 0;
    // Moves the image from (fromLeft, fromTop) to (left, top), putting back
    // what it covered; false, moving nothing, when the field cannot show it.
    virtual bool MoveDragImage(int32_t fromLeft, int32_t fromTop, int32_t left, int32_t top) = 0;
    // Releases the image and what it covered, drawing nothing.
    virtual void ReleaseDragImage() = 0;
};

class CFieldInput {
public:
    CFieldInput(FieldLayout& fieldLayout, const CHitRegions& hitRegions, FieldInputView& inputView);

    void SetEngine(CGameEngine* value) { engine = value; }
    // A change of play mode ends a press or drag under way.
    void SetPlayMode(PlayMode mode);
    // The source of time() for the clicking mode's second click.
    void SetClock(std::function<uint32_t()> source) { clock = std::move(source); }

    // The mouse at client points. `rightHeld`: the right button is down
    // too (a left press then is ignored; a move follows the peek).
    void Press(int32_t x, int32_t y, bool rightHeld);
    void Release(int32_t x, int32_t y);
    void Move(int32_t x, int32_t y, bool rightHeld);
    void RightPress(int32_t x, int32_t y);
    void RightRelease();
    // Another window took the mouse: the gestures that needed it end as if
    // the button had been let go where nothing happens.
    void CaptureLost();

    // Ends a press or drag of the left button as a refused drop does: the
    // dragged cards go back to their pile and the field is repainted.
    void CancelDrag();
    // Puts a lifted run back into its pile and releases the drag image,
    // without drawing.
    void EndDrag();
    // The copy is about to be emptied: a drag ends without putting its
    // cards back, the capture is let go, a peek ends.
    void Reset();

    bool IsDragging() const { return dragging; }
    bool IsLeftButtonDown() const { return leftButtonDown; }
    bool IsPeeking() const { return rightButtonDown; }
    // Where the drag image lies (while dragging).
    const HitRect& GetDragRect() const { return dragRect; }

    // The highlighted card: the clicking mode's selection, or the hint's
    // blink (kFieldNone: none; an empty pile's base when the index is
    // kFieldNone and the pile is set).
    void SetSelection(uint32_t pile, uint32_t index) {
        selectedPile = pile;
        selectedIndex = index;
    }
    void ClearSelection() { SetSelection(kFieldNone, kFieldNone); }
    uint32_t GetSelectedPile() const { return selectedPile; }
    uint32_t GetSelectedIndex() const { return selectedIndex; }
    // The card drawn whole on top of everything (kFieldNone: none).
    void SetPeek(uint16_t pile, uint16_t index) {
        peekPile = pile;
        peekIndex = index;
    }
    uint16_t GetPeekPile() const { return peekPile; }
    uint16_t GetPeekIndex() const { return peekIndex; }

    // The player's steps, each put to the engine through its own player
    // move, the view-changing actions it executed queued on `updates`. None
    // of them draws.
    // A drop of `card` (and the cards above it) on `destination`.
    bool TryMove(uint16_t card, uint16_t destination, FieldUpdateList& updates);
    // A click on `pile`: true when its event ran an action.
    bool TryPileClick(uint16_t pile, FieldUpdateList& updates);
    // The automatic events after an accepted step.
    bool RunAutoMoves(FieldUpdateList& updates);
    // Whether the engine lets the player lift `card` with the cards above it.
    bool CanPickUp(uint16_t card) const;

private:
    bool ClickModeButtonDown(int32_t x, int32_t y);
    bool DragStart(int32_t x, int32_t y);
    void DragMove(int32_t x, int32_t y);
    bool DragDrop(int32_t x, int32_t y);
    bool BeginDrag(int32_t x, int32_t y);
    void TrackPeek(int32_t x, int32_t y);
    // Ends a peek: the cursor back, the capture let go, no peeked card.
    void EndPeek(bool redraw);
    // Runs the automatic moves after a step that acted and has the game's
    // state checked.
    void FinishStep();
    bool InsideField(int32_t x, int32_t y) const;
    // The topmost region at (x, y) whose pile and card the copy holds.
    bool HitField(int32_t x, int32_t y, uint16_t* pile, uint16_t* index, HitRect* rect) const;

    FieldLayout& layout;
    const CHitRegions& regions;
    FieldInputView& view;
    CGameEngine* engine = nullptr;
    PlayMode playMode = PlayMode::kDrag;
    std::function<uint32_t()> clock;

    uint32_t selectedPile = kFieldNone;
    uint32_t selectedIndex = kFieldNone;
    uint32_t selectTime = 0;
    uint16_t peekPile = kFieldNone;
    uint16_t peekIndex = kFieldNone;
    bool rightButtonDown = false;

    bool leftButtonDown = false;
    FieldPoint pressPoint;
    uint16_t pressedCard = kFieldNone;
    uint16_t pressedPile = kFieldNone;
    uint16_t pressedIndex = kFieldNone;
    HitRect pressedRect;
    bool dragging = false;
    // The lifted run, out of its pile while it is dragged.
    std::vector<FieldCard> dragRun;
    uint16_t dragSavedCount = 0;
    // The drag image's top-left corner less the pointer: what it was at the
    // press, for the whole drag.
    FieldPoint dragOffset;
    HitRect dragRect;
};

}  // namespace corvelle
