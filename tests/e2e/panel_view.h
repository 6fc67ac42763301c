// The main window's side panel as another process sees it: its window, its
// regions (header caption, header and body windows) top to bottom, and the
// controls inside a region's body; plus reference drawings of the panel's
// statistics and best-times controls made in this process from what the
// registry holds, to compare with what the program shows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"

namespace corvelle::drive {

struct PanelRegionView {
    std::wstring caption;
    HWND header = nullptr;
    HWND body = nullptr;
    RECT headerRect{};   // screen coordinates
    RECT bodyRect{};
    bool Expanded() const { return bodyRect.bottom > bodyRect.top; }
};

// The side panel of the main window, or null.
HWND FindPanel(HWND main);
// Its regions in the order shown, top to bottom.
std::vector<PanelRegionView> PanelRegions(HWND panel);
// The region with this caption, or one with no windows.
PanelRegionView PanelRegion(HWND panel, const std::wstring& caption);
// The captions top to bottom, joined by "|" (for comparisons and messages).
std::wstring PanelOrder(HWND panel);
// The first child (at any depth) of `parent` of window class `className`,
// or null, also for no parent.
HWND FindChildOfClass(HWND parent, const wchar_t* className);
// The window's width and height.
SIZE WindowSize(HWND window);

// What the statistics control and the best-times list of `game` look like
// at the given sizes, drawn in a window of this process at `where` (screen
// coordinates; the spot must be free of other windows).
Screenshot DrawStatisticsLike(const std::u16string& game, SIZE size, POINT where);
Screenshot DrawBestTimesLike(const std::u16string& game, SIZE size, POINT where);

// The rows of a best-times capture: the part below its column header.
Screenshot RowsBelow(const Screenshot& shot, int headerHeight);

}  // namespace corvelle::drive
