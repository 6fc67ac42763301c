// The arithmetic of the side panels, free of windows so that it is tested
// natively: the stacked regions' heights, scroll range, spans and drag
// insertion points, the placement of a body's children by their anchors,
// the edge-resize width and the panel's stored order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "logic/preferences.h"

namespace corvelle {

// A rectangle (left, top, right, bottom) in pixels; also a set of margins,
// where right and bottom are added to the far edges.
struct Box {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
inline bool operator==(const Box& a, const Box& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const Box& a, const Box& b) { return !(a == b); }

// ---- the stack of regions

// The page of the panel's scroll bar, and the step of line and page scrolls.
constexpr int32_t kScrollPage = 50;
// The expand and collapse animations (the roll) last at most this long,
// whatever the region's height and the machine's speed: their steps follow
// the clock, and a step that would end later is left out.
constexpr double kSlideMilliseconds = 150;
// A header press becomes a drag beyond this squared distance.
constexpr int32_t kDragThresholdSquared = 100;
// An edge resize leaves the field at least this wide: one card.
constexpr int32_t kMinFieldWidth = 79;

// One region as the container's arithmetic sees it.
struct StackRegion {
    int32_t visibleHeight = 0;      // the body's present height (0 collapsed)
    int32_t fullHeight = 0;         // its full height for the present scroll-bar state
    int32_t heightWithoutBar = 0;   // its full height without scroll bar
    bool locked = false;
};

struct StackMetrics {
    Box band;                       // the resize band (see CSetOfPopupRegions)
    Box margins;                    // region margins; top is also the gap between regions
    int32_t headerHeight = 20;
};

// Height of the stacked content. fullHeights counts only regions at their
// full height, with their heights without scroll bar (a region in the middle
// of an animation counts as collapsed); otherwise the visible heights.
int32_t ContentHeight(const StackMetrics& m, const std::vector<StackRegion>& regions, bool fullHeights);
// The scroll range's maximum for the visible content in a client area of
// `clientHeight`; never negative.
int32_t ScrollRangeMax(int32_t visibleContent, int32_t clientHeight);
// Top and bottom of region i in content coordinates (both 0 past the end).
void GetRegionSpan(const StackMetrics& m, const std::vector<StackRegion>& regions, size_t i, int32_t* top,
                int32_t* bottom);
// The scroll position that brings [top, bottom] into a client area of
// `clientHeight` scrolled to `position`; the top wins when both cannot show.
// Returns whether the position changes.
bool EnsureSpanVisible(int32_t top, int32_t bottom, int32_t clientHeight, int32_t* position);
// The position before which a header dragged to y (client coordinates, the
// content scrolled by `scrollPosition`) would be dropped: the first unlocked
// region whose middle line lies below y, else the count.
uint32_t DragInsertionIndex(const StackMetrics& m, const std::vector<StackRegion>& regions, int32_t y,
                            int32_t scrollPosition);
// Top of the insertion marker for `index` in client coordinates.
int32_t InsertionMarkerTop(const StackMetrics& m, const std::vector<StackRegion>& regions, uint32_t index,
                           int32_t scrollPosition);

// The body's height `elapsed` milliseconds into a roll from `from` to `to`
// pixels that lasts `duration`: `from` at the start, `to` from the end on.
uint32_t SlideHeight(uint32_t from, uint32_t to, double elapsed, double duration);

// Moves element `from` to position `to`, the ones between shifting by one
// towards `from`. Indexes past the end change nothing.
template <typename T>
void MoveInOrder(T* items, size_t count, size_t from, size_t to) {
    if (from == to || from >= count || to >= count) return;
    T moved = items[from];
    if (from < to) {
        for (size_t k = from; k < to; ++k) items[k] = items[k + 1];
    } else {
        for (size_t k = from; k > to; --k) items[k] = items[k - 1];
    }
    items[to] = moved;
}

// ---- a body's children

// An anchor of this value takes the body's margin for its edge.
constexpr int32_t kAnchorMargin = -1;
// Layout flags: centre the child between the margins horizontally (1) or
// vertically (4).
constexpr uint8_t kCentreHorizontally = 1;
constexpr uint8_t kCentreVertically = 4;

// Where a child goes at once when its anchors are set, for a body whose
// client area is (0, 0, clientRight, clientBottom).
Box PlaceChild(const Box& anchors, uint8_t flags, const Box& margins, int32_t clientRight, int32_t clientBottom);
// Where LayoutChildren moves a child now at `current` (body coordinates):
// laid out as for the body's full height, bottom-aligned to its visible
// bottom (`hidden` = full height - visible height).
Box LayoutChild(const Box& current, const Box& anchors, uint8_t flags, const Box& margins, int32_t clientRight,
                int32_t clientBottom, int32_t hidden);

// ---- edge resize

// The width an edge drag gives: `width` grown by `delta`, at least
// `minWidth`, at most the parent's client width less `keptWidth` (the room
// the panel leaves beside it; a card's width of field unless the panel says
// otherwise), but never below minWidth.
int32_t ResizedPanelWidth(int32_t width, int32_t delta, int32_t minWidth, int32_t parentWidth,
                          int32_t keptWidth = kMinFieldWidth);

// ---- the regions of the two panels

// The main panel's and the selection panel's region kinds.
constexpr uint32_t kMainPanelIds[kMainPopupCount] = {kRegionAdvertisement, kRegionRules, kRegionBestTimes,
                                                     kRegionStatistics};
constexpr uint32_t kSelectPanelIds[kSelectPopupCount] = {kRegionFilter,  kRegionPreview,   kRegionRules,
                                                         kRegionRelated, kRegionBestTimes, kRegionStatistics};

// The bodies' heights (the same with and without the scroll bar). Rules
// and Related start at these and then take the height of their text or
// their rows; Best Times shows its list's heading and ten rows above the
// Clear button.
constexpr int32_t kHeaderHeight = 20;
constexpr int32_t kAdvertisementBodyHeight = 140;
constexpr int32_t kRulesStartHeight = 200;
constexpr int32_t kBestTimesBodyHeight = 209;
constexpr int32_t kStatisticsBodyHeight = 120;
constexpr int32_t kFilterBodyHeight = 230;
constexpr int32_t kPreviewBodyHeight = 154;
constexpr int32_t kRelatedStartHeight = 100;
// Whether `states` holds each of the panel's ids exactly once.
bool IsPanelOrder(const PopupRegionState* states, size_t count, const uint32_t* ids);
// The stored order when it is one, else the default (all expanded).
std::array<PopupRegionState, kMainPopupCount> ValidMainPopupsState(
    const std::array<PopupRegionState, kMainPopupCount>& states);
// Caption of a region kind; "" for an unknown id.
const char16_t* RegionCaption(uint32_t id);
// Body height of a region kind at creation; 0 for an unknown id.
int32_t RegionBodyHeight(uint32_t id);

}  // namespace corvelle
