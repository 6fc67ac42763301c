// Helpers shared by ExecuteAction, undo and the player's move: the card range
// of a source mode, a move action built from its fields, and the compact
// record of which cards of a range an attribute change actually changed.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/records.h"

namespace corvelle {

// The positions [lo, hi) of a pile of `count` cards that a source mode
// selects, clipped to the cards that exist (0 .. count - 1). A range that
// reaches below the bottom or above the top simply holds fewer cards; an
// unknown mode selects nothing.
struct CardRange {
    int lo = 0;
    int hi = 0;
    int GetSize() const { return hi > lo ? hi - lo : 0; }
};

inline CardRange SelectRange(uint8_t mode, int16_t position, uint16_t count, int pileCount) {
    const int p = position;
    const int n = count;
    CardRange r;
    switch (mode) {
    case SourceFromPosition: r.lo = p; r.hi = pileCount - n; break;
    case SourceFromTop: r.lo = pileCount - p - n; r.hi = pileCount - p; break;
    case SourceRange: r.lo = p; r.hi = p + n; break;
    default: return r;
    }
    r.lo = std::max(r.lo, 0);
    r.hi = std::min(r.hi, pileCount);
    if (r.hi < r.lo)
        r.hi = r.lo;
    return r;
}

// The insertion point of a destination mode in a pile that holds `count`
// cards once the moving cards have left, clipped to 0 .. count. `rangeStart`
// is where the source range started (the point of an unknown mode).
inline int InsertionPoint(uint8_t mode, uint16_t destPosition, int count, int rangeStart) {
    int ins;
    switch (mode) {
    case DestFromTop: ins = count - destPosition; break;
    case DestAtPosition: ins = destPosition; break;
    default: ins = rangeStart; break;
    }
    // A count below 0 (history that does not fit the position) clips to 0.
    return std::max(0, std::min(ins, count));
}

// A pile shuffle on `seed` exchanges, for i = 0 .. n - 1 in turn, the
// cards at positions i and ShufflePartner(i, seed, n); undo runs the same
// exchanges from n - 1 down.
inline uint32_t ShufflePartner(uint32_t i, uint16_t seed, uint32_t n) { return (i + 1) * seed % n; }

// A move of the cards of pile `from` that `sourceMode` and `sourcePosition`
// select (`count` of them) to pile `to`, inserted as `destMode` and
// `destPosition` say.
inline ActionDef MoveAction(uint16_t from, uint8_t sourceMode, int sourcePosition, int count, uint16_t to,
                            uint8_t destMode, int destPosition) {
    ActionDef a{};
    a.kind = ActionMoveCards;
    a.sourcePile = from;
    a.sourceMode = sourceMode;
    a.sourcePosition = static_cast<int16_t>(sourcePosition);
    a.count = static_cast<uint16_t>(count);
    a.destPile = to;
    a.destMode = destMode;
    a.destPosition = static_cast<uint16_t>(destPosition);
    return a;
}

// Which cards of a range a card attribute change (or which flag of a pile)
// changed, in the 16-bit result that the history keeps for the action.
// Flags hold 0 or 1, so a changed card held the logical opposite of the
// value written; knowing which cards changed is enough to restore each card
// exactly.
//   0            unknown: undo gives every card of the range the opposite
//                value (the only choice when nothing better was recorded)
//   0x8000 | m   ranges of at most 15 cards: bit k of m = the card at
//                lo + k changed
//   (a << 8) | n longer ranges whose changed cards form one run: the n
//                cards (1..255) from lo + a (a 0..127) changed
// A longer range with scattered changes is recorded as unknown here; the
// events record such a change as one history record per run of changed cards.
// The pile flags AcceptsDrops and Enabled record 0x8000 | the previous flag.
constexpr uint16_t kChangeMaskFlag = 0x8000;
constexpr int kChangeMaskBits = 15;

class ChangeRecorder {
public:
    explicit ChangeRecorder(int rangeSize) : size(rangeSize) {}
    void Changed(int offset) {
        if (size <= kChangeMaskBits) {
            mask |= static_cast<uint16_t>(1u << offset);
            return;
        }
        // Long range: track one contiguous run of changed offsets. Cards are
        // visited in card order, not position order, so keep the extent and
        // the number of changes and check contiguity at the end.
        first = std::min(first, offset);
        last = std::max(last, offset);
        ++changes;
    }
    uint16_t Result() const {
        if (size <= kChangeMaskBits)
            return static_cast<uint16_t>(kChangeMaskFlag | mask);
        const int runLength = last - first + 1;
        if (changes == 0 || runLength != changes || first > 127 || runLength > 255)
            return 0;
        return static_cast<uint16_t>((first << 8) | runLength);
    }

private:
    int size;
    uint16_t mask = 0;
    int first = 0x7FFFFFFF;
    int last = -1;
    int changes = 0;
};

}  // namespace corvelle
