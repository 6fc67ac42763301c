// The game field's own copy of a pile and its cards, kept in step with the
// engine and drawn from.
#pragma once

#include <cstdint>

#include "engine/records.h"

// The field numbers suits 0..3 and ranks 0..12, the order of the card
// artwork; the engine's CardDef numbers them 1..4 (clubs, spades, diamonds,
// hearts) and 1..13. These are the one conversion between the two.
inline uint32_t FieldSuit(unsigned engineSuit) { return engineSuit - 1u; }
inline uint32_t FieldRank(unsigned engineRank) { return engineRank - 1u; }
inline unsigned EngineSuit(uint32_t fieldSuit) { return fieldSuit + 1u; }
inline bool IsRedFieldSuit(uint32_t fieldSuit) { return corvelle::IsRedSuit(EngineSuit(fieldSuit)); }

struct FieldCard {
    uint16_t card;   // the engine's card number
    uint32_t suit;   // FieldSuit of the card's suit: 0 clubs, 1 spades, 2 diamonds, 3 hearts
    uint32_t rank;   // FieldRank of the card's rank: 0 ace .. 12 king
    uint8_t faceUp;  // 1 face up
};

struct FieldPile {
    int32_t x;
    int32_t y;
    uint32_t fanExtent;
    uint32_t extentMode;
    uint16_t drawOrder;
    uint8_t visible;
    uint32_t fan;
    uint32_t baseKind;  // the PileDef's corvelle::BaseKind
    uint32_t xAnchor;
    uint32_t yAnchor;
    uint16_t cardCount;
    FieldCard* cards;
    // Base kind 3: the picture (0 or 1). Base kind 2: the rank mark 0..12 or
    // 0xFFFFFFFF for none.
    uint32_t baseValue;
    // Base kind 2: the suit mark 0..3 or 0xFFFFFFFF for none.
    uint32_t baseSuit;
};
