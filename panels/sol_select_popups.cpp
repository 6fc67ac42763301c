#include "panels/sol_select_popups.h"

#include <algorithm>

#include "engine/game_engine.h"
#include "engine/related_games.h"
#include "field/game_field_preview.h"
#include "panels/best_scores_table.h"
#include "panels/filter_controls.h"
#include "panels/html_text_static.h"
#include "panels/panel_layout.h"
#include "panels/select_dlg.h"
#include "res/resource.h"

namespace corvelle {

namespace {

constexpr LONG kM = kAnchorMargin;
constexpr UINT kLabelHeight = 50;
constexpr UINT kNoRelatedHeight = 36;
// The "No item selected" label and the preview, from the body's margins.
constexpr RECT kLabelRect{10, 10, 110, 40};
constexpr RECT kPreviewRect{10, 10, 182, 144};

}  // namespace

CSolSelectPopups::CSolSelectPopups(CSelectHost* owner, CSelectDlg* selectDialog) : host(owner), dialog(selectDialog) {}

CSolSelectPopups::~CSolSelectPopups() = default;

const CGameEngine* CSolSelectPopups::GetShownEngine() const { return host->GetSelectEngine(); }

CGamePopups::RegionStates CSolSelectPopups::GetStoredStates() const {
    auto& states = host->GetSelectPreferences().selectPopupsState;
    return RegionStates{states.data(), states.size()};
}

bool CSolSelectPopups::AddLabel(CPopupRegion::CRegionBody* body) {
    CStatic* label = AddControl(body, std::make_unique<CStatic>(), [&](CStatic& c, UINT cid) {
        return c.Create(L"No item selected", WS_CHILD | WS_VISIBLE, kLabelRect, body, cid);
    });
    if (!label) return false;
    label->SetFont(host->GetControlFont());
    body->SetChildAnchors(body->GetChildCount() - 1, RECT{kLabelRect.left, kLabelRect.top, kM, kLabelRect.bottom});
    return true;
}

bool CSolSelectPopups::FillRegion(UINT position, uint32_t id) {
    CPopupRegion::CRegionBody* body = GetRegionBody(position);
    if (!body) return false;
    HFONT font = host->GetControlFont();
    switch (id) {
    case kRegionFilter: {
        body->SetMargins(RECT{10, 10, -10, 0});
        const SelectionFilter& f = dialog->GetFilter();
        const wchar_t* const labels[] = {L"Category:", L"Difficulty:", L"Time to win:"};
        const uint8_t values[] = {f.category, f.skill, f.time};
        const int itemCounts[] = {12, 4, 5};
        const uint32_t bases[] = {0, kFilterDataDifficulty, kFilterDataTime};
        for (int k = 0; k < 3; ++k) {
            const LONG top = 10 + 50 * k;
            CStatic* label = AddControl(body, std::make_unique<CStatic>(), [&](CStatic& c, UINT cid) {
                return c.Create(labels[k], WS_CHILD | WS_VISIBLE, RECT{10, top, 110, top + 15}, body, cid);
            });
            if (!label) return false;
            label->SetFont(font);
            CFilterComboBox* combo =
                AddControl(body, std::make_unique<CFilterComboBox>(dialog), [&](CFilterComboBox& c, UINT cid) {
                    return c.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                    RECT{10, top + 15, 200, top + 200}, body, cid);
                });
            if (!combo) return false;
            combo->SetFont(font);
            for (int i = 0; i < itemCounts[k]; ++i) {
                const int at = combo->AddString(L"");
                combo->SetItemData(at, bases[k] + static_cast<uint32_t>(i));
            }
            combo->SetCurSel(values[k] < itemCounts[k] ? values[k] : 0);
            body->SetChildAnchors(body->GetChildCount() - 1, RECT{kM, top + 15, kM, kM});
            combos[k] = combo;
        }
        favoritesBox = AddControl(body, std::make_unique<CFilterFavoritesCheckBox>(dialog),
                                  [&](CFilterFavoritesCheckBox& c, UINT cid) {
                                      return c.Create(L"Favorites Only", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX,
                                                      RECT{10, 160, 150, 180}, body, cid);
                                  });
        if (!favoritesBox) return false;
        favoritesBox->SetFont(font);
        if (f.favoritesOnly) favoritesBox->SendMessage(BM_SETCHECK, BST_CHECKED);
        resetButton = AddControl(
            body, std::make_unique<CFilterResetButton>(dialog, combos[0], combos[1], combos[2], favoritesBox),
            [&](CFilterResetButton& c, UINT cid) {
                return c.Create(L"Reset", WS_CHILD | WS_VISIBLE, RECT{10, 200, 90, 220}, body, cid);
            });
        if (!resetButton) return false;
        resetButton->SetFont(font);
        break;
    }
    case kRegionPreview: {
        PreviewSource source;
        source.field = [this] { return host->GetSelectField(); };
        source.currentGame = [this] { return host->GetSelectPreferences().curSolId; };
        source.cache = host->GetPreviewCache();
        auto control = std::make_unique<CSolGameFieldPreview>(std::move(source));
        const AppPreferences& prefs = host->GetSelectPreferences();
        control->SetBgColor(prefs.bgColor);
        control->SetPicture(prefs.bgPicture);
        control->SetPicturePosition(prefs.bgPicturePosition);
        preview = AddControl(body, std::move(control), [&](CSolGameFieldPreview& c, UINT cid) {
            return c.Create(L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, kPreviewRect, body, cid);
        });
        if (!preview || !AddLabel(body)) return false;
        break;
    }
    case kRegionRules:
        if (!AddRules(body) || !AddLabel(body)) return false;
        break;
    case kRegionRelated: {
        related = AddControl(body, std::make_unique<CRelatedListBox>(dialog), [&](CRelatedListBox& c, UINT cid) {
            return c.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, kControlStartRect, body,
                            cid);
        });
        if (!related) return false;
        related->SetFont(font);
        body->SetChildAnchors(0, RECT{kM, kM, kM, kM});
        if (!AddLabel(body)) return false;
        break;
    }
    case kRegionBestTimes:
        if (!AddBestTimes(body, font, nullptr) || !AddLabel(body)) return false;
        break;
    case kRegionStatistics:
        if (!AddStatistics(body) || !AddLabel(body)) return false;
        break;
    default: break;
    }
    ExpandRegion(position, host->GetSelectPreferences().selectPopupsState[position].expanded != 0, false);
    return true;
}

std::unique_ptr<CSolSelectPopups> CreateSelectPopups(CSelectHost* host, CSelectDlg* dialog) {
    if (!host || !dialog) return nullptr;
    RECT client;
    dialog->GetClientRect(&client);
    client.right = client.left + static_cast<LONG>(kSelectPopupsDefaultWidth);
    auto panel = std::make_unique<CSolSelectPopups>(host, dialog);
    if (!panel->Create(dialog, client, IDC_SELECT_PANEL)) return nullptr;
    panel->SetResizeBand(RECT{0, 0, -3, 0});
    panel->SetMinWidth(kSelectPopupsMinWidth);
    panel->DeferLayout(true);
    AppPreferences& prefs = host->GetSelectPreferences();
    // Only an edited record holds anything but the six kinds once each.
    if (!IsPanelOrder(prefs.selectPopupsState.data(), kSelectPopupCount, kSelectPanelIds))
        prefs.selectPopupsState = kDefaultSelectPopupsState;
    if (!panel->BuildRegions()) return nullptr;
    panel->ShowGameInfo(false);
    if (panel->bestScores) panel->bestScores->FitNameColumn();
    panel->DeferLayout(false);
    panel->RepositionRegions(RegionLayout::InvalidateHeaders | RegionLayout::RebuildBodyBuffers);
    return panel;
}

void CSolSelectPopups::ShowGame(uint32_t position) {
    host->PreviewGame(position);
    const std::u16string name = GetGameName();
    RedrawPreview();
    UpdateRulesText();
    FillRelatedList();
    UpdateBestTimes(name.c_str());
    UpdateStatistics(name.c_str());
}

void CSolSelectPopups::ShowGameInfo(bool hasSelection) {
    showingGame = hasSelection;
    const auto& states = host->GetSelectPreferences().selectPopupsState;
    for (UINT i = 0; i < kSelectPopupCount; ++i) {
        const uint32_t id = states[i].id;
        if (id == kRegionFilter) continue;
        CPopupRegion::CRegionBody* body = GetRegionBody(i);
        if (!body || body->GetChildCount() == 0) continue;
        if (hasSelection && (id == kRegionBestTimes || id == kRegionStatistics || id == kRegionPreview)) {
            const UINT height = id == kRegionBestTimes ? bestTimesHeight : static_cast<UINT>(RegionBodyHeight(id));
            body->SetContentHeights(height, height);
        }
        const UINT last = body->GetChildCount() - 1;
        for (UINT j = 0; j < last; ++j) body->GetChild(j)->ShowWindow(hasSelection ? SW_SHOW : SW_HIDE);
        body->GetChild(last)->ShowWindow(hasSelection ? SW_HIDE : SW_SHOW);
        if (!hasSelection) body->SetContentHeights(kLabelHeight, kLabelHeight);
    }
    RepositionRegions(RegionLayout::Full);
    RedrawNow();
}

void CSolSelectPopups::FillRelatedList() {
    if (!related) return;
    const UINT position = RegionPosition(kRegionRelated);
    CPopupRegion::CRegionBody* body = GetRegionBody(position);
    if (!body) return;
    related->ShowWindow(SW_HIDE);
    const CRelatedSolsTable* table = host->GetRelatedGames();
    const uint32_t* list = nullptr;
    const uint32_t currentId = host->GetSelectPreferences().curSolId;
    const uint16_t count = table ? table->GetRelated(currentId, &list) : 0;
    related->ResetContent();
    UINT rows = 0;
    for (uint16_t k = 0; k < count && list; ++k) {
        // A related position beyond the game table names no game.
        const CGameEntry* entry = dialog->GetGameEntry(list[k]);
        if (!entry) continue;
        const int at = related->AddString(Wide(entry->name));
        related->SetItemData(at, list[k]);
        ++rows;
    }
    if (rows == 0) {
        const int at = related->AddString(L"");
        related->SetItemData(at, kNoGame);
        body->SetContentHeights(kNoRelatedHeight, kNoRelatedHeight);
    } else {
        const UINT height = static_cast<UINT>(kRelatedRowHeight) * rows + 20;
        body->SetContentHeights(height, height);
    }
    related->ShowWindow(SW_SHOW);
}

void CSolSelectPopups::RedrawPreview() {
    if (preview) ::InvalidateRect(*preview, nullptr, FALSE);
}

void CSolSelectPopups::ResetFilters() {
    if (resetButton) resetButton->OnClicked();
}

void CSolSelectPopups::OnPanelResized() {
    RECT rc;
    GetClientRect(&rc);
    host->GetSelectPreferences().selectPopupsWidth = static_cast<uint32_t>(rc.right - rc.left);
    dialog->RecalcLayout();
}

}  // namespace corvelle
