// The main window's side panel.
#include "panels/sol_main_popups.h"

#include "field/pile_geometry.h"
#include "panels/advertisement_banner.h"
#include "panels/best_scores_table.h"
#include "res/resource.h"

#ifndef CORVELLE_AD_SERVER
#define CORVELLE_AD_SERVER "http://ads.velmora.example"
#endif

namespace corvelle {

namespace {

// The advertisement's page and picture, centred in their body.
constexpr LONG kBannerWidth = 160;
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

const CGameEngine* CSolMainPopups::GetShownEngine() const { return owner->GetPanelEngine(); }

CGamePopups::RegionStates CSolMainPopups::GetStoredStates() const {
    auto& states = owner->GetPanelPreferences().mainPopupsState;
    return RegionStates{states.data(), states.size()};
}

bool CSolMainPopups::FillRegion(UINT position, uint32_t id) {
    CPopupRegion::CRegionBody* body = GetRegionBody(position);
    const bool expanded = owner->GetPanelPreferences().mainPopupsState[position].expanded != 0;
    switch (id) {
    case kRegionAdvertisement: {
        fallbackBitmap = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                           MAKEINTRESOURCEW(IDB_ADVERT_FALLBACK), IMAGE_BITMAP, 0,
                                                           0, LR_DEFAULTCOLOR));
        auto picture = std::make_unique<CStatic>();
        CStatic* fallback = picture.get();
        // The browser control and the connection test wait until the
        // window has been painted; the fallback picture shows meanwhile.
        banner = AddControl(body, std::make_unique<CAdvertisementBanner>(AdvertisementPageAddress(), fallback),
                            [&](CAdvertisementBanner& c, UINT cid) { return c.CreateDeferred(kControlStartRect, body, cid); });
        if (banner == nullptr) return false;
        if (AddControl(body, std::move(picture), [&](CStatic& c, UINT cid) {
                if (!c.Create(L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, kControlStartRect, body, cid)) return false;
                c.SetBitmap(fallbackBitmap);
                return true;
            }) == nullptr) {
            return false;
        }
        for (UINT j = 0; j < 2; ++j) {
            body->SetChildFlags(j, kCentreHorizontally);
            body->SetChildAnchors(j, RECT{0, kM, kBannerWidth, kM});
        }
        ExpandRegion(position, true, false);   // always open
        banner->StartAfterPaint();
        return true;
    }
    case kRegionRules:
        if (!AddRules(body)) return false;
        break;
    case kRegionBestTimes:
        if (!AddBestTimes(body, font, owner->GetPanelClock())) return false;
        break;
    case kRegionStatistics:
        if (!AddStatistics(body)) return false;
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
    if (!panel->BuildRegions()) return nullptr;
    panel->SetRegionLocked(0, true);
    // One layout for the whole build; the bodies' sizes changed while it
    // waited, so their buffers are made again.
    panel->DeferLayout(false);
    panel->RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::RebuildBodyBuffers);
    if (panel->bestScores != nullptr) panel->bestScores->FitNameColumn();
    panel->ShowWindow(SW_SHOWNA);
    return panel;
}

void CSolMainPopups::RefreshAdvertisement() {
    if (banner != nullptr) banner->UpdateBanner(false);
}

void CSolMainPopups::RefreshAfterGameChange() {
    if (EnsureRegionVisible(0)) {
        RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::KeepScrollRange);
        RedrawNow();
    }
    RefreshAdvertisement();
}

void CSolMainPopups::ShowCurrentGame() {
    const std::u16string name = GetGameName();
    UpdateRulesText();
    UpdateBestTimes(name.c_str());
    UpdateStatistics(name.c_str());
}

void CSolMainPopups::Place(const RECT& rect, bool visible, bool widthChanged) {
    ShowWindow(visible ? SW_SHOWNA : SW_HIDE);
    MoveWindow(rect, FALSE);
    RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::EraseChildren |
                      (widthChanged ? RegionLayout::RebuildBodyBuffers : RegionLayout::Place));
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

}  // namespace corvelle
