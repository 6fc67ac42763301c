// The small modal dialogs of the main window: the two win dialogs (with and
// without the name for a best time), the lost dialog (no move left, or time
// up in a timed game) and the about box. Each lives for one DoModal on the
// caller's stack; the caller pauses the game clock around it.
#pragma once

#include <array>

#include "logic/preferences.h"
#include "platform/dialog.h"

namespace corvelle {

// Won with a time that enters the best times: asks for the player's name.
// It shows `name` (the last name entered) selected, and on OK stores what
// the player typed (at most 15 characters) back into it.
class CGameWinDlg : public CDialog {
public:
    CGameWinDlg(CWnd* parent, std::array<char16_t, kLastEnteredNameLength + 1>& name);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    std::array<char16_t, kLastEnteredNameLength + 1>& name;
};

// Won otherwise.
class CGameSimpleWinDlg : public CDialog {
public:
    explicit CGameSimpleWinDlg(CWnd* parent = nullptr);
};

// No move left: ends with 1004 (new game), 1005 (restart) or 1006 (undo).
// Time up: only "New Game" (1004) and "Restart" (1005) are offered.
// Enter, Esc and the close box end it with IDOK / IDCANCEL.
class CGameLostDlg : public CDialog {
public:
    explicit CGameLostDlg(bool timeUp, CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    bool lostOnTime;
};

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent);
    ~CAboutDlg() override;

protected:
    BOOL OnInitDialog() override;

private:
    HBITMAP picture = nullptr;
};

}  // namespace corvelle
