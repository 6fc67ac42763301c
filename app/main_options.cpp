#include "app/main_options.h"

#include "app/corvelle_dlg.h"
#include "app/options_dlg.h"
#include "app/select_runner.h"
#include "field/game_field_preview.h"
#include "field/sol_game_field.h"

namespace corvelle {
namespace {

// The "Background" page's preview: the current game as the selection shows
// it, drawn on the background being tried.
class CGamePreview : public OptionsPreview {
public:
    explicit CGamePreview(PreviewSource source) : control(std::move(source)) {}
    bool CreatePreview(CWnd* parent, const RECT& rect, UINT id) override {
        return control.Create(L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, rect, parent, id);
    }
    HWND GetWindow() const override { return control.GetSafeHwnd(); }
    void SetBgColor(COLORREF colour) override { control.SetBgColor(colour); }
    void SetPicture(uint8_t picture) override { control.SetPicture(picture); }
    void SetPicturePosition(uint8_t position) override { control.SetPicturePosition(position); }
    void MarkForRender() override { control.MarkForRender(); }
    void ForgetRendered() override { control.ForgetRendered(); }

private:
    CSolGameFieldPreview control;
};

class MainOptionsHost : public OptionsHost {
public:
    explicit MainOptionsHost(CCorvelleDlg& main) : mainWindow(main) {}
    CWnd* OwnerWindow() override { return &mainWindow; }
    AppPreferences& GetPrefs() override { return mainWindow.GetPrefs(); }
    std::unique_ptr<OptionsPreview> MakePreview() override {
        PreviewSource source;
        source.field = [this] { return mainWindow.GetGameField(); };
        source.currentGame = [this] { return mainWindow.GetPrefs().curSolId; };
        source.cache = MainPreviewCache();
        return std::make_unique<CGamePreview>(std::move(source));
    }
    void DiscardScaledPicture() override {
        if (CSolGameField* field = mainWindow.GetGameField())
            field->DiscardScaledPicture();
    }
    void ApplyOptions() override {
        if (CSolGameField* field = mainWindow.GetGameField())
            field->ApplyOptions();
    }
    void SavePrefs() override { mainWindow.SavePrefs(); }

private:
    CCorvelleDlg& mainWindow;
};

}  // namespace

bool RunOptionsDialog(CCorvelleDlg& main) {
    MainOptionsHost host(main);
    COptionsDlg dialog(host);
    dialog.DoModal();
    return dialog.GetOptionsChanged();
}

}  // namespace corvelle
