#include "field/animation.h"

#include "engine/records.h"

namespace corvelle {

RunImageGeometry MeasureRun(const FieldLayout& layout, uint32_t fan, uint16_t count) {
    RunImageGeometry g;
    g.width = static_cast<int32_t>(layout.cardWidth);
    g.height = static_cast<int32_t>(layout.cardHeight);
    const int32_t stepX = static_cast<int32_t>(layout.fanStepX), stepY = static_cast<int32_t>(layout.fanStepY);
    const int32_t more = count > 1 ? count - 1 : 0;
    switch (fan) {
    case FanNone: g.lastOnly = true; break;
    case FanLeft: g.width += more * stepX; g.firstX = more * stepX; g.dx = -stepX; break;
    case FanRight: g.width += more * stepX; g.dx = stepX; break;
    case FanUp: g.height += more * stepY; g.firstY = more * stepY; g.dy = -stepY; break;
    case FanDown: g.height += more * stepY; g.dy = stepY; break;
    default: break;  // an unknown fan draws the run stacked on one card
    }
    return g;
}

std::array<FramePoint, kAnimationFrames> AnimationFrames(FramePoint start, FramePoint end) {
    std::array<FramePoint, kAnimationFrames> frames;
    int32_t x = start.x * 256, y = start.y * 256;
    const int32_t stepX = ((end.x - start.x) * 256) / 5, stepY = ((end.y - start.y) * 256) / 5;
    for (FramePoint& f : frames) {
        f = {x >> 8, y >> 8};
        x += stepX;
        y += stepY;
    }
    return frames;
}

namespace {

uint16_t TopIndex(const FieldLayout& layout, uint16_t pile) {
    if (pile >= layout.piles.size() || layout.piles[pile].cards.empty()) return kFieldNone;
    return static_cast<uint16_t>(layout.piles[pile].cards.size() - 1);
}

void Flash(std::vector<BlinkStep>& steps, uint16_t pile, uint16_t index) {
    for (int k = 0; k < 4; ++k) steps.push_back(k % 2 == 0 ? BlinkStep{pile, index} : BlinkStep{});
}

}  // namespace

std::vector<BlinkStep> BlinkSequence(const FieldLayout& layout, uint16_t first, uint16_t target) {
    std::vector<BlinkStep> steps;
    if (target == kFieldNone) {
        Flash(steps, first, TopIndex(layout, first));
        return steps;
    }
    uint16_t pile = kFieldNone, index = kFieldNone;
    FindFieldCard(layout, first, &pile, &index);
    Flash(steps, pile, index);
    Flash(steps, target, TopIndex(layout, target));
    return steps;
}

}  // namespace corvelle
