// CGamePopups: what the main window's panel and the selection dialog's
// panel share. Both show a game's rules, best times and statistics in
// controls they own, and mirror the order and the open or closed state of
// their regions into the preferences at once.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engine/game_engine.h"
#include "logic/preferences.h"
#include "panels/set_of_popup_regions.h"

namespace corvelle {

class CBestScoresTable;
class CHtmlTextStatic;
class CStatisticsControl;

class CGamePopups : public CSetOfPopupRegions {
public:
    ~CGamePopups() override;

    // The shown game's rules into the Rules region, which takes their height.
    void UpdateRulesText();
    // A new game's name, or nullptr to re-read the shown game's records.
    void UpdateStatistics(const char16_t* gameName);
    void UpdateBestTimes(const char16_t* gameName);
    // The shown game's name as the records are keyed.
    std::u16string GameName() const;
    // The position of region kind `id`, or the region count when there is none.
    UINT RegionPosition(uint32_t id) const;

    CBestScoresTable* GetBestScoresTable() const { return bestScores; }
    CStatisticsControl* GetStatisticsControl() const { return statistics; }
    CHtmlTextStatic* GetRulesControl() const { return rules; }

    void OnRegionMoved(UINT from, UINT to) override;
    void OnRegionToggled(UINT index, bool expanded) override;
    // The best-times list's name column follows the list's width.
    void OnBodyChildLaidOut(UINT regionIndex, UINT childIndex) override;

protected:
    // The stored records of the panel's regions, in the order shown.
    struct RegionStates {
        PopupRegionState* states;
        size_t count;
    };
    // The engine holding the shown game's definition (may be null).
    virtual const CGameEngine* ShownEngine() const = 0;
    virtual RegionStates StoredStates() const = 0;

    // Adds `control` (made by `make` with the body's next control id) to
    // the body; null when its window was not made.
    template <typename Control, typename Make>
    Control* AddControl(CPopupRegion::CRegionBody* body, std::unique_ptr<Control> control, Make make) {
        if (!make(*control, body->GetChildCount() + 1)) return nullptr;
        Control* made = control.get();
        body->AddChild(made);
        controls.push_back(std::move(control));
        return made;
    }
    // The statistics control of the shown game filling the body; false when
    // it was not made.
    bool AddStatistics(CPopupRegion::CRegionBody* body, const RECT& start);
    // The width the Rules control has once the panel is laid out, with or
    // without the scroll bar; at least 1.
    int32_t RulesWidth(bool withScrollBar) const;

    CBestScoresTable* bestScores = nullptr;
    CStatisticsControl* statistics = nullptr;
    CHtmlTextStatic* rules = nullptr;
    // The controls of the bodies, owned here (the bodies only place them).
    std::vector<std::unique_ptr<CWnd>> controls;
};

// Margins of the panels' regions and of their bodies, and the space below
// the rules text.
constexpr RECT kGamePopupsRegionMargins{10, 10, -10, -10};
constexpr Box kGamePopupsBodyMargins{10, 10, -10, -10};
constexpr int32_t kRulesPadding = 20;

}  // namespace corvelle
