// The rule-program interpreter (interpreter.cpp): the cards a program
// reads, its opcodes, a program with its jumps worked out, and evaluation.
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

constexpr uint32_t kFaceDownSuit = 6;
constexpr uint32_t kFaceDownRank = 15;

enum RuleOpcode : uint8_t {
    OpEnd = 0, OpPush = 1, OpBlock = 2, OpEndBlock = 3, OpLoop = 4, OpEndLoop = 5,
    OpAdd = 6, OpSub = 7, OpMul = 8, OpDiv = 9, OpAbs = 10, OpDup = 11, OpParity = 12,
    OpDrop = 13, OpRollDown = 14, OpRollUp = 15, OpSwap = 16, OpSave2 = 17, OpSaveSeq = 18,
    OpBreak = 19, OpEndIf = 20, OpElse = 21, OpIf = 22, OpNextCard = 23, OpLoad = 24,
    OpRank = 25, OpResetCard = 26, OpExit = 27, OpSuit = 28, OpSwitchList = 29
};

// A rule program together with where each of its jumps leads, worked out
// once when the program is made (a game's programs when the game loads), so
// that evaluating it never searches for a jump's target.
class RuleProgram {
public:
    RuleProgram() = default;
    // Takes the bytes as they are; a program of a loaded definition already
    // ends in its added END byte.
    explicit RuleProgram(std::vector<uint8_t> bytecode);

    const std::vector<uint8_t>& GetCode() const { return code; }
    // For a jump opcode at `at` (BREAK, ELSE, IF, EXIT, ENDLOOP): the byte
    // where the search for its target stops, or kNoJumpStop when that
    // search finds none; kNoJumpStop for every other byte.
    uint32_t JumpStop(size_t at) const { return stops[at]; }

    static constexpr uint32_t kNoJumpStop = 0xFFFFFFFFu;

private:
    std::vector<uint8_t> code;
    std::vector<uint32_t> stops;
};

// Runs `program` over list A and the optional list B. True when the value on
// top of the stack is 0 at the end. Every malformed case (stack under- or
// overflow, bad register, reading past a list, division by zero, unmatched
// jumps, too many steps) ends the evaluation with false.
bool EvaluateRuleProgram(const RuleCard* listA, const RuleCard* listB, const RuleProgram& program);
// The same for `length` bytes of bytecode that have no RuleProgram yet (it
// is made for this one evaluation).
bool EvaluateRuleProgram(const RuleCard* listA, const RuleCard* listB, const uint8_t* program,
                         size_t length);

}  // namespace corvelle
