// ActionDef records for tests, benchmarks and fuzz targets (no GoogleTest).
#pragma once

#include "engine/action_range.h"
#include "engine/records.h"

namespace corvelle::test {

inline ActionDef Move(uint16_t from, uint8_t sourceMode, int16_t position, uint16_t count, uint16_t to,
                      uint8_t destMode, uint16_t destPosition = 0) {
    return MoveAction(from, sourceMode, position, count, to, destMode, destPosition);
}

inline ActionDef PileAttr(uint16_t pile, uint8_t subKind, uint16_t value) {
    ActionDef a{};
    a.kind = ActionSetPileAttribute;
    a.sourcePile = pile;
    a.subKind = subKind;
    a.value = value;
    return a;
}

inline ActionDef CardAttr(uint16_t pile, uint8_t mode, int16_t position, uint16_t count, uint8_t subKind,
                          uint16_t value) {
    ActionDef a{};
    a.kind = ActionSetCardAttribute;
    a.sourcePile = pile;
    a.sourceMode = mode;
    a.sourcePosition = position;
    a.count = count;
    a.subKind = subKind;
    a.value = value;
    return a;
}

inline ActionDef LinkAction(uint8_t kind, uint16_t source, uint16_t dest) {
    ActionDef a{};
    a.kind = kind;
    a.sourcePile = source;
    a.destPile = dest;
    return a;
}

}  // namespace corvelle::test
