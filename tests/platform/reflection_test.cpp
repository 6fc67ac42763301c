// Notifications of child controls reach the objects that own the controls
// (WM_COMMAND by the control's HWND, WM_NOTIFY by hwndFrom, WM_DRAWITEM by
// hwndItem, WM_MEASUREITEM by the control id); what they leave goes to the
// parent's handlers.
#include <gtest/gtest.h>

#include <vector>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "dialog_template.h"
#include "test_app.h"

using namespace corvelle;

namespace {

class ClickButton : public CButton {
public:
    int clicks = 0;
    int draws = 0;
protected:
    BOOL OnCommandReflect(UINT code) override {
        if (code != BN_CLICKED) return FALSE;
        ++clicks;
        return TRUE;
    }
    BOOL DrawItem(DRAWITEMSTRUCT* item) override {
        EXPECT_EQ(item->hwndItem, GetSafeHwnd());
        ++draws;
        return TRUE;
    }
};

TEST(Reflection, CommandsGoToTheControlsObjectAndOnlyTheRestToTheParent) {
    HostWindow host;
    ClickButton owned;
    CButton plain;   // answers nothing itself
    RECT r{0, 0, 80, 20};
    ASSERT_TRUE(owned.Create(L"A", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, r, &host, 101));
    ASSERT_TRUE(plain.Create(L"B", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, r, &host, 102));
    owned.SendMessage(BM_CLICK);
    plain.SendMessage(BM_CLICK);
    EXPECT_EQ(owned.clicks, 1);
    EXPECT_EQ(host.commands, std::vector<UINT>{102});
    // Menu and accelerator commands (no control) go to the parent.
    host.SendMessage(WM_COMMAND, MAKEWPARAM(32771, 1), 0);
    EXPECT_EQ(host.commands, (std::vector<UINT>{102, 32771}));
}

class NotifyingList : public CListCtrl {
public:
    std::vector<UINT> codes;
    UINT answerCode = 0;
protected:
    BOOL OnNotifyReflect(NMHDR* header, LRESULT* result) override {
        codes.push_back(header->code);
        if (header->code != answerCode) return FALSE;
        *result = 77;
        return TRUE;
    }
};

TEST(Reflection, NotificationsGoToTheObjectOfHwndFrom) {
    HostWindow host;
    NotifyingList list;
    RECT r{0, 0, 200, 100};
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, r, &host, 201));
    list.InsertColumn(0, L"Name", LVCFMT_LEFT, 100);
    // A real notification of the list view (LVN_INSERTITEM) is reflected.
    list.answerCode = LVN_INSERTITEM;
    ASSERT_EQ(list.InsertItem(0, L"one", 42), 0);
    EXPECT_EQ(list.GetItemData(0), 42);
    EXPECT_NE(std::find(list.codes.begin(), list.codes.end(), static_cast<UINT>(LVN_INSERTITEM)),
              list.codes.end());
    EXPECT_EQ(std::find(host.notifications.begin(), host.notifications.end(),
                        static_cast<UINT>(LVN_INSERTITEM)),
              host.notifications.end());
    // A handled notification returns the object's result; an unhandled one
    // goes on to the parent.
    NMHDR header{list.GetSafeHwnd(), 201, static_cast<UINT>(NM_DBLCLK)};
    list.answerCode = NM_DBLCLK;
    EXPECT_EQ(host.SendMessage(WM_NOTIFY, 201, reinterpret_cast<LPARAM>(&header)), 77);
    list.answerCode = 0;
    host.notifications.clear();
    EXPECT_EQ(host.SendMessage(WM_NOTIFY, 201, reinterpret_cast<LPARAM>(&header)), 0);
    EXPECT_EQ(host.notifications, std::vector<UINT>{static_cast<UINT>(NM_DBLCLK)});
}

TEST(Reflection, NotificationsOfAWindowThatIsNotOurChildAreNotReflected) {
    HostWindow host;
    HostWindow other;
    NotifyingList list;
    RECT r{0, 0, 200, 100};
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, r, &other, 202));
    list.answerCode = NM_CLICK;
    NMHDR header{list.GetSafeHwnd(), 202, static_cast<UINT>(NM_CLICK)};
    host.SendMessage(WM_NOTIFY, 202, reinterpret_cast<LPARAM>(&header));
    EXPECT_TRUE(list.codes.empty());
    EXPECT_EQ(host.notifications, std::vector<UINT>{static_cast<UINT>(NM_CLICK)});
}

TEST(Reflection, DrawItemReachesTheControlByHwndItemUnlessTheParentDrawsIt) {
    HostWindow host;
    ClickButton a, b;
    RECT r{0, 0, 80, 20};
    ASSERT_TRUE(a.Create(L"A", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, r, &host, 301));
    ASSERT_TRUE(b.Create(L"B", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, r, &host, 302));
    host.ownDrawId = 302;   // the parent draws 302 itself, passes the rest on
    a.draws = b.draws = 0;
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = 301;
    item.hwndItem = a.GetSafeHwnd();
    EXPECT_EQ(host.SendMessage(WM_DRAWITEM, 301, reinterpret_cast<LPARAM>(&item)), TRUE);
    item.CtlID = 302;
    item.hwndItem = b.GetSafeHwnd();
    host.SendMessage(WM_DRAWITEM, 302, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(a.draws, 1);
    EXPECT_EQ(b.draws, 0);
    // A real paint of the owner-drawn button reaches its object the same way.
    a.draws = 0;
    RedrawWindow(a.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    PumpMessages();
    EXPECT_GE(a.draws, 1);
}

// An owner-drawn list box measures its rows while it is being created, before
// its parent can know it: the object answers all the same.
class TallRows : public CListBox {
public:
    int measured = 0;
protected:
    BOOL MeasureItem(MEASUREITEMSTRUCT* item) override {
        ++measured;
        item->itemHeight = 23;
        return TRUE;
    }
};

TEST(Reflection, MeasureItemReachesTheControlDuringItsCreation) {
    HostWindow host;
    TallRows rows;
    RECT r{0, 0, 100, 100};
    ASSERT_TRUE(rows.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, r, &host, 401));
    EXPECT_GE(rows.measured, 1);
    EXPECT_EQ(rows.SendMessage(LB_GETITEMHEIGHT, 0), 23);
}

// A dialog's button taken over in OnInitDialog: its clicks reach the wrapper
// and the dialog's own OK handling still works for the rest.
class WrappedButtonDialog : public CDialog {
public:
    explicit WrappedButtonDialog(const DLGTEMPLATE* t) : CDialog(t) {}
    ClickButton wrapped;
    bool subclassed = false;
protected:
    BOOL OnInitDialog() override {
        subclassed = wrapped.SubclassDlgItem(500, this);
        wrapped.PostMessage(BM_CLICK);
        ::PostMessageW(::GetDlgItem(GetSafeHwnd(), IDOK), BM_CLICK, 0, 0);
        return TRUE;
    }
};

TEST(Reflection, SubclassedDialogItemsReceiveTheirNotifications) {
    DialogTemplate t(L"Items", 120, 60, {{500, L"Wrapped"}, {IDOK, L"OK"}});
    WrappedButtonDialog dialog(t.Get());
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.subclassed);
    EXPECT_EQ(dialog.wrapped.clicks, 1);
    EXPECT_EQ(dialog.wrapped.GetSafeHwnd(), nullptr) << "unbound when the dialog went";
}

}  // namespace
