// One region of the side-panel container: opening and closing it, with
// its roll animation, and the start and end of its header's drag.
#include "panels/set_of_popup_regions.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "panels/region_body.h"
#include "panels/region_header.h"

namespace corvelle {

namespace {

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Adds a move of `window` to `rect` to the batch, when it stands elsewhere.
HDWP MoveInBatch(HDWP batch, HWND window, RECT& at, const RECT& rect, UINT flags) {
    if (batch == nullptr || ::EqualRect(&at, &rect)) return batch;
    at = rect;
    return ::DeferWindowPos(batch, window, nullptr, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, flags | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

}  // namespace

void CSetOfPopupRegions::CPopupRegion::Expand() {
    CSetOfPopupRegions* c = container;
    const double start = c->animationClock();
    body->visibleHeight = body->GetFullHeight();
    bool scrolled;
    if (c->UpdateScrollBar(false)) {
        scrolled = c->EnsureRegionVisible(index);
        body->visibleHeight = 0;
        c->RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::RebuildBodyBuffers |
                             RegionLayout::KeepScrollRange);
        c->RedrawNow();
        c->OnScrollBarToggled();
    } else {
        scrolled = c->EnsureRegionVisible(index);
        body->visibleHeight = 0;
    }
    c->SlideRegion(index, body->GetFullHeight(), start);
    expanded = true;
    c->RepositionRegions(RegionLayout::InvalidateHeaders |
                         (scrolled ? RegionLayout::KeepScrollRange : RegionLayout::Place));
    c->RedrawNow();
}

void CSetOfPopupRegions::CPopupRegion::Collapse() {
    CSetOfPopupRegions* c = container;
    const double start = c->animationClock();
    body->visibleHeight = 0;
    if (c->UpdateScrollBar(false)) {
        body->visibleHeight = body->GetFullHeight();
        c->RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::RebuildBodyBuffers);
        c->RedrawNow();
        c->OnScrollBarToggled();
    } else {
        body->visibleHeight = body->GetFullHeight();
    }
    c->SlideRegion(index, 0, start);
    expanded = false;
    c->RepositionRegions(RegionLayout::InvalidateHeaders);
    c->RedrawNow();
}

void CSetOfPopupRegions::SlideRegion(UINT index, uint32_t target, double start) {
    CPopupRegion::CRegionBody* body = regions[index].body;
    const uint32_t from = body->visibleHeight;
    body->BeginAnimation();
    SlideWindows at = CaptureSlideWindows(index);
    // What the layout before the roll left to paint is painted first.
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Steps follow the clock: a step that would end after the roll's time
    // is left out, and one that would not change the height waits.
    double lastStep = 0;
    for (;;) {
        const double stepStart = animationClock();
        const double elapsed = stepStart - start;
        if (elapsed + lastStep >= kSlideMilliseconds) break;
        const uint32_t height = SlideHeight(from, target, elapsed, kSlideMilliseconds);
        if (height == body->visibleHeight) {
            ::Sleep(1);
            continue;
        }
        SlideStep(index, height, at);
        lastStep = animationClock() - stepStart;
    }
    body->visibleHeight = target;
    body->EndAnimation();
}

CSetOfPopupRegions::SlideWindows CSetOfPopupRegions::CaptureSlideWindows(UINT index) const {
    SlideWindows at;
    for (const CPopupRegion& region : regions) {
        at.headers.push_back(RectInParent(*region.header));
        at.bodies.push_back(RectInParent(*region.body));
    }
    for (UINT j = 0; j < regions[index].body->GetChildCount(); ++j)
        at.children.push_back(RectInParent(*regions[index].body->GetChild(j)));
    return at;
}

void CSetOfPopupRegions::SlideStep(UINT index, uint32_t visible, SlideWindows& at) {
    CPopupRegion::CRegionBody* sliding = regions[index].body;
    const int32_t delta = static_cast<int32_t>(visible) - static_cast<int32_t>(sliding->visibleHeight);
    sliding->visibleHeight = visible;
    // The headers and bodies where a layout would put them now.
    RECT rc;
    GetClientRect(&rc);
    int32_t contentRight = rc.right + band.right;
    int32_t top = rc.top;
    if (scrollBarShown) {
        contentRight -= GetScrollBarWidth();
        top -= GetScrollPosition();
    }
    const int32_t left = rc.left + band.left + margins.left;
    const int32_t right = contentRight + margins.right;
    int32_t y = top + band.top + margins.top;
    struct Move {
        HWND window;
        RECT* at;
        RECT to;
    };
    std::vector<Move> moves;
    for (size_t i = 0; i < regions.size(); ++i) {
        const int32_t height = static_cast<int32_t>(regions[i].body->visibleHeight);
        moves.push_back(Move{*regions[i].header, &at.headers[i], RECT{left, y, right, y + headerHeight}});
        moves.push_back(
            Move{*regions[i].body, &at.bodies[i], RECT{left, y + headerHeight, right, y + headerHeight + height}});
        y += headerHeight + height + margins.top;
    }
    // A moved window takes its picture along, copied from where it stood:
    // where the windows are moved one after the other, those going up go
    // first from the top, then those going down from the bottom, so that
    // none is copied from a place another one was already drawn over.
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(moves.size()));
    for (const Move& m : moves) {
        if (m.to.top < m.at->top) batch = MoveInBatch(batch, m.window, *m.at, m.to, 0);
    }
    for (auto m = moves.rbegin(); m != moves.rend(); ++m) {
        batch = MoveInBatch(batch, m->window, *m->at, m->to, 0);
    }
    if (batch != nullptr) ::EndDeferWindowPos(batch);
    // The body's content is bottom-aligned: its controls move with its
    // bottom edge.
    if (delta != 0 && !at.children.empty()) {
        // Likewise the lowest first when they go down, the highest first
        // when they go up.
        std::vector<UINT> order(at.children.size());
        std::iota(order.begin(), order.end(), 0u);
        std::sort(order.begin(), order.end(), [&](UINT a, UINT b) {
            return delta > 0 ? at.children[a].top > at.children[b].top : at.children[a].top < at.children[b].top;
        });
        HDWP shifts = ::BeginDeferWindowPos(static_cast<int>(order.size()));
        for (UINT j : order) {
            RECT moved = at.children[j];
            ::OffsetRect(&moved, 0, delta);
            shifts = MoveInBatch(shifts, *sliding->GetChild(j), at.children[j], moved, SWP_NOSIZE);
        }
        if (shifts != nullptr) ::EndDeferWindowPos(shifts);
    }
    // The body's own picture shows anew; moved windows keep theirs, and
    // what the moves uncovered is painted now.
    ::InvalidateRect(*sliding, nullptr, FALSE);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
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
    container->RepositionRegions(RegionLayout::InvalidateHeaders |
                                 (toggled ? RegionLayout::RebuildBodyBuffers : RegionLayout::Place));
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

}  // namespace corvelle
