// Undo: takes back the last history record by running the inverse action.
//
// Card attribute changes and the AcceptsDrops/Enabled pile flags are undone
// exactly. ExecuteAction records in its 16-bit result which cards of the
// range it changed (a bit mask for ranges of up to 15 cards, one run of
// changed cards for longer ranges, see ChangeRecorder) and, for the two pile
// flags, the previous flag; the history keeps that result in the record's
// value. Undo gives back the opposite value only to the cards that changed.
// A record without that knowledge (value 0) falls back to giving every card
// of the range the opposite value.
//
// Moves recorded as executed actions are undone by moving the run back from
// exactly where it was inserted to exactly where it was taken from; both
// places are recomputed from the action, the recorded result and the pile
// counts after the move, with the same clipping that the move applied.
#include "engine/action_range.h"
#include "engine/game_engine.h"

namespace corvelle {

namespace {

uint16_t LogicalNot(uint16_t value) {
    return value == 0 ? 1 : 0;
}

}  // namespace

bool CGameEngine::CanUndo() const {
    return history && history->GetCount() > 0;
}

bool CGameEngine::UndoOne() {
    // Nothing to undo: report a group start so that an undo loop ends here.
    if (!CanUndo())
        return true;
    const uint32_t last = history->GetCount() - 1;
    HistoryRecord record{};
    history->GetAt(last, record);

    switch (record.kind) {
    case HistoryPlayerMove: {
        ActionDef back = MoveAction(record.destPile, SourceFromPosition, record.destCountBefore, 0,
                                    record.index, DestFromTop, 0);
        ExecuteAction(back, nullptr);
        break;
    }
    case HistoryActionExecuted:
        if (record.index < actions.size())
            UndoAction(actions[record.index], record.value);
        break;
    case HistoryExposedToggled:
        if (record.index < cardStates.size())
            cardStates[record.index].exposed = cardStates[record.index].exposed ? 0 : 1;
        break;
    case HistoryCounterUsed:
        if (record.index < counters.size())
            counters[record.index].value++;
        break;
    default:
        break;
    }
    history->RemoveAt(last);
    // The first record always closes the undo loop, whether or not it opened
    // a group, so that undo never runs past the start of the history.
    return record.groupStart != 0 || last == 0;
}

void CGameEngine::UndoAction(const ActionDef& original, uint16_t recorded) {
    const size_t pileTotal = pileStates.size();
    switch (original.kind) {
    case ActionMoveCards: {
        const uint16_t src = original.sourcePile;
        const uint16_t dst = original.destPile;
        if (src >= pileTotal || dst >= pileTotal)
            return;
        // Cards moved: the result itself, except for source mode 0 whose
        // result is the source count before the move.
        int moved;
        if (original.sourceMode == SourceFromPosition)
            moved = SelectRange(SourceFromPosition, original.sourcePosition, original.count, recorded).GetSize();
        else
            moved = recorded;
        if (moved <= 0)
            return;
        const int srcBefore = pileStates[src].count + (src == dst ? 0 : moved);
        const CardRange range = SelectRange(original.sourceMode, original.sourcePosition, original.count, srcBefore);
        const int destAfterRemoval = pileStates[dst].count - moved;
        if (destAfterRemoval < 0)
            return;   // the record does not fit the position: nothing to take back
        const int ins = InsertionPoint(original.destMode, original.destPosition, destAfterRemoval, range.lo);
        ActionDef back = MoveAction(dst, SourceRange, ins, moved, src, DestAtPosition, range.lo);
        ExecuteAction(back, nullptr);
        return;
    }
    case ActionSetPileAttribute: {
        ActionDef back = original;
        switch (original.subKind) {
        case PileAcceptsDrops:
        case PileEnabled:
            back.value = (recorded & kChangeMaskFlag) ? static_cast<uint16_t>(recorded & 0xFF)
                                                     : LogicalNot(original.value);
            break;
        case PileDropProgram:
        case PileAttributeValue:
        case PileShuffle:
        case PilePickupProgram:
            back.value = recorded;
            break;
        default:
            back.value = LogicalNot(original.value);
            break;
        }
        ExecuteAction(back, nullptr);
        return;
    }
    case ActionSetCardAttribute: {
        if (original.sourcePile >= pileTotal)
            return;
        // Card attributes do not move cards: the range is the same as when
        // the action ran. Each changed run gets the opposite value back.
        ActionDef back = original;
        back.value = LogicalNot(static_cast<uint8_t>(original.value & 0xFF));
        const CardRange range = SelectRange(original.sourceMode, original.sourcePosition, original.count,
                                            pileStates[original.sourcePile].count);
        const auto restoreRun = [&](int offset, int length) {
            back.sourceMode = SourceRange;
            back.sourcePosition = static_cast<int16_t>(range.lo + offset);
            back.count = static_cast<uint16_t>(length);
            ExecuteAction(back, nullptr);
        };
        if (recorded == 0) {
            ExecuteAction(back, nullptr);
        } else if (recorded & kChangeMaskFlag) {
            for (int bit = 0; bit < kChangeMaskBits;) {
                if (!(recorded & (1u << bit))) {
                    ++bit;
                    continue;
                }
                int end = bit;
                while (end < kChangeMaskBits && (recorded & (1u << end)))
                    ++end;
                restoreRun(bit, end - bit);
                bit = end;
            }
        } else {
            restoreRun(recorded >> 8, recorded & 0xFF);
        }
        return;
    }
    case ActionForbidMove:
    case ActionAllowMove: {
        ActionDef back = original;
        back.kind = original.kind == ActionForbidMove ? ActionAllowMove : ActionForbidMove;
        ExecuteAction(back, nullptr);
        return;
    }
    case ActionResetCounter:
        if (original.sourcePile < counters.size())
            counters[original.sourcePile].value = recorded;
        return;
    default:
        return;
    }
}

}  // namespace corvelle
