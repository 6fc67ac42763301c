#include "engine/player_move.h"

#include "engine/action_range.h"
// The automatic events come from the engine's event runner.
#include "engine/events.h"

namespace corvelle {
namespace {

bool Refuse(MoveRefusal* why, MoveRefusal reason) {
    if (why) *why = reason;
    return false;
}

// The pick-up half of a step's checks.
MoveRefusal CheckLift(const CGameEngine& engine, uint16_t card) {
    if (card >= engine.cardStates.size()) return MoveRefusal::NoSuchCard;
    if (!engine.cardStates[card].movable) return MoveRefusal::NotMovable;
    if (!CanPickUp(engine, card)) return MoveRefusal::PickupRule;
    return MoveRefusal::None;
}

}  // namespace

bool RunPlayerEvent(CGameEngine& engine, uint16_t event, uint8_t& groupOpened, std::vector<ActionDef>* actions) {
    uint16_t counter = 0;
    if (!engine.IsEventAllowed(event) ||
        !engine.UseEventCounter(event, groupOpened, counter, CounterUse::Consume, Recording::Recorded))
        return false;
    bool ran = false;
    ActionDef done{};
    uint16_t index = 0;
    while (engine.RunEventActions(event, groupOpened, index, done, Recording::Recorded)) {
        ran = true;
        if (actions) actions->push_back(done);
    }
    index = 0;
    while (engine.RunCounterExhaustedEvent(counter, groupOpened, index, done)) {
        ran = true;
        if (actions) actions->push_back(done);
    }
    return ran;
}

const char* MoveRefusalText(MoveRefusal why) {
    switch (why) {
    case MoveRefusal::None: return "accepted";
    case MoveRefusal::NoSuchCard: return "no such card or pile";
    case MoveRefusal::NotMovable: return "the card cannot be moved";
    case MoveRefusal::PickupRule: return "these cards cannot be picked up";
    case MoveRefusal::SamePile: return "the cards are already on that pile";
    case MoveRefusal::OutOfPlay: return "the pile is out of play";
    case MoveRefusal::TopNotExposed: return "the top card of the pile is covered";
    case MoveRefusal::NoLink: return "cards may not go from that pile to this one";
    case MoveRefusal::DropRule: return "the pile does not take these cards";
    case MoveRefusal::NothingHappened: return "nothing to do";
    }
    return "refused";
}

bool CanPickUp(const CGameEngine& engine, uint16_t card) {
    if (card >= engine.cardStates.size() || !engine.cardStates[card].movable) return false;
    const uint16_t pile = engine.cardStates[card].pile;
    if (pile >= engine.pileStates.size()) return false;
    RuleCardList a, b;
    engine.BuildPickupCardLists(card, a, b);
    return engine.EvaluateProgram(engine.pileStates[pile].pickupProgram, a, &b);
}

MoveRefusal CheckDrop(const CGameEngine& engine, uint16_t card, uint16_t destination) {
    if (card >= engine.cardStates.size() || destination >= engine.pileStates.size()) return MoveRefusal::NoSuchCard;
    const uint16_t source = engine.cardStates[card].pile;
    if (source == destination) return MoveRefusal::SamePile;
    const PileState& dest = engine.pileStates[destination];
    if (!dest.acceptsDrops) return MoveRefusal::OutOfPlay;
    if (dest.count) {
        const uint16_t top = engine.TopCard(destination);
        if (top == kNone || !engine.cardStates[top].exposed) return MoveRefusal::TopNotExposed;
    }
    if (!engine.MoveLinkAllows(source, destination)) return MoveRefusal::NoLink;
    RuleCardList moving, onto;
    engine.BuildMovingCardList(card, moving);
    engine.BuildPileCardList(destination, onto);
    if (!engine.EvaluateProgram(dest.dropProgram, moving, &onto)) return MoveRefusal::DropRule;
    return MoveRefusal::None;
}

MoveRefusal CheckMove(const CGameEngine& engine, uint16_t card, uint16_t destination) {
    const MoveRefusal lift = CheckLift(engine, card);
    return lift != MoveRefusal::None ? lift : CheckDrop(engine, card, destination);
}

bool TryMove(CGameEngine& engine, uint16_t card, uint16_t destination, std::vector<ActionDef>* actions,
             MoveRefusal* why) {
    const MoveRefusal check = CheckDrop(engine, card, destination);
    if (check != MoveRefusal::None) return Refuse(why, check);
    const CardState moved = engine.cardStates[card];
    const uint16_t source = moved.pile;
    HistoryRecord record{};
    record.kind = HistoryPlayerMove;
    record.groupStart = 1;
    record.index = source;
    record.value = static_cast<uint16_t>(moved.position);
    record.destPile = destination;
    record.destCountBefore = engine.pileStates[destination].count;
    if (engine.GetHistory()) engine.GetHistory()->Push(record);
    ActionDef move = MoveAction(source, SourceFromTop, 0, engine.pileStates[source].count - moved.position,
                                destination, DestFromTop, 0);
    engine.ExecuteAction(move, nullptr);
    // The drop event joins the group that the move record opened.
    uint8_t groupOpened = 1;
    RunPlayerEvent(engine, engine.piles[destination].dropEvent, groupOpened, actions);
    if (why) *why = MoveRefusal::None;
    return true;
}

bool TryPileClick(CGameEngine& engine, uint16_t pile, std::vector<ActionDef>* actions, MoveRefusal* why) {
    if (pile >= engine.pileStates.size()) return Refuse(why, MoveRefusal::NoSuchCard);
    if (!engine.pileStates[pile].acceptsDrops) return Refuse(why, MoveRefusal::OutOfPlay);
    uint16_t event = engine.piles[pile].emptyClickEvent;
    if (engine.pileStates[pile].count) {
        event = engine.piles[pile].clickEvent;
        const uint16_t top = engine.TopCard(pile);
        if (top == kNone || !engine.cardStates[top].movable) return Refuse(why, MoveRefusal::NotMovable);
    }
    uint8_t groupOpened = 0;
    if (!RunPlayerEvent(engine, event, groupOpened, actions)) return Refuse(why, MoveRefusal::NothingHappened);
    if (why) *why = MoveRefusal::None;
    return true;
}

bool RunAutoMoves(CGameEngine& engine, std::vector<ActionDef>* actions) {
    uint8_t groupOpened = 1;
    CAutomaticEventRunner runner(engine, AutomaticEvents::AfterStep, Recording::Recorded, groupOpened,
                                 ExhaustedEvents::Run);
    ActionDef done{};
    while (runner.Next(done))
        if (actions) actions->push_back(done);
    engine.RefreshExposedCards(Recording::Recorded);
    return runner.AnyActionRan();
}

bool PlayMove(CGameEngine& engine, uint16_t card, uint16_t destination, MoveRefusal* why) {
    const MoveRefusal lift = CheckLift(engine, card);
    if (lift != MoveRefusal::None) return Refuse(why, lift);
    // TryMove makes the drop checks itself.
    if (!TryMove(engine, card, destination, nullptr, why)) return false;
    RunAutoMoves(engine);
    return true;
}

bool PlayClick(CGameEngine& engine, uint16_t pile, MoveRefusal* why) {
    if (!TryPileClick(engine, pile, nullptr, why)) return false;
    RunAutoMoves(engine);
    return true;
}

bool UndoStep(CGameEngine& engine) {
    if (!engine.CanUndo()) return false;
    while (engine.CanUndo())
        if (engine.UndoOne()) break;
    return true;
}

bool StartGame(CGameEngine& engine, uint32_t gameNumber, uint32_t* dealt) {
    if (!engine.NewDeal(gameNumber)) return false;
    if (dealt) *dealt = gameNumber;
    uint8_t groupOpened = 0;
    engine.RunAutomaticEvents(AutomaticEvents::AtGameStart, Recording::Unrecorded, groupOpened);
    engine.RefreshExposedCards(Recording::Unrecorded);
    return true;
}

}  // namespace corvelle
