// Thin wrappers of the standard and common controls: each creates its
// control (or takes over a dialog item with SubclassDlgItem) and sends the
// few messages the program uses. Derived classes answer their own
// notifications through CWnd's reflected handlers (OnCommandReflect,
// OnNotifyReflect, DrawItem, MeasureItem).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/wnd.h"

namespace corvelle {

// Registers the common control classes (list view, tab, status bar,
// toolbar) once; the wrappers below call it before creating one.
void EnsureCommonControls();

class CStatic : public CWnd {
public:
    bool Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
    // STM_SETIMAGE with a bitmap; returns the previous one.
    HBITMAP SetBitmap(HBITMAP bitmap) const {
        return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP,
                                                     reinterpret_cast<LPARAM>(bitmap)));
    }
};

class CButton : public CWnd {
public:
    bool Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CEdit : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void LimitText(int units) const { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(units)); }
};

class CComboBox : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(const wchar_t* text) const {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
    DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index))); }
    int SetItemData(int index, DWORD_PTR data) const {
        return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
};

class CListBox : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(const wchar_t* text) const {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index))); }
    int SetItemData(int index, DWORD_PTR data) const {
        return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
    }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
};

class CListCtrl : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int InsertColumn(int index, const wchar_t* heading, int format, int width) const;
    // Inserts a text item with its data; returns its index or -1.
    int InsertItem(int index, const wchar_t* text, LPARAM data) const;
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    LPARAM GetItemData(int index) const;
    BOOL DeleteAllItems() const { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    BOOL SetItemState(int index, UINT state, UINT mask) const;
    int GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }
    int SetSelectionMark(int index) const { return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, index)); }
    BOOL EnsureVisible(int index, BOOL partialOk) const {
        return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), partialOk));
    }
    DWORD SetExtendedStyle(DWORD style) const {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
    }
};

class CTabCtrl : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int InsertItem(int index, const wchar_t* text) const;
    int GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index))); }
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
};

class CStatusBarCtrl : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // Parts whose right edges are given (-1: to the window's edge).
    BOOL SetParts(int count, const int* rightEdges) const {
        return static_cast<BOOL>(SendMessage(SB_SETPARTS, static_cast<WPARAM>(count),
                                             reinterpret_cast<LPARAM>(rightEdges)));
    }
    BOOL SetText(const wchar_t* text, int part, int type = 0) const {
        return static_cast<BOOL>(SendMessage(SB_SETTEXTW, static_cast<WPARAM>(part | type),
                                             reinterpret_cast<LPARAM>(text)));
    }
};

class CToolBarCtrl : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetButtonCount() const { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
    BOOL GetButton(int index, TBBUTTON* button) const {
        return static_cast<BOOL>(SendMessage(TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(button)));
    }
    BOOL AddButtons(int count, const TBBUTTON* buttons) const {
        return static_cast<BOOL>(SendMessage(TB_ADDBUTTONSW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buttons)));
    }
    BOOL DeleteButton(int index) const { return static_cast<BOOL>(SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(index))); }
    BOOL SetBitmapSize(int cx, int cy) const { return static_cast<BOOL>(SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(cx, cy))); }
    HIMAGELIST SetImageList(HIMAGELIST list) const {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)));
    }
    void AutoSize() const { SendMessage(TB_AUTOSIZE); }
    void Customize() const { SendMessage(TB_CUSTOMIZE); }
};

class CScrollBar : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    BOOL GetScrollInfo(SCROLLINFO* info) const { return ::GetScrollInfo(hwnd, SB_CTL, info); }
    int SetScrollInfo(const SCROLLINFO* info, BOOL redraw = TRUE) const {
        return ::SetScrollInfo(hwnd, SB_CTL, info, redraw);
    }
    int GetScrollPos() const { return ::GetScrollPos(hwnd, SB_CTL); }
    int SetScrollPos(int position, BOOL redraw = TRUE) const { return ::SetScrollPos(hwnd, SB_CTL, position, redraw); }
};

}  // namespace corvelle
