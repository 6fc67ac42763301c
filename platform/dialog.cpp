// Dialogs: creation from a template with the object bound from the first
// message, the modal loop of DoModal, and the standard OK / Cancel ending.
#include "platform/dialog.h"

#include "platform/win_app.h"

namespace corvelle {

namespace {

// The dialog's own procedure does nothing: the object sees every message
// first (the dialog window is subclassed) and leaves the rest to the dialog
// manager.
INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

}  // namespace

CDialog::CDialog(UINT id, CWnd* parent) : templateId(id), parentWnd(parent) {}

CDialog::CDialog(const DLGTEMPLATE* dialogTemplate, CWnd* parent)
    : memoryTemplate(dialogTemplate), parentWnd(parent) {}

const DLGTEMPLATE* CDialog::LoadTemplate() const {
    if (memoryTemplate != nullptr) return memoryTemplate;
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(5));
    if (found == nullptr) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    return loaded != nullptr ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

namespace {

// The owner of a dialog: the given parent's top-level window, else the
// application's main window.
HWND OwnerOf(CWnd* parent, const CWnd* dialog) {
    HWND owner = parent != nullptr ? parent->GetSafeHwnd() : nullptr;
    if (owner == nullptr && GetApp() != nullptr && GetApp()->GetMainWnd() != dialog &&
        GetApp()->GetMainWnd() != nullptr) {
        owner = GetApp()->GetMainWnd()->GetSafeHwnd();
    }
    if (owner != nullptr) owner = ::GetAncestor(owner, GA_ROOT);
    return owner;
}

}  // namespace

bool CDialog::CreateModeless() {
    if (hwnd != nullptr) return false;
    const DLGTEMPLATE* dialogTemplate = LoadTemplate();
    if (dialogTemplate == nullptr) return false;
    HWND window = CreateBoundDialog(this, dialogTemplate, OwnerOf(parentWnd, this), &PassiveDialogProc);
    if (window == nullptr) return false;
    if (hwnd != window) {
        ::DestroyWindow(window);
        return false;
    }
    ownsWindow = true;
    return true;
}

INT_PTR CDialog::DoModal() {
    if (hwnd != nullptr) return -1;
    HWND owner = OwnerOf(parentWnd, this);
    bool disabledOwner = false;
    if (owner != nullptr && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        disabledOwner = true;
    }
    modal = true;
    ended = false;
    modalResult = -1;
    bool made = CreateModeless();
    if (made && !ended && hwnd != nullptr) {
        if (!::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);
        while (!ended) {
            MSG message;
            BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
            if (got == 0) {
                // WM_QUIT ends this run; posted again for the loops outside.
                ::PostQuitMessage(static_cast<int>(message.wParam));
                modalResult = -1;
                break;
            }
            if (got == -1) {
                modalResult = -1;
                break;
            }
            CWinApp* app = GetApp();
            if (app != nullptr && app->ProcessMessageFilter(MSGF_DIALOGBOX, &message)) continue;
            if (hwnd != nullptr && ::IsDialogMessageW(hwnd, &message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    INT_PTR result = made ? modalResult : -1;
    // The owner is enabled before the dialog goes, so the activation returns
    // to it and not to another program's window.
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (hwnd != nullptr) {
        if (owner != nullptr && ::GetActiveWindow() == hwnd) ::SetActiveWindow(owner);
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(hwnd);
    }
    if (owner != nullptr && ::IsWindow(owner) && ::GetActiveWindow() == nullptr) {
        ::SetActiveWindow(owner);
    }
    modal = false;
    return result;
}

void CDialog::EndDialog(INT_PTR result) {
    modalResult = result;
    ended = true;
    if (hwnd == nullptr) return;
    if (modal) {
        // Wakes the loop when the call came from outside a dispatched message.
        ::PostMessageW(hwnd, WM_NULL, 0, 0);
    } else {
        ::ShowWindow(hwnd, SW_HIDE);
    }
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_INITDIALOG) {
        RECT before;
        ::GetWindowRect(hwnd, &before);
        BOOL answer = OnInitDialog();
        if (answer == -1) {
            // A dialog that could not set itself up must not run half made.
            EndDialog(-1);
            answer = FALSE;
        } else {
            CenterUnlessPlaced(before);
        }
        *result = answer;
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

void CDialog::CenterUnlessPlaced(const RECT& before) const {
    // Only a top-level dialog still hidden (the dialog manager shows it
    // after this message), one that did not move itself, and one whose
    // owner is disabled for its run or that has none: a modeless dialog
    // beside a working owner stays where it was made.
    const LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
    if ((style & (WS_VISIBLE | WS_CHILD)) != 0) return;
    RECT now;
    ::GetWindowRect(hwnd, &now);
    if (now.left != before.left || now.top != before.top) return;
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowEnabled(owner)) return;
    CenterWindow();
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM) {
    // IDOK / IDCANCEL from their buttons (BN_CLICKED is 0), from the
    // keyboard through IsDialogMessage, or from the close box.
    if (HIWORD(wParam) != 0) return FALSE;
    if (LOWORD(wParam) == IDOK) {
        OnOK();
        return TRUE;
    }
    if (LOWORD(wParam) == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

void CDialog::PostNcDestroy() {
    // The window went away without EndDialog (its owner was destroyed):
    // the modal run ends and reports the failure.
    if (modal && !ended) {
        ended = true;
        modalResult = -1;
    }
}

}  // namespace corvelle
