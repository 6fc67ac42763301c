// CRegionHeader, a region's title bar in the side-panel container.
#pragma once

#include <windows.h>

#include "panels/set_of_popup_regions.h"
#include "platform/controls.h"

namespace corvelle {

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
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;

private:
    bool Inside(POINT point) const;
    CPopupRegion* region;
    bool hot = false;
    // A left-button press on this header is under way.
    bool pressed = false;
    POINT pressPoint{};
};

}  // namespace corvelle
