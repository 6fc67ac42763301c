// A point of a recorded hit region that no region recorded after it covers
// (a press there must find that region), for the hit-testing tests, and the
// points where the input tests press and drop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/game_engine.h"
#include "field/hit_regions.h"

namespace corvelle::test {

// Tries the region's corners and centre; false when all are covered. Empty
// piles without a base cover nothing (they can never be hit).
bool VisiblePoint(const std::vector<HitRegion>& regions, const FieldLayout& layout, size_t i, int32_t* x,
                  int32_t* y);

// A point where a press finds card `index` of the pile (kFieldNone: the
// empty pile's base), with its region; false when none shows.
bool CardPoint(const std::vector<HitRegion>& regions, const FieldLayout& layout, uint16_t pile, uint16_t index,
               int32_t* x, int32_t* y, HitRect* rect = nullptr);
// A point of the pile's topmost region: where a drop lands on it.
bool DropPoint(const std::vector<HitRegion>& regions, const FieldLayout& layout, uint16_t pile, int32_t* x,
               int32_t* y);
// The first hint of the engine whose card shows and whose target can be
// found: the card's place and the target pile.
bool VisibleHint(const std::vector<HitRegion>& regions, const FieldLayout& layout, const CGameEngine& engine,
                 uint16_t* pile, uint16_t* index, uint16_t* target);

}  // namespace corvelle::test
