// Answers of the pick-up and drop rules kept from one hint scan to the next,
// for a caller that scans many positions of one game (the win search, the
// library checks). A rule program reads nothing but its two card lists, and
// in a hint scan those are cut from the lists of the one or two piles
// involved: an answer stands as long as those piles hold the same cards and
// the program asked is the same. From one position to the next only the
// piles a move touched change, so most answers are found here instead of
// being worked out again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/rules.h"

namespace corvelle {

class HintMemo {
public:
    // Forgets everything; needed when the engine loads another game.
    void Clear();

    // At the start of a scan: the game has `pileCount` piles, and then for
    // each, pile `pile` holds the rule list `list` (top card first, `count`
    // cards and the terminating pair).
    void BeginScan(size_t pileCount);
    void SeePile(uint16_t pile, const RuleCard* list, uint16_t count);

    // The remembered answer (0 or 1) for the card at `position` of `pile`,
    // or -1 when there is none for the pile's present cards.
    int Pickup(uint16_t pile, uint16_t position, uint16_t program) const;
    void SetPickup(uint16_t pile, uint16_t position, uint16_t program, bool answer);
    int Drop(uint16_t pile, uint16_t position, uint16_t dest, uint16_t program) const;
    void SetDrop(uint16_t pile, uint16_t position, uint16_t dest, uint16_t program, bool answer);

private:
    // The last few distinct contents of a pile, each with the number that
    // stands for it: a search that goes back and forth between positions
    // finds the contents it saw again under the same number.
    static constexpr size_t kRecent = 4;
    struct Seen {
        std::vector<RuleCard> list;
        uint32_t version = 0;
    };
    struct PileMemo {
        Seen recent[kRecent];
        size_t oldest = 0;
        uint32_t version = 0;   // of the present contents
    };
    struct Answer {
        uint32_t from = 0, to = 0;   // versions of the piles read; 0: none
        uint16_t program = 0;
        uint8_t answer = 0;
    };
    // Two answers per question, for two contents of the piles: a search
    // going back and forth between two positions keeps both. A new answer
    // replaces the one written earlier.
    struct Slot {
        Answer ways[2];
        uint8_t newer = 0;
        int Find(uint32_t from, uint32_t to, uint16_t program) const;
        void Put(const Answer& a);
    };

    std::vector<PileMemo> piles;
    std::vector<std::vector<Slot>> pickups;   // [pile][position]
    std::vector<std::vector<Slot>> drops;     // [pile][position * piles + dest]
    uint32_t nextVersion = 1;
};

}  // namespace corvelle
