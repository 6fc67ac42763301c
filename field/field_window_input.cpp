// The field window's side of the mouse: its messages handed to the input
// (CFieldInput), and what the input asks of the window: paints, the mouse
// capture, the peek's cursor and the drag image, which moves over the back
// buffer by putting back what it covered.
#include "field/sol_game_field.h"

namespace corvelle {

// ---------------------------------------------------------------- messages

void CSolGameField::OnLButtonDown(UINT flags, POINT point) {
    input.Press(point.x, point.y, (flags & MK_RBUTTON) != 0);
}

void CSolGameField::OnLButtonUp(UINT, POINT point) { input.Release(point.x, point.y); }

void CSolGameField::OnMouseMove(UINT flags, POINT point) {
    input.Move(point.x, point.y, (flags & MK_RBUTTON) != 0);
}

void CSolGameField::OnRButtonDown(UINT, POINT point) { input.RightPress(point.x, point.y); }

void CSolGameField::OnRButtonUp(UINT, POINT) { input.RightRelease(); }

BOOL CSolGameField::OnSetCursor(HWND window, UINT hitTest, UINT message) {
    if (input.IsPeeking() && window == hwnd) {
        ::SetCursor(peekCursor);
        return TRUE;
    }
    return CWnd::OnSetCursor(window, hitTest, message);
}

void CSolGameField::OnCaptureChanged(HWND newCapture) {
    if (releasingCapture || newCapture == hwnd) return;
    // Another window took the mouse (WM_CANCELMODE, a menu, a dialog).
    input.CaptureLost();
}

void CSolGameField::ReleaseOwnCapture() {
    if (!hwnd || ::GetCapture() != hwnd) return;
    releasingCapture = true;
    ::ReleaseCapture();
    releasingCapture = false;
}

// ---------------------------------------------------------------- the input's view

HitRect CSolGameField::InputView::GetFieldArea() const {
    const RECT& r = field.GetFieldRect();
    return HitRect{r.left, r.top, r.right, r.bottom};
}

bool CSolGameField::InputView::IsAnimated() const { return field.animation != 0; }

void CSolGameField::InputView::Redraw() { field.Redraw(); }

void CSolGameField::InputView::Repaint() { field.SetFullRepaint()->PaintToBackBuffer(); }

void CSolGameField::InputView::ApplyFieldUpdates(FieldUpdateList& updates) { field.ApplyFieldUpdates(updates); }

void CSolGameField::InputView::MoveCardsAnimated(uint16_t fromPile, uint16_t fromIndex, uint16_t count,
                                                 uint16_t toPile, uint16_t toIndex) {
    field.MoveCardsAnimated(fromPile, fromIndex, count, toPile, toIndex);
}

void CSolGameField::InputView::CheckGameState() {
    if (field.mainDialog) ::SendMessageW(field.mainDialog, WM_GAMESTATECHECK, 0, 0);
}

void CSolGameField::InputView::TakeCapture() { field.SetCapture(); }

void CSolGameField::InputView::ReleaseCapture() { field.ReleaseOwnCapture(); }

void CSolGameField::InputView::ShowPeekCursor() { field.savedCursor = ::SetCursor(field.peekCursor); }

void CSolGameField::InputView::RestoreCursor() { ::SetCursor(field.savedCursor); }

void CSolGameField::InputView::MoveCursorBy(int32_t dx, int32_t dy) {
    POINT at{};
    if (::GetCursorPos(&at)) ::SetCursorPos(at.x + dx, at.y + dy);
}

bool CSolGameField::InputView::MakeDragImage(uint16_t pile, uint16_t index, uint16_t count, DragImage* image) {
    HDC buffer = field.backBuffer.GetDC();
    int32_t ox = 0, oy = 0;
    if (!buffer || !field.RenderRun(pile, index, count, buffer, &field.dragImage, &ox, &oy)) return false;
    image->width = static_cast<int32_t>(field.dragImage.GetWidth());
    image->height = static_cast<int32_t>(field.dragImage.GetHeight());
    image->cardX = ox;
    image->cardY = oy;
    return true;
}

void CSolGameField::InputView::ShowDragImage(int32_t left, int32_t top) {
    HDC buffer = field.backBuffer.GetDC();
    field.dragBackground.Create(buffer, field.dragImage.GetWidth(), field.dragImage.GetHeight());
    const POINT at{left, top};
    field.dragBackground.BlitFrom(buffer, &at);
    field.dragImage.DrawTransparent(buffer, left, top, kRunImageKey);
    field.PresentNow();
}

bool CSolGameField::InputView::MoveDragImage(int32_t fromLeft, int32_t fromTop, int32_t left, int32_t top) {
    HDC buffer = field.backBuffer.GetDC();
    if (!buffer) return false;
    const POINT old{fromLeft, fromTop};
    field.dragBackground.BlitTo(buffer, &old);
    const POINT now{left, top};
    field.dragBackground.BlitFrom(buffer, &now);
    field.dragImage.DrawTransparent(buffer, left, top, kRunImageKey);
    field.PresentNow();
    return true;
}

void CSolGameField::InputView::ReleaseDragImage() {
    field.dragImage.Destroy();
    field.dragBackground.Destroy();
}

}  // namespace corvelle
