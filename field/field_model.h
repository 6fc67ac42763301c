// The game field's own copy of a pile and its cards, kept in step with the
// engine and drawn from.
#pragma once

#include <cstdint>

struct FieldCard {
    uint16_t card;   // the engine's card number
    uint32_t suit;   // 0 clubs, 1 spades, 2 diamonds, 3 hearts
    uint32_t rank;   // 0 ace .. 12 king
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
    uint32_t baseKind;  // 0 plain base, 1 no base, 2 marked base, 3 pictured base
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
