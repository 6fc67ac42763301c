#include "app/command_bar.h"

#include <cwchar>

#include "platform/drawing.h"
#include "res/resource.h"

namespace corvelle {

namespace {

// The side panel's default width: the bar starts out left of it.
constexpr LONG kInitialPanelWidth = 221;
// Picture resources of each command, in command order.
constexpr uint16_t kBigPictures[kCommandCount] = {IDB_CMD_NEW_BIG,  IDB_CMD_RESTART_BIG, IDB_CMD_SELECT_BIG,
                                                  IDB_CMD_UNDO_BIG, IDB_CMD_HINT_BIG,    IDB_CMD_OPTIONS_BIG};
constexpr uint16_t kSmallPictures[kCommandCount] = {IDB_CMD_NEW_SMALL,  IDB_CMD_RESTART_SMALL, IDB_CMD_SELECT_SMALL,
                                                    IDB_CMD_UNDO_SMALL, IDB_CMD_HINT_SMALL,    IDB_CMD_OPTIONS_SMALL};
constexpr int kBigSize = 32;
constexpr int kSmallSize = 22;
const wchar_t* const kLabels[kCommandCount] = {L"New Game", L"Restart Game", L"Select Solitaire",
                                               L"Undo",     L"Show Next Move", L"Options"};

TBBUTTON CommandButton(int index) {
    TBBUTTON b{};
    b.iBitmap = index;   // the same index in both picture lists
    b.idCommand = static_cast<int>(kFirstBarCommand) + index;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON;
    b.iString = -1;
    return b;
}

// The toolbar's customise dialog of this thread, found by its two lists
// (the available buttons and the bar's buttons); null when none is open.
HWND CustomizeDialog() {
    struct Search {
        HWND found = nullptr;
    } search;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (::IsWindowVisible(window) && ::GetDlgItem(window, kCustomizeAvailableList) != nullptr &&
                ::GetDlgItem(window, kCustomizeBarList) != nullptr) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TBBUTTON SeparatorButton() {
    TBBUTTON b{};
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_SEP;
    b.iString = -1;
    return b;
}

// The six pictures of one size, their green made transparent.
HIMAGELIST LoadPictures(const uint16_t (&ids)[kCommandCount], int size) {
    HIMAGELIST list = ::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, static_cast<int>(kCommandCount), 0);
    if (!list)
        return nullptr;
    for (uint16_t id : ids) {
        HBITMAP bitmap = static_cast<HBITMAP>(
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        const int added = bitmap ? ::ImageList_AddMasked(list, bitmap, kKeyGreen) : -1;
        if (bitmap)
            ::DeleteObject(bitmap);
        if (added < 0) {
            ::ImageList_Destroy(list);
            return nullptr;
        }
    }
    return list;
}

}  // namespace

const wchar_t* CommandBarLabel(int index) {
    return index >= 0 && index < static_cast<int>(kCommandCount) ? kLabels[index] : L"";
}

// ---- the toolbar

CCommandBar::CCommandBar() {
    for (size_t k = 0; k < kCommandCount; ++k)
        std::wcsncpy(labels[k].data(), kLabels[k], labels[k].size() - 1);
}

CCommandBar::~CCommandBar() {
    // The toolbar goes first: it still refers to its picture list.
    DestroyWindow();
    if (bigImages)
        ::ImageList_Destroy(bigImages);
    if (smallImages)
        ::ImageList_Destroy(smallImages);
}

bool CCommandBar::CreateBar(CWnd* host, bool big) {
    RECT r;
    host->GetClientRect(&r);
    if (!Create(WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | TBSTYLE_FLAT | TBSTYLE_CUSTOMERASE | TBSTYLE_TRANSPARENT |
                    CCS_NODIVIDER,
                r, host, IDC_COMMAND_BAR))
        return false;
    // The pictures of the other size are loaded when first shown.
    if (!Pictures(big))
        return false;
    for (size_t k = 0; k < kCommandCount; ++k) {
        const TBBUTTON b = CommandButton(static_cast<int>(k));
        SendMessage(TB_INSERTBUTTONW, k, reinterpret_cast<LPARAM>(&b));
    }
    SetIconSize(big);
    return true;
}

HIMAGELIST CCommandBar::Pictures(bool big) {
    HIMAGELIST& list = big ? bigImages : smallImages;
    if (!list)
        list = big ? LoadPictures(kBigPictures, kBigSize) : LoadPictures(kSmallPictures, kSmallSize);
    return list;
}

void CCommandBar::SetIconSize(bool big) {
    bigIcons = big;
    SetImageList(Pictures(big));
    const int size = big ? kBigSize : kSmallSize;
    SetBitmapSize(size, size);
    // The buttons fit the pictures: a picture and the toolbar's margins.
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(size + 7, size + 6));
    AutoSize();
    Invalidate();
}

void CCommandBar::SaveButtons() {
    snapshot.clear();
    const int count = GetButtonCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        if (GetButton(i, &b))
            snapshot.push_back(b);
    }
}

void CCommandBar::RestoreLayout(uint8_t count, const std::array<uint8_t, kCommandCount>& positions) {
    for (const CommandBarStep& step : CommandBarRestoreSteps(count, positions)) {
        switch (step.kind) {
        case CommandBarStep::kMove:
            SendMessage(TB_MOVEBUTTON, static_cast<WPARAM>(step.from), step.to);
            break;
        case CommandBarStep::kInsertSeparator: {
            const TBBUTTON b = SeparatorButton();
            SendMessage(TB_INSERTBUTTONW, static_cast<WPARAM>(step.to), reinterpret_cast<LPARAM>(&b));
            break;
        }
        case CommandBarStep::kDelete:
            DeleteButton(step.to);
            break;
        }
    }
    AutoSize();
}

std::vector<int> CCommandBar::GetItems() const {
    std::vector<int> items;
    const int count = GetButtonCount();
    for (int i = 0; i < count; ++i) {
        TBBUTTON b{};
        GetButton(i, &b);
        items.push_back((b.fsStyle & BTNS_SEP) ? kBarSeparator : BarCommandIndex(static_cast<uint32_t>(b.idCommand)));
    }
    return items;
}

void CCommandBar::OnReset() { ShowItems(DefaultCommandBarItems()); }

void CCommandBar::ShowItems(const std::vector<int>& items) {
    while (GetButtonCount() > 0)
        DeleteButton(0);
    int place = 0;
    for (int item : items) {
        const TBBUTTON b = item == kBarSeparator ? SeparatorButton() : CommandButton(item);
        SendMessage(TB_INSERTBUTTONW, static_cast<WPARAM>(place++), reinterpret_cast<LPARAM>(&b));
    }
    SetIconSize(bigIcons);
}

void CCommandBar::OnContextMenu() {
    HMENU menu = ::CreatePopupMenu();
    if (!menu)
        return;
    ::AppendMenuW(menu, MF_STRING | (bigIcons ? MF_UNCHECKED : MF_CHECKED), ID_CMDBAR_SMALLICONS, L"Small Icons");
    ::AppendMenuW(menu, MF_STRING | (bigIcons ? MF_CHECKED : MF_UNCHECKED), ID_CMDBAR_BIGICONS, L"Big Icons");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, ID_CMDBAR_CUSTOMIZE, L"Customize...");
    POINT at;
    ::GetCursorPos(&at);
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, hwnd, nullptr));
    ::DestroyMenu(menu);
    // The menu's commands go to the host, which handles them itself.
    if (chosen)
        ::SendMessageW(::GetParent(hwnd), WM_COMMAND, chosen, 0);
}

BOOL CCommandBar::OnNotifyReflect(NMHDR* header, LRESULT* result) {
    switch (header->code) {
    case NM_RCLICK:
        OnContextMenu();
        *result = 0;
        return TRUE;
    case TBN_QUERYINSERT:
    case TBN_QUERYDELETE:
        *result = TRUE;
        return TRUE;
    case TBN_GETBUTTONINFOW: {
        auto* info = reinterpret_cast<NMTOOLBARW*>(header);
        if (info->iItem < 0 || info->iItem >= static_cast<int>(snapshot.size())) {
            *result = FALSE;
            return TRUE;
        }
        info->tbButton = snapshot[static_cast<size_t>(info->iItem)];
        const int index = BarCommandIndex(static_cast<uint32_t>(info->tbButton.idCommand));
        if (index != kBarSeparator) {
            const wchar_t* label = labels[static_cast<size_t>(index)].data();
            info->tbButton.iString = reinterpret_cast<INT_PTR>(label);
            if (info->pszText && info->cchText > 0) {
                std::wcsncpy(info->pszText, label, static_cast<size_t>(info->cchText) - 1);
                info->pszText[info->cchText - 1] = 0;
            }
        }
        *result = TRUE;
        return TRUE;
    }
    case TBN_RESET: {
        OnReset();
        // The dialog's two lists still show the layout it opened with, and
        // it does not fill them again: it is closed (its Close button) and
        // opened anew on the default layout.
        if (HWND dialog = CustomizeDialog()) {
            reopenCustomize = true;
            ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        *result = TRUE;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// ---- the host window

void CCommandBarWnd::Place(const RECT& rect, bool visible) {
    ShowWindow(visible ? SW_SHOWNA : SW_HIDE);
    MoveWindow(rect, FALSE);
    bar.AutoSize();
    ::RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CCommandBarWnd::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    if (bar.GetSafeHwnd())
        bar.AutoSize();
}

void CCommandBarWnd::OnSmallIcons() {
    bar.SetIconSize(false);
    host.GetPrefs().commandBarIconType = 0;
    host.RecalcLayout();
}

void CCommandBarWnd::OnBigIcons() {
    bar.SetIconSize(true);
    host.GetPrefs().commandBarIconType = 1;
    host.RecalcLayout();
}

void CCommandBarWnd::OnCustomize() {
    do {
        bar.Customize();
    } while (bar.TakeReopenCustomize());
    StoreLayout();
}

void CCommandBarWnd::StoreLayout() {
    // The bar shows at once what the next start restores.
    const std::vector<int> items = bar.GetItems();
    const std::vector<int> kept = FitCommandBar(items);
    if (kept != items) {
        bar.ShowItems(kept);
        host.RecalcLayout();
    }
    const CommandBarLayout layout = StoreCommandBarLayout(kept);
    host.GetPrefs().commandBarButtonsNum = layout.count;
    host.GetPrefs().commandBarButtons = layout.positions;
}

BOOL CCommandBarWnd::OnCommand(WPARAM wParam, LPARAM) {
    const UINT id = LOWORD(wParam);
    if (BarCommandIndex(id) != kBarSeparator) {
        host.OnBarCommand(id);
        return TRUE;
    }
    switch (id) {
    case ID_CMDBAR_SMALLICONS: OnSmallIcons(); return TRUE;
    case ID_CMDBAR_BIGICONS: OnBigIcons(); return TRUE;
    case ID_CMDBAR_CUSTOMIZE: OnCustomize(); return TRUE;
    default: return FALSE;
    }
}

BOOL CCommandBarWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && (header->code == TTN_GETDISPINFOW || header->code == TTN_GETDISPINFOA))
        return OnToolTipText(header, result);
    return FALSE;
}

BOOL CCommandBarWnd::OnToolTipText(NMHDR* header, LRESULT* result) {
    UINT_PTR id = header->idFrom;
    const UINT flags = header->code == TTN_GETDISPINFOW ? reinterpret_cast<NMTTDISPINFOW*>(header)->uFlags
                                                        : reinterpret_cast<NMTTDISPINFOA*>(header)->uFlags;
    if (flags & TTF_IDISHWND)
        id = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    const int index = id <= 0xFFFF ? BarCommandIndex(static_cast<uint32_t>(id)) : kBarSeparator;
    if (index == kBarSeparator)
        return FALSE;
    const wchar_t* label = kLabels[index];
    if (header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        std::wcsncpy(info->szText, label, std::size(info->szText) - 1);
        info->szText[std::size(info->szText) - 1] = 0;
        info->lpszText = info->szText;
        info->hinst = nullptr;
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, label, -1, info->szText, static_cast<int>(std::size(info->szText)),
                              nullptr, nullptr);
        info->szText[std::size(info->szText) - 1] = 0;
        info->lpszText = info->szText;
        info->hinst = nullptr;
    }
    *result = 0;
    ::SetWindowPos(header->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return TRUE;
}

std::unique_ptr<CCommandBarWnd> CreateCommandBar(CommandBarHost& host) {
    CWnd* parent = host.GetBarParent();
    auto bar = std::make_unique<CCommandBarWnd>(host);
    RECT r;
    parent->GetClientRect(&r);
    r.right -= kInitialPanelWidth;
    r.bottom = r.top + kCommandBarHeightBig;
    if (!bar->Create(L"CommandBar", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r, parent, IDC_COMMAND_BAR))
        return nullptr;
    const AppPreferences& prefs = host.GetPrefs();
    if (!bar->bar.CreateBar(bar.get(), prefs.commandBarIconType != 0))
        return nullptr;
    bar->bar.SaveButtons();
    bar->bar.RestoreLayout(prefs.commandBarButtonsNum, prefs.commandBarButtons);
    return bar;
}

}  // namespace corvelle
