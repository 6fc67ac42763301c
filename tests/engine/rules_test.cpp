// The rule interpreter: every opcode, the jump scans, the card lists the
// engine builds for it, and the malformed programs it must refuse.
#include <gtest/gtest.h>

#include <string>

#include "engine/game_engine.h"
#include "support/layouts.h"
#include "support/sample_games.h"

using namespace corvelle;
using corvelle::test::ArrangeLayout;
using corvelle::test::CardList;
using corvelle::test::Program;

namespace {

bool Eval(std::string_view text, const RuleCardList& a = CardList(""), const RuleCardList* b = nullptr) {
    const std::vector<uint8_t> code = Program(text);
    return EvaluateRuleProgram(a.data(), b ? b->data() : nullptr, code.data(), code.size());
}

// True when the program leaves exactly `value` on top of its stack.
bool Leaves(std::string text, int value, const RuleCardList& a = CardList(""),
            const RuleCardList* b = nullptr) {
    text += value >= 0 ? " PUSH " + std::to_string(value) + " SUB" : " PUSH " + std::to_string(-value) + " ADD";
    return Eval(text, a, b);
}

// Leaves entry k of the current list on the stack (suit, then rank on top),
// or 0 and 0 past the list's end, with the cursor back at 0.
std::string EntryK(int k) {
    return "BLOCK PUSH " + std::to_string(k) +
           " LOOP SUIT IF DROP PUSH 0 PUSH 0 BREAK ENDIF"
           " DUP IF DROP SUIT RANK BREAK ENDIF"
           " PUSH 1 SUB NEXTCARD ENDLOOP RESETCARD EXIT ENDBLOCK";
}

}  // namespace

TEST(RuleInterpreter, TruthIsZero) {
    EXPECT_TRUE(Eval("PUSH 0"));
    EXPECT_FALSE(Eval("PUSH 1"));
    EXPECT_FALSE(Eval("PUSH 255"));
}

TEST(RuleInterpreter, Arithmetic) {
    EXPECT_TRUE(Leaves("PUSH 5 PUSH 3 ADD", 8));
    EXPECT_TRUE(Leaves("PUSH 5 PUSH 3 SUB", 2));
    EXPECT_TRUE(Leaves("PUSH 3 PUSH 5 SUB", -2));
    EXPECT_TRUE(Leaves("PUSH 6 PUSH 7 MUL", 42));
    EXPECT_TRUE(Leaves("PUSH 0 PUSH 7 SUB PUSH 2 DIV", -3));   // toward zero
    EXPECT_TRUE(Leaves("PUSH 7 PUSH 2 DIV", 3));
    // Results keep their low 16 bits: 40000 + 25600 wraps to 64.
    EXPECT_TRUE(Leaves("PUSH 200 PUSH 200 MUL PUSH 160 PUSH 160 MUL ADD", 64));
    // With fewer than two values the two-value operations change nothing.
    for (const char* op : {"ADD", "SUB", "MUL", "DIV", "SWAP"})
        EXPECT_TRUE(Leaves(std::string("PUSH 4 ") + op, 4)) << op;
}

TEST(RuleInterpreter, SingleValueOperations) {
    EXPECT_TRUE(Leaves("PUSH 0 PUSH 9 SUB ABS", 9));
    EXPECT_TRUE(Leaves("PUSH 9 ABS", 9));
    // -32768 has no positive counterpart and stays.
    const std::string minimum = "PUSH 128 PUSH 128 MUL PUSH 2 MUL";
    EXPECT_TRUE(Eval(minimum + " ABS " + minimum + " SUB"));
    EXPECT_TRUE(Leaves("PUSH 3 DUP ADD", 6));
    EXPECT_TRUE(Leaves("PUSH 7 PARITY", 1));
    EXPECT_TRUE(Leaves("PUSH 6 PARITY", 0));
    EXPECT_TRUE(Leaves("PUSH 0 PUSH 7 SUB PARITY", -1));
    EXPECT_TRUE(Leaves("PUSH 0 PUSH 5 DROP", 0));
}

TEST(RuleInterpreter, StackRotation) {
    // 1 2 3 (3 on top): ROLLDOWN gives 3 1 2, ROLLUP gives 2 3 1.
    EXPECT_TRUE(Leaves("PUSH 1 PUSH 2 PUSH 3 ROLLDOWN", 2));
    EXPECT_TRUE(Leaves("PUSH 1 PUSH 2 PUSH 3 ROLLDOWN DROP DROP", 3));
    EXPECT_TRUE(Leaves("PUSH 1 PUSH 2 PUSH 3 ROLLUP", 1));
    EXPECT_TRUE(Leaves("PUSH 1 PUSH 2 PUSH 3 ROLLUP DROP", 3));
    EXPECT_TRUE(Leaves("PUSH 1 PUSH 2 SWAP", 1));
    EXPECT_TRUE(Leaves("PUSH 1 PUSH 2 SWAP DROP", 2));
    EXPECT_TRUE(Leaves("PUSH 6 ROLLDOWN ROLLUP", 6));
}

TEST(RuleInterpreter, Registers) {
    // SAVE2 keeps both values; LOAD puts them back in their order.
    EXPECT_TRUE(Leaves("PUSH 7 PUSH 9 PUSH 1 SAVE2", 9));
    EXPECT_TRUE(Leaves("PUSH 7 PUSH 9 PUSH 0 SAVE2 DROP DROP PUSH 0 LOAD", 9));
    EXPECT_TRUE(Leaves("PUSH 7 PUSH 9 PUSH 0 SAVE2 DROP DROP PUSH 0 LOAD DROP", 7));
    EXPECT_TRUE(Leaves("PUSH 7 PUSH 9 PUSH 1 SAVE2 PUSH 1 LOAD ADD ADD ADD", 32));
    // SAVESEQ copies from the top 0 down to the next 0, both included.
    const std::string seq = "PUSH 0 PUSH 4 PUSH 5 PUSH 0 PUSH 0 SAVESEQ DROP DROP DROP DROP PUSH 0 LOAD";
    EXPECT_TRUE(Leaves(seq, 0));
    EXPECT_TRUE(Leaves(seq + " DROP", 5));
    EXPECT_TRUE(Leaves(seq + " DROP DROP", 4));
    EXPECT_TRUE(Leaves(seq + " DROP DROP DROP", 0));
    EXPECT_FALSE(Eval(seq + " DROP DROP DROP DROP"));   // exactly four values
    // With a non-zero top SAVESEQ leaves the register as it was.
    EXPECT_TRUE(Leaves("PUSH 3 PUSH 8 PUSH 0 SAVE2 PUSH 0 SAVESEQ DROP DROP PUSH 0 LOAD", 8));
    // An empty register loads nothing.
    EXPECT_TRUE(Leaves("PUSH 6 PUSH 1 LOAD", 6));
}

TEST(RuleInterpreter, CardLists) {
    const RuleCardList a = CardList("5C 7d JH");
    const RuleCardList b = CardList("9H");
    EXPECT_TRUE(Leaves("SUIT", 1, a));
    EXPECT_TRUE(Leaves("RANK", 5, a));
    EXPECT_TRUE(Leaves("NEXTCARD SUIT", 6, a));   // face down
    EXPECT_TRUE(Leaves("NEXTCARD RANK", 15, a));
    EXPECT_TRUE(Leaves("NEXTCARD NEXTCARD RANK", 11, a));
    EXPECT_TRUE(Leaves("NEXTCARD NEXTCARD NEXTCARD SUIT", 0, a));
    EXPECT_TRUE(Leaves("NEXTCARD NEXTCARD NEXTCARD RANK", 0, a));
    EXPECT_TRUE(Leaves("NEXTCARD NEXTCARD RESETCARD RANK", 5, a));
    EXPECT_TRUE(Leaves("SUIT", 0));
    EXPECT_TRUE(Leaves("RANK", 0));
    // Each list keeps its own cursor.
    EXPECT_TRUE(Leaves("SWITCHLIST RANK", 9, a, &b));
    EXPECT_TRUE(Leaves("NEXTCARD SWITCHLIST SWITCHLIST RANK", 15, a, &b));
    EXPECT_TRUE(Leaves("SWITCHLIST NEXTCARD SWITCHLIST RANK SWITCHLIST SUIT ADD", 5, a, &b));
    // SUIT RANK ADD holds exactly for an empty list.
    EXPECT_TRUE(Eval("SUIT RANK ADD"));
    EXPECT_FALSE(Eval("SUIT RANK ADD", CardList("AC")));
    EXPECT_FALSE(Eval("SUIT RANK ADD", CardList("ac")));
}

TEST(RuleInterpreter, IfElse) {
    EXPECT_TRUE(Leaves("PUSH 0 IF PUSH 1 ELSE PUSH 2 ENDIF", 1));
    EXPECT_TRUE(Leaves("PUSH 3 IF PUSH 1 ELSE PUSH 2 ENDIF", 2));
    EXPECT_TRUE(Leaves("PUSH 9 PUSH 3 IF PUSH 1 ENDIF", 9));
    // A skipped then-part steps over nested IF ... ELSE ... ENDIF.
    EXPECT_TRUE(Leaves("PUSH 1 IF PUSH 0 IF PUSH 5 ELSE PUSH 6 ENDIF ELSE PUSH 7 ENDIF", 7));
    EXPECT_TRUE(Leaves("PUSH 8 PUSH 1 IF PUSH 0 IF PUSH 5 ENDIF PUSH 6 ENDIF", 8));
    // The ELSE that ends a then-part skips a nested IF in the else-part.
    EXPECT_TRUE(Leaves("PUSH 0 IF PUSH 1 IF PUSH 5 ELSE PUSH 6 ENDIF ELSE PUSH 7 ENDIF", 6));
    EXPECT_TRUE(Leaves("PUSH 0 IF PUSH 4 ELSE PUSH 1 IF PUSH 5 ENDIF PUSH 6 ENDIF", 4));
    // The skip steps over PUSH values that look like IF (22) or ENDIF (20).
    EXPECT_TRUE(Leaves("PUSH 1 IF PUSH 22 PUSH 20 ELSE PUSH 3 ENDIF", 3));
    // A skip that meets END ends the program there.
    EXPECT_TRUE(Eval("PUSH 0 PUSH 1 IF PUSH 3"));
    EXPECT_FALSE(Eval("PUSH 2 PUSH 1 IF PUSH 0"));
}

TEST(RuleInterpreter, BlocksAndExit) {
    EXPECT_TRUE(Leaves("BLOCK PUSH 3 EXIT PUSH 1 ENDBLOCK PUSH 4 ADD", 7));
    EXPECT_TRUE(Eval("PUSH 0 EXIT PUSH 1"));
    EXPECT_TRUE(Eval("PUSH 0 EXIT BLOCK PUSH 1 ENDBLOCK"));
    EXPECT_FALSE(Eval("PUSH 1 EXIT PUSH 0"));
    // EXIT after an inner block goes to the next ENDBLOCK.
    EXPECT_TRUE(Leaves("BLOCK PUSH 2 BLOCK ENDBLOCK EXIT PUSH 9 ENDBLOCK", 2));
    // A PUSH 3 (the ENDBLOCK byte) is stepped over, not taken as the target.
    EXPECT_TRUE(Eval("PUSH 0 EXIT PUSH 3 PUSH 1"));
}

TEST(RuleInterpreter, Loops) {
    // Three rounds adding 4 each; PUSH 4, 5 and 1 inside the body must not
    // disturb the backward scan, nor PUSH 5 the forward scan of BREAK.
    EXPECT_TRUE(Leaves("PUSH 0 PUSH 3 LOOP DUP IF BREAK ENDIF SWAP PUSH 4 ADD PUSH 5 DROP SWAP "
                       "PUSH 1 SUB ENDLOOP DROP",
                       12));
    EXPECT_TRUE(Leaves("PUSH 0 PUSH 2 LOOP DUP IF BREAK ENDIF "
                       "PUSH 3 LOOP DUP IF BREAK ENDIF ROLLUP PUSH 1 ADD ROLLDOWN PUSH 1 SUB ENDLOOP DROP "
                       "PUSH 1 SUB ENDLOOP DROP",
                       6));
    // A loop over the list, counting its cards.
    const std::string count = "PUSH 0 LOOP SUIT IF BREAK ENDIF PUSH 1 ADD NEXTCARD ENDLOOP";
    EXPECT_TRUE(Leaves(count, 0));
    EXPECT_TRUE(Leaves(count, 4, CardList("AC 2d 3H KS")));
}

TEST(RuleInterpreter, EntryOfList) {
    const RuleCardList cards = CardList("4H 9c QS");
    EXPECT_TRUE(Leaves(EntryK(0), 4, cards));
    EXPECT_TRUE(Leaves(EntryK(0) + " DROP", 4, cards));
    EXPECT_TRUE(Leaves(EntryK(1), 15, cards));
    EXPECT_TRUE(Leaves(EntryK(1) + " DROP", 6, cards));
    EXPECT_TRUE(Leaves(EntryK(2), 12, cards));
    EXPECT_TRUE(Leaves(EntryK(2) + " DROP", 2, cards));
    EXPECT_TRUE(Leaves(EntryK(3), 0, cards));
    EXPECT_TRUE(Leaves(EntryK(3) + " DROP", 0, cards));
    EXPECT_TRUE(Leaves(EntryK(2) + " DROP DROP RANK", 4, cards));   // cursor back at 0

    const std::string atMostOne = EntryK(1) + " ABS SWAP ABS ADD";
    EXPECT_TRUE(Eval(atMostOne));
    EXPECT_TRUE(Eval(atMostOne, CardList("KD")));
    EXPECT_TRUE(Eval(atMostOne, CardList("kd")));
    EXPECT_FALSE(Eval(atMostOne, CardList("KD QC")));
    EXPECT_FALSE(Eval(atMostOne, CardList("kd qc")));
    EXPECT_FALSE(Eval(atMostOne, CardList("KD qc JH")));
}

TEST(RuleInterpreter, RunCheckingProgram) {
    // Each entry's rank is one less than the rank of the entry after it.
    const char* descending =
        "RANK LOOP NEXTCARD SUIT IF DROP PUSH 0 BREAK ENDIF "
        "RANK SWAP SUB PUSH 1 SUB IF ELSE PUSH 1 BREAK ENDIF RANK ENDLOOP";
    EXPECT_TRUE(Eval(descending, CardList("5C 6D 7S")));
    EXPECT_TRUE(Eval(descending, CardList("5C")));
    EXPECT_FALSE(Eval(descending, CardList("5C 7D")));
    EXPECT_FALSE(Eval(descending, CardList("5C 6D 8S")));
}

TEST(RuleInterpreter, MalformedProgramsFail) {
    const RuleCardList one = CardList("AC");
    const char* failing[] = {
        "",                                   // END on an empty stack
        "DROP PUSH 0",                        // pops from an empty stack
        "ABS PUSH 0", "PARITY PUSH 0", "IF PUSH 0 ENDIF", "DUP", "ROLLUP PUSH 0",
        "ROLLDOWN PUSH 0", "LOAD PUSH 0", "PUSH 0 SAVE2",
        "PUSH 5 PUSH 0 DIV DROP PUSH 0",      // division by 0
        "PUSH 1 PUSH 2 PUSH 2 SAVE2 DROP DROP PUSH 0",   // register 2
        "PUSH 0 PUSH 0 PUSH 1 SUB LOAD",      // register -1
        "PUSH 5 PUSH 0 PUSH 0 SAVESEQ DROP DROP PUSH 0", // no 0 below the top 0
        "PUSH 0 LOOP DUP ENDLOOP",            // stack overflow
        "LOOP ENDLOOP PUSH 0",                // never ends
        "PUSH 0 LOOP BREAK",                  // BREAK without ENDLOOP
        "PUSH 0 PUSH 0 IF ELSE",              // ELSE without ENDIF
        "PUSH 0 ENDLOOP",                     // ENDLOOP without LOOP
        "NEXTCARD NEXTCARD SUIT DROP PUSH 0", // reads past the terminating pair
        "SWITCHLIST SUIT DROP PUSH 0",        // list B is absent
    };
    for (const char* text : failing)
        EXPECT_FALSE(Eval(text, one)) << text;

    // SAVESEQ of more than 200 values; LOAD beyond the stack's room.
    const auto repeat = [](const char* text, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += text;
        return out;
    };
    const auto sequence = [&](int values) {   // values between two zeros, then SAVESEQ
        return "PUSH 0" + repeat(" PUSH 7", values - 2) + " PUSH 0 PUSH 0 SAVESEQ";
    };
    EXPECT_TRUE(Eval(sequence(200)));
    EXPECT_FALSE(Eval(sequence(201)));
    const std::string full = repeat(" PUSH 1", 500);
    EXPECT_TRUE(Eval(full + " PUSH 1 PUSH 0"));   // 502 values fit
    EXPECT_FALSE(Eval(full + " PUSH 1 PUSH 1 PUSH 0"));
    EXPECT_FALSE(Eval(full + " PUSH 0 PUSH 0 SAVE2 PUSH 0 LOAD"));

    // Byte-level faults: a PUSH cut short, no END at all, an unused opcode.
    const uint8_t cut[] = {OpPush, 0};
    EXPECT_FALSE(EvaluateRuleProgram(one.data(), nullptr, cut, sizeof cut));
    const uint8_t noEnd[] = {OpPush, 0, 1};
    EXPECT_FALSE(EvaluateRuleProgram(one.data(), nullptr, noEnd, sizeof noEnd));
    const uint8_t unused[] = {OpPush, 0, 1, 30, 200, 255, OpEnd};
    EXPECT_TRUE(EvaluateRuleProgram(one.data(), nullptr, unused, sizeof unused));
    EXPECT_FALSE(EvaluateRuleProgram(one.data(), nullptr, nullptr, 0));
    // A backward scan that runs into the program's start.
    const uint8_t back[] = {OpPush, 0, 1, OpEndLoop, OpEnd};
    EXPECT_FALSE(EvaluateRuleProgram(one.data(), nullptr, back, sizeof back));
}

namespace {

// Where the search for the target of the jump at `at` stops, walked from
// the jump as the interpreter defines it, one program and one jump at a time.
uint32_t SearchedStop(const std::vector<uint8_t>& c, size_t at) {
    constexpr uint32_t kNo = RuleProgram::kNoJumpStop;
    const size_t n = c.size();
    const auto step = [&](size_t p) { return p + (c[p] == OpPush ? 3 : 1); };
    int depth = 1;
    switch (c[at]) {
    case OpBreak:
    case OpElse: {
        const uint8_t open = c[at] == OpBreak ? OpLoop : OpIf;
        const uint8_t close = c[at] == OpBreak ? OpEndLoop : OpEndIf;
        for (size_t p = at + 1; p < n; p = step(p))
            if (c[p] == open)
                ++depth;
            else if (c[p] == close && --depth == 0)
                return static_cast<uint32_t>(p);
        return kNo;
    }
    case OpIf:
        for (size_t p = at + 1; p < n; p = step(p)) {
            if (c[p] == OpEnd || (c[p] == OpElse && depth == 1) || (c[p] == OpEndIf && --depth == 0))
                return static_cast<uint32_t>(p);
            if (c[p] == OpIf)
                ++depth;
        }
        return kNo;
    case OpExit:
        for (size_t p = at + 1; p < n; p = step(p))
            if (c[p] == OpEndBlock || c[p] == OpBlock || c[p] == OpEnd)
                return static_cast<uint32_t>(p);
        return kNo;
    case OpEndLoop:
        for (size_t p = at; p > 0;) {
            --p;
            if (c[p] == OpPush && p != 0) {
                if (p < 2)
                    return kNo;
                p -= 2;
            }
            if (c[p] == OpEndLoop)
                ++depth;
            else if (c[p] == OpLoop && --depth == 0)
                return static_cast<uint32_t>(p);
        }
        return kNo;
    default:
        return kNo;
    }
}

}  // namespace

TEST(RuleProgram, JumpStopsAreWhatTheSearchFromEachJumpFinds) {
    // Nested loops and conditions, a PUSH whose value bytes read as LOOP and
    // ENDLOOP, and jumps with no target at all.
    const std::vector<uint8_t> made = Program(
        "BLOCK LOOP PUSH 4 PUSH 5 IF LOOP BREAK ENDLOOP ELSE IF EXIT ENDIF ENDIF BREAK ENDLOOP EXIT ENDBLOCK"
        " IF ELSE ENDLOOP");
    const RuleProgram program(made);
    ASSERT_EQ(program.GetCode(), made);
    for (size_t at = 0; at < made.size(); ++at)
        EXPECT_EQ(program.JumpStop(at), SearchedStop(made, at)) << at;
    EXPECT_EQ(program.JumpStop(made.size() - 1), RuleProgram::kNoJumpStop);   // ENDLOOP without LOOP

    // Random bytes, mostly the opcodes that jump or nest.
    const uint8_t alphabet[] = {OpPush, OpBlock, OpEndBlock, OpLoop, OpEndLoop, OpBreak, OpEndIf,
                                OpElse, OpIf, OpExit, OpEnd, OpAdd, 1, 4, 5};
    uint32_t state = 7;
    const auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> code(1 + next() % 48);
        for (uint8_t& b : code)
            b = alphabet[next() % sizeof alphabet];
        const RuleProgram random(code);
        for (size_t at = 0; at < code.size(); ++at)
            ASSERT_EQ(random.JumpStop(at), SearchedStop(code, at)) << "round " << round << " at " << at;
    }
}

TEST(RuleProgram, LoadedProgramsCarryTheirJumpStops) {
    GameDefinitionData game = test::MakeSimpleGame(4);
    game.programs.push_back(Program("LOOP SUIT IF BREAK ENDIF NEXTCARD ENDLOOP PUSH 0"));
    game.programs.back().pop_back();   // the loader adds the END
    CGameEngine engine;
    ASSERT_TRUE(test::LoadInto(engine, game));
    const RuleProgram& loaded = engine.programs.back();
    ASSERT_EQ(loaded.GetCode().back(), OpEnd);
    for (size_t at = 0; at < loaded.GetCode().size(); ++at)
        EXPECT_EQ(loaded.JumpStop(at), SearchedStop(loaded.GetCode(), at)) << at;
    EXPECT_EQ(loaded.JumpStop(6), 0u);   // ENDLOOP back to LOOP
    EXPECT_TRUE(engine.EvaluateProgram(static_cast<uint16_t>(engine.programs.size() - 1), CardList("AS 2H"),
                                       nullptr));
}

TEST(RuleCardLists, BuiltFromTheGame) {
    CGameEngine engine;
    ASSERT_TRUE(test::LoadInto(engine, test::MakeSimpleGame(4)));
    ArrangeLayout(engine, {{"kc", "QH", "JS", "TD"}, {}, {"AC"}});
    const uint16_t jack = engine.CardAt(0, 2);
    ASSERT_NE(jack, kNone);

    RuleCardList a, b;
    engine.BuildPileCardList(0, a);
    ASSERT_EQ(a.size(), 5u);
    EXPECT_EQ(a[0].suit, 3u); EXPECT_EQ(a[0].rank, 10u);
    EXPECT_EQ(a[3].suit, kFaceDownSuit); EXPECT_EQ(a[3].rank, kFaceDownRank);
    EXPECT_EQ(a[4].suit, 0u); EXPECT_EQ(a[4].rank, 0u);
    engine.BuildPileCardList(1, a);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].suit, 0u);
    engine.BuildPileCardList(999, a);
    EXPECT_EQ(a.size(), 1u);

    engine.BuildMovingCardList(jack, a);
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0].rank, 10u);   // top card first
    EXPECT_EQ(a[1].rank, 11u);   // the given card last
    EXPECT_EQ(a[2].suit, 0u);

    engine.BuildPickupCardLists(jack, a, b);
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0].rank, 12u);   // nearest below first
    EXPECT_EQ(b[1].suit, kFaceDownSuit);
    EXPECT_EQ(b[2].suit, 0u);

    const uint16_t bottom = engine.CardAt(0, 0);
    engine.BuildPickupCardLists(bottom, a, b);
    EXPECT_EQ(a.size(), 5u);
    EXPECT_EQ(b.size(), 1u);
    engine.BuildPickupCardLists(kNone, a, b);
    EXPECT_EQ(a.size(), 1u);
    EXPECT_EQ(b.size(), 1u);
}

TEST(RuleCardLists, ProgramIndexesAreChecked) {
    CGameEngine engine;
    ASSERT_TRUE(test::LoadInto(engine, test::MakeSimpleGame(2)));
    const RuleCardList empty = CardList("");
    EXPECT_TRUE(engine.EvaluateProgram(1, empty, nullptr));
    EXPECT_FALSE(engine.EvaluateProgram(0, empty, nullptr));
    EXPECT_FALSE(engine.EvaluateProgram(2, empty, nullptr));
    const RuleCardList unterminated = {RuleCard{1, 1}};
    EXPECT_FALSE(engine.EvaluateProgram(1, unterminated, nullptr));
    EXPECT_FALSE(engine.EvaluateProgram(1, empty, &unterminated));
}
