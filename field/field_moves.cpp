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
        if (!FieldRunFits(layout, from, start, count, to, at)) {
            lost = true;
            return;
        }
        MoveCardsAnimated(from, start, count, to, at);
    };
    for (const FieldUpdate& u : updates.items) {
        // A move redraws itself when animated; the other updates redraw here.
        if (ReplayFieldUpdate(layout, u, move) && animation && u.kind != FieldUpdateKind::MoveRun) Redraw();
    }
    updates.items.clear();
    updates.lost = false;
    if (lost)
        ResyncWithEngine();
    else if (!animation)
        Redraw();
}

void CSolGameField::ResyncWithEngine() {
    if (!engine) return;
    input.EndDrag();
    FieldLayout fresh;
    BuildFieldLayout(*engine, fresh);
    // The geometry stays: the field is prepared for drawing already.
    fresh.cardWidth = layout.cardWidth;
    fresh.cardHeight = layout.cardHeight;
    fresh.fanStepX = layout.fanStepX;
    fresh.fanStepY = layout.fanStepY;
    layout = std::move(fresh);
    if (drawOrder.size() != layout.piles.size()) drawOrder = SortPilesByZOrder(layout);
    Redraw();
}

}  // namespace corvelle
