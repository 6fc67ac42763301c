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

std::u16string CGamePopups::GetGameName() const {
    const CGameEngine* engine = GetShownEngine();
    return engine != nullptr ? GameNameText(engine->name, sizeof engine->name) : std::u16string();
}

UINT CGamePopups::RegionPosition(uint32_t id) const {
    const RegionStates stored = GetStoredStates();
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

bool CGamePopups::BuildRegions() {
    const RegionStates stored = GetStoredStates();
    std::vector<UINT> heights;
    std::vector<const wchar_t*> titles;
    for (size_t i = 0; i < stored.count; ++i) {
        heights.push_back(static_cast<UINT>(RegionBodyHeight(stored.states[i].id)));
        titles.push_back(reinterpret_cast<const wchar_t*>(RegionCaption(stored.states[i].id)));
    }
    const UINT count = static_cast<UINT>(stored.count);
    if (!CreateRegions(kGamePopupsRegionMargins, kHeaderHeight, count, heights.data(), heights.data(),
                       titles.data())) {
        return false;
    }
    for (UINT i = 0; i < count; ++i) {
        if (!FillRegion(i, stored.states[i].id)) return false;
    }
    return true;
}

bool CGamePopups::AddRules(CPopupRegion::CRegionBody* body) {
    const CGameEngine* engine = GetShownEngine();
    const std::u16string text = engine != nullptr ? RulesMarkup(engine->rulesText.data()) : std::u16string();
    rules = AddControl(body, std::make_unique<CHtmlTextStatic>(), [&](CHtmlTextStatic& c, UINT id) {
        return c.Create(Wide(text), WS_CHILD | WS_VISIBLE, kControlStartRect, body, id);
    });
    if (rules == nullptr) return false;
    body->SetContentHeights(rules->MeasureHeight(static_cast<uint32_t>(RulesWidth(false))) + kRulesPadding,
                            rules->MeasureHeight(static_cast<uint32_t>(RulesWidth(true))) + kRulesPadding);
    body->SetChildAnchors(0, RECT{kAnchorMargin, kAnchorMargin, kAnchorMargin, kAnchorMargin});
    return true;
}

bool CGamePopups::AddBestTimes(CPopupRegion::CRegionBody* body, HFONT font, CGameClock* clock) {
    bestScores = AddControl(body, std::make_unique<CBestScoresTable>(GetGameName()), [&](CBestScoresTable& c, UINT id) {
        return c.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, kControlStartRect, body, id);
    });
    if (bestScores == nullptr) return false;
    bestScores->SetFont(font);
    const LONG extra = std::max<LONG>(0, bestScores->FitToFont() - (kBestTimesListBottom - kGamePopupsBodyMargins.top));
    clearButton = AddControl(body, std::make_unique<CBestScoresClearButton>(bestScores),
                             [&](CBestScoresClearButton& c, UINT id) {
                                 RECT at = kClearButtonRect;
                                 ::OffsetRect(&at, 0, extra);
                                 return c.Create(L"Clear", WS_CHILD | WS_VISIBLE, at, body, id);
                             });
    if (clearButton == nullptr) return false;
    clearButton->SetClock(clock);
    clearButton->SetFont(font);
    bestTimesHeight = static_cast<UINT>(kBestTimesBodyHeight + extra);
    if (extra > 0) body->SetContentHeights(bestTimesHeight, bestTimesHeight);
    body->SetChildAnchors(0, RECT{kAnchorMargin, kAnchorMargin, kAnchorMargin, kBestTimesListBottom + extra});
    return true;
}

bool CGamePopups::AddStatistics(CPopupRegion::CRegionBody* body) {
    auto control = std::make_unique<CStatisticsControl>(GetGameName());
    statistics = AddControl(body, std::move(control), [&](CStatisticsControl& c, UINT id) {
        return c.Create(WS_CHILD | WS_VISIBLE, kControlStartRect, body, id);
    });
    if (statistics == nullptr) return false;
    body->SetChildAnchors(0, RECT{kAnchorMargin, kAnchorMargin, kAnchorMargin, kAnchorMargin});
    return true;
}

void CGamePopups::UpdateRulesText() {
    const CGameEngine* engine = GetShownEngine();
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

void CGamePopups::OnSize(UINT type, int cx, int cy) {
    // No regions yet while the window is being made.
    if (GetContentHeight(false) != 0 && ShowsRules()) UpdateRulesText();
    CSetOfPopupRegions::OnSize(type, cx, cy);
}

void CGamePopups::UpdateStatistics(const char16_t* gameName) {
    if (statistics != nullptr) statistics->Reload(gameName);
}

void CGamePopups::UpdateBestTimes(const char16_t* gameName) {
    if (bestScores != nullptr) bestScores->Reload(gameName);
}

void CGamePopups::OnRegionMoved(UINT from, UINT to) {
    const RegionStates stored = GetStoredStates();
    MoveInOrder(stored.states, stored.count, from, to);
}

void CGamePopups::OnRegionToggled(UINT index, bool expanded) {
    const RegionStates stored = GetStoredStates();
    if (index < stored.count) stored.states[index].expanded = expanded ? 1 : 0;
}

void CGamePopups::OnBodyChildLaidOut(UINT regionIndex, UINT childIndex) {
    const RegionStates stored = GetStoredStates();
    if (childIndex == 0 && regionIndex < stored.count && stored.states[regionIndex].id == kRegionBestTimes &&
        bestScores != nullptr) {
        bestScores->FitNameColumn();
    }
}

}  // namespace corvelle
