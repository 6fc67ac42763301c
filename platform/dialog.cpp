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

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId), parent_(parent) {}

CDialog::CDialog(const DLGTEMPLATE* dialogTemplate, CWnd* parent)
    : template_(dialogTemplate), parent_(parent) {}

const DLGTEMPLATE* CDialog::LoadTemplate() const {
    if (template_ != nullptr) return template_;
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId_), MAKEINTRESOURCEW(5));
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
    if (hwnd_ != nullptr) return false;
    const DLGTEMPLATE* dialogTemplate = LoadTemplate();
    if (dialogTemplate == nullptr) return false;
    HWND window = CreateBoundDialog(this, dialogTemplate, OwnerOf(parent_, this), &PassiveDialogProc);
    if (window == nullptr) return false;
    if (hwnd_ != window) {
        ::DestroyWindow(window);
        return false;
    }
    ownsWindow_ = true;
    return true;
}

INT_PTR CDialog::DoModal() {
    if (hwnd_ != nullptr) return -1;
    HWND owner = OwnerOf(parent_, this);
    bool disabledOwner = false;
    if (owner != nullptr && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        disabledOwner = true;
    }
    modal_ = true;
    ended_ = false;
    result_ = -1;
    bool made = CreateModeless();
    if (made && !ended_ && hwnd_ != nullptr) {
        if (!::IsWindowVisible(hwnd_)) ::ShowWindow(hwnd_, SW_SHOWNORMAL);
        while (!ended_) {
            MSG message;
            BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
            if (got == 0) {
                // WM_QUIT ends this run; posted again for the loops outside.
                ::PostQuitMessage(static_cast<int>(message.wParam));
                result_ = -1;
                break;
            }
            if (got == -1) {
                result_ = -1;
                break;
            }
            CWinApp* app = GetApp();
            if (app != nullptr && app->ProcessMessageFilter(MSGF_DIALOGBOX, &message)) continue;
            if (hwnd_ != nullptr && ::IsDialogMessageW(hwnd_, &message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    INT_PTR result = made ? result_ : -1;
    // The owner is enabled before the dialog goes, so the activation returns
    // to it and not to another program's window.
    if (disabledOwner) ::EnableWindow(owner, TRUE);
    if (hwnd_ != nullptr) {
        if (owner != nullptr && ::GetActiveWindow() == hwnd_) ::SetActiveWindow(owner);
        ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(hwnd_);
    }
    if (owner != nullptr && ::IsWindow(owner) && ::GetActiveWindow() == nullptr) {
        ::SetActiveWindow(owner);
    }
    modal_ = false;
    return result;
}

void CDialog::EndDialog(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (hwnd_ == nullptr) return;
    if (modal_) {
        // Wakes the loop when the call came from outside a dispatched message.
        ::PostMessageW(hwnd_, WM_NULL, 0, 0);
    } else {
        ::ShowWindow(hwnd_, SW_HIDE);
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
        ::GetWindowRect(hwnd_, &before);
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
    const LONG style = ::GetWindowLongW(hwnd_, GWL_STYLE);
    if ((style & (WS_VISIBLE | WS_CHILD)) != 0) return;
    RECT now;
    ::GetWindowRect(hwnd_, &now);
    if (now.left != before.left || now.top != before.top) return;
    HWND owner = ::GetWindow(hwnd_, GW_OWNER);
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
    if (modal_ && !ended_) {
        ended_ = true;
        result_ = -1;
    }
}

}  // namespace corvelle
