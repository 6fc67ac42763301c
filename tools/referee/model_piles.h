// Which of a game's piles plays which pile of the rules model, found by the
// piles' names: the group named by the rules' `tableau` (tableau1.. by
// default) are the columns, foundation1.. (or one pile named foundation) the
// foundations, the group named by `reserve` (reserve1.., or one pile named
// reserve) the reserve piles, the pile named by `waste` (waste) the waste,
// and the piles named stock and discard those piles.
#pragma once

#include <string>
#include <vector>

#include "tools/referee/rules_model.h"

namespace corvelle::referee {

struct ModelPiles {
    std::vector<int> columns, foundations, reserves;   // the game's pile of each, by its index
    int stock = -1, waste = -1, discard = -1;          // -1: the game has none
    // The model's place of the game's pile `pile`; false when it has none.
    bool PlaceOf(size_t pile, Place& place) const;
    // The game's pile at `place`, -1 when there is none.
    int PileOf(const Place& place) const;
};

// "" with the piles in `out`, or what the game lacks for the rules.
std::string MapPiles(const Rules& rules, const std::vector<std::string>& pileNames, ModelPiles& out);

}  // namespace corvelle::referee
