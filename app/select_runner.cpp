// The main window's side of the game selection: the dialog previews games in
// the main window's own engine and field through the quiet game operations,
// and finds the preview cache, the related games and the control font in
// the application object.
#include "app/select_runner.h"

#include "app/corvelle_app.h"
#include "app/corvelle_dlg.h"
#include "engine/records.h"
#include "panels/select_dlg.h"

namespace corvelle {

namespace {

class CMainSelectHost : public CSelectHost {
public:
    explicit CMainSelectHost(CCorvelleDlg& window) : main(window) {}

    CWnd* GetSelectOwner() override { return &main; }
    AppPreferences& GetSelectPreferences() override { return main.GetPrefs(); }
    CGameEngine* GetSelectEngine() override { return main.GetEngine(); }
    CSolGameField* GetSelectField() override { return main.GetGameField(); }
    void PreviewGame(uint32_t position) override { main.RunFlow(main.GetGameFlow().PreviewGame(position)); }
    CPreviewImageCache* GetPreviewCache() override { return MainPreviewCache(); }
    const CRelatedSolsTable* GetRelatedGames() override {
        CCorvelleApp* app = GetCorvelleApp();
        if (app && app->GetRelatedGames()) return app->GetRelatedGames();
        if (!fallbackRelated) fallbackRelated = std::make_unique<CRelatedSolsTable>(kResRelatedSols);
        return fallbackRelated.get();
    }
    HFONT GetControlFont() override {
        CCorvelleApp* app = GetCorvelleApp();
        if (app) return app->GetControlFont();
        if (!fallbackFont.GetSafeHandle()) fallbackFont.CreateAppFont();
        return fallbackFont;
    }

private:
    CCorvelleDlg& main;
    // Without an application object (the window tests) the dialog keeps its
    // own for as long as the main window lives.
    std::unique_ptr<CRelatedSolsTable> fallbackRelated;
    CFont fallbackFont;
};

}  // namespace

CPreviewImageCache* MainPreviewCache() {
    if (CCorvelleApp* app = GetCorvelleApp()) return &app->GetPreviewCache();
    // Without an application object (the window tests) one cache serves the
    // whole run.
    static CPreviewImageCache fallbackCache{kPreviewCacheCapacity};
    return &fallbackCache;
}

std::unique_ptr<CSelectHost> MakeSelectHost(CCorvelleDlg& main) { return std::make_unique<CMainSelectHost>(main); }

void RunSelectDialog(CCorvelleDlg& main) {
    CMainSelectHost host(main);
    RunSelectDialog(&host);
}

}  // namespace corvelle
