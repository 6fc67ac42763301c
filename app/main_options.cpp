// The main window's Options command: the options dialog over the main
// window's preferences and game field.
#include "app/corvelle_dlg.h"
#include "app/main_panel.h"
#include "app/options_dlg.h"
#include "field/sol_game_field.h"

namespace corvelle {
namespace {

class MainOptionsHost : public OptionsHost {
public:
    explicit MainOptionsHost(CCorvelleDlg& main) : main_(main) {}
    CWnd* OwnerWindow() override { return &main_; }
    AppPreferences& Prefs() override { return main_.Prefs(); }
    std::unique_ptr<OptionsPreview> MakePreview() override { return MakeBackgroundPreview(); }
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
