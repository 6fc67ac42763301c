// The arithmetic of moving cards on the field: the image a run of cards is
// drawn into, the positions of a move's animation frames, and the steps of
// the hint blink. Plain data; the field draws what these describe.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "field/field_model.h"

namespace corvelle {

// The image of a run of `count` cards of a pile fanned by `fan`: its size,
// where the run's first card lies in it and the step to the next card. The
// full fan steps are used, also for a pile drawn with smaller steps. For a
// pile that is not fanned the image is one card: only the run's last card.
struct RunImageGeometry {
    int32_t width = 0;
    int32_t height = 0;
    int32_t firstX = 0;
    int32_t firstY = 0;
    int32_t dx = 0;
    int32_t dy = 0;
    bool lastOnly = false;
};
RunImageGeometry MeasureRun(const FieldLayout& layout, uint32_t fan, uint16_t count);

struct FramePoint {
    int32_t x = 0;
    int32_t y = 0;
};
constexpr int kAnimationFrames = 4;
// The top-left corners of a move's frames from start towards end: 0, 1/5,
// 2/5 and 3/5 of the way in 8.8 fixed point; the end itself is not a frame.
std::array<FramePoint, kAnimationFrames> AnimationFrames(FramePoint start, FramePoint end);

// One step of the hint blink: the highlight (pile, index) to show, kFieldNone
// for none, followed by a pause.
struct BlinkStep {
    uint16_t pile = kFieldNone;
    uint16_t index = kFieldNone;
};
constexpr uint32_t kBlinkStepMs = 200;
// target kFieldNone: `first` is a pile to click, flashed twice (four steps,
// on and off). Otherwise `first` is a card number: the card flashes twice,
// then the target pile twice (eight steps). A card the field does not hold
// shows nothing in its steps. An empty pile flashes its base.
std::vector<BlinkStep> BlinkSequence(const FieldLayout& layout, uint16_t first, uint16_t target);

}  // namespace corvelle
