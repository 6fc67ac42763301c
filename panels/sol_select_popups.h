// CSolSelectPopups: the column of regions at the left of the selection
// dialog: the filter controls, a preview of the highlighted game, its rules,
// related games, best times and statistics. Showing a game makes it the
// main window's current game quietly (the preview draws it from the main
// window's field). Order, expanded state and width are mirrored into the
// preferences ("selectPopupsState", "selectPopupsWidth").
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "panels/game_popups.h"

namespace corvelle {

class CFilterComboBox;
class CFilterFavoritesCheckBox;
class CFilterResetButton;
class CRelatedListBox;
class CSelectDlg;
class CSelectHost;
class CSolGameFieldPreview;

class CSolSelectPopups : public CGamePopups {
public:
    CSolSelectPopups(CSelectHost* host, CSelectDlg* dialog);
    ~CSolSelectPopups() override;

    // Makes the game at database position `position` the main window's
    // current game quietly and shows its preview, rules, related games,
    // best times and statistics.
    void ShowGame(uint32_t position);
    // The game regions show their controls, or only "No item selected".
    void ShowGameInfo(bool hasSelection);
    void FillRelatedList();
    void RedrawPreview();
    void ResetFilters();

    CSolGameFieldPreview* GetPreview() const { return preview; }
    CRelatedListBox* GetRelatedList() const { return related; }
    CFilterComboBox* GetFilterCombo(int i) const { return i >= 0 && i < 3 ? combos[i] : nullptr; }
    CFilterFavoritesCheckBox* GetFavoritesBox() const { return favoritesBox; }

    void OnPanelResized() override;

protected:
    const CGameEngine* GetShownEngine() const override;
    RegionStates GetStoredStates() const override;
    bool FillRegion(UINT position, uint32_t id) override;
    bool ShowsRules() const override { return showingGame; }

private:
    friend std::unique_ptr<CSolSelectPopups> CreateSelectPopups(CSelectHost* host, CSelectDlg* dialog);
    bool AddLabel(CPopupRegion::CRegionBody* body);

    CSelectHost* host;
    CSelectDlg* dialog;
    CSolGameFieldPreview* preview = nullptr;
    CFilterResetButton* resetButton = nullptr;
    CRelatedListBox* related = nullptr;
    CFilterComboBox* combos[3] = {};
    CFilterFavoritesCheckBox* favoritesBox = nullptr;
    // The game regions show a game (not only "No item selected").
    bool showingGame = false;
};

// Builds the panel at the dialog's left edge; null when the panel, its
// regions or a control cannot be made.
std::unique_ptr<CSolSelectPopups> CreateSelectPopups(CSelectHost* host, CSelectDlg* dialog);

}  // namespace corvelle
