// One region of the side-panel container: opening and closing it, with
// its roll animation, and the start and end of its header's drag.
#include "panels/set_of_popup_regions.h"

#include "panels/region_body.h"
#include "panels/region_header.h"

namespace corvelle {

void CSetOfPopupRegions::CPopupRegion::Expand() {
    CSetOfPopupRegions* c = container;
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
    const uint32_t target = body->GetFullHeight();
    body->BeginAnimation();
    uint32_t step = kAnimationStep;
    while (body->visibleHeight < target) {
        if (body->visibleHeight + step > target) step = target - body->visibleHeight;
        body->visibleHeight += step;
        c->RepositionRegions(RegionLayout::InvalidateHeaders |
                             (scrolled ? RegionLayout::KeepScrollRange : RegionLayout::Place));
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
        c->RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::RebuildBodyBuffers);
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
        c->RepositionRegions(RegionLayout::InvalidateHeaders);
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
