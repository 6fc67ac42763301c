#include "app/game_dialogs.h"

#include "logic/game_flow.h"
#include "platform/win_app.h"
#include "res/resource.h"

static_assert(corvelle::kLostNewGame == IDC_LOST_NEW_GAME && corvelle::kLostRestart == IDC_LOST_RESTART &&
                  corvelle::kLostUndo == IDC_LOST_UNDO,
              "the game flow acts on the lost dialog's button ids");

namespace corvelle {

CGameWinDlg::CGameWinDlg(CWnd* parent, std::array<char16_t, kLastEnteredNameLength + 1>& enteredName)
    : CDialog(IDD_GAME_WIN, parent), name(enteredName) {}

BOOL CGameWinDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    HWND edit = GetDlgItemHwnd(IDC_WIN_NAME);
    ::SendMessageW(edit, EM_LIMITTEXT, kLastEnteredNameLength, 0);
    name.back() = 0;   // a stored name always ends within its buffer
    if (name[0] != 0) {
        ::SetWindowTextW(edit, reinterpret_cast<const wchar_t*>(name.data()));
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
    }
    ::SetFocus(edit);
    return FALSE;
}

void CGameWinDlg::OnOK() {
    wchar_t text[kLastEnteredNameLength + 1] = {};
    ::GetDlgItemTextW(hwnd, IDC_WIN_NAME, text, static_cast<int>(kLastEnteredNameLength + 1));
    for (size_t i = 0; i < name.size(); ++i)
        name[i] = static_cast<char16_t>(text[i]);
    name.back() = 0;
    CDialog::OnOK();
}

CGameSimpleWinDlg::CGameSimpleWinDlg(CWnd* parent) : CDialog(IDD_GAME_SIMPLE_WIN, parent) {}

CGameLostDlg::CGameLostDlg(bool timeUp, CWnd* parent) : CDialog(IDD_GAME_LOST, parent), lostOnTime(timeUp) {}

BOOL CGameLostDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (lostOnTime) {
        ::SetDlgItemTextW(hwnd, IDC_LOST_TEXT, LoadAppString(IDS_TIME_UP_TEXT).c_str());
        ::ShowWindow(GetDlgItemHwnd(IDC_LOST_RESTART), SW_HIDE);
        ::SetDlgItemTextW(hwnd, IDC_LOST_UNDO, L"Restart");
    }
    return TRUE;
}

BOOL CGameLostDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (HIWORD(wParam) == BN_CLICKED) {
        switch (LOWORD(wParam)) {
        case IDC_LOST_NEW_GAME:
            EndDialog(IDC_LOST_NEW_GAME);
            return TRUE;
        case IDC_LOST_RESTART:
            EndDialog(IDC_LOST_RESTART);
            return TRUE;
        case IDC_LOST_UNDO:
            // In the time-up form this button is the restart.
            EndDialog(lostOnTime ? IDC_LOST_RESTART : IDC_LOST_UNDO);
            return TRUE;
        default:
            break;
        }
    }
    return CDialog::OnCommand(wParam, lParam);
}

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUT, parent) {}

CAboutDlg::~CAboutDlg() {
    if (picture)
        ::DeleteObject(picture);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    picture = ::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT));
    if (picture)
        SendDlgItemMessage(IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
    return TRUE;
}

}  // namespace corvelle
