#include "field/field_input.h"

#include <cstdlib>
#include <ctime>

#include "engine/player_move.h"

namespace corvelle {

namespace {

void QueueAll(const std::vector<ActionDef>& actions, const FieldLayout& layout, FieldUpdateList& updates) {
    for (const ActionDef& a : actions) QueueFieldUpdate(a, layout, updates);
}

}  // namespace

CFieldInput::CFieldInput(FieldLayout& fieldLayout, const CHitRegions& hitRegions, FieldInputView& inputView)
    : layout(fieldLayout),
      regions(hitRegions),
      view(inputView),
      clock([] { return static_cast<uint32_t>(std::time(nullptr)); }) {}

void CFieldInput::SetPlayMode(PlayMode mode) {
    if (mode != playMode) CancelDrag();
    playMode = mode;
}

bool CFieldInput::HitField(int32_t x, int32_t y, uint16_t* pile, uint16_t* index, HitRect* rect) const {
    uint16_t p = kFieldNone, i = kFieldNone;
    HitRect r;
    if (!regions.HitTest(x, y, &p, &i, &r)) return false;
    // The regions are those of the last paint: a place the copy no longer
    // has is no hit.
    if (p >= layout.piles.size() || (i != kFieldNone && i >= layout.piles[p].cards.size())) return false;
    if (pile) *pile = p;
    if (index) *index = i;
    if (rect) *rect = r;
    return true;
}

bool CFieldInput::InsideField(int32_t x, int32_t y) const {
    const HitRect f = view.GetFieldArea();
    return x >= f.left && x < f.right && y >= f.top && y < f.bottom;
}

// ---------------------------------------------------------------- player steps

bool CFieldInput::TryMove(uint16_t card, uint16_t destination, FieldUpdateList& updates) {
    if (!engine) return false;
    std::vector<ActionDef> actions;
    if (!corvelle::TryMove(*engine, card, destination, &actions)) return false;
    QueueAll(actions, layout, updates);
    return true;
}

bool CFieldInput::TryPileClick(uint16_t pile, FieldUpdateList& updates) {
    if (!engine) return false;
    std::vector<ActionDef> actions;
    if (!corvelle::TryPileClick(*engine, pile, &actions)) return false;
    QueueAll(actions, layout, updates);
    return true;
}

bool CFieldInput::RunAutoMoves(FieldUpdateList& updates) {
    if (!engine) return false;
    std::vector<ActionDef> actions;
    const bool ran = corvelle::RunAutoMoves(*engine, &actions);
    QueueAll(actions, layout, updates);
    return ran;
}

bool CFieldInput::CanPickUp(uint16_t card) const { return engine && corvelle::CanPickUp(*engine, card); }

void CFieldInput::FinishStep() {
    FieldUpdateList automatic;
    if (RunAutoMoves(automatic)) view.ApplyFieldUpdates(automatic);
    view.CheckGameState();
}

// ---------------------------------------------------------------- dispatch

void CFieldInput::Press(int32_t x, int32_t y, bool rightHeld) {
    if (rightHeld || !InsideField(x, y)) return;
    bool taken = false;
    if (playMode == PlayMode::kClick) {
        taken = ClickModeButtonDown(x, y);
    } else if (playMode == PlayMode::kDrag) {
        ClearSelection();
        taken = DragStart(x, y);
    }
    if (taken) leftButtonDown = true;
}

void CFieldInput::Release(int32_t x, int32_t y) {
    if (!leftButtonDown) return;
    // The clicking mode's press did all; its release is only swallowed.
    if (playMode != PlayMode::kDrag) {
        leftButtonDown = false;
        return;
    }
    if (DragDrop(x, y)) leftButtonDown = false;
}

void CFieldInput::Move(int32_t x, int32_t y, bool rightHeld) {
    if (leftButtonDown) {
        if (playMode == PlayMode::kDrag) DragMove(x, y);
    } else if (rightHeld && rightButtonDown) {
        TrackPeek(x, y);
    }
}

void CFieldInput::RightPress(int32_t x, int32_t y) {
    // A right press ends a left press or drag under way, as a refused drop
    // does, so the two buttons never share the capture.
    if (leftButtonDown) CancelDrag();
    if (!InsideField(x, y)) return;
    view.TakeCapture();
    if (!rightButtonDown) view.ShowPeekCursor();
    rightButtonDown = true;
    uint16_t pile = kFieldNone, index = kFieldNone;
    if (HitField(x, y, &pile, &index, nullptr)) {
        SetPeek(pile, index);
        view.Redraw();
    } else {
        SetPeek(kFieldNone, kFieldNone);
    }
}

void CFieldInput::RightRelease() {
    // Only a right press on the field replaced the cursor and took the
    // capture; a press elsewhere released here leaves both alone.
    if (!rightButtonDown) return;
    EndPeek(true);
}

void CFieldInput::CaptureLost() {
    if (leftButtonDown) CancelDrag();
    if (rightButtonDown) EndPeek(true);
}

void CFieldInput::Reset() {
    // The dragged cards belong to the copy being emptied: the drag ends
    // without putting them back.
    dragRun.clear();
    EndDrag();
    leftButtonDown = false;
    view.ReleaseCapture();
    EndPeek(false);
}

// ---------------------------------------------------------------- peek

void CFieldInput::TrackPeek(int32_t x, int32_t y) {
    uint16_t pile = kFieldNone, index = kFieldNone;
    if (HitField(x, y, &pile, &index, nullptr)) {
        if (pile == peekPile && index == peekIndex) return;
        SetPeek(pile, index);
        view.Redraw();
        return;
    }
    if (!InsideField(x, y)) {
        // The cursor is kept inside the field while the right button is held.
        const HitRect f = view.GetFieldArea();
        const int32_t dx = x < f.left ? f.left - x : x >= f.right ? f.right - 1 - x : 0;
        const int32_t dy = y < f.top ? f.top - y : y >= f.bottom ? f.bottom - 1 - y : 0;
        view.MoveCursorBy(dx, dy);
    }
    if (peekPile == kFieldNone && peekIndex == kFieldNone) return;
    SetPeek(kFieldNone, kFieldNone);
    view.Redraw();
}

void CFieldInput::EndPeek(bool redraw) {
    if (rightButtonDown) {
        view.RestoreCursor();
        rightButtonDown = false;
        view.ReleaseCapture();
    }
    SetPeek(kFieldNone, kFieldNone);
    if (redraw) view.Redraw();
}

// ---------------------------------------------------------------- clicking mode

bool CFieldInput::ClickModeButtonDown(int32_t x, int32_t y) {
    HitRect rect;
    if (!HitField(x, y, &pressedPile, &pressedIndex, &rect)) {
        ClearSelection();
        view.Redraw();
        return false;
    }
    pressedRect = rect;
    bool acted = false;
    FieldUpdateList updates;
    if (selectedPile == kFieldNone) {
        if (pressedIndex != kFieldNone) {
            pressedCard = layout.piles[pressedPile].cards[pressedIndex].card;
            if (CanPickUp(pressedCard)) {
                SetSelection(pressedPile, pressedIndex);
                view.Redraw();
                selectTime = clock();
                return true;
            }
        }
        if (TryPileClick(pressedPile, updates)) {
            ClearSelection();
            view.ApplyFieldUpdates(updates);
            acted = true;
        }
    } else if (pressedPile == selectedPile && pressedIndex == selectedIndex) {
        // A second click on the selected card in the same or the next second
        // clicks its pile.
        const bool quick = clock() - selectTime < 2;
        ClearSelection();
        if (quick && TryPileClick(pressedPile, updates)) {
            view.ApplyFieldUpdates(updates);
            acted = true;
        } else {
            view.Redraw();
        }
    } else if (pressedPile == selectedPile) {
        ClearSelection();
        view.Redraw();
    } else {
        const auto source = static_cast<uint16_t>(selectedPile);
        const auto from = static_cast<uint16_t>(selectedIndex);
        const std::vector<FieldCard>& cards = layout.piles[source].cards;
        if (from >= cards.size() || cards[from].card != pressedCard) {
            // The selection no longer names its card: it is dropped.
            ClearSelection();
            view.Redraw();
            return true;
        }
        const auto count = static_cast<uint16_t>(cards.size() - from);
        const uint16_t at = layout.piles[pressedPile].GetCardCount();
        if (TryMove(pressedCard, pressedPile, updates)) {
            ClearSelection();
            view.MoveCardsAnimated(source, from, count, pressedPile, at);
            view.ApplyFieldUpdates(updates);
            acted = true;
        }
    }
    if (acted) FinishStep();
    return true;
}

// ---------------------------------------------------------------- drag and drop

bool CFieldInput::DragStart(int32_t x, int32_t y) {
    HitRect rect;
    if (!HitField(x, y, &pressedPile, &pressedIndex, &rect)) return false;
    pressedRect = rect;
    if (pressedIndex != kFieldNone) pressedCard = layout.piles[pressedPile].cards[pressedIndex].card;
    view.TakeCapture();
    pressPoint = FieldPoint{x, y};
    dragging = false;
    return true;
}

void CFieldInput::DragMove(int32_t x, int32_t y) {
    if (!dragging) {
        if (std::abs(x - pressPoint.x) < kDragThreshold && std::abs(y - pressPoint.y) < kDragThreshold) return;
        if (pressedIndex == kFieldNone || !CanPickUp(pressedCard)) return;
        BeginDrag(x, y);
        return;
    }
    const int32_t left = dragOffset.x + x, top = dragOffset.y + y;
    if (dragRect.left == left && dragRect.top == top) return;
    if (!view.MoveDragImage(dragRect.left, dragRect.top, left, top)) return;
    dragRect = HitRect{left, top, left + (dragRect.right - dragRect.left), top + (dragRect.bottom - dragRect.top)};
}

bool CFieldInput::BeginDrag(int32_t x, int32_t y) {
    if (pressedPile >= layout.piles.size()) return false;
    FieldPile& pile = layout.piles[pressedPile];
    // The copy must still hold the pressed card where it was pressed.
    if (pressedIndex >= pile.cards.size() || pile.cards[pressedIndex].card != pressedCard) return false;
    const auto count = static_cast<uint16_t>(pile.cards.size() - pressedIndex);
    DragImage image;
    if (!view.MakeDragImage(pressedPile, pressedIndex, count, &image)) return false;
    dragSavedCount = pile.GetCardCount();
    dragRun = TakeFieldRun(layout, pressedPile, pressedIndex, count);
    // The pile without the run; the hit regions now describe it.
    view.Repaint();
    // The image keeps the distance to the pointer that the pressed card had
    // to the press: the point the player grabbed stays under the pointer,
    // however far the move that started the drag jumped.
    dragOffset = FieldPoint{pressedRect.left - image.cardX - pressPoint.x,
                             pressedRect.top - image.cardY - pressPoint.y};
    const int32_t left = dragOffset.x + x, top = dragOffset.y + y;
    dragRect = HitRect{left, top, left + image.width, top + image.height};
    view.ShowDragImage(left, top);
    dragging = true;
    return true;
}

void CFieldInput::EndDrag() {
    if (dragging && pressedPile < layout.piles.size() && !dragRun.empty())
        InsertFieldRun(layout, pressedPile, layout.piles[pressedPile].GetCardCount(), dragRun);
    dragRun.clear();
    view.ReleaseDragImage();
    dragging = false;
}

void CFieldInput::CancelDrag() {
    const bool wasDragging = dragging;
    EndDrag();
    leftButtonDown = false;
    view.ReleaseCapture();
    if (wasDragging) view.Redraw();
}

bool CFieldInput::DragDrop(int32_t x, int32_t y) {
    view.ReleaseCapture();
    bool acted = false;
    if (dragging) {
        const HitRect image = dragRect;
        EndDrag();   // the run is back in its pile
        const int32_t dropX = image.left + static_cast<int32_t>(layout.cardWidth / 2);
        const int32_t dropY = image.top + static_cast<int32_t>(layout.cardHeight / 2);
        uint16_t target = kFieldNone;
        FieldUpdateList updates;
        if (HitField(dropX, dropY, &target, nullptr, nullptr) && target != pressedPile &&
            TryMove(pressedCard, target, updates)) {
            // The player's own drop is not animated: it shows at once, before
            // the drop event's updates are replayed (without animation the
            // batch's one redraw shows both).
            MoveCardsInModel(layout, pressedPile, pressedIndex, target);
            if (view.IsAnimated()) view.Redraw();
            view.ApplyFieldUpdates(updates);
            acted = true;
        } else {
            view.Redraw();   // the run shows back in its pile
        }
    } else {
        uint16_t pile = kFieldNone, index = kFieldNone;
        FieldUpdateList updates;
        if (HitField(x, y, &pile, &index, nullptr) && pile == pressedPile && index == pressedIndex &&
            TryPileClick(pressedPile, updates)) {
            view.ApplyFieldUpdates(updates);
            acted = true;
        }
    }
    leftButtonDown = false;
    if (acted) FinishStep();
    return true;
}

}  // namespace corvelle
