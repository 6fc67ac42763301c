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
#include "panels/region_body.h"
#include "panels/set_of_popup_regions.h"

namespace corvelle {

class CBestScoresClearButton;
class CBestScoresTable;
class CGameClock;
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
    std::u16string GetGameName() const;
    // The position of region kind `id`, or the region count when there is none.
    UINT RegionPosition(uint32_t id) const;

    CBestScoresTable* GetBestScoresTable() const { return bestScores; }
    CBestScoresClearButton* GetClearButton() const { return clearButton; }
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
    // A width change: the rules text (when it shows) is measured again, so
    // that its region follows the new width at once.
    void OnSize(UINT type, int cx, int cy) override;
    // Whether the Rules region shows the rules text (not a stand-in).
    virtual bool ShowsRules() const { return true; }
    // The engine holding the shown game's definition (may be null).
    virtual const CGameEngine* GetShownEngine() const = 0;
    virtual RegionStates GetStoredStates() const = 0;
    // Fills the body of the region at `position`, of kind `id`, and brings
    // the region into its stored state; false when a control was not made.
    virtual bool FillRegion(UINT position, uint32_t id) = 0;

    // Builds one region per stored state, in their order, captioned and
    // sized by its kind and filled by FillRegion; false when a window
    // cannot be made.
    bool BuildRegions();

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
    // The rules text of the shown game filling the body, which takes the
    // text's height at the width the control has once the panel is laid
    // out; false when the control was not made.
    bool AddRules(CPopupRegion::CRegionBody* body);
    // The best-times list of the shown game above its Clear button (which
    // pauses `clock`, may be null, while it asks), in `font`. The list shows
    // its heading and all ten rows: where the heading is taller than the
    // layout allows for, the list, the button and the region grow by the
    // difference. False when a control was not made.
    bool AddBestTimes(CPopupRegion::CRegionBody* body, HFONT font, CGameClock* clock);
    // The statistics control of the shown game filling the body; false when
    // it was not made.
    bool AddStatistics(CPopupRegion::CRegionBody* body);
    // The width the Rules control has once the panel is laid out, with or
    // without the scroll bar; at least 1.
    int32_t RulesWidth(bool withScrollBar) const;

    CBestScoresTable* bestScores = nullptr;
    CBestScoresClearButton* clearButton = nullptr;
    // The Best Times body's height, grown where the list's heading needs it.
    UINT bestTimesHeight = kBestTimesBodyHeight;
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
// Where a body's controls are made before their anchors place them.
constexpr RECT kControlStartRect{10, 10, 170, 110};
// The Best Times region: the list from the margins down to its bottom, the
// Clear button below it.
constexpr LONG kBestTimesListBottom = 169;
constexpr RECT kClearButtonRect{10, 179, 90, 199};

}  // namespace corvelle
