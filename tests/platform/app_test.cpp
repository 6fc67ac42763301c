// What the entry point runs: InitInstance, and the message loop only when it
// returned true; a modal run ended by WM_QUIT leaves the quit for the loops
// outside it.
#include <gtest/gtest.h>

#include "platform/dialog.h"
#include "platform/win_app.h"
#include "dialog_template.h"
#include "test_app.h"

using namespace corvelle;

namespace {

class ScriptedApp : public CWinApp {
public:
    BOOL answer = FALSE;
    int initCalls = 0;
    INT_PTR dialogResult = 0;
    bool runDialog = false;

    BOOL InitInstance() override {
        ++initCalls;
        if (runDialog) {
            // As the program does: its main dialog runs modally inside
            // InitInstance, whose false answer then ends the program.
            DialogTemplate t(L"Main", 100, 40, {{IDOK, L"OK"}});
            class Main : public CDialog {
            public:
                using CDialog::CDialog;
            protected:
                BOOL OnInitDialog() override {
                    ::PostMessageW(::GetDlgItem(GetSafeHwnd(), IDOK), BM_CLICK, 0, 0);
                    return TRUE;
                }
            } main(t.Get());
            SetMainWnd(&main);
            dialogResult = main.DoModal();
            SetMainWnd(nullptr);
        }
        if (answer) ::PostQuitMessage(4);
        return answer;
    }
};

TEST(Application, EndsWhenInitInstanceReturnsFalse) {
    {
        ScriptedApp app;
        EXPECT_EQ(GetApp(), &app);
        app.runDialog = true;
        EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr)), 0);
        EXPECT_EQ(app.initCalls, 1);
        EXPECT_EQ(app.dialogResult, IDOK);
    }
    EXPECT_EQ(GetApp(), &TheTestApp()) << "the program's object comes back";
}

TEST(Application, RunsTheMessageLoopUntilQuitWhenInitInstanceReturnsTrue) {
    ScriptedApp app;
    app.answer = TRUE;
    EXPECT_EQ(RunApplication(GetModuleHandleW(nullptr)), 4);
    EXPECT_EQ(app.initCalls, 1);
}

TEST(Application, AQuitDuringAModalRunEndsItAndReachesTheOuterLoop) {
    DialogTemplate t(L"Quit", 100, 40, {{IDOK, L"OK"}});
    class Quitting : public CDialog {
    public:
        using CDialog::CDialog;
    protected:
        BOOL OnInitDialog() override {
            ::PostQuitMessage(6);
            return TRUE;
        }
    } dialog(t.Get());
    EXPECT_EQ(dialog.DoModal(), -1);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 6u);
}

TEST(Application, CenterWindowCentresOnTheOwner) {
    HostWindow owner;   // 400 x 300 at (50, 50)
    class Owned : public CWnd {} owned;
    RECT r{0, 0, 100, 60};
    ASSERT_TRUE(owned.CreateEx(0, CWnd::DefaultClassName(), L"", WS_POPUP, r, &owner, 0));
    owned.CenterWindow();
    RECT ownerRect, ownedRect;
    owner.GetWindowRect(&ownerRect);
    owned.GetWindowRect(&ownedRect);
    EXPECT_EQ(ownedRect.left - ownerRect.left, ownerRect.right - ownedRect.right);
    EXPECT_EQ(ownedRect.top - ownerRect.top, ownerRect.bottom - ownedRect.bottom);
}

}  // namespace
