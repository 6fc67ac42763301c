// The game field's own copy of the piles and cards, kept in step with the
// engine and drawn from. Everything here is plain data and plain functions
// (no window or device context), so it is built and tested natively too.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/records.h"

namespace corvelle {

class CGameEngine;

// "No pile", "no card", "no index" in the field's 16-bit numbers.
constexpr uint16_t kFieldNone = 0xFFFF;
// Base marks: none.
constexpr uint32_t kNoMark = 0xFFFFFFFF;

// The field numbers suits 0..3 and ranks 0..12, the order of the card
// artwork; the engine's CardDef numbers them 1..4 (clubs, spades, diamonds,
// hearts) and 1..13. These are the one conversion between the two.
inline uint32_t FieldSuit(unsigned engineSuit) { return engineSuit - 1u; }
inline uint32_t FieldRank(unsigned engineRank) { return engineRank - 1u; }
inline unsigned EngineSuit(uint32_t fieldSuit) { return fieldSuit + 1u; }
inline bool IsRedFieldSuit(uint32_t fieldSuit) { return IsRedSuit(EngineSuit(fieldSuit)); }

struct FieldCard {
    uint16_t card = 0;   // the engine's card number
    uint32_t suit = 0;   // FieldSuit of the card's suit: 0 clubs, 1 spades, 2 diamonds, 3 hearts
    uint32_t rank = 0;   // FieldRank of the card's rank: 0 ace .. 12 king
    uint8_t faceUp = 0;  // 1 face up
};

struct FieldPile {
    int32_t x = 0;             // first card's centre, before ScaleAlign by xAnchor
    int32_t y = 0;
    uint32_t fanExtent = 0;    // the most room the fan may take, 0 = no limit
    uint32_t extentMode = 0;   // ScaleAlignMode of fanExtent: ExtentScaleMode of the PileDef's
    uint16_t drawOrder = 0;    // draw-order key: higher keys are drawn later
    uint8_t visible = 0;       // 0: neither drawn nor hit nor animated
    uint32_t fan = 0;          // the engine's FanKind
    uint32_t baseKind = 0;     // the PileDef's BaseKind
    uint32_t xAnchor = 0;      // ScaleAlign mode of x
    uint32_t yAnchor = 0;      // ScaleAlign mode of y
    std::vector<FieldCard> cards;  // bottom card first
    // Base kind 3: the picture (0 or 1). Base kind 2: the rank mark 0..12 or
    // kNoMark.
    uint32_t baseValue = 0;
    // Base kind 2: the suit mark 0..3 or kNoMark.
    uint32_t baseSuit = 0;

    uint16_t GetCardCount() const { return static_cast<uint16_t>(cards.size()); }
};

// Card geometry and the piles, in the engine's pile order.
struct FieldLayout {
    uint32_t denseGrid = 0;
    uint32_t cardWidth = 0;   // 0 until the field is prepared for drawing
    uint32_t cardHeight = 0;
    uint32_t fanStepX = 0;    // the largest step between fanned cards
    uint32_t fanStepY = 0;
    std::vector<FieldPile> piles;

    uint16_t GetPileCount() const { return static_cast<uint16_t>(piles.size()); }
    // Card size 79 x 112 and fan steps of 20 pixels.
    void SetStandardGeometry();
};

// Rebuilds `layout` (piles and cards; the card geometry is cleared) from the
// engine's definition and game in play. A card whose pile or position does
// not name a free place of a pile is left out, and the positions of each
// pile are closed up, so the copy never holds an unset card; the result is
// false when anything was left out.
bool BuildFieldLayout(const CGameEngine& engine, FieldLayout& layout);

// The piles' indexes in drawing order: ascending by drawOrder, ties in pile
// order. Later piles are drawn on top and hit first.
std::vector<uint16_t> SortPilesByZOrder(const FieldLayout& layout);

// Moves the cards fromIndex .. fromIndex + count - 1 of fromPile so that they
// become toIndex .. toIndex + count - 1 of toPile (toIndex counted after the
// run has left, when both piles are one). False, changing nothing, for no
// cards, a range outside the source, an insert index beyond the destination
// or a pile that does not exist.
bool MoveFieldRun(FieldLayout& layout, uint16_t fromPile, uint16_t fromIndex, uint16_t count, uint16_t toPile,
                  uint16_t toIndex);
// The two halves of MoveFieldRun, for a caller that shows the run in motion
// between them: whether the move fits, taking the run out of its pile, and
// putting it into a pile (an index beyond the pile appends it).
bool FieldRunFits(const FieldLayout& layout, uint16_t fromPile, uint16_t fromIndex, uint16_t count, uint16_t toPile,
                  uint16_t toIndex);
std::vector<FieldCard> TakeFieldRun(FieldLayout& layout, uint16_t pile, uint16_t fromIndex, uint16_t count);
void InsertFieldRun(FieldLayout& layout, uint16_t pile, uint16_t index, const std::vector<FieldCard>& run);

// The first place, piles in order and each from its bottom card up, of the
// card numbered `card`; false when no pile holds it.
bool FindFieldCard(const FieldLayout& layout, uint16_t card, uint16_t* pile, uint16_t* index);

}  // namespace corvelle
