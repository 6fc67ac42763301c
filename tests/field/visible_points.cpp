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

}  // namespace corvelle::test
