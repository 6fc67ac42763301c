// The options dialog under Wine: the controls show the preferences, OK
// applies and saves in order, Cancel keeps everything but the custom
// colours, the preview follows the background before OK, the colour dialog
// belongs to the options dialog. Writes a picture of each page.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/options_dlg.h"
#include "options_test_support.h"
#include "platform/bmp_codec.h"
#include "platform/image_gdi.h"
#include "res/options_ids.h"

namespace corvelle {
namespace {

// A preview that records what it is told (and draws the background).
class RecordingPreview : public OptionsPreview {
public:
    explicit RecordingPreview(std::vector<std::string>& entries) : log(entries), inner(MakeBackgroundPreview()) {}
    bool CreatePreview(CWnd* parent, const RECT& rect, UINT id) override {
        return inner->CreatePreview(parent, rect, id);
    }
    HWND GetWindow() const override { return inner->GetWindow(); }
    void SetBgColor(COLORREF colour) override {
        log.push_back("colour " + std::to_string(colour));
        inner->SetBgColor(colour);
    }
    void SetPicture(uint8_t picture) override {
        log.push_back("picture " + std::to_string(picture));
        inner->SetPicture(picture);
    }
    void SetPicturePosition(uint8_t position) override {
        log.push_back("position " + std::to_string(position));
        inner->SetPicturePosition(position);
    }
    void MarkForRender() override { log.push_back("render"); }
    void ForgetRendered() override { log.push_back("forget"); }

private:
    std::vector<std::string>& log;
    std::unique_ptr<OptionsPreview> inner;
};

class TestOptionsHost : public OptionsHost {
public:
    explicit TestOptionsHost(CWnd* ownerWnd) : owner(ownerWnd) {}
    CWnd* OwnerWindow() override { return owner; }
    AppPreferences& GetPrefs() override { return prefs; }
    std::unique_ptr<OptionsPreview> MakePreview() override { return std::make_unique<RecordingPreview>(log); }
    void DiscardScaledPicture() override { log.push_back("discard"); }
    void ApplyOptions() override { log.push_back("apply mode " + std::to_string(static_cast<int>(prefs.playMode))); }
    void SavePrefs() override { log.push_back("save limit " + std::to_string(prefs.timeLimit)); }
    bool ChooseColour(HWND ownerWindow, COLORREF* colour, std::array<uint32_t, 16>& custom) override {
        chooserOwner = ownerWindow;
        if (useSystemDialog)
            return OptionsHost::ChooseColour(ownerWindow, colour, custom);
        custom[0] = 0x010203;
        *colour = chosenColour;
        return chosenColour != 0xFFFFFFFF;
    }

    AppPreferences prefs;
    std::vector<std::string> log;
    HWND chooserOwner = nullptr;
    COLORREF chosenColour = 0x0000FF;
    bool useSystemDialog = false;

private:
    CWnd* owner;
};

// Runs the dialog modally; `script` runs inside its loop once it is shown.
class ScriptedOptionsDlg : public COptionsDlg {
public:
    ScriptedOptionsDlg(OptionsHost& optionsHost, std::function<void(ScriptedOptionsDlg&)> steps)
        : COptionsDlg(optionsHost), script(std::move(steps)) {}
    HWND GetHandle() const { return hwnd; }

    void Click(int id) { SendDlgItemMessage(id, BM_CLICK); }
    void Choose(int id, int index) {
        SendDlgItemMessage(id, CB_SETCURSEL, static_cast<WPARAM>(index));
        SendMessage(WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItemHwnd(id)));
    }
    void ShowPage(int page) {
        SendDlgItemMessage(IDC_OPTIONS_TAB, TCM_SETCURSEL, static_cast<WPARAM>(page));
        NMHDR header{GetDlgItemHwnd(IDC_OPTIONS_TAB), IDC_OPTIONS_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessage(WM_NOTIFY, IDC_OPTIONS_TAB, reinterpret_cast<LPARAM>(&header));
    }
    bool Shown(int id) const { return ::IsWindowVisible(GetDlgItemHwnd(id)) != 0; }

protected:
    BOOL OnInitDialog() override {
        const BOOL result = COptionsDlg::OnInitDialog();
        PostMessage(WM_APP);
        return result;
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_APP) {
            script(*this);
            *result = 0;
            return TRUE;
        }
        return COptionsDlg::OnWndMsg(message, wParam, lParam, result);
    }

private:
    std::function<void(ScriptedOptionsDlg&)> script;
};

class OptionsDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(owner.Make()); }
    test::OwnerWindow owner;
};

TEST_F(OptionsDialog, ControlsShowThePreferencesAndGiveThemBack) {
    TestOptionsHost host(&owner);
    host.prefs.timedGame = 1;
    host.prefs.timeLimit = 10;
    host.prefs.animation = 0;
    host.prefs.playMode = PlayMode::kClick;
    host.prefs.bgColor = 0x112233;
    host.prefs.bgPicture = 1;
    host.prefs.bgPicturePosition = 2;
    OptionValues shown;
    ScriptedOptionsDlg dlg(host, [&](ScriptedOptionsDlg& d) {
        shown = d.GetValues();
        EXPECT_EQ(d.SendDlgItemMessage(IDC_TIME_LIMIT, CB_GETCURSEL), 3);
        EXPECT_EQ(d.SendDlgItemMessage(IDC_PLAY_MODE, CB_GETCURSEL), 0);
        EXPECT_EQ(d.SendDlgItemMessage(IDC_POSITION, CB_GETCURSEL), 2);
        // Each accessor pair round-trips every value its control offers.
        for (uint32_t minutes : {1u, 3u, 5u, 10u}) {
            d.SetTimeLimitCtl(minutes);
            EXPECT_EQ(d.GetTimeLimitCtl(), minutes);
        }
        for (uint8_t v : {0, 1}) {
            d.SetTimedGameCtl(v);
            EXPECT_EQ(d.GetTimedGameCtl(), v);
            d.SetAnimationCtl(v);
            EXPECT_EQ(d.GetAnimationCtl(), v);
            d.SetPlayModeCtl(static_cast<PlayMode>(v));
            EXPECT_EQ(d.GetPlayModeCtl(), static_cast<PlayMode>(v));
            d.SetPictureCtl(v);
            EXPECT_EQ(d.GetPictureCtl(), v);
        }
        for (uint8_t v : {0, 1, 2}) {
            d.SetPicturePositionCtl(v);
            EXPECT_EQ(d.GetPicturePositionCtl(), v);
        }
        // A limit the list does not offer shows (and gives) 3 minutes.
        d.SetTimeLimitCtl(7);
        EXPECT_EQ(d.SendDlgItemMessage(IDC_TIME_LIMIT, CB_GETCURSEL), 1);
        EXPECT_EQ(d.GetTimeLimitCtl(), 3u);
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(shown.timedGame, 1);
    EXPECT_EQ(shown.timeLimit, 10u);
    EXPECT_EQ(shown.animation, 0);
    EXPECT_EQ(shown.playMode, PlayMode::kClick);
    EXPECT_EQ(shown.bgColor, 0x112233u);
    EXPECT_EQ(shown.bgPicture, 1);
    EXPECT_EQ(shown.bgPicturePosition, 2);
}

TEST_F(OptionsDialog, PagesShowTheirOwnControls) {
    TestOptionsHost host(&owner);
    ScriptedOptionsDlg dlg(host, [&](ScriptedOptionsDlg& d) {
        EXPECT_EQ(d.GetCurrentPage(), 0);
        EXPECT_TRUE(d.Shown(IDC_TIMED_GAME));
        EXPECT_TRUE(d.Shown(IDC_PLAY_MODE));
        EXPECT_FALSE(d.Shown(IDC_COLOR_SWATCH));
        EXPECT_FALSE(d.Shown(IDC_OPTIONS_PREVIEW));
        test::SavePicture(d.GetHandle(), "options-game.bmp");
        d.ShowPage(1);
        EXPECT_FALSE(d.Shown(IDC_TIMED_GAME));
        EXPECT_FALSE(d.Shown(IDC_TIME_LIMIT));
        EXPECT_TRUE(d.Shown(IDC_COLOR_SWATCH));
        EXPECT_TRUE(d.Shown(IDC_PICTURE));
        EXPECT_TRUE(d.Shown(IDC_POSITION));
        EXPECT_TRUE(d.Shown(IDC_OPTIONS_PREVIEW));
        d.Choose(IDC_PICTURE, 1);
        test::SavePicture(d.GetHandle(), "options-background.bmp");
        d.ShowPage(0);
        EXPECT_TRUE(d.Shown(IDC_ANIMATION));
        EXPECT_FALSE(d.Shown(IDC_POSITION));
        d.EndDialog(IDCANCEL);
    });
    dlg.DoModal();
}

TEST_F(OptionsDialog, OkAppliesThenSavesInOrder) {
    TestOptionsHost host(&owner);
    host.prefs.timeLimit = 7;   // not offered: the list shows 3 minutes
    ScriptedOptionsDlg dlg(host, [&](ScriptedOptionsDlg& d) {
        d.Click(IDC_ANIMATION);
        d.Choose(IDC_PLAY_MODE, 0);
        d.ShowPage(1);
        d.Choose(IDC_PICTURE, 1);
        d.Choose(IDC_POSITION, 2);
        host.log.clear();
        d.Click(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.GetOptionsChanged());
    EXPECT_EQ(host.log, (std::vector<std::string>{"discard", "apply mode 0", "save limit 3"}));
    EXPECT_EQ(host.prefs.animation, 0);
    EXPECT_EQ(host.prefs.playMode, PlayMode::kClick);
    EXPECT_EQ(host.prefs.bgPicture, 1);
    EXPECT_EQ(host.prefs.bgPicturePosition, 2);
    EXPECT_EQ(host.prefs.timeLimit, 3u);
}

TEST_F(OptionsDialog, OkWithOnlyGameValuesLeavesTheLookFlagClear) {
    TestOptionsHost host(&owner);
    ScriptedOptionsDlg dlg(host, [&](ScriptedOptionsDlg& d) {
        d.Click(IDC_TIMED_GAME);
        d.Choose(IDC_TIME_LIMIT, 0);
        d.Click(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.GetOptionsChanged());
    EXPECT_EQ(host.prefs.timedGame, 1);
    EXPECT_EQ(host.prefs.timeLimit, 1u);
    EXPECT_EQ(host.log, (std::vector<std::string>{"colour 32768", "picture 0", "position 0", "apply mode 1",
                                                  "save limit 1"}));
}

TEST_F(OptionsDialog, PreviewFollowsTheBackgroundAndCancelKeepsOnlyCustomColours) {
    TestOptionsHost host(&owner);
    const AppPreferences before = host.prefs;
    ScriptedOptionsDlg dlg(host, [&](ScriptedOptionsDlg& d) {
        d.ShowPage(1);
        host.log.clear();
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COLOR_SWATCH, BN_CLICKED),
                      reinterpret_cast<LPARAM>(d.GetDlgItemHwnd(IDC_COLOR_SWATCH)));
        EXPECT_EQ(host.chooserOwner, d.GetHandle());
        EXPECT_EQ(d.GetColorCtl(), 0x0000FFu);
        d.Choose(IDC_PICTURE, 1);
        d.Choose(IDC_POSITION, 1);
        EXPECT_EQ(host.log, (std::vector<std::string>{"colour 255", "render", "picture 1", "render", "position 1",
                                                      "render"}));
        // A colour dialog closed without a choice changes nothing.
        host.chosenColour = 0xFFFFFFFF;
        host.log.clear();
        d.OnColorButton();
        EXPECT_TRUE(host.log.empty());
        EXPECT_EQ(d.GetColorCtl(), 0x0000FFu);
        host.log.clear();
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    // The preview's images of the tried background are dropped.
    EXPECT_EQ(host.log, std::vector<std::string>{"forget"});
    EXPECT_EQ(host.prefs.bgColor, before.bgColor);
    EXPECT_EQ(host.prefs.bgPicture, before.bgPicture);
    EXPECT_EQ(host.prefs.bgPicturePosition, before.bgPicturePosition);
    EXPECT_EQ(host.prefs.bgCustomColors[0], 0x010203u);
}

TEST_F(OptionsDialog, SystemColourDialogIsOwnedByTheOptionsDialog) {
    TestOptionsHost host(&owner);
    host.useSystemDialog = true;
    HWND options = nullptr;
    HWND colourOwner = nullptr;
    bool optionsEnabled = true;
    ScriptedOptionsDlg dlg(host, [&](ScriptedOptionsDlg& d) {
        options = d.GetHandle();
        // Closes the colour dialog from a timer once it runs.
        test::WhenDialogAppears(options, [&](HWND colour) {
            colourOwner = ::GetWindow(colour, GW_OWNER);
            optionsEnabled = ::IsWindowEnabled(options) != 0;
            ::SendMessageW(colour, WM_COMMAND, IDCANCEL, 0);
        });
        d.OnColorButton();
        d.EndDialog(IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_EQ(colourOwner, options);
    EXPECT_FALSE(optionsEnabled);   // modal to the options dialog
    EXPECT_EQ(host.chooserOwner, options);
}

}  // namespace
}  // namespace corvelle
