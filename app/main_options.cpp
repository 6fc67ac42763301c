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
    explicit CGamePreview(PreviewSource source) : control_(std::move(source)) {}
    bool CreatePreview(CWnd* parent, const RECT& rect, UINT id) override {
        return control_.Create(L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, rect, parent, id);
    }
    HWND Window() const override { return control_.GetSafeHwnd(); }
    void SetBgColor(COLORREF colour) override { control_.SetBgColor(colour); }
    void SetPicture(uint8_t picture) override { control_.SetPicture(picture); }
    void SetPicturePosition(uint8_t position) override { control_.SetPicturePosition(position); }
    void MarkForRender() override { control_.MarkForRender(); }
    void ForgetRendered() override { control_.ForgetRendered(); }

private:
    CSolGameFieldPreview control_;
};

class MainOptionsHost : public OptionsHost {
public:
    explicit MainOptionsHost(CCorvelleDlg& main) : main_(main) {}
    CWnd* OwnerWindow() override { return &main_; }
    AppPreferences& Prefs() override { return main_.Prefs(); }
    std::unique_ptr<OptionsPreview> MakePreview() override {
        PreviewSource source;
        source.field = [this] { return main_.GetGameField(); };
        source.currentGame = [this] { return main_.Prefs().curSolId; };
        source.cache = MainPreviewCache();
        return std::make_unique<CGamePreview>(std::move(source));
    }
    void DiscardScaledPicture() override {
        if (CSolGameField* field = main_.GetGameField())
            field->DiscardScaledPicture();
    }
    void ApplyOptions() override {
        if (CSolGameField* field = main_.GetGameField())
            field->ApplyOptions();
    }
    void SavePrefs() override { main_.SavePrefs(); }

private:
    CCorvelleDlg& main_;
};

}  // namespace

bool RunOptionsDialog(CCorvelleDlg& main) {
    MainOptionsHost host(main);
    COptionsDlg dialog(host);
    dialog.DoModal();
    return dialog.OptionsChanged();
}

}  // namespace corvelle
