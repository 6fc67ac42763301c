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

#include "panels/set_of_popup_regions.h"

namespace corvelle {

class CBestScoresTable;
class CFilterComboBox;
class CFilterFavoritesCheckBox;
class CFilterResetButton;
class CHtmlTextStatic;
class CRelatedListBox;
class CSelectDlg;
class CSelectHost;
class CSolGameFieldPreview;
class CStatisticsControl;

class CSolSelectPopups : public CSetOfPopupRegions {
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
    void UpdateRulesText();
    void RedrawPreview();
    void ResetFilters();
    void UpdateStatistics(const char16_t* gameName);
    void UpdateBestTimes(const char16_t* gameName);

    CSolGameFieldPreview* GetPreview() const { return preview; }
    CRelatedListBox* GetRelatedList() const { return related; }
    CFilterResetButton* GetResetButton() const { return resetButton; }
    CFilterComboBox* GetFilterCombo(int i) const { return i >= 0 && i < 3 ? combos[i] : nullptr; }
    CFilterFavoritesCheckBox* GetFavoritesBox() const { return favoritesBox; }
    // The position of region kind `id`, or the count when there is none.
    UINT RegionPosition(uint32_t id) const;

    void OnRegionMoved(UINT from, UINT to) override;
    void OnRegionToggled(UINT index, bool expanded) override;
    void OnBodyChildLaidOut(UINT regionIndex, UINT childIndex) override;
    void OnPanelResized() override;

private:
    friend std::unique_ptr<CSolSelectPopups> CreateSelectPopups(CSelectHost* host, CSelectDlg* dialog);
    bool FillRegion(UINT position, uint32_t id);
    template <typename Control, typename Make>
    Control* AddControl(CPopupRegion::CRegionBody* body, std::unique_ptr<Control> control, Make make);
    bool AddLabel(CPopupRegion::CRegionBody* body);
    std::u16string GameName() const;
    int32_t RulesWidth(bool withScrollBar) const;

    CSelectHost* host;
    CSelectDlg* dialog;
    CSolGameFieldPreview* preview = nullptr;
    CBestScoresTable* bestScores = nullptr;
    CStatisticsControl* statistics = nullptr;
    CHtmlTextStatic* rules = nullptr;
    CFilterResetButton* resetButton = nullptr;
    CRelatedListBox* related = nullptr;
    CFilterComboBox* combos[3] = {};
    CFilterFavoritesCheckBox* favoritesBox = nullptr;
    std::vector<std::unique_ptr<CWnd>> controls;
};

// Builds the panel at the dialog's left edge; null when the panel, its
// regions or a control cannot be made.
std::unique_ptr<CSolSelectPopups> CreateSelectPopups(CSelectHost* host, CSelectDlg* dialog);

}  // namespace corvelle
