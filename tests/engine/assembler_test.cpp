// The rule-program assembler and disassembler.
#include <gtest/gtest.h>

#include "writer/assembler.h"
#include "engine/rules.h"

using namespace corvelle;

namespace {

std::vector<uint8_t> Assemble(std::string_view text) {
    std::vector<uint8_t> out;
    AssemblerError error;
    EXPECT_TRUE(AssembleRuleProgram(text, out, &error)) << error.ToString();
    return out;
}

AssemblerError ErrorOf(std::string_view text) {
    std::vector<uint8_t> out = {9};
    AssemblerError error;
    EXPECT_FALSE(AssembleRuleProgram(text, out, &error)) << text;
    EXPECT_TRUE(out.empty());
    return error;
}

}  // namespace

TEST(RuleAssembler, EveryMnemonic) {
    for (unsigned op = 0; op <= OpSwitchList; ++op) {
        if (op == OpPush)
            continue;
        const char* name = RuleOpcodeName(static_cast<uint8_t>(op));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(Assemble(name), std::vector<uint8_t>{static_cast<uint8_t>(op)}) << name;
    }
    EXPECT_EQ(RuleOpcodeName(30), nullptr);
    EXPECT_EQ(Assemble("PUSH 0, push 255"), (std::vector<uint8_t>{1, 0, 1, 1, 255, 1}));
    EXPECT_EQ(Assemble("SUIT RANK ADD"), (std::vector<uint8_t>{OpSuit, OpRank, OpAdd}));
    EXPECT_EQ(Assemble("BYTE 77 byte 1"), (std::vector<uint8_t>{77, 1}));
}

TEST(RuleAssembler, LayoutAndComments) {
    const char* text =
        "# at most one card\n"
        "  BLOCK ; a comment\n"
        "\tPUSH 1,LOOP\r\n"
        "ENDLOOP ENDBLOCK";
    EXPECT_EQ(Assemble(text), (std::vector<uint8_t>{OpBlock, OpPush, 1, 1, OpLoop, OpEndLoop, OpEndBlock}));
    EXPECT_TRUE(Assemble("").empty());
    EXPECT_TRUE(Assemble("  # nothing\n").empty());
}

TEST(RuleAssembler, ErrorsNameLineAndToken) {
    AssemblerError e = ErrorOf("SUIT\n  SUITE RANK");
    EXPECT_EQ(e.line, 2);
    EXPECT_EQ(e.column, 3);
    EXPECT_EQ(e.token, "SUITE");
    EXPECT_EQ(e.ToString(), "line 2, column 3: unknown mnemonic 'SUITE'");

    e = ErrorOf("PUSH 256");
    EXPECT_EQ(e.token, "256");
    EXPECT_EQ(e.column, 6);
    EXPECT_EQ(ErrorOf("PUSH -1").token, "-1");
    EXPECT_EQ(ErrorOf("PUSH x3").token, "x3");
    e = ErrorOf("RANK PUSH\n3");
    EXPECT_EQ(e.line, 1);
    EXPECT_EQ(e.token, "PUSH");
    EXPECT_EQ(ErrorOf("BYTE").token, "BYTE");
    EXPECT_EQ(ErrorOf("PUSH 1000").token, "1000");
}

TEST(RuleAssembler, DisassemblyRoundTrips) {
    const std::vector<uint8_t> program =
        Assemble("BLOCK PUSH 1 LOOP SUIT IF DROP ELSE PUSH 4 ENDIF NEXTCARD ENDLOOP EXIT ENDBLOCK");
    const std::string text = DisassembleRuleProgram(program.data(), program.size());
    EXPECT_EQ(text,
              "BLOCK\n"
              "  PUSH 1\n"
              "  LOOP\n"
              "    SUIT\n"
              "    IF\n"
              "      DROP\n"
              "    ELSE\n"
              "      PUSH 4\n"
              "    ENDIF\n"
              "    NEXTCARD\n"
              "  ENDLOOP\n"
              "  EXIT\n"
              "ENDBLOCK\n");
    EXPECT_EQ(Assemble(text), program);

    // Any byte string survives the round trip: a PUSH without its trailing 1,
    // a PUSH cut short, unused opcodes, unbalanced structure.
    const std::vector<uint8_t> odd = {OpPush, 5, 7, 30, 255, OpEndIf, OpEndLoop, OpElse, OpPush, 9};
    EXPECT_EQ(Assemble(DisassembleRuleProgram(odd.data(), odd.size())), odd);
    for (unsigned seed = 1; seed < 200; ++seed) {
        std::vector<uint8_t> bytes;
        unsigned state = seed;
        for (unsigned i = 0; i < seed % 40; ++i) {
            state = state * 214013u + 2531011u;
            bytes.push_back(static_cast<uint8_t>((state >> 16) % (seed % 2 ? 32 : 256)));
        }
        EXPECT_EQ(Assemble(DisassembleRuleProgram(bytes.data(), bytes.size())), bytes) << seed;
    }
}
