// The field window: creation and its window class, painting against exact
// pixels, hit-testing what it painted, moves, the hint blink, and GDI
// objects across repeated use.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "engine/player_move.h"
#include "engine/records.h"
#include "field/animation.h"
#include "field/field_test_support.h"
#include "field/pile_geometry.h"
#include "field/sol_game_field.h"
#include "logic/preferences.h"
#include "library_games.h"
#include "platform/image_gdi.h"
#include "platform/resample.h"
#include "res/resource.h"
#include "visible_points.h"

using namespace corvelle;

namespace {

constexpr COLORREF kTable = RGB(0, 100, 30);

// A top-level window whose client area holds a field of width x height
// with the command bar, side panel and status bar margins around it.
class MainWindow : public CWnd {
public:
    MainWindow(int width, int height) {
        const RECT r{0, 0, width + 221, height + 60};
        CreateEx(0, DefaultClassName(), L"Field test", WS_POPUP | WS_VISIBLE, r, nullptr, 0);
    }
};

// The pixels of a device context's width x height area.
std::vector<COLORREF> PixelsOf(HDC dc, int width, int height) {
    Surface copy(width, height, RGB(0, 0, 0));
    BitBlt(copy.GetDC(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
    return copy.Pixels();
}

// Equal pixel lists, or the first pixel that differs.
::testing::AssertionResult SamePixels(const std::vector<COLORREF>& got, const std::vector<COLORREF>& want, int width) {
    if (got.size() != want.size()) return ::testing::AssertionFailure() << "sizes " << got.size() << " " << want.size();
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i])
            return ::testing::AssertionFailure() << "pixel " << i % width << "," << i / width << ": " << std::hex
                                                 << got[i] << " instead of " << want[i];
    return ::testing::AssertionSuccess();
}

class FieldTest : public ::testing::Test {
protected:
    void MakeField(int width, int height) {
        mainWindow = std::make_unique<MainWindow>(width, height);
        field = std::make_unique<CSolGameField>();
        ASSERT_TRUE(field->CreateField(mainWindow.get(), &prefs));
        field->ApplyOptions();
        painter.cardWidth = 79;
        painter.cardHeight = 112;
    }
    // Shows the hand-made piles (in this order) and paints them.
    void Show(std::vector<FieldPile> piles) {
        field->BuildFromEngine(false);
        field->GetLayout().piles = std::move(piles);
        field->PrepareDrawing();
    }
    std::vector<COLORREF> Buffer() const {
        return PixelsOf(field->GetBackBufferDC(), field->GetDrawWidth(), field->GetDrawHeight());
    }
    // A reference drawing of the field's size on the table colour, with card
    // images of its own.
    std::unique_ptr<Surface> Reference() {
        auto s = std::make_unique<Surface>(field->GetDrawWidth(), field->GetDrawHeight(), kTable);
        images = std::make_unique<CCardImageSet>(s->GetDC(), &painter, 79, 112);
        return s;
    }
    void Paint(const Surface& s, const FieldCard& c, int x, int y) {
        if (c.faceUp)
            images->DrawFace(s.GetDC(), x, y, c.suit, c.rank);
        else
            images->DrawBack(s.GetDC(), x, y, prefs.cardBack);
    }

    AppPreferences prefs = [] {
        AppPreferences p;
        p.bgColor = kTable;
        return p;
    }();
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<CSolGameField> field;
    CCardPainter painter;
    std::unique_ptr<CCardImageSet> images;
};

FieldCard Card(uint16_t number, uint32_t suit, uint32_t rank, bool up) {
    FieldCard c;
    c.card = number;
    c.suit = suit;
    c.rank = rank;
    c.faceUp = up;
    return c;
}

// A pile whose first card's top-left corner is (x, y); the pile holds the
// card's centre, half a 79 x 112 card further.
FieldPile Pile(int32_t x, int32_t y, uint32_t fan, std::vector<FieldCard> cards, uint32_t baseKind = BasePlain) {
    FieldPile p;
    p.x = x + 39;
    p.y = y + 56;
    p.fan = fan;
    p.visible = 1;
    p.baseKind = baseKind;
    p.cards = std::move(cards);
    return p;
}

TEST_F(FieldTest, CreatedOverTheMainAreaWithTheDefaultClassWithoutDoubleClicks) {
    MakeField(600, 400);
    HWND w = field->GetSafeHwnd();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetDlgCtrlID(w), IDC_GAME_FIELD);
    wchar_t name[32] = {};
    GetWindowTextW(w, name, 32);
    EXPECT_STREQ(name, L"SolGameField");
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    EXPECT_STREQ(cls, CWnd::DefaultClassName());
    EXPECT_EQ(GetClassLongPtrW(w, GCL_STYLE) & CS_DBLCLKS, 0u);
    RECT r;
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, mainWindow->GetSafeHwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right, 600);
    EXPECT_EQ(r.bottom, 440);
    EXPECT_EQ(field->GetDrawWidth(), 600);
    EXPECT_EQ(field->GetDrawHeight(), 400);
    ASSERT_NE(field->GetBackBufferDC(), nullptr);
    EXPECT_EQ(CSolGameField::CreateGameField(nullptr, &prefs), nullptr);  // a child needs a parent
}

// A field that counts the presses and double clicks it receives.
class CountingField : public CSolGameField {
public:
    int presses = 0;
    int doubleClicks = 0;

protected:
    void OnLButtonDown(UINT, POINT) override { ++presses; }
    void OnLButtonDblClk(UINT, POINT) override { ++doubleClicks; }
};

TEST(FieldInput, AQuickSecondPressArrivesAsAPress) {
    MainWindow main(400, 300);
    CountingField field;
    AppPreferences prefs;
    ASSERT_TRUE(field.CreateField(&main, &prefs));
    // Test programs running beside this one open windows of their own: this
    // window stays above them and in front, so the clicks reach the field.
    SetWindowPos(main.GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    for (int i = 0; i < 1000 && GetForegroundWindow() != main.GetSafeHwnd(); ++i) {
        SetForegroundWindow(main.GetSafeHwnd());
        Sleep(10);
    }
    ASSERT_EQ(GetForegroundWindow(), main.GetSafeHwnd());
    RECT r;
    GetWindowRect(field.GetSafeHwnd(), &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT clicks[4] = {};
    for (int i = 0; i < 4; ++i) {
        clicks[i].type = INPUT_MOUSE;
        clicks[i].mi.dwFlags = i % 2 == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    }
    ASSERT_EQ(SendInput(4, clicks, sizeof(INPUT)), 4u);
    // Both presses arrive together however busy the machine is (one batch);
    // their handling may come late.
    const DWORD until = GetTickCount() + 10000;
    MSG msg;
    while (GetTickCount() < until && field.presses + field.doubleClicks < 2) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
    EXPECT_EQ(field.presses, 2);
    EXPECT_EQ(field.doubleClicks, 0);
}

TEST_F(FieldTest, WithoutAGameTheFieldIsTheBackgroundColour) {
    MakeField(300, 200);
    field->Redraw();
    for (COLORREF c : Buffer()) ASSERT_EQ(c, kTable);
}

TEST_F(FieldTest, PilesBasesMarksAndSelectionMatchAReferenceDrawing) {
    MakeField(700, 450);
    FieldPile marked = Pile(400, 10, FanNone, {}, BaseMarked);
    marked.baseValue = 12;
    marked.baseSuit = 3;
    FieldPile badMarks = Pile(500, 10, FanNone, {}, BaseMarked);
    badMarks.baseValue = 13;   // beyond the king: no rank mark
    badMarks.baseSuit = 4;     // beyond hearts: no suit mark
    FieldPile hidden = Pile(600, 10, FanDown, {Card(20, 0, 0, true)});
    hidden.visible = 0;
    Show({Pile(10, 10, FanDown, {Card(0, 0, 4, false), Card(1, 3, 11, true), Card(2, 1, 0, true)}),
          Pile(200, 10, FanNone, {Card(3, 2, 5, true), Card(4, 2, 6, true), Card(5, 0, 12, true)}),
          Pile(300, 10, FanNone, {}), marked, badMarks, hidden, Pile(10, 300, FanNone, {}, BaseNone),
          Pile(300, 300, FanNone, {}, BasePictured)});
    field->SetSelection(0, 1);
    field->Redraw();

    auto ref = Reference();
    const FieldLayout& l = field->GetLayout();
    Paint(*ref, l.piles[0].cards[0], 10, 10);
    Paint(*ref, l.piles[0].cards[1], 10, 30);
    painter.DrawSelectionFrame(ref->GetDC(), 10, 30);
    Paint(*ref, l.piles[0].cards[2], 10, 50);
    Paint(*ref, l.piles[1].cards[1], 200, 10);   // an unfanned pile shows its top two cards,
    Paint(*ref, l.piles[1].cards[2], 200, 11);   // the top one a pixel lower
    painter.DrawPileBase(ref->GetDC(), 300, 10, l.piles[2]);
    painter.DrawPileBase(ref->GetDC(), 400, 10, marked);
    FieldPile plainMarked = badMarks;
    plainMarked.baseValue = kNoMark;
    plainMarked.baseSuit = kNoMark;
    painter.DrawPileBase(ref->GetDC(), 500, 10, plainMarked);
    painter.DrawPileBase(ref->GetDC(), 300, 300, l.piles[7]);
    EXPECT_TRUE(SamePixels(Buffer(), ref->Pixels(), field->GetDrawWidth()));

    // An empty pile's selection frames its base.
    field->SetSelection(2, kFieldNone);
    field->Redraw();
    Paint(*ref, l.piles[0].cards[1], 10, 30);   // the first pile without its frame
    Paint(*ref, l.piles[0].cards[2], 10, 50);
    painter.DrawSelectionFrame(ref->GetDC(), 300, 10);
    EXPECT_TRUE(SamePixels(Buffer(), ref->Pixels(), field->GetDrawWidth()));
}

TEST_F(FieldTest, PeekedCardIsDrawnWholeOnTopAndHitFirst) {
    MakeField(300, 300);
    Show({Pile(10, 10, FanDown, {Card(0, 0, 0, true), Card(1, 1, 1, true), Card(2, 2, 2, true), Card(3, 3, 3, true)}),
          Pile(150, 10, FanNone, {Card(4, 0, 7, true), Card(5, 0, 8, true)})});
    field->Redraw();
    const std::vector<COLORREF> plain = Buffer();

    field->SetPeek(0, 1);
    field->Redraw();
    auto ref = Reference();
    for (int i = 0; i < 4; ++i) Paint(*ref, field->GetLayout().piles[0].cards[i], 10, 10 + 20 * i);
    Paint(*ref, field->GetLayout().piles[1].cards[0], 150, 10);
    Paint(*ref, field->GetLayout().piles[1].cards[1], 150, 11);
    Paint(*ref, field->GetLayout().piles[0].cards[1], 10, 30);
    EXPECT_TRUE(SamePixels(Buffer(), ref->Pixels(), field->GetDrawWidth()));
    uint16_t pile = 0, index = 0;
    ASSERT_TRUE(field->GetHitRegions().HitTest(50, 100, &pile, &index, nullptr));
    EXPECT_EQ(pile, 0);
    EXPECT_EQ(index, 1);

    // A peek past the pile's cards, or at a covered card of an unfanned
    // pile, draws nothing more.
    for (auto peek : {std::make_pair(0, 4), std::make_pair(0, 0xFFFF), std::make_pair(1, 0), std::make_pair(9, 0)}) {
        field->SetPeek(static_cast<uint16_t>(peek.first), static_cast<uint16_t>(peek.second));
        field->Redraw();
        EXPECT_TRUE(SamePixels(Buffer(), plain, field->GetDrawWidth())) << peek.first << "," << peek.second;
    }
}

PixelImage FieldPicture() {
    PixelImage picture;
    HBITMAP b = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_FIELD_PICTURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ImageFromBitmap(b, &picture);
    DeleteObject(b);
    return picture;
}

TEST_F(FieldTest, BackgroundPictureCentredTiledAndStretched) {
    const PixelImage picture = FieldPicture();
    ASSERT_EQ(picture.width, 890);
    ASSERT_EQ(picture.height, 700);
    prefs.bgPicture = 1;
    MakeField(900, 600);
    field->Redraw();
    auto ref = Reference();
    DrawImage(ref->GetDC(), picture, 5, -50);
    EXPECT_TRUE(SamePixels(Buffer(), ref->Pixels(), field->GetDrawWidth()));
    EXPECT_EQ(ref->At(4, 0), kTable);

    prefs.bgPicturePosition = 1;
    MakeField(1100, 800);
    field->Redraw();
    ref = Reference();
    for (int y : {0, 700})
        for (int x : {0, 890}) DrawImage(ref->GetDC(), picture, x, y);
    EXPECT_TRUE(SamePixels(Buffer(), ref->Pixels(), field->GetDrawWidth()));

    prefs.bgPicturePosition = 2;
    field->DiscardScaledPicture();
    field->Redraw();
    ref = Reference();
    DrawImage(ref->GetDC(), ResampleImage(picture, 1100, 800), 0, 0);
    EXPECT_TRUE(SamePixels(Buffer(), ref->Pixels(), field->GetDrawWidth()));

    // A new size makes the stretched picture again.
    mainWindow->SetWindowPos(nullptr, 0, 0, 500 + 221, 300 + 60, SWP_NOMOVE | SWP_NOZORDER);
    field->MoveWindow(RECT{0, 40, 500, 340});
    field->Redraw();
    ref = Reference();
    DrawImage(ref->GetDC(), ResampleImage(picture, 500, 300), 0, 0);
    EXPECT_TRUE(SamePixels(Buffer(), ref->Pixels(), field->GetDrawWidth()));

    prefs.bgPicturePosition = 3;   // no such position: the colour alone
    field->Redraw();
    for (COLORREF c : Buffer()) ASSERT_EQ(c, kTable);
}

TEST_F(FieldTest, AFieldWithoutAreaSkipsTheBufferAndTheStretch) {
    prefs.bgPicture = 1;
    prefs.bgPicturePosition = 2;
    MakeField(0, 0);
    EXPECT_EQ(field->GetBackBufferDC(), nullptr);
    Show({Pile(10, 10, FanDown, {Card(0, 0, 0, true), Card(1, 0, 1, true)})});
    field->Redraw();
    field->MoveCardsAnimated(0, 1, 1, 0, 0);
    field->BlinkHint(0, kFieldNone);
    EXPECT_EQ(field->GetBackBufferDC(), nullptr);
    field->MoveWindow(RECT{0, 40, 200, 200});
    field->Redraw();
    ASSERT_NE(field->GetBackBufferDC(), nullptr);
    EXPECT_EQ(field->GetDrawWidth(), 200);
    EXPECT_EQ(field->GetDrawHeight(), 160);
    field->MoveWindow(RECT{0, 40, 0, 40});   // minimised again
    field->Redraw();
    EXPECT_EQ(field->GetBackBufferDC(), nullptr);
}

TEST_F(FieldTest, EveryCardOfDealtGamesIsFoundWhereItIsPainted) {
    MakeField(1100, 800);
    for (const char* name : {"Klondike (draw one)", "Spider (two suits)", "FreeCell", "Pyramid", "Golf", "Canfield"}) {
        CGameEngine engine;
        ASSERT_TRUE(test::DealLibraryGame(engine, name, 11)) << name;
        field->SetEngine(&engine);
        ASSERT_TRUE(field->BuildFromEngine(false)) << name;
        field->PrepareDrawing();
        field->Redraw();
        const FieldLayout& layout = field->GetLayout();
        const std::vector<HitRegion>& regions = field->GetHitRegions().GetEntries();
        size_t cards = 0;
        for (size_t i = 0; i < regions.size(); ++i) {
            if (regions[i].index >= 0) ++cards;
            int32_t x = 0, y = 0;
            if (layout.piles[regions[i].pile].cards.empty() && layout.piles[regions[i].pile].baseKind == BaseNone)
                continue;
            ASSERT_TRUE(test::VisiblePoint(regions, layout, i, &x, &y)) << name;
            uint16_t pile = 0, index = 0;
            ASSERT_TRUE(field->GetHitRegions().HitTest(x, y, &pile, &index, nullptr)) << name;
            EXPECT_EQ(pile, regions[i].pile) << name;
            EXPECT_EQ(index, regions[i].index < 0 ? kFieldNone : static_cast<uint16_t>(regions[i].index)) << name;
            // A card's point shows the card, not the table.
            if (regions[i].index >= 0) {
                EXPECT_NE(GetPixel(field->GetBackBufferDC(), x, y), kTable) << name << " at " << x << "," << y;
            }
        }
        // Every card of a fanned pile and the top card of every other pile
        // has its region.
        size_t expected = 0;
        for (const FieldPile& p : layout.piles)
            if (p.visible) expected += p.fan != FanNone ? p.cards.size() : (p.cards.empty() ? 0 : 1);
        EXPECT_EQ(cards, expected) << name;
    }
    field->SetEngine(nullptr);
}

TEST_F(FieldTest, RunImagesHoldTheRunWithTheKeyAround) {
    MakeField(300, 300);
    const std::vector<FieldCard> cards = {Card(0, 0, 9, true), Card(1, 1, 8, true), Card(2, 3, 7, false),
                                          Card(3, 2, 6, true)};
    Show({Pile(200, 10, FanLeft, cards), Pile(10, 10, FanNone, cards)});
    CMemoryBitmap image;
    int32_t ox = -1, oy = -1;
    ASSERT_TRUE(field->RenderRun(0, 1, 3, field->GetBackBufferDC(), &image, &ox, &oy));
    EXPECT_EQ(image.GetWidth(), 79u + 40u);
    EXPECT_EQ(image.GetHeight(), 112u);
    EXPECT_EQ(ox, 40);
    EXPECT_EQ(oy, 0);
    Surface ref(119, 112, kKeyGreen);
    images = std::make_unique<CCardImageSet>(ref.GetDC(), &painter, 79, 112);
    Paint(ref, cards[1], 40, 0);
    Paint(ref, cards[2], 20, 0);
    Paint(ref, cards[3], 0, 0);
    EXPECT_TRUE(SamePixels(PixelsOf(image.GetDC(), 119, 112), ref.Pixels(), 119));

    ASSERT_TRUE(field->RenderRun(1, 1, 3, field->GetBackBufferDC(), &image, &ox, &oy));
    EXPECT_EQ(image.GetWidth(), 79u);
    Surface top(79, 112, kKeyGreen);
    Paint(top, cards[3], 0, 0);
    EXPECT_TRUE(SamePixels(PixelsOf(image.GetDC(), 79, 112), top.Pixels(), 79));

    EXPECT_FALSE(field->RenderRun(0, 2, 3, field->GetBackBufferDC(), &image, &ox, &oy));
    EXPECT_EQ(image.GetDC(), nullptr);
}

TEST_F(FieldTest, AnimatedMoveEndsWithTheFieldRedrawnAndUnanimatedMoveDrawsNothing) {
    MakeField(500, 400);
    auto piles = [] {
        return std::vector<FieldPile>{
            Pile(10, 10, FanDown, {Card(0, 0, 4, false), Card(1, 0, 3, true), Card(2, 3, 2, true)}),
            Pile(200, 10, FanDown, {Card(3, 2, 12, true)}), Pile(350, 10, FanNone, {})};
    };
    Show(piles());
    field->Redraw();
    field->MoveCardsAnimated(0, 1, 2, 1, 1);
    EXPECT_EQ(field->GetLayout().piles[0].cards.size(), 1u);
    ASSERT_EQ(field->GetLayout().piles[1].cards.size(), 3u);
    EXPECT_EQ(field->GetLayout().piles[1].cards[2].card, 2);
    const std::vector<COLORREF> after = Buffer();
    field->Redraw();
    EXPECT_TRUE(SamePixels(Buffer(), after, field->GetDrawWidth()));

    // Out of range: nothing changes.
    field->MoveCardsAnimated(0, 0, 2, 2, 0);
    field->MoveCardsAnimated(0, 0, 1, 2, 1);
    field->MoveCardsAnimated(0, 0, 0, 2, 0);
    EXPECT_EQ(field->GetLayout().piles[0].cards.size(), 1u);
    EXPECT_TRUE(SamePixels(Buffer(), after, field->GetDrawWidth()));

    prefs.animation = 0;
    field->ApplyOptions();
    field->MoveCardsAnimated(1, 0, 3, 2, 0);
    EXPECT_EQ(field->GetLayout().piles[2].cards.size(), 3u);
    EXPECT_TRUE(SamePixels(Buffer(), after, field->GetDrawWidth()));   // the caller's batch ends with one redraw
}

// The highlight as the back buffer shows it at every pause of the blink,
// with the pause replaced by a clock that only counts.
TEST_F(FieldTest, HintBlinkShowsTheCardThenTheTargetTwiceEachOnAClockOf200Ms) {
    MakeField(400, 300);
    Show({Pile(10, 10, FanDown, {Card(0, 0, 4, true), Card(7, 0, 3, true)}), Pile(200, 10, FanNone, {}),
          Pile(300, 10, FanNone, {Card(9, 1, 1, true)})});
    field->SetSelection(0, 0);   // a clicking-mode selection the hint replaces
    field->Redraw();
    uint32_t clock = 0;
    struct Seen {
        uint32_t at;
        uint32_t pile, index;
        COLORREF cardCentre, baseEdge;
    };
    std::vector<Seen> seen;
    field->SetPause([&](uint32_t ms) {
        seen.push_back({clock, field->GetSelectedPile(), field->GetSelectedIndex(),
                        GetPixel(field->GetBackBufferDC(), 50, 30 + 56), GetPixel(field->GetBackBufferDC(), 200 + 40, 10)});
        clock += ms;
    });
    field->BlinkHint(7, 1);
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(clock, 1600u);
    for (size_t k = 0; k < 8; ++k) {
        EXPECT_EQ(seen[k].at, 200u * k);
        const bool on = k % 2 == 0;
        EXPECT_EQ(seen[k].pile, on ? (k < 4 ? 0u : 1u) : kFieldNone) << k;
        EXPECT_EQ(seen[k].index, on && k < 4 ? 1u : kFieldNone) << k;
        // The card's centre is inverted while it is on, the base's top edge
        // while the target is on.
        EXPECT_EQ(seen[k].cardCentre != seen[1].cardCentre, on && k < 4) << k;
        EXPECT_EQ(seen[k].baseEdge != seen[1].baseEdge, on && k >= 4) << k;
    }
    EXPECT_EQ(field->GetSelectedPile(), kFieldNone);

    seen.clear();
    clock = 0;
    field->BlinkHint(2, kFieldNone);   // a pile to click: its top card
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].pile, 2u);
    EXPECT_EQ(seen[0].index, 0u);
    EXPECT_EQ(seen[2].pile, 2u);
    EXPECT_EQ(seen[3].pile, kFieldNone);
    EXPECT_EQ(clock, 800u);
}

// Pyramid and Tri Peaks, whose rows lie over the row above, played at
// random through the player's moves: wherever a card lies, the field shows
// that card (the cards drawn over one another in draw order), so no empty
// place's outline is drawn across a card of the row above.
TEST_F(FieldTest, NoPileBaseIsDrawnAcrossACard) {
    constexpr COLORREF kNoCard = RGB(255, 0, 255);
    for (const auto& size : {std::make_pair(1100, 800), std::make_pair(867, 686)}) {
        MakeField(size.first, size.second);
        const int width = field->GetDrawWidth(), height = field->GetDrawHeight();
        for (const char* name : {"Pyramid", "Tri Peaks"}) {
            int checked = 0, emptied = 0;
            for (uint32_t deal = 1; deal <= 3; ++deal) {
                CGameEngine engine;
                ASSERT_TRUE(test::DealLibraryGame(engine, name, deal)) << name;
                field->SetEngine(&engine);
                std::mt19937 random(deal);
                for (int step = 0; step < 40 && !engine.finished; ++step) {
                    std::vector<CGameEngine::HintMove> hints;
                    engine.FindAllHints(hints, true);
                    if (hints.empty()) break;
                    const CGameEngine::HintMove h = hints[random() % hints.size()];
                    ASSERT_TRUE(h.second == kNone ? PlayClick(engine, h.first) : PlayMove(engine, h.first, h.second));
                    if (step % 4 != 3) continue;
                    field->BuildFromEngine(false);
                    field->PrepareDrawing();
                    field->Redraw();
                    // The cards alone, on the table and on a colour no card
                    // has, in the field's draw order.
                    const FieldLayout& layout = field->GetLayout();
                    auto cards = Reference();
                    Surface where(width, height, kNoCard);
                    std::vector<CardSpot> spots;
                    for (uint16_t p : SortPilesByZOrder(layout)) {
                        spots.clear();
                        LayOutPile(layout, layout.piles[p], width, height, spots);
                        for (const CardSpot& spot : spots) {
                            if (spot.index < 0) continue;
                            const FieldCard& c = layout.piles[p].cards[static_cast<size_t>(spot.index)];
                            Paint(*cards, c, spot.x, spot.y);
                            Paint(where, c, spot.x, spot.y);
                        }
                    }
                    for (const FieldPile& p : layout.piles) emptied += p.visible && p.cards.empty();
                    const std::vector<COLORREF> shown = Buffer(), want = cards->Pixels(), card = where.Pixels();
                    size_t wrong = 0, first = 0;
                    for (size_t i = 0; i < shown.size(); ++i)
                        if (card[i] != kNoCard && shown[i] != want[i] && wrong++ == 0) first = i;
                    EXPECT_EQ(wrong, 0u) << name << " deal " << deal << " step " << step << " at " << width << "x"
                                         << height << ": first at " << first % width << "," << first / width;
                    ++checked;
                }
            }
            EXPECT_GT(checked, 20) << name;
            EXPECT_GT(emptied, 20) << name;
        }
    }
    field->SetEngine(nullptr);
}

TEST_F(FieldTest, RepeatedCreationPaintingAndDestructionLeaveNoGdiObjects) {
    prefs.bgPicture = 1;
    prefs.bgPicturePosition = 2;
    CGameEngine engine;
    ASSERT_TRUE(test::DealLibraryGame(engine, "Klondike (draw one)", 5));
    auto cycle = [&] {
        MakeField(640, 480);
        field->SetEngine(&engine);
        field->BuildFromEngine(false);
        field->PrepareDrawing();
        field->Redraw();
        field->SetPeek(7, 0);
        field->SetPause([](uint32_t) {});
        field->BlinkHint(7, kFieldNone);
        const FieldPile& waste = field->GetLayout().piles[8];
        field->MoveCardsAnimated(7, static_cast<uint16_t>(field->GetLayout().piles[7].cards.size() - 1), 1, 8,
                                  static_cast<uint16_t>(waste.cards.size()));
        CMemoryBitmap image;
        field->RenderRun(0, 0, 1, field->GetBackBufferDC(), &image, nullptr, nullptr);
        field.reset();
        mainWindow.reset();
    };
    cycle();   // first use loads what GDI keeps for the process
    const int before = LiveGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 10; ++i) cycle();
    EXPECT_EQ(LiveGdiObjects(), before);
}

}  // namespace
