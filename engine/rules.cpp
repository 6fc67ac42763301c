// Rule card lists and the rule-program interpreter.
//
// A rule program is a small stack machine over 16-bit signed values. Truth is
// zero: a program holds when the value on top of its stack is 0 at its end.
// The interpreter keeps all of its state in fixed arrays on the C++ stack and
// never allocates. Programs come from game data, so every malformed case ends
// the evaluation with false instead of reading or writing out of bounds, and
// a step budget stops programs that would never end.
#include "engine/rules.h"

#include <cstring>

#include "engine/game_engine.h"

namespace corvelle {
namespace {

constexpr unsigned kStackRoom = 502;
constexpr unsigned kRegisterRoom = 200;
constexpr unsigned kRegisterCount = 2;
// Instructions plus bytes walked by the jump scans. The longest legitimate
// programs loop over two lists of at most a few hundred cards; a million is
// far above them and still ends within a few milliseconds.
constexpr uint32_t kMaxSteps = 1u << 20;
// A cursor that has moved past its list's terminating pair.
constexpr uint32_t kPastEnd = 0xFFFFFFFFu;

inline RuleCard EntryOf(const CardDef& def, const CardState& state) {
    if (!state.faceUp)
        return RuleCard{kFaceDownSuit, kFaceDownRank};
    return RuleCard{def.suit, def.rank};
}

class Interpreter {
public:
    Interpreter(const RuleCard* listA, const RuleCard* listB, const uint8_t* program, size_t length)
        : code(program), size(length) {
        lists[0] = listA;
        lists[1] = listB;
    }

    bool Run();

private:
    // Outcome of one instruction: go on with the advance, finish with the
    // result at END, or give up (malformed) with false.
    enum Flow { Next, Finish, Fail };

    Flow Execute(uint8_t op);
    bool Result() const { return depth > 0 && stack[depth - 1] == 0; }

    bool Push(int32_t v) {
        if (depth >= kStackRoom)
            return false;
        stack[depth++] = static_cast<int16_t>(v);
        return true;
    }
    bool Pop(int16_t& v) {
        if (depth == 0)
            return false;
        v = stack[--depth];
        return true;
    }
    bool PopRegister(unsigned& reg) {
        int16_t n;
        if (!Pop(n) || n < 0 || n >= static_cast<int16_t>(kRegisterCount))
            return false;
        reg = static_cast<unsigned>(n);
        return true;
    }
    // The size of the instruction at `at`: PUSH takes three bytes.
    size_t Width(size_t at) const { return code[at] == OpPush ? 3 : 1; }
    bool Spend(size_t n) {
        steps += static_cast<uint32_t>(n);
        return steps <= kMaxSteps;
    }
    bool ScanForward(uint8_t open, uint8_t close);
    Flow ScanIfFalse();
    Flow ScanExit();
    bool ScanLoopBack();
    bool ReadEntry(bool rank);
    void NextCard();

    const uint8_t* code;
    size_t size;
    size_t pc = 0;
    uint32_t steps = 0;

    int16_t stack[kStackRoom];
    uint16_t depth = 0;
    int16_t registers[kRegisterCount][kRegisterRoom];
    uint16_t registerLength[kRegisterCount] = {0, 0};
    const RuleCard* lists[2];
    uint32_t cursors[2] = {0, 0};
    unsigned current = 0;
};

bool Interpreter::Run() {
    for (;;) {
        if (pc >= size || !Spend(1))
            return false;
        const uint8_t op = code[pc];
        if (op == OpEnd)
            return Result();
        switch (Execute(op)) {
        case Next: break;
        case Finish: return Result();
        case Fail: return false;
        }
        // Advance past the instruction that ran or the one a jump stopped on;
        // END stays put so that the next round finishes there.
        if (pc >= size)
            return false;
        if (code[pc] != OpEnd)
            pc += Width(pc);
    }
}

// BREAK and ELSE: find the matching close byte with nesting by open/close.
// Stops on it; the caller's advance then moves past it.
bool Interpreter::ScanForward(uint8_t open, uint8_t close) {
    unsigned nesting = 1;
    size_t at = pc;
    for (;;) {
        at += Width(at);
        if (at >= size || !Spend(1))
            return false;
        if (code[at] == open) {
            ++nesting;
        } else if (code[at] == close && --nesting == 0) {
            pc = at;
            return true;
        }
    }
}

// IF with a non-zero value: skip to the ELSE of this IF or to its ENDIF, or
// stop on an END met on the way.
Interpreter::Flow Interpreter::ScanIfFalse() {
    unsigned nesting = 1;
    size_t at = pc;
    for (;;) {
        at += Width(at);
        if (at >= size || !Spend(1))
            return Fail;
        const uint8_t b = code[at];
        if (b == OpEnd || (b == OpElse && nesting == 1) || (b == OpEndIf && --nesting == 0)) {
            pc = at;
            return Next;
        }
        if (b == OpIf)
            ++nesting;
    }
}

// EXIT: no nesting. The next ENDBLOCK is the target; a BLOCK or END first
// ends the program.
Interpreter::Flow Interpreter::ScanExit() {
    size_t at = pc + 1;
    for (;;) {
        if (at >= size || !Spend(1))
            return Fail;
        const uint8_t b = code[at];
        if (b == OpEndBlock) {
            pc = at;
            return Next;
        }
        if (b == OpBlock || b == OpEnd)
            return Finish;
        at += Width(at);
    }
}

// ENDLOOP: walk back byte by byte to the matching LOOP. A byte 1 that is not
// the first byte is taken as the trailing byte of a PUSH, whose opcode lies
// two bytes further back, so PUSH values of 4 or 5 are not read as LOOP or
// ENDLOOP.
bool Interpreter::ScanLoopBack() {
    unsigned nesting = 1;
    size_t at = pc;
    for (;;) {
        if (at == 0 || !Spend(1))
            return false;
        --at;
        if (code[at] == OpPush && at != 0) {
            if (at < 2)
                return false;
            at -= 2;
        }
        if (code[at] == OpEndLoop) {
            ++nesting;
        } else if (code[at] == OpLoop && --nesting == 0) {
            pc = at;
            return true;
        }
    }
}

// SUIT or RANK of the current list's entry. A list ends at its first entry
// with suit 0; reading beyond it, or reading a list that is absent, fails.
bool Interpreter::ReadEntry(bool rank) {
    const RuleCard* list = lists[current];
    const uint32_t cursor = cursors[current];
    if (!list || cursor == kPastEnd)
        return false;
    const RuleCard& e = list[cursor];
    return Push(static_cast<int16_t>(static_cast<uint16_t>(rank ? e.rank : e.suit)));
}

void Interpreter::NextCard() {
    uint32_t& cursor = cursors[current];
    const RuleCard* list = lists[current];
    if (cursor == kPastEnd)
        return;
    if (!list || list[cursor].suit == 0)
        cursor = kPastEnd;
    else
        ++cursor;
}

Interpreter::Flow Interpreter::Execute(uint8_t op) {
    int16_t x;
    unsigned reg;
    switch (op) {
    case OpPush:
        if (pc + 2 >= size)
            return Fail;
        return Push(code[pc + 1]) ? Next : Fail;
    case OpBlock:
    case OpEndBlock:
    case OpLoop:
    case OpEndIf:
        return Next;
    case OpEndLoop:
        return ScanLoopBack() ? Next : Fail;
    case OpAdd:
    case OpSub:
    case OpMul:
    case OpDiv: {
        if (depth < 2)
            return Next;
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
                return Fail;
            r = second / top;   // truncates toward zero
        }
        stack[depth - 2] = static_cast<int16_t>(static_cast<uint16_t>(r));
        --depth;
        return Next;
    }
    case OpAbs:
        if (!Pop(x))
            return Fail;
        return Push(x < 0 ? -static_cast<int32_t>(x) : x) ? Next : Fail;
    case OpDup:
        if (depth == 0)
            return Fail;
        return Push(stack[depth - 1]) ? Next : Fail;
    case OpParity:
        if (!Pop(x))
            return Fail;
        return Push(x % 2) ? Next : Fail;
    case OpDrop:
        return Pop(x) ? Next : Fail;
    case OpRollDown:
        if (depth == 0)
            return Fail;
        x = stack[depth - 1];
        std::memmove(stack + 1, stack, (depth - 1) * sizeof stack[0]);
        stack[0] = x;
        return Next;
    case OpRollUp:
        if (depth == 0)
            return Fail;
        x = stack[0];
        std::memmove(stack, stack + 1, (depth - 1) * sizeof stack[0]);
        stack[depth - 1] = x;
        return Next;
    case OpSwap:
        if (depth >= 2) {
            x = stack[depth - 1];
            stack[depth - 1] = stack[depth - 2];
            stack[depth - 2] = x;
        }
        return Next;
    case OpSave2:
        if (!PopRegister(reg) || depth < 2)
            return Fail;
        registers[reg][0] = stack[depth - 1];
        registers[reg][1] = stack[depth - 2];
        registerLength[reg] = 2;
        return Next;
    case OpSaveSeq: {
        if (!PopRegister(reg) || depth == 0)
            return Fail;
        if (stack[depth - 1] != 0)
            return Next;
        // From the top 0 down to the next 0 below it, both included.
        unsigned n = 1;
        while (n < depth && stack[depth - 1 - n] != 0)
            ++n;
        if (n >= depth || n + 1 > kRegisterRoom)
            return Fail;
        ++n;
        for (unsigned i = 0; i < n; ++i)
            registers[reg][i] = stack[depth - 1 - i];
        registerLength[reg] = static_cast<uint16_t>(n);
        return Next;
    }
    case OpBreak:
        return ScanForward(OpLoop, OpEndLoop) ? Next : Fail;
    case OpElse:
        return ScanForward(OpIf, OpEndIf) ? Next : Fail;
    case OpIf:
        if (!Pop(x))
            return Fail;
        return x == 0 ? Next : ScanIfFalse();
    case OpNextCard:
        NextCard();
        return Next;
    case OpLoad:
        if (!PopRegister(reg) || depth + registerLength[reg] > kStackRoom)
            return Fail;
        for (unsigned i = registerLength[reg]; i-- > 0;)
            stack[depth++] = registers[reg][i];
        return Next;
    case OpRank:
        return ReadEntry(true) ? Next : Fail;
    case OpResetCard:
        cursors[current] = 0;
        return Next;
    case OpExit:
        return ScanExit();
    case OpSuit:
        return ReadEntry(false) ? Next : Fail;
    case OpSwitchList:
        current ^= 1;
        return Next;
    default:
        return Next;   // unused opcodes do nothing
    }
}

// Lists: position p of a pile of `count` cards goes to entry count - 1 - p.
void FillTerminated(RuleCardList& out, size_t entries) {
    // Gaps (only possible in a corrupt state) read as face-down cards.
    out.assign(entries + 1, RuleCard{kFaceDownSuit, kFaceDownRank});
    out[entries] = RuleCard{0, 0};
}

}  // namespace

bool EvaluateRuleProgram(const RuleCard* listA, const RuleCard* listB, const uint8_t* program,
                         size_t length) {
    if (!program || length == 0)
        return false;
    Interpreter interpreter(listA, listB, program, length);
    return interpreter.Run();
}

void CGameEngine::BuildPileCardList(uint16_t pile, RuleCardList& out) const {
    const int count = pile < pileStates.size() ? pileStates[pile].count : 0;
    FillTerminated(out, count);
    for (size_t i = 0; i < cardStates.size() && i < cards.size(); ++i) {
        const CardState& s = cardStates[i];
        if (s.pile == pile && s.position >= 0 && s.position < count)
            out[count - 1 - s.position] = EntryOf(cards[i], s);
    }
}

void CGameEngine::BuildMovingCardList(uint16_t card, RuleCardList& out) const {
    if (card >= cardStates.size() || cardStates[card].pile >= pileStates.size()) {
        FillTerminated(out, 0);
        return;
    }
    const uint16_t pile = cardStates[card].pile;
    const int count = pileStates[pile].count;
    const int from = cardStates[card].position;
    if (from < 0 || from >= count) {
        FillTerminated(out, 0);
        return;
    }
    FillTerminated(out, count - from);
    for (size_t i = 0; i < cardStates.size() && i < cards.size(); ++i) {
        const CardState& s = cardStates[i];
        if (s.pile == pile && s.position >= from && s.position < count)
            out[count - 1 - s.position] = EntryOf(cards[i], s);
    }
}

void CGameEngine::BuildPickupCardLists(uint16_t card, RuleCardList& listA, RuleCardList& listB) const {
    BuildMovingCardList(card, listA);
    if (listA.size() == 1) {
        FillTerminated(listB, 0);
        return;
    }
    const uint16_t pile = cardStates[card].pile;
    const int below = cardStates[card].position;
    FillTerminated(listB, below);
    for (size_t i = 0; i < cardStates.size() && i < cards.size(); ++i) {
        const CardState& s = cardStates[i];
        if (s.pile == pile && s.position >= 0 && s.position < below)
            listB[below - 1 - s.position] = EntryOf(cards[i], s);
    }
}

bool CGameEngine::EvaluateProgram(uint16_t program, const RuleCardList& listA,
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
