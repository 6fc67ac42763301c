// Byte layouts of the game database records and of the runtime records that
// saved games store verbatim. These structures are the single source of truth
// for the layouts: every field sits at its natural alignment, so the compiler
// adds no padding, and the static_asserts below pin every size and offset.
// All multi-byte values are little-endian (the only byte order we build for).
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvelle {

constexpr uint16_t kAnyPile = 0xFFFF;   // "any pile" in a move link
constexpr uint16_t kNone = 0xFFFF;      // no pile, no card, no condition pile B
constexpr uint16_t kNoGame = 800;       // no game in selection and related lists
constexpr int kMaxGames = 800;          // the database holds at most this many
constexpr int kGamesPerGroup = 64;      // records per SOLDB stream

// Resource ids and type names of the game database and its tables.
constexpr uint16_t kResSolId = 3910;
constexpr uint16_t kResSolCat = 3911;
constexpr uint16_t kResSolACat = 3912;
constexpr uint16_t kResSolSkill = 3913;
constexpr uint16_t kResSolTime = 3914;
constexpr uint16_t kResSolSize = 3915;
constexpr uint16_t kResRelatedSols = 3916;
constexpr uint16_t kResSolDbFirst = 3920;
constexpr int kGameNameStringBase = 4000;

enum GameCategory : uint16_t {
    CategoryOther = 0, CategoryAddition, CategoryCanfield, CategoryCastle, CategoryFan,
    CategoryFortyThieves, CategoryFreeCell, CategoryKlondike, CategorySpider,
    CategoryTerrace, CategoryYukon, kCategoryCount
};
enum GameSkill : uint16_t { SkillEasy = 0, SkillMedium, SkillHard, kSkillCount };
enum GameTimeClass : uint16_t { TimeUnder3 = 0, Time3to5, Time5to10, TimeOver10, kTimeClassCount };

// ---------------------------------------------------------------- GameRecord

struct GameRecordHeader {             // 42 bytes, 21 x u16
    uint16_t id;
    uint16_t category;
    uint16_t skill;
    uint16_t timeClass;
    uint16_t denseGrid;
    uint16_t extraCategoryCount;
    uint16_t cardCount;
    uint16_t pileCount;
    uint16_t actionCount;
    uint16_t linkCount;
    uint16_t placementCount;
    uint16_t flipCount;
    uint16_t lockCount;
    uint16_t exposureCount;
    uint16_t eventCount;
    uint16_t eventActionCount;
    uint16_t programCount;
    uint16_t conditionCount;
    uint16_t eventConditionCount;
    uint16_t counterCount;
    uint16_t eventCounterCount;
};

struct CardDef {                      // 4 bytes
    uint16_t cardGroup;
    uint8_t suit;                     // 1..4: 1 clubs, 2 spades (black), 3 diamonds, 4 hearts (red)
    uint8_t rank;                     // 1..13
};

enum Suit : uint8_t { SuitClubs = 1, SuitSpades = 2, SuitDiamonds = 3, SuitHearts = 4 };
inline bool IsRedSuit(unsigned suit) { return suit == SuitDiamonds || suit == SuitHearts; }
// The one suit-to-letter mapping used by every tool and text: 1 C, 2 S, 3 D, 4 H.
inline char SuitLetter(unsigned suit) { return suit >= 1 && suit <= 4 ? "CSDH"[suit - 1] : '?'; }
inline char RankLetter(unsigned rank) { return rank >= 1 && rank <= 13 ? "A23456789TJQK"[rank - 1] : '?'; }
// Their reverse, in either case: 1..4 and 1..13, 0 for any other character.
inline unsigned LetterIndex(const char* letters, unsigned count, char c) {
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    for (unsigned i = 0; i < count; ++i)
        if (letters[i] == upper) return i + 1;
    return 0;
}
inline unsigned SuitOfLetter(char c) { return LetterIndex("CSDH", 4, c); }
inline unsigned RankOfLetter(char c) { return LetterIndex("A23456789TJQK", 13, c); }

enum AnchorKind : uint8_t { AnchorStart = 0, AnchorProportional = 1, AnchorCentre = 2, AnchorEnd = 3 };

// A record places its piles in grid units of a square layout reference,
// kLayoutReference units per direction; a card covers 15 x 21 of them, or
// 18 x 24 when the record's denseGrid is set.
constexpr int kLayoutReference = 160;
struct GridCardSize {
    int width, height;
};
constexpr GridCardSize GridCardSizeFor(bool denseGrid) {
    return denseGrid ? GridCardSize{18, 24} : GridCardSize{15, 21};
}
enum FanKind : uint8_t { FanNone = 0, FanLeft = 1, FanRight = 2, FanUp = 3, FanDown = 4 };
constexpr uint8_t kLastFanKind = FanDown;
enum BaseKind : uint8_t { BasePlain = 0, BaseNone = 1, BaseMarked = 2, BasePictured = 3 };
// How a fan's extent is converted from grid units and later fitted to the
// drawing: kept as converted, scaled with the drawing, or measured back from
// the far edge of the 160-unit reference.
enum ExtentKind : uint8_t { ExtentFixed = 0, ExtentScaled = 1, ExtentFromFarEdge = 2 };

struct PileDef {                      // 34 bytes
    uint16_t cardGroup;
    int16_t x;                        // grid units in the record, pixels once loaded
    int16_t y;
    uint8_t xAnchor;
    uint8_t yAnchor;
    uint8_t fan;
    uint8_t baseKind;
    uint8_t dealFaceUp;
    uint8_t acceptsDrops;
    uint16_t dealCount;
    uint16_t pickupProgram;
    uint16_t dropProgram;
    uint16_t clickEvent;
    uint16_t reserved;
    uint16_t emptyClickEvent;
    uint16_t dropEvent;
    uint8_t manualExposure;
    uint8_t enabled;
    uint8_t drawOrder;
    uint8_t extentKind;
    uint16_t fanExtent;
    uint16_t attribute;
};

enum ActionKind : uint8_t {
    ActionMoveCards = 0, ActionSetPileAttribute = 1, ActionSetCardAttribute = 2,
    ActionForbidMove = 3, ActionAllowMove = 4, ActionFinishGame = 5, ActionResetCounter = 6
};
enum SourceMode : uint8_t { SourceFromPosition = 0, SourceFromTop = 1, SourceRange = 2 };
enum DestinationMode : uint8_t { DestFromTop = 1, DestAtPosition = 2 };
enum PileAttribute : uint8_t {
    PileAcceptsDrops = 6, PileEnabled = 8, PileReverse = 9, PileDropProgram = 10,
    PileAttributeValue = 11, PileShuffle = 12, PilePickupProgram = 13
};
enum CardAttribute : uint8_t { CardFaceUp = 0, CardMovable = 1, CardExposed = 7 };

struct ActionDef {                    // 16 bytes
    uint8_t kind;
    uint8_t sourceMode;
    uint16_t sourcePile;
    int16_t sourcePosition;
    uint16_t count;
    uint16_t destPile;
    uint8_t destMode;
    uint8_t subKind;
    uint16_t destPosition;
    uint16_t value;
};

struct MoveLink {                     // 4 bytes
    uint16_t sourcePile;
    uint16_t destPile;
};

struct CardPlacement {                // 6 bytes
    uint16_t pile;
    uint16_t card;
    uint16_t position;
};

struct PilePosition {                 // 4 bytes (flips, locks, exposures)
    uint16_t pile;
    int16_t position;
};

enum EventType : uint8_t {
    EventAfterStep = 0, EventAfterStepRepeating = 1, EventPlayerOnly = 2, EventAtStart = 3
};

struct EventAction {                  // 4 bytes
    uint16_t event;
    uint16_t action;
};

struct RuleCondition {                // 6 bytes
    uint16_t program;
    uint16_t pileA;
    uint16_t pileB;                   // kNone: no second list
};

struct EventCondition {               // 4 bytes
    uint16_t event;
    uint16_t condition;
};

struct CounterDef {                   // 4 bytes
    uint16_t initialValue;
    uint16_t exhaustedEvent;          // 0 = none
};

struct EventCounter {                 // 4 bytes
    uint16_t event;
    uint16_t counter;
};

// ------------------------------------------------------------ runtime state

struct CardState {                    // 8 bytes
    uint8_t faceUp;
    uint8_t movable;
    uint8_t exposed;
    uint8_t reserved;
    uint16_t pile;
    int16_t position;
};

struct PileState {                    // 32 bytes
    int16_t x;
    int16_t y;
    uint32_t fan;
    uint8_t acceptsDrops;
    uint8_t reserved1;
    uint16_t count;
    uint16_t dropProgram;
    uint16_t pickupProgram;
    uint32_t manualExposure;
    uint8_t enabled;
    uint8_t reserved2[3];
    uint32_t attribute;
    uint32_t attributeHigh;
};

struct CounterState {                 // 4 bytes
    uint16_t value;
    uint16_t exhaustedEvent;
};

enum HistoryKind : uint32_t {
    HistoryPlayerMove = 0, HistoryActionExecuted = 1, HistoryExposedToggled = 2, HistoryCounterUsed = 3
};

struct HistoryRecord {                // 16 bytes
    uint32_t kind;
    uint8_t groupStart;
    uint8_t reserved1;
    uint16_t index;
    uint16_t value;
    uint16_t destPile;
    uint16_t destCountBefore;
    uint16_t reserved2;
};

static_assert(sizeof(GameRecordHeader) == 42, "GameRecordHeader layout");
static_assert(sizeof(CardDef) == 4 && offsetof(CardDef, rank) == 3, "CardDef layout");
static_assert(sizeof(PileDef) == 34, "PileDef layout");
static_assert(offsetof(PileDef, xAnchor) == 6 && offsetof(PileDef, acceptsDrops) == 11 &&
              offsetof(PileDef, dealCount) == 12 && offsetof(PileDef, dropEvent) == 24 &&
              offsetof(PileDef, manualExposure) == 26 && offsetof(PileDef, extentKind) == 29 &&
              offsetof(PileDef, fanExtent) == 30 && offsetof(PileDef, attribute) == 32,
              "PileDef offsets");
static_assert(sizeof(ActionDef) == 16 && offsetof(ActionDef, destMode) == 10 &&
              offsetof(ActionDef, destPosition) == 12 && offsetof(ActionDef, value) == 14,
              "ActionDef layout");
static_assert(sizeof(MoveLink) == 4, "MoveLink layout");
static_assert(sizeof(CardPlacement) == 6, "CardPlacement layout");
static_assert(sizeof(PilePosition) == 4, "PilePosition layout");
static_assert(sizeof(EventAction) == 4, "EventAction layout");
static_assert(sizeof(RuleCondition) == 6, "RuleCondition layout");
static_assert(sizeof(EventCondition) == 4, "EventCondition layout");
static_assert(sizeof(CounterDef) == 4, "CounterDef layout");
static_assert(sizeof(EventCounter) == 4, "EventCounter layout");
static_assert(sizeof(CardState) == 8 && offsetof(CardState, pile) == 4 &&
              offsetof(CardState, position) == 6, "CardState layout");
static_assert(sizeof(PileState) == 32 && offsetof(PileState, fan) == 4 &&
              offsetof(PileState, acceptsDrops) == 8 && offsetof(PileState, count) == 10 &&
              offsetof(PileState, dropProgram) == 12 && offsetof(PileState, pickupProgram) == 14 &&
              offsetof(PileState, manualExposure) == 16 && offsetof(PileState, enabled) == 20 &&
              offsetof(PileState, attribute) == 24 && offsetof(PileState, attributeHigh) == 28,
              "PileState layout");
static_assert(sizeof(CounterState) == 4, "CounterState layout");
static_assert(sizeof(HistoryRecord) == 16 && offsetof(HistoryRecord, groupStart) == 4 &&
              offsetof(HistoryRecord, index) == 6 && offsetof(HistoryRecord, value) == 8 &&
              offsetof(HistoryRecord, destPile) == 10 && offsetof(HistoryRecord, destCountBefore) == 12,
              "HistoryRecord layout");

}  // namespace corvelle
