#include "field/field_model.h"

#include <algorithm>
#include <cstddef>

#include "engine/game_engine.h"
#include "engine/resources.h"

namespace corvelle {

void FieldLayout::SetStandardGeometry() {
    cardWidth = kCardWidth;
    cardHeight = kCardHeight;
    fanStepX = 20;
    fanStepY = 20;
}

namespace {

FieldPile CopyPile(const PileDef& def, const PileState* state) {
    FieldPile p;
    p.x = def.x;
    p.y = def.y;
    p.drawOrder = def.drawOrder;
    p.fan = def.fan;
    p.baseKind = def.baseKind;
    p.visible = state && state->acceptsDrops != 0;
    p.xAnchor = def.xAnchor;
    p.yAnchor = def.yAnchor;
    p.fanExtent = def.fanExtent;
    p.extentMode = ExtentScaleMode(def.extentKind);
    const uint32_t attribute = state ? state->attribute : 0;
    const uint32_t attributeHigh = state ? state->attributeHigh : 0;
    if (def.baseKind == BasePictured) {
        p.baseValue = attribute & 0xFFFF;
    } else if (def.baseKind == BaseMarked) {
        p.baseValue = attribute - 1;       // 0 gives kNoMark
        p.baseSuit = attributeHigh - 1;
    }
    return p;
}

}  // namespace

bool BuildFieldLayout(const CGameEngine& engine, FieldLayout& layout) {
    layout = FieldLayout{};
    layout.denseGrid = engine.denseGrid;
    const size_t pileCount = std::min<size_t>(engine.piles.size(), kFieldNone);
    if (pileCount == 0) return true;
    layout.piles.reserve(pileCount);
    for (size_t i = 0; i < pileCount; ++i)
        layout.piles.push_back(CopyPile(engine.piles[i], i < engine.pileStates.size() ? &engine.pileStates[i] : nullptr));

    // Each card goes to the place its state names. Places are counted first,
    // so that a position is checked against its pile's real size.
    const size_t cardCount = std::min(engine.cards.size(), engine.cardStates.size());
    std::vector<uint16_t> counts(pileCount, 0);
    for (size_t c = 0; c < cardCount; ++c) {
        const uint16_t pile = engine.cardStates[c].pile;
        if (pile < pileCount) ++counts[pile];
    }
    std::vector<std::vector<uint8_t>> taken(pileCount);
    for (size_t i = 0; i < pileCount; ++i) {
        layout.piles[i].cards.resize(counts[i]);
        taken[i].assign(counts[i], 0);
    }
    bool complete = true;
    for (size_t c = 0; c < cardCount; ++c) {
        const CardState& state = engine.cardStates[c];
        if (state.pile >= pileCount || state.position < 0 || state.position >= counts[state.pile] ||
            taken[state.pile][static_cast<size_t>(state.position)]) {
            complete = false;
            continue;
        }
        FieldCard& card = layout.piles[state.pile].cards[static_cast<size_t>(state.position)];
        card.card = static_cast<uint16_t>(c);
        card.suit = FieldSuit(engine.cards[c].suit);
        card.rank = FieldRank(engine.cards[c].rank);
        card.faceUp = state.faceUp != 0;
        taken[state.pile][static_cast<size_t>(state.position)] = 1;
    }
    if (!complete) {
        // Close up the places no card took.
        for (size_t i = 0; i < pileCount; ++i) {
            std::vector<FieldCard>& cards = layout.piles[i].cards;
            size_t kept = 0;
            for (size_t k = 0; k < cards.size(); ++k)
                if (taken[i][k]) cards[kept++] = cards[k];
            cards.resize(kept);
        }
    }
    return complete;
}

namespace {

struct DrawOrderEntry {
    uint16_t key;
    uint16_t pile;
};

int CompareDrawOrder(const void* a, const void* b, void*) {
    const uint16_t ka = static_cast<const DrawOrderEntry*>(a)->key, kb = static_cast<const DrawOrderEntry*>(b)->key;
    return ka == kb ? 0 : ka < kb ? -1 : 1;
}

}  // namespace

std::vector<uint16_t> SortPilesByZOrder(const FieldLayout& layout) {
    std::vector<DrawOrderEntry> entries(layout.piles.size());
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i] = {layout.piles[i].drawOrder, static_cast<uint16_t>(i)};
    SortArray(entries.data(), static_cast<int32_t>(entries.size()), sizeof(DrawOrderEntry), CompareDrawOrder, nullptr);
    std::vector<uint16_t> order(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) order[i] = entries[i].pile;
    return order;
}

bool FieldRunFits(const FieldLayout& layout, uint16_t fromPile, uint16_t fromIndex, uint16_t count, uint16_t toPile,
                  uint16_t toIndex) {
    if (fromPile >= layout.piles.size() || toPile >= layout.piles.size() || count == 0) return false;
    const size_t sourceCount = layout.piles[fromPile].cards.size();
    if (size_t{fromIndex} + count > sourceCount) return false;
    // Within one pile the insert index counts the cards left after the run
    // has gone.
    const size_t room = layout.piles[toPile].cards.size() - (fromPile == toPile ? count : 0);
    return toIndex <= room;
}

std::vector<FieldCard> TakeFieldRun(FieldLayout& layout, uint16_t pile, uint16_t fromIndex, uint16_t count) {
    if (pile >= layout.piles.size()) return {};
    std::vector<FieldCard>& cards = layout.piles[pile].cards;
    const size_t from = std::min<size_t>(fromIndex, cards.size());
    const size_t to = std::min(from + count, cards.size());
    std::vector<FieldCard> run(cards.begin() + static_cast<std::ptrdiff_t>(from),
                               cards.begin() + static_cast<std::ptrdiff_t>(to));
    cards.erase(cards.begin() + static_cast<std::ptrdiff_t>(from), cards.begin() + static_cast<std::ptrdiff_t>(to));
    return run;
}

void InsertFieldRun(FieldLayout& layout, uint16_t pile, uint16_t index, const std::vector<FieldCard>& run) {
    if (pile >= layout.piles.size()) return;
    std::vector<FieldCard>& cards = layout.piles[pile].cards;
    const size_t at = std::min<size_t>(index, cards.size());
    cards.insert(cards.begin() + static_cast<std::ptrdiff_t>(at), run.begin(), run.end());
}

bool MoveFieldRun(FieldLayout& layout, uint16_t fromPile, uint16_t fromIndex, uint16_t count, uint16_t toPile,
                  uint16_t toIndex) {
    if (!FieldRunFits(layout, fromPile, fromIndex, count, toPile, toIndex)) return false;
    InsertFieldRun(layout, toPile, toIndex, TakeFieldRun(layout, fromPile, fromIndex, count));
    return true;
}

bool FindFieldCard(const FieldLayout& layout, uint16_t card, uint16_t* pile, uint16_t* index) {
    for (size_t p = 0; p < layout.piles.size(); ++p) {
        const std::vector<FieldCard>& cards = layout.piles[p].cards;
        for (size_t i = 0; i < cards.size(); ++i) {
            if (cards[i].card != card) continue;
            if (pile) *pile = static_cast<uint16_t>(p);
            if (index) *index = static_cast<uint16_t>(i);
            return true;
        }
    }
    return false;
}

}  // namespace corvelle
