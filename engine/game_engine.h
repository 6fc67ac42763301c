// CGameEngine: one loaded game definition and the game in play.
//
// The definition (CGameDefinition) is filled by LoadGameDefinition from a
// GameRecord; the game in play (card, pile and counter states, move links,
// finished flag and the move history) by NewDeal or by restoring a saved
// game. The game field, the side panels and the saved-game code read and
// change the records directly; every operation here runs on the one
// user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/engine_owner.h"
#include "engine/game_definition.h"
#include "engine/history.h"
#include "engine/records.h"
#include "engine/rules.h"

namespace corvelle {

class HintMemo;

// Which automatic events a run walks: those after a player's step (types 0
// and 1) or those of the game's start (type 3).
enum class AutomaticEvents : uint8_t { AfterStep, AtGameStart };
// Whether an operation pushes history records, so that undo can take it back.
enum class Recording : uint8_t { Unrecorded, Recorded };
// Whether UseEventCounter only asks if the counter allows the event or also
// uses one count of it.
enum class CounterUse : uint8_t { Check, Consume };

class CGameEngine : public CGameDefinition {
public:
    explicit CGameEngine(CEngineOwner* owner = nullptr);
    ~CGameEngine();
    CGameEngine(const CGameEngine&) = delete;
    CGameEngine& operator=(const CGameEngine&) = delete;

    // ---- game in play (deal.cpp)
    bool NewDeal(uint32_t& gameNumber);
    void FreeGameState();

    // ---- actions (actions.cpp)
    bool ExecuteAction(ActionDef& action, uint16_t* result);
    // Whether a move link lets cards go from `source` to `dest`: a link whose
    // source and destination each are that pile or kAnyPile.
    bool MoveLinkAllows(uint16_t source, uint16_t dest) const;

    // ---- history and undo (history.cpp, undo.cpp)
    CMoveHistory* GetHistory() { return history.get(); }
    bool CanUndo() const;
    // Undoes the last record; returns its groupStart, and true when the
    // history is empty or has just become empty, so that an undo loop ends.
    bool UndoOne();

    // ---- rule card lists (rules.cpp); the lists are written into the
    // caller's vectors so that a caller evaluating many programs reuses them.
    void BuildPileCardList(uint16_t pile, RuleCardList& out) const;
    void BuildMovingCardList(uint16_t card, RuleCardList& out) const;
    void BuildPickupCardLists(uint16_t card, RuleCardList& listA, RuleCardList& listB) const;

    // ---- events, conditions and counters (events.cpp)
    // The caller of a step owns its undo group: `groupOpened` is 0 until a
    // record of the step has opened the group (its groupStart set), and the
    // first record pushed while it is 0 opens it and sets it to 1.
    bool IsEventAllowed(uint16_t event) const;
    bool UseEventCounter(uint16_t event, uint8_t& groupOpened, uint16_t& counterOut, CounterUse use,
                         Recording recording);
    bool RunEventActions(uint16_t event, uint8_t& groupOpened, uint16_t& index, ActionDef& actionOut,
                         Recording recording);
    bool RunCounterExhaustedEvent(uint16_t counter, uint8_t& groupOpened, uint16_t& index, ActionDef& actionOut);
    bool RunAutomaticEvents(AutomaticEvents which, Recording recording, uint8_t& groupOpened);
    void RefreshExposedCards(Recording recording);

    // ---- hints (hints.cpp)
    bool FindHint(uint16_t n, uint16_t& first, uint16_t& second, bool withClicks) const;
    bool FindClickHint(uint16_t n, uint16_t& pile, uint16_t& card, uint16_t& count) const;
    // Every hint of the position in one scan, numbered as FindHint numbers
    // them: out[n] is what FindHint(n) finds. A caller that scans many
    // positions of this game passes a memo of its own, which saves working
    // out again the rule answers of the piles that did not change.
    struct HintMove {
        uint16_t first;    // the card to move, or the pile to click
        uint16_t second;   // the destination pile, or kNone for a click
    };
    void FindAllHints(std::vector<HintMove>& out, bool withClicks, HintMemo* memo = nullptr) const;

    // ---- saved games (saved_game.cpp)
    uint16_t FindSavedGameSlot(uint16_t gameId) const;
    void SaveGame();
    bool LoadSavedGame(bool preview);

private:
    // The deal's phases (deal.cpp), in NewDeal's order: the state's arrays
    // and history made, the cards dealt to their piles by the deal's probe
    // (those left over onto the last pile), every pile set to its start, the
    // definition's placed, flipped, locked and exposed cards applied.
    bool AllocateGameState();
    static uint32_t DrawGameNumber();
    void DealCardsToPiles(uint32_t gameNumber);
    void SetInitialPileStates();
    void ApplyDealOverrides();

    // The slot FindSavedGameSlot last found a game in, looked at first next
    // time: the game in play is saved to the same slot after every step.
    mutable uint16_t lastSlot = 0;
    mutable uint16_t lastSlotGame = 0;
    mutable bool lastSlotKnown = false;

    // ExecuteAction's handlers, one per action kind (actions.cpp).
    bool MoveCards(ActionDef& action, uint16_t* result);
    bool SetPileAttribute(ActionDef& action, uint16_t* result);
    bool ShufflePile(ActionDef& action, uint16_t* result);
    bool SetCardAttribute(const ActionDef& action, uint16_t* result);
    bool ForbidMove(uint16_t source, uint16_t dest);
    bool AllowMove(uint16_t source, uint16_t dest);
    bool ResetCounter(uint16_t counter, uint16_t* result);
    // Runs the inverse of a definition action, given the result it recorded.
    void UndoAction(const ActionDef& action, uint16_t recorded);

public:
    // ---- small queries
    bool HasGameInPlay() const { return !cardStates.empty() || (cards.empty() && history != nullptr); }
    uint16_t GetMoveLinkCount() const { return static_cast<uint16_t>(moveLinks.size()); }
    // The card at (pile, position), or kNone.
    uint16_t CardAt(uint16_t pile, int position) const;
    uint16_t TopCard(uint16_t pile) const;

    // ================================================== game in play
    CEngineOwner* owner = nullptr;
    std::unique_ptr<CMoveHistory> history;
    std::vector<CardState> cardStates;
    std::vector<PileState> pileStates;
    std::vector<MoveLink> moveLinks;
    std::vector<CounterState> counters;
    uint8_t finished = 0;
    // The state of the generator that the game's shuffles draw from: the
    // game number at the deal, advanced by each shuffle and taken back by
    // its undo, kept in saved games (saved_game.h). A game's shuffles thus
    // follow from its number and its steps, for a restart too.
    uint32_t shuffleState = 0;
};

}  // namespace corvelle
