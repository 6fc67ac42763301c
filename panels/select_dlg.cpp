#include "panels/select_dlg.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "engine/registry.h"
#include "panels/sol_select_popups.h"
#include "platform/drawing.h"
#include "res/resource.h"

namespace corvelle {

namespace {

constexpr int32_t kIconSize = 15;
constexpr int32_t kTimeIconWidth = 14;
constexpr int32_t kDifficultyIconStep = 10;
const char16_t kPrefsKeyName[] = u"prefs";
const char16_t kSelectWindowPosName[] = u"selectWindowPos";

std::u16string GameNameString(uint32_t position) {
    wchar_t buffer[256];
    const int n = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(kGameNameStringBase + position), buffer,
                                static_cast<int>(std::size(buffer)));
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), n > 0 ? static_cast<size_t>(n) : 0);
}

int32_t TextWidth(HDC dc, const std::u16string& text) {
    SIZE size{};
    ::GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str()), static_cast<int>(text.size()), &size);
    return size.cx;
}

}  // namespace

CSelectDlg::CSelectDlg(CSelectHost* selectHost)
    : CDialog(IDD_SELECT, selectHost->GetSelectOwner()), host(selectHost),
      games(BuildGameTable(LoadGameTables(), GameNameString)),
      filter(selectHost->GetSelectPreferences().filter), initial(selectHost->GetSelectPreferences().curSolId) {}

CSelectDlg::~CSelectDlg() {
    host->GetSelectPreferences().filter = filter;
    panel.reset();
    if (icon) ::DestroyIcon(icon);
    if (smallIcon) ::DestroyIcon(smallIcon);
}

uint32_t CSelectDlg::GameAtRow(int row) const {
    return row >= 0 && static_cast<size_t>(row) < rows.size() ? rows[static_cast<size_t>(row)] : kNoGame;
}

uint32_t CSelectDlg::MarkedGame() const {
    if (!list.GetSafeHwnd()) return kNoGame;
    return GameAtRow(list.GetSelectionMark());
}

int CSelectDlg::RowOfGame(uint32_t position) const {
    auto it = std::find(rows.begin(), rows.end(), position);
    return it == rows.end() || position >= kNoGame ? -1 : static_cast<int>(it - rows.begin());
}

BOOL CSelectDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    icon = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_CORVELLE), IMAGE_ICON, 32, 32, 0));
    smallIcon = static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(IDI_CORVELLE), IMAGE_ICON, 16, 16, 0));
    if (icon) SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    if (smallIcon) SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    if (!list.SubclassDlgItem(IDC_SELECT_LIST, this)) return -1;
    InitList();
    panel = CreateSelectPopups(host, this);
    // Without its panel the dialog cannot show a game: it ends at once and
    // the main window keeps its game.
    if (!panel) return -1;
    // The list keeps room for its columns beside the panel, also while the
    // panel's edge is dragged.
    panel->SetKeptParentWidth(static_cast<uint32_t>(SelectPanelRoom(listMinWidth)));
    SetTimer(kSelectTimerId, kSelectTimerMs);
    // The placement, the layout and the first game each change the panel:
    // it is laid out once, after all of them.
    panel->DeferLayout(true);
    LoadWindowPos();
    RecalcLayout();
    SelectGame(initial, true);
    LayOutPanelNow();
    return TRUE;
}

void CSelectDlg::InitList() {
    // The rows are measured again with the font: by then this dialog answers
    // the measurement (the template's list asked before it was bound).
    list.SendMessage(WM_SETFONT, list.SendMessage(WM_GETFONT), FALSE);
    list.InsertColumn(0, L"Name", LVCFMT_CENTER, 150);
    const wchar_t* const headings[] = {L"Fav", L"Cat", L"Diff", L"Time"};
    for (int i = 0; i < 4; ++i) list.InsertColumn(i + 1, headings[i], LVCFMT_CENTER, 40);
    FillList();
    const int row = RowOfGame(initial);
    if (row >= 0) list.SetSelectionMark(row);
    // Its columns, a vertical scroll bar and its border: the list never
    // gets narrower.
    int columns = 0;
    for (int i = 0; i < 5; ++i) columns += static_cast<int>(list.SendMessage(LVM_GETCOLUMNWIDTH, i));
    RECT window, client;
    list.GetWindowRect(&window);
    list.GetClientRect(&client);
    const int scrollBar = ::GetSystemMetrics(SM_CXVSCROLL);
    const int shownBar = (::GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) != 0 ? scrollBar : 0;
    listMinWidth = columns + scrollBar + (window.right - window.left) - client.right - shownBar;
}

void CSelectDlg::FillList() {
    rows = FilterGames(games, filter, host->GetSelectPreferences().favorites);
    tracker.OnRefill();
    if (!list.GetSafeHwnd()) return;
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    list.DeleteAllItems();
    // Item data is the game's position, kNoGame for the placeholder row.
    list.SendMessage(LVM_SETITEMCOUNT, rows.size());
    for (size_t i = 0; i < rows.size(); ++i) list.InsertItem(static_cast<int>(i), L"", rows[i]);
    list.SetSelectionMark(-1);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    list.Invalidate();
    // Rows deleted above may have told of a lost selection meanwhile.
    tracker.OnRefill();
}

void CSelectDlg::SelectGame(uint32_t position, bool clearFilters) {
    int row = RowOfGame(position);
    if (row < 0 && clearFilters && position < games.size() && panel) {
        panel->ResetFilters();
        row = RowOfGame(position);
    }
    if (row < 0) return;
    list.SetItemState(-1, 0, 0xFF);
    list.SetItemState(row, LVIS_FOCUSED | LVIS_SELECTED, 0xFF);
    list.SetSelectionMark(row);
    list.EnsureVisible(row, FALSE);
    tracker.OnSelected(position);
    UpdateInfoPanel();
}

void CSelectDlg::UpdateInfoPanel() {
    if (!panel) return;
    uint32_t position = 0;
    const SelectionTracker::Step step = tracker.Update(&position);
    if (step == SelectionTracker::Step::None) return;
    // Each region whose content changes would lay the whole panel out:
    // it is laid out once, when all have changed.
    const bool deferred = panel->IsLayoutDeferred();
    panel->DeferLayout(true);
    if (step == SelectionTracker::Step::Clear) {
        panel->ShowGameInfo(false);
    } else {
        panel->ShowGame(position);
        panel->ShowGameInfo(true);
    }
    if (!deferred) LayOutPanelNow();
}

void CSelectDlg::LayOutPanelNow() {
    panel->DeferLayout(false);
    panel->RepositionRegions(RegionLayout::Full);
    panel->RedrawNow();
}

void CSelectDlg::RecalcLayout() {
    if (!panel || !list.GetSafeHwnd()) return;
    RECT c;
    GetClientRect(&c);
    const SelectDialogLayout layout =
        LayOutSelectDialog(c.right, c.bottom, static_cast<int32_t>(host->GetSelectPreferences().selectPopupsWidth),
                           static_cast<int32_t>(kSelectPopupsMinWidth), listMinWidth);
    // One batch, each window redrawn where it moved: what a move uncovers
    // (rows of a list that shrank, buttons that moved) is painted anew.
    struct Placed {
        HWND window;
        PlacementRect at;
    };
    const Placed placed[] = {{panel->GetSafeHwnd(), layout.panel},
                             {list.GetSafeHwnd(), layout.list},
                             {GetDlgItemHwnd(IDOK), layout.play},
                             {GetDlgItemHwnd(IDCANCEL), layout.cancel}};
    HDWP batch = ::BeginDeferWindowPos(4);
    for (const Placed& p : placed) {
        if (batch != nullptr && p.window != nullptr)
            batch = ::DeferWindowPos(batch, p.window, nullptr, p.at.left, p.at.top, p.at.right - p.at.left,
                                     p.at.bottom - p.at.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch != nullptr) ::EndDeferWindowPos(batch);
    // An edge drag narrowed the panel before this layout, without a
    // repaint: what it uncovered beside the list is painted anew too.
    const RECT beside{layout.panel.right, c.top, c.right, c.bottom};
    ::InvalidateRect(hwnd, &beside, TRUE);
    panel->RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::EraseChildren);
    panel->RedrawNow();
}

void CSelectDlg::OnPlay(uint32_t position) {
    host->GetSelectPreferences().curSolId = position < games.size() ? position : initial;
    SaveWindowPos();
    EndDialog(IDOK);
}

void CSelectDlg::OnOK() { OnPlay(MarkedGame()); }

void CSelectDlg::OnCancel() {
    host->GetSelectPreferences().curSolId = initial;
    SaveWindowPos();
    EndDialog(IDCANCEL);
}

void CSelectDlg::OnAddToFavorites(uint32_t position) {
    const CGameEntry* entry = GetGameEntry(position);
    if (!entry) return;
    AddFavorite(host->GetSelectPreferences().favorites, entry->id);
    RedrawGame(position);
}

void CSelectDlg::OnRemoveFromFavorites(uint32_t position) {
    const CGameEntry* entry = GetGameEntry(position);
    if (!entry) return;
    RemoveFavorite(host->GetSelectPreferences().favorites, entry->id);
    if (filter.favoritesOnly) {
        // The game leaves the list; the others keep their selection.
        const uint32_t marked = MarkedGame();
        FillList();
        if (marked != position && marked != kNoGame) SelectGame(marked, false);
    } else {
        RedrawGame(position);
    }
}

void CSelectDlg::RedrawGame(uint32_t position) {
    const int row = RowOfGame(position);
    if (row >= 0) list.SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

BOOL CSelectDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case ID_SELECT_PLAY: OnOK(); return TRUE;
    case ID_SELECT_ADD_FAVORITE: OnAddToFavorites(MarkedGame()); return TRUE;
    case ID_SELECT_REMOVE_FAVORITE: OnRemoveFromFavorites(MarkedGame()); return TRUE;
    default: return CDialog::OnCommand(wParam, lParam);
    }
}

BOOL CSelectDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->idFrom == IDC_SELECT_LIST) {
        switch (header->code) {
        case NM_DBLCLK: {
            const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
            const uint32_t game = GameAtRow(click->iItem);
            if (game < games.size()) OnPlay(game);
            *result = 0;
            return TRUE;
        }
        case NM_RCLICK:
            OnListRClick(reinterpret_cast<const NMITEMACTIVATE*>(lParam));
            *result = 0;
            return TRUE;
        case LVN_ITEMCHANGED:
            OnListItemChanged(reinterpret_cast<const NMLISTVIEW*>(lParam));
            *result = 0;
            return TRUE;
        default: break;
        }
    }
    return CDialog::OnNotify(wParam, lParam, result);
}

void CSelectDlg::OnListItemChanged(const NMLISTVIEW* change) {
    if (!(change->uChanged & LVIF_STATE)) return;
    const uint32_t game = GameAtRow(change->iItem);
    const bool was = (change->uOldState & LVIS_SELECTED) != 0;
    const bool is = (change->uNewState & LVIS_SELECTED) != 0;
    if (was && !is)
        tracker.OnDeselected(game);
    else if (is && !was)
        tracker.OnSelected(game);
}

void CSelectDlg::OnListRClick(const NMITEMACTIVATE* click) {
    const uint32_t game = GameAtRow(click->iItem);
    const CGameEntry* entry = GetGameEntry(game);
    if (!entry) return;
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return;
    const bool favourite = host->GetSelectPreferences().favorites.IsFavorite(entry->id);
    ::AppendMenuW(menu, MF_STRING, ID_SELECT_PLAY, L"Play");
    ::AppendMenuW(menu, MF_STRING, favourite ? ID_SELECT_REMOVE_FAVORITE : ID_SELECT_ADD_FAVORITE,
                  favourite ? L"Remove From Favorites" : L"Add To Favorites");
    ::SetMenuDefaultItem(menu, 0, TRUE);
    POINT at;
    ::GetCursorPos(&at);
    // The command is taken here and acts on the clicked game, whichever row
    // carries the selection mark.
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, hwnd, nullptr));
    ::DestroyMenu(menu);
    switch (command) {
    case ID_SELECT_PLAY: OnPlay(game); break;
    case ID_SELECT_ADD_FAVORITE: OnAddToFavorites(game); break;
    case ID_SELECT_REMOVE_FAVORITE: OnRemoveFromFavorites(game); break;
    default: break;
    }
}

void CSelectDlg::OnMeasureItem(int id, MEASUREITEMSTRUCT* item) {
    if (id == IDC_SELECT_LIST && item->CtlType == ODT_LISTVIEW) {
        item->itemHeight = kSelectRowHeight;
        return;
    }
    CDialog::OnMeasureItem(id, item);
}

void CSelectDlg::OnDrawItem(int id, DRAWITEMSTRUCT* item) {
    if (id == IDC_SELECT_LIST && item->CtlType == ODT_LISTVIEW) {
        DrawRow(item);
        return;
    }
    CDialog::OnDrawItem(id, item);
}

void CSelectDlg::DrawRow(const DRAWITEMSTRUCT* item) {
    HDC dc = item->hDC;
    const RECT& r = item->rcItem;
    const uint32_t game = GameAtRow(static_cast<int>(item->itemID));
    const CGameEntry* entry = GetGameEntry(game);
    const bool selected = entry && (item->itemState & ODS_SELECTED);
    ::FillRect(dc, &r, selected ? ::GetSysColorBrush(COLOR_HIGHLIGHT) : static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkColor(dc, selected ? ::GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255));
    ::SetTextColor(dc, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
    int widths[5];
    for (int i = 0; i < 5; ++i) widths[i] = static_cast<int>(list.SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i)));
    RECT name{r.left + 2, r.top, r.left + 2 + widths[0] - 4, r.bottom};
    if (!entry) {
        ::DrawTextW(dc, L"<no solitaires>", -1, &name, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        const std::u16string shown =
            FitWithEllipsis(entry->name, name.right - name.left, [dc](const std::u16string& s) { return TextWidth(dc, s); });
        ::DrawTextW(dc, reinterpret_cast<const wchar_t*>(shown.c_str()), static_cast<int>(shown.size()), &name,
                    DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        int left = r.left + widths[0];
        auto drawIcon = [&](int column, uint16_t bitmap, int32_t width) {
            const int columnWidth = widths[column];
            if (columnWidth >= width) DrawBitmapTransparent(dc, left + (columnWidth - width) / 2, r.top, bitmap, kKeyGreen);
            left += columnWidth;
        };
        const bool favourite = host->GetSelectPreferences().favorites.IsFavorite(entry->id);
        if (favourite)
            drawIcon(1, IDB_FAVOURITE, kIconSize);
        else
            left += widths[1];
        if (entry->category != kCategoryOtherFilter)
            drawIcon(2, static_cast<uint16_t>(IDB_CATEGORY + entry->category - 1), kIconSize);
        else
            left += widths[2];
        drawIcon(3, static_cast<uint16_t>(IDB_DIFFICULTY + entry->difficulty - 1),
             static_cast<int32_t>(entry->difficulty) * kDifficultyIconStep);
        drawIcon(4, static_cast<uint16_t>(IDB_TIME_CLASS + entry->timeClass - 1), kTimeIconWidth);
    }
    ::SetBkColor(dc, RGB(255, 255, 255));
    ::SetTextColor(dc, RGB(0, 0, 0));
}

void CSelectDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    RecalcLayout();
}

void CSelectDlg::OnTimer(UINT_PTR id) {
    if (id == kSelectTimerId) {
        UpdateInfoPanel();
        return;
    }
    CDialog::OnTimer(id);
}

void CSelectDlg::OnGetMinMaxInfo(MINMAXINFO* info) {
    CDialog::OnGetMinMaxInfo(info);
    info->ptMinTrackSize.x = kSelectMinWidth;
    info->ptMinTrackSize.y = kSelectMinHeight;
}

void CSelectDlg::OnDestroy() {
    KillTimer(kSelectTimerId);
    CDialog::OnDestroy();
}

void CSelectDlg::SaveWindowPos() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!::GetWindowPlacement(hwnd, &placement)) return;
    CRegistryKey key;
    if (key.Create(ProgramSubKey(kPrefsKeyName))) key.WriteBinary(kSelectWindowPosName, &placement, sizeof placement);
}

void CSelectDlg::LoadWindowPos() {
    CRegistryKey key;
    bool created = false;
    if (!key.Create(ProgramSubKey(kPrefsKeyName), &created) || created) return;
    WINDOWPLACEMENT placement{};
    static_assert(sizeof placement == kWindowPlacementSize, "the stored placement is 44 bytes");
    if (!key.ReadBinaryExact(kSelectWindowPosName, &placement, sizeof placement)) return;
    // A stored size of any value: made to fit the monitor's work area and
    // the dialog's smallest size, then centred over the owner.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    if (!::GetMonitorInfoW(::MonitorFromWindow(owner ? owner : hwnd, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    const RECT& n = placement.rcNormalPosition;
    PlacementRect size = ClampPlacement({n.left, n.top, n.right, n.bottom},
                                        {work.left, work.top, work.right, work.bottom}, kSelectMinWidth,
                                        kSelectMinHeight);
    const int32_t w = size.right - size.left, h = size.bottom - size.top;
    RECT over{};
    if (owner)
        ::GetWindowRect(owner, &over);
    else
        over = work;
    const PlacementRect centred =
        ClampPlacement({(over.left + over.right - w) / 2, (over.top + over.bottom - h) / 2,
                        (over.left + over.right - w) / 2 + w, (over.top + over.bottom - h) / 2 + h},
                       {work.left, work.top, work.right, work.bottom}, kSelectMinWidth, kSelectMinHeight);
    ::SetWindowPos(hwnd, nullptr, centred.left, centred.top, centred.right - centred.left,
                   centred.bottom - centred.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR RunSelectDialog(CSelectHost* host) {
    CSelectDlg dialog(host);
    const INT_PTR result = dialog.DoModal();
    if (result != IDOK) host->GetSelectPreferences().curSolId = dialog.GetInitialPosition();
    return result;
}

}  // namespace corvelle
