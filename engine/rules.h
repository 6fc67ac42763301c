// Rule card lists (rules.cpp) and the rule-program interpreter (interpreter.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvelle {

// One entry of a rule card list: a face-up card's suit (1..4) and rank
// (1..13); a face-down card reads suit 6, rank 15. A list ends with {0, 0}.
struct RuleCard {
    uint32_t suit;
    uint32_t rank;
};
using RuleCardList = std::vector<RuleCard>;

constexpr uint32_t kFaceDownSuit = 6;
constexpr uint32_t kFaceDownRank = 15;

enum RuleOpcode : uint8_t {
    OpEnd = 0, OpPush = 1, OpBlock = 2, OpEndBlock = 3, OpLoop = 4, OpEndLoop = 5,
    OpAdd = 6, OpSub = 7, OpMul = 8, OpDiv = 9, OpAbs = 10, OpDup = 11, OpParity = 12,
    OpDrop = 13, OpRollDown = 14, OpRollUp = 15, OpSwap = 16, OpSave2 = 17, OpSaveSeq = 18,
    OpBreak = 19, OpEndIf = 20, OpElse = 21, OpIf = 22, OpNextCard = 23, OpLoad = 24,
    OpRank = 25, OpResetCard = 26, OpExit = 27, OpSuit = 28, OpSwitchList = 29
};

// Runs `program` (`length` bytes; a program of the loaded definition ends in
// an extra END byte) over list A and the optional list B. True when the value
// on top of the stack is 0 at the end. Every malformed case (stack under- or
// overflow, bad register, reading past a list, division by zero, unmatched
// jumps, too many steps) ends the evaluation with false.
bool EvaluateRuleProgram(const RuleCard* listA, const RuleCard* listB, const uint8_t* program,
                         size_t length);

}  // namespace corvelle
