// CBestScoresTable lists a game's ten best times (owner-drawn report list
// with the columns "Name" and "Time"); CBestScoresClearButton clears them
// after the player confirms, with the game clock paused meanwhile.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "engine/statistics.h"
#include "logic/game_clock.h"
#include "platform/controls.h"

namespace corvelle {

class CBestScoresTable : public CListCtrl {
public:
    explicit CBestScoresTable(const std::u16string& gameName);
    ~CBestScoresTable() override;

    virtual bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void FillList();
    void FitNameColumn();
    // After the font is set: the time column as wide as its heading needs;
    // returns the height that shows the heading and all ten rows.
    int FitToFont();
    // A new game's name, or nullptr to read the same game's table again.
    void Reload(const char16_t* gameName);
    void ClearScores();
    // The text of a row's column (0 name, 1 time).
    std::wstring GetCellText(int row, int column) const;

protected:
    BOOL MeasureItem(MEASUREITEMSTRUCT* item) override;
    BOOL DrawItem(DRAWITEMSTRUCT* item) override;
    BOOL OnEraseBkgnd(HDC dc) override;

private:
    void RedrawRows();
    CBestTimesTable table;
    int timeColumnWidth = 40;
};

class CBestScoresClearButton : public CButton {
public:
    // The confirmation: MessageBoxW's shape (owner, text, caption, type).
    using MessageBoxFn = std::function<int(HWND, const wchar_t*, const wchar_t*, UINT)>;

    explicit CBestScoresClearButton(CBestScoresTable* table);
    // The clock paused while the confirmation is open (none: nothing paused).
    void SetClock(CGameClock* gameClock) { clock = gameClock; }
    void SetMessageBox(MessageBoxFn fn) { messageBox = std::move(fn); }
    void OnClicked();

protected:
    BOOL OnCommandReflect(UINT code) override;

private:
    CBestScoresTable* table;
    CGameClock* clock = nullptr;
    MessageBoxFn messageBox;
};

}  // namespace corvelle
