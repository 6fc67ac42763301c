// The rule-program interpreter.
//
// A rule program is a small stack machine over 16-bit signed values. Truth is
// zero: a program holds when the value on top of its stack is 0 at its end.
// The interpreter keeps all of its state in fixed arrays on the C++ stack and
// never allocates. Programs come from game data, so every malformed case ends
// the evaluation with false instead of reading or writing out of bounds, and
// a step budget stops programs that would never end.
#include <cstring>

#include "engine/game_definition.h"
#include "engine/rules.h"

namespace corvelle {
namespace {

constexpr unsigned kStackRoom = 502;
constexpr unsigned kRegisterRoom = 200;
constexpr unsigned kRegisterCount = 2;
// Work budget of one evaluation, in program bytes: every backward jump
// charges the length of the loop body it repeats and every jump scan the
// bytes it walks. Straight-line code needs no budget, since the position
// only moves forward between backward jumps. Loops of the game data walk a
// list, at most 105 rounds for two decks; even two nested loops over two
// such lists with a 40-byte body stay below the budget, while a loop that
// never ends is stopped within about a millisecond.
constexpr uint32_t kMaxSteps = 1u << 19;
// A cursor that has moved past its list's terminating pair.
constexpr uint32_t kPastEnd = 0xFFFFFFFFu;
// Jump targets found by the scans, remembered by the position of the jump
// (the scans depend only on the program), so that a loop scans once.
constexpr unsigned kJumpCacheSize = 32;
constexpr uint32_t kEndsProgram = 0xFFFFFFFFu;   // EXIT that meets BLOCK or END

class Interpreter {
public:
    Interpreter(const RuleCard* listA, const RuleCard* listB, const uint8_t* program, size_t length)
        : code(program), size(length) {
        lists[0] = listA;
        lists[1] = listB;
    }

    bool Run();

private:
    bool Result() const { return depth > 0 && stack[depth - 1] == 0; }
    size_t Width(size_t at) const { return code[at] == OpPush ? 3 : 1; }
    bool Charge(size_t n) {
        steps += static_cast<uint32_t>(n < kMaxSteps ? n : kMaxSteps);
        return steps <= kMaxSteps;
    }
    bool PopRegister(unsigned& reg) {
        if (depth == 0)
            return false;
        const int16_t n = stack[--depth];
        if (n < 0 || n >= static_cast<int16_t>(kRegisterCount))
            return false;
        reg = static_cast<unsigned>(n);
        return true;
    }
    // The target of the jump at `at`: the byte the scan stops on, or
    // kEndsProgram. False when the scan finds no target.
    bool Target(size_t at, uint32_t& target);
    bool Scan(size_t at, uint32_t& target);
    bool ScanForward(size_t at, uint8_t open, uint8_t close, uint32_t& target);
    bool ScanIfFalse(size_t at, uint32_t& target);
    bool ScanExit(size_t at, uint32_t& target);
    bool ScanLoopBack(size_t at, uint32_t& target);

    const uint8_t* code;
    size_t size;
    uint32_t steps = 0;

    int16_t stack[kStackRoom];
    unsigned depth = 0;
    int16_t registers[kRegisterCount][kRegisterRoom];
    uint16_t registerLength[kRegisterCount] = {0, 0};
    const RuleCard* lists[2];
    uint32_t cursors[2] = {0, 0};
    unsigned current = 0;
    uint32_t jumpFrom[kJumpCacheSize];
    uint32_t jumpTo[kJumpCacheSize];
    uint32_t jumpValid = 0;
};

bool Interpreter::Target(size_t at, uint32_t& target) {
    const unsigned slot = at % kJumpCacheSize;
    if ((jumpValid >> slot & 1) && jumpFrom[slot] == at) {
        target = jumpTo[slot];
        return true;
    }
    if (!Scan(at, target))
        return false;
    jumpValid |= 1u << slot;
    jumpFrom[slot] = static_cast<uint32_t>(at);
    jumpTo[slot] = target;
    return true;
}

bool Interpreter::Scan(size_t at, uint32_t& target) {
    switch (code[at]) {
    case OpBreak: return ScanForward(at, OpLoop, OpEndLoop, target);
    case OpElse: return ScanForward(at, OpIf, OpEndIf, target);
    case OpIf: return ScanIfFalse(at, target);
    case OpExit: return ScanExit(at, target);
    case OpEndLoop: return ScanLoopBack(at, target);
    default: return false;
    }
}

// BREAK and ELSE: the matching close byte, with nesting by open and close.
bool Interpreter::ScanForward(size_t at, uint8_t open, uint8_t close, uint32_t& target) {
    unsigned nesting = 1;
    const size_t from = at;
    for (;;) {
        at += Width(at);
        if (at >= size)
            return false;
        if (code[at] == open) {
            ++nesting;
        } else if (code[at] == close && --nesting == 0) {
            target = static_cast<uint32_t>(at);
            return Charge(at - from);
        }
    }
}

// IF with a non-zero value: the ELSE of this IF, its ENDIF, or an END met on
// the way.
bool Interpreter::ScanIfFalse(size_t at, uint32_t& target) {
    unsigned nesting = 1;
    const size_t from = at;
    for (;;) {
        at += Width(at);
        if (at >= size)
            return false;
        const uint8_t b = code[at];
        if (b == OpEnd || (b == OpElse && nesting == 1) || (b == OpEndIf && --nesting == 0)) {
            target = static_cast<uint32_t>(at);
            return Charge(at - from);
        }
        if (b == OpIf)
            ++nesting;
    }
}

// EXIT: no nesting. The next ENDBLOCK; a BLOCK or END first ends the program.
bool Interpreter::ScanExit(size_t at, uint32_t& target) {
    const size_t from = at;
    for (++at; at < size; at += Width(at)) {
        const uint8_t b = code[at];
        if (b == OpEndBlock || b == OpBlock || b == OpEnd) {
            target = b == OpEndBlock ? static_cast<uint32_t>(at) : kEndsProgram;
            return Charge(at - from);
        }
    }
    return false;
}

// ENDLOOP: walk back byte by byte to the matching LOOP. A byte 1 that is not
// the first byte is taken as the trailing byte of a PUSH, whose opcode lies
// two bytes further back, so PUSH values of 4 or 5 are not read as LOOP or
// ENDLOOP.
bool Interpreter::ScanLoopBack(size_t at, uint32_t& target) {
    unsigned nesting = 1;
    const size_t from = at;
    while (at > 0) {
        --at;
        if (code[at] == OpPush && at != 0) {
            if (at < 2)
                return false;
            at -= 2;
        }
        if (code[at] == OpEndLoop) {
            ++nesting;
        } else if (code[at] == OpLoop && --nesting == 0) {
            target = static_cast<uint32_t>(at);
            return Charge(from - at);
        }
    }
    return false;
}

bool Interpreter::Run() {
    size_t pc = 0;
    int16_t x;
    unsigned reg;
    uint32_t target;
    for (;;) {
        if (pc >= size)
            return false;
        const uint8_t op = code[pc];
        switch (op) {
        case OpEnd:
            return Result();
        case OpPush:
            if (pc + 2 >= size || depth >= kStackRoom)
                return false;
            stack[depth++] = code[pc + 1];
            pc += 3;
            continue;
        case OpAdd:
        case OpSub:
        case OpMul:
        case OpDiv:
            if (depth >= 2) {
                const int32_t top = stack[depth - 1];
                const int32_t second = stack[depth - 2];
                int32_t r;
                if (op == OpAdd) {
                    r = second + top;
                } else if (op == OpSub) {
                    r = second - top;
                } else if (op == OpMul) {
                    r = static_cast<int32_t>(static_cast<uint32_t>(second) * static_cast<uint32_t>(top));
                } else {
                    if (top == 0)
                        return false;
                    r = second / top;   // truncates toward zero
                }
                stack[depth - 2] = static_cast<int16_t>(static_cast<uint16_t>(r));
                --depth;
            }
            break;
        case OpAbs:
            if (depth == 0)
                return false;
            x = stack[depth - 1];
            if (x < 0)
                stack[depth - 1] = static_cast<int16_t>(static_cast<uint16_t>(-static_cast<int32_t>(x)));
            break;
        case OpDup:
            if (depth == 0 || depth >= kStackRoom)
                return false;
            stack[depth] = stack[depth - 1];
            ++depth;
            break;
        case OpParity:
            if (depth == 0)
                return false;
            stack[depth - 1] = static_cast<int16_t>(stack[depth - 1] % 2);
            break;
        case OpDrop:
            if (depth == 0)
                return false;
            --depth;
            break;
        case OpRollDown:
            if (depth == 0)
                return false;
            x = stack[depth - 1];
            std::memmove(stack + 1, stack, (depth - 1) * sizeof stack[0]);
            stack[0] = x;
            break;
        case OpRollUp:
            if (depth == 0)
                return false;
            x = stack[0];
            std::memmove(stack, stack + 1, (depth - 1) * sizeof stack[0]);
            stack[depth - 1] = x;
            break;
        case OpSwap:
            if (depth >= 2) {
                x = stack[depth - 1];
                stack[depth - 1] = stack[depth - 2];
                stack[depth - 2] = x;
            }
            break;
        case OpSave2:
            if (!PopRegister(reg) || depth < 2)
                return false;
            registers[reg][0] = stack[depth - 1];
            registers[reg][1] = stack[depth - 2];
            registerLength[reg] = 2;
            break;
        case OpSaveSeq: {
            if (!PopRegister(reg) || depth == 0)
                return false;
            if (stack[depth - 1] != 0)
                break;
            // From the top 0 down to the next 0 below it, both included.
            unsigned n = 1;
            while (n < depth && stack[depth - 1 - n] != 0)
                ++n;
            if (n >= depth || n + 1 > kRegisterRoom)
                return false;
            ++n;
            for (unsigned i = 0; i < n; ++i)
                registers[reg][i] = stack[depth - 1 - i];
            registerLength[reg] = static_cast<uint16_t>(n);
            break;
        }
        case OpLoad:
            if (!PopRegister(reg) || depth + registerLength[reg] > kStackRoom)
                return false;
            for (unsigned i = registerLength[reg]; i-- > 0;)
                stack[depth++] = registers[reg][i];
            break;
        case OpIf:
            if (depth == 0)
                return false;
            if (stack[--depth] == 0)
                break;   // the then-part follows
            if (!Target(pc, target))
                return false;
            pc = code[target] == OpEnd ? target : target + 1;
            continue;
        case OpBreak:
        case OpElse:
            if (!Target(pc, target))
                return false;
            pc = target + 1;
            continue;
        case OpEndLoop:
            // Each round of a loop charges its length.
            if (!Target(pc, target) || !Charge(pc - target))
                return false;
            pc = target + 1;
            continue;
        case OpExit:
            if (!Target(pc, target))
                return false;
            if (target == kEndsProgram)
                return Result();
            pc = target + 1;
            continue;
        case OpSuit:
        case OpRank: {
            // A list ends at its first entry with suit 0; reading beyond it,
            // or reading a list that is absent, fails.
            const RuleCard* list = lists[current];
            const uint32_t cursor = cursors[current];
            if (!list || cursor == kPastEnd || depth >= kStackRoom)
                return false;
            const uint32_t v = op == OpRank ? list[cursor].rank : list[cursor].suit;
            stack[depth++] = static_cast<int16_t>(static_cast<uint16_t>(v));
            break;
        }
        case OpNextCard: {
            uint32_t& cursor = cursors[current];
            const RuleCard* list = lists[current];
            if (cursor != kPastEnd)
                cursor = !list || list[cursor].suit == 0 ? kPastEnd : cursor + 1;
            break;
        }
        case OpResetCard:
            cursors[current] = 0;
            break;
        case OpSwitchList:
            current ^= 1;
            break;
        default:
            break;   // BLOCK, ENDBLOCK, LOOP, ENDIF and unused opcodes do nothing
        }
        ++pc;
    }
}

}  // namespace

bool EvaluateRuleProgram(const RuleCard* listA, const RuleCard* listB, const uint8_t* program,
                         size_t length) {
    if (!program || length == 0)
        return false;
    Interpreter interpreter(listA, listB, program, length);
    return interpreter.Run();
}

bool CGameDefinition::EvaluateProgram(uint16_t program, const RuleCardList& listA,
                                      const RuleCardList* listB) const {
    // Each list must end with its terminating pair, so that no cursor can
    // read past the vector.
    const auto terminated = [](const RuleCardList& l) { return !l.empty() && l.back().suit == 0; };
    if (program >= programs.size() || !terminated(listA) || (listB && !terminated(*listB)))
        return false;
    const std::vector<uint8_t>& code = programs[program];
    return EvaluateRuleProgram(listA.data(), listB ? listB->data() : nullptr, code.data(), code.size());
}

}  // namespace corvelle
