// The side panels' arithmetic; see panel_layout.h.
#include "panels/panel_layout.h"

#include <algorithm>
#include <cmath>

namespace corvelle {

int32_t ContentHeight(const StackMetrics& m, const std::vector<StackRegion>& regions, bool fullHeights) {
    int32_t height = m.band.top;
    if (regions.empty()) return height;
    for (const StackRegion& r : regions) {
        height += m.margins.top + m.headerHeight;
        if (!fullHeights) {
            height += r.visibleHeight;
        } else if (r.visibleHeight == r.fullHeight) {
            height += r.heightWithoutBar;
        }
    }
    return height - (m.margins.bottom + m.band.bottom);
}

int32_t ScrollRangeMax(int32_t visibleContent, int32_t clientHeight) {
    return std::max<int32_t>(0, visibleContent - clientHeight + kScrollPage);
}

void GetRegionSpan(const StackMetrics& m, const std::vector<StackRegion>& regions, size_t i, int32_t* top,
                int32_t* bottom) {
    if (i >= regions.size()) {
        *top = *bottom = 0;
        return;
    }
    int32_t y = m.band.top + m.margins.top;
    for (size_t k = 0; k < i; ++k) y += m.headerHeight + regions[k].visibleHeight + m.margins.top;
    *top = y;
    *bottom = y + m.headerHeight + regions[i].visibleHeight;
}

bool EnsureSpanVisible(int32_t top, int32_t bottom, int32_t clientHeight, int32_t* position) {
    bool moved = false;
    if (bottom > clientHeight + *position) {
        *position = bottom - clientHeight;
        moved = true;
    }
    if (top < *position) {
        *position = top;
        moved = true;
    }
    return moved;
}

uint32_t DragInsertionIndex(const StackMetrics& m, const std::vector<StackRegion>& regions, int32_t y,
                            int32_t scrollPosition) {
    int32_t line = m.margins.top / 2 - scrollPosition;
    for (size_t i = 0; i < regions.size(); ++i) {
        const int32_t next = line + m.headerHeight + regions[i].visibleHeight + m.margins.top;
        if (!regions[i].locked && y < (line + next) / 2) return static_cast<uint32_t>(i);
        line = next;
    }
    return static_cast<uint32_t>(regions.size());
}

int32_t InsertionMarkerTop(const StackMetrics& m, const std::vector<StackRegion>& regions, uint32_t index,
                           int32_t scrollPosition) {
    int32_t top = m.margins.top / 2 - 2 - scrollPosition;
    for (size_t i = 0; i < index && i < regions.size(); ++i)
        top += m.headerHeight + regions[i].visibleHeight + m.margins.top;
    return top;
}

uint32_t SlideHeight(uint32_t from, uint32_t to, double elapsed, double duration) {
    if (!(elapsed > 0)) return from;
    if (!(elapsed < duration)) return to;
    const double height = from + (static_cast<double>(to) - from) * elapsed / duration;
    return static_cast<uint32_t>(std::lround(height));
}

namespace {

// Centres a span of `size` between `low` and `high`.
int32_t Centred(int32_t low, int32_t high, int32_t size) { return low + ((high - low) - size) / 2; }

}  // namespace

Box PlaceChild(const Box& a, uint8_t flags, const Box& margins, int32_t clientRight, int32_t clientBottom) {
    const int32_t innerRight = clientRight + margins.right;
    const int32_t innerBottom = clientBottom + margins.bottom;
    Box r;
    r.left = a.left == kAnchorMargin ? margins.left : a.left;
    r.top = a.top == kAnchorMargin ? margins.top : a.top;
    r.right = a.right == kAnchorMargin ? innerRight : a.right;
    r.bottom = a.bottom == kAnchorMargin ? innerBottom : a.bottom;
    if ((flags & 3) == kCentreHorizontally) {
        r.left = Centred(margins.left, innerRight, a.right - a.left);
        r.right = r.left + (a.right - a.left);
    }
    if (flags / 4 == 1) {
        r.top = Centred(margins.top, innerBottom, a.bottom - a.top);
        r.bottom = r.top + (a.bottom - a.top);
    }
    return r;
}

Box LayoutChild(const Box& current, const Box& a, uint8_t flags, const Box& margins, int32_t clientRight,
                int32_t clientBottom, int32_t hidden) {
    const int32_t innerRight = clientRight + margins.right;
    const int32_t innerBottom = clientBottom + margins.bottom;
    Box c = current;
    c.left = a.left == kAnchorMargin ? margins.left
                                     : std::clamp(c.left, margins.left, std::max(margins.left, a.left));
    int32_t t = c.top + hidden;
    t = a.top == kAnchorMargin ? margins.top : std::clamp(t, margins.top, std::max(margins.top, a.top));
    c.top = t - hidden;
    if (a.right == kAnchorMargin) {
        c.right = innerRight;
    } else {
        const int32_t low = std::min(a.right, innerRight);
        c.right = std::clamp(c.right, low, std::max(low, innerRight));
    }
    c.bottom = a.bottom == kAnchorMargin ? innerBottom : std::min(a.bottom - hidden, innerBottom);
    if ((flags & 3) == kCentreHorizontally) {
        const int32_t x = Centred(margins.left, innerRight, a.right - a.left);
        if (c.left != x) {
            c.left = x;
            c.right = x + (a.right - a.left);
        }
    }
    if (flags / 4 == 1) {
        const int32_t y = Centred(margins.top, innerBottom, a.bottom - a.top);
        if (c.top != y) {
            c.top = y;
            c.bottom = y + (a.bottom - a.top);
        }
    }
    return c;
}

int32_t ResizedPanelWidth(int32_t width, int32_t delta, int32_t minWidth, int32_t parentWidth, int32_t keptWidth) {
    const int32_t wanted = width + delta;
    const int32_t widest = std::max(minWidth, parentWidth - keptWidth);
    if (wanted < minWidth) return minWidth;
    return std::min(wanted, widest);
}

bool IsPanelOrder(const PopupRegionState* states, size_t count, const uint32_t* ids) {
    for (size_t k = 0; k < count; ++k) {
        size_t seen = 0;
        for (size_t i = 0; i < count; ++i) seen += states[i].id == ids[k];
        if (seen != 1) return false;
    }
    return true;
}

std::array<PopupRegionState, kMainPopupCount> ValidMainPopupsState(
    const std::array<PopupRegionState, kMainPopupCount>& states) {
    return IsPanelOrder(states.data(), states.size(), kMainPanelIds) ? states : kDefaultMainPopupsState;
}

const char16_t* RegionCaption(uint32_t id) {
    static const char16_t* const captions[] = {u"Advertisement", u"Rules",   u"Best Times", u"Statistics",
                                               u"Filter",        u"Preview", u"Related"};
    return id < sizeof captions / sizeof captions[0] ? captions[id] : u"";
}

int32_t RegionBodyHeight(uint32_t id) {
    switch (id) {
    case kRegionAdvertisement: return kAdvertisementBodyHeight;
    case kRegionRules: return kRulesStartHeight;
    case kRegionBestTimes: return kBestTimesBodyHeight;
    case kRegionStatistics: return kStatisticsBodyHeight;
    case kRegionFilter: return kFilterBodyHeight;
    case kRegionPreview: return kPreviewBodyHeight;
    case kRegionRelated: return kRelatedStartHeight;
    default: return 0;
    }
}

}  // namespace corvelle
