// Fuzz target: the rule interpreter over arbitrary programs and card lists,
// and the disassembler/assembler round trip of the same bytes.
//
// Input: byte 0 = length of list A (mod 24); byte 1 = length of list B (low
// five bits; 24 and above: no list B), bit 7 set: append an END byte; then
// one byte per card (0 face down, else suit and rank from the value); the
// rest is the program.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "writer/assembler.h"
#include "engine/rules.h"

using namespace corvelle;

namespace {

size_t TakeList(const uint8_t*& data, size_t& size, size_t n, std::vector<RuleCard>& out) {
    out.clear();
    for (size_t i = 0; i < n && size > 0; ++i, ++data, --size) {
        const uint8_t b = *data;
        if (b == 0)
            out.push_back(RuleCard{kFaceDownSuit, kFaceDownRank});
        else
            out.push_back(RuleCard{1u + b % 4u, 1u + (b / 4u) % 13u});
    }
    out.push_back(RuleCard{0, 0});
    return out.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const size_t lengthA = data[0] % 24;
    const size_t lengthB = data[1] & 31;
    const bool appendEnd = (data[1] & 0x80) != 0;
    data += 2;
    size -= 2;
    std::vector<RuleCard> a, b;
    TakeList(data, size, lengthA, a);
    const bool hasB = lengthB < 24;
    if (hasB)
        TakeList(data, size, lengthB, b);

    // An exactly sized copy, so that any read past the program is caught.
    std::vector<uint8_t> program(data, data + size);
    if (appendEnd)
        program.push_back(OpEnd);
    const uint8_t* code = program.empty() ? nullptr : program.data();
    const bool first = EvaluateRuleProgram(a.data(), hasB ? b.data() : nullptr, code, program.size());
    const bool again = EvaluateRuleProgram(a.data(), hasB ? b.data() : nullptr, code, program.size());
    if (first != again)
        std::abort();

    std::vector<uint8_t> back;
    if (!AssembleRuleProgram(DisassembleRuleProgram(code, program.size()), back) || back != program)
        std::abort();
    return 0;
}
