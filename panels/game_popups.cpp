// What the main and the selection panels share; see game_popups.h.
#include "panels/game_popups.h"

#include <algorithm>

#include "panels/best_scores_table.h"
#include "panels/html_text_static.h"
#include "panels/panel_layout.h"
#include "panels/panel_texts.h"
#include "panels/statistics_control.h"

namespace corvelle {

CGamePopups::~CGamePopups() {
    // The controls' windows go before the bodies holding them.
    controls.clear();
}

std::u16string CGamePopups::GameName() const {
    const CGameEngine* engine = ShownEngine();
    return engine != nullptr ? GameNameText(engine->name, sizeof engine->name) : std::u16string();
}

UINT CGamePopups::RegionPosition(uint32_t id) const {
    const RegionStates stored = StoredStates();
    UINT i = 0;
    while (i < stored.count && stored.states[i].id != id) ++i;
    return i;
}

int32_t CGamePopups::RulesWidth(bool withScrollBar) const {
    RECT rc;
    GetClientRect(&rc);
    const Box resizeBand = GetResizeBand();
    const int32_t bodyWidth = (rc.right + resizeBand.right - resizeBand.left) + kGamePopupsRegionMargins.right -
                              kGamePopupsRegionMargins.left;
    const int32_t width = bodyWidth + kGamePopupsBodyMargins.right - kGamePopupsBodyMargins.left;
    return std::max(1, withScrollBar ? width - GetScrollBarWidth() : width);
}

bool CGamePopups::AddStatistics(CPopupRegion::CRegionBody* body, const RECT& start) {
    auto control = std::make_unique<CStatisticsControl>(GameName());
    statistics = AddControl(body, std::move(control), [&](CStatisticsControl& c, UINT id) {
        return c.Create(WS_CHILD | WS_VISIBLE, start, body, id);
    });
    if (statistics == nullptr) return false;
    body->SetChildAnchors(0, RECT{kAnchorMargin, kAnchorMargin, kAnchorMargin, kAnchorMargin});
    return true;
}

void CGamePopups::UpdateRulesText() {
    const CGameEngine* engine = ShownEngine();
    if (engine == nullptr || rules == nullptr) return;
    CPopupRegion::CRegionBody* body = GetRegionBody(RegionPosition(kRegionRules));
    if (body == nullptr || body->GetChild(0) != rules) return;
    const std::u16string text = RulesMarkup(engine->rulesText.data());
    rules->SetText(Wide(text));
    // Measured at the width the control has once the panel is laid out, so
    // the height also follows a width change that is still being made.
    const uint32_t withoutBar = rules->MeasureHeight(static_cast<uint32_t>(RulesWidth(false)));
    const uint32_t withBar = rules->MeasureHeight(static_cast<uint32_t>(RulesWidth(true)));
    rules->MarkForRedraw();
    body->SetContentHeights(withoutBar + kRulesPadding, withBar + kRulesPadding);
}

void CGamePopups::UpdateStatistics(const char16_t* gameName) {
    if (statistics != nullptr) statistics->Reload(gameName);
}

void CGamePopups::UpdateBestTimes(const char16_t* gameName) {
    if (bestScores != nullptr) bestScores->Reload(gameName);
}

void CGamePopups::OnRegionMoved(UINT from, UINT to) {
    const RegionStates stored = StoredStates();
    MoveInOrder(stored.states, stored.count, from, to);
}

void CGamePopups::OnRegionToggled(UINT index, bool expanded) {
    const RegionStates stored = StoredStates();
    if (index < stored.count) stored.states[index].expanded = expanded ? 1 : 0;
}

void CGamePopups::OnBodyChildLaidOut(UINT regionIndex, UINT childIndex) {
    const RegionStates stored = StoredStates();
    if (childIndex == 0 && regionIndex < stored.count && stored.states[regionIndex].id == kRegionBestTimes &&
        bestScores != nullptr) {
        bestScores->FitNameColumn();
    }
}

}  // namespace corvelle
