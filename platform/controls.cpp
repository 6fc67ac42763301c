// Creation of the wrapped controls and their few structured messages.
#include "platform/controls.h"

namespace corvelle {

void EnsureCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX init{};
        init.dwSize = sizeof init;
        init.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES;
        return ::InitCommonControlsEx(&init) != FALSE;
    }();
    (void)done;
}

bool CStatic::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, L"STATIC", text, style, rect, parent, id);
}

bool CButton::Create(const wchar_t* text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, L"BUTTON", text, style, rect, parent, id);
}

bool CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, L"EDIT", L"", style, rect, parent, id);
}

bool CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, L"COMBOBOX", L"", style, rect, parent, id);
}

bool CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, L"LISTBOX", L"", style, rect, parent, id);
}

bool CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    EnsureCommonControls();
    return CreateEx(0, WC_LISTVIEWW, L"", style, rect, parent, id);
}

int CListCtrl::InsertColumn(int index, const wchar_t* heading, int format, int width) const {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(heading);
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const wchar_t* text, LPARAM data) const {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(text);
    item.lParam = data;
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

LPARAM CListCtrl::GetItemData(int index) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return item.lParam;
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) const {
    LVITEMW item{};
    item.state = state;
    item.stateMask = mask;
    return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(&item)));
}

bool CTabCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    EnsureCommonControls();
    return CreateEx(0, WC_TABCONTROLW, L"", style, rect, parent, id);
}

int CTabCtrl::InsertItem(int index, const wchar_t* text) const {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(text);
    return static_cast<int>(SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(&item)));
}

bool CStatusBarCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    EnsureCommonControls();
    return CreateEx(0, STATUSCLASSNAMEW, L"", style, rect, parent, id);
}

bool CToolBarCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    EnsureCommonControls();
    if (!CreateEx(0, TOOLBARCLASSNAMEW, L"", style, rect, parent, id)) return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}

bool CScrollBar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CreateEx(0, L"SCROLLBAR", L"", style, rect, parent, id);
}

}  // namespace corvelle
