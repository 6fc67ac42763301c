// A small bounded solver over the rules model: best first, with the
// positions already seen (up to the order of interchangeable piles) not
// entered again.
#pragma once

#include <vector>

#include "tools/referee/rules_model.h"

namespace corvelle::referee {

enum class Verdict {
    Solved,        // `moves` wins from the start
    NoSolution,    // every position reachable from the start was seen, none won
    OutOfBudget,   // neither, within the budget
};

struct Solution {
    Verdict verdict = Verdict::OutOfBudget;
    std::vector<Move> moves;
    long positions = 0;   // positions entered
};

// Searches from `start` until a win, until every reachable position has
// been entered, or until `budget` positions have been.
Solution Solve(const Rules& rules, const Position& start, long budget);

}  // namespace corvelle::referee
