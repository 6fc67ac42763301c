// Field updates replayed on the field's copy: the actions the engine executed
// for a player's step (CFieldInput puts the steps to the engine), moves
// shown sliding when animation is on, and a rebuild of the copy from the
// engine when a batch lost an update.
#include "engine/game_engine.h"
#include "field/sol_game_field.h"

namespace corvelle {

void CSolGameField::ApplyFieldUpdates(FieldUpdateList& updates) {
    bool lost = updates.lost;
    const FieldRunMover move = [this, &lost](uint16_t from, uint16_t start, uint16_t count, uint16_t to,
                                             uint16_t at) {
        if (!FieldRunFits(layout_, from, start, count, to, at)) {
            lost = true;
            return;
        }
        MoveCardsAnimated(from, start, count, to, at);
    };
    for (const FieldUpdate& u : updates.items) {
        // A move redraws itself when animated; the other updates redraw here.
        if (ReplayFieldUpdate(layout_, u, move) && animation_ && u.kind != FieldUpdateKind::MoveRun) Redraw();
    }
    updates.items.clear();
    updates.lost = false;
    if (lost)
        ResyncWithEngine();
    else if (!animation_)
        Redraw();
}

void CSolGameField::ResyncWithEngine() {
    if (!engine_) return;
    input_.EndDrag();
    FieldLayout fresh;
    BuildFieldLayout(*engine_, fresh);
    // The geometry stays: the field is prepared for drawing already.
    fresh.cardWidth = layout_.cardWidth;
    fresh.cardHeight = layout_.cardHeight;
    fresh.fanStepX = layout_.fanStepX;
    fresh.fanStepY = layout_.fanStepY;
    layout_ = std::move(fresh);
    if (drawOrder_.size() != layout_.piles.size()) drawOrder_ = SortPilesByDrawOrder(layout_);
    Redraw();
}

}  // namespace corvelle
