// The side-panel container: regions, layout, scrolling, painting, and the
// mouse (header clicks and drags, edge resize).
#include "panels/set_of_popup_regions.h"

#include "res/art_ids.h"

namespace corvelle {

namespace {

constexpr COLORREF kContentColour = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kBandColour = RGB(0xA0, 0xA0, 0xA0);
constexpr COLORREF kMarkerColour = 0x800000;
constexpr UINT kScrollBarId = 1;

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
}

int32_t ClientHeight(HWND window) {
    RECT rc;
    ::GetClientRect(window, &rc);
    return rc.bottom;
}

}  // namespace

// ======================================================== the container

CSetOfPopupRegions::CSetOfPopupRegions() { resizeCursor = ::LoadCursorW(nullptr, IDC_SIZEWE); }

CSetOfPopupRegions::~CSetOfPopupRegions() {
    buffer.Destroy();
    DestroyRegions();
    scrollBar.DestroyWindow();
    DestroyWindow();
}

bool CSetOfPopupRegions::Create(CWnd* parent, const RECT& rect, UINT id) {
    if (!CWnd::Create(L"SetOfPopupRegions", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect, parent, id)) {
        return false;
    }
    idBase = id;
    CreateBackBuffer();
    RECT rc;
    GetClientRect(&rc);
    scrollBar.Create(WS_CHILD | SBS_VERT | SBS_RIGHTALIGN, rc, this, kScrollBarId);
    scrollBarShown = false;
    return true;
}

void CSetOfPopupRegions::SetResizeBand(const RECT& r) { band = ToBox(r); }

void CSetOfPopupRegions::DestroyRegions() {
    for (CPopupRegion& region : regions) {
        delete region.header;
        delete region.body;
    }
    regions.clear();
}

bool CSetOfPopupRegions::CreateRegions(const RECT& regionMargins, UINT height, UINT count,
                                       const UINT* heightsWithoutScrollBar, const UINT* heightsWithScrollBar,
                                       const wchar_t* const* titles) {
    DestroyRegions();
    margins = ToBox(regionMargins);
    headerHeight = static_cast<int32_t>(height);
    regions.resize(count);
    RECT rc;
    GetClientRect(&rc);
    const int32_t x0 = rc.left + band.left + margins.left;
    const int32_t x1 = rc.right + band.right + margins.right;
    int32_t y = rc.top + band.top + margins.top;
    for (UINT i = 0; i < count; ++i) {
        CPopupRegion& region = regions[i];
        region.container = this;
        region.index = i;
        region.header = new CPopupRegion::CRegionHeader(&region);
        const RECT headerRect{x0, y, x1, y + headerHeight};
        const int32_t bodyHeight = static_cast<int32_t>(heightsWithoutScrollBar[i]);
        const RECT bodyRect{x0, y + headerHeight, x1, y + headerHeight + bodyHeight};
        if (!region.header->Create(titles[i], WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, headerRect, this,
                                   idBase + 2 * i + 2) ||
            (region.body = CreateRegionBody(&region, bodyRect, idBase + 2 * i + 3, heightsWithScrollBar[i])) ==
                nullptr) {
            // A region without its windows would be used later through null
            // pointers: the panel has no regions instead.
            DestroyRegions();
            return false;
        }
        y += headerHeight + bodyHeight + margins.top;
    }
    if (UpdateScrollBar(false)) {
        RepositionRegions(false, true, false, false);
        RedrawNow();
        OnScrollBarToggled();
    }
    return true;
}

void CSetOfPopupRegions::SetRegionLocked(UINT i, bool locked) {
    if (i < regions.size()) regions[i].locked = locked;
}

void CSetOfPopupRegions::ExpandRegion(UINT i, bool expand, bool animate) {
    if (i < regions.size()) regions[i].SetExpanded(expand, animate);
}

int32_t CSetOfPopupRegions::GetScrollBarWidth() const {
    RECT r{};
    if (scrollBar.GetSafeHwnd() != nullptr) scrollBar.GetClientRect(&r);
    return r.right - r.left;
}

int32_t CSetOfPopupRegions::GetScrollPosition() const {
    return scrollBarShown ? scrollBar.GetScrollPos() : 0;
}

int32_t CSetOfPopupRegions::GetScrollRangeMax() const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    if (scrollBar.GetSafeHwnd() == nullptr || !scrollBar.GetScrollInfo(&info)) return 0;
    return info.nMax;
}

StackMetrics CSetOfPopupRegions::Metrics() const { return StackMetrics{band, margins, headerHeight}; }

std::vector<StackRegion> CSetOfPopupRegions::StackRegions() const {
    std::vector<StackRegion> out;
    out.reserve(regions.size());
    for (const CPopupRegion& region : regions) {
        const auto* body = region.body;
        out.push_back(StackRegion{static_cast<int32_t>(body->visibleHeight), static_cast<int32_t>(body->GetFullHeight()),
                                  static_cast<int32_t>(body->heightWithoutBar), region.locked});
    }
    return out;
}

void CSetOfPopupRegions::RepositionRegions(bool invalidateHeaders, bool rebuildBodyBuffers, bool keepScrollRange,
                                           bool redrawChildren) {
    if (regions.empty() || layoutDeferred) return;
    RECT rc;
    GetClientRect(&rc);
    int32_t contentLeft = rc.left + band.left;
    int32_t contentRight = rc.right + band.right;
    int32_t top = rc.top;
    if (scrollBarShown) {
        contentRight -= GetScrollBarWidth();
        top -= GetScrollPosition();
        scrollBar.UpdateWindow();
        scrollBar.Invalidate(TRUE);
        scrollBar.MoveWindow(RECT{contentRight, rc.top, rc.right + band.right, rc.bottom}, TRUE);
        if (!keepScrollRange) UpdateScrollBar(true);
    }
    const int32_t left = contentLeft + margins.left;
    const int32_t right = contentRight + margins.right;
    int32_t y = top + band.top + margins.top;
    for (CPopupRegion& region : regions) {
        const int32_t visible = static_cast<int32_t>(region.body->visibleHeight);
        region.header->MoveWindow(RECT{left, y, right, y + headerHeight}, TRUE);
        region.header->UpdateWindow();
        if (invalidateHeaders) region.header->Invalidate(FALSE);
        region.body->MoveWindow(RECT{left, y + headerHeight, right, y + headerHeight + visible}, FALSE);
        if (rebuildBodyBuffers) region.body->CreateBackBuffer();
        region.body->LayoutChildren(redrawChildren);
        region.body->RedrawNow();
        y += headerHeight + visible + margins.top;
    }
    OnRegionsRepositioned();
}

bool CSetOfPopupRegions::UpdateScrollBar(bool rangeOnly) {
    if (scrollBar.GetSafeHwnd() == nullptr) return false;
    const int32_t h = ClientHeight(hwnd_);
    SCROLLINFO page{};
    page.cbSize = sizeof page;
    page.fMask = SIF_PAGE;
    page.nPage = kScrollPage;
    scrollBar.SetScrollInfo(&page, TRUE);
    auto setRange = [&](int32_t visible) {
        SCROLLINFO range{};
        range.cbSize = sizeof range;
        range.fMask = SIF_RANGE;
        range.nMin = 0;
        range.nMax = ScrollRangeMax(visible, h);
        scrollBar.SetScrollInfo(&range, TRUE);
    };
    if (rangeOnly) {
        if (scrollBarShown) setRange(GetContentHeight(false));
        return false;
    }
    const bool needed = GetContentHeight(true) > h;
    if (needed != scrollBarShown) {
        scrollBarShown = needed;
        if (needed) {
            scrollBar.ShowWindow(SW_SHOWNA);
            for (CPopupRegion& region : regions) region.body->UseHeightWithScrollBar();
            setRange(GetContentHeight(false));
            scrollBar.SetScrollPos(0, TRUE);
        } else {
            scrollBar.ShowWindow(SW_HIDE);
            for (CPopupRegion& region : regions) region.body->UseHeightWithoutScrollBar();
        }
        return true;
    }
    if (scrollBarShown) setRange(GetContentHeight(false));
    return false;
}

int32_t CSetOfPopupRegions::GetContentHeight(bool fullHeights) const {
    return ContentHeight(Metrics(), StackRegions(), fullHeights);
}

bool CSetOfPopupRegions::EnsureRegionVisible(UINT i) {
    if (!scrollBarShown) return false;
    int32_t top = 0;
    int32_t bottom = 0;
    RegionSpan(Metrics(), StackRegions(), i, &top, &bottom);
    const int32_t h = ClientHeight(hwnd_);
    int32_t position = GetScrollPosition();
    bool moved = false;
    if (bottom > h + position) {
        scrollBar.SetScrollPos(bottom - h, TRUE);
        position = GetScrollPosition();
        moved = true;
    }
    if (top < position) {
        scrollBar.SetScrollPos(top, TRUE);
        moved = true;
    }
    return moved;
}

void CSetOfPopupRegions::MoveRegion(UINT from, UINT to) {
    if (from == to || from >= regions.size() || to >= regions.size()) return;
    MoveInOrder(regions.data(), regions.size(), from, to);
    for (size_t i = 0; i < regions.size(); ++i) {
        regions[i].index = static_cast<uint32_t>(i);
        regions[i].header->SetRegion(&regions[i]);
        regions[i].body->SetRegion(&regions[i]);
    }
}

// ---- painting

void CSetOfPopupRegions::CreateBackBuffer() { buffer.Create(hwnd_); }

void CSetOfPopupRegions::PaintBackBuffer() {
    RECT rc;
    GetClientRect(&rc);
    if (!::EqualRect(&rc, &buffer.Area())) CreateBackBuffer();
    if (!buffer.Stale() || buffer.GetDC() == nullptr) return;
    HDC dc = buffer.GetDC();
    const int32_t width = rc.right;
    const int32_t height = rc.bottom;
    FillSolid(dc, RECT{band.left, band.top, width + band.right, height + band.bottom}, kContentColour);
    if (band.left > 0) {
        FillSolid(dc, RECT{0, 0, band.left, height}, kBandColour);
    } else if (band.right < 0) {
        FillSolid(dc, RECT{width + band.right, 0, width, height}, kBandColour);
    }
    if (dragActive) {
        const int32_t l = rc.left + margins.left - 5;
        const int32_t t = rc.top + InsertionMarkerTop(Metrics(), StackRegions(), dragInsertion, GetScrollPosition());
        const RECT parts[] = {{l, t, l + 9, t + 4}, {l + 6, t - 2, l + 7, t + 6}, {l + 7, t - 1, l + 8, t + 5},
                              {l + 9, t + 1, l + 10, t + 3}};
        HBRUSH brush = ::CreateSolidBrush(kMarkerColour);
        for (const RECT& part : parts) ::FillRect(dc, &part, brush);
        ::DeleteObject(brush);
    }
    buffer.Painted();
}

void CSetOfPopupRegions::OnPaint() {
    PaintBackBuffer();
    buffer.ShowOnPaint(hwnd_, POINT{0, 0});
}

BOOL CSetOfPopupRegions::OnEraseBkgnd(HDC) { return TRUE; }

void CSetOfPopupRegions::RedrawNow() {
    if (layoutDeferred) return;
    buffer.Invalidate();
    PaintBackBuffer();
    buffer.ShowIn(hwnd_, POINT{0, 0});
}

void CSetOfPopupRegions::OnSize(UINT, int, int) {
    Default();
    if (UpdateScrollBar(false)) {
        RepositionRegions(false, true, false, false);
        RedrawNow();
        OnScrollBarToggled();
    }
}

void CSetOfPopupRegions::OnVScroll(UINT code, UINT position, HWND) {
    const int32_t rangeMax = GetScrollRangeMax();
    const int32_t now = scrollBar.GetScrollPos();
    bool moved = true;
    switch (code) {
    case SB_LINEUP:
        if (now > 0) scrollBar.SetScrollPos(now - 1, TRUE);
        break;
    case SB_LINEDOWN:
        if (now < rangeMax) scrollBar.SetScrollPos(now + 1, TRUE);
        break;
    case SB_PAGEUP: scrollBar.SetScrollPos(now - kScrollPage, TRUE); break;
    case SB_PAGEDOWN: scrollBar.SetScrollPos(now + kScrollPage, TRUE); break;
    case SB_THUMBTRACK: {
        // The 32-bit tracked position (the message carries 16 bits).
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        scrollBar.GetScrollInfo(&info);
        scrollBar.SetScrollPos(info.nTrackPos != 0 ? info.nTrackPos : static_cast<int>(position), TRUE);
        break;
    }
    default: moved = false; break;
    }
    if (moved && rangeMax != 0) {
        RepositionRegions(true, false, false, true);
        RedrawNow();
    }
    Default();
}

// ---- the mouse: drags and edge resize

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
        const int32_t height = static_cast<int32_t>(buffer.Height());
        const int32_t position = scrollBar.GetScrollPos();
        if (y < 0 || y > height) {
            scrollBar.SetScrollPos(y < 0 ? position + y : position + y - height, TRUE);
            RepositionRegions(true, false, false, false);
            RedrawNow();
        }
    }
    dragInsertion = DragInsertionIndex(Metrics(), StackRegions(), y, GetScrollPosition());
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
    RepositionRegions(true, false, false, true);
    RedrawNow();
    if (from != to) OnRegionMoved(static_cast<UINT>(from), to);
}

void CSetOfPopupRegions::OnLButtonDown(UINT, POINT point) {
    if (!InResizeBand(point)) return;
    lastMouse = point;
    ::ClientToScreen(hwnd_, &lastMouse);
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
    ::ScreenToClient(hwnd_, &last);
    if (last.x == point.x) return;
    RECT r;
    GetWindowRect(&r);
    HWND parent = ::GetParent(hwnd_);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    RECT parentClient;
    ::GetClientRect(parent, &parentClient);
    const int32_t delta = band.left > 0 ? last.x - point.x : point.x - last.x;
    const int32_t width = ResizedPanelWidth(r.right - r.left, delta, static_cast<int32_t>(minWidth),
                                            parentClient.right - parentClient.left,
                                            static_cast<int32_t>(keptParentWidth));
    lastMouse = point;
    ::ClientToScreen(hwnd_, &lastMouse);
    if (band.left > 0) {
        r.left = r.right - width;
    } else {
        r.right = r.left + width;
    }
    r.bottom -= 20;
    MoveWindow(r, FALSE);
    RepositionRegions(true, true, false, true);
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
    if (newCapture != hwnd_) CancelMouseTracking();
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

// ======================================================== one region

void CSetOfPopupRegions::CPopupRegion::Expand() {
    CSetOfPopupRegions* c = container;
    body->visibleHeight = body->GetFullHeight();
    bool scrolled;
    if (c->UpdateScrollBar(false)) {
        scrolled = c->EnsureRegionVisible(index);
        body->visibleHeight = 0;
        c->RepositionRegions(true, true, true, false);
        c->RedrawNow();
        c->OnScrollBarToggled();
    } else {
        scrolled = c->EnsureRegionVisible(index);
        body->visibleHeight = 0;
    }
    const uint32_t target = body->GetFullHeight();
    body->BeginAnimation();
    uint32_t step = kAnimationStep;
    while (body->visibleHeight < target) {
        if (body->visibleHeight + step > target) step = target - body->visibleHeight;
        body->visibleHeight += step;
        c->RepositionRegions(true, false, scrolled, false);
        body->ShiftChildren(static_cast<int32_t>(step));
        c->RedrawNow();
    }
    expanded = true;
    body->EndAnimation();
}

void CSetOfPopupRegions::CPopupRegion::Collapse() {
    CSetOfPopupRegions* c = container;
    body->visibleHeight = 0;
    if (c->UpdateScrollBar(false)) {
        body->visibleHeight = body->GetFullHeight();
        c->RepositionRegions(true, true, false, false);
        c->RedrawNow();
        c->OnScrollBarToggled();
    } else {
        body->visibleHeight = body->GetFullHeight();
    }
    body->BeginAnimation();
    uint32_t step = kAnimationStep;
    while (body->visibleHeight != 0) {
        if (body->visibleHeight < step) step = body->visibleHeight;
        body->visibleHeight -= step;
        c->RepositionRegions(true, false, false, false);
        body->ShiftChildren(-static_cast<int32_t>(step));
        c->RedrawNow();
    }
    expanded = false;
    body->EndAnimation();
}

void CSetOfPopupRegions::CPopupRegion::Toggle() {
    if (locked) return;
    const bool now = !expanded;
    if (expanded) {
        Collapse();
    } else {
        Expand();
    }
    container->OnRegionToggled(index, now);
}

void CSetOfPopupRegions::CPopupRegion::SetExpanded(bool expand, bool animate) {
    if (expand == expanded) return;
    if (animate) {
        if (expand) {
            Expand();
        } else {
            Collapse();
        }
        return;
    }
    expanded = expand;
    body->visibleHeight = expand ? body->GetFullHeight() : 0;
    const bool toggled = container->UpdateScrollBar(false);
    container->RepositionRegions(true, toggled, false, false);
}

void CSetOfPopupRegions::CPopupRegion::BeginHeaderDrag() {
    container->SetCapture();
    dragging = true;
    container->BeginRegionDrag(index);
}

void CSetOfPopupRegions::CPopupRegion::EndHeaderDrag() {
    ::ReleaseCapture();
    header->SetHot(false);
    dragging = false;
    header->Invalidate(FALSE);
}

// ======================================================== header

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
    if (message == WM_MOUSELEAVE) {
        // While pressed the button holds the mouse: the press decides.
        if (::GetCapture() != hwnd_ && hot && !region->dragging) {
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
    pressPoint = point;
    Default();
}

void CSetOfPopupRegions::CPopupRegion::CRegionHeader::OnLButtonUp(UINT, POINT point) {
    if (region->dragging) return;
    const bool wasHot = hot;
    hot = false;
    Default();
    Invalidate(FALSE);
    if (wasHot && Inside(point)) region->Toggle();
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
        track.hwndTrack = hwnd_;
        ::TrackMouseEvent(&track);
        if (!hot) {
            hot = true;
            Invalidate(FALSE);
        }
        return;
    }
    if (region->locked || region->dragging) return;
    const int32_t dx = pressPoint.x - point.x;
    const int32_t dy = pressPoint.y - point.y;
    if (dx * dx + dy * dy <= kDragThresholdSquared) return;
    hot = false;
    Default();
    region->BeginHeaderDrag();
    Invalidate(FALSE);
}

// ======================================================== body

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
    c->RepositionRegions(true, true, false, true);
    c->RedrawNow();
    if (toggled) c->OnScrollBarToggled();
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::ShiftChildren(int32_t dy) {
    for (Child& child : children) {
        RECT r;
        child.child->GetWindowRect(&r);
        ScreenToClient(&r);
        ::OffsetRect(&r, 0, dy);
        child.child->UpdateWindow();
        child.child->MoveWindow(r, TRUE);
    }
}

// As high as the body's full height: a body shown partly shows the lower
// part of its buffer.
void CSetOfPopupRegions::CPopupRegion::CRegionBody::CreateBackBuffer() { buffer.Create(hwnd_, GetFullHeight()); }

void CSetOfPopupRegions::CPopupRegion::CRegionBody::PaintBackBuffer() {
    if (!buffer.Stale() || buffer.GetDC() == nullptr) return;
    HDC dc = buffer.GetDC();
    const int32_t width = static_cast<int32_t>(buffer.Width());
    const int32_t height = static_cast<int32_t>(buffer.Height());
    FillSolid(dc, RECT{0, 0, width, height}, background);
    const RECT frame{0, -1, width, height};
    DrawFrame(dc, &frame, RGB(0, 0, 0), RGB(0, 0, 0));
    buffer.Painted();
}

POINT CSetOfPopupRegions::CPopupRegion::CRegionBody::BufferCorner() {
    RECT rc;
    GetClientRect(&rc);
    return POINT{rc.left, rc.bottom - static_cast<int32_t>(buffer.Height())};
}

void CSetOfPopupRegions::CPopupRegion::CRegionBody::OnPaint() {
    PaintBackBuffer();
    buffer.ShowOnPaint(hwnd_, BufferCorner());
}

BOOL CSetOfPopupRegions::CPopupRegion::CRegionBody::OnEraseBkgnd(HDC) { return TRUE; }

void CSetOfPopupRegions::CPopupRegion::CRegionBody::RedrawNow() {
    buffer.Invalidate();
    PaintBackBuffer();
    buffer.ShowIn(hwnd_, BufferCorner());
}

}  // namespace corvelle
