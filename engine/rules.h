// Rule card lists (rules.cpp: built by CGameEngine's BuildPileCardList,
// BuildMovingCardList and BuildPickupCardLists) and, through
// interpreter.h, the rule programs that read them.
#pragma once

#include <vector>

#include "engine/interpreter.h"

namespace corvelle {

// A rule card list: the cards a rule program reads, ended by {0, 0}.
using RuleCardList = std::vector<RuleCard>;

}  // namespace corvelle
