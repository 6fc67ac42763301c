// The field played with the mouse: mouse messages posted to the field window
// and handled by its message loop, on games of the library, in both play
// modes. After every step the field's copy must equal a fresh copy of the
// engine's game.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>

#include "engine/action_range.h"
#include "engine/invariants.h"
#include "engine/player_move.h"
#include "field/animation.h"
#include "field/field_test_support.h"
#include "field/sol_game_field.h"
#include "logic/preferences.h"
#include "field_compare.h"
#include "field_mouse.h"
#include "library_games.h"
#include "visible_points.h"

using namespace corvelle;

namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 800;

// The field's parent: counts the game-state checks the field sends. It is
// never shown: the mouse messages are posted to the field, and a hidden
// window takes no real clicks meant for the windows of tests running beside
// these.
class MainWindow : public CWnd {
public:
    MainWindow() {
        const RECT r{0, 0, kWidth + 221, kHeight + 60};
        CreateEx(0, DefaultClassName(), L"Input test", WS_POPUP, r, nullptr, 0);
    }
    int checks = 0;
    std::function<void()> onCheck;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GAMESTATECHECK) {
            ++checks;
            if (onCheck) onCheck();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// A window that takes the mouse capture away from the field.
class Thief : public CWnd {
public:
    Thief() {
        const RECT r{kWidth + 230, 0, kWidth + 250, 20};
        CreateEx(0, DefaultClassName(), L"Thief", WS_POPUP, r, nullptr, 0);
    }
};

POINT Pt(int32_t x, int32_t y) { return POINT{x, y}; }

// The cards' places and flags, byte for byte.
bool SameCards(const std::vector<CardState>& a, const std::vector<CardState>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(CardState)) == 0;
}

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        mainWindow = std::make_unique<MainWindow>();
        field = std::make_unique<CSolGameField>();
        ASSERT_TRUE(field->CreateField(mainWindow.get(), &prefs));
        field->SetClock([this] { return now; });
        mouse = test::FieldMouse(field.get());
    }
    void TearDown() override {
        field.reset();
        mainWindow.reset();
    }

    // Deals the game and shows it as the main window does.
    void Play(const std::string& name, uint32_t number, PlayMode mode, uint8_t animation) {
        field->SetEngine(nullptr);
        engine = std::make_unique<CGameEngine>();
        ASSERT_TRUE(test::DealLibraryGame(*engine, name, number)) << name;
        ASSERT_TRUE(StartGame(*engine, number));
        prefs.playMode = mode;
        prefs.animation = animation;
        field->ApplyOptions();
        field->SetEngine(engine.get());
        Rebuild();
    }
    void Rebuild() {
        field->BuildFromEngine(false);
        field->PrepareDrawing();
        field->Redraw();
    }
    void Pump() { test::FieldMouse::Pump(); }
    void Post(UINT message, WPARAM flags, POINT p) { mouse.Post(message, flags, p); }
    void Click(POINT p) { mouse.Click(p); }
    bool PointOf(uint16_t pile, uint16_t index, POINT* p, HitRect* rect = nullptr) const {
        return mouse.PointOf(pile, index, p, rect);
    }
    bool TargetPoint(uint16_t pile, POINT* p) const { return mouse.TargetPoint(pile, p); }
    bool DragTo(uint16_t pile, uint16_t index, POINT target, bool release = true) {
        return mouse.DragTo(pile, index, target, release);
    }
    std::string Difference() const { return test::FieldDifferenceFromEngine(field->GetLayout(), *engine); }
    std::vector<COLORREF> Buffer() const {
        Surface copy(field->GetDrawWidth(), field->GetDrawHeight(), RGB(0, 0, 0));
        BitBlt(copy.GetDC(), 0, 0, field->GetDrawWidth(), field->GetDrawHeight(), field->GetBackBufferDC(), 0, 0, SRCCOPY);
        return copy.Pixels();
    }
    bool FindVisibleHint(uint16_t* pile, uint16_t* index, uint16_t* target) const {
        return mouse.FindVisibleHint(*engine, pile, index, target);
    }
    // The first deal from `first` on with a visible hint.
    uint32_t DealWithHint(const std::string& name, uint32_t first, PlayMode mode, uint16_t* pile, uint16_t* index,
                          uint16_t* target) {
        for (uint32_t n = first; n < first + 50; ++n) {
            Play(name, n, mode, 0);
            if (FindVisibleHint(pile, index, target)) return n;
        }
        ADD_FAILURE() << "no deal of " << name << " with a move";
        return 0;
    }

    AppPreferences prefs;
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<CSolGameField> field;
    std::unique_ptr<CGameEngine> engine;
    test::FieldMouse mouse{nullptr};
    uint32_t now = 1000;
};

TEST_F(InputTest, ALegalDragMovesTheRunAndTheCopyEqualsAFreshBuild) {
    // Fanned down, fanned left (the drop point is then the run's top card),
    // unfanned cells, and multi-card runs.
    for (const char* name : {"Klondike (draw one)", "Beleaguered Castle", "FreeCell", "Yukon", "Spider (one suit)"}) {
        uint16_t pile = 0, index = 0, target = 0;
        DealWithHint(name, 1, PlayMode::kDrag, &pile, &index, &target);
        const uint16_t card = field->GetLayout().piles[pile].cards[index].card;
        POINT to{};
        ASSERT_TRUE(TargetPoint(target, &to));
        const int checks = mainWindow->checks;
        bool atRest = false;
        mainWindow->onCheck = [&] { atRest = !field->IsDragging() && Difference().empty(); };
        ASSERT_TRUE(DragTo(pile, index, to, false));
        EXPECT_TRUE(field->IsDragging()) << name;
        EXPECT_EQ(GetCapture(), field->GetSafeHwnd()) << name;
        Post(WM_LBUTTONUP, 0, Pt(0, 0));   // the drop point, not the cursor, picks the target
        EXPECT_FALSE(field->IsDragging());
        EXPECT_EQ(GetCapture(), nullptr) << name;
        EXPECT_EQ(engine->cardStates[card].pile, target) << name;
        EXPECT_EQ(Difference(), "") << name;
        EXPECT_EQ(mainWindow->checks, checks + 1) << name;
        EXPECT_TRUE(atRest) << name;
        mainWindow->onCheck = nullptr;
        // The screen shows the end state.
        const std::vector<COLORREF> shown = Buffer();
        field->Redraw();
        EXPECT_TRUE(shown == Buffer()) << name;
    }
}

TEST_F(InputTest, RefusedDropsDropsOutsideAndOnTheOwnPilePutTheCardsBack) {
    Play("Klondike (draw one)", 3, PlayMode::kDrag, 1);
    const std::vector<COLORREF> before = Buffer();
    const std::vector<CardState> states = engine->cardStates;
    uint16_t column = 6;   // a column whose top card is no ace (an ace would go to a foundation)
    while (field->GetLayout().piles[column].cards.back().rank == 0) ++column;
    const auto top = static_cast<uint16_t>(field->GetLayout().piles[column].cards.size() - 1);
    POINT foundation{}, table = Pt(kWidth - 5, kHeight - 5), own{};
    ASSERT_TRUE(TargetPoint(2, &foundation));
    ASSERT_TRUE(TargetPoint(column, &own));
    uint16_t hitPile = 0;
    ASSERT_FALSE(field->GetHitRegions().HitTest(table.x, table.y, &hitPile, nullptr, nullptr));
    for (POINT to : {foundation, table, own}) {
        ASSERT_TRUE(DragTo(column, top, to));
        EXPECT_FALSE(field->IsDragging());
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(Difference(), "");
        EXPECT_TRUE(SameCards(engine->cardStates, states));
        EXPECT_TRUE(Buffer() == before);
    }
    EXPECT_EQ(mainWindow->checks, 0);
    EXPECT_EQ(field->GetAnimationFramesShown(), 0u);
}

TEST_F(InputTest, APressAndReleaseInPlaceIsAClickOnThePile) {
    Play("Klondike (draw one)", 3, PlayMode::kDrag, 0);
    POINT stock{};
    ASSERT_TRUE(PointOf(0, 23, &stock));
    Post(WM_LBUTTONDOWN, MK_LBUTTON, stock);
    Post(WM_MOUSEMOVE, MK_LBUTTON, Pt(stock.x + 3, stock.y + 3));   // within the threshold
    Post(WM_LBUTTONUP, 0, Pt(stock.x + 3, stock.y + 3));
    EXPECT_EQ(engine->pileStates[1].count, 1);   // one card turned onto the waste
    EXPECT_EQ(Difference(), "");
    EXPECT_EQ(mainWindow->checks, 1);
    // A release on another card of the pile, or a right press, does nothing.
    POINT covered{};
    ASSERT_TRUE(PointOf(12, 0, &covered));
    POINT topCard{};
    ASSERT_TRUE(PointOf(12, 6, &topCard));
    Post(WM_LBUTTONDOWN, MK_LBUTTON, covered);
    Post(WM_LBUTTONUP, 0, topCard);
    Post(WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, stock);
    Post(WM_LBUTTONUP, 0, stock);
    EXPECT_EQ(engine->pileStates[1].count, 1);
    EXPECT_EQ(mainWindow->checks, 1);
}

TEST_F(InputTest, ClickingModeSelectsMovesDeselectsAndClicksTheStock) {
    uint16_t pile = 0, index = 0, target = 0;
    DealWithHint("Klondike (draw one)", 1, PlayMode::kClick, &pile, &index, &target);
    const uint16_t card = field->GetLayout().piles[pile].cards[index].card;
    POINT at{}, to{}, stock{};
    ASSERT_TRUE(PointOf(pile, index, &at));
    ASSERT_TRUE(TargetPoint(target, &to));
    ASSERT_TRUE(TargetPoint(0, &stock));

    // Select, then deselect by a press elsewhere on the same pile or on the table.
    Click(at);
    EXPECT_EQ(field->GetSelectedPile(), pile);
    EXPECT_EQ(field->GetSelectedIndex(), index);
    Click(Pt(kWidth - 5, kHeight - 5));
    EXPECT_EQ(field->GetSelectedPile(), kFieldNone);
    // A second click on the selected card two seconds later only deselects.
    Click(at);
    now += 2;
    Click(at);
    EXPECT_EQ(field->GetSelectedPile(), kFieldNone);
    EXPECT_EQ(mainWindow->checks, 0);

    // A refused target keeps the selection; the legal one moves the run.
    Click(at);
    POINT refused = to;
    for (uint16_t p = 2; p < 13; ++p)
        if (p != target && p != pile && CheckDrop(*engine, card, p) != MoveRefusal::None && TargetPoint(p, &refused))
            break;
    Click(refused);
    EXPECT_EQ(field->GetSelectedPile(), pile);
    EXPECT_EQ(mainWindow->checks, 0);
    Click(to);
    EXPECT_EQ(field->GetSelectedPile(), kFieldNone);
    EXPECT_EQ(engine->cardStates[card].pile, target);
    EXPECT_EQ(Difference(), "");
    EXPECT_EQ(mainWindow->checks, 1);

    // The stock's cards cannot be picked up: a press clicks the stock.
    const uint16_t waste = engine->pileStates[1].count;
    Click(stock);
    EXPECT_EQ(engine->pileStates[1].count, waste + 1);
    EXPECT_EQ(field->GetSelectedPile(), kFieldNone);
    EXPECT_EQ(Difference(), "");
    EXPECT_EQ(mainWindow->checks, 2);
}

TEST_F(InputTest, ASecondClickWithinTheSecondClicksTheSelectedCardsPile) {
    // A free King of the pyramid's bottom row is discarded by clicking it.
    for (uint32_t n = 1; n < 200; ++n) {
        Play("Pyramid", n, PlayMode::kClick, 1);
        for (uint16_t p = 21; p < 28; ++p) {
            const FieldPile& pile = field->GetLayout().piles[p];
            if (pile.cards.size() != 1 || pile.cards[0].rank != 12) continue;
            POINT at{};
            ASSERT_TRUE(PointOf(p, 0, &at));
            Click(at);
            ASSERT_EQ(field->GetSelectedPile(), p);
            now += 1;
            Click(at);
            EXPECT_EQ(field->GetSelectedPile(), kFieldNone);
            EXPECT_EQ(engine->pileStates[p].count, 0);
            EXPECT_EQ(Difference(), "");
            EXPECT_EQ(mainWindow->checks, 1);
            return;
        }
    }
    FAIL() << "no deal with a king in the bottom row";
}

// Each way of losing the capture in mid-drag ends the drag as a refused
// drop does, and leaves no GDI object behind.
TEST_F(InputTest, ACaptureLostInMidDragPutsTheCardsBackAndLeaksNothing) {
    uint16_t pile = 0, index = 0, target = 0;
    DealWithHint("FreeCell", 1, PlayMode::kDrag, &pile, &index, &target);
    POINT to{};
    ASSERT_TRUE(TargetPoint(target, &to));
    const std::vector<COLORREF> before = Buffer();
    const std::vector<CardState> states = engine->cardStates;
    Thief thief;
    int objects = 0;
    for (int round = 0; round < 4; ++round) {
        // The first round makes what GDI keeps for the process once.
        if (round == 1) objects = LiveGdiObjects();
        for (int cause = 0; cause < 4; ++cause) {
            ASSERT_TRUE(DragTo(pile, index, to, false));
            ASSERT_TRUE(field->IsDragging());
            ASSERT_EQ(field->GetLayout().piles[pile].cards.size(), index);   // the run is lifted
            switch (cause) {
            case 0: SetCapture(thief.GetSafeHwnd()); break;
            case 1: field->SendMessage(WM_CANCELMODE); break;
            case 2: Post(WM_RBUTTONDOWN, MK_RBUTTON | MK_LBUTTON, Pt(kWidth - 5, kHeight - 5)); break;
            case 3: field->CancelDrag(); break;   // the main window's own cancel
            }
            Pump();
            EXPECT_FALSE(field->IsDragging()) << cause;
            EXPECT_FALSE(field->IsLeftButtonDown()) << cause;
            EXPECT_EQ(Difference(), "") << cause;
            if (cause == 2) Post(WM_RBUTTONUP, 0, Pt(kWidth - 5, kHeight - 5));
            ReleaseCapture();
            Post(WM_LBUTTONUP, 0, to);   // the release that follows is ignored
            EXPECT_TRUE(SameCards(engine->cardStates, states)) << cause;
            EXPECT_EQ(Difference(), "") << cause;
            EXPECT_TRUE(Buffer() == before) << cause;
            EXPECT_EQ(mainWindow->checks, 0);
        }
    }
    ASSERT_GT(objects, 0);
    EXPECT_EQ(LiveGdiObjects(), objects);
    // The drag still works afterwards.
    const uint16_t card = field->GetLayout().piles[pile].cards[index].card;
    ASSERT_TRUE(DragTo(pile, index, to));
    EXPECT_EQ(engine->cardStates[card].pile, target);
    EXPECT_EQ(Difference(), "");
    EXPECT_EQ(mainWindow->checks, 1);
}

TEST_F(InputTest, ThePeekShowsTheCoveredCardAndRestoresTheCursor) {
    Play("Klondike (draw one)", 3, PlayMode::kDrag, 1);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    HCURSOR help = LoadCursorW(nullptr, IDC_HELP);
    SetCursor(arrow);
    // A right release without a right press on the field changes nothing.
    Post(WM_RBUTTONUP, 0, Pt(100, 100));
    EXPECT_EQ(GetCursor(), arrow);

    const uint16_t column = 12;
    POINT covered{};
    ASSERT_TRUE(PointOf(column, 2, &covered));
    const std::vector<COLORREF> plain = Buffer();
    Post(WM_RBUTTONDOWN, MK_RBUTTON, covered);
    EXPECT_EQ(field->GetPeekPile(), column);
    EXPECT_EQ(field->GetPeekIndex(), 2);
    EXPECT_EQ(GetCursor(), help);
    EXPECT_EQ(GetCapture(), field->GetSafeHwnd());
    EXPECT_FALSE(Buffer() == plain);   // the card is drawn whole on top
    uint16_t p = 0, i = 0;
    ASSERT_TRUE(field->GetHitRegions().HitTest(covered.x, covered.y + 60, &p, &i, nullptr));
    EXPECT_EQ(i, 2);   // its whole area is found first

    // The peek follows the cursor; a left press meanwhile is ignored.
    POINT other{};
    ASSERT_TRUE(PointOf(column, 6, &other));
    Post(WM_MOUSEMOVE, MK_RBUTTON, other);
    EXPECT_EQ(field->GetPeekIndex(), 6);
    Post(WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, other);
    EXPECT_FALSE(field->IsLeftButtonDown());
    Post(WM_MOUSEMOVE, MK_RBUTTON, Pt(kWidth - 5, kHeight - 5));
    EXPECT_EQ(field->GetPeekPile(), kFieldNone);

    Post(WM_RBUTTONUP, 0, Pt(kWidth - 5, kHeight - 5));
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(field->GetPeekPile(), kFieldNone);
    EXPECT_TRUE(Buffer() == plain);

    // Pulled outside the field, the cursor is put back at its edge.
    Post(WM_RBUTTONDOWN, MK_RBUTTON, covered);
    POINT outside = Pt(kWidth + 40, 300);
    ClientToScreen(field->GetSafeHwnd(), &outside);
    // Wine hears of pointer moves from the X server a little later: the
    // cursor is read only once the X server's own idea of it has settled.
    // The cursor is shared with every program on the display (a test beside
    // this one may move it), so the check is made again when the cursor was
    // not where it was put.
    auto settled = [&] {
        POINT at{};
        for (int wait = 0; wait < 20; ++wait) {
            Sleep(10);
            Pump();
        }
        GetCursorPos(&at);
        return at;
    };
    POINT cursorAt{};
    for (int attempt = 0; attempt < 5; ++attempt) {
        SetCursorPos(outside.x, outside.y);
        if (settled().x != outside.x) continue;
        Post(WM_MOUSEMOVE, MK_RBUTTON, Pt(kWidth + 40, 300));
        cursorAt = settled();
        ScreenToClient(field->GetSafeHwnd(), &cursorAt);
        if (cursorAt.x == kWidth - 1) break;
    }
    EXPECT_EQ(cursorAt.x, kWidth - 1);
    EXPECT_EQ(cursorAt.y, 300);
    // Losing the capture ends the peek too.
    Thief thief;
    SetCapture(thief.GetSafeHwnd());
    Pump();
    EXPECT_FALSE(field->IsPeeking());
    EXPECT_EQ(GetCursor(), arrow);
    ReleaseCapture();
}

// A batch that could not keep one of its updates rebuilds the copy from the
// engine once it has been replayed.
TEST_F(InputTest, ABatchThatLostAnUpdateEndsWithTheCopyRebuiltFromTheEngine) {
    Play("Klondike (draw one)", 5, PlayMode::kDrag, 1);
    ActionDef move = MoveAction(0, SourceFromTop, 0, 3, 1, DestFromTop, 0);
    engine->ExecuteAction(move, nullptr);   // behind the field's back
    ASSERT_NE(Difference(), "");
    FieldUpdateList updates;
    QueueFieldUpdate(MoveAction(0, SourceFromTop, 0, 3, field->GetLayout().GetPileCount(), DestFromTop, 0),
                     field->GetLayout(), updates);
    EXPECT_TRUE(updates.lost);
    field->ApplyFieldUpdates(updates);
    EXPECT_EQ(Difference(), "");
    EXPECT_TRUE(updates.items.empty());
    const std::vector<COLORREF> shown = Buffer();
    field->Redraw();
    EXPECT_TRUE(shown == Buffer());
}

// In Canfield a column left empty takes the reserve's top card at once.
TEST_F(InputTest, AutomaticMovesAfterADropAreAnimatedAndLeaveTheCopyEqual) {
    for (uint8_t animation : {1, 0}) {
        bool played = false;
        for (uint32_t n = 1; n < 100 && !played; ++n) {
            Play("Canfield", n, PlayMode::kDrag, animation);
            std::vector<CGameEngine::HintMove> hints;
            engine->FindAllHints(hints, false);
            for (const CGameEngine::HintMove& h : hints) {
                uint16_t pile = 0, index = 0;
                POINT to{};
                // The whole of a column (piles 7 to 10) moves away.
                if (h.second == kNone || !FindFieldCard(field->GetLayout(), h.first, &pile, &index) || pile < 7 ||
                    index != 0 || !TargetPoint(h.second, &to))
                    continue;
                const uint16_t reserveTop = field->GetLayout().piles[6].cards.back().card;
                const uint32_t frames = field->GetAnimationFramesShown();
                ASSERT_TRUE(DragTo(pile, index, to));
                EXPECT_EQ(engine->cardStates[reserveTop].pile, pile) << "the column was refilled";
                EXPECT_EQ(Difference(), "");
                if (animation)
                    EXPECT_GE(field->GetAnimationFramesShown(), frames + kAnimationFrames);
                else
                    EXPECT_EQ(field->GetAnimationFramesShown(), frames);
                EXPECT_EQ(mainWindow->checks, 1);
                mainWindow->checks = 0;
                played = true;
                break;
            }
        }
        EXPECT_TRUE(played);
    }
}

// Random presses, drags, releases, right clicks, stock clicks, cancelled
// drags and undo across games of many families in both modes. After every
// step the copy equals the engine and the engine's invariants hold.
TEST_F(InputTest, SoakOfRandomInputKeepsTheFieldEqualToTheEngine) {
    const char* games[] = {"Klondike (draw three)", "Spider (two suits)", "FreeCell", "Beleaguered Castle",
                           "Canfield", "Yukon", "Forty Thieves", "La Belle Lucie", "Terrace", "Pyramid", "Golf"};
    std::mt19937 random(1209);
    Thief thief;
    int steps = 0, moves = 0;
    std::string failure;
    mainWindow->onCheck = [&] {
        if (field->IsDragging() || field->IsLeftButtonDown()) failure = "a check arrived during a drag";
    };
    auto randomPoint = [&] {
        return Pt(static_cast<int32_t>(random() % kWidth), static_cast<int32_t>(random() % kHeight));
    };
    auto randomRegionPoint = [&](POINT* p) {
        const std::vector<HitRegion>& regions = field->GetHitRegions().GetEntries();
        if (regions.empty()) return false;
        const size_t i = random() % regions.size();
        int32_t x = 0, y = 0;
        if (!test::VisiblePoint(regions, field->GetLayout(), i, &x, &y)) return false;
        *p = Pt(x, y);
        return true;
    };
    for (PlayMode mode : {PlayMode::kDrag, PlayMode::kClick}) {
        for (size_t g = 0; g < std::size(games); ++g) {
            uint32_t number = 1 + g;
            const auto animation = static_cast<uint8_t>((g + static_cast<size_t>(mode)) % 2);
            Play(games[g], number, mode, animation);
            for (int step = 0; step < 140; ++step, ++steps) {
                if (engine->finished) Play(games[g], ++number, mode, animation);
                const unsigned roll = random() % 100;
                const int checks = mainWindow->checks;
                POINT a{}, b{};
                if (roll < 35) {   // a legal move, as the player would make it
                    uint16_t pile = 0, index = 0, target = 0;
                    if (FindVisibleHint(&pile, &index, &target) && TargetPoint(target, &b)) {
                        const uint16_t card = field->GetLayout().piles[pile].cards[index].card;
                        if (mode == PlayMode::kDrag) {
                            DragTo(pile, index, b);
                        } else if (PointOf(pile, index, &a)) {
                            Click(a);
                            Click(b);
                        }
                        moves += engine->cardStates[card].pile == target;
                    }
                } else if (roll < 55) {   // a random drag or press pair
                    if (randomRegionPoint(&a)) {
                        b = random() % 2 ? randomPoint() : a;
                        if (!randomRegionPoint(&b)) b = randomPoint();
                        Post(WM_LBUTTONDOWN, MK_LBUTTON, a);
                        Post(WM_MOUSEMOVE, MK_LBUTTON, Pt(a.x + 5, a.y));
                        Post(WM_MOUSEMOVE, MK_LBUTTON, b);
                        Post(WM_LBUTTONUP, 0, b);
                    }
                } else if (roll < 68) {   // a click on a card, a base or the table
                    if (random() % 3 == 0 || !randomRegionPoint(&a)) a = randomPoint();
                    Click(a);
                } else if (roll < 76) {   // a click on a pile with a click event (the stock)
                    for (int tries = 0; tries < 10; ++tries) {
                        const auto p = static_cast<uint16_t>(random() % engine->piles.size());
                        if ((engine->piles[p].clickEvent || engine->piles[p].emptyClickEvent) && TargetPoint(p, &a)) {
                            Click(a);
                            break;
                        }
                    }
                } else if (roll < 84) {   // a peek
                    a = randomPoint();
                    Post(WM_RBUTTONDOWN, MK_RBUTTON, a);
                    if (randomRegionPoint(&b)) Post(WM_MOUSEMOVE, MK_RBUTTON, b);
                    Post(WM_RBUTTONUP, 0, b);
                } else if (roll < 92) {   // undo, as the main window does it
                    field->CancelDrag();
                    if (UndoStep(*engine)) Rebuild();
                } else {   // a drag that loses the capture
                    uint16_t pile = 0, index = 0, target = 0;
                    if (FindVisibleHint(&pile, &index, &target) && TargetPoint(target, &b) &&
                        DragTo(pile, index, b, false)) {
                        if (roll % 2) {
                            SetCapture(thief.GetSafeHwnd());
                            ReleaseCapture();
                        } else {
                            field->SendMessage(WM_CANCELMODE);
                        }
                        Pump();
                        Post(WM_LBUTTONUP, 0, b);
                        // (A press in clicking mode may have moved a card selected before.)
                        if (mode == PlayMode::kDrag) {
                            EXPECT_EQ(mainWindow->checks, checks);
                        }
                    }
                }
                Pump();
                ASSERT_EQ(failure, "");
                ASSERT_FALSE(field->IsDragging()) << games[g] << " step " << step;
                ASSERT_NE(GetCapture(), field->GetSafeHwnd()) << games[g] << " step " << step;
                std::string reason;
                ASSERT_TRUE(CheckGameInvariants(*engine, &reason)) << games[g] << " step " << step << ": " << reason;
                ASSERT_EQ(Difference(), "") << games[g] << " step " << step << " roll " << roll;
            }
        }
    }
    EXPECT_GE(steps, 3000);
    EXPECT_GT(moves, 400);
}

}  // namespace
