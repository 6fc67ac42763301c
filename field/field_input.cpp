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

CFieldInput::CFieldInput(FieldLayout& layout, const CHitRegions& regions, FieldInputView& view)
    : layout_(layout),
      regions_(regions),
      view_(view),
      clock_([] { return static_cast<uint32_t>(std::time(nullptr)); }) {}

void CFieldInput::SetPlayMode(PlayMode mode) {
    if (mode != playMode_) CancelDrag();
    playMode_ = mode;
}

bool CFieldInput::HitField(int32_t x, int32_t y, uint16_t* pile, uint16_t* index, HitRect* rect) const {
    uint16_t p = kFieldNone, i = kFieldNone;
    HitRect r;
    if (!regions_.HitTest(x, y, &p, &i, &r)) return false;
    // The regions are those of the last paint: a place the copy no longer
    // has is no hit.
    if (p >= layout_.piles.size() || (i != kFieldNone && i >= layout_.piles[p].cards.size())) return false;
    if (pile) *pile = p;
    if (index) *index = i;
    if (rect) *rect = r;
    return true;
}

bool CFieldInput::InsideField(int32_t x, int32_t y) const {
    const HitRect f = view_.FieldArea();
    return x >= f.left && x < f.right && y >= f.top && y < f.bottom;
}

// ---------------------------------------------------------------- player steps

bool CFieldInput::TryMove(uint16_t card, uint16_t destination, FieldUpdateList& updates) {
    if (!engine_) return false;
    std::vector<ActionDef> actions;
    if (!corvelle::TryMove(*engine_, card, destination, &actions)) return false;
    QueueAll(actions, layout_, updates);
    return true;
}

bool CFieldInput::TryPileClick(uint16_t pile, FieldUpdateList& updates) {
    if (!engine_) return false;
    std::vector<ActionDef> actions;
    if (!corvelle::TryPileClick(*engine_, pile, &actions)) return false;
    QueueAll(actions, layout_, updates);
    return true;
}

bool CFieldInput::RunAutoMoves(FieldUpdateList& updates) {
    if (!engine_) return false;
    std::vector<ActionDef> actions;
    const bool ran = corvelle::RunAutoMoves(*engine_, &actions);
    QueueAll(actions, layout_, updates);
    return ran;
}

bool CFieldInput::CanPickUp(uint16_t card) const { return engine_ && corvelle::CanPickUp(*engine_, card); }

void CFieldInput::FinishStep() {
    FieldUpdateList automatic;
    if (RunAutoMoves(automatic)) view_.ApplyFieldUpdates(automatic);
    view_.CheckGameState();
}

// ---------------------------------------------------------------- dispatch

void CFieldInput::Press(int32_t x, int32_t y, bool rightHeld) {
    if (rightHeld || !InsideField(x, y)) return;
    bool taken = false;
    if (playMode_ == PlayMode::kClick) {
        taken = ClickModeButtonDown(x, y);
    } else if (playMode_ == PlayMode::kDrag) {
        ClearSelection();
        taken = DragStart(x, y);
    }
    if (taken) leftButtonDown_ = true;
}

void CFieldInput::Release(int32_t x, int32_t y) {
    if (!leftButtonDown_) return;
    // The clicking mode's press did all; its release is only swallowed.
    if (playMode_ != PlayMode::kDrag) {
        leftButtonDown_ = false;
        return;
    }
    if (DragDrop(x, y)) leftButtonDown_ = false;
}

void CFieldInput::Move(int32_t x, int32_t y, bool rightHeld) {
    if (leftButtonDown_) {
        if (playMode_ == PlayMode::kDrag) DragMove(x, y);
    } else if (rightHeld && rightButtonDown_) {
        TrackPeek(x, y);
    }
}

void CFieldInput::RightPress(int32_t x, int32_t y) {
    // A right press ends a left press or drag under way, as a refused drop
    // does, so the two buttons never share the capture.
    if (leftButtonDown_) CancelDrag();
    if (!InsideField(x, y)) return;
    view_.TakeCapture();
    if (!rightButtonDown_) view_.ShowPeekCursor();
    rightButtonDown_ = true;
    uint16_t pile = kFieldNone, index = kFieldNone;
    if (HitField(x, y, &pile, &index, nullptr)) {
        SetPeek(pile, index);
        view_.Redraw();
    } else {
        SetPeek(kFieldNone, kFieldNone);
    }
}

void CFieldInput::RightRelease() {
    // Only a right press on the field replaced the cursor and took the
    // capture; a press elsewhere released here leaves both alone.
    if (!rightButtonDown_) return;
    EndPeek(true);
}

void CFieldInput::CaptureLost() {
    if (leftButtonDown_) CancelDrag();
    if (rightButtonDown_) EndPeek(true);
}

void CFieldInput::Reset() {
    // The dragged cards belong to the copy being emptied: the drag ends
    // without putting them back.
    dragRun_.clear();
    EndDrag();
    leftButtonDown_ = false;
    view_.ReleaseCapture();
    EndPeek(false);
}

// ---------------------------------------------------------------- peek

void CFieldInput::TrackPeek(int32_t x, int32_t y) {
    uint16_t pile = kFieldNone, index = kFieldNone;
    if (HitField(x, y, &pile, &index, nullptr)) {
        if (pile == peekPile_ && index == peekIndex_) return;
        SetPeek(pile, index);
        view_.Redraw();
        return;
    }
    if (!InsideField(x, y)) {
        // The cursor is kept inside the field while the right button is held.
        const HitRect f = view_.FieldArea();
        const int32_t dx = x < f.left ? f.left - x : x >= f.right ? f.right - 1 - x : 0;
        const int32_t dy = y < f.top ? f.top - y : y >= f.bottom ? f.bottom - 1 - y : 0;
        view_.MoveCursorBy(dx, dy);
    }
    if (peekPile_ == kFieldNone && peekIndex_ == kFieldNone) return;
    SetPeek(kFieldNone, kFieldNone);
    view_.Redraw();
}

void CFieldInput::EndPeek(bool redraw) {
    if (rightButtonDown_) {
        view_.RestoreCursor();
        rightButtonDown_ = false;
        view_.ReleaseCapture();
    }
    SetPeek(kFieldNone, kFieldNone);
    if (redraw) view_.Redraw();
}

// ---------------------------------------------------------------- clicking mode

bool CFieldInput::ClickModeButtonDown(int32_t x, int32_t y) {
    HitRect rect;
    if (!HitField(x, y, &pressedPile_, &pressedIndex_, &rect)) {
        ClearSelection();
        view_.Redraw();
        return false;
    }
    pressedRect_ = rect;
    bool acted = false;
    FieldUpdateList updates;
    if (selectedPile_ == kFieldNone) {
        if (pressedIndex_ != kFieldNone) {
            pressedCard_ = layout_.piles[pressedPile_].cards[pressedIndex_].card;
            if (CanPickUp(pressedCard_)) {
                SetSelection(pressedPile_, pressedIndex_);
                view_.Redraw();
                selectTime_ = clock_();
                return true;
            }
        }
        if (TryPileClick(pressedPile_, updates)) {
            ClearSelection();
            view_.ApplyFieldUpdates(updates);
            acted = true;
        }
    } else if (pressedPile_ == selectedPile_ && pressedIndex_ == selectedIndex_) {
        // A second click on the selected card in the same or the next second
        // clicks its pile.
        const bool quick = clock_() - selectTime_ < 2;
        ClearSelection();
        if (quick && TryPileClick(pressedPile_, updates)) {
            view_.ApplyFieldUpdates(updates);
            acted = true;
        } else {
            view_.Redraw();
        }
    } else if (pressedPile_ == selectedPile_) {
        ClearSelection();
        view_.Redraw();
    } else {
        const auto source = static_cast<uint16_t>(selectedPile_);
        const auto from = static_cast<uint16_t>(selectedIndex_);
        const std::vector<FieldCard>& cards = layout_.piles[source].cards;
        if (from >= cards.size() || cards[from].card != pressedCard_) {
            // The selection no longer names its card: it is dropped.
            ClearSelection();
            view_.Redraw();
            return true;
        }
        const auto count = static_cast<uint16_t>(cards.size() - from);
        const uint16_t at = layout_.piles[pressedPile_].CardCount();
        if (TryMove(pressedCard_, pressedPile_, updates)) {
            ClearSelection();
            view_.MoveCardsAnimated(source, from, count, pressedPile_, at);
            view_.ApplyFieldUpdates(updates);
            acted = true;
        }
    }
    if (acted) FinishStep();
    return true;
}

// ---------------------------------------------------------------- drag and drop

bool CFieldInput::DragStart(int32_t x, int32_t y) {
    HitRect rect;
    if (!HitField(x, y, &pressedPile_, &pressedIndex_, &rect)) return false;
    pressedRect_ = rect;
    if (pressedIndex_ != kFieldNone) pressedCard_ = layout_.piles[pressedPile_].cards[pressedIndex_].card;
    view_.TakeCapture();
    pressPoint_ = FieldPoint{x, y};
    dragging_ = false;
    return true;
}

void CFieldInput::DragMove(int32_t x, int32_t y) {
    if (!dragging_) {
        if (std::abs(x - pressPoint_.x) < kDragThreshold && std::abs(y - pressPoint_.y) < kDragThreshold) return;
        if (pressedIndex_ == kFieldNone || !CanPickUp(pressedCard_)) return;
        BeginDrag(x, y);
        return;
    }
    const int32_t left = dragOffset_.x + x, top = dragOffset_.y + y;
    if (dragRect_.left == left && dragRect_.top == top) return;
    if (!view_.MoveDragImage(dragRect_.left, dragRect_.top, left, top)) return;
    dragRect_ = HitRect{left, top, left + (dragRect_.right - dragRect_.left), top + (dragRect_.bottom - dragRect_.top)};
}

bool CFieldInput::BeginDrag(int32_t x, int32_t y) {
    if (pressedPile_ >= layout_.piles.size()) return false;
    FieldPile& pile = layout_.piles[pressedPile_];
    // The copy must still hold the pressed card where it was pressed.
    if (pressedIndex_ >= pile.cards.size() || pile.cards[pressedIndex_].card != pressedCard_) return false;
    const auto count = static_cast<uint16_t>(pile.cards.size() - pressedIndex_);
    DragImage image;
    if (!view_.MakeDragImage(pressedPile_, pressedIndex_, count, &image)) return false;
    dragSavedCount_ = pile.CardCount();
    dragRun_ = TakeFieldRun(layout_, pressedPile_, pressedIndex_, count);
    // The pile without the run; the hit regions now describe it.
    view_.Repaint();
    // The image keeps the distance to the pointer that the pressed card had
    // to the press: the point the player grabbed stays under the pointer,
    // however far the move that started the drag jumped.
    dragOffset_ = FieldPoint{pressedRect_.left - image.cardX - pressPoint_.x,
                             pressedRect_.top - image.cardY - pressPoint_.y};
    const int32_t left = dragOffset_.x + x, top = dragOffset_.y + y;
    dragRect_ = HitRect{left, top, left + image.width, top + image.height};
    view_.ShowDragImage(left, top);
    dragging_ = true;
    return true;
}

void CFieldInput::EndDrag() {
    if (dragging_ && pressedPile_ < layout_.piles.size() && !dragRun_.empty())
        InsertFieldRun(layout_, pressedPile_, layout_.piles[pressedPile_].CardCount(), dragRun_);
    dragRun_.clear();
    view_.ReleaseDragImage();
    dragging_ = false;
}

void CFieldInput::CancelDrag() {
    const bool wasDragging = dragging_;
    EndDrag();
    leftButtonDown_ = false;
    view_.ReleaseCapture();
    if (wasDragging) view_.Redraw();
}

bool CFieldInput::DragDrop(int32_t x, int32_t y) {
    view_.ReleaseCapture();
    bool acted = false;
    if (dragging_) {
        const HitRect image = dragRect_;
        EndDrag();   // the run is back in its pile
        const int32_t dropX = image.left + static_cast<int32_t>(layout_.cardWidth / 2);
        const int32_t dropY = image.top + static_cast<int32_t>(layout_.cardHeight / 2);
        uint16_t target = kFieldNone;
        FieldUpdateList updates;
        if (HitField(dropX, dropY, &target, nullptr, nullptr) && target != pressedPile_ &&
            TryMove(pressedCard_, target, updates)) {
            // The player's own drop is not animated: it shows at once, before
            // the drop event's updates are replayed (without animation the
            // batch's one redraw shows both).
            MoveCardsInModel(layout_, pressedPile_, pressedIndex_, target);
            if (view_.Animated()) view_.Redraw();
            view_.ApplyFieldUpdates(updates);
            acted = true;
        } else {
            view_.Redraw();   // the run shows back in its pile
        }
    } else {
        uint16_t pile = kFieldNone, index = kFieldNone;
        FieldUpdateList updates;
        if (HitField(x, y, &pile, &index, nullptr) && pile == pressedPile_ && index == pressedIndex_ &&
            TryPileClick(pressedPile_, updates)) {
            view_.ApplyFieldUpdates(updates);
            acted = true;
        }
    }
    leftButtonDown_ = false;
    if (acted) FinishStep();
    return true;
}

}  // namespace corvelle
