// CSelectDlg: the modal dialog "Select Solitaire" in which the player picks
// a game. An owner-drawn report list shows every game that passes the
// filter (name, favourite mark, category, difficulty and time icons), the
// side panel at its left (CSolSelectPopups) shows the highlighted game and
// holds the filter controls. Play, a double-click or the context menu's
// Play leave the chosen game's position in the preferences' curSolId;
// Cancel leaves the position it had when the dialog opened. The filter is
// written back to the preferences whichever way the dialog ends.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "logic/preferences.h"
#include "panels/game_selection.h"
#include "platform/controls.h"
#include "platform/dialog.h"

namespace corvelle {

class CGameEngine;
class CPreviewImageCache;
class CRelatedSolsTable;
class CSolGameField;
class CSolSelectPopups;
class CFont;

// The dialog's timer and list rows (its resource, control and command ids
// are in res/resource.h).
constexpr UINT kSelectTimerId = 1;
constexpr UINT kSelectTimerMs = 50;
constexpr int32_t kSelectRowHeight = 15;
// The smallest size of the dialog (and of a restored placement).
constexpr int32_t kSelectMinWidth = 600;
constexpr int32_t kSelectMinHeight = 450;

// What the dialog needs of the main window.
class CSelectHost {
public:
    virtual ~CSelectHost() = default;
    virtual CWnd* GetSelectOwner() = 0;
    virtual AppPreferences& GetSelectPreferences() = 0;
    // The engine and field that hold the previewed game.
    virtual CGameEngine* GetSelectEngine() = 0;
    virtual CSolGameField* GetSelectField() = 0;
    // Makes `position` the current game without any visible effect on the
    // main window: loaded, its game in progress restored or a new deal made,
    // the field rebuilt but not drawn, the clock untouched.
    virtual void PreviewGame(uint32_t position) = 0;
    virtual CPreviewImageCache* GetPreviewCache() = 0;
    virtual const CRelatedSolsTable* GetRelatedGames() = 0;
    // The shared font of the panels' controls (may be null).
    virtual HFONT GetControlFont() = 0;
};

class CSelectDlg : public CDialog {
public:
    explicit CSelectDlg(CSelectHost* host);
    ~CSelectDlg() override;

    SelectionFilter& GetFilter() { return filter; }
    // Entry i of the game table; null past its end.
    const CGameEntry* GetGameEntry(uint32_t i) const { return i < games.size() ? &games[i] : nullptr; }
    CListCtrl& GetList() { return list; }
    CSolSelectPopups* GetPanel() const { return panel.get(); }
    uint32_t GetInitialPosition() const { return initial; }
    // The game of the row carrying the list's selection mark; kNoGame when
    // there is none or it is the placeholder.
    uint32_t MarkedGame() const;
    // The game of row `row`; kNoGame for the placeholder or no such row.
    uint32_t GameAtRow(int row) const;

    // Refills the list from the table, the filter and the favourites; the
    // selection is gone afterwards.
    void FillList();
    // Selects the game's row and shows it in the panel; when the filter
    // hides it and clearFilters is set, the filters are reset first.
    void SelectGame(uint32_t position, bool clearFilters);
    // Brings the side panel in line with the list's selection.
    void UpdateInfoPanel();
    void RecalcLayout();
    // Context-menu commands on a game.
    void OnAddToFavorites(uint32_t position);
    void OnRemoveFromFavorites(uint32_t position);
    // Ends the dialog playing `position`.
    void OnPlay(uint32_t position);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDrawItem(int id, DRAWITEMSTRUCT* item) override;
    void OnMeasureItem(int id, MEASUREITEMSTRUCT* item) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnTimer(UINT_PTR id) override;
    void OnGetMinMaxInfo(MINMAXINFO* info) override;
    void OnDestroy() override;

private:
    void InitList();
    void DrawRow(const DRAWITEMSTRUCT* item);
    void OnListItemChanged(const NMLISTVIEW* change);
    void OnListRClick(const NMITEMACTIVATE* click);
    void RedrawGame(uint32_t position);
    int RowOfGame(uint32_t position) const;
    void SaveWindowPos();
    void LoadWindowPos();
    // Ends a deferred layout of the panel: laid out and painted at once.
    void LayOutPanelNow();

    CSelectHost* host;
    std::unique_ptr<CSolSelectPopups> panel;
    std::vector<CGameEntry> games;
    std::vector<uint32_t> rows;   // the game of each list row (kNoGame: placeholder)
    SelectionTracker tracker;
    SelectionFilter filter;
    uint32_t initial;
    CListCtrl list;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    // The list's smallest width: its columns, a scroll bar and its border.
    int32_t listMinWidth = 0;
};

// Runs the dialog over the host's window and returns its result (IDOK,
// IDCANCEL, or -1 when it could not be made). The main window's previews
// may change its engine, field and curSolId meanwhile; curSolId holds the
// chosen game (or the one it had) afterwards.
INT_PTR RunSelectDialog(CSelectHost* host);

}  // namespace corvelle
