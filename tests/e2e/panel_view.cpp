#include "panel_view.h"

#include <algorithm>

#include "panels/best_scores_table.h"
#include "panels/statistics_control.h"
#include "platform/font.h"
#include "platform/wnd.h"

namespace corvelle::drive {

namespace {

std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// A plain top-level window of this process holding one control, placed
// without taking the focus.
class ReferenceHost : public CWnd {
public:
    bool Open(POINT where, SIZE size) {
        return CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, DefaultClassName(), L"reference", WS_POPUP,
                        RECT{where.x, where.y, where.x + size.cx, where.y + size.cy}, nullptr, 0);
    }
};

void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Shows the host and returns the control's settled picture, messages run
// meanwhile so that it paints.
Screenshot ShowAndCapture(ReferenceHost& host, HWND control) {
    host.ShowWindow(SW_SHOWNA);
    ::RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Screenshot last, shot;
    for (int i = 0; i < 100; ++i) {
        PumpMessages();
        ::Sleep(50);
        shot = CaptureClient(control);
        if (i > 0 && shot == last) break;
        last = shot;
    }
    return shot;
}

}  // namespace

HWND FindPanel(HWND main) {
    for (HWND child : ChildrenOf(main))
        if (WindowText(child) == L"SetOfPopupRegions") return child;
    return nullptr;
}

std::vector<PanelRegionView> PanelRegions(HWND panel) {
    std::vector<PanelRegionView> regions;
    std::vector<HWND> bodies;
    for (HWND child : ChildrenOf(panel)) {
        if (ClassOf(child) == L"Button") {
            PanelRegionView region;
            region.caption = WindowText(child);
            region.header = child;
            region.headerRect = ScreenRect(child);
            regions.push_back(region);
        } else if (WindowText(child) == L"RegionBody") {
            bodies.push_back(child);
        }
    }
    std::sort(regions.begin(), regions.end(),
              [](const PanelRegionView& a, const PanelRegionView& b) { return a.headerRect.top < b.headerRect.top; });
    // A region's body starts where its header ends.
    for (PanelRegionView& region : regions)
        for (HWND body : bodies) {
            const RECT r = ScreenRect(body);
            if (r.top == region.headerRect.bottom && r.left == region.headerRect.left) {
                region.body = body;
                region.bodyRect = r;
            }
        }
    return regions;
}

PanelRegionView PanelRegion(HWND panel, const std::wstring& caption) {
    for (const PanelRegionView& region : PanelRegions(panel))
        if (region.caption == caption) return region;
    return PanelRegionView{};
}

std::wstring PanelOrder(HWND panel) {
    std::wstring order;
    for (const PanelRegionView& region : PanelRegions(panel)) order += (order.empty() ? L"" : L"|") + region.caption;
    return order;
}

HWND FindChildOfClass(HWND parent, const wchar_t* className) {
    // No parent would search every top-level window.
    if (parent == nullptr) return nullptr;
    const std::vector<HWND> found = ChildrenOfClass(parent, className);
    return found.empty() ? nullptr : found.front();
}

SIZE WindowSize(HWND window) {
    const RECT r = ScreenRect(window);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

Screenshot DrawStatisticsLike(const std::u16string& game, SIZE size, POINT where) {
    ReferenceHost host;
    if (!host.Open(where, size)) return {};
    CStatisticsControl control(game);
    if (!control.Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, size.cx, size.cy}, &host, 1)) return {};
    return ShowAndCapture(host, control);
}

Screenshot DrawBestTimesLike(const std::u16string& game, SIZE size, POINT where) {
    ReferenceHost host;
    if (!host.Open(where, size)) return {};
    // As the panel makes it: the control font, the time column fitted to
    // it, then the list at its laid-out size with the name column filling it.
    CFont font;
    font.CreateAppFont();
    CBestScoresTable list(game);
    if (!list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, RECT{0, 0, 160, 100}, &host, 1))
        return {};
    list.SetFont(font);
    list.FitToFont();
    list.MoveWindow(RECT{0, 0, size.cx, size.cy});
    list.FitNameColumn();
    return ShowAndCapture(host, list);
}

Screenshot RowsBelow(const Screenshot& shot, int headerHeight) {
    Screenshot rows;
    if (headerHeight < 0 || headerHeight > shot.height) return rows;
    rows.width = shot.width;
    rows.height = shot.height - headerHeight;
    rows.pixels.assign(shot.pixels.begin() + static_cast<ptrdiff_t>(headerHeight) * shot.width, shot.pixels.end());
    return rows;
}

}  // namespace corvelle::drive
