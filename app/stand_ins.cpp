// STAND-INS until their own code lands: the side panel (an empty area of the
// panel's width) and the options dialog (it does nothing yet). Each is replaced by defining the function of
// app/main_panel.h in its own file and removing it here.
#include "app/corvelle_dlg.h"
#include "app/main_panel.h"

namespace corvelle {
namespace {

// STAND-IN for the side panel: an empty window where the panel goes.
class CPanelStandIn : public CMainPanel, public CWnd {
public:
    CWnd* GetWindow() override { return this; }
    void Place(const RECT& rect, bool visible, bool) override {
        MoveWindow(rect, FALSE);
        ShowWindow(visible ? SW_SHOWNA : SW_HIDE);
        Invalidate();
    }
    void UpdateRulesText() override {}
    void UpdateBestTimes() override {}
    void UpdateStatistics() override {}
    void RefreshAfterGameChange() override {}

protected:
    void OnPaint() override {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd_, &ps);
        RECT r;
        GetClientRect(&r);
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
        ::EndPaint(hwnd_, &ps);
    }
    BOOL OnEraseBkgnd(HDC) override { return TRUE; }
};

}  // namespace

std::unique_ptr<CMainPanel> CreateMainPopups(CCorvelleDlg& main) {
    auto panel = std::make_unique<CPanelStandIn>();
    const RECT r{0, 0, 1, 1};
    if (!panel->Create(L"SetOfPopupRegions", WS_CHILD | WS_CLIPCHILDREN, r, &main, 0))
        return nullptr;
    return panel;
}

// STAND-IN for the options dialog.
bool RunOptionsDialog(CCorvelleDlg&) { return false; }

}  // namespace corvelle
