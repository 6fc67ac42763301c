#include "visible_points.h"

#include "engine/records.h"

namespace corvelle::test {

namespace {

bool Unhittable(const FieldLayout& layout, uint16_t pile) {
    return pile < layout.piles.size() && layout.piles[pile].cards.empty() && layout.piles[pile].baseKind == BaseNone;
}

}  // namespace

bool VisiblePoint(const std::vector<HitRegion>& regions, const FieldLayout& layout, size_t i, int32_t* x,
                  int32_t* y) {
    const HitRect& r = regions[i].rect;
    const int32_t candidates[][2] = {{r.left + 3, r.top + 3},
                                     {r.right - 4, r.top + 3},
                                     {r.left + 3, r.bottom - 4},
                                     {r.right - 4, r.bottom - 4},
                                     {(r.left + r.right) / 2, (r.top + r.bottom) / 2}};
    for (const auto& c : candidates) {
        bool covered = false;
        for (size_t j = i + 1; j < regions.size() && !covered; ++j) {
            const HitRect& q = regions[j].rect;
            if (Unhittable(layout, regions[j].pile)) continue;
            covered = c[0] >= q.left && c[0] < q.right && c[1] >= q.top && c[1] < q.bottom;
        }
        if (!covered) {
            *x = c[0];
            *y = c[1];
            return true;
        }
    }
    return false;
}

bool CardPoint(const std::vector<HitRegion>& regions, const FieldLayout& layout, uint16_t pile, uint16_t index,
               int32_t* x, int32_t* y, HitRect* rect) {
    for (size_t i = regions.size(); i-- > 0;) {
        const HitRegion& r = regions[i];
        if (r.pile != pile || (r.index < 0 ? kFieldNone : static_cast<uint16_t>(r.index)) != index) continue;
        if (!VisiblePoint(regions, layout, i, x, y)) return false;
        if (rect) *rect = r.rect;
        return true;
    }
    return false;
}

bool DropPoint(const std::vector<HitRegion>& regions, const FieldLayout& layout, uint16_t pile, int32_t* x,
               int32_t* y) {
    for (size_t i = regions.size(); i-- > 0;)
        if (regions[i].pile == pile) return VisiblePoint(regions, layout, i, x, y);
    return false;
}

bool VisibleHint(const std::vector<HitRegion>& regions, const FieldLayout& layout, const CGameEngine& engine,
                 uint16_t* pile, uint16_t* index, uint16_t* target) {
    std::vector<CGameEngine::HintMove> hints;
    engine.FindAllHints(hints, false);
    for (const CGameEngine::HintMove& h : hints) {
        int32_t x = 0, y = 0;
        if (h.second == kNone || !FindFieldCard(layout, h.first, pile, index)) continue;
        if (!CardPoint(regions, layout, *pile, *index, &x, &y) || !DropPoint(regions, layout, h.second, &x, &y))
            continue;
        *target = h.second;
        return true;
    }
    return false;
}

}  // namespace corvelle::test
