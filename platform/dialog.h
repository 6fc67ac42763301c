// The dialog base class: a dialog made from a dialog resource (or an
// in-memory template) as a modeless dialog underneath, run by DoModal in a
// modal loop of its own that disables the owner, offers every message to the
// application's ProcessMessageFilter before IsDialogMessage, and returns the
// EndDialog code. OnInitDialog, OnOK and OnCancel are virtual.
#pragma once

#include "platform/wnd.h"

namespace corvelle {

class CDialog : public CWnd {
public:
    // Dialog resource `templateId` of the program's module; parent is the
    // owner (nullptr: the application's main window, when there is one).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    // An in-memory template (it must outlive the dialog's creation).
    explicit CDialog(const DLGTEMPLATE* dialogTemplate, CWnd* parent = nullptr);

    // Creates the dialog and runs it until EndDialog: the owner is disabled
    // meanwhile, then enabled again and activated. Returns the EndDialog
    // code, or -1 when the dialog could not be made, when OnInitDialog
    // returned -1, or when the window was destroyed without EndDialog.
    // Modal runs nest: a dialog may run another from any handler.
    virtual INT_PTR DoModal();
    // Ends the modal run with `result` (from any handler, OnInitDialog too).
    void EndDialog(INT_PTR result);

    // Creates the dialog modeless (visible when the template says so); the
    // object destroys it when it goes.
    bool CreateModeless();

protected:
    // WM_INITDIALOG: TRUE lets the dialog set the focus to its first
    // control, FALSE means the handler set it. -1 means initialisation
    // failed: the dialog ends at once and DoModal returns -1. Afterwards a
    // dialog that did not place or show itself here, and whose owner is
    // disabled (a modal run) or that has none, is centred over its owner
    // (CenterWindow).
    virtual BOOL OnInitDialog();
    // IDOK and IDCANCEL (Enter, Esc, the close box): the base versions end
    // the dialog with IDOK / IDCANCEL.
    virtual void OnOK();
    virtual void OnCancel();

    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    const DLGTEMPLATE* LoadTemplate() const;
    // The centring after WM_INITDIALOG; `before` is where the dialog was
    // made.
    void CenterUnlessPlaced(const RECT& before) const;

    UINT templateId = 0;
    const DLGTEMPLATE* memoryTemplate = nullptr;
    CWnd* parentWnd = nullptr;
    bool modal = false;       // inside DoModal's loop
    bool ended = false;       // EndDialog was called (or the window went away)
    INT_PTR modalResult = -1;
};

}  // namespace corvelle
