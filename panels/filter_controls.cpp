#include "panels/filter_controls.h"

#include "panels/game_selection.h"
#include "panels/select_dlg.h"
#include "platform/drawing.h"
#include "res/art_ids.h"

namespace corvelle {

namespace {

constexpr int32_t kTextIndent = 20;

const wchar_t* const kCategoryNames[] = {L"All",      L"Addition", L"Canfield", L"Castle",
                                         L"Fan",      L"40Thieves", L"FreeCell", L"Klondike",
                                         L"Spider",   L"Terrace",  L"Yukon",    L"Other"};
const wchar_t* const kTimeNames[] = {L"All", L"<3m", L"3-5m", L"5-10m", L">10m"};

void DrawItemText(HDC dc, const RECT& item, const wchar_t* text) {
    RECT r = item;
    r.left += kTextIndent;
    ::DrawTextW(dc, text, -1, &r, DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

void RefillAndReselect(CSelectDlg* dialog) {
    const uint32_t remembered = dialog->MarkedGame();
    dialog->FillList();
    if (remembered != kNoGame) dialog->SelectGame(remembered, false);
}

BOOL CFilterComboBox::MeasureItem(MEASUREITEMSTRUCT* item) {
    item->itemHeight = 15;
    return TRUE;
}

BOOL CFilterComboBox::DrawItem(DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    const RECT& r = item->rcItem;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    ::FillRect(dc, &r, selected ? ::GetSysColorBrush(COLOR_HIGHLIGHT) : static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkColor(dc, selected ? ::GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255));
    ::SetTextColor(dc, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
    const int count = GetCount();
    const int index = static_cast<int>(item->itemID);
    if (index >= 0 && index < count && item->itemData < kFilterDataEnd) {
        const uint32_t data = static_cast<uint32_t>(item->itemData);
        if (data == 0 || data == kFilterDataDifficulty || data == kFilterDataTime) {
            DrawBitmapTransparent(dc, r.left, r.top, IDB_FILTER_ALL, kKeyGreen);
            DrawItemText(dc, r, L"All");
        } else if (data < kCategoryOtherFilter) {
            DrawBitmapTransparent(dc, r.left, r.top, static_cast<uint16_t>(IDB_CATEGORY + index - 1), kKeyGreen);
            DrawItemText(dc, r, kCategoryNames[data]);
        } else if (data == kCategoryOtherFilter) {
            DrawItemText(dc, r, kCategoryNames[data]);
        } else if (data < kFilterDataTime) {
            DrawBitmapTransparent(dc, r.left + 2, r.top, static_cast<uint16_t>(IDB_DIFFICULTY + index - 1), kKeyGreen);
        } else {
            DrawBitmapTransparent(dc, r.left, r.top, static_cast<uint16_t>(IDB_TIME_CLASS + index - 1), kKeyGreen);
            DrawItemText(dc, r, kTimeNames[data - kFilterDataTime]);
        }
    }
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::SetTextColor(dc, RGB(0, 0, 0));
    return TRUE;
}

BOOL CFilterComboBox::OnCommandReflect(UINT code) {
    if (code != CBN_SELCHANGE) return FALSE;
    OnSelChange();
    return TRUE;
}

void CFilterComboBox::OnSelChange() {
    const int sel = GetCurSel();
    if (sel < 0) return;
    const DWORD_PTR data = GetItemData(sel);
    SelectionFilter& f = dialog->GetFilter();
    const uint8_t value = static_cast<uint8_t>(sel);
    if (data < kFilterDataDifficulty)
        f.category = value;
    else if (data < kFilterDataTime)
        f.skill = value;
    else if (data < kFilterDataEnd)
        f.time = value;
    else
        return;
    RefillAndReselect(dialog);
}

BOOL CFilterFavoritesCheckBox::OnCommandReflect(UINT code) {
    if (code != BN_CLICKED) return FALSE;
    dialog->GetFilter().favoritesOnly = SendMessage(BM_GETCHECK) != BST_UNCHECKED ? 1 : 0;
    RefillAndReselect(dialog);
    return TRUE;
}

BOOL CFilterResetButton::OnCommandReflect(UINT code) {
    if (code != BN_CLICKED) return FALSE;
    OnClicked();
    return TRUE;
}

void CFilterResetButton::OnClicked() {
    SelectionFilter& f = dialog->GetFilter();
    f = SelectionFilter{};
    for (CComboBox* combo : {category, difficulty, time})
        if (combo) combo->SetCurSel(0);
    if (favorites) favorites->SendMessage(BM_SETCHECK, BST_UNCHECKED);
    RefillAndReselect(dialog);
}

// ---- the related list

BOOL CRelatedListBox::MeasureItem(MEASUREITEMSTRUCT* item) {
    item->itemHeight = kRelatedRowHeight;
    return TRUE;
}

BOOL CRelatedListBox::DrawItem(DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::SetTextColor(dc, RGB(0, 0, 0));
    const uint32_t game = static_cast<uint32_t>(item->itemData & 0xFFFF);
    if (static_cast<int>(item->itemID) >= 0) {
        if (game >= kNoGame) {
            ::DrawTextW(dc, L"No related solitaires", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        } else if (const CGameEntry* entry = dialog->GetGameEntry(game)) {
            if (static_cast<int32_t>(item->itemID) == hotRow) ::SetTextColor(dc, RGB(0xA0, 0xA0, 0xA0));
            ::DrawTextW(dc, reinterpret_cast<const wchar_t*>(entry->name.c_str()), -1, &r,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::SetTextColor(dc, RGB(0, 0, 0));
    return TRUE;
}

BOOL CRelatedListBox::OnEraseBkgnd(HDC) { return TRUE; }

int32_t CRelatedListBox::GameRowAt(POINT point) const {
    RECT client;
    GetClientRect(&client);
    // The first visible row is the list's top index (it never scrolls, as
    // the body is made as tall as its rows).
    return RelatedRowAt(point.x, point.y, client.right, client.bottom, GetCount(), [this](int32_t row) {
        const DWORD_PTR data = GetItemData(row);
        return data != static_cast<DWORD_PTR>(LB_ERR) && (data & 0xFFFF) < kNoGame;
    });
}

void CRelatedListBox::SetHotRow(int32_t row) {
    if (row == hotRow) return;
    hotRow = row;
    Invalidate(FALSE);
}

void CRelatedListBox::OnMouseMove(UINT flags, POINT point) {
    if (flags & MK_LBUTTON) return;
    RECT client;
    GetClientRect(&client);
    if (::PtInRect(&client, point)) {
        if (::GetCapture() != hwnd) SetCapture();
        SetHotRow(GameRowAt(point));
    } else {
        if (::GetCapture() == hwnd) ::ReleaseCapture();
        SetHotRow(-1);
    }
}

void CRelatedListBox::OnLButtonDown(UINT, POINT point) {
    // The list box's own press handling does not run: it never selects.
    pressed = true;
    if (::GetCapture() != hwnd) SetCapture();
    SetHotRow(GameRowAt(point));
}

void CRelatedListBox::OnLButtonUp(UINT, POINT point) {
    const bool wasPressed = pressed;
    pressed = false;
    const int32_t row = GameRowAt(point);
    const int32_t pressedRow = hotRow;
    SetHotRow(-1);
    if (::GetCapture() == hwnd) ::ReleaseCapture();
    if (wasPressed && pressedRow >= 0 && pressedRow == row) {
        const uint32_t game = static_cast<uint32_t>(GetItemData(row) & 0xFFFF);
        dialog->SelectGame(game, true);
    }
}

void CRelatedListBox::OnCaptureChanged(HWND newCapture) {
    if (newCapture != hwnd) {
        pressed = false;
        SetHotRow(-1);
    }
}

}  // namespace corvelle
