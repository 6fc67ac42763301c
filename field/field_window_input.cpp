// The field window's side of the mouse: its messages handed to the input
// (CFieldInput), and what the input asks of the window: paints, the mouse
// capture, the peek's cursor and the drag image, which moves over the back
// buffer by putting back what it covered.
#include "field/sol_game_field.h"

namespace corvelle {

// ---------------------------------------------------------------- messages

void CSolGameField::OnLButtonDown(UINT flags, POINT point) {
    input_.Press(point.x, point.y, (flags & MK_RBUTTON) != 0);
}

void CSolGameField::OnLButtonUp(UINT, POINT point) { input_.Release(point.x, point.y); }

void CSolGameField::OnMouseMove(UINT flags, POINT point) {
    input_.Move(point.x, point.y, (flags & MK_RBUTTON) != 0);
}

void CSolGameField::OnRButtonDown(UINT, POINT point) { input_.RightPress(point.x, point.y); }

void CSolGameField::OnRButtonUp(UINT, POINT) { input_.RightRelease(); }

BOOL CSolGameField::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (input_.Peeking() && window == hwnd) {
        ::SetCursor(peekCursor_);
        return TRUE;
    }
    return CWnd::OnSetCursor(window, hitTest, message);
}

void CSolGameField::OnCaptureChanged(HWND newCapture) {
    if (releasingCapture_ || newCapture == hwnd) return;
    // Another window took the mouse (WM_CANCELMODE, a menu, a dialog).
    input_.CaptureLost();
}

void CSolGameField::ReleaseOwnCapture() {
    if (!hwnd || ::GetCapture() != hwnd) return;
    releasingCapture_ = true;
    ::ReleaseCapture();
    releasingCapture_ = false;
}

// ---------------------------------------------------------------- the input's view

HitRect CSolGameField::InputView::FieldArea() const {
    const RECT& r = field_.FieldRect();
    return HitRect{r.left, r.top, r.right, r.bottom};
}

bool CSolGameField::InputView::Animated() const { return field_.animation_ != 0; }

void CSolGameField::InputView::Redraw() { field_.Redraw(); }

void CSolGameField::InputView::Repaint() { field_.SetFullRepaint()->PaintToBackBuffer(); }

void CSolGameField::InputView::ApplyFieldUpdates(FieldUpdateList& updates) { field_.ApplyFieldUpdates(updates); }

void CSolGameField::InputView::MoveCardsAnimated(uint16_t fromPile, uint16_t fromIndex, uint16_t count,
                                                 uint16_t toPile, uint16_t toIndex) {
    field_.MoveCardsAnimated(fromPile, fromIndex, count, toPile, toIndex);
}

void CSolGameField::InputView::CheckGameState() {
    if (field_.mainDialog_) ::SendMessageW(field_.mainDialog_, WM_GAMESTATECHECK, 0, 0);
}

void CSolGameField::InputView::TakeCapture() { field_.SetCapture(); }

void CSolGameField::InputView::ReleaseCapture() { field_.ReleaseOwnCapture(); }

void CSolGameField::InputView::ShowPeekCursor() { field_.savedCursor_ = ::SetCursor(field_.peekCursor_); }

void CSolGameField::InputView::RestoreCursor() { ::SetCursor(field_.savedCursor_); }

void CSolGameField::InputView::MoveCursorBy(int32_t dx, int32_t dy) {
    POINT at{};
    if (::GetCursorPos(&at)) ::SetCursorPos(at.x + dx, at.y + dy);
}

bool CSolGameField::InputView::MakeDragImage(uint16_t pile, uint16_t index, uint16_t count, DragImage* image) {
    HDC buffer = field_.backBuffer_.GetDC();
    int32_t ox = 0, oy = 0;
    if (!buffer || !field_.RenderRun(pile, index, count, buffer, &field_.dragImage_, &ox, &oy)) return false;
    image->width = static_cast<int32_t>(field_.dragImage_.Width());
    image->height = static_cast<int32_t>(field_.dragImage_.Height());
    image->cardX = ox;
    image->cardY = oy;
    return true;
}

void CSolGameField::InputView::ShowDragImage(int32_t left, int32_t top) {
    HDC buffer = field_.backBuffer_.GetDC();
    field_.dragBackground_.Create(buffer, field_.dragImage_.Width(), field_.dragImage_.Height());
    const POINT at{left, top};
    field_.dragBackground_.BlitFrom(buffer, &at);
    field_.dragImage_.DrawTransparent(buffer, left, top, kRunImageKey);
    field_.PresentNow();
}

bool CSolGameField::InputView::MoveDragImage(int32_t fromLeft, int32_t fromTop, int32_t left, int32_t top) {
    HDC buffer = field_.backBuffer_.GetDC();
    if (!buffer) return false;
    const POINT old{fromLeft, fromTop};
    field_.dragBackground_.BlitTo(buffer, &old);
    const POINT now{left, top};
    field_.dragBackground_.BlitFrom(buffer, &now);
    field_.dragImage_.DrawTransparent(buffer, left, top, kRunImageKey);
    field_.PresentNow();
    return true;
}

void CSolGameField::InputView::ReleaseDragImage() {
    field_.dragImage_.Destroy();
    field_.dragBackground_.Destroy();
}

}  // namespace corvelle
