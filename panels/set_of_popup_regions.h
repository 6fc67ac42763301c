// CSetOfPopupRegions: the side-panel container. A child window that stacks
// regions vertically, each a title bar (CRegionHeader) over a collapsible
// body (CRegionBody) holding ordinary controls; it lays them out from a
// scroll position, shows its own scroll bar when the expanded regions do not
// fit, paints its background through a back buffer, reorders regions when a
// header is dragged, opens and closes them with a short roll animation, and
// changes its width when its edge band is dragged. The panel sets derived
// from it fill the bodies and react through six virtual hooks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "panels/panel_layout.h"
#include "platform/controls.h"
#include "platform/drawing.h"
#include "platform/wnd.h"

namespace corvelle {

// What a layout of the regions does besides placing every header and body,
// laying out the bodies' controls and painting the bodies at once: flags,
// joined with |.
enum class RegionLayout : uint8_t {
    Place = 0,
    InvalidateHeaders = 1,    // the headers are painted again
    RebuildBodyBuffers = 2,   // the bodies' pictures are made anew for their size
    KeepScrollRange = 4,      // the scroll bar's range stays as it is
    EraseChildren = 8,        // the bodies' controls are painted again, background erased
    // Everything painted anew: after a change of width or of heights.
    Full = InvalidateHeaders | RebuildBodyBuffers | EraseChildren,
};
constexpr RegionLayout operator|(RegionLayout a, RegionLayout b) {
    return static_cast<RegionLayout>(static_cast<uint8_t>(a) | static_cast<uint8_t>(b));
}
// Whether `layout` holds every flag of `flags`.
constexpr bool Includes(RegionLayout layout, RegionLayout flags) {
    return (static_cast<uint8_t>(layout) & static_cast<uint8_t>(flags)) == static_cast<uint8_t>(flags);
}

class CSetOfPopupRegions : public CWnd {
public:
    // One region: this record (its operations are popup_region.cpp), its
    // title bar (region_header.h) and its body (region_body.h).
    class CPopupRegion {
    public:
        class CRegionHeader;
        class CRegionBody;

        // Animated opening and closing; Toggle is a header click.
        void Expand();
        void Collapse();
        void Toggle();
        // Brings the region into the asked state, animated or at once (no
        // hook and no repaint when not animated).
        void SetExpanded(bool expand, bool animate);
        void BeginHeaderDrag();
        void EndHeaderDrag();
        bool IsExpanded() const { return expanded; }
        bool IsDragging() const { return dragging; }
        bool IsLocked() const { return locked; }
        uint32_t GetIndex() const { return index; }
        CRegionHeader* GetHeader() const { return header; }
        CSetOfPopupRegions* GetContainer() const { return container; }

    private:
        friend class CSetOfPopupRegions;
        bool expanded = true;
        bool dragging = false;
        CSetOfPopupRegions* container = nullptr;
        uint32_t index = 0;
        bool locked = false;
        CRegionHeader* header = nullptr;
        CRegionBody* body = nullptr;
    };

    CSetOfPopupRegions();
    ~CSetOfPopupRegions() override;

    // The window ("SetOfPopupRegions", WS_CHILD | WS_VISIBLE |
    // WS_CLIPCHILDREN), its back buffer and its hidden scroll bar.
    bool Create(CWnd* parent, const RECT& rect, UINT id);
    void SetResizeBand(const RECT& band);
    Box GetResizeBand() const { return band; }
    void SetMinWidth(uint32_t width) { minWidth = width; }
    // The width of the parent's client area an edge drag leaves beside the
    // panel (kMinFieldWidth unless set).
    void SetKeptParentWidth(uint32_t width) { keptParentWidth = width; }
    // Builds `count` regions: headers titled titles[i], bodies of the given
    // full heights. False, with no regions left, when a header or body
    // window cannot be made.
    bool CreateRegions(const RECT& margins, UINT headerHeight, UINT count, const UINT* heightsWithoutScrollBar,
                       const UINT* heightsWithScrollBar, const wchar_t* const* titles);
    uint32_t GetRegionCount() const { return static_cast<uint32_t>(regions.size()); }
    CPopupRegion* GetRegion(UINT i) { return i < regions.size() ? &regions[i] : nullptr; }
    CPopupRegion::CRegionBody* GetRegionBody(UINT i) const { return i < regions.size() ? regions[i].body : nullptr; }
    void SetRegionLocked(UINT i, bool locked);
    void ExpandRegion(UINT i, bool expand, bool animate);
    bool HasScrollBar() const { return scrollBarShown; }
    int32_t GetScrollBarWidth() const;
    int32_t GetScrollPosition() const;
    int32_t GetScrollRangeMax() const;
    void RepositionRegions(RegionLayout layout);
    bool UpdateScrollBar(bool rangeOnly);
    int32_t GetContentHeight(bool fullHeights) const;
    bool EnsureRegionVisible(UINT i);
    void RedrawNow();
    void MoveRegion(UINT from, UINT to);
    // While deferred, layouts and repaints wait (a builder filling many
    // regions lays the panel out once at the end).
    void DeferLayout(bool defer) { layoutDeferred = defer; }
    // The clock the roll animations follow, in milliseconds (by default the
    // system's performance counter).
    using AnimationClock = std::function<double()>;
    void SetAnimationClock(AnimationClock clock) { animationClock = std::move(clock); }
    bool IsLayoutDeferred() const { return layoutDeferred; }

    // Header drags (called by the headers).
    void BeginRegionDrag(UINT index);
    void TrackHeaderDrag(int32_t y);
    void OnHeaderDragDrop();
    bool IsHeaderDragActive() const { return dragActive; }
    uint32_t GetDragInsertionIndex() const { return dragInsertion; }
    bool IsResizing() const { return resizing; }

    // The hooks; empty here.
    virtual void OnScrollBarToggled() {}
    virtual void OnRegionsRepositioned() {}
    virtual void OnRegionMoved(UINT /*from*/, UINT /*to*/) {}
    virtual void OnRegionToggled(UINT /*index*/, bool /*expanded*/) {}
    virtual void OnBodyChildLaidOut(UINT /*regionIndex*/, UINT /*childIndex*/) {}
    virtual void OnPanelResized() {}

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnVScroll(UINT code, UINT position, HWND scrollBar) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnCaptureChanged(HWND newCapture) override;

private:
    void DestroyRegions();
    void CreateBackBuffer();
    void PaintBackBuffer();
    bool InResizeBand(POINT point) const;
    StackMetrics GetMetrics() const;
    std::vector<StackRegion> GetStackRegions() const;
    // Ends a header drag or an edge resize that lost the mouse.
    void CancelMouseTracking();

    // The roll of region `index`'s body from its visible height to `target`,
    // begun at `start` on the animation clock (popup_region.cpp). Each step
    // moves only what moves: the region's body and the regions below it in
    // one batch, the body's controls by the body's change in another (a
    // batch takes the windows of one parent); only what shows anew is
    // painted. The panel is laid out once afterwards, by the caller.
    void SlideRegion(UINT index, uint32_t target, double start);
    // Where every header and body stands (client coordinates) and where the
    // rolling body's controls stand (its own coordinates).
    struct SlideWindows {
        std::vector<RECT> headers;
        std::vector<RECT> bodies;
        std::vector<RECT> children;
    };
    SlideWindows CaptureSlideWindows(UINT index) const;
    void SlideStep(UINT index, uint32_t visible, SlideWindows& at);

    CBackBuffer buffer;
    UINT idBase = 0;
    std::vector<CPopupRegion> regions;
    Box margins;
    int32_t headerHeight = 20;
    bool scrollBarShown = false;
    CScrollBar scrollBar;
    bool dragActive = false;
    uint32_t dragInsertion = 0;
    Box band;
    HCURSOR resizeCursor = nullptr;
    bool resizing = false;
    POINT lastMouse{};
    uint32_t minWidth = 0;
    uint32_t keptParentWidth = kMinFieldWidth;
    bool layoutDeferred = false;
    AnimationClock animationClock;
};

// Conversions between the window layer's and the plain arithmetic's rectangles.
inline Box ToBox(const RECT& r) { return Box{r.left, r.top, r.right, r.bottom}; }
inline RECT ToRect(const Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }
// Fills r with a solid colour.
void FillSolid(HDC dc, const RECT& r, COLORREF colour);

}  // namespace corvelle
