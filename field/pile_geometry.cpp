#include "field/pile_geometry.h"

#include <algorithm>

#include "engine/records.h"
#include "engine/resources.h"

namespace corvelle {

namespace {

constexpr int32_t kNoLimit = 32767;

int32_t Signed(uint32_t v) { return static_cast<int32_t>(v); }

}  // namespace

bool IsHorizontalFan(uint32_t fan) { return fan == FanLeft || fan == FanRight; }
bool IsVerticalFan(uint32_t fan) { return fan == FanUp || fan == FanDown; }

int32_t FanLimit(const FieldLayout& layout, const FieldPile& pile, int32_t px, int32_t py, int32_t width,
                 int32_t height) {
    if (pile.fanExtent == 0) return kNoLimit;
    int32_t limit = Signed(pile.fanExtent);
    const bool horizontal = IsHorizontalFan(pile.fan);
    if (pile.extentMode == ScaleKeep || (!horizontal && !IsVerticalFan(pile.fan))) return limit;
    const bool dense = layout.denseGrid != 0;
    // Along the fan: the drawing's size, the card's size, its anchor, its
    // position and the grid size of a card.
    const int32_t size = horizontal ? width : height;
    const int32_t card = Signed(horizontal ? layout.cardWidth : layout.cardHeight);
    const uint32_t anchor = horizontal ? pile.xAnchor : pile.yAnchor;
    const int32_t at = horizontal ? px : py;
    const GridCardSize gridCard = GridCardSizeFor(dense);
    const int32_t grid = horizontal ? gridCard.width : gridCard.height;
    limit = ScaleAlign(limit, size, kLayoutReference, static_cast<int32_t>(pile.extentMode));
    if (pile.extentMode == ScaleProportional) {
        limit -= card;
        // A drawing smaller than the reference squeezes the cards less than
        // their places: take back what the card itself loses.
        const int32_t full = card * kLayoutReference;
        if (anchor != AnchorProportional && full > size * grid)
            limit -= static_cast<int32_t>((static_cast<int64_t>(card / 2 + at) * (full - size * grid)) / full);
    }
    return limit;
}

PilePlacement PlacePile(const FieldLayout& layout, const FieldPile& pile, int32_t width, int32_t height) {
    PilePlacement p;
    const int32_t cw = Signed(layout.cardWidth), ch = Signed(layout.cardHeight);
    // A pile's place is its first card's centre; the card is drawn from
    // half a card (rounded down) above and left of it.
    p.x = ScaleAlign(pile.x, width, kLayoutReference, static_cast<int32_t>(pile.xAnchor)) - cw / 2;
    p.y = ScaleAlign(pile.y, height, kLayoutReference, static_cast<int32_t>(pile.yAnchor)) - ch / 2;
    p.limit = FanLimit(layout, pile, p.x, p.y, width, height);
    const int32_t n = pile.GetCardCount();
    if (n < 2) return p;
    const int32_t stepX = Signed(layout.fanStepX), stepY = Signed(layout.fanStepY);
    switch (pile.fan) {
    case FanLeft: p.dx = -std::min(std::min(p.x, p.limit) / (n - 1), stepX); break;
    case FanRight: p.dx = std::min(std::min(width - p.x - cw, p.limit) / (n - 1), stepX); break;
    case FanUp: p.dy = -std::min(std::min(p.y, p.limit) / (n - 1), stepY); break;
    case FanDown: p.dy = std::min(std::min(height - p.y - ch, p.limit) / (n - 1), stepY); break;
    default: break;
    }
    return p;
}

void LayOutPile(const FieldLayout& layout, const FieldPile& pile, int32_t width, int32_t height,
                std::vector<CardSpot>& out) {
    if (!pile.visible) return;
    const PilePlacement p = PlacePile(layout, pile, width, height);
    const int32_t n = pile.GetCardCount();
    if (n == 0) {
        out.push_back({-1, p.x, p.y, true});
    } else if (pile.fan != FanNone) {
        for (int32_t i = 0; i < n; ++i) out.push_back({i, p.x + i * p.dx, p.y + i * p.dy, true});
    } else {
        if (n > 1) out.push_back({n - 2, p.x, p.y, false});
        out.push_back({n - 1, p.x, p.y + (n > 1 ? 1 : 0), true});
    }
}

bool PeekedCardSpot(const FieldLayout& layout, const FieldPile& pile, int32_t width, int32_t height, uint16_t index,
                    CardSpot* spot) {
    const int32_t n = pile.GetCardCount();
    if (!pile.visible || index >= n) return false;
    const PilePlacement p = PlacePile(layout, pile, width, height);
    const int32_t k = index;
    if (pile.fan != FanNone) {
        *spot = {k, p.x + k * p.dx, p.y + k * p.dy, true};
        return true;
    }
    if (k != n - 1) return false;
    *spot = {k, p.x, p.y + (k > 0 ? 1 : 0), true};
    return true;
}

void LayOutField(const FieldLayout& layout, const std::vector<uint16_t>& order, int32_t width, int32_t height,
                 uint16_t peekPile, uint16_t peekIndex, std::vector<FieldSpot>& out) {
    out.clear();
    std::vector<FieldSpot> cards;
    std::vector<CardSpot> spots;
    for (uint16_t p : order) {
        if (p >= layout.piles.size()) continue;
        spots.clear();
        LayOutPile(layout, layout.piles[p], width, height, spots);
        for (const CardSpot& s : spots) (s.index < 0 ? out : cards).push_back({p, s});
    }
    out.insert(out.end(), cards.begin(), cards.end());
    CardSpot peeked;
    // Only a card the pile holds: the peek may outlive a change of the pile.
    if (peekPile < layout.piles.size() &&
        PeekedCardSpot(layout, layout.piles[peekPile], width, height, peekIndex, &peeked))
        out.push_back({peekPile, peeked});
}

}  // namespace corvelle
