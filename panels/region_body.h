// CRegionBody, a region's body in the side-panel container, and its maker.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "panels/panel_layout.h"
#include "panels/set_of_popup_regions.h"
#include "platform/drawing.h"
#include "platform/wnd.h"

namespace corvelle {

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
    uint32_t GetVisibleHeight() const { return visibleHeight; }
    void SetVisibleHeight(uint32_t height) { visibleHeight = height; }
    void UseHeightWithScrollBar();
    void UseHeightWithoutScrollBar();
    void BeginAnimation() { animating = true; }
    void EndAnimation() { animating = false; }
    void CreateBackBuffer();
    void PaintBackBuffer();
    // Where the buffer stands in the body: its bottom at the body's bottom.
    POINT GetBufferCorner();
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

// A body for `region` in its container; nullptr when the window cannot be
// made.
CSetOfPopupRegions::CPopupRegion::CRegionBody* CreateRegionBody(CSetOfPopupRegions::CPopupRegion* region,
                                                                const RECT& rect, UINT id,
                                                                UINT heightWithScrollBar);

}  // namespace corvelle
