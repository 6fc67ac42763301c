// The main window's side panel: the panel of regions (CSolMainPopups)
// behind the interface the main window uses, with the main window as the
// panel's owner (its window, engine, preferences, clock and layout).
#include "app/main_panel.h"

#include "app/corvelle_dlg.h"
#include "panels/sol_main_popups.h"

namespace corvelle {
namespace {

class CMainPanelLink : public CMainPanel, private CMainPopupsOwner {
public:
    explicit CMainPanelLink(CCorvelleDlg& mainWindow) : main(mainWindow) {}

    bool Build() {
        panel = CreateMainPopups(static_cast<CMainPopupsOwner*>(this));
        return panel != nullptr;
    }

    CWnd* GetWindow() override { return panel.get(); }
    void Place(const RECT& rect, bool visible, bool widthChanged) override {
        panel->Place(rect, visible, widthChanged);
    }
    void UpdateRulesText() override { panel->UpdateRulesText(); }
    void UpdateBestTimes() override { panel->UpdateBestTimes(panel->GameName().c_str()); }
    void UpdateStatistics() override { panel->UpdateStatistics(panel->GameName().c_str()); }
    void RefreshAfterGameChange() override { panel->RefreshAfterGameChange(); }
    void HoldLayout(bool hold) override {
        panel->DeferLayout(hold);
        if (hold) return;
        panel->RepositionRegions(true, true, false, true);
        panel->RedrawNow();
    }

private:
    CWnd* GetPanelParent() override { return &main; }
    CGameEngine* GetPanelEngine() override { return main.GetEngine(); }
    AppPreferences& GetPanelPreferences() override { return main.Prefs(); }
    CGameClock* GetPanelClock() override { return &main.GetGameFlow().Clock(); }
    void RecalcLayout() override { main.RecalcLayout(); }

    CCorvelleDlg& main;
    std::unique_ptr<CSolMainPopups> panel;
};

}  // namespace

std::unique_ptr<CMainPanel> CreateMainPopups(CCorvelleDlg& main) {
    auto link = std::make_unique<CMainPanelLink>(main);
    if (!link->Build()) return nullptr;
    return link;
}

}  // namespace corvelle
