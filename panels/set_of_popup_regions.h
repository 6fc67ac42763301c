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
#include <vector>

#include "panels/panel_layout.h"
#include "platform/controls.h"
#include "platform/drawing.h"
#include "platform/wnd.h"

namespace corvelle {

class CSetOfPopupRegions : public CWnd {
public:
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
        CRegionBody* GetBody() const { return body; }
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
    uint32_t GetMinWidth() const { return minWidth; }
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
    void RepositionRegions(bool invalidateHeaders, bool rebuildBodyBuffers, bool keepScrollRange,
                           bool redrawChildren);
    bool UpdateScrollBar(bool rangeOnly);
    int32_t GetContentHeight(bool fullHeights) const;
    bool EnsureRegionVisible(UINT i);
    void RedrawNow();
    void MoveRegion(UINT from, UINT to);
    // While deferred, layouts and repaints wait (a builder filling many
    // regions lays the panel out once at the end).
    void DeferLayout(bool defer) { layoutDeferred = defer; }

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
    StackMetrics Metrics() const;
    std::vector<StackRegion> StackRegions() const;
    // Ends a header drag or an edge resize that lost the mouse.
    void CancelMouseTracking();

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
};

// A body for `region` in its container; nullptr when the window cannot be
// made.
CSetOfPopupRegions::CPopupRegion::CRegionBody* CreateRegionBody(CSetOfPopupRegions::CPopupRegion* region,
                                                                const RECT& rect, UINT id,
                                                                UINT heightWithScrollBar);

// The title bar: an owner-drawn push button with the caption and the
// open/closed arrow; hot while the mouse is over it or pressed on it.
class CSetOfPopupRegions::CPopupRegion::CRegionHeader : public CButton {
public:
    explicit CRegionHeader(CPopupRegion* record) : region(record) {}
    void SetRegion(CPopupRegion* record) { region = record; }
    void SetHot(bool value) { hot = value; }
    bool IsHot() const { return hot; }

protected:
    BOOL DrawItem(DRAWITEMSTRUCT* item) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;

private:
    bool Inside(POINT point) const;
    CPopupRegion* region;
    bool hot = false;
    POINT pressPoint{};
};

// The body: holds the region's controls and places them by anchors and
// margins; shows the lower part of its content while partly collapsed.
class CSetOfPopupRegions::CPopupRegion::CRegionBody : public CWnd {
public:
    explicit CRegionBody(CPopupRegion* record);

    void AddChild(CWnd* child);
    void SetChildAnchors(UINT j, const RECT& anchors);
    void SetChildFlags(UINT j, uint8_t flags);
    void SetMargins(const RECT& margins);
    CWnd* GetChild(UINT j) const { return j < children.size() ? children[j].child : nullptr; }
    uint32_t GetChildCount() const { return static_cast<uint32_t>(children.size()); }
    void LayoutChildren(bool redraw);
    void SetContentHeights(UINT heightWithoutScrollBar, UINT heightWithScrollBar);
    uint32_t GetFullHeight() const;
    uint32_t GetHeightWithoutScrollBar() const { return heightWithoutBar; }
    uint32_t GetHeightWithScrollBar() const { return heightWithBar; }
    uint32_t GetVisibleHeight() const { return visibleHeight; }
    void SetVisibleHeight(uint32_t height) { visibleHeight = height; }
    void UseHeightWithScrollBar();
    void UseHeightWithoutScrollBar();
    void ShiftChildren(int32_t dy);
    void BeginAnimation() { animating = true; }
    void EndAnimation() { animating = false; }
    void CreateBackBuffer();
    void PaintBackBuffer();
    // Where the buffer stands in the body: its bottom at the body's bottom.
    POINT BufferCorner();
    void RedrawNow();
    void SetRegion(CPopupRegion* record) { region = record; }

protected:
    void OnPaint() override;
    BOOL OnEraseBkgnd(HDC dc) override;

private:
    friend class CSetOfPopupRegions;
    friend class CPopupRegion;
    friend CRegionBody* CreateRegionBody(CPopupRegion* region, const RECT& rect, UINT id,
                                         UINT heightWithScrollBar);
    struct Child {
        Box anchors;
        uint8_t flags = 0;
        CWnd* child = nullptr;
    };
    CPopupRegion* region;
    Box margins{10, 10, -10, -10};
    uint32_t heightWithoutBar = 0;
    uint32_t heightWithBar = 0;
    CBackBuffer buffer;
    std::vector<Child> children;
    COLORREF background;
    bool animating = false;
    uint32_t visibleHeight = 0;
};

// Conversions between the window layer's and the plain arithmetic's rectangles.
inline Box ToBox(const RECT& r) { return Box{r.left, r.top, r.right, r.bottom}; }
inline RECT ToRect(const Box& b) { return RECT{b.left, b.top, b.right, b.bottom}; }

}  // namespace corvelle
