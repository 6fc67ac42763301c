// Where the field draws each pile and card: pile positions on the 160-unit
// reference mapped onto the drawing size with ScaleAlign, the fan limit and
// the step between fanned cards. Plain arithmetic over the field's copy.
#pragma once

#include <cstdint>
#include <vector>

#include "field/field_model.h"

namespace corvelle {

// The smallest field every game's layout fits: what the main window leaves
// at its smallest size with its side panel and command bar. The window keeps
// the field at least this wide beside the panel.
constexpr int32_t kSmallestFieldWidth = 867;
constexpr int32_t kSmallestFieldHeight = 686;

// The place of a pile in a W x H drawing: the top-left corner of its first
// card, the room its fan may take and the step from one card to the next.
struct PilePlacement {
    int32_t x = 0;
    int32_t y = 0;
    int32_t limit = 0;
    int32_t dx = 0;
    int32_t dy = 0;
};

// One card the field draws (index 0 = bottom card), or the base of an empty
// pile (index -1), at its top-left corner.
struct CardSpot {
    int32_t index = 0;
    int32_t x = 0;
    int32_t y = 0;
    bool hit = true;   // gets a hit region (all but the card below an unfanned pile's top)
};

bool IsHorizontalFan(uint32_t fan);
bool IsVerticalFan(uint32_t fan);

// The most room the pile's fanned cards may take in a W x H drawing, its
// first card standing at (px, py); 32767 for a pile without a limit.
int32_t FanLimit(const FieldLayout& layout, const FieldPile& pile, int32_t px, int32_t py, int32_t width,
                 int32_t height);

// Position, fan limit and step of a pile holding its current cards. A fan
// never reaches past the drawing's edge, never takes more than the limit and
// never steps more than the layout's fan step.
PilePlacement PlacePile(const FieldLayout& layout, const FieldPile& pile, int32_t width, int32_t height);

// What drawing the pile paints, bottom to top, appended to `out`: every card
// of a fanned pile; the top two cards of a pile that is not fanned (the top
// one a pixel lower); the base of an empty pile (also for base kind 1,
// which draws nothing there but keeps the place). A hidden pile adds nothing.
void LayOutPile(const FieldLayout& layout, const FieldPile& pile, int32_t width, int32_t height,
                std::vector<CardSpot>& out);

// Where card `index` is drawn whole while the player peeks at it: any card
// of a fanned pile, only the top card of one that is not fanned. False when
// the pile is hidden or has no such card.
bool PeekedCardSpot(const FieldLayout& layout, const FieldPile& pile, int32_t width, int32_t height, uint16_t index,
                    CardSpot* spot);

// One thing a full paint of the field draws: a card of pile `pile`, or its
// empty base.
struct FieldSpot {
    uint16_t pile = 0;
    CardSpot spot;
};

// What a full paint of a width x height field draws, bottom to top, into
// `out` (emptied first): the bases of the empty piles, then the cards of the
// piles in `order`, each pile as LayOutPile lays it out, then the card the
// player peeks at (peekPile, peekIndex; kFieldNone: none) whole on top when
// it shows. A base marks the table: it lies under every card, also under
// the cards of a pile drawn before it that its place overlaps (the row
// above in a pyramid). The hit regions are recorded in this order, so the
// last spot holding a point is the one a press there finds.
void LayOutField(const FieldLayout& layout, const std::vector<uint16_t>& order, int32_t width, int32_t height,
                 uint16_t peekPile, uint16_t peekIndex, std::vector<FieldSpot>& out);

}  // namespace corvelle
