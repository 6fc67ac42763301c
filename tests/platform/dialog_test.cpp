// Modal dialogs: the owner disabled during the run and enabled and active
// after it, EndDialog codes, nested runs, OnInitDialog failing, and the
// application's message filter seeing each message before IsDialogMessage.
#include <gtest/gtest.h>

#include <functional>

#include "platform/dialog.h"
#include "dialog_template.h"
#include "test_app.h"

using namespace corvelle;

namespace {

constexpr UINT kStep = WM_APP + 1;
constexpr UINT kTestDialogResource = 900;   // platform_test.rc

// A dialog that runs `step` once its loop runs (a message it posts to itself
// in OnInitDialog) and can fail or end in OnInitDialog.
class ScriptedDialog : public CDialog {
public:
    ScriptedDialog(const DLGTEMPLATE* t, CWnd* parent) : CDialog(t, parent) {}
    std::function<void(ScriptedDialog&)> step;
    BOOL initAnswer = TRUE;
    INT_PTR endInInit = 0;   // non-zero: EndDialog with it from OnInitDialog
    bool placeInInit = false;   // moves itself to (10, 10) in OnInitDialog
    bool wasVisible = false;
    bool okCalled = false, cancelCalled = false;

    using CDialog::EndDialog;

protected:
    BOOL OnInitDialog() override {
        PostMessage(kStep);
        if (placeInInit) SetWindowPos(nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (endInInit != 0) EndDialog(endInInit);
        return initAnswer;
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == kStep) {
            wasVisible = IsWindowVisible() != FALSE;
            if (step) step(*this);
            return TRUE;
        }
        return CDialog::OnWndMsg(message, wParam, lParam, result);
    }
    void OnOK() override {
        okCalled = true;
        CDialog::OnOK();
    }
    void OnCancel() override {
        cancelCalled = true;
        CDialog::OnCancel();
    }
};

const DialogTemplate& SimpleTemplate() {
    static const DialogTemplate t(L"Test", 120, 60, {{IDOK, L"OK"}, {IDCANCEL, L"Cancel"}});
    return t;
}

TEST(DoModal, DisablesTheOwnerAndGivesItBackEnabledAndActive) {
    HostWindow owner;
    SetActiveWindow(owner.GetSafeHwnd());
    ScriptedDialog dialog(SimpleTemplate().Get(), &owner);
    bool ownerEnabledDuring = true;
    HWND ownerOfDialog = nullptr;
    dialog.step = [&](ScriptedDialog& d) {
        ownerEnabledDuring = IsWindowEnabled(owner.GetSafeHwnd()) != FALSE;
        ownerOfDialog = GetWindow(d.GetSafeHwnd(), GW_OWNER);
        d.EndDialog(42);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_TRUE(dialog.wasVisible);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_EQ(ownerOfDialog, owner.GetSafeHwnd());
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
    EXPECT_EQ(GetActiveWindow(), owner.GetSafeHwnd());
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    // The same object runs again.
    EXPECT_EQ(dialog.DoModal(), 42);
}

TEST(DoModal, ADialogOpensCentredOverItsOwnerUnlessItPlacedItself) {
    HostWindow owner;
    owner.SetWindowPos(nullptr, 300, 200, 500, 400, SWP_NOZORDER);
    RECT o;
    owner.GetWindowRect(&o);
    for (bool placed : {false, true}) {
        ScriptedDialog dialog(SimpleTemplate().Get(), &owner);
        dialog.placeInInit = placed;
        RECT shown{};
        dialog.step = [&](ScriptedDialog& d) {
            d.GetWindowRect(&shown);
            d.EndDialog(IDOK);
        };
        EXPECT_EQ(dialog.DoModal(), IDOK);
        if (placed) {
            EXPECT_EQ(shown.left, 10);
            EXPECT_EQ(shown.top, 10);
        } else {
            EXPECT_NEAR(shown.left + shown.right, o.left + o.right, 2);
            EXPECT_NEAR(shown.top + shown.bottom, o.top + o.bottom, 2);
        }
    }
}

TEST(DoModal, OkEscAndTheCloseBoxEndWithTheirIds) {
    HostWindow owner;
    ScriptedDialog dialog(SimpleTemplate().Get(), &owner);
    dialog.step = [](ScriptedDialog& d) {
        ::PostMessageW(::GetDlgItem(d.GetSafeHwnd(), IDOK), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.okCalled);
    // Esc goes through IsDialogMessage, which makes it IDCANCEL.
    ScriptedDialog escaped(SimpleTemplate().Get(), &owner);
    escaped.step = [](ScriptedDialog& d) {
        // The key goes to the focus when the dialog holds it; on a busy
        // desktop the focus may still be on the owner, where Esc would
        // never reach the dialog, so then to the dialog itself.
        HWND focus = GetFocus();
        const HWND dlg = d.GetSafeHwnd();
        const bool inside = focus != nullptr && (focus == dlg || ::IsChild(dlg, focus));
        ::PostMessageW(inside ? focus : dlg, WM_KEYDOWN, VK_ESCAPE, 0);
    };
    EXPECT_EQ(escaped.DoModal(), IDCANCEL);
    EXPECT_TRUE(escaped.cancelCalled);
    // So does the close box.
    ScriptedDialog closed(SimpleTemplate().Get(), &owner);
    closed.step = [](ScriptedDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE); };
    EXPECT_EQ(closed.DoModal(), IDCANCEL);
    EXPECT_TRUE(closed.cancelCalled);
}

TEST(DoModal, NestedRunsEachDisableAndRestoreTheirOwner) {
    HostWindow owner;
    ScriptedDialog outer(SimpleTemplate().Get(), &owner);
    INT_PTR innerResult = 0;
    bool outerEnabledDuringInner = true, ownerEnabledDuringInner = true;
    bool outerEnabledAfterInner = false;
    outer.step = [&](ScriptedDialog& o) {
        ScriptedDialog inner(SimpleTemplate().Get(), &o);
        inner.step = [&](ScriptedDialog& i) {
            outerEnabledDuringInner = IsWindowEnabled(o.GetSafeHwnd()) != FALSE;
            ownerEnabledDuringInner = IsWindowEnabled(owner.GetSafeHwnd()) != FALSE;
            i.EndDialog(7);
        };
        innerResult = inner.DoModal();
        outerEnabledAfterInner = IsWindowEnabled(o.GetSafeHwnd()) != FALSE;
        o.EndDialog(100 + innerResult);
    };
    EXPECT_EQ(outer.DoModal(), 107);
    EXPECT_EQ(innerResult, 7);
    EXPECT_FALSE(outerEnabledDuringInner);
    EXPECT_FALSE(ownerEnabledDuringInner);
    EXPECT_TRUE(outerEnabledAfterInner);
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
}

TEST(DoModal, AFailedOnInitDialogEndsAtOnceAndReportsMinusOne) {
    HostWindow owner;
    ScriptedDialog dialog(SimpleTemplate().Get(), &owner);
    bool stepRan = false;
    dialog.initAnswer = -1;
    dialog.step = [&](ScriptedDialog& d) {
        stepRan = true;
        d.EndDialog(IDOK);
    };
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(stepRan) << "the half-made dialog must not run";
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);

    // EndDialog from OnInitDialog ends with its code, the window never shown.
    ScriptedDialog ended(SimpleTemplate().Get(), &owner);
    ended.endInInit = 5;
    EXPECT_EQ(ended.DoModal(), 5);
    EXPECT_FALSE(ended.wasVisible);
    PumpMessages();
}

TEST(DoModal, AMissingTemplateOrADestroyedWindowReportsMinusOne) {
    HostWindow owner;
    CDialog missing(9999u, &owner);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));

    ScriptedDialog destroyed(SimpleTemplate().Get(), &owner);
    destroyed.step = [](ScriptedDialog& d) { d.DestroyWindow(); };
    EXPECT_EQ(destroyed.DoModal(), -1);
    EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd()));
}

TEST(DoModal, TheMessageFilterSeesMessagesBeforeIsDialogMessage) {
    HostWindow owner;
    TestApp& app = TheTestApp();
    ASSERT_EQ(GetApp(), &app);
    ScriptedDialog dialog(SimpleTemplate().Get(), &owner);
    constexpr UINT kEnd = WM_APP + 2;
    int filterCodeSeen = -1;
    // The filter swallows Esc: had IsDialogMessage seen it first, the dialog
    // would have been cancelled. The message after it ends the run.
    app.filter = [&](int code, MSG* message) -> BOOL {
        if (message->message == WM_KEYDOWN && message->wParam == VK_ESCAPE) {
            filterCodeSeen = code;
            return TRUE;
        }
        if (message->message == kEnd) {
            dialog.EndDialog(9);
            return TRUE;
        }
        return FALSE;
    };
    dialog.step = [](ScriptedDialog& d) {
        ::PostMessageW(GetFocus() != nullptr ? GetFocus() : d.GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
        d.PostMessage(kEnd);
    };
    INT_PTR result = dialog.DoModal();
    app.filter = nullptr;
    EXPECT_EQ(result, 9);
    EXPECT_FALSE(dialog.cancelCalled);
    EXPECT_EQ(filterCodeSeen, MSGF_DIALOGBOX);
}

TEST(DoModal, WithoutAParentTheApplicationsMainWindowOwnsTheDialog) {
    HostWindow mainWindow;
    TheTestApp().SetMainWnd(&mainWindow);
    ScriptedDialog dialog(SimpleTemplate().Get(), nullptr);
    HWND ownerOfDialog = nullptr;
    bool mainEnabledDuring = true;
    dialog.step = [&](ScriptedDialog& d) {
        ownerOfDialog = GetWindow(d.GetSafeHwnd(), GW_OWNER);
        mainEnabledDuring = IsWindowEnabled(mainWindow.GetSafeHwnd()) != FALSE;
        d.EndDialog(1);
    };
    EXPECT_EQ(dialog.DoModal(), 1);
    TheTestApp().SetMainWnd(nullptr);
    EXPECT_EQ(ownerOfDialog, mainWindow.GetSafeHwnd());
    EXPECT_FALSE(mainEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(mainWindow.GetSafeHwnd()));
}

TEST(Modeless, TheDialogLivesWithItsObject) {
    HostWindow owner;
    HWND window;
    {
        ScriptedDialog dialog(SimpleTemplate().Get(), &owner);
        ASSERT_TRUE(dialog.CreateModeless());
        window = dialog.GetSafeHwnd();
        EXPECT_TRUE(IsWindowEnabled(owner.GetSafeHwnd())) << "a modeless dialog leaves its owner alone";
        PumpMessages();
        dialog.EndDialog(IDOK);
        EXPECT_FALSE(IsWindowVisible(window));
        EXPECT_TRUE(IsWindow(window));
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST(DoModal, RunsADialogResourceOfTheProgram) {
    HostWindow owner;
    class FromResource : public CDialog {
    public:
        using CDialog::CDialog;
        int items = 0;
    protected:
        BOOL OnInitDialog() override {
            items = (::GetDlgItem(GetSafeHwnd(), IDOK) != nullptr) + (::GetDlgItem(GetSafeHwnd(), 901) != nullptr);
            ::PostMessageW(::GetDlgItem(GetSafeHwnd(), IDOK), BM_CLICK, 0, 0);
            return TRUE;
        }
    } dialog(kTestDialogResource, &owner);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.items, 2);
}

}  // namespace
