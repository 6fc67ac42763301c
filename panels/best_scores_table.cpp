// The best-times list and its clear button.
#include "panels/best_scores_table.h"

#include <algorithm>

#include "panels/panel_texts.h"
#include "platform/win_app.h"
#include "res/resource.h"

namespace corvelle {

namespace {

constexpr int kMinTimeColumnWidth = 40;
constexpr int kRowHeight = 14;

}  // namespace

// ---- the list

CBestScoresTable::CBestScoresTable(const std::u16string& gameName) : table(gameName) {}

CBestScoresTable::~CBestScoresTable() { DestroyWindow(); }

bool CBestScoresTable::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!CListCtrl::Create(style, rect, parent, id)) return false;
    const int width = rect.right - rect.left;
    InsertColumn(0, L"Name", LVCFMT_CENTER, width - timeColumnWidth);
    InsertColumn(1, L"Time", LVCFMT_CENTER, timeColumnWidth);
    FillList();
    return true;
}

void CBestScoresTable::FillList() {
    // One repaint for the whole list, not one per row.
    SendMessage(WM_SETREDRAW, FALSE);
    DeleteAllItems();
    for (int e = kBestTimeEntries - 1; e >= 0; --e) {
        const uint32_t seconds = table.GetTime(e);
        const std::u16string name = BestTimeNameText(table.GetName(e), seconds);
        const std::u16string time = BestTimeText(seconds);
        InsertItem(0, Wide(name), e);
        LVITEMW cell{};
        cell.iSubItem = 1;
        cell.pszText = const_cast<wchar_t*>(Wide(time));
        SendMessage(LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&cell));
    }
    SendMessage(WM_SETREDRAW, TRUE);
    Invalidate(FALSE);
}

void CBestScoresTable::FitNameColumn() {
    // Until the width holds: a scroll bar the list showed while it narrowed
    // goes once the columns fit, and the client area widens again.
    for (int pass = 0; pass < 3; ++pass) {
        RECT rc;
        GetClientRect(&rc);
        const int width = rc.right - rc.left - timeColumnWidth;
        if (SendMessage(LVM_GETCOLUMNWIDTH, 0) == width) break;
        SendMessage(LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
    }
}

int CBestScoresTable::FitToFont() {
    // The column header's "Time" whole (with the header's padding), never
    // narrower than the 40 pixels a time needs.
    const int text = static_cast<int>(SendMessage(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(L"Time")));
    timeColumnWidth = std::max(kMinTimeColumnWidth, text + 16);
    SendMessage(LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(timeColumnWidth, 0));
    FitNameColumn();
    RECT header{};
    ::GetWindowRect(reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)), &header);
    return (header.bottom - header.top) + kBestTimeEntries * kRowHeight + 2;
}

void CBestScoresTable::RedrawRows() {
    SendMessage(LVM_REDRAWITEMS, 0, kBestTimeEntries - 1);
    UpdateWindow();
}

void CBestScoresTable::Reload(const char16_t* gameName) {
    if (gameName != nullptr) {
        table.Init(gameName);
    } else {
        table.Load();
    }
    FillList();
    RedrawRows();
}

void CBestScoresTable::ClearScores() {
    table.Clear();
    FillList();
    RedrawRows();
}

std::wstring CBestScoresTable::GetCellText(int row, int column) const {
    wchar_t text[64] = {};
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = text;
    cell.cchTextMax = 64;
    SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
    return text;
}

BOOL CBestScoresTable::MeasureItem(MEASUREITEMSTRUCT* item) {
    item->itemHeight = kRowHeight;
    return TRUE;
}

BOOL CBestScoresTable::DrawItem(DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    const RECT rc = item->rcItem;
    ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const int w = static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, 0));
    const int row = static_cast<int>(item->itemID);
    const std::wstring name = GetCellText(row, 0);
    const std::wstring time = GetCellText(row, 1);
    RECT nameRect{rc.left + 2, rc.top, rc.left + 2 + w - 4, rc.bottom};
    ::DrawTextW(dc, name.c_str(), -1, &nameRect, DT_VCENTER);
    RECT timeRect{rc.left + w + 2, rc.top, rc.right - 2, rc.bottom};
    ::DrawTextW(dc, time.c_str(), -1, &timeRect, DT_CENTER | DT_VCENTER);
    return TRUE;
}

BOOL CBestScoresTable::OnEraseBkgnd(HDC dc) {
    // The edges the rows leave bare: left, right below the column header,
    // and bottom.
    RECT rc;
    GetClientRect(&rc);
    HBRUSH white = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    const RECT strips[] = {{rc.left, rc.top, rc.left + 2, rc.bottom},
                           {rc.right - 2, rc.top + 16, rc.right, rc.bottom},
                           {rc.left, rc.bottom - 2, rc.right, rc.bottom}};
    for (const RECT& strip : strips) ::FillRect(dc, &strip, white);
    return TRUE;
}

// ---- the clear button

CBestScoresClearButton::CBestScoresClearButton(CBestScoresTable* clearedTable)
    : table(clearedTable), messageBox(&::MessageBoxW) {}

BOOL CBestScoresClearButton::OnCommandReflect(UINT code) {
    if (code != BN_CLICKED) return FALSE;
    OnClicked();
    return TRUE;
}

void CBestScoresClearButton::OnClicked() {
    const std::wstring text = LoadAppString(IDS_CLEAR_CONFIRM_TEXT);
    const std::wstring caption = LoadAppString(IDS_CLEAR_CONFIRM_CAPTION);
    int answer;
    if (clock != nullptr) {
        // No time counts, and no time-up can arrive, while the question is open.
        ClockPause pause(*clock);
        answer = messageBox(hwnd, text.c_str(), caption.c_str(), MB_YESNO);
    } else {
        answer = messageBox(hwnd, text.c_str(), caption.c_str(), MB_YESNO);
    }
    if (answer == IDYES && table != nullptr) table->ClearScores();
}

}  // namespace corvelle
