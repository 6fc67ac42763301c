// A region's title bar: drawing, hover, press, click and the start of a
// drag.
#include "panels/region_header.h"

#include "panels/set_of_popup_regions.h"
#include "platform/drawing.h"
#include "res/art_ids.h"

namespace corvelle {

bool CSetOfPopupRegions::CPopupRegion::CRegionHeader::Inside(POINT p) const {
    RECT rc;
    GetClientRect(&rc);
    return p.x >= rc.left && p.x < rc.right && p.y >= rc.top && p.y < rc.bottom;
}

BOOL CSetOfPopupRegions::CPopupRegion::CRegionHeader::DrawItem(DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    const RECT rc = item->rcItem;
    const int32_t h = rc.bottom - rc.top;
    ::FillRect(dc, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    DrawFrame(dc, &rc, RGB(0, 0, 0), RGB(0, 0, 0));
    COLORREF colour = RGB(0, 0, 0);
    if (hot) {
        colour = RGB(0xA0, 0xA0, 0xA0);
    } else if (region->dragging) {
        colour = 0x800000;
    }
    const COLORREF oldColour = ::SetTextColor(dc, colour);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    wchar_t caption[64] = {};
    GetWindowText(caption, 64);
    RECT text = rc;
    text.right -= 30;
    ::DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColour);
    if (hot) {
        const RECT box{rc.right - 29, (h - 14) / 2 + 1, rc.right - 18, (h - 14) / 2 + 13};
        HBRUSH brush = ::CreateSolidBrush(RGB(0xE0, 0xE0, 0xE0));
        ::FillRect(dc, &box, brush);
        ::DeleteObject(brush);
    }
    DrawBitmapTransparent(dc, rc.right - 30, (h - 14) / 2, region->expanded ? IDB_REGION_OPEN : IDB_REGION_CLOSED,
                          kKeyGreen);
    return TRUE;
}

BOOL CSetOfPopupRegions::CPopupRegion::CRegionHeader::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam,
                                                              LRESULT* result) {
    // The mouse went to another window: the press ended there.
    if (message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != hwnd) pressed = false;
    if (message == WM_MOUSELEAVE) {
        // While pressed the button holds the mouse: the press decides.
        if (::GetCapture() != hwnd && hot && !region->dragging) {
            hot = false;
            Invalidate(FALSE);
        }
        *result = 0;
        return TRUE;
    }
    return CButton::OnWndMsg(message, wParam, lParam, result);
}

void CSetOfPopupRegions::CPopupRegion::CRegionHeader::OnLButtonDown(UINT, POINT point) {
    hot = true;
    pressed = true;
    pressPoint = point;
    Default();
}

// The second press of a quick double click is a press like the first.
void CSetOfPopupRegions::CPopupRegion::CRegionHeader::OnLButtonDblClk(UINT flags, POINT point) {
    OnLButtonDown(flags, point);
}

void CSetOfPopupRegions::CPopupRegion::CRegionHeader::OnLButtonUp(UINT, POINT point) {
    const bool wasPressed = pressed;
    pressed = false;
    if (region->dragging) return;
    const bool wasHot = hot;
    hot = false;
    Default();
    Invalidate(FALSE);
    if (wasPressed && wasHot && Inside(point)) region->Toggle();
}

void CSetOfPopupRegions::CPopupRegion::CRegionHeader::OnMouseMove(UINT flags, POINT point) {
    if ((flags & MK_LBUTTON) == 0) {
        // Hover: the system reports when the mouse leaves.
        if (!Inside(point)) return;
        // Asked again on every move: a press (the button's capture) may
        // have ended the last request without a leave.
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd;
        ::TrackMouseEvent(&track);
        if (!hot) {
            hot = true;
            Invalidate(FALSE);
        }
        return;
    }
    // Only a press on this header drags it: a press elsewhere (on the
    // field, on a region's content) that slides over the header does not.
    if (!pressed || region->locked || region->dragging) return;
    const int32_t dx = pressPoint.x - point.x;
    const int32_t dy = pressPoint.y - point.y;
    if (dx * dx + dy * dy <= kDragThresholdSquared) return;
    hot = false;
    pressed = false;
    Default();
    region->BeginHeaderDrag();
    Invalidate(FALSE);
}

}  // namespace corvelle
