// The card-sized rectangles the last full paint of the field drew, in
// drawing order, searched from the topmost down to find what lies under a
// point.
#pragma once

#include <cstdint>
#include <vector>

#include "field/field_model.h"

namespace corvelle {

struct HitRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

struct HitRegion {
    HitRect rect;
    uint16_t pile = 0;
    int16_t index = 0;  // the card's index in its pile (0 = bottom), -1 for an empty pile's base
};

class CHitRegions {
public:
    explicit CHitRegions(const FieldLayout* fieldLayout) : layout(fieldLayout) { entries.reserve(104); }

    // Records a card-sized region at (x, y); nothing without a layout.
    void AddRegion(int32_t x, int32_t y, uint16_t pile, int16_t index);
    void Reset() { entries.clear(); }
    void Free() { std::vector<HitRegion>().swap(entries); }

    // The topmost region holding (x, y), passing over the bases of empty
    // piles that have none (base kind 1). Writes its pile, its index
    // (kFieldNone for an empty pile) and its rectangle to the pointers that
    // are not null; false, writing nothing, when no region holds the point.
    bool HitTest(int32_t x, int32_t y, uint16_t* pile, uint16_t* index, HitRect* rect) const;

    // The top-left corner of the region of the card just below position n
    // of the pile (card n - 1); else of its bottom card or empty base; else
    // of any region of the pile; else (0, 0).
    void FindRegion(uint16_t pile, uint16_t n, int32_t* x, int32_t* y) const;

    const std::vector<HitRegion>& GetEntries() const { return entries; }

    // While set, painting neither resets nor adds regions (a drawing that is
    // not the field's own, such as a preview, leaves the table as it was).
    bool recordingSuspended = false;

private:
    const FieldLayout* layout;
    std::vector<HitRegion> entries;
};

}  // namespace corvelle
