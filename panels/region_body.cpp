// A region's body: its controls placed by anchors and margins, its two full
// heights and its picture.
#include "panels/region_body.h"

#include "panels/set_of_popup_regions.h"

namespace corvelle {

CSetOfPopupRegions::CPopupRegion::CRegionBody::CRegionBody(CPopupRegion* record)
    : region(record), background(::GetSysColor(COLOR_BTNFACE)) {}

CSetOfPopupRegions::CPopupRegion::CRegionBody* CreateRegionBody(CSetOfPopupRegions::CPopupRegion* region,
                                                                const RECT& rect, UINT id,
                                                                UINT heightWithScrollBar) {
    auto* body = new CSetOfPopupRegions::CPopupRegion::CRegionBody(region);
    if (!body->Create(L"RegionBody", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, region->GetContainer(), id)) {
        delete body;
        return nullptr;
    }
    body->heightWithoutBar = static_cast<uint32_t>(rect.bottom - rect.top);
    body->heightWithBar = heightWithScrollBar;
    body->visibleHeight = body->heightWithoutBar;
    body->CreateBackBuffer();
    return body;
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::AddChild(CWnd* child) {
    RECT r;
    child->GetWindowRect(&r);
    ScreenToClient(&r);
    children.push_back(Child{ToBox(r), 0, child});
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::SetChildAnchors(UINT j, const RECT& anchors) {
    if (j >= children.size()) return;
    children[j].anchors = ToBox(anchors);
    RECT rc;
    GetClientRect(&rc);
    const Box r = PlaceChild(children[j].anchors, children[j].flags, margins, rc.right, rc.bottom);
    children[j].child->MoveWindow(ToRect(r), TRUE);
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::SetChildFlags(UINT j, uint8_t flags) {
    if (j < children.size()) children[j].flags = flags;
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::SetMargins(const RECT& m) {
    margins = ToBox(m);
    LayoutChildren(false);
}

uint32_t CSetOfPopupRegions::CPopupRegion::CRegionBody::GetFullHeight() const {
    return region->container->HasScrollBar() ? heightWithBar : heightWithoutBar;
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::UseHeightWithScrollBar() {
    if (visibleHeight != 0) visibleHeight = heightWithBar;
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::UseHeightWithoutScrollBar() {
    if (visibleHeight != 0) visibleHeight = heightWithoutBar;
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::LayoutChildren(bool redraw) {
    RECT rc;
    GetClientRect(&rc);
    const int32_t hidden = static_cast<int32_t>(GetFullHeight()) - static_cast<int32_t>(visibleHeight);
    for (UINT j = 0; j < children.size(); ++j) {
        Child& child = children[j];
        RECT now;
        child.child->GetWindowRect(&now);
        ScreenToClient(&now);
        const Box present = ToBox(now);
        const Box placed =
            animating ? present : LayoutChild(present, child.anchors, child.flags, margins, rc.right, rc.bottom, hidden);
        child.child->UpdateWindow();
        if (placed != present) child.child->MoveWindow(ToRect(placed), FALSE);
        region->container->OnBodyChildLaidOut(region->index, j);
        ::InvalidateRect(child.child->GetSafeHwnd(), nullptr, redraw ? TRUE : FALSE);
    }
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::SetContentHeights(UINT withoutBar, UINT withBar) {
    heightWithoutBar = withoutBar;
    heightWithBar = withBar;
    CSetOfPopupRegions* c = region->container;
    if (c->HasScrollBar()) {
        UseHeightWithScrollBar();
    } else {
        UseHeightWithoutScrollBar();
    }
    const bool toggled = c->UpdateScrollBar(false);
    c->RepositionRegions(RegionLayout::Full);
    c->RedrawNow();
    if (toggled) c->OnScrollBarToggled();
}

// As high as the body's full height: a body shown partly shows the lower
// part of its buffer.
void CSetOfPopupRegions::CPopupRegion::CRegionBody::CreateBackBuffer() { buffer.Create(hwnd, GetFullHeight()); }

void CSetOfPopupRegions::CPopupRegion::CRegionBody::PaintBackBuffer() {
    if (!buffer.IsStale() || buffer.GetDC() == nullptr) return;
    HDC dc = buffer.GetDC();
    const int32_t width = static_cast<int32_t>(buffer.GetWidth());
    const int32_t height = static_cast<int32_t>(buffer.GetHeight());
    FillSolid(dc, RECT{0, 0, width, height}, background);
    const RECT frame{0, -1, width, height};
    DrawFrame(dc, &frame, RGB(0, 0, 0), RGB(0, 0, 0));
    buffer.Painted();
}

POINT CSetOfPopupRegions::CPopupRegion::CRegionBody::GetBufferCorner() {
    RECT rc;
    GetClientRect(&rc);
    return POINT{rc.left, rc.bottom - static_cast<int32_t>(buffer.GetHeight())};
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::OnPaint() {
    PaintBackBuffer();
    buffer.ShowOnPaint(hwnd, GetBufferCorner());
}

BOOL CSetOfPopupRegions::CPopupRegion::CRegionBody::OnEraseBkgnd(HDC) { return TRUE; }

void CSetOfPopupRegions::CPopupRegion::CRegionBody::RedrawNow() {
    buffer.Invalidate();
    PaintBackBuffer();
    buffer.ShowIn(hwnd, GetBufferCorner());
}

}  // namespace corvelle
