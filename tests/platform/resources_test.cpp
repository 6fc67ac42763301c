// Windows, controls, fonts and dialogs made and destroyed again and again
// leave no GDI or USER objects behind.
#include <gtest/gtest.h>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/font.h"
#include "platform/image_gdi.h"
#include "dialog_template.h"
#include "test_app.h"

using namespace corvelle;

namespace {

// GetGuiResources's counts (Wine answers 0 for both), and the windows of the
// thread counted one by one, which works everywhere.
struct GuiCounts {
    DWORD gdi, user, windows;
};

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

GuiCounts Counts() {
    DWORD windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    return {GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), windows};
}

class QuickDialog : public CDialog {
public:
    using CDialog::CDialog;
protected:
    BOOL OnInitDialog() override {
        PostMessage(WM_APP);
        return TRUE;
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_APP) {
            EndDialog(IDOK);
            return TRUE;
        }
        return CDialog::OnWndMsg(message, wParam, lParam, result);
    }
};

// One of everything the layer makes, destroyed again.
void OneCycle(const DLGTEMPLATE* dialogTemplate) {
    HostWindow host;
    CFont font;
    ASSERT_TRUE(font.CreateAppFont());
    RECT r{0, 0, 120, 60};
    CStatic label;
    CButton button;
    CEdit edit;
    CComboBox combo;
    CListBox listBox;
    CListCtrl list;
    CTabCtrl tabs;
    CStatusBarCtrl status;
    CToolBarCtrl toolbar;
    CScrollBar scroll;
    CWnd plain;
    ASSERT_TRUE(label.Create(L"label", WS_CHILD | WS_VISIBLE, r, &host));
    ASSERT_TRUE(button.Create(L"button", WS_CHILD | WS_VISIBLE, r, &host, 2));
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, r, &host, 3));
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, r, &host, 4));
    ASSERT_TRUE(listBox.Create(WS_CHILD | WS_VISIBLE, r, &host, 5));
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, r, &host, 6));
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, r, &host, 7));
    ASSERT_TRUE(status.Create(WS_CHILD | WS_VISIBLE, r, &host, 8));
    ASSERT_TRUE(toolbar.Create(WS_CHILD | WS_VISIBLE, r, &host, 9));
    ASSERT_TRUE(scroll.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, r, &host, 10));
    ASSERT_TRUE(plain.Create(L"plain", WS_CHILD | WS_VISIBLE, r, &host, 11));
    for (CWnd* w : {static_cast<CWnd*>(&label), static_cast<CWnd*>(&button), static_cast<CWnd*>(&edit),
                    static_cast<CWnd*>(&combo), static_cast<CWnd*>(&listBox)}) {
        w->SetFont(font);
    }
    combo.AddString(L"one");
    listBox.AddString(L"two");
    list.InsertColumn(0, L"c", LVCFMT_LEFT, 50);
    list.InsertItem(0, L"three", 3);
    tabs.InsertItem(0, L"tab");
    int parts[2] = {50, -1};
    status.SetParts(2, parts);
    status.SetText(L"status", 1);
    HDC dc = GetDC(host.GetSafeHwnd());
    PixelImage image(8, 8, 0x123456);
    DrawImage(dc, image, 0, 0);
    RECT stretched{0, 0, 30, 20};
    DrawImageStretched(dc, image, stretched);
    ReleaseDC(host.GetSafeHwnd(), dc);
    host.UpdateWindow();
    QuickDialog dialog(dialogTemplate, &host);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    PumpMessages();
}

TEST(Resources, FiftyCyclesLeaveNoObjectsBehind) {
    DialogTemplate t(L"Cycle", 120, 60, {{IDOK, L"OK"}});
    // The first cycle loads what stays for the process (classes, fonts of the
    // system, the common controls).
    OneCycle(t.Get());
    GuiCounts before = Counts();
    for (int i = 0; i < 50; ++i) OneCycle(t.Get());
    GuiCounts after = Counts();
    EXPECT_LE(after.gdi, before.gdi) << "GDI objects before " << before.gdi << ", after " << after.gdi;
    EXPECT_LE(after.user, before.user) << "USER objects before " << before.user << ", after " << after.user;
    EXPECT_EQ(after.windows, before.windows);
}

TEST(Resources, TheFontIsReleasedWithItsObject) {
    HFONT handle;
    {
        CFont font;
        ASSERT_TRUE(font.CreateAppFont());
        handle = font;
        LOGFONTW logFont{};
        ASSERT_EQ(GetObjectW(handle, sizeof logFont, &logFont), static_cast<int>(sizeof logFont));
        EXPECT_EQ(logFont.lfHeight, kAppFontHeight);
        EXPECT_EQ(logFont.lfWeight, 0);
        EXPECT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(handle), 0u);
}

}  // namespace
