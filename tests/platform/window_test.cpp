// Window objects: bound before CreateWindowEx returns, messages reaching the
// typed handlers, Default() reaching the previous procedure, and the
// destruction order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/wnd.h"
#include "test_app.h"

using corvelle::CWnd;

namespace {

bool Contains(const std::vector<UINT>& v, UINT m) {
    return std::find(v.begin(), v.end(), m) != v.end();
}

class RecordingWnd : public CWnd {
public:
    std::vector<UINT> messages;
    HWND boundAtCreate = nullptr;
    int createAnswer = 0;
    int sizeCx = -1, sizeCy = -1;
    UINT_PTR timerId = 0;
    UINT downFlags = 0;
    POINT downPoint{};
    bool nccreateHadObject = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        messages.push_back(message);
        if (message == WM_NCCREATE) nccreateHadObject = FromHandlePermanent(GetSafeHwnd()) == this;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int OnCreate(CREATESTRUCTW* create) override {
        boundAtCreate = GetSafeHwnd();
        if (createAnswer != 0) return createAnswer;
        return CWnd::OnCreate(create);
    }
    void OnSize(UINT, int cx, int cy) override {
        sizeCx = cx;
        sizeCy = cy;
    }
    void OnTimer(UINT_PTR id) override { timerId = id; }
    void OnLButtonDown(UINT flags, POINT point) override {
        downFlags = flags;
        downPoint = point;
    }
    BOOL OnSetCursor(HWND, UINT hitTest, UINT) override { return hitTest == HTCLIENT ? 7 : FALSE; }
};

TEST(WindowBinding, EveryCreationMessageReachesTheObject) {
    HostWindow host;
    ASSERT_NE(host.GetSafeHwnd(), nullptr);
    RecordingWnd child;
    RECT r{10, 10, 110, 60};
    ASSERT_TRUE(child.Create(L"child", WS_CHILD | WS_VISIBLE, r, &host, 5));
    ASSERT_FALSE(child.messages.empty());
    EXPECT_EQ(child.messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(child.nccreateHadObject);
    EXPECT_TRUE(Contains(child.messages, WM_CREATE));
    EXPECT_EQ(child.boundAtCreate, child.GetSafeHwnd());
    // The WM_SIZE sent while the window is made reached OnSize.
    EXPECT_EQ(child.sizeCx, 100);
    EXPECT_EQ(child.sizeCy, 50);
    EXPECT_EQ(CWnd::FromHandlePermanent(child.GetSafeHwnd()), &child);
    EXPECT_EQ(child.GetParent(), &host);
    EXPECT_EQ(host.GetDlgItem(5), &child);
}

TEST(WindowBinding, ControlsAreBoundFromTheirFirstMessage) {
    HostWindow host;
    class RecordingButton : public corvelle::CButton {
    public:
        std::vector<UINT> messages;
    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
            messages.push_back(message);
            return CButton::WindowProc(message, wParam, lParam);
        }
    } button;
    RECT r{0, 0, 80, 20};
    ASSERT_TRUE(button.Create(L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, r, &host, 7));
    ASSERT_FALSE(button.messages.empty());
    EXPECT_EQ(button.messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(Contains(button.messages, WM_CREATE));
    // Default processing still reaches the button's own procedure.
    wchar_t text[16] = {};
    button.GetWindowText(text, 16);
    EXPECT_EQ(std::wstring(text), L"Go");
    button.SetCheck(BST_CHECKED);   // a push button ignores it, but it must not crash
}

TEST(WindowBinding, AFailedOnCreateLeavesTheObjectUnboundAndReusable) {
    HostWindow host;
    RecordingWnd child;
    child.createAnswer = -1;
    RECT r{0, 0, 10, 10};
    EXPECT_FALSE(child.Create(L"", WS_CHILD, r, &host, 1));
    EXPECT_EQ(child.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(Contains(child.messages, WM_NCDESTROY));
    child.createAnswer = 0;
    EXPECT_TRUE(child.Create(L"", WS_CHILD, r, &host, 1));
    EXPECT_NE(child.GetSafeHwnd(), nullptr);
}

TEST(WindowBinding, AWindowDestroyedUnderItsObjectNoLongerNamesIt) {
    HostWindow host;
    RecordingWnd child, again;
    RECT r{0, 0, 10, 10};
    ASSERT_TRUE(child.Create(L"", WS_CHILD, r, &host, 1));
    const HWND window = child.GetSafeHwnd();
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(child.GetSafeHwnd(), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
    EXPECT_EQ(host.GetDlgItem(1), nullptr);
    // The object binds anew, and only the new window names it.
    ASSERT_TRUE(child.Create(L"", WS_CHILD, r, &host, 1));
    ASSERT_TRUE(again.Create(L"", WS_CHILD, r, &host, 2));
    EXPECT_EQ(CWnd::FromHandlePermanent(child.GetSafeHwnd()), &child);
    EXPECT_EQ(CWnd::FromHandlePermanent(again.GetSafeHwnd()), &again);
    EXPECT_EQ(host.GetDlgItem(2), &again);
}

TEST(WindowBinding, AWindowOfOurClassMadeElsewhereIsNotBoundToItsCreationData) {
    // Creation data that is not an object (as a dialog template would give).
    int notAnObject = 12345;
    HWND window = CreateWindowExW(0, CWnd::DefaultClassName(), L"", WS_POPUP, 0, 0, 10, 10,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), &notAnObject);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(window), nullptr);
    SendMessageW(window, WM_SIZE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(notAnObject, 12345);
}

TEST(WindowDispatch, MessagesReachTheirTypedHandlers) {
    HostWindow host;
    RecordingWnd child;
    RECT r{0, 0, 50, 50};
    ASSERT_TRUE(child.Create(L"", WS_CHILD | WS_VISIBLE, r, &host, 1));
    // Points left of and above the window (a captured mouse) stay negative.
    child.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(-5, -7));
    EXPECT_EQ(child.downFlags, static_cast<UINT>(MK_LBUTTON | MK_SHIFT));
    EXPECT_EQ(child.downPoint.x, -5);
    EXPECT_EQ(child.downPoint.y, -7);
    child.SendMessage(WM_TIMER, 3, 0);
    EXPECT_EQ(child.timerId, 3u);
    child.SetWindowPos(nullptr, 0, 0, 70, 40, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(child.sizeCx, 70);
    EXPECT_EQ(child.sizeCy, 40);
    EXPECT_EQ(child.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(child.GetSafeHwnd()),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 7);
    // A real timer goes through the message loop to the same handler.
    child.timerId = 0;
    child.SetTimer(9, 1);
    for (int i = 0; i < 200 && child.timerId == 0; ++i) {
        Sleep(5);
        PumpMessages();
    }
    child.KillTimer(9);
    EXPECT_EQ(child.timerId, 9u);
}

// An edit control taken over after its creation: its handler sees WM_SETTEXT
// first and Default() hands it to the edit control's own procedure.
class WatchedEdit : public corvelle::CEdit {
public:
    int setTexts = 0;
    LRESULT defaultAnswer = 0;
protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_SETTEXT) {
            ++setTexts;
            *result = defaultAnswer = Default();
            return TRUE;
        }
        return CEdit::OnWndMsg(message, wParam, lParam, result);
    }
};

TEST(WindowDispatch, DefaultRunsThePreviousProcedureOfASubclassedControl) {
    HostWindow host;
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20,
                                host.GetSafeHwnd(), reinterpret_cast<HMENU>(12),
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    auto original = GetWindowLongPtrW(edit, GWLP_WNDPROC);
    {
        WatchedEdit watched;
        ASSERT_TRUE(watched.SubclassDlgItem(12, &host));
        EXPECT_FALSE(WatchedEdit().SubclassWindow(edit)) << "a window is bound to one object";
        watched.SetWindowText(L"abc");
        EXPECT_EQ(watched.setTexts, 1);
        EXPECT_EQ(watched.defaultAnswer, TRUE);
        wchar_t text[8] = {};
        GetWindowTextW(edit, text, 8);
        EXPECT_EQ(std::wstring(text), L"abc");
    }
    // The object went first; the control it only subclassed stays, with its
    // own procedure back.
    EXPECT_TRUE(IsWindow(edit));
    EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(edit), nullptr);
    SetWindowTextW(edit, L"xyz");
    wchar_t text[8] = {};
    GetWindowTextW(edit, text, 8);
    EXPECT_EQ(std::wstring(text), L"xyz");
}

TEST(WindowDestruction, TheObjectDestroysTheWindowItMadeAndLetsGoOfDestroyedOnes) {
    HostWindow host;
    HWND made;
    {
        RecordingWnd child;
        RECT r{0, 0, 10, 10};
        ASSERT_TRUE(child.Create(L"", WS_CHILD, r, &host, 1));
        made = child.GetSafeHwnd();
    }
    EXPECT_FALSE(IsWindow(made));

    // Destroyed from outside (its parent going): the object is unbound and
    // can make a new window.
    RecordingWnd child;
    {
        HostWindow parent;
        RECT r{0, 0, 10, 10};
        ASSERT_TRUE(child.Create(L"", WS_CHILD, r, &parent, 1));
        made = child.GetSafeHwnd();
    }
    EXPECT_FALSE(IsWindow(made));
    EXPECT_EQ(child.GetSafeHwnd(), nullptr);
    EXPECT_EQ(child.messages.back(), static_cast<UINT>(WM_NCDESTROY));
    RECT r{0, 0, 10, 10};
    EXPECT_TRUE(child.Create(L"", WS_CHILD, r, &host, 2));
    EXPECT_TRUE(child.DestroyWindow());
    EXPECT_EQ(child.GetSafeHwnd(), nullptr);
}

}  // namespace
