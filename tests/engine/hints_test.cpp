// Hint search: order and numbering of moves and clicks, the checks on
// destinations, and that searching changes nothing. Also the programs of the
// model games that the search runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "support/layouts.h"
#include "models/model_games.h"
#include "engine/player_move.h"
#include "support/sample_games.h"

using namespace corvelle;
using corvelle::test::ArrangeLayout;
using corvelle::test::CardList;

namespace {

using Hint = std::pair<int, int>;

std::vector<Hint> AllHints(const CGameEngine& e, bool withClicks) {
    std::vector<Hint> out;
    uint16_t first = 0, second = 0;
    for (uint16_t n = 0; e.FindHint(n, first, second, withClicks); ++n)
        out.emplace_back(first, second);
    return out;
}

// The one-pass list, in the same form as AllHints.
std::vector<Hint> ListedHints(const CGameEngine& e) {
    std::vector<CGameEngine::HintMove> raw;
    e.FindAllHints(raw, false);
    std::vector<Hint> out;
    for (const CGameEngine::HintMove& h : raw) out.emplace_back(h.first, h.second);
    return out;
}

int Card(const CGameEngine& e, char rank, char suit) {
    const unsigned s = SuitOfLetter(suit), r = RankOfLetter(rank);
    for (size_t i = 0; i < e.cards.size(); ++i)
        if (e.cards[i].suit == s && e.cards[i].rank == r)
            return static_cast<int>(i);
    return -1;
}

bool Holds(const char* program, const char* a, const char* b = nullptr) {
    const std::vector<uint8_t> code = test::Program(program);
    const RuleCardList listA = CardList(a);
    const RuleCardList listB = CardList(b ? b : "");
    return EvaluateRuleProgram(listA.data(), b ? listB.data() : nullptr, code.data(), code.size());
}

// The Klondike-like game in a position with a known set of hints.
class KlondikeHints : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::LoadInto(e, model::KlondikeLike()));
        ArrangeLayout(e, {
            {"2c", "3c"},   // 0 stock: a click on it draws
            {"AH"},         // 1 waste
            {}, {}, {},     // 2..4 foundations, empty
            {"AS"},         // 5 foundation
            {"9c", "5S"},   // 6 tableau
            {"6H"},         // 7
            {},             // 8 (empty: kings only)
            {"KD", "QC"},   // 9
            {"2S"},         // 10
            {"JH"},         // 11
            {},             // 12: the other cards, face down
        });
    }
    CGameEngine e;
};

}  // namespace

TEST(ModelGamePrograms, RunsAndDrops) {
    using namespace model::programs;
    EXPECT_TRUE(Holds(kAlternatingRun, "5H 6S 7D"));
    EXPECT_TRUE(Holds(kAlternatingRun, "KC"));
    EXPECT_FALSE(Holds(kAlternatingRun, "5H 6D"));
    EXPECT_FALSE(Holds(kAlternatingRun, "5H 7S"));
    EXPECT_FALSE(Holds(kAlternatingRun, "5H 6s"));
    EXPECT_FALSE(Holds(kAlternatingRun, "5h"));
    EXPECT_TRUE(Holds(kSameSuitRun, "5H 6H 7H"));
    EXPECT_FALSE(Holds(kSameSuitRun, "5H 6D"));
    EXPECT_TRUE(Holds(kKlondikeDrop, "5H 6S", "7D"));
    EXPECT_FALSE(Holds(kKlondikeDrop, "5H 6S", "7C"));
    EXPECT_FALSE(Holds(kKlondikeDrop, "5H 6S", "7d"));
    EXPECT_TRUE(Holds(kKlondikeDrop, "QH KS", ""));
    EXPECT_FALSE(Holds(kKlondikeDrop, "QH", ""));
    EXPECT_TRUE(Holds(kFoundationDrop, "AD", ""));
    EXPECT_TRUE(Holds(kFoundationDrop, "3D", "2D AD"));
    EXPECT_FALSE(Holds(kFoundationDrop, "3D", "2H AH"));
    EXPECT_FALSE(Holds(kFoundationDrop, "2D 3D", "AD"));
    EXPECT_TRUE(Holds(kSpiderDrop, "4C 5C", "6H"));
    EXPECT_TRUE(Holds(kSpiderDrop, "4C", ""));
    EXPECT_FALSE(Holds(kSpiderDrop, "4C", "6H"));
    EXPECT_TRUE(Holds(kCompleteRun, "AS 2S 3S 4S 5S 6S 7S 8S 9S TS JS QS KS 3H"));
    EXPECT_FALSE(Holds(kCompleteRun, "AS 2S 3S 4S 5S 6S 7S 8S 9S TS JS QS"));
    EXPECT_FALSE(Holds(kCompleteRun, "AS 2S 3S 4S 5S 6S 7S 8S 9S TS JS QS KH"));
    EXPECT_FALSE(Holds(kCompleteRun, "2S 3S 4S 5S 6S 7S 8S 9S TS JS QS KS"));
    EXPECT_TRUE(Holds(model::programs::CountIs(2).c_str(), "AS 2s"));
    EXPECT_FALSE(Holds(model::programs::CountIs(2).c_str(), "AS"));
}

TEST_F(KlondikeHints, MovesThenClicks) {
    const int aceS = Card(e, 'A', 'S'), twoS = Card(e, '2', 'S'), fiveS = Card(e, '5', 'S');
    const int aceH = Card(e, 'A', 'H'), jackH = Card(e, 'J', 'H'), kingD = Card(e, 'K', 'D');
    // Pass 1 takes top cards in card order, each with its destinations in
    // pile order; pass 2 the covered cards of fanned piles; the click last.
    const std::vector<Hint> expected = {
        {aceS, 2}, {aceS, 3}, {aceS, 4}, {twoS, 5}, {fiveS, 7},
        {aceH, 2}, {aceH, 3}, {aceH, 4}, {aceH, 10}, {jackH, 9},
        {kingD, 8},
        {0, kNone},
    };
    EXPECT_EQ(AllHints(e, false), expected);
    EXPECT_EQ(ListedHints(e), expected);

    // With clicks first, the click is hint 0 and the moves follow.
    std::vector<Hint> clicksFirst = {{0, kNone}};
    clicksFirst.insert(clicksFirst.end(), expected.begin(), expected.end() - 1);
    EXPECT_EQ(AllHints(e, true), clicksFirst);

    // Every hinted move is one the player may make.
    for (const Hint& h : expected) {
        if (h.second != kNone) {
            EXPECT_EQ(CheckMove(e, static_cast<uint16_t>(h.first), static_cast<uint16_t>(h.second)), MoveRefusal::None);
        }
    }
}

TEST_F(KlondikeHints, BeyondTheLastHintWritesNothing) {
    uint16_t first = 1234, second = 5678;
    EXPECT_FALSE(e.FindHint(12, first, second, false));
    EXPECT_FALSE(e.FindHint(500, first, second, true));
    EXPECT_EQ(first, 1234);
    EXPECT_EQ(second, 5678);
}

TEST_F(KlondikeHints, DestinationChecks) {
    // A destination whose top card is not exposed is passed over.
    const uint16_t sixH = e.TopCard(7);
    e.cardStates[sixH].exposed = 0;
    std::vector<Hint> hints = AllHints(e, false);
    EXPECT_EQ(std::count(hints.begin(), hints.end(), Hint(Card(e, '5', 'S'), 7)), 0);
    e.cardStates[sixH].exposed = 1;

    // A forbidden link removes the moves it covered.
    e.moveLinks = {MoveLink{1, 2}, MoveLink{kAnyPile, 10}};
    hints = AllHints(e, false);
    const std::vector<Hint> linked = {{Card(e, 'A', 'H'), 2}, {Card(e, 'A', 'H'), 10}, {0, kNone}};
    EXPECT_EQ(hints, linked);
}

TEST_F(KlondikeHints, ClickConditions) {
    // A non-empty pile whose top card is not movable offers no click.
    e.cardStates[e.TopCard(0)].movable = 0;
    uint16_t pile = 7, card = 7, count = 0;
    EXPECT_FALSE(e.FindClickHint(0, pile, card, count));
    EXPECT_EQ(count, 0);
    // An empty stock offers the redeal while its counter allows.
    ArrangeLayout(e, {{}, {"AH"}});
    count = 0;
    ASSERT_TRUE(e.FindClickHint(0, pile, card, count));
    EXPECT_EQ(pile, 0);
    EXPECT_EQ(card, kNone);
    e.counters[0].value = 0;
    count = 0;
    EXPECT_FALSE(e.FindClickHint(0, pile, card, count));
    // The running count goes on from where the caller left it.
    e.counters[0].value = 1;
    count = 3;
    EXPECT_FALSE(e.FindClickHint(0, pile, card, count));
    EXPECT_EQ(count, 4);
    EXPECT_TRUE(e.FindClickHint(4, pile, card, count = 4));
}

TEST_F(KlondikeHints, SearchChangesNothing) {
    const std::vector<CardState> cards = e.cardStates;
    const std::vector<PileState> piles = e.pileStates;
    const std::vector<CounterState> counters = e.counters;
    AllHints(e, true);
    AllHints(e, false);
    EXPECT_EQ(std::memcmp(cards.data(), e.cardStates.data(), cards.size() * sizeof(CardState)), 0);
    EXPECT_EQ(std::memcmp(piles.data(), e.pileStates.data(), piles.size() * sizeof(PileState)), 0);
    EXPECT_EQ(std::memcmp(counters.data(), e.counters.data(), counters.size() * sizeof(CounterState)), 0);
    EXPECT_EQ(e.history->GetCount(), 0u);
}

TEST(Hints, EmptyPilesWithoutBaseAreNoDestination) {
    GameDefinitionData g = test::MakeSimpleGame(4);
    g.piles[1].baseKind = BaseNone;
    CGameEngine e;
    ASSERT_TRUE(test::LoadInto(e, g));
    ArrangeLayout(e, {{"AC"}, {}, {}, {}});
    const std::vector<Hint> hints = AllHints(e, false);
    const int ace = Card(e, 'A', 'C');
    EXPECT_EQ(std::count(hints.begin(), hints.end(), Hint(ace, 1)), 0);
    EXPECT_EQ(std::count(hints.begin(), hints.end(), Hint(ace, 2)), 1);
    for (const Hint& h : hints)
        EXPECT_NE(e.cardStates[h.first].pile, h.second);   // never onto its own pile
}

TEST(Hints, APileOutOfPlayGivesNoCardTakesNoneAndIsNotClicked) {
    // The Spider-like game's pile of completed runs is out of play; here its
    // pick-up rule takes anything, and its top card, the ace, would fit on
    // the two of tableau 1 and on the empty tableau 2.
    GameDefinitionData g = model::SpiderLike();
    g.piles[model::kSpiderDone].pickupProgram = static_cast<uint16_t>(g.programs.size());
    g.programs.push_back(model::Code(model::programs::kAlways));
    CGameEngine e;
    ASSERT_TRUE(test::LoadInto(e, g));
    ArrangeLayout(e, {{"5C"},
                      {"KS", "QS", "JS", "TS", "9S", "8S", "7S", "6S", "5S", "4S", "3S", "2S", "AS"},
                      {"9H", "2D"},
                      {}});
    const uint16_t done = model::kSpiderDone, tableau = model::kSpiderTableau;
    const uint16_t ace = e.TopCard(done), two = e.TopCard(tableau);
    ASSERT_EQ(e.pileStates[done].acceptsDrops, 0);
    ASSERT_TRUE(CanPickUp(e, ace));
    std::vector<Hint> hints = AllHints(e, true);
    for (const Hint& h : hints)
        EXPECT_NE(h.second != kNone ? e.cardStates[h.first].pile : h.first, done);
    EXPECT_EQ(ListedHints(e), AllHints(e, false));
    // The other cards still move, and the stock still deals.
    EXPECT_EQ(std::count(hints.begin(), hints.end(), Hint(two, tableau + 1)), 1);
    EXPECT_EQ(std::count(hints.begin(), hints.end(), Hint(0, kNone)), 1);

    // Out of play the tableau takes no card and the stock is no click, as
    // the player's own drop and click are refused there.
    e.pileStates[tableau + 1].acceptsDrops = 0;
    e.pileStates[0].acceptsDrops = 0;
    EXPECT_EQ(CheckMove(e, two, tableau + 1), MoveRefusal::OutOfPlay);
    hints = AllHints(e, true);
    EXPECT_EQ(std::count(hints.begin(), hints.end(), Hint(two, tableau + 1)), 0);
    EXPECT_EQ(std::count(hints.begin(), hints.end(), Hint(0, kNone)), 0);
    for (const Hint& h : hints) {
        if (h.second != kNone) {
            EXPECT_EQ(CheckMove(e, static_cast<uint16_t>(h.first), static_cast<uint16_t>(h.second)), MoveRefusal::None);
        }
    }

    // The pile of completed runs in play offers its ace.
    e.pileStates[done].acceptsDrops = 1;
    hints = AllHints(e, false);
    EXPECT_EQ(std::count(hints.begin(), hints.end(), Hint(ace, tableau)), 1);
}

TEST(Hints, ModelGamesFromTheDeal) {
    for (const GameDefinitionData& g : {model::KlondikeLike(), model::SpiderLike()}) {
        CGameEngine e;
        ASSERT_TRUE(test::LoadInto(e, g)) << g.name;
        ASSERT_TRUE(StartGame(e, 7)) << g.name;
        const std::vector<Hint> hints = AllHints(e, false);
        ASSERT_FALSE(hints.empty()) << g.name;
        EXPECT_EQ(hints.back(), Hint(0, kNone)) << g.name;   // the stock click comes last
        EXPECT_EQ(ListedHints(e), hints) << g.name;
        for (const Hint& h : hints) {
            if (h.second != kNone) {
                EXPECT_EQ(CheckMove(e, static_cast<uint16_t>(h.first), static_cast<uint16_t>(h.second)), MoveRefusal::None);
            }
        }
    }
}

TEST(Hints, OneScanListsWhatFindHintFinds) {
    // Along a played line of each model game, FindAllHints gives exactly the
    // hints FindHint numbers, with clicks first and last.
    for (const GameDefinitionData& g : {model::KlondikeLike(), model::SpiderLike()}) {
        CGameEngine e;
        ASSERT_TRUE(test::LoadInto(e, g)) << g.name;
        ASSERT_TRUE(StartGame(e, 11)) << g.name;
        std::vector<CGameEngine::HintMove> all;
        for (int step = 0; step < 60; ++step) {
            for (const bool withClicks : {false, true}) {
                e.FindAllHints(all, withClicks);
                std::vector<Hint> listed;
                for (const CGameEngine::HintMove& h : all)
                    listed.emplace_back(h.first, h.second);
                ASSERT_EQ(listed, AllHints(e, withClicks)) << g.name << " step " << step;
            }
            if (all.empty())
                break;
            const CGameEngine::HintMove h = all[(step * 7) % all.size()];
            ASSERT_TRUE(h.second == kNone ? PlayClick(e, h.first) : PlayMove(e, h.first, h.second));
        }
    }
}
