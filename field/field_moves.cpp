// The player's steps through the field: each is put to the engine by the
// engine's own player move (one set of checks for the field, the tools and
// the library checks), and the actions the engine executed are queued as
// field updates and replayed on the field's copy.
#include "engine/player_move.h"
#include "field/sol_game_field.h"

namespace corvelle {

namespace {

void QueueAll(const std::vector<ActionDef>& actions, const FieldLayout& layout, FieldUpdateList& updates) {
    for (const ActionDef& a : actions) QueueFieldUpdate(a, layout, updates);
}

}  // namespace

bool CSolGameField::TryMove(uint16_t card, uint16_t destination, FieldUpdateList& updates) {
    if (!engine_) return false;
    std::vector<ActionDef> actions;
    if (!corvelle::TryMove(*engine_, card, destination, &actions)) return false;
    QueueAll(actions, layout_, updates);
    return true;
}

bool CSolGameField::TryPileClick(uint16_t pile, FieldUpdateList& updates) {
    if (!engine_) return false;
    std::vector<ActionDef> actions;
    if (!corvelle::TryPileClick(*engine_, pile, &actions)) return false;
    QueueAll(actions, layout_, updates);
    return true;
}

bool CSolGameField::RunAutoMoves(FieldUpdateList& updates) {
    if (!engine_) return false;
    std::vector<ActionDef> actions;
    const bool ran = corvelle::RunAutoMoves(*engine_, &actions);
    QueueAll(actions, layout_, updates);
    return ran;
}

bool CSolGameField::CanPickUp(uint16_t card) const { return engine_ && corvelle::CanPickUp(*engine_, card); }

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
    EndDrag();
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

void CSolGameField::FinishStep() {
    FieldUpdateList automatic;
    if (RunAutoMoves(automatic)) ApplyFieldUpdates(automatic);
    if (mainDialog_) ::SendMessageW(mainDialog_, WM_GAMESTATECHECK, 0, 0);
}

}  // namespace corvelle
