// The library check's rules model against the engine: the library's
// refereed games read out as the rules' opening layouts, an illegal step is
// refused with its number, and a game whose rules differ from the model's
// has its failures in the check's list.
#include <gtest/gtest.h>

#include "engine/player_move.h"
#include "tools/gamec/gamec.h"
#include "tools/play/play.h"
#include "tools/play/referee_check.h"

using namespace corvelle;
using namespace corvelle::gamec;

namespace {

const Library& Compiled() {
    static const Library lib = [] {
        Library l;
        std::vector<Diagnostic> diags;
        EXPECT_TRUE(CompileLibrary(CORVELLE_GAMES_DIR, l, diags));
        return l;
    }();
    return lib;
}

const CompiledGame& Game(const std::string& key) {
    for (const CompiledGame& g : Compiled().games)
        if (g.key == key) return g;
    ADD_FAILURE() << "no game " << key;
    return Compiled().games.front();
}

GameEntry Entry(const CompiledGame& g) {
    GameEntry e;
    e.key = g.key;
    e.name = g.def.name;
    e.winFirst = g.winFirst;
    e.winRange = g.winRange;
    e.budget = g.searchBudget;
    e.referee = g.referee;
    e.pileNames = g.pileNames;
    return e;
}

}  // namespace

// Every refereed game of the library: its piles are the rules' piles, and
// its deals are the rules' opening layouts.
TEST(Referee, LibraryGamesDealTheRulesLayouts) {
    int refereed = 0;
    for (const CompiledGame& g : Compiled().games) {
        if (g.referee.empty()) continue;
        ++refereed;
        referee::Rules rules;
        std::string why;
        ASSERT_TRUE(referee::ParseRules(g.referee, rules, why)) << g.key << ": " << why;
        const std::vector<uint8_t> record = SerializeGameRecord(g.def);
        CGameEngine e;
        ASSERT_TRUE(e.LoadGameDefinition(record.data(), record.size()));
        referee::ModelPiles piles;
        ASSERT_EQ(referee::MapPiles(rules, g.pileNames, piles), "") << g.key;
        for (uint32_t n = 1; n <= 3; ++n) {
            ASSERT_TRUE(StartGame(e, n));
            referee::Position p;
            ASSERT_TRUE(ReadPosition(e, piles, p, why)) << g.key << ": " << why;
            EXPECT_EQ(referee::CheckDeal(rules, p), "") << g.key << " " << n;
        }
    }
    EXPECT_GE(refereed, 50);
}

// A line with a step the rules refuse stops there, named; the same line
// without it goes through, and one the rules accept but that is no win is
// not counted one.
TEST(Referee, IllegalStepIsRefused) {
    const CompiledGame& g = Game("yukon");
    const std::vector<uint8_t> record = SerializeGameRecord(g.def);
    referee::ModelPiles piles;
    ASSERT_EQ(referee::MapPiles(referee::Rules::Yukon, g.pileNames, piles), "");
    CGameEngine e;
    ASSERT_TRUE(e.LoadGameDefinition(record.data(), record.size()));
    ASSERT_TRUE(StartGame(e, 1));
    const SearchResult won = SearchForWin(e, g.pileNames, g.searchBudget);
    ASSERT_TRUE(won.won);
    EXPECT_EQ(ReplayInModel(referee::Rules::Yukon, record.data(), record.size(), piles, 1, won.steps), "");
    // The first step from a foundation back to a column: the rules keep
    // foundation cards where they are.
    size_t home = 0;
    while (home < won.steps.size() && !(won.steps[home].to == piles.foundations[0] || won.steps[home].to == piles.foundations[1] ||
                                        won.steps[home].to == piles.foundations[2] || won.steps[home].to == piles.foundations[3]))
        ++home;
    ASSERT_LT(home, won.steps.size());
    std::vector<Step> back(won.steps.begin(), won.steps.begin() + static_cast<long>(home) + 1);
    back.push_back(Step{false, back.back().to, back.back().from, 1});
    const std::string r = ReplayInModel(referee::Rules::Yukon, record.data(), record.size(), piles, 1, back);
    EXPECT_NE(r.find("step " + std::to_string(home + 2)), std::string::npos) << r;
    EXPECT_NE(r.find("refused by the rules: cards on the foundations stay there"), std::string::npos) << r;
    back.pop_back();
    EXPECT_EQ(ReplayInModel(referee::Rules::Yukon, record.data(), record.size(), piles, 1, back),
              "the rules do not count the line a win");
    EXPECT_NE(ReplayInModel(referee::Rules::Fan, record.data(), record.size(), piles, 1, back), "") << "not Fan's deal";
}

// Russian Solitaire builds in suit: played against the Yukon rules, the
// search's win and the model's solutions are each refused, and the check
// lists both.
TEST(Referee, MismatchReachesTheCheckFailures) {
    const CompiledGame& g = Game("russian-solitaire");
    const std::vector<uint8_t> record = SerializeGameRecord(g.def);
    GameEntry entry = Entry(g);
    CheckOptions options;
    options.dealNumbers = 1;
    options.soakSteps = 0;
    options.runSolver = false;
    options.refereeNumbers = 3;
    std::vector<std::string> log;
    EXPECT_TRUE(CheckGame(entry, record.data(), record.size(), options, log).empty()) << "no referee named";
    entry.referee = "yukon";
    const std::vector<std::string> failures = CheckGame(entry, record.data(), record.size(), options, log);
    bool lineRefused = false, solutionRefused = false;
    for (const std::string& f : failures) {
        lineRefused |= f.find("referee, the search's win of number") == 0 && f.find("refused by the rules") != std::string::npos;
        solutionRefused |= f.find("referee, number ") == 0 && f.find("is refused by the game") != std::string::npos;
    }
    EXPECT_TRUE(lineRefused && solutionRefused) << ::testing::PrintToString(failures);
    entry.referee = "spyder";
    EXPECT_EQ(CheckGame(entry, record.data(), record.size(), options, log).back().rfind("referee: no rules named 'spyder'", 0), 0u);
}
