// The rules model on hand-made positions: what each game's rules let move,
// where, and what the solver makes of small positions.
#include <gtest/gtest.h>

#include "tests/referee/positions.h"
#include "tools/referee/model_solver.h"

using namespace corvelle::referee;

namespace {

// A whole pack in order, dealt into columns of the given sizes; the first
// `down[k]` cards of column k face down.
Position Dealt(const std::vector<size_t>& sizes, const std::vector<size_t>& down = {}) {
    Position p = Make({});
    uint8_t next = 0;
    for (size_t k = 0; k < sizes.size(); ++k) {
        p.columns.emplace_back();
        for (size_t i = 0; i < sizes[k]; ++i, ++next)
            p.columns.back().push_back({static_cast<uint8_t>(next / 13 + 1), static_cast<uint8_t>(next % 13 + 1),
                                        i >= (k < down.size() ? down[k] : 0)});
    }
    return p;
}

}  // namespace

TEST(RulesModel, NamesOfTheRules) {
    Rules r;
    for (const char* name : {"bakers-dozen", "fan", "yukon", "cruel"}) {
        ASSERT_TRUE(RulesNamed(name, r)) << name;
        EXPECT_STREQ(RulesName(r), name);
    }
    for (const char* name : {"", "spyder", "Fan", "yukon "}) EXPECT_FALSE(RulesNamed(name, r)) << name;
}

// Baker's Dozen: one top card at a time onto any card one rank higher; an
// empty column stays empty; foundations up in suit from the Ace.
TEST(RulesModel, BakersDozenMoves) {
    const Position p = Make({"9C 5H", "KS 6C", "", "4D 2H", "AD"});
    EXPECT_EQ(Refusal(Rules::BakersDozen, p, ToColumn(0, 1)), "") << "any suit";
    EXPECT_NE(Refusal(Rules::BakersDozen, p, ToColumn(1, 0)), "") << "one rank higher only";
    EXPECT_NE(Refusal(Rules::BakersDozen, p, ToColumn(0, 2)), "") << "an empty column is never filled";
    EXPECT_NE(Refusal(Rules::BakersDozen, p, ToColumn(0, 1, 2)), "") << "one card at a time";
    EXPECT_EQ(Refusal(Rules::BakersDozen, p, ToFoundation(4, 0)), "");
    EXPECT_NE(Refusal(Rules::BakersDozen, p, ToFoundation(3, 0)), "") << "an empty foundation takes an Ace";
    const Position q = Make({"2D", "2C"}, {"AD", "AS", "", ""});
    EXPECT_EQ(Refusal(Rules::BakersDozen, q, ToFoundation(0, 0)), "");
    EXPECT_NE(Refusal(Rules::BakersDozen, q, ToFoundation(1, 1)), "") << "in suit";
    EXPECT_NE(Refusal(Rules::BakersDozen, q, CardsMove({Role::Foundation, 0}, {Role::Column, 0})), "") << "foundation cards stay";
    EXPECT_NE(Refusal(Rules::BakersDozen, q, ToColumn(0, 0)), "");
    EXPECT_NE(Refusal(Rules::BakersDozen, q, ToColumn(0, 7)), "") << "no such column";
}

// Fan: in suit, one card at a time; only a King fills an empty fan.
TEST(RulesModel, FanMoves) {
    const Position p = Make({"9C 5H", "KS 6H", "", "3D 6C", "QH KD"});
    EXPECT_EQ(Refusal(Rules::Fan, p, ToColumn(0, 1)), "");
    EXPECT_NE(Refusal(Rules::Fan, p, ToColumn(0, 3)), "") << "same suit only";
    EXPECT_NE(Refusal(Rules::Fan, p, ToColumn(0, 2)), "") << "only a King fills an empty fan";
    EXPECT_EQ(Refusal(Rules::Fan, p, ToColumn(4, 2)), "");
    EXPECT_NE(Refusal(Rules::Fan, p, ToColumn(4, 1, 2)), "") << "one card at a time";
}

// Yukon: any face-up card with everything on it, onto a card one rank
// higher of the other colour or (a King) into an empty column; the card it
// uncovers turns up, and taking the move back turns it down again.
TEST(RulesModel, YukonMovesAndTurnsUp) {
    Position p = Make({"qs 9C 5H 2S", "KS 6C", "", "kd 8D TH", "TS"});
    EXPECT_EQ(Refusal(Rules::Yukon, p, ToColumn(0, 1, 2)), "") << "5H on 6C, carrying 2S out of sequence";
    EXPECT_EQ(Refusal(Rules::Yukon, p, ToColumn(0, 3, 3)), "") << "9C on TH";
    EXPECT_NE(Refusal(Rules::Yukon, p, ToColumn(0, 4, 3)), "") << "9C is black, like TS";
    EXPECT_NE(Refusal(Rules::Yukon, p, ToColumn(3, 0, 1)), "") << "TH does not go on a 2";
    EXPECT_NE(Refusal(Rules::Yukon, p, ToColumn(0, 1, 4)), "") << "a face-down card does not move";
    EXPECT_NE(Refusal(Rules::Yukon, p, ToColumn(0, 2, 3)), "") << "only a King fills an empty column";
    EXPECT_EQ(Refusal(Rules::Yukon, p, ToColumn(1, 2, 2)), "") << "a King with its cards";
    EXPECT_NE(Refusal(Rules::Yukon, p, CardsMove({Role::Column, 0}, {Role::Foundation, 0}, 2)), "") << "the foundations take the top card only";
    const Position before = p;
    const Undo u = Apply(Rules::Yukon, p, ToColumn(0, 3, 3));
    ASSERT_EQ(p.columns[0].size(), 1u);
    EXPECT_TRUE(p.columns[0][0].faceUp);
    EXPECT_EQ(p.columns[3].size(), 6u);
    TakeBack(p, u);
    EXPECT_TRUE(p == before);
    // Brisbane: down regardless of suit, and an Ace (with its cards) on a
    // King as well; still no King on an Ace, no Two on an Ace.
    const Rules brisbane = Line("yukon build=any wrap=ace-on-king");
    Position b = Make({"3D AH 7C", "KH", "AS", "2C"});
    EXPECT_EQ(Refusal(brisbane, b, ToColumn(0, 1, 2)), "") << "AH on KH, carrying 7C";
    EXPECT_NE(Refusal(Rules::Yukon, b, ToColumn(0, 1, 2)), "");
    EXPECT_NE(Refusal(brisbane, b, ToColumn(1, 2)), "") << "KH does not go on AS";
    EXPECT_NE(Refusal(brisbane, b, ToColumn(3, 2)), "") << "2C does not go on AS";
    EXPECT_EQ(Refusal(brisbane, b, ToColumn(2, 3)), "") << "AS on 2C";
}

// Cruel: in suit, one card at a time, empty columns stay empty; the redeal
// keeps the cards' order, the first column's from the bottom up, and deals
// them again four to a column.
TEST(RulesModel, CruelMovesAndRedeal) {
    Position p = Make({"2C 3C 4C", "", "5C 6C 7H 8C 9C", "TH", "TC"}, {"AC", "AS", "AD", "AH"});
    EXPECT_NE(Refusal(Rules::Cruel, p, ToColumn(2, 3)), "") << "9C on TH: in suit only";
    EXPECT_EQ(Refusal(Rules::Cruel, p, ToColumn(2, 4)), "");
    EXPECT_NE(Refusal(Rules::Cruel, p, ToColumn(4, 1)), "") << "an empty column is never filled";
    const Move redeal = Click({Role::Stock, 0});
    EXPECT_EQ(Refusal(Rules::Cruel, p, redeal), "");
    EXPECT_NE(Refusal(Rules::Fan, p, redeal), "") << "Fan has no redeal";
    const Position before = p;
    const Undo u = Apply(Rules::Cruel, p, redeal);
    EXPECT_TRUE(p == Make({"2C 3C 4C 5C", "6C 7H 8C 9C", "TH TC", "", ""}, {"AC", "AS", "AD", "AH"})) << PositionText(p);
    // Dealt in fours already: a second redeal changes nothing and is not offered.
    for (const Move& m : LegalMoves(Rules::Cruel, p)) EXPECT_FALSE(m.click);
    EXPECT_NE(Refusal(Rules::Cruel, p, ToFoundation(0, 0)), "") << "5C does not go on the Ace";
    TakeBack(p, u);
    EXPECT_TRUE(p == before) << PositionText(p);
    bool offered = false;
    for (const Move& m : LegalMoves(Rules::Cruel, p)) offered |= m.click;
    EXPECT_TRUE(offered);
    // The opening layout: the Aces home, the other cards in twelve fours.
    Position dealt = Make({}, {"AC", "AS", "AD", "AH"});
    dealt.columns.resize(12);
    for (uint8_t suit = 1, k = 0; suit <= 4; ++suit)
        for (uint8_t rank = 2; rank <= 13; ++rank, ++k) dealt.columns[k / 4u].push_back({suit, rank, true});
    EXPECT_EQ(CheckDeal(Rules::Cruel, dealt), "");
    std::swap(dealt.foundations[2][0], dealt.columns[0][0]);
    EXPECT_NE(CheckDeal(Rules::Cruel, dealt), "") << "a 2 on a foundation";
}

TEST(RulesModel, OpeningLayouts) {
    std::vector<size_t> fan(17, 3);
    fan.push_back(1);
    EXPECT_EQ(CheckDeal(Rules::Fan, Dealt(fan)), "");
    EXPECT_NE(CheckDeal(Rules::Fan, Dealt(std::vector<size_t>(16, 3))), "") << "the wrong count of fans";
    EXPECT_EQ(CheckDeal(Rules::Yukon, Dealt({1, 6, 7, 8, 9, 10, 11}, {0, 1, 2, 3, 4, 5, 6})), "");
    EXPECT_NE(CheckDeal(Rules::Yukon, Dealt({1, 6, 7, 8, 9, 10, 11}, {0, 1, 2, 3, 4, 5, 5})), "") << "a card face up too many";
    // Baker's Dozen: the dealt pack in order puts each King on top of its
    // column; the rules want it at the bottom.
    Position bakers = Dealt(std::vector<size_t>(13, 4));
    EXPECT_NE(CheckDeal(Rules::BakersDozen, bakers), "");
    for (auto& column : bakers.columns) std::stable_partition(column.begin(), column.end(), [](const Card& c) { return c.rank == 13; });
    EXPECT_EQ(CheckDeal(Rules::BakersDozen, bakers), "");
    Position twice = bakers;
    twice.columns[5][2] = twice.columns[6][2];
    EXPECT_NE(CheckDeal(Rules::BakersDozen, twice), "") << "a card twice";
    Position started = bakers;
    started.foundations[0].push_back(started.columns[0].back());
    started.columns[0].pop_back();
    EXPECT_NE(CheckDeal(Rules::BakersDozen, started), "") << "the foundations start empty";
}

// The listed moves leave out those that give the same position again: a
// whole column to an empty one, a second empty column or foundation.
TEST(RulesModel, LegalMovesLeaveOutRepeats) {
    const Position p = Make({"KS", "", "", "AH", "QD KH"});
    const std::vector<Move> moves = LegalMoves(Rules::Fan, p);
    int aces = 0, kings = 0;
    for (const Move& m : moves) {
        EXPECT_EQ(Refusal(Rules::Fan, p, m), "") << MoveText(m);
        aces += m.to.role == Role::Foundation;
        kings += m.from.index == 4 && m.to.role == Role::Column;
        EXPECT_FALSE(m.from.index == 0 && m.to.role == Role::Column) << "a lone King to an empty fan";
    }
    EXPECT_EQ(aces, 1);
    EXPECT_EQ(kings, 1) << "one empty fan offered";
    EXPECT_TRUE(moves.front().to.role == Role::Foundation) << "foundation moves first";
}


TEST(RulesSolver, SolvesAndReplays) {
    // Fan, spades to play: the Ace home, the 3 onto the 4, then the rest.
    const Position p = Make({"QS AS", "2S 3S", "KS", "JS TS 9S 8S 7S 6S 5S 4S"}, {Suit('C'), Suit('D'), Suit('H'), ""});
    const Solution s = Solve(Rules::Fan, p, 10000);
    ASSERT_EQ(s.verdict, Verdict::Solved);
    Position q = p;
    for (const Move& m : s.moves) {
        ASSERT_EQ(Refusal(Rules::Fan, q, m), "") << MoveText(m);
        Apply(Rules::Fan, q, m);
    }
    EXPECT_TRUE(Won(Rules::Fan, q));
    EXPECT_EQ(Solve(Rules::Fan, p, 1).verdict, Verdict::OutOfBudget);
}

// The King over the 2 of clubs: Fan moves it to the empty column and wins;
// Baker's Dozen never fills the column, and every line runs out.
TEST(RulesSolver, EmptyColumnDecidesTheDeal) {
    const Position p = Make({"2C KC", "QC JC TC 9C 8C 7C 6C 5C 4C 3C AC", ""}, {"", Suit('S'), Suit('D'), Suit('H')});
    EXPECT_EQ(Solve(Rules::Fan, p, 10000).verdict, Verdict::Solved);
    const Solution bakers = Solve(Rules::BakersDozen, p, 10000);
    EXPECT_EQ(bakers.verdict, Verdict::NoSolution);
    EXPECT_TRUE(bakers.moves.empty());
}
