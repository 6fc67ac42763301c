// The main window's side panel.
#include "panels/sol_main_popups.h"

#include <algorithm>

#include "field/pile_geometry.h"
#include "panels/advertisement_banner.h"
#include "panels/best_scores_table.h"
#include "panels/html_text_static.h"
#include "res/resource.h"

#ifndef CORVELLE_AD_SERVER
#define CORVELLE_AD_SERVER "http://ads.velmora.example"
#endif

namespace corvelle {

namespace {

constexpr int32_t kHeaderHeight = 20;
// The bodies' own margins (their default), which the Rules control fills.
constexpr Box kBodyMargins = kGamePopupsBodyMargins;
constexpr int32_t kMeasureWidth = 160;
constexpr LONG kM = kAnchorMargin;
constexpr int32_t kStatusBarHeight = 20;

}  // namespace

const wchar_t* AdvertisementPageAddress() { return L"" CORVELLE_AD_SERVER "/?ad_place=1"; }

RECT MainPopupsRect(const RECT& client, uint32_t width) {
    return RECT{client.right - static_cast<LONG>(width), client.top, client.right, client.bottom - kStatusBarHeight};
}

CSolMainPopups::CSolMainPopups(CMainPopupsOwner* panelOwner) : owner(panelOwner) { font.CreateAppFont(); }

CSolMainPopups::~CSolMainPopups() {
    // The controls' windows go first, the picture the fallback shows after.
    controls.clear();
    if (fallbackBitmap != nullptr) ::DeleteObject(fallbackBitmap);
}

const CGameEngine* CSolMainPopups::ShownEngine() const { return owner->GetPanelEngine(); }

CGamePopups::RegionStates CSolMainPopups::StoredStates() const {
    auto& states = owner->GetPanelPreferences().mainPopupsState;
    return RegionStates{states.data(), states.size()};
}

bool CSolMainPopups::FillRegion(UINT position, uint32_t id) {
    CPopupRegion::CRegionBody* body = GetRegionBody(position);
    const bool expanded = owner->GetPanelPreferences().mainPopupsState[position].expanded != 0;
    const RECT start{kBodyMargins.left, kBodyMargins.top, kBodyMargins.left + kMeasureWidth, kBodyMargins.top + 100};
    switch (id) {
    case kRegionAdvertisement: {
        fallbackBitmap = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                           MAKEINTRESOURCEW(IDB_ADVERT_FALLBACK), IMAGE_BITMAP, 0,
                                                           0, LR_DEFAULTCOLOR));
        auto picture = std::make_unique<CStatic>();
        CStatic* fallback = picture.get();
        banner = AddControl(body, std::make_unique<CAdvertisementBanner>(AdvertisementPageAddress(), fallback),
                            [&](CAdvertisementBanner& c, UINT cid) { return c.Create(start, body, cid); });
        if (banner == nullptr) return false;
        if (AddControl(body, std::move(picture), [&](CStatic& c, UINT cid) {
                if (!c.Create(L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, start, body, cid)) return false;
                c.SetBitmap(fallbackBitmap);
                return true;
            }) == nullptr) {
            return false;
        }
        for (UINT j = 0; j < 2; ++j) {
            body->SetChildFlags(j, kCentreHorizontally);
            body->SetChildAnchors(j, RECT{0, kM, kMeasureWidth, kM});
        }
        ExpandRegion(position, true, false);   // always open
        banner->UpdateBanner(true);
        return true;
    }
    case kRegionRules: {
        const std::u16string text = RulesMarkup(owner->GetPanelEngine()->rulesText.data());
        rules = AddControl(body, std::make_unique<CHtmlTextStatic>(), [&](CHtmlTextStatic& c, UINT cid) {
            return c.Create(Wide(text), WS_CHILD | WS_VISIBLE, start, body, cid);
        });
        if (rules == nullptr) return false;
        body->SetContentHeights(rules->MeasureHeight(kMeasureWidth) + kRulesPadding,
                                rules->MeasureHeight(kMeasureWidth - GetScrollBarWidth()) + kRulesPadding);
        body->SetChildAnchors(0, RECT{kM, kM, kM, kM});
        break;
    }
    case kRegionBestTimes: {
        const std::u16string name = GameName();
        bestScores = AddControl(body, std::make_unique<CBestScoresTable>(name), [&](CBestScoresTable& c, UINT cid) {
            return c.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, start, body, cid);
        });
        if (bestScores == nullptr) return false;
        bestScores->SetFont(font);
        // The list shows its heading and all ten rows without a scroll bar:
        // where the heading is taller than the layout allows for, the list,
        // the button and the region grow by the difference.
        const int32_t extra = std::max(0, bestScores->FitToFont() - (169 - kBodyMargins.top));
        clearButton = AddControl(body, std::make_unique<CBestScoresClearButton>(bestScores),
                                 [&](CBestScoresClearButton& c, UINT cid) {
                                     return c.Create(L"Clear", WS_CHILD | WS_VISIBLE,
                                                     RECT{10, 179 + extra, 90, 199 + extra}, body, cid);
                                 });
        if (clearButton == nullptr) return false;
        clearButton->SetClock(owner->GetPanelClock());
        clearButton->SetFont(font);
        if (extra > 0) {
            const UINT height = static_cast<UINT>(MainRegionHeight(kRegionBestTimes) + extra);
            body->SetContentHeights(height, height);
        }
        body->SetChildAnchors(0, RECT{kM, kM, kM, 169 + extra});
        break;
    }
    case kRegionStatistics:
        if (!AddStatistics(body, start)) return false;
        break;
    default: break;
    }
    ExpandRegion(position, expanded, false);
    return true;
}

std::unique_ptr<CSolMainPopups> CreateMainPopups(CMainPopupsOwner* owner) {
    CWnd* parent = owner != nullptr ? owner->GetPanelParent() : nullptr;
    if (parent == nullptr || owner->GetPanelEngine() == nullptr) return nullptr;
    RECT client;
    parent->GetClientRect(&client);
    auto panel = std::make_unique<CSolMainPopups>(owner);
    if (!panel->Create(parent, MainPopupsRect(client, kMainPopupsMinWidth), IDC_MAIN_PANEL)) return nullptr;
    panel->SetResizeBand(RECT{3, 0, 0, 0});
    panel->SetMinWidth(kMainPopupsMinWidth);
    // The field beside it keeps the smallest size every game fits.
    panel->SetKeptParentWidth(kSmallestFieldWidth);
    // Built hidden and laid out once at the end: every paint of a visible
    // window costs, and none of the steps in between is ever seen.
    panel->DeferLayout(true);
    panel->ShowWindow(SW_HIDE);
    AppPreferences& prefs = owner->GetPanelPreferences();
    prefs.mainPopupsState = ValidMainPopupsState(prefs.mainPopupsState);
    UINT heights[kMainPopupCount];
    const wchar_t* titles[kMainPopupCount];
    for (size_t i = 0; i < kMainPopupCount; ++i) {
        heights[i] = static_cast<UINT>(MainRegionHeight(prefs.mainPopupsState[i].id));
        titles[i] = reinterpret_cast<const wchar_t*>(RegionCaption(prefs.mainPopupsState[i].id));
    }
    if (!panel->CreateRegions(kGamePopupsRegionMargins, kHeaderHeight, kMainPopupCount, heights, heights, titles)) {
        return nullptr;
    }
    for (UINT i = 0; i < kMainPopupCount; ++i) {
        if (!panel->FillRegion(i, prefs.mainPopupsState[i].id)) return nullptr;
    }
    panel->SetRegionLocked(0, true);
    // One layout for the whole build; the bodies' sizes changed while it
    // waited, so their buffers are made again.
    panel->DeferLayout(false);
    panel->RepositionRegions(true, true, false, false);
    if (panel->bestScores != nullptr) panel->bestScores->FitNameColumn();
    panel->ShowWindow(SW_SHOWNA);
    return panel;
}

void CSolMainPopups::RefreshAdvertisement() {
    if (banner != nullptr) banner->UpdateBanner(false);
}

void CSolMainPopups::RefreshAfterGameChange() {
    if (EnsureRegionVisible(0)) {
        RepositionRegions(true, false, true, false);
        RedrawNow();
    }
    RefreshAdvertisement();
}

void CSolMainPopups::ShowCurrentGame() {
    const std::u16string name = GameName();
    UpdateRulesText();
    UpdateBestTimes(name.c_str());
    UpdateStatistics(name.c_str());
}

void CSolMainPopups::Place(const RECT& rect, bool visible, bool widthChanged) {
    ShowWindow(visible ? SW_SHOWNA : SW_HIDE);
    MoveWindow(rect, FALSE);
    RepositionRegions(true, widthChanged, false, true);
    RedrawNow();
}

void CSolMainPopups::OnBodyChildLaidOut(UINT regionIndex, UINT childIndex) {
    CGamePopups::OnBodyChildLaidOut(regionIndex, childIndex);
    const auto& states = owner->GetPanelPreferences().mainPopupsState;
    if (childIndex == 0 && regionIndex < states.size() && states[regionIndex].id == kRegionAdvertisement &&
        banner != nullptr) {
        banner->UpdateBanner(false);
    }
}

void CSolMainPopups::OnPanelResized() {
    RECT rc;
    GetClientRect(&rc);
    owner->GetPanelPreferences().mainPopupsWidth = static_cast<uint32_t>(rc.right - rc.left);
    owner->RecalcLayout();
}

void CSolMainPopups::OnSize(UINT type, int cx, int cy) {
    if (GetContentHeight(false) != 0) UpdateRulesText();
    CSetOfPopupRegions::OnSize(type, cx, cy);
}

}  // namespace corvelle
