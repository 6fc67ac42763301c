// CGameEngine: one loaded game definition and the game in play.
//
// The definition half is filled by LoadGameDefinition from a GameRecord; the
// runtime half (card, pile and counter states, move links, finished flag and
// the move history) by NewDeal or by restoring a saved game. The game field,
// the side panels and the saved-game code read and change the records
// directly; every operation here runs on the one user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/history.h"
#include "engine/records.h"
#include "engine/rules.h"

namespace corvelle {

// What the engine needs of the window that owns it: the hint counter that
// every new history record resets, the game clock and the save stamps of the
// ten saved-game slots. The main dialog implements it; tests use their own.
class CEngineOwner {
public:
    virtual void ResetHintIndex() = 0;
    virtual uint32_t GetElapsedSeconds() const = 0;
    virtual void SetElapsedSeconds(uint32_t seconds) = 0;
    virtual uint32_t* GetSaveStamps() = 0;   // ten u32 stamps, one per slot

protected:
    ~CEngineOwner() = default;
};

class CGameEngine {
public:
    explicit CGameEngine(CEngineOwner* owner = nullptr);
    ~CGameEngine();
    CGameEngine(const CGameEngine&) = delete;
    CGameEngine& operator=(const CGameEngine&) = delete;

    // ---- definition (game_definition.cpp)
    // Copies a record into the definition half, converting the pile layout
    // from grid units to pixels. Returns false, leaving no definition loaded,
    // when the record is malformed (see ValidateGameRecord).
    bool LoadGameDefinition(const uint8_t* record, size_t length);
    void FreeGameDefinition();

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
    // Runs a program of the loaded definition; false for an index out of range.
    bool EvaluateProgram(uint16_t program, const RuleCardList& listA, const RuleCardList* listB) const;

    // ---- events, conditions and counters (events.cpp)
    bool IsEventAllowed(uint16_t event) const;
    bool UseEventCounter(uint16_t event, uint8_t& firstFlag, uint16_t& counterOut, bool consume, bool record);
    bool RunEventActions(uint16_t event, uint8_t& firstFlag, uint16_t& index, ActionDef& actionOut, bool record);
    bool RunCounterExhaustedEvent(uint16_t counter, uint8_t& firstFlag, uint16_t& index, ActionDef& actionOut);
    bool RunAutomaticEvents(bool atStart, bool record, uint8_t& firstFlag);
    void RefreshExposedCards(bool record);

    // ---- hints (hints.cpp)
    bool FindHint(uint16_t n, uint16_t& first, uint16_t& second, bool withClicks) const;
    bool FindClickHint(uint16_t n, uint16_t& pile, uint16_t& card, uint16_t& count) const;
    // Every hint of the position in one scan, numbered as FindHint numbers
    // them: out[n] is what FindHint(n) finds.
    struct HintMove {
        uint16_t first;    // the card to move, or the pile to click
        uint16_t second;   // the destination pile, or kNone for a click
    };
    void FindAllHints(std::vector<HintMove>& out, bool withClicks) const;

    // ---- saved games (saved_game.cpp)
    uint16_t FindSavedGameSlot(uint16_t gameId) const;
    void SaveGame();
    bool LoadSavedGame(bool preview);

private:
    // Runs the inverse of a definition action, given the result it recorded.
    void UndoAction(const ActionDef& action, uint16_t recorded);

public:
    // ---- small queries
    bool HasDefinition() const { return pileCount != 0 && !piles.empty(); }
    bool HasGameInPlay() const { return !cardStates.empty() || (cardCount == 0 && history != nullptr); }
    // The card at (pile, position), or kNone.
    uint16_t CardAt(uint16_t pile, int position) const;
    uint16_t TopCard(uint16_t pile) const;

    // ================================================== runtime half
    CEngineOwner* owner = nullptr;
    std::unique_ptr<CMoveHistory> history;
    std::vector<CardState> cardStates;
    std::vector<PileState> pileStates;
    uint16_t moveLinkCount = 0;
    std::vector<MoveLink> moveLinks;
    std::vector<CounterState> counters;
    uint8_t finished = 0;
    // The state of the generator that the game's shuffles draw from: the
    // game number at the deal, advanced by each shuffle and taken back by
    // its undo, kept in saved games (saved_game.h). A game's shuffles thus
    // follow from its number and its steps, for a restart too.
    uint32_t shuffleState = 0;

    // ================================================== definition half
    char name[32] = {};
    std::vector<char> rulesText;          // 0-terminated 8-bit text
    uint16_t id = 0;
    uint32_t category = 0;
    uint32_t skill = 0;
    uint32_t timeClass = 0;
    uint16_t denseGrid = 0;

    uint16_t cardCount = 0;
    std::vector<CardDef> cards;
    uint16_t pileCount = 0;
    std::vector<PileDef> piles;           // converted to pixels
    uint16_t actionCount = 0;
    std::vector<ActionDef> actions;
    uint16_t linkCount = 0;
    std::vector<MoveLink> links;
    uint16_t placementCount = 0;
    std::vector<CardPlacement> placements;
    uint16_t flipCount = 0;
    std::vector<PilePosition> flips;
    uint16_t lockCount = 0;
    std::vector<PilePosition> locks;
    uint16_t exposureCount = 0;
    std::vector<PilePosition> exposures;
    uint16_t eventCount = 0;
    std::vector<uint8_t> eventTypes;
    uint16_t eventActionCount = 0;
    std::vector<EventAction> eventActions;
    uint16_t programCount = 0;
    std::vector<std::vector<uint8_t>> programs;   // bytecode followed by one 0 (END)
    uint16_t conditionCount = 0;
    std::vector<RuleCondition> conditions;
    uint16_t eventConditionCount = 0;
    std::vector<EventCondition> eventConditions;
    uint16_t counterCount = 0;
    std::vector<CounterDef> counterDefs;
    uint16_t eventCounterCount = 0;
    std::vector<EventCounter> eventCounters;

    uint16_t extraCategoryCount = 0;
    std::vector<uint32_t> extraCategories;
};

// Reads one 0-terminated 8-bit string from at most `available` bytes into a
// new owned copy; returns the bytes consumed (length + 1), or 0 when no
// terminator lies within `available`.
size_t ReadString(const uint8_t* source, size_t available, std::vector<char>& out);
// Reads a length-prefixed rule program (u16 length n, then n bytes) into a
// copy of n + 1 bytes whose last byte is END; returns n + 2, or 0 when the
// program does not fit in `available` bytes.
size_t ReadProgram(const uint8_t* source, size_t available, std::vector<uint8_t>& out);

// Checks a record against its length and against itself: every array fits,
// every index names something that exists, the deal gives each pile only
// cards of its group and there are enough of them. `error` (optional)
// receives a one-line reason when the record is refused.
bool ValidateGameRecord(const uint8_t* record, size_t length, const char** error = nullptr);

// Grid-to-pixel conversion of one pile, as the loader applies it.
void ConvertPileToPixels(PileDef& pile, bool denseGrid);

}  // namespace corvelle
