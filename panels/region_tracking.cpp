// The container under the mouse: a header dragged to another place in the
// stack (with its insertion marker and scrolling at the edges) and the edge
// band dragged to change the panel's width.
#include "panels/set_of_popup_regions.h"

#include "panels/region_header.h"

namespace corvelle {

bool CSetOfPopupRegions::InResizeBand(POINT p) const {
    RECT rc;
    GetClientRect(&rc);
    if (p.y < rc.top || p.y >= rc.bottom) return false;
    if (band.left > 0) return p.x >= 0 && p.x < band.left;
    if (band.right < 0) return p.x >= rc.right + band.right && p.x < rc.right;
    return false;
}

void CSetOfPopupRegions::BeginRegionDrag(UINT index) {
    dragActive = true;
    dragInsertion = index;
}

void CSetOfPopupRegions::TrackHeaderDrag(int32_t y) {
    if (regions.empty()) return;
    if (scrollBarShown) {
        const int32_t height = static_cast<int32_t>(buffer.GetHeight());
        const int32_t position = scrollBar.GetScrollPos();
        if (y < 0 || y > height) {
            scrollBar.SetScrollPos(y < 0 ? position + y : position + y - height, TRUE);
            RepositionRegions(RegionLayout::InvalidateHeaders);
            RedrawNow();
        }
    }
    dragInsertion = DragInsertionIndex(GetMetrics(), GetStackRegions(), y, GetScrollPosition());
    RedrawNow();
}

void CSetOfPopupRegions::OnHeaderDragDrop() {
    size_t from = 0;
    while (from < regions.size() && !regions[from].dragging) ++from;
    if (from == regions.size()) {
        // No region is being dragged: nothing moves.
        RedrawNow();
        return;
    }
    uint32_t to = dragInsertion;
    if (to > from) --to;
    if (to >= regions.size()) to = static_cast<uint32_t>(regions.size()) - 1;
    MoveRegion(static_cast<UINT>(from), to);
    regions[to].EndHeaderDrag();
    RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::EraseChildren);
    RedrawNow();
    if (from != to) OnRegionMoved(static_cast<UINT>(from), to);
}

void CSetOfPopupRegions::OnLButtonDown(UINT, POINT point) {
    if (!InResizeBand(point)) return;
    lastMouse = point;
    ::ClientToScreen(hwnd, &lastMouse);
    resizing = true;
    SetCapture();
    ::SetCursor(resizeCursor);
}

void CSetOfPopupRegions::OnMouseMove(UINT flags, POINT point) {
    if (dragActive) {
        TrackHeaderDrag(point.y);
        return;
    }
    if (!resizing) {
        if (InResizeBand(point)) ::SetCursor(resizeCursor);
        return;
    }
    if ((flags & MK_LBUTTON) == 0) return;   // a move without the button is no resize step
    POINT last = lastMouse;
    ::ScreenToClient(hwnd, &last);
    if (last.x == point.x) return;
    RECT r;
    GetWindowRect(&r);
    HWND parent = ::GetParent(hwnd);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    RECT parentClient;
    ::GetClientRect(parent, &parentClient);
    const int32_t delta = band.left > 0 ? last.x - point.x : point.x - last.x;
    const int32_t width = ResizedPanelWidth(r.right - r.left, delta, static_cast<int32_t>(minWidth),
                                            parentClient.right - parentClient.left,
                                            static_cast<int32_t>(keptParentWidth));
    lastMouse = point;
    ::ClientToScreen(hwnd, &lastMouse);
    if (band.left > 0) {
        r.left = r.right - width;
    } else {
        r.right = r.left + width;
    }
    r.bottom -= 20;
    MoveWindow(r, FALSE);
    RepositionRegions(RegionLayout::Full);
    RedrawNow();
    OnPanelResized();
}

void CSetOfPopupRegions::OnLButtonUp(UINT, POINT) {
    if (dragActive) {
        dragActive = false;
        OnHeaderDragDrop();
        return;
    }
    if (resizing) {
        resizing = false;
        ::ReleaseCapture();
    }
}

void CSetOfPopupRegions::OnCaptureChanged(HWND newCapture) {
    if (newCapture != hwnd) CancelMouseTracking();
    Default();
}

void CSetOfPopupRegions::CancelMouseTracking() {
    resizing = false;
    if (!dragActive) return;
    dragActive = false;
    for (CPopupRegion& region : regions) {
        if (!region.dragging) continue;
        region.dragging = false;
        region.header->SetHot(false);
        region.header->Invalidate(FALSE);
    }
    RedrawNow();
}

}  // namespace corvelle
