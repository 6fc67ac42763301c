// A point of a recorded hit region that no region recorded after it covers
// (a press there must find that region), for the hit-testing tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "field/hit_regions.h"

namespace corvelle::test {

// Tries the region's corners and centre; false when all are covered. Empty
// piles without a base cover nothing (they can never be hit).
bool VisiblePoint(const std::vector<HitRegion>& regions, const FieldLayout& layout, size_t i, int32_t* x,
                  int32_t* y);

}  // namespace corvelle::test
