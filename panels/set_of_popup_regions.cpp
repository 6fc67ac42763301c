// The side-panel container: regions, layout, scrolling and painting (the
// mouse on the container is region_tracking.cpp; the regions, their headers
// and bodies have files of their own).
#include "panels/set_of_popup_regions.h"

#include "panels/region_body.h"
#include "panels/region_header.h"

namespace corvelle {

namespace {

constexpr COLORREF kContentColour = RGB(0xE0, 0xE0, 0xE0);
constexpr COLORREF kBandColour = RGB(0xA0, 0xA0, 0xA0);
constexpr COLORREF kMarkerColour = 0x800000;
constexpr UINT kScrollBarId = 1;

double PerformanceMilliseconds() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int32_t ClientHeight(HWND window) {
    RECT rc;
    ::GetClientRect(window, &rc);
    return rc.bottom;
}

}  // namespace

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc, &r, brush);
    ::DeleteObject(brush);
}

CSetOfPopupRegions::CSetOfPopupRegions()
    : resizeCursor(::LoadCursorW(nullptr, IDC_SIZEWE)), animationClock(&PerformanceMilliseconds) {}

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
        RepositionRegions(RegionLayout::RebuildBodyBuffers);
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

StackMetrics CSetOfPopupRegions::GetMetrics() const { return StackMetrics{band, margins, headerHeight}; }

std::vector<StackRegion> CSetOfPopupRegions::GetStackRegions() const {
    std::vector<StackRegion> out;
    out.reserve(regions.size());
    for (const CPopupRegion& region : regions) {
        const auto* body = region.body;
        out.push_back(StackRegion{static_cast<int32_t>(body->visibleHeight), static_cast<int32_t>(body->GetFullHeight()),
                                  static_cast<int32_t>(body->heightWithoutBar), region.locked});
    }
    return out;
}

void CSetOfPopupRegions::RepositionRegions(RegionLayout layout) {
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
        if (!Includes(layout, RegionLayout::KeepScrollRange)) UpdateScrollBar(true);
    }
    const int32_t left = contentLeft + margins.left;
    const int32_t right = contentRight + margins.right;
    int32_t y = top + band.top + margins.top;
    for (CPopupRegion& region : regions) {
        const int32_t visible = static_cast<int32_t>(region.body->visibleHeight);
        region.header->MoveWindow(RECT{left, y, right, y + headerHeight}, TRUE);
        region.header->UpdateWindow();
        if (Includes(layout, RegionLayout::InvalidateHeaders)) region.header->Invalidate(FALSE);
        region.body->MoveWindow(RECT{left, y + headerHeight, right, y + headerHeight + visible}, FALSE);
        if (Includes(layout, RegionLayout::RebuildBodyBuffers)) region.body->CreateBackBuffer();
        region.body->LayoutChildren(Includes(layout, RegionLayout::EraseChildren));
        region.body->RedrawNow();
        y += headerHeight + visible + margins.top;
    }
    OnRegionsRepositioned();
}

bool CSetOfPopupRegions::UpdateScrollBar(bool rangeOnly) {
    if (scrollBar.GetSafeHwnd() == nullptr) return false;
    const int32_t h = ClientHeight(hwnd);
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
    return ContentHeight(GetMetrics(), GetStackRegions(), fullHeights);
}

bool CSetOfPopupRegions::EnsureRegionVisible(UINT i) {
    if (!scrollBarShown) return false;
    int32_t top = 0;
    int32_t bottom = 0;
    GetRegionSpan(GetMetrics(), GetStackRegions(), i, &top, &bottom);
    const int32_t h = ClientHeight(hwnd);
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

void CSetOfPopupRegions::CreateBackBuffer() { buffer.Create(hwnd); }

void CSetOfPopupRegions::PaintBackBuffer() {
    RECT rc;
    GetClientRect(&rc);
    if (!::EqualRect(&rc, &buffer.GetArea())) CreateBackBuffer();
    if (!buffer.IsStale() || buffer.GetDC() == nullptr) return;
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
        const int32_t t = rc.top + InsertionMarkerTop(GetMetrics(), GetStackRegions(), dragInsertion, GetScrollPosition());
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
    buffer.ShowOnPaint(hwnd, POINT{0, 0});
}

BOOL CSetOfPopupRegions::OnEraseBkgnd(HDC) { return TRUE; }

void CSetOfPopupRegions::RedrawNow() {
    if (layoutDeferred) return;
    buffer.Invalidate();
    PaintBackBuffer();
    buffer.ShowIn(hwnd, POINT{0, 0});
}

void CSetOfPopupRegions::OnSize(UINT, int, int) {
    Default();
    if (UpdateScrollBar(false)) {
        RepositionRegions(RegionLayout::RebuildBodyBuffers);
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
        RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::EraseChildren);
        RedrawNow();
    }
    Default();
}

}  // namespace corvelle
