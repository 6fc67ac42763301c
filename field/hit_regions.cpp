#include "field/hit_regions.h"

#include "engine/records.h"

namespace corvelle {

void CHitRegions::AddRegion(int32_t x, int32_t y, uint16_t pile, int16_t index) {
    if (!layout) return;
    const auto w = static_cast<int32_t>(layout->cardWidth), h = static_cast<int32_t>(layout->cardHeight);
    entries.push_back({{x, y, x + w, y + h}, pile, index});
}

bool CHitRegions::HitTest(int32_t x, int32_t y, uint16_t* pile, uint16_t* index, HitRect* rect) const {
    if (!layout) return false;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const HitRect& r = it->rect;
        if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) continue;
        if (it->pile < layout->piles.size()) {
            const FieldPile& p = layout->piles[it->pile];
            if (p.cards.empty() && p.baseKind == BaseNone) continue;
        }
        if (pile) *pile = it->pile;
        if (index) *index = it->index < 0 ? kFieldNone : static_cast<uint16_t>(it->index);
        if (rect) *rect = r;
        return true;
    }
    return false;
}

void CHitRegions::FindRegion(uint16_t pile, uint16_t n, int32_t* x, int32_t* y) const {
    *x = 0;
    *y = 0;
    const HitRegion* found = nullptr;
    if (n > 0)
        for (const HitRegion& e : entries)
            if (e.pile == pile && e.index == n - 1) {
                found = &e;
                break;
            }
    if (!found)
        for (const HitRegion& e : entries)
            if (e.pile == pile && (e.index == 0 || e.index == -1)) {
                found = &e;
                break;
            }
    if (!found)
        for (const HitRegion& e : entries)
            if (e.pile == pile) {
                found = &e;
                break;
            }
    if (found) {
        *x = found->rect.left;
        *y = found->rect.top;
    }
}

}  // namespace corvelle
