// The rule-program interpreter.
//
// A rule program is a small stack machine over 16-bit signed values. Truth is
// zero: a program holds when the value on top of its stack is 0 at its end.
// The interpreter keeps all of its state in fixed arrays on the C++ stack and
// never allocates. Programs come from game data, so every malformed case ends
// the evaluation with false instead of reading or writing out of bounds, and
// a step budget stops programs that would never end.
//
// Where each jump leads is worked out once per program (RuleProgram, below
// the interpreter): the searches that define a jump's target walk the
// bytecode, and doing them on every evaluation cost a third of the time of
// the win search.
#include "engine/interpreter.h"

#include <cstring>
#include <utility>
#include <vector>

#include "engine/game_definition.h"
#include "engine/rules.h"

namespace corvelle {
namespace {

constexpr unsigned kStackRoom = 502;
constexpr unsigned kRegisterRoom = 200;
constexpr unsigned kRegisterCount = 2;
// Work budget of one evaluation, in program bytes: every backward jump
// charges the length of the loop body it repeats and every jump the length
// of the search for its target, once per evaluation (see Target). Straight-line code needs no budget, since the position
// only moves forward between backward jumps. Loops of the game data walk a
// list, at most 105 rounds for two decks; even two nested loops over two
// such lists with a 40-byte body stay below the budget, while a loop that
// never ends is stopped within about a millisecond.
constexpr uint32_t kMaxSteps = 1u << 19;
// A cursor that has moved past its list's terminating pair.
constexpr uint32_t kPastEnd = 0xFFFFFFFFu;
// The jumps already charged in this evaluation, one slot per position
// modulo 32.
constexpr unsigned kJumpSlots = 32;
constexpr uint32_t kEndsProgram = 0xFFFFFFFFu;   // EXIT that meets BLOCK or END
constexpr uint32_t kNoStop = RuleProgram::kNoJumpStop;

class Interpreter {
public:
    Interpreter(const RuleCard* listA, const RuleCard* listB, const RuleProgram& rules)
        : program(rules), code(rules.GetCode().data()), size(rules.GetCode().size()) {
        lists[0] = listA;
        lists[1] = listB;
    }

    bool Run();

private:
    // The stack's depth is passed in: Run keeps it in a local, which the
    // compiler can hold in a register across the stack's stores.
    bool Result(unsigned depth) const { return depth > 0 && stack[depth - 1] == 0; }
    bool Charge(size_t n) {
        steps += static_cast<uint32_t>(n < kMaxSteps ? n : kMaxSteps);
        return steps <= kMaxSteps;
    }
    bool PopRegister(unsigned& depth, unsigned& reg) {
        if (depth == 0)
            return false;
        const int16_t n = stack[--depth];
        if (n < 0 || n >= static_cast<int16_t>(kRegisterCount))
            return false;
        reg = static_cast<unsigned>(n);
        return true;
    }
    // The target of the jump at `at`: the byte its search stops on, or
    // kEndsProgram. False when the search finds no target or the budget
    // runs out.
    inline bool Target(size_t at, uint32_t& target);

    const RuleProgram& program;
    const uint8_t* code;
    size_t size;
    uint32_t steps = 0;

    int16_t stack[kStackRoom];
    int16_t registers[kRegisterCount][kRegisterRoom];
    uint16_t registerLength[kRegisterCount] = {0, 0};
    const RuleCard* lists[2];
    uint32_t cursors[2] = {0, 0};
    unsigned current = 0;
    uint32_t jumpFrom[kJumpSlots];
    uint32_t jumpCharged = 0;
};

inline bool Interpreter::Target(size_t at, uint32_t& target) {
    const uint32_t stop = program.JumpStop(at);
    if (stop == kNoStop)
        return false;
    // A jump's search is charged the first time the jump is taken, and again
    // when another jump at the same position modulo 32 was charged since:
    // the budget counts as it did when each evaluation searched for its
    // targets and remembered them in 32 slots.
    const unsigned slot = at % kJumpSlots;
    if (!((jumpCharged >> slot & 1) && jumpFrom[slot] == at)) {
        if (!Charge(stop > at ? stop - at : at - stop))
            return false;
        jumpCharged |= 1u << slot;
        jumpFrom[slot] = static_cast<uint32_t>(at);
    }
    target = code[at] == OpExit && code[stop] != OpEndBlock ? kEndsProgram : stop;
    return true;
}

// Each instruction's handler ends by jumping straight to the next one's
// (GCC's labels as values): one indirect jump per instruction that the
// processor predicts per handler, where a single switch shares one.
bool Interpreter::Run() {
    static const void* const handlers[] = {
        &&op_end,    &&op_push,   &&op_next,    &&op_next,     &&op_next,   &&op_endloop, &&op_arith,
        &&op_arith,  &&op_arith,  &&op_arith,   &&op_abs,      &&op_dup,    &&op_parity,  &&op_drop,
        &&op_rolldown, &&op_rollup, &&op_swap,  &&op_save2,    &&op_saveseq, &&op_break,  &&op_next,
        &&op_break,  &&op_if,     &&op_nextcard, &&op_load,    &&op_card,   &&op_resetcard, &&op_exit,
        &&op_card,   &&op_switchlist};
    static_assert(sizeof handlers / sizeof handlers[0] == OpSwitchList + 1, "one handler per opcode");
    size_t pc = 0;
    unsigned depth = 0;
    int16_t x;
    unsigned reg;
    uint32_t target;
    uint8_t op;
#define CORVELLE_DISPATCH()                                                       \
    do {                                                                          \
        if (pc >= size)                                                           \
            return false;                                                         \
        op = code[pc];                                                            \
        goto* (op < sizeof handlers / sizeof handlers[0] ? handlers[op] : &&op_next); \
    } while (0)
    CORVELLE_DISPATCH();
op_next:   // BLOCK, ENDBLOCK, LOOP, ENDIF and unused opcodes do nothing

    ++pc;
    CORVELLE_DISPATCH();
op_end:
    return Result(depth);
op_push:
    if (pc + 2 >= size || depth >= kStackRoom)
        return false;
    stack[depth++] = code[pc + 1];
    pc += 3;
    CORVELLE_DISPATCH();
op_arith:
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
    goto op_next;
op_abs:
    if (depth == 0)
        return false;
    x = stack[depth - 1];
    if (x < 0)
        stack[depth - 1] = static_cast<int16_t>(static_cast<uint16_t>(-static_cast<int32_t>(x)));
    goto op_next;
op_dup:
    if (depth == 0 || depth >= kStackRoom)
        return false;
    stack[depth] = stack[depth - 1];
    ++depth;
    goto op_next;
op_parity:
    if (depth == 0)
        return false;
    stack[depth - 1] = static_cast<int16_t>(stack[depth - 1] % 2);
    goto op_next;
op_drop:
    if (depth == 0)
        return false;
    --depth;
    goto op_next;
op_rolldown:
    if (depth == 0)
        return false;
    x = stack[depth - 1];
    std::memmove(stack + 1, stack, (depth - 1) * sizeof stack[0]);
    stack[0] = x;
    goto op_next;
op_rollup:
    if (depth == 0)
        return false;
    x = stack[0];
    std::memmove(stack, stack + 1, (depth - 1) * sizeof stack[0]);
    stack[depth - 1] = x;
    goto op_next;
op_swap:
    if (depth >= 2) {
        x = stack[depth - 1];
        stack[depth - 1] = stack[depth - 2];
        stack[depth - 2] = x;
    }
    goto op_next;
op_save2:
    if (!PopRegister(depth, reg) || depth < 2)
        return false;
    registers[reg][0] = stack[depth - 1];
    registers[reg][1] = stack[depth - 2];
    registerLength[reg] = 2;
    goto op_next;
op_saveseq: {
    if (!PopRegister(depth, reg) || depth == 0)
        return false;
    if (stack[depth - 1] != 0)
        goto op_next;
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
    goto op_next;
}
op_load:
    if (!PopRegister(depth, reg) || depth + registerLength[reg] > kStackRoom)
        return false;
    for (unsigned i = registerLength[reg]; i-- > 0;)
        stack[depth++] = registers[reg][i];
    goto op_next;
op_if:
    if (depth == 0)
        return false;
    if (stack[--depth] == 0)
        goto op_next;   // the then-part follows
    if (!Target(pc, target))
        return false;
    pc = code[target] == OpEnd ? target : target + 1;
    CORVELLE_DISPATCH();
op_break:   // and ELSE
    if (!Target(pc, target))
        return false;
    pc = target + 1;
    CORVELLE_DISPATCH();
op_endloop:
    // Each round of a loop charges its length.
    if (!Target(pc, target) || !Charge(pc - target))
        return false;
    pc = target + 1;
    CORVELLE_DISPATCH();
op_exit:
    if (!Target(pc, target))
        return false;
    if (target == kEndsProgram)
        return Result(depth);
    pc = target + 1;
    CORVELLE_DISPATCH();
op_card: {
    // SUIT and RANK. A list ends at its first entry with suit 0; reading
    // beyond it, or reading a list that is absent, fails.
    const RuleCard* list = lists[current];
    const uint32_t cursor = cursors[current];
    if (!list || cursor == kPastEnd || depth >= kStackRoom)
        return false;
    const uint32_t v = op == OpRank ? list[cursor].rank : list[cursor].suit;
    stack[depth++] = static_cast<int16_t>(static_cast<uint16_t>(v));
    goto op_next;
}
op_nextcard: {
    uint32_t& cursor = cursors[current];
    const RuleCard* list = lists[current];
    if (cursor != kPastEnd)
        cursor = !list || list[cursor].suit == 0 ? kPastEnd : cursor + 1;
    goto op_next;
}
op_resetcard:
    cursors[current] = 0;
    goto op_next;
op_switchlist:
    current ^= 1;
    goto op_next;
#undef CORVELLE_DISPATCH
}

}  // namespace

bool EvaluateRuleProgram(const RuleCard* listA, const RuleCard* listB, const RuleProgram& program) {
    if (program.GetCode().empty())
        return false;
    Interpreter interpreter(listA, listB, program);
    return interpreter.Run();
}

bool EvaluateRuleProgram(const RuleCard* listA, const RuleCard* listB, const uint8_t* program,
                         size_t length) {
    if (!program || length == 0)
        return false;
    return EvaluateRuleProgram(listA, listB, RuleProgram(std::vector<uint8_t>(program, program + length)));
}

// ---------------------------------------------------------------- RuleProgram
//
// The searches that define where a jump at `at` leads; each walks forward
// from at + 1 in instruction steps (a PUSH and its two value bytes are one
// step) or, for ENDLOOP, backward:
//   BREAK    the ENDLOOP that closes the enclosing loop, LOOP ... ENDLOOP
//            pairs nesting;
//   ELSE     the ENDIF that closes the enclosing IF, IF ... ENDIF nesting;
//   IF       (taken when its value is not 0) an ELSE of this IF, its ENDIF,
//            or the first END met at any depth;
//   EXIT     the first ENDBLOCK, BLOCK or END, without nesting (a BLOCK or
//            END ends the program);
//   ENDLOOP  back to its LOOP, ENDLOOP ... LOOP nesting, stepping byte by
//            byte; a byte 1 that is not the first byte is taken as a PUSH's
//            last byte, whose opcode lies two bytes further back.
// A search that runs off either end of the bytecode finds nothing.
//
// Each table below answers one kind of search for every start position at
// once: a search that meets a nested pair continues after the pair's close,
// which the same table already holds for a later position (forward) or an
// earlier one (backward), so every table takes one pass.

RuleProgram::RuleProgram(std::vector<uint8_t> bytecode) : code(std::move(bytecode)), stops(code.size(), kNoStop) {
    const size_t n = code.size();
    const auto next = [&](size_t at) { return at + (code[at] == OpPush ? 3 : 1); };
    const auto entry = [n](const std::vector<uint32_t>& table, size_t at) { return at < n ? table[at] : kNoStop; };
    // Searches that start at `at` (inclusive) with one level open.
    std::vector<uint32_t> loopClose(n), ifClose(n), ifFalse(n), ifInner(n), blockEnd(n);
    const auto closing = [&](std::vector<uint32_t>& table, size_t at, uint8_t open, uint8_t close) -> uint32_t {
        if (code[at] == close)
            return static_cast<uint32_t>(at);
        if (code[at] != open)
            return entry(table, next(at));
        const uint32_t inner = entry(table, next(at));
        return inner == kNoStop ? kNoStop : entry(table, inner + 1u);
    };
    // Within an IF taken as false: a nested IF ends at its ENDIF, or ends
    // the whole search at an END inside it.
    const auto pastNestedIf = [&](std::vector<uint32_t>& table, size_t at) -> uint32_t {
        const uint32_t inner = entry(ifInner, next(at));
        if (inner == kNoStop || code[inner] == OpEnd)
            return inner;
        return entry(table, inner + 1u);
    };
    for (size_t at = n; at-- > 0;) {
        const uint8_t b = code[at];
        loopClose[at] = closing(loopClose, at, OpLoop, OpEndLoop);
        ifClose[at] = closing(ifClose, at, OpIf, OpEndIf);
        ifInner[at] = b == OpEnd || b == OpEndIf ? static_cast<uint32_t>(at)
                      : b == OpIf                ? pastNestedIf(ifInner, at)
                                                 : entry(ifInner, next(at));
        ifFalse[at] = b == OpEnd || b == OpElse || b == OpEndIf ? static_cast<uint32_t>(at)
                      : b == OpIf                               ? pastNestedIf(ifFalse, at)
                                                                : entry(ifFalse, next(at));
        blockEnd[at] = b == OpEndBlock || b == OpBlock || b == OpEnd ? static_cast<uint32_t>(at)
                                                                     : entry(blockEnd, next(at));
    }
    // Backward: the LOOP that closes one open level, searching before `at`.
    std::vector<uint32_t> loopOpen(n, kNoStop);
    for (size_t at = 1; at < n; ++at) {
        size_t before = at - 1;
        if (code[before] == OpPush && before != 0) {
            if (before < 2)
                continue;
            before -= 2;
        }
        if (code[before] == OpLoop) {
            loopOpen[at] = static_cast<uint32_t>(before);
        } else if (code[before] == OpEndLoop) {
            const uint32_t inner = loopOpen[before];
            loopOpen[at] = inner == kNoStop ? kNoStop : loopOpen[inner];
        } else {
            loopOpen[at] = loopOpen[before];
        }
    }
    for (size_t at = 0; at < n; ++at) {
        switch (code[at]) {
        case OpBreak: stops[at] = entry(loopClose, at + 1); break;
        case OpElse: stops[at] = entry(ifClose, at + 1); break;
        case OpIf: stops[at] = entry(ifFalse, at + 1); break;
        case OpExit: stops[at] = entry(blockEnd, at + 1); break;
        case OpEndLoop: stops[at] = loopOpen[at]; break;
        default: break;
        }
    }
}

bool CGameDefinition::EvaluateProgram(uint16_t program, const RuleCardList& listA,
                                      const RuleCardList* listB) const {
    // Each list must end with its terminating pair, so that no cursor can
    // read past the vector.
    const auto terminated = [](const RuleCardList& l) { return !l.empty() && l.back().suit == 0; };
    if (program >= programs.size() || !terminated(listA) || (listB && !terminated(*listB)))
        return false;
    return EvaluateRuleProgram(listA.data(), listB ? listB->data() : nullptr, programs[program]);
}

}  // namespace corvelle
