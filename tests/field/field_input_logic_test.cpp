// The field's mouse input as plain logic, without a window: the input over
// a copy of a library game, its view a plain stand-in that lays the field
// out (the hit regions a paint records), replays updates on the copy and
// keeps what the window would show (the drag image's place, the capture, the
// peek's cursor). After every gesture the copy must equal the engine's game.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "engine/invariants.h"
#include "engine/player_move.h"
#include "field/animation.h"
#include "field/field_input.h"
#include "field/pile_geometry.h"
#include "field_compare.h"
#include "library_games.h"
#include "visible_points.h"

namespace corvelle {
namespace {

constexpr int32_t kWidth = 1100;
constexpr int32_t kHeight = 800;

// What the field window does for the input, on plain data.
class PlainView : public FieldInputView {
public:
    PlainView(FieldLayout& fieldLayout, CHitRegions& hitRegions) : layout(fieldLayout), regions(hitRegions) {}

    void Attach(const CFieldInput* observed) { input = observed; }
    void Prepare() {
        order = SortPilesByZOrder(layout);
        Repaint();
    }

    HitRect GetFieldArea() const override { return HitRect{0, 0, kWidth, kHeight}; }
    bool IsAnimated() const override { return animated; }
    void Redraw() override {
        Repaint();
        ++redraws;
    }
    void Repaint() override {
        regions.Reset();
        LayOutField(layout, order, kWidth, kHeight, input->GetPeekPile(), input->GetPeekIndex(), spots);
        for (const FieldSpot& f : spots)
            if (f.spot.hit) regions.AddRegion(f.spot.x, f.spot.y, f.pile, static_cast<int16_t>(f.spot.index));
    }
    void ApplyFieldUpdates(FieldUpdateList& updates) override {
        bool lost = updates.lost;
        const FieldRunMover move = [&](uint16_t from, uint16_t start, uint16_t count, uint16_t to, uint16_t at) {
            lost |= !MoveFieldRun(layout, from, start, count, to, at);
        };
        for (const FieldUpdate& u : updates.items) ReplayFieldUpdate(layout, u, move);
        updates.items.clear();
        updates.lost = false;
        ASSERT_FALSE(lost);
        Redraw();
    }
    void MoveCardsAnimated(uint16_t fromPile, uint16_t fromIndex, uint16_t count, uint16_t toPile,
                           uint16_t toIndex) override {
        EXPECT_TRUE(MoveFieldRun(layout, fromPile, fromIndex, count, toPile, toIndex));
        Redraw();
    }
    void CheckGameState() override {
        ++checks;
        EXPECT_FALSE(input->IsDragging() || input->IsLeftButtonDown()) << "a check arrived during a drag";
    }
    void TakeCapture() override { captured = true; }
    void ReleaseCapture() override { captured = false; }
    void ShowPeekCursor() override {
        EXPECT_FALSE(peekCursor);
        peekCursor = true;
    }
    void RestoreCursor() override {
        EXPECT_TRUE(peekCursor);
        peekCursor = false;
    }
    void MoveCursorBy(int32_t dx, int32_t dy) override {
        cursorMoved = FieldPoint{dx, dy};
    }
    bool MakeDragImage(uint16_t pile, uint16_t index, uint16_t count, DragImage* image) override {
        EXPECT_FALSE(imageMade);
        EXPECT_EQ(size_t{index} + count, layout.piles[pile].cards.size());
        const RunImageGeometry g = MeasureRun(layout, layout.piles[pile].fan, count);
        *image = DragImage{g.width, g.height, g.firstX, g.firstY};
        imageMade = true;
        return true;
    }
    void ShowDragImage(int32_t left, int32_t top) override { imageAt = FieldPoint{left, top}; }
    bool MoveDragImage(int32_t fromLeft, int32_t fromTop, int32_t left, int32_t top) override {
        EXPECT_EQ(fromLeft, imageAt.x);
        EXPECT_EQ(fromTop, imageAt.y);
        imageAt = FieldPoint{left, top};
        return true;
    }
    void ReleaseDragImage() override { imageMade = false; }

    bool animated = false;
    int redraws = 0;
    int checks = 0;
    bool captured = false;
    bool peekCursor = false;
    bool imageMade = false;
    FieldPoint imageAt;
    FieldPoint cursorMoved;

private:
    FieldLayout& layout;
    CHitRegions& regions;
    const CFieldInput* input = nullptr;
    std::vector<uint16_t> order;
    std::vector<FieldSpot> spots;
};

class PlainInputTest : public ::testing::Test {
protected:
    PlainInputTest() { view.Attach(&input); }

    void Play(const std::string& name, uint32_t number, PlayMode mode) {
        input.Reset();
        input.SetEngine(nullptr);
        engine = std::make_unique<CGameEngine>();
        ASSERT_TRUE(test::DealLibraryGame(*engine, name, number)) << name;
        ASSERT_TRUE(StartGame(*engine, number));
        input.SetPlayMode(mode);
        input.SetEngine(engine.get());
        Rebuild();
    }
    void Rebuild() {
        input.Reset();
        BuildFieldLayout(*engine, layout);
        layout.SetStandardGeometry();
        input.ClearSelection();
        view.Prepare();
    }
    const std::vector<HitRegion>& Regions() const { return regions.GetEntries(); }
    bool PointOf(uint16_t pile, uint16_t index, FieldPoint* p, HitRect* rect = nullptr) const {
        return test::CardPoint(Regions(), layout, pile, index, &p->x, &p->y, rect);
    }
    bool TargetPoint(uint16_t pile, FieldPoint* p) const {
        return test::DropPoint(Regions(), layout, pile, &p->x, &p->y);
    }
    bool VisibleHint(uint16_t* pile, uint16_t* index, uint16_t* target) const {
        return test::VisibleHint(Regions(), layout, *engine, pile, index, target);
    }
    void Click(FieldPoint p) {
        input.Press(p.x, p.y, false);
        input.Release(p.x, p.y);
    }
    // The drop point of a drag of card `index` of the pile before it
    // starts: the centre of the card-sized area at the top-left corner of
    // the run's image, as it lies over the pile.
    FieldPoint RestingDropPoint(uint16_t pile, uint16_t index, const HitRect& rect) const {
        const auto count = static_cast<uint16_t>(layout.piles[pile].cards.size() - index);
        const RunImageGeometry g = MeasureRun(layout, layout.piles[pile].fan, count);
        return FieldPoint{rect.left - g.firstX + static_cast<int32_t>(layout.cardWidth / 2),
                          rect.top - g.firstY + static_cast<int32_t>(layout.cardHeight / 2)};
    }
    // Presses on card `index` of the pile and moves in a few steps so that
    // the drop point comes to `target`.
    bool DragTo(uint16_t pile, uint16_t index, FieldPoint target, bool release = true) {
        FieldPoint press;
        HitRect rect;
        if (!PointOf(pile, index, &press, &rect)) return false;
        const FieldPoint rest = RestingDropPoint(pile, index, rect);
        const FieldPoint end{press.x + target.x - rest.x, press.y + target.y - rest.y};
        input.Press(press.x, press.y, false);
        input.Move(press.x + kDragThreshold, press.y, false);
        for (int k = 1; k <= 3; ++k)
            input.Move(press.x + (end.x - press.x) * k / 3, press.y + (end.y - press.y) * k / 3, false);
        if (release) input.Release(end.x, end.y);
        return true;
    }
    std::string Difference() const { return test::FieldDifferenceFromEngine(layout, *engine); }

    std::unique_ptr<CGameEngine> engine;
    FieldLayout layout;
    CHitRegions regions{&layout};
    PlainView view{layout, regions};
    CFieldInput input{layout, regions, view};
    uint32_t now = 1000;
};

// A drag whose first move is one fast jump: the image follows the pointer
// from the press on, so the point of the card the player grabbed stays
// under the pointer exactly, after a jump of 300 pixels and after more, and
// the drop lands where the player lets go. Fanned down, fanned left (the
// drop point is then the run's top card), and runs of several cards.
TEST_F(PlainInputTest, AFastFirstMoveKeepsTheGrabbedPointUnderThePointer) {
    for (const char* name : {"Klondike (draw one)", "Beleaguered Castle", "Yukon", "Spider (one suit)"}) {
        uint16_t pile = 0, index = 0, target = 0;
        uint32_t number = 1;
        for (; number < 60; ++number) {
            Play(name, number, PlayMode::kDrag);
            if (VisibleHint(&pile, &index, &target)) break;
        }
        ASSERT_LT(number, 60u) << name;
        const uint16_t card = layout.piles[pile].cards[index].card;
        FieldPoint press, over;
        HitRect rect;
        ASSERT_TRUE(PointOf(pile, index, &press, &rect));
        ASSERT_TRUE(TargetPoint(target, &over));
        const FieldPoint rest = RestingDropPoint(pile, index, rect);
        // The drop point less the pointer, which the drag must keep.
        const FieldPoint grip{rest.x - press.x, rest.y - press.y};
        auto dropPoint = [&] {
            return FieldPoint{input.GetDragRect().left + static_cast<int32_t>(layout.cardWidth / 2),
                              input.GetDragRect().top + static_cast<int32_t>(layout.cardHeight / 2)};
        };
        input.Press(press.x, press.y, false);
        const FieldPoint jump{press.x + (press.x < kWidth / 2 ? 300 : -300), press.y};
        input.Move(jump.x, jump.y, false);
        ASSERT_TRUE(input.IsDragging()) << name;
        EXPECT_EQ(dropPoint().x - jump.x, grip.x) << name;
        EXPECT_EQ(dropPoint().y - jump.y, grip.y) << name;
        EXPECT_EQ(view.imageAt.x, input.GetDragRect().left) << name;
        EXPECT_EQ(view.imageAt.y, input.GetDragRect().top) << name;
        // One more jump, over the target, and the release there.
        const FieldPoint end{over.x - grip.x, over.y - grip.y};
        input.Move(end.x, end.y, false);
        EXPECT_EQ(dropPoint().x, over.x) << name;
        EXPECT_EQ(dropPoint().y, over.y) << name;
        input.Release(end.x, end.y);
        EXPECT_EQ(engine->cardStates[card].pile, target) << name;
        EXPECT_EQ(view.checks, 1) << name;
        EXPECT_EQ(Difference(), "") << name;
        view.checks = 0;

        // The same move again from its deal with a single jump from the
        // press to the release.
        Play(name, number, PlayMode::kDrag);
        input.Press(press.x, press.y, false);
        input.Move(end.x, end.y, false);
        input.Release(end.x, end.y);
        EXPECT_EQ(engine->cardStates[card].pile, target) << name << ", one jump";
        EXPECT_EQ(Difference(), "") << name;
        view.checks = 0;
    }
}

// Random presses, drags, releases, clicks, peeks, undo and lost captures
// over games of many families in both play modes. After every gesture the
// copy equals the engine, the engine's invariants hold, and the window's
// side is at rest: no drag image, no capture, the cursor its own.
TEST_F(PlainInputTest, RandomPlayInBothModesKeepsTheCopyEqualToTheEngine) {
    const char* games[] = {"Klondike (draw three)", "Spider (two suits)", "FreeCell", "Canfield", "Yukon",
                           "Forty Thieves", "La Belle Lucie", "Pyramid", "Golf", "Tri Peaks"};
    input.SetClock([this] { return now; });
    std::mt19937 random(2404);
    int moves = 0, clicks = 0, steps = 0;
    auto randomPoint = [&] {
        return FieldPoint{static_cast<int32_t>(random() % kWidth), static_cast<int32_t>(random() % kHeight)};
    };
    auto randomRegionPoint = [&](FieldPoint* p) {
        if (Regions().empty()) return false;
        return test::VisiblePoint(Regions(), layout, random() % Regions().size(), &p->x, &p->y);
    };
    for (PlayMode mode : {PlayMode::kDrag, PlayMode::kClick}) {
        for (size_t g = 0; g < std::size(games); ++g) {
            uint32_t number = 1 + static_cast<uint32_t>(g);
            Play(games[g], number, mode);
            view.animated = (g + static_cast<size_t>(mode)) % 2 != 0;
            for (int step = 0; step < 150; ++step, ++steps) {
                if (engine->finished) Play(games[g], ++number, mode);
                const unsigned roll = random() % 100;
                now += random() % 3;
                const int checks = view.checks;
                FieldPoint a, b;
                if (roll < 35) {   // a legal move, as the player would make it
                    uint16_t pile = 0, index = 0, target = 0;
                    if (VisibleHint(&pile, &index, &target) && TargetPoint(target, &b)) {
                        const uint16_t card = layout.piles[pile].cards[index].card;
                        if (mode == PlayMode::kDrag) {
                            DragTo(pile, index, b);
                        } else if (PointOf(pile, index, &a)) {
                            // A press on the table first drops a selection
                            // left by the random clicks.
                            Click(FieldPoint{kWidth - 5, kHeight - 5});
                            Click(a);
                            Click(b);
                        }
                        const bool moved = engine->cardStates[card].pile == target;
                        moves += moved;
                        if (moved) {
                            EXPECT_EQ(view.checks, checks + 1) << games[g] << " step " << step;
                        }
                    }
                } else if (roll < 55) {   // a random press, drag and release
                    if (randomRegionPoint(&a)) {
                        if (!randomRegionPoint(&b)) b = randomPoint();
                        input.Press(a.x, a.y, false);
                        input.Move(a.x + 5, a.y, false);
                        input.Move(b.x, b.y, false);
                        input.Release(b.x, b.y);
                    }
                } else if (roll < 68) {   // a click on a card, a base or the table
                    if (random() % 3 == 0 || !randomRegionPoint(&a)) a = randomPoint();
                    Click(a);
                } else if (roll < 76) {   // a click on a pile with a click event
                    for (int tries = 0; tries < 10; ++tries) {
                        const auto p = static_cast<uint16_t>(random() % engine->piles.size());
                        if ((engine->piles[p].clickEvent || engine->piles[p].emptyClickEvent) && TargetPoint(p, &a)) {
                            Click(a);
                            clicks += view.checks > checks;
                            break;
                        }
                    }
                } else if (roll < 84) {   // a peek, pulled outside the field at times
                    a = randomPoint();
                    input.RightPress(a.x, a.y);
                    EXPECT_EQ(view.peekCursor, input.IsPeeking());
                    if (!randomRegionPoint(&b) || random() % 4 == 0) b = FieldPoint{kWidth + 20, kHeight / 2};
                    input.Move(b.x, b.y, true);
                    input.Press(b.x, b.y, true);   // ignored while the right button is down
                    EXPECT_FALSE(input.IsLeftButtonDown());
                    input.RightRelease();
                    EXPECT_EQ(input.GetPeekPile(), kFieldNone);
                } else if (roll < 92) {   // undo, as the main window does it
                    input.CancelDrag();
                    if (UndoStep(*engine)) Rebuild();
                } else {   // a drag that loses the capture
                    uint16_t pile = 0, index = 0, target = 0;
                    if (VisibleHint(&pile, &index, &target) && TargetPoint(target, &b) &&
                        DragTo(pile, index, b, false)) {
                        EXPECT_EQ(input.IsDragging(), mode == PlayMode::kDrag);
                        EXPECT_EQ(view.captured, mode == PlayMode::kDrag);
                        input.CaptureLost();
                        input.Release(b.x, b.y);   // ignored: the gesture has ended
                        if (mode == PlayMode::kDrag) {
                            EXPECT_EQ(view.checks, checks);
                        }
                    }
                }
                ASSERT_FALSE(input.IsDragging()) << games[g] << " step " << step;
                ASSERT_FALSE(view.imageMade) << games[g] << " step " << step;
                ASSERT_FALSE(view.captured) << games[g] << " step " << step;
                ASSERT_FALSE(view.peekCursor) << games[g] << " step " << step;
                std::string reason;
                ASSERT_TRUE(CheckGameInvariants(*engine, &reason)) << games[g] << " step " << step << ": " << reason;
                ASSERT_EQ(Difference(), "") << games[g] << " step " << step << " roll " << roll;
            }
        }
    }
    EXPECT_EQ(steps, 3000);
    EXPECT_GT(moves, 400);
    EXPECT_GT(clicks, 50);
}

}  // namespace
}  // namespace corvelle
