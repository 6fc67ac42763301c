// The mouse on the field: the two play modes of the left button (clicking:
// select a card, then click its destination; drag and drop: press, drag the
// run, release over another pile), the right button's peek at a covered
// card, and the mouse capture that both hold while the button is down.
#include <cstdlib>

#include "field/sol_game_field.h"

namespace corvelle {

namespace {

bool SamePoint(const RECT& r, int32_t x, int32_t y) { return r.left == x && r.top == y; }

}  // namespace

bool CSolGameField::HitField(int32_t x, int32_t y, uint16_t* pile, uint16_t* index, HitRect* rect) const {
    uint16_t p = kFieldNone, i = kFieldNone;
    HitRect r;
    if (!hitRegions_.HitTest(x, y, &p, &i, &r)) return false;
    // The regions are those of the last paint: a place the copy no longer
    // has is no hit.
    if (p >= layout_.piles.size() || (i != kFieldNone && i >= layout_.piles[p].cards.size())) return false;
    if (pile) *pile = p;
    if (index) *index = i;
    if (rect) *rect = r;
    return true;
}

bool CSolGameField::InsideField(int32_t x, int32_t y) const {
    const RECT& f = FieldRect();
    return x >= f.left && x < f.right && y >= f.top && y < f.bottom;
}

void CSolGameField::RepaintAndPresent() {
    SetFullRepaint();
    PaintToBackBuffer();
    PresentNow();
}

void CSolGameField::ReleaseOwnCapture() {
    if (!hwnd_ || ::GetCapture() != hwnd_) return;
    releasingCapture_ = true;
    ::ReleaseCapture();
    releasingCapture_ = false;
}

// ---------------------------------------------------------------- dispatch

void CSolGameField::OnLButtonDown(UINT flags, POINT point) {
    if ((flags & MK_RBUTTON) || !InsideField(point.x, point.y)) return;
    bool taken = false;
    if (playMode_ == kPlayModeClick) {
        taken = ClickModeButtonDown(point.x, point.y);
    } else if (playMode_ == kPlayModeDrag) {
        ClearSelection();
        taken = DragStart(point.x, point.y);
    }
    if (taken) leftButtonDown_ = true;
}

void CSolGameField::OnLButtonUp(UINT, POINT point) {
    if (!leftButtonDown_) return;
    // The clicking mode's press did all; its release is only swallowed.
    if (playMode_ != kPlayModeDrag) {
        leftButtonDown_ = false;
        return;
    }
    if (DragDrop(point.x, point.y)) leftButtonDown_ = false;
}

void CSolGameField::OnMouseMove(UINT flags, POINT point) {
    if (leftButtonDown_) {
        if (playMode_ == kPlayModeDrag) DragMove(point.x, point.y);
    } else if ((flags & MK_RBUTTON) && rightButtonDown_) {
        TrackPeek(point.x, point.y);
    }
}

void CSolGameField::OnRButtonDown(UINT, POINT point) {
    // A right press ends a left press or drag under way, as a refused drop
    // does, so the two buttons never share the capture.
    if (leftButtonDown_) CancelDrag();
    if (!InsideField(point.x, point.y)) return;
    SetCapture();
    if (!rightButtonDown_) savedCursor_ = ::SetCursor(peekCursor_);
    rightButtonDown_ = true;
    uint16_t pile = kFieldNone, index = kFieldNone;
    if (HitField(point.x, point.y, &pile, &index, nullptr)) {
        SetPeek(pile, index);
        Redraw();
    } else {
        SetPeek(kFieldNone, kFieldNone);
    }
}

void CSolGameField::OnRButtonUp(UINT, POINT) {
    // Only a right press on the field replaced the cursor and took the
    // capture; a press elsewhere released here leaves both alone.
    if (!rightButtonDown_) return;
    EndPeek(true);
}

BOOL CSolGameField::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (rightButtonDown_ && window == hwnd_) {
        ::SetCursor(peekCursor_);
        return TRUE;
    }
    return CWnd::OnSetCursor(window, hitTest, message);
}

void CSolGameField::OnCaptureChanged(HWND newCapture) {
    if (releasingCapture_ || newCapture == hwnd_) return;
    // Another window took the mouse (WM_CANCELMODE, a menu, a dialog): the
    // gestures that needed it end as if the button had been let go where
    // nothing happens.
    if (leftButtonDown_) CancelDrag();
    if (rightButtonDown_) EndPeek(true);
}

// ---------------------------------------------------------------- peek

void CSolGameField::TrackPeek(int32_t x, int32_t y) {
    uint16_t pile = kFieldNone, index = kFieldNone;
    if (HitField(x, y, &pile, &index, nullptr)) {
        if (pile == peekPile_ && index == peekIndex_) return;
        SetPeek(pile, index);
        Redraw();
        return;
    }
    if (!InsideField(x, y)) {
        // The cursor is kept inside the field while the right button is held.
        const RECT& f = FieldRect();
        const int32_t dx = x < f.left ? f.left - x : x >= f.right ? f.right - 1 - x : 0;
        const int32_t dy = y < f.top ? f.top - y : y >= f.bottom ? f.bottom - 1 - y : 0;
        POINT at{};
        if (::GetCursorPos(&at)) ::SetCursorPos(at.x + dx, at.y + dy);
    }
    if (peekPile_ == kFieldNone && peekIndex_ == kFieldNone) return;
    SetPeek(kFieldNone, kFieldNone);
    Redraw();
}

void CSolGameField::EndPeek(bool redraw) {
    if (rightButtonDown_) {
        ::SetCursor(savedCursor_);
        rightButtonDown_ = false;
        ReleaseOwnCapture();
    }
    SetPeek(kFieldNone, kFieldNone);
    if (redraw) Redraw();
}

// ---------------------------------------------------------------- clicking mode

bool CSolGameField::ClickModeButtonDown(int32_t x, int32_t y) {
    HitRect rect;
    if (!HitField(x, y, &pressedPile_, &pressedIndex_, &rect)) {
        ClearSelection();
        Redraw();
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
                Redraw();
                selectTime_ = clock_();
                return true;
            }
        }
        if (TryPileClick(pressedPile_, updates)) {
            ClearSelection();
            ApplyFieldUpdates(updates);
            acted = true;
        }
    } else if (pressedPile_ == selectedPile_ && pressedIndex_ == selectedIndex_) {
        // A second click on the selected card in the same or the next second
        // clicks its pile.
        const bool quick = clock_() - selectTime_ < 2;
        ClearSelection();
        if (quick && TryPileClick(pressedPile_, updates)) {
            ApplyFieldUpdates(updates);
            acted = true;
        } else {
            Redraw();
        }
    } else if (pressedPile_ == selectedPile_) {
        ClearSelection();
        Redraw();
    } else {
        const auto source = static_cast<uint16_t>(selectedPile_);
        const auto from = static_cast<uint16_t>(selectedIndex_);
        const std::vector<FieldCard>& cards = layout_.piles[source].cards;
        if (from >= cards.size() || cards[from].card != pressedCard_) {
            // The selection no longer names its card: it is dropped.
            ClearSelection();
            Redraw();
            return true;
        }
        const auto count = static_cast<uint16_t>(cards.size() - from);
        const uint16_t at = layout_.piles[pressedPile_].CardCount();
        if (TryMove(pressedCard_, pressedPile_, updates)) {
            ClearSelection();
            MoveCardsAnimated(source, from, count, pressedPile_, at);
            ApplyFieldUpdates(updates);
            acted = true;
        }
    }
    if (acted) FinishStep();
    return true;
}

// ---------------------------------------------------------------- drag and drop

bool CSolGameField::DragStart(int32_t x, int32_t y) {
    HitRect rect;
    if (!HitField(x, y, &pressedPile_, &pressedIndex_, &rect)) return false;
    pressedRect_ = rect;
    if (pressedIndex_ != kFieldNone) pressedCard_ = layout_.piles[pressedPile_].cards[pressedIndex_].card;
    SetCapture();
    pressPoint_ = POINT{x, y};
    dragging_ = false;
    return true;
}

void CSolGameField::DragMove(int32_t x, int32_t y) {
    if (!dragging_) {
        if (std::abs(x - pressPoint_.x) < kDragThreshold && std::abs(y - pressPoint_.y) < kDragThreshold) return;
        if (pressedIndex_ == kFieldNone || !CanPickUp(pressedCard_)) return;
        BeginDrag(x, y);
        return;
    }
    HDC buffer = backBuffer_.GetDC();
    const int32_t left = dragOffset_.x + x, top = dragOffset_.y + y;
    if (!buffer || SamePoint(dragRect_, left, top)) return;
    const POINT old{dragRect_.left, dragRect_.top};
    dragBackground_.BlitTo(buffer, &old);
    ::OffsetRect(&dragRect_, left - old.x, top - old.y);
    const POINT now{left, top};
    dragBackground_.BlitFrom(buffer, &now);
    dragImage_.DrawTransparent(buffer, left, top, kRunImageKey);
    PresentNow();
}

bool CSolGameField::BeginDrag(int32_t x, int32_t y) {
    if (pressedPile_ >= layout_.piles.size()) return false;
    FieldPile& pile = layout_.piles[pressedPile_];
    // The copy must still hold the pressed card where it was pressed.
    if (pressedIndex_ >= pile.cards.size() || pile.cards[pressedIndex_].card != pressedCard_) return false;
    HDC buffer = backBuffer_.GetDC();
    const auto count = static_cast<uint16_t>(pile.cards.size() - pressedIndex_);
    int32_t ox = 0, oy = 0;
    if (!buffer || !RenderRun(pressedPile_, pressedIndex_, count, buffer, &dragImage_, &ox, &oy)) return false;
    dragSavedCount_ = pile.CardCount();
    dragRun_ = TakeFieldRun(layout_, pressedPile_, pressedIndex_, count);
    // The pile without the run; the hit regions now describe it.
    SetFullRepaint();
    PaintToBackBuffer();
    buffer = backBuffer_.GetDC();
    const int32_t left = pressedRect_.left - ox, top = pressedRect_.top - oy;
    dragOffset_ = POINT{left - x, top - y};
    dragRect_ = RECT{left, top, left + static_cast<int32_t>(dragImage_.Width()),
                     top + static_cast<int32_t>(dragImage_.Height())};
    dragBackground_.Create(buffer, dragImage_.Width(), dragImage_.Height());
    const POINT at{left, top};
    dragBackground_.BlitFrom(buffer, &at);
    dragImage_.DrawTransparent(buffer, left, top, kRunImageKey);
    PresentNow();
    dragging_ = true;
    return true;
}

void CSolGameField::EndDrag() {
    if (dragging_ && pressedPile_ < layout_.piles.size() && !dragRun_.empty())
        InsertFieldRun(layout_, pressedPile_, layout_.piles[pressedPile_].CardCount(), dragRun_);
    dragRun_.clear();
    dragImage_.Destroy();
    dragBackground_.Destroy();
    dragging_ = false;
}

void CSolGameField::CancelDrag() {
    const bool wasDragging = dragging_;
    EndDrag();
    leftButtonDown_ = false;
    ReleaseOwnCapture();
    if (wasDragging) RepaintAndPresent();
}

bool CSolGameField::DragDrop(int32_t x, int32_t y) {
    ReleaseOwnCapture();
    bool acted = false;
    if (dragging_) {
        const RECT image = dragRect_;
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
            if (animation_) RepaintAndPresent();
            ApplyFieldUpdates(updates);
            acted = true;
        } else {
            RepaintAndPresent();   // the run shows back in its pile
        }
    } else {
        uint16_t pile = kFieldNone, index = kFieldNone;
        FieldUpdateList updates;
        if (HitField(x, y, &pile, &index, nullptr) && pile == pressedPile_ && index == pressedIndex_ &&
            TryPileClick(pressedPile_, updates)) {
            ApplyFieldUpdates(updates);
            acted = true;
        }
    }
    leftButtonDown_ = false;
    if (acted) FinishStep();
    return true;
}

}  // namespace corvelle
