// The selection dialog under Wine over a real main window: the list and its
// filter controls, the panel following the list by game, favourites, the
// related list's mouse handling, Play and Cancel through the main window's
// Select command, the thumbnail against the field's own painting, and GDI
// objects over many openings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "app/corvelle_dlg.h"
#include "app/select_runner.h"
#include "engine/related_games.h"
#include "engine/resources.h"
#include "field/game_field_preview.h"
#include "field/preview_cache.h"
#include "field/sol_game_field.h"
#include "panels/filter_controls.h"
#include "panels/html_text_static.h"
#include "panels/region_body.h"
#include "panels/sol_select_popups.h"
#include "platform/image_gdi.h"
#include "res/resource.h"
#include "support/message_pump.h"
#include "support/registry_sandbox.h"

namespace corvelle {
namespace {

constexpr UINT kRunScript = WM_APP + 7;

void Pump(DWORD ms = 0) {
    const DWORD end = ::GetTickCount() + ms;
    do {
        test::PumpMessages();
        if (ms) ::Sleep(5);
    } while (ms && static_cast<int32_t>(end - ::GetTickCount()) > 0);
}

// A selection dialog that runs `script` once it is up, inside its modal run.
class ScriptedSelectDlg : public CSelectDlg {
public:
    ScriptedSelectDlg(CSelectHost* selectHost, std::function<void(ScriptedSelectDlg&)> run)
        : CSelectDlg(selectHost), script(std::move(run)) {}
    void Ok() { OnOK(); }
    void Cancel() { OnCancel(); }
    void Command(UINT id) { SendMessage(WM_COMMAND, id, 0); }
    // Waits for the panel to follow the selection (the 50-ms timer).
    void Settle() { Pump(150); }
    // Runs messages (the panel's timer among them) until `done` holds, at
    // most `ms`: a busy machine runs the timer late. The last answer.
    bool SettleUntil(const std::function<bool()>& done, DWORD ms = 10000) {
        const DWORD end = ::GetTickCount() + ms;
        while (!done()) {
            if (static_cast<int32_t>(end - ::GetTickCount()) <= 0) return done();
            Pump(20);
        }
        return true;
    }
    int Rows() { return GetList().GetItemCount(); }
    std::vector<uint32_t> RowGames() {
        std::vector<uint32_t> ids;
        for (int i = 0; i < Rows(); ++i) ids.push_back(GameAtRow(i));
        return ids;
    }
    std::function<void(ScriptedSelectDlg&)> script;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CSelectDlg::OnInitDialog();
        if (result != -1) PostMessage(kRunScript);
        return result;
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == kRunScript) {
            script(*this);
            *result = 0;
            return TRUE;
        }
        return CSelectDlg::OnWndMsg(message, wParam, lParam, result);
    }
};

// Chooses item `item` of a filter combo as the player does (the combo tells
// its parent, which hands the notification back to the combo).
void ChooseFilter(CComboBox* combo, int item) {
    combo->SetCurSel(item);
    ::SendMessageW(::GetParent(*combo), WM_COMMAND, MAKEWPARAM(combo->GetDlgCtrlID(), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo->GetSafeHwnd()));
}

void ClickCheckBox(CWnd* box) {
    box->SendMessage(BM_SETCHECK, box->SendMessage(BM_GETCHECK) == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    ::SendMessageW(::GetParent(*box), WM_COMMAND, MAKEWPARAM(box->GetDlgCtrlID(), BN_CLICKED),
                   reinterpret_cast<LPARAM>(box->GetSafeHwnd()));
}

// Whether the panel's game regions show their controls (not the label).
bool PanelShowsGame(CSolSelectPopups* panel) {
    return ::IsWindowVisible(*panel->GetPreview()) != FALSE;
}

// GDI objects the process holds. The system's count where it keeps one;
// otherwise the room left in the handle table, found by making brushes
// until no more can be made, taken from that table's size.
long GdiObjectsInUse() {
    const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<long>(counted);
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    while (brushes.size() < 70000) {
        HBRUSH b = ::CreateSolidBrush(RGB(1, 2, 3));
        if (!b) break;
        brushes.push_back(b);
    }
    for (HBRUSH b : brushes) ::DeleteObject(b);
    return 70000 - static_cast<long>(brushes.size());
}

class SelectDialogTest : public test::RegistrySandbox {
protected:
    void SetUp() override {
        test::RegistrySandbox::SetUp();
        window = std::make_unique<CCorvelleDlg>();
        ASSERT_TRUE(window->CreateModeless());
        Pump();
        host = MakeSelectHost(*window);
        games = GetGameCount();
        ASSERT_GT(games, 4);
    }
    void TearDown() override {
        host.reset();
        window.reset();
        test::RegistrySandbox::TearDown();
    }
    std::u16string EngineName() { return main().GetGameFlow().GetGameName(); }
    CCorvelleDlg& main() { return *window; }
    std::unique_ptr<CCorvelleDlg> window;
    std::unique_ptr<CSelectHost> host;
    int games = 0;
};

TEST_F(SelectDialogTest, OpensOnTheCurrentGameAndFiltersTheList) {
    AppPreferences& prefs = main().GetPrefs();
    const uint32_t initial = prefs.curSolId;
    bool ran = false;
    {
    ScriptedSelectDlg dialog(host.get(), [&](ScriptedSelectDlg& d) {
        ran = true;
        EXPECT_EQ(d.Rows(), games);
        EXPECT_EQ(d.MarkedGame(), initial);
        RECT row{LVIR_BOUNDS, 0, 0, 0};
        d.GetList().SendMessage(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        EXPECT_EQ(row.bottom - row.top, kSelectRowHeight);
        CSolSelectPopups* panel = d.GetPanel();
        ASSERT_NE(panel, nullptr);
        EXPECT_TRUE(d.SettleUntil([&] { return PanelShowsGame(panel); }));
        // Category, then difficulty: every row passes both.
        const uint8_t category = static_cast<uint8_t>(d.GetGameEntry(initial)->category);
        ChooseFilter(panel->GetFilterCombo(0), category);
        EXPECT_EQ(d.GetFilter().category, category);
        for (uint32_t g : d.RowGames()) {
            const CGameEntry* e = d.GetGameEntry(g);
            ASSERT_NE(e, nullptr);
            EXPECT_TRUE(PassesFilter(*e, d.GetFilter()));
        }
        EXPECT_EQ(d.MarkedGame(), initial);   // the current game passes: selected again
        const uint8_t other = static_cast<uint8_t>(d.GetGameEntry(initial)->difficulty % 3 + 1);
        ChooseFilter(panel->GetFilterCombo(1), other);
        EXPECT_EQ(d.GetFilter().skill, other);
        // The current game left the list: nothing is selected, the panel
        // shows its labels once the timer has run.
        EXPECT_EQ(d.MarkedGame(), kNoGame);
        EXPECT_TRUE(d.SettleUntil([&] { return !PanelShowsGame(panel); }));
        // The game that now sits in the first row is shown when selected.
        const uint32_t first = d.GameAtRow(0);
        if (first != kNoGame) {
            d.SelectGame(first, false);
            EXPECT_TRUE(d.SettleUntil([&] { return PanelShowsGame(panel); }));
            EXPECT_EQ(prefs.curSolId, first);
            EXPECT_EQ(EngineName(), d.GetGameEntry(first)->name);
        }
        // Favourites only with no favourites: the placeholder row alone.
        ClickCheckBox(reinterpret_cast<CWnd*>(panel->GetFavoritesBox()));
        EXPECT_EQ(d.GetFilter().favoritesOnly, 1);
        EXPECT_EQ(d.RowGames(), std::vector<uint32_t>{kNoGame});
        ClickCheckBox(reinterpret_cast<CWnd*>(panel->GetFavoritesBox()));
        EXPECT_EQ(d.GetFilter().favoritesOnly, 0);
        // Selecting a hidden game with clearFilters resets every filter.
        d.SelectGame(initial, true);
        EXPECT_EQ(d.GetFilter().category, 0);
        EXPECT_EQ(d.GetFilter().skill, 0);
        EXPECT_EQ(panel->GetFilterCombo(0)->GetCurSel(), 0);
        EXPECT_EQ(d.Rows(), games);
        EXPECT_EQ(d.MarkedGame(), initial);
        ChooseFilter(panel->GetFilterCombo(2), 4);
        d.Cancel();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }
    EXPECT_TRUE(ran);
    EXPECT_EQ(prefs.curSolId, initial);
    // The filter persists after Cancel.
    EXPECT_EQ(prefs.filter.time, 4);
}

TEST_F(SelectDialogTest, FavouritesAreAddedOnceAndLeaveTheFavouritesList) {
    AppPreferences& prefs = main().GetPrefs();
    ScriptedSelectDlg dialog(host.get(), [&](ScriptedSelectDlg& d) {
        d.OnAddToFavorites(1);
        d.OnAddToFavorites(1);
        d.OnAddToFavorites(3);
        EXPECT_EQ(prefs.favorites.ids.size(), 2u);
        ClickCheckBox(reinterpret_cast<CWnd*>(d.GetPanel()->GetFavoritesBox()));
        EXPECT_EQ(d.RowGames(), (std::vector<uint32_t>{1, 3}));
        d.SelectGame(3, false);
        d.OnRemoveFromFavorites(1);   // not the selected one: 3 stays selected
        EXPECT_EQ(d.RowGames(), std::vector<uint32_t>{3});
        EXPECT_EQ(d.MarkedGame(), 3u);
        d.Ok();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(prefs.curSolId, 3u);
    EXPECT_EQ(prefs.favorites.ids, std::vector<uint16_t>{static_cast<uint16_t>(dialog.GetGameEntry(3)->id)});
}

TEST_F(SelectDialogTest, TheRelatedListActsOnlyOnItsRows) {
    // A game with related games.
    CRelatedSolsTable related(kResRelatedSols);
    uint32_t game = kNoGame;
    for (int g = 0; g < games && game == kNoGame; ++g)
        if (related.GetRelated(static_cast<uint32_t>(g), nullptr) > 0) game = static_cast<uint32_t>(g);
    ASSERT_NE(game, kNoGame) << "the library has related games";
    main().GetPrefs().curSolId = game;
    ScriptedSelectDlg dialog(host.get(), [&](ScriptedSelectDlg& d) {
        CRelatedListBox* list = d.GetPanel()->GetRelatedList();
        const uint32_t* positions = nullptr;
        const uint16_t count = related.GetRelated(game, &positions);
        d.SettleUntil([&] { return list->GetCount() == count; });
        EXPECT_EQ(list->GetCount(), count);
        const uint32_t target = positions[0];
        // Hide the target with a filter it does not pass.
        ChooseFilter(d.GetPanel()->GetFilterCombo(1), d.GetGameEntry(target)->difficulty % 3 + 1);
        const uint8_t skill = d.GetFilter().skill;
        auto at = [](int x, int y) { return MAKELPARAM(x, y); };
        // Presses and releases outside the rows do nothing.
        for (LPARAM p : {at(5, -3), at(5, -40), at(5, 16 * count + 2), at(-5, 4)}) {
            list->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, p);
            list->SendMessage(WM_LBUTTONUP, 0, p);
        }
        EXPECT_EQ(d.GetFilter().skill, skill);
        // A press on row 0 released on another row selects nothing.
        if (count > 1) {
            list->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(5, 4));
            list->SendMessage(WM_LBUTTONUP, 0, at(5, 20));
            EXPECT_EQ(d.GetFilter().skill, skill);
            EXPECT_EQ(list->GetHotRow(), -1);
        }
        // A click on row 0 clears the filters and selects the game.
        list->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(5, 4));
        list->SendMessage(WM_LBUTTONUP, 0, at(5, 4));
        EXPECT_EQ(d.GetFilter().skill, 0);
        EXPECT_EQ(d.MarkedGame(), target);
        d.Cancel();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(main().GetPrefs().curSolId, game);
}

// The rules text follows the panel's width at once: narrower, the region
// grows so that no line is cut off; wider, it shrinks. Without a game shown
// the region keeps the label's height whatever the width.
TEST_F(SelectDialogTest, TheRulesTextFollowsThePanelsWidth) {
    AppPreferences& prefs = main().GetPrefs();
    // Assertions leave `check`; the dialog ends whatever happened.
    auto check = [&](ScriptedSelectDlg& d) {
        CSolSelectPopups* panel = d.GetPanel();
        ASSERT_TRUE(d.SettleUntil([&] { return PanelShowsGame(panel); }));
        CHtmlTextStatic* rules = panel->GetRulesControl();
        ASSERT_NE(rules, nullptr);
        auto* body = panel->GetRegionBody(panel->RegionPosition(kRegionRules));
        // The control as tall as its text at its width, and the body as tall
        // as the control and its margins.
        auto fits = [&] {
            RECT rc;
            rules->GetClientRect(&rc);
            return static_cast<uint32_t>(rc.bottom) == rules->MeasureHeight(static_cast<uint32_t>(rc.right)) &&
                   body->GetVisibleHeight() == static_cast<uint32_t>(rc.bottom) + 20;
        };
        EXPECT_TRUE(fits());
        LONG last = 0;
        for (uint32_t width : {kSelectPopupsMinWidth, 240u, kSelectPopupsDefaultWidth}) {
            prefs.selectPopupsWidth = width;
            d.RecalcLayout();   // as after a drag of the panel's edge
            RECT r;
            panel->GetClientRect(&r);
            EXPECT_EQ(static_cast<uint32_t>(r.right), width);
            EXPECT_NE(r.right, last);
            last = r.right;
            EXPECT_TRUE(fits()) << "at " << width << " px";
        }
        // Nothing selected: the label's height at every width.
        d.GetList().SetItemState(-1, 0, LVIS_SELECTED);
        ASSERT_TRUE(d.SettleUntil([&] { return !PanelShowsGame(panel); }));
        for (uint32_t width : {kSelectPopupsMinWidth, 240u}) {
            prefs.selectPopupsWidth = width;
            d.RecalcLayout();
            EXPECT_EQ(body->GetVisibleHeight(), 50u) << "at " << width << " px";
        }
    };
    ScriptedSelectDlg dialog(host.get(), [&](ScriptedSelectDlg& d) {
        check(d);
        d.Cancel();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

// Edge cases: opening while the current game is filtered out clears every
// filter and selects it; "Other" sets category 11; Reset with nothing
// selected refills the list and selects nothing; the "No related
// solitaires" row ignores the mouse; Play with only "<no solitaires>"
// listed keeps the game the dialog opened with.
TEST_F(SelectDialogTest, EdgeCasesOfTheFiltersAndThePlaceholderRows) {
    AppPreferences& prefs = main().GetPrefs();
    const uint32_t initial = prefs.curSolId;
    // A stored filter that hides the current game: another category.
    {
        CSelectDlg probe(host.get());
        prefs.filter.category = static_cast<uint8_t>(probe.GetGameEntry(initial)->category % 10 + 1);
        prefs.filter.favoritesOnly = 0;
    }
    auto check = [&](ScriptedSelectDlg& d) {
        CSolSelectPopups* panel = d.GetPanel();
        EXPECT_EQ(d.GetFilter().category, 0);
        EXPECT_EQ(panel->GetFilterCombo(0)->GetCurSel(), 0);
        EXPECT_EQ(d.Rows(), games);
        EXPECT_EQ(d.MarkedGame(), initial);
        // "Other".
        ChooseFilter(panel->GetFilterCombo(0), 11);
        EXPECT_EQ(d.GetFilter().category, 11);
        EXPECT_GT(d.Rows(), 0);
        for (uint32_t g : d.RowGames()) EXPECT_TRUE(PassesFilter(*d.GetGameEntry(g), d.GetFilter()));
        // Reset with nothing selected.
        d.GetList().SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        d.GetList().SetSelectionMark(-1);
        panel->ResetFilters();
        EXPECT_EQ(d.GetFilter().category, 0);
        EXPECT_EQ(d.Rows(), games);
        EXPECT_EQ(d.MarkedGame(), kNoGame);
        EXPECT_EQ(d.GetList().SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
        // The related list of a game without related games (every game of
        // the library has some): its one placeholder row takes no hover,
        // press or click.
        d.SelectGame(initial, false);
        CRelatedListBox* list = panel->GetRelatedList();
        list->ResetContent();
        list->SetItemData(list->AddString(L""), kNoGame);
        list->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(20, 5));
        EXPECT_EQ(list->GetHotRow(), -1);
        list->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
        EXPECT_EQ(list->GetHotRow(), -1);
        ChooseFilter(panel->GetFilterCombo(1), 1);
        const SelectionFilter filtered = d.GetFilter();
        list->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(20, 5));
        EXPECT_EQ(d.GetFilter().skill, filtered.skill);
        EXPECT_EQ(list->GetHotRow(), -1);
        // Only "<no solitaires>": Play keeps the game the dialog opened with.
        ClickCheckBox(reinterpret_cast<CWnd*>(panel->GetFavoritesBox()));
        ASSERT_EQ(d.RowGames(), std::vector<uint32_t>{kNoGame});
    };
    ScriptedSelectDlg dialog(host.get(), [&](ScriptedSelectDlg& d) {
        check(d);
        d.Ok();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(prefs.curSolId, initial);
}

// The Select command with a game in progress: previews elsewhere, then
// Cancel, leave the game, its cards and its deal number as they were.
TEST_F(SelectDialogTest, CancelThroughTheSelectCommandKeepsTheGameInProgress) {
    CGameFlow& flow = main().GetGameFlow();
    main().RunFlow(flow.NewGame(Deal::Number(4242), FlowMode::kPlay));
    const uint32_t game = main().GetPrefs().curSolId;
    const std::vector<CardState> cards = flow.GetEngine().cardStates;
    static int step = 0;
    step = 0;
    // The dialog made by the Select command is found by its caption and
    // driven from a timer of this thread.
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND found = ::FindWindowW(nullptr, L"Select Solitaire");
        if (!found) return;
        auto* dialog = static_cast<CSelectDlg*>(CWnd::FromHandlePermanent(found));
        if (!dialog) return;
        ++step;
        if (step == 1) dialog->SelectGame(1, true);
        if (step == 5) dialog->SelectGame(2, true);
        if (step == 9) ::PostMessageW(found, WM_COMMAND, IDCANCEL, 0);
    });
    main().RunFlow(flow.OnSelect());
    ::KillTimer(nullptr, timer);
    EXPECT_GE(step, 9);
    EXPECT_EQ(main().GetPrefs().curSolId, game);
    EXPECT_EQ(main().GetPrefs().curGameNumber, 4242u);
    ASSERT_EQ(flow.GetEngine().cardStates.size(), cards.size());
    EXPECT_EQ(std::memcmp(flow.GetEngine().cardStates.data(), cards.data(), cards.size() * sizeof(CardState)), 0);
    // Restart deals the game on screen again.
    main().RunFlow(flow.OnRestart());
    EXPECT_EQ(main().GetPrefs().curGameNumber, 4242u);
    ASSERT_EQ(flow.GetEngine().cardStates.size(), cards.size());
    EXPECT_EQ(std::memcmp(flow.GetEngine().cardStates.data(), cards.data(), cards.size() * sizeof(CardState)), 0);
}

TEST_F(SelectDialogTest, AFailedInitialisationEndsTheDialogAndKeepsTheGame) {
    const uint32_t game = main().GetPrefs().curSolId;
    // Without its list the dialog cannot start: it ends at once, before its
    // panel, its timer or any preview exists.
    class NoListDlg : public CSelectDlg {
    public:
        using CSelectDlg::CSelectDlg;

    protected:
        BOOL OnInitDialog() override {
            ::DestroyWindow(GetDlgItemHwnd(IDC_SELECT_LIST));
            return CSelectDlg::OnInitDialog();
        }
    };
    NoListDlg dialog(host.get());
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_EQ(dialog.GetPanel(), nullptr);
    EXPECT_EQ(main().GetPrefs().curSolId, game);
}

// The thumbnail against the field's own painting of the same game, scaled
// down by plain box averages: the two differ only by the scaling.
TEST_F(SelectDialogTest, AThumbnailMatchesTheFieldScaledDown) {
    CSolGameField* field = main().GetGameField();
    const AppPreferences& prefs = main().GetPrefs();
    const PixelImage thumbnail =
        CSolGameFieldPreview::RenderThumbnail(*field, prefs.bgColor, prefs.bgPicture, prefs.bgPicturePosition);
    ASSERT_EQ(thumbnail.width, kPreviewWidth);
    ASSERT_EQ(thumbnail.height, kPreviewHeight);
    // The field laid out at the preview's field size and painted.
    ::SetWindowPos(*field, nullptr, 0, 0, kPreviewFieldWidth, kPreviewFieldHeight, SWP_NOZORDER | SWP_NOMOVE);
    field->SetFullRepaint()->PaintToBackBuffer();
    HBITMAP painted = static_cast<HBITMAP>(::GetCurrentObject(field->GetBackBufferDC(), OBJ_BITMAP));
    ASSERT_EQ(field->GetDrawWidth(), kPreviewFieldWidth);
    // A copy of the back buffer (the selected bitmap itself cannot be read).
    HDC screen = ::GetDC(nullptr);
    HDC copyDc = ::CreateCompatibleDC(screen);
    HBITMAP copy = ::CreateCompatibleBitmap(screen, kPreviewFieldWidth, kPreviewFieldHeight);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(copyDc, copy);
    ::BitBlt(copyDc, 0, 0, kPreviewFieldWidth, kPreviewFieldHeight, field->GetBackBufferDC(), 0, 0, SRCCOPY);
    ::SelectObject(copyDc, old);
    ::DeleteDC(copyDc);
    (void)painted;
    PixelImage full;
    ASSERT_TRUE(ImageFromBitmap(copy, &full));
    ::DeleteObject(copy);
    // 5 x 5 boxes: 850 / 170 and 660 / 132.
    double total = 0;
    for (int y = 0; y < kPreviewHeight; ++y) {
        for (int x = 0; x < kPreviewWidth; ++x) {
            int sum[3] = {};
            for (int j = 0; j < 5; ++j)
                for (int i = 0; i < 5; ++i) {
                    const uint32_t p = full.At(x * 5 + i, y * 5 + j);
                    sum[0] += (p >> 16) & 0xFF, sum[1] += (p >> 8) & 0xFF, sum[2] += p & 0xFF;
                }
            const uint32_t t = thumbnail.At(x, y);
            total += std::abs(sum[0] / 25 - static_cast<int>((t >> 16) & 0xFF)) +
                     std::abs(sum[1] / 25 - static_cast<int>((t >> 8) & 0xFF)) +
                     std::abs(sum[2] / 25 - static_cast<int>(t & 0xFF));
        }
    }
    const double mean = total / (3.0 * kPreviewWidth * kPreviewHeight);
    EXPECT_LT(mean, 6.0);
    // And the field's game is really on it: not the background alone.
    int differing = 0;
    const uint32_t background = ((prefs.bgColor & 0xFF) << 16) | (prefs.bgColor & 0xFF00) | ((prefs.bgColor >> 16) & 0xFF);
    for (uint32_t p : thumbnail.pixels) differing += p != background;
    EXPECT_GT(differing, kPreviewWidth * kPreviewHeight / 20);
}

TEST_F(SelectDialogTest, ACachedPreviewThatDoesNotDecodeIsRenderedAgain) {
    CPreviewImageCache cache;
    const uint32_t key = main().GetPrefs().curSolId;
    auto* junk = static_cast<uint8_t*>(std::malloc(64));
    std::memset(junk, 0x5A, 64);
    ASSERT_TRUE(cache.Add(key, junk, 64));
    PreviewSource source;
    source.field = [&] { return main().GetGameField(); };
    source.currentGame = [&] { return key; };
    source.cache = &cache;
    CSolGameFieldPreview preview(source);
    ASSERT_TRUE(preview.Create(L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, RECT{0, 0, 172, 134}, &main(), 4321));
    // First drawing renders and replaces the entry; then a bad entry again.
    preview.UpdateWindow();
    ::RedrawWindow(preview, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    uint32_t index = 0;
    ASSERT_TRUE(cache.Find(key, &index));
    uint32_t size = 0;
    cache.GetAt(index, nullptr, nullptr, &size);
    EXPECT_GT(size, 64u);
    cache.Remove(key);
    junk = static_cast<uint8_t*>(std::malloc(64));
    std::memset(junk, 0x5A, 64);
    cache.Add(key, junk, 64);
    EXPECT_FALSE(preview.NeedsRender());
    ::RedrawWindow(preview, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(cache.Find(key, &index));
    cache.GetAt(index, nullptr, nullptr, &size);
    EXPECT_GT(size, 64u) << "the entry that did not decode was rendered again";
    // A rendering only tried (a background not applied) leaves the cache.
    preview.ForgetRendered();
    EXPECT_FALSE(cache.Find(key, &index));
}

TEST_F(SelectDialogTest, OpeningAndClosingFiftyTimesKeepsTheGdiObjects) {
    auto open = [&] {
        ScriptedSelectDlg dialog(host.get(), [](ScriptedSelectDlg& d) {
            d.Settle();
            d.Cancel();
        });
        dialog.DoModal();
        Pump();
    };
    open();
    open();
    const long before = GdiObjectsInUse();
    for (int i = 0; i < 50; ++i) open();
    const long after = GdiObjectsInUse();
    EXPECT_LE(after, before + 2) << "GDI objects before " << before << ", after " << after;
    // The measure sees a leak: five brushes more are five objects more.
    HBRUSH kept[5];
    for (HBRUSH& b : kept) b = ::CreateSolidBrush(RGB(9, 9, 9));
    EXPECT_EQ(GdiObjectsInUse(), after + 5);
    for (HBRUSH b : kept) ::DeleteObject(b);
}

}  // namespace
}  // namespace corvelle
