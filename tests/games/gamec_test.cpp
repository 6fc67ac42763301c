// The game compiler: its diagnostics, the layout compensation, and every
// building block run against its own tests.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "engine/game_engine.h"
#include "engine/hint_memo.h"
#include "engine/player_move.h"
#include "engine/rules.h"
#include "tools/gamec/gamec.h"
#include "engine/game_state_util.h"
#include "support/layouts.h"
#include "tools/play/play.h"
#include "writer/assembler.h"
#include "writer/database_packer.h"

using namespace corvelle;
using namespace corvelle::gamec;

namespace {

// A scratch library: the real blocks plus the given files.
class ScratchLibrary {
public:
    explicit ScratchLibrary(const std::map<std::string, std::string>& files) {
        dir = std::filesystem::temp_directory_path() /
              ("gamec-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::filesystem::copy(std::string(CORVELLE_GAMES_DIR) + "/blocks", dir / "blocks");
        for (const auto& [name, text] : files) std::ofstream(dir / name) << text;
    }
    ~ScratchLibrary() { std::filesystem::remove_all(dir); }
    bool Compile(Library& lib, std::vector<Diagnostic>& diags) { return CompileLibrary(dir.string(), lib, diags); }
    std::filesystem::path dir;
};

const char* const kRules =
    "rules\n<b>Object</b>\nMove every card to the foundation, which is built up in suit from the Ace.\n"
    "<b>Play</b>\nThe top card of the pile may be played to the foundation when it fits, and a click on the\n"
    "stock turns its top card over onto the pile. This text only has to be long enough for the compiler.\nend\n";

std::string SmallGame(const std::string& extra) {
    return std::string("game \"Small\"\nid 1\ncategory other\ndifficulty easy\ntime <3m\ndeck 1 suits S\n"
                       "pile stock at 5 5 deal rest down click turn pick never\n"
                       "pile pile at 25 5\n"
                       "pile foundation at 45 5 drop one&build(up,same,ace)\n"
                       "event turn player\n  move 1 from stock to pile\n  turn up 1 on pile\nend\n"
                       "event win auto\n  if count(13) on foundation\n  finish\nend\n") +
           extra + kRules;
}

std::string Errors(const std::vector<Diagnostic>& diags) {
    std::string s;
    for (const Diagnostic& d : diags) s += d.ToString() + "\n";
    return s;
}

// The real library, compiled once for the tests that play its games.
const Library& GameLibrary() {
    static const Library lib = [] {
        Library l;
        std::vector<Diagnostic> diags;
        EXPECT_TRUE(CompileLibrary(CORVELLE_GAMES_DIR, l, diags)) << Errors(diags);
        return l;
    }();
    return lib;
}

// One game of the library, its record and the record loaded into an engine.
struct LibraryGame {
    const CompiledGame* game = nullptr;
    std::vector<uint8_t> record;
    CGameEngine engine;
    explicit LibraryGame(const CompiledGame& g) : game(&g), record(SerializeGameRecord(g.def)) {
        EXPECT_TRUE(engine.LoadGameDefinition(record.data(), record.size())) << g.def.name;
    }
    static const CompiledGame& Named(const std::string& name) {
        for (const CompiledGame& g : GameLibrary().games)
            if (g.def.name == name) return g;
        ADD_FAILURE() << "no game " << name;
        return GameLibrary().games.front();
    }
    uint16_t Pile(const std::string& name) const {
        const auto it = std::find(game->pileNames.begin(), game->pileNames.end(), name);
        return static_cast<uint16_t>(it - game->pileNames.begin());
    }
};

// The cards of one pack that `named` leaves out, as face-down card texts,
// for a hand-arranged position that keeps them in a pile of its own choice.
std::vector<std::string> FaceDownRest(const std::set<std::string>& named) {
    std::vector<std::string> rest;
    for (unsigned suit = 1; suit <= 4; ++suit)
        for (unsigned rank = 1; rank <= 13; ++rank)
            if (!named.count(std::string{RankLetter(rank), SuitLetter(suit)}))
                rest.push_back(std::string{RankLetter(rank), static_cast<char>(std::tolower(SuitLetter(suit)))});
    return rest;
}

}  // namespace

TEST(GameCompiler, CompilesTheLibrary) {
    Library lib;
    std::vector<Diagnostic> diags;
    ASSERT_TRUE(CompileLibrary(CORVELLE_GAMES_DIR, lib, diags)) << Errors(diags);
    EXPECT_GE(lib.games.size(), 10u);
    for (const CompiledGame& g : lib.games) {
        const std::vector<uint8_t> record = SerializeGameRecord(g.def);
        CGameEngine engine;
        EXPECT_TRUE(engine.LoadGameDefinition(record.data(), record.size())) << g.def.name;
        EXPECT_EQ(g.pileNames.size(), g.def.piles.size());
    }
}

TEST(GameCompiler, ReportsFileAndLine) {
    ScratchLibrary lib({{"small.game", SmallGame("pile pile fan sideways\n")}});
    Library out;
    std::vector<Diagnostic> diags;
    EXPECT_FALSE(lib.Compile(out, diags));
    ASSERT_FALSE(diags.empty());
    EXPECT_EQ(diags[0].line, 18);
    EXPECT_NE(diags[0].message.find("fan is none"), std::string::npos) << Errors(diags);
}

TEST(GameCompiler, RefusesWhatWouldMisbehave) {
    struct Case { const char* extra; const char* message; } cases[] = {
        {"event boom start\n  finish\nend\n", "finish the game at its start"},
        {"pile pile empty-click back\nevent back player\n  move all from foundation to stock\nend\n",
         "do not make sure"},
        {"pile foundation out-of-play\n", "out of play"},
        {"pile pile at 50 5\n", "overlaps"},
        {"pile pile at right 0 bottom -2\n", "outside"},
        {"pile pile drop build(sideways,alt,any)\n", "unknown block 'rank-sideways'"},
        {"event win auto\n  if count(13) on nowhere\n  finish\nend\n", "no pile or group named 'nowhere'"},
        {"set draw 3\n", "no family declares"},
    };
    for (const Case& c : cases) {
        ScratchLibrary lib({{"small.game", SmallGame(c.extra)}});
        Library out;
        std::vector<Diagnostic> diags;
        EXPECT_FALSE(lib.Compile(out, diags)) << c.extra;
        EXPECT_NE(Errors(diags).find(c.message), std::string::npos) << c.extra << "\n" << Errors(diags);
    }
    // The guard that makes the empty-click safe.
    ScratchLibrary ok({{"small.game", SmallGame("pile stock empty-click back\nevent back player\n  if not-empty on pile\n"
                                                "  move all from pile to stock\n  turn down all on stock\nend\n")}});
    Library out;
    std::vector<Diagnostic> diags;
    EXPECT_TRUE(ok.Compile(out, diags)) << Errors(diags);
}

// Ids are stable, so a library may leave gaps between them; each id is used
// once, and a second use is reported at its id line.
TEST(GameCompiler, IdsMayLeaveGapsButNotRepeat) {
    std::string other = SmallGame("");
    other.replace(other.find("Small"), 5, "Other");
    other.replace(other.find("id 1\n"), 5, "id 500\n");
    ScratchLibrary gaps({{"small.game", SmallGame("")}, {"other.game", other}});
    Library lib;
    std::vector<Diagnostic> diags;
    ASSERT_TRUE(gaps.Compile(lib, diags)) << Errors(diags);
    std::vector<std::vector<uint8_t>> records;
    for (const CompiledGame& g : lib.games) records.push_back(SerializeGameRecord(g.def));
    std::vector<ResourceBlob> blobs;
    std::string error;
    EXPECT_TRUE(PackDatabase(records, lib.relatedText, blobs, error)) << error;

    other.replace(other.find("id 500\n"), 7, "id 1\n");
    ScratchLibrary twice({{"small.game", SmallGame("")}, {"other.game", other}});
    diags.clear();
    EXPECT_FALSE(twice.Compile(lib, diags));
    ASSERT_FALSE(diags.empty());
    EXPECT_EQ(diags[0].line, 2) << Errors(diags);
    EXPECT_NE(diags[0].message.find("is already used"), std::string::npos) << Errors(diags);
}

TEST(GameCompiler, LayoutLandsWhereWritten) {
    ScratchLibrary lib({{"small.game", SmallGame("pile pile at right 5 top 60 fan down max 42\n"
                                                 "pile foundation at centre 0 middle 0\n")}});
    Library out;
    std::vector<Diagnostic> diags;
    ASSERT_TRUE(lib.Compile(out, diags)) << Errors(diags);
    PileDef pile = out.games[0].def.piles[1];
    PileDef found = out.games[0].def.piles[2];
    // The record holds the first card's centre on the reference: half a
    // 15 x 21 card (7 x 10) past its top-left corner, whatever the anchor.
    EXPECT_EQ(pile.x, 160 - 5 - 15 + 7);
    EXPECT_EQ(pile.y, 60 + 10);
    EXPECT_EQ(found.x, 80);
    EXPECT_EQ(found.y, 80);
    ConvertPileToPixels(pile, false);
    ConvertPileToPixels(found, false);
    // Right edge 5 units (26 pixels) from the right: centre at 160 - 26 - 39.
    EXPECT_NEAR(pile.x, 160 - 5 * 79 / 15 - 79 / 2, 3);
    // A fan of 42 units is 224 pixels after the loader's double conversion.
    // (kind 0 extents come in steps of about 28 pixels after the two conversions).
    EXPECT_NEAR(pile.fanExtent, 42 * 112 / 21, 14);
    // Centred: the card's middle on the middle of the reference.
    EXPECT_EQ(found.x, 80);
    EXPECT_EQ(found.y, 80);
}

// Piles in play may not overlap, except a pile drawn in a higher layer over
// part of a pile whose cards it covers: an event asking about it exposes or
// unlocks them (the rows of a pyramid).
TEST(GameCompiler, APileMayOnlyLieOverAPileItCovers) {
    const std::string covering = "pile top at 30 20 layer 1\n"
                                 "pile pile manual-exposure\n"
                                 "event free auto\n  if empty on top\n  expose 1 on pile\nend\n";
    const struct Case { std::string extra; bool ok; } cases[] = {
        {covering, true},
        {"pile top at 30 20 layer 1\n", false},                          // covers nothing
        {covering + "pile top layer 0\n", false},                        // same layer
        {covering + "pile top layer 0\npile pile layer 1\n", false},     // under what it covers
        {covering + "pile top at 35 5\n", false},                        // over the foundation too
    };
    for (const Case& c : cases) {
        ScratchLibrary lib({{"small.game", SmallGame(c.extra)}});
        Library out;
        std::vector<Diagnostic> diags;
        EXPECT_EQ(lib.Compile(out, diags), c.ok) << c.extra << Errors(diags);
        if (!c.ok) {
            EXPECT_NE(Errors(diags).find("overlaps"), std::string::npos) << c.extra << Errors(diags);
        }
    }
}

TEST(GameCompiler, VariantsStateOnlyTheDifference) {
    ScratchLibrary lib({{"small.game", SmallGame("")},
                        {"bigger.game", std::string("game \"Bigger\"\nfrom small\nid 2\npile pile fan down max 20\n") + kRules}});
    Library out;
    std::vector<Diagnostic> diags;
    ASSERT_TRUE(lib.Compile(out, diags)) << Errors(diags);
    ASSERT_EQ(out.games.size(), 2u);
    EXPECT_EQ(out.games[0].def.name, "Bigger");
    EXPECT_EQ(out.games[0].def.piles[1].fan, FanDown);
    EXPECT_EQ(out.games[1].def.piles[1].fan, FanNone);
    EXPECT_EQ(out.games[0].def.actions.size(), out.games[1].def.actions.size());
}

// Every block's own tests, through the engine's interpreter.
TEST(BuildingBlocks, PassTheirTests) {
    BlockLibrary blocks;
    std::vector<Diagnostic> diags;
    ASSERT_TRUE(LoadBlocks(std::string(CORVELLE_GAMES_DIR) + "/blocks", blocks, diags)) << Errors(diags);
    int tests = 0;
    for (const auto& [name, block] : blocks.blocks) {
        if (block.fragment) continue;
        EXPECT_FALSE(block.tests.empty()) << name;
        for (const BlockTest& t : block.tests) {
            std::string call = name;
            if (!block.params.empty()) {
                call += "(";
                for (size_t i = 0; i < block.params.size(); ++i)
                    call += (i ? "," : "") + t.args.at(block.params[i]);
                call += ")";
            }
            std::string text, error;
            ASSERT_TRUE(blocks.CompileExpression(call, text, error)) << error;
            std::vector<uint8_t> program;
            AssemblerError asmError;
            ASSERT_TRUE(AssembleRuleProgram(text, program, &asmError)) << asmError.ToString();
            program.push_back(0);
            std::vector<uint32_t> a, b;
            ParseTestCards(t.listA, a);
            ParseTestCards(t.listB, b);
            RuleCardList la, lb;
            for (size_t i = 0; i < a.size(); i += 2) la.push_back({a[i], a[i + 1]});
            for (size_t i = 0; i < b.size(); i += 2) lb.push_back({b[i], b[i + 1]});
            la.push_back({0, 0});
            lb.push_back({0, 0});
            EXPECT_EQ(EvaluateRuleProgram(la.data(), t.hasB ? lb.data() : nullptr, program.data(), program.size()), t.expected)
                << block.file << ":" << t.line << ": " << call << " on " << t.listA << " / " << t.listB;
            ++tests;
        }
    }
    EXPECT_GT(tests, 50);
}

// The numbers the check must win within: N alone means 1..N; FIRST..N
// reaches the index of the library and back.
TEST(GameCompiler, WinnableRange) {
    {
        ScratchLibrary lib({{"small.game", SmallGame("winnable within 5..9 budget 300\n")}});
        Library out;
        std::vector<Diagnostic> diags;
        ASSERT_TRUE(lib.Compile(out, diags)) << Errors(diags);
        ASSERT_EQ(out.games.size(), 1u);
        EXPECT_EQ(out.games[0].winFirst, 5);
        EXPECT_EQ(out.games[0].winRange, 9);
        EXPECT_EQ(out.games[0].searchBudget, 300);
    }
    for (const char* bad : {"winnable within 9..5\n", "winnable within 0..5\n", "winnable within 3..\n"}) {
        ScratchLibrary lib({{"small.game", SmallGame(bad)}});
        Library out;
        std::vector<Diagnostic> diags;
        EXPECT_FALSE(lib.Compile(out, diags)) << bad;
    }
    const std::vector<GameEntry> index =
        ParseLibraryIndex("0\tsmall\tSmall\t5..9\t300\t-\t-\t-\tstock,pile\n1\tother\tOther\t12\t20000\t-\t-\tfan\tpile\n");
    ASSERT_EQ(index.size(), 2u);
    EXPECT_EQ(index[0].winFirst, 5);
    EXPECT_EQ(index[0].winRange, 9);
    EXPECT_EQ(index[1].winFirst, 1);
    EXPECT_EQ(index[1].winRange, 12);
    EXPECT_EQ(index[0].referee, "");
    EXPECT_EQ(index[1].referee, "fan");
    EXPECT_EQ(index[1].pileNames, std::vector<std::string>{"pile"});
}

// A Golf deal played out to the end: when the engine offers no hint, there
// is no legal move and no click that changes anything either, so the game
// field can tell the player the game is stuck.
TEST(GameLibrary, PlayedOutGolfIsRecognisedAsStuck) {
    LibraryGame golf(LibraryGame::Named("Golf"));
    CGameEngine& e = golf.engine;
    int stuckDeals = 0;
    for (uint32_t number = 1; number <= 10; ++number) {
        ASSERT_TRUE(StartGame(e, number));
        // Cards to the waste while any fits, otherwise turn the stock.
        for (int guard = 0; guard < 200; ++guard) {
            const std::vector<Step> hints = ListHints(e);
            if (hints.empty()) break;
            ASSERT_TRUE(ApplyStep(e, hints.front()));
        }
        ASSERT_TRUE(ListHints(e).empty()) << number;
        if (e.finished) continue;
        ++stuckDeals;
        EXPECT_EQ(ProveStuck(e), "") << "number " << number;
    }
    EXPECT_GT(stuckDeals, 0);
}

// No game lets a card go from one foundation to another: in positions
// reached by playing hints, the top card of every foundation is refused by
// every other foundation. Three games' rules move cards between foundations
// on purpose: Patriarchs between the Ace and King foundations of a suit
// where they meet, Aces and Kings any top card that another foundation takes,
// and Royal Parade a card dealt alone to a place of its rows that is not that
// row's base, which stays in play until built on a foundation.
TEST(GameLibrary, FoundationCardsNeverMoveToAnotherFoundation) {
    const std::set<std::string> tradeBetweenFoundations = {"Patriarchs", "Aces and Kings", "Royal Parade"};
    uint32_t rng = 7;
    for (const CompiledGame& g : GameLibrary().games) {
        if (tradeBetweenFoundations.count(g.def.name)) continue;
        std::vector<uint16_t> foundations;
        for (size_t p = 0; p < g.pileNames.size(); ++p)
            if (g.pileNames[p].rfind("foundation", 0) == 0) foundations.push_back(static_cast<uint16_t>(p));
        if (foundations.size() < 2) continue;
        LibraryGame game(g);
        CGameEngine& e = game.engine;
        for (uint32_t number = 1; number <= 3; ++number) {
            ASSERT_TRUE(StartGame(e, number));
            for (int step = 0; step < 150 && !e.finished; ++step) {
                for (uint16_t from : foundations) {
                    const uint16_t card = e.TopCard(from);
                    if (card == kNone) continue;
                    for (uint16_t to : foundations) {
                        if (to == from) continue;
                        ASSERT_NE(CheckMove(e, card, to), MoveRefusal::None)
                            << g.def.name << " " << number << ": " << g.pileNames[from] << " -> " << g.pileNames[to];
                    }
                }
                // Foundation moves first, so that foundations fill; else a random hint.
                const std::vector<Step> hints = ListHints(e);
                if (hints.empty()) break;
                rng = rng * 1103515245u + 12345u;
                const Step* pick = &hints[(rng >> 8) % hints.size()];
                for (const Step& h : hints)
                    if (!h.click && std::find(foundations.begin(), foundations.end(), h.to) != foundations.end()) pick = &h;
                ASSERT_TRUE(ApplyStep(e, *pick)) << g.def.name;
            }
        }
    }
}

// A win of a game that redeals by shuffling is a win a player can play: the
// shuffles draw from the game's own generator, which the search treats as
// part of the position, so the winning line, read back as `play` reads it,
// wins from a fresh deal.
TEST(GameLibrary, SearchWinsWithRedealsReplayAsPlayed) {
    const std::pair<const char*, uint32_t> cases[] = {{"La Belle Lucie", 8}, {"Trefoil", 1}};
    for (const auto& [name, number] : cases) {
        LibraryGame g(LibraryGame::Named(name));
        ASSERT_TRUE(StartGame(g.engine, number));
        const SearchResult r = SearchForWin(g.engine, g.game->pileNames, g.game->searchBudget);
        ASSERT_TRUE(r.won) << name << " " << number;
        EXPECT_TRUE(std::any_of(r.steps.begin(), r.steps.end(), [](const Step& s) { return s.click; })) << name;
        EXPECT_EQ(ReplayAsPlayer(g.record.data(), g.record.size(), number, r.steps), "") << name;
    }
}

// Where a game file says nothing, each pile's empty base shows its role:
// foundations the rank that starts them (following a rank the deal sets),
// free cells a marked outline of their own, a stock that redeals the redeal
// arrow and one that does not the cross, a waste nothing; a redeal place
// whose redeals run out turns to the cross, and undo turns it back. What a
// game file writes wins.
TEST(GameLibrary, PilesShowTheirRoleWhenEmpty) {
    struct Expect {
        const char* game;
        const char* pile;
        uint8_t base;
        uint16_t mark;
    };
    const Expect expected[] = {
        {"Klondike (draw one)", "stock", BasePictured, 0}, {"Klondike (draw one)", "waste", BaseNone, 0},
        {"Klondike (draw one)", "foundation1", BaseMarked, 1}, {"Klondike (draw one)", "tableau1", BasePlain, 0},
        {"FreeCell", "cell1", BaseMarked, 0},              {"FreeCell", "foundation4", BaseMarked, 1},
        {"Forty Thieves", "stock", BasePictured, 1},       {"Forty Thieves", "waste", BaseNone, 0},
        {"Spider (two suits)", "foundation1", BaseMarked, 13}, {"Eight Off", "cell8", BaseMarked, 0},
        {"Block Ten", "cell1", BasePlain, 0},              {"Bisley", "kingfoundation1", BaseMarked, 13},
        {"La Belle Lucie", "stock", BasePictured, 0},      {"Baker's Dozen", "kings", BaseNone, 0},
    };
    for (const Expect& x : expected) {
        LibraryGame g(LibraryGame::Named(x.game));
        const PileDef& p = g.game->def.piles[g.Pile(x.pile)];
        EXPECT_EQ(p.baseKind, x.base) << x.game << " " << x.pile;
        EXPECT_EQ(p.attribute, x.mark) << x.game << " " << x.pile;
    }
    // Canfield's foundations start from the rank the deal puts on the first.
    LibraryGame canfield(LibraryGame::Named("Canfield"));
    for (uint32_t number = 1; number <= 20; ++number) {
        ASSERT_TRUE(StartGame(canfield.engine, number));
        const CGameEngine& e = canfield.engine;
        const uint32_t rank = e.cards[e.TopCard(canfield.Pile("foundation1"))].rank;
        for (const char* f : {"foundation2", "foundation4"}) {
            EXPECT_EQ(e.pileStates[canfield.Pile(f)].attribute, rank) << number;
            EXPECT_EQ(e.pileStates[canfield.Pile(f)].attributeHigh, 0u) << number;
        }
    }
    // La Belle Lucie's two redeals, then the cross; undo brings the arrow back.
    LibraryGame lucie(LibraryGame::Named("La Belle Lucie"));
    CGameEngine& e = lucie.engine;
    const uint16_t stock = lucie.Pile("stock");
    ASSERT_TRUE(StartGame(e, 1));
    const Step redeal{true, stock, 0, 0};
    ASSERT_TRUE(ApplyStep(e, redeal));
    EXPECT_EQ(e.pileStates[stock].attribute, 0u);
    ASSERT_TRUE(ApplyStep(e, redeal));
    EXPECT_EQ(e.pileStates[stock].attribute, 1u);
    EXPECT_FALSE(ApplyStep(e, redeal));
    ASSERT_TRUE(UndoStep(e));
    EXPECT_EQ(e.pileStates[stock].attribute, 0u);
    // A game's own base and mark win.
    ScratchLibrary scratch({{"small.game", SmallGame("pile foundation base plain\npile stock base marked mark 2\n")}});
    Library lib;
    std::vector<Diagnostic> diags;
    ASSERT_TRUE(scratch.Compile(lib, diags)) << Errors(diags);
    EXPECT_EQ(lib.games[0].def.piles[2].baseKind, BasePlain);
    EXPECT_EQ(lib.games[0].def.piles[0].baseKind, BaseMarked);
    EXPECT_EQ(lib.games[0].def.piles[0].attribute, 2);
}

// Freecell Solver's "could not solve" proves a deal has no solution only
// from a run with every kind of move the solver knows for the game. The
// preset fools-gold knows only freecell moves and gives up on these two
// Simple Simon deals, which the search wins and a run with Simple Simon's
// moves solves. Even those moves leave legal ones out: they go through
// every position of number 36 they reach, yet the search wins it, so for
// Simple Simon no deal counts as proved to have no solution.
TEST(GameLibrary, SolverGivingUpIsNoProofOfNoSolution) {
    LibraryGame simon(LibraryGame::Named("Simple Simon"));
    CGameEngine& e = simon.engine;
    GameEntry entry;
    entry.key = simon.game->key;
    entry.solver = "-g simple_simon -l fools-gold";
    entry.solverLayout = simon.game->solverLayout;
    entry.pileNames = simon.game->pileNames;
    for (uint32_t number : {2000012u, 2000018u}) {
        ASSERT_TRUE(StartGame(e, number));
        const SearchResult won = SearchForWin(e, simon.game->pileNames, simon.game->searchBudget);
        ASSERT_TRUE(won.won) << number;
        EXPECT_EQ(ReplayAsPlayer(simon.record.data(), simon.record.size(), number, won.steps), "") << number;
        SolverVerdict verdict = SolverVerdict::Unknown;
        EXPECT_EQ(SolverReplay(e, entry, verdict), "") << number;
        EXPECT_EQ(verdict, SolverVerdict::Solved) << number;
        EXPECT_TRUE(e.finished) << number;
    }
    ASSERT_TRUE(StartGame(e, 36));
    const SearchResult won = SearchForWin(e, simon.game->pileNames, simon.game->searchBudget);
    ASSERT_TRUE(won.won);
    EXPECT_EQ(ReplayAsPlayer(simon.record.data(), simon.record.size(), 36, won.steps), "");
    SolverVerdict verdict = SolverVerdict::Solved;
    EXPECT_EQ(SolverReplay(e, entry, verdict), "");
    EXPECT_EQ(verdict, SolverVerdict::Unknown);
}

// ForeCell moves a run as a unit only as far as the free cells would carry
// it card by card: one card more than the empty cells. The empty columns
// (five of them here) take only Kings, so they add nothing.
TEST(GameLibrary, ForeCellRunsGoNoFurtherThanTheFreeCellsAllow) {
    LibraryGame forecell(LibraryGame::Named("ForeCell"));
    CGameEngine& e = forecell.engine;
    const auto pile = [&](const std::string& name) { return forecell.Pile(name); };
    std::vector<test::PileText> layout(e.GetPileCount());
    layout[pile("tableau1")] = {"9S", "8H", "7C"};
    layout[pile("tableau2")] = {"TD"};
    layout[pile("tableau3")] = {"9C"};
    layout[pile("cell1")] = {"2C"};
    layout[pile("cell2")] = {"3C"};
    layout[pile("cell3")] = {"4C"};
    layout[pile("cell4")] = {"AC"};
    test::ArrangeLayout(e, layout);
    const uint16_t nine = e.CardAt(pile("tableau1"), 0), eight = e.CardAt(pile("tableau1"), 1);
    // No empty cell: one card at a time.
    EXPECT_EQ(CheckMove(e, eight, pile("tableau3")), MoveRefusal::PickupRule);
    // One empty cell: two cards, not three.
    ASSERT_TRUE(PlayMove(e, e.TopCard(pile("cell4")), pile("foundation1")));
    EXPECT_EQ(CheckMove(e, eight, pile("tableau3")), MoveRefusal::None);
    EXPECT_EQ(CheckMove(e, nine, pile("tableau2")), MoveRefusal::PickupRule);
    // Two empty cells: three cards; undo takes the room away again.
    ASSERT_TRUE(PlayMove(e, e.TopCard(pile("cell1")), pile("foundation1")));
    EXPECT_EQ(CheckMove(e, nine, pile("tableau2")), MoveRefusal::None);
    ASSERT_TRUE(UndoStep(e));
    EXPECT_EQ(CheckMove(e, nine, pile("tableau2")), MoveRefusal::PickupRule);
}

// Thumb and Pouch moves a column's top card alone or all its face-up cards
// together, never a part of them in between.
TEST(GameLibrary, ThumbAndPouchMovesTheTopCardOrTheWholeBuild) {
    LibraryGame thumb(LibraryGame::Named("Thumb and Pouch"));
    CGameEngine& e = thumb.engine;
    const auto pile = [&](const std::string& name) { return thumb.Pile(name); };
    std::vector<test::PileText> layout(e.GetPileCount());
    layout[pile("tableau1")] = {"3c", "9S", "8H", "7C"};
    layout[pile("tableau2")] = {"9D", "8S"};
    layout[pile("tableau3")] = {"TC"};
    layout[pile("tableau4")] = {"9C"};
    test::ArrangeLayout(e, layout);
    const uint16_t nine = e.CardAt(pile("tableau1"), 1), eight = e.CardAt(pile("tableau1"), 2);
    const uint16_t seven = e.TopCard(pile("tableau1"));
    EXPECT_EQ(CheckMove(e, eight, pile("tableau4")), MoveRefusal::PickupRule);
    EXPECT_EQ(CheckMove(e, nine, pile("tableau3")), MoveRefusal::None);
    EXPECT_EQ(CheckMove(e, seven, pile("tableau2")), MoveRefusal::None);
    // A column without face-down cards moves whole, or its top card.
    EXPECT_EQ(CheckMove(e, e.CardAt(pile("tableau2"), 0), pile("tableau3")), MoveRefusal::None);
    EXPECT_EQ(CheckMove(e, e.CardAt(pile("tableau2"), 0), pile("tableau5")), MoveRefusal::None);
}

// Somerset lets the top card of a foundation go back onto a column that
// takes it, and nowhere else.
TEST(GameLibrary, SomersetFoundationTopCardGoesBackToAColumn) {
    LibraryGame somerset(LibraryGame::Named("Somerset"));
    CGameEngine& e = somerset.engine;
    const auto pile = [&](const std::string& name) { return somerset.Pile(name); };
    std::vector<test::PileText> layout(e.GetPileCount());
    layout[pile("foundation1")] = {"AH", "2H", "3H"};
    layout[pile("tableau1")] = {"4S"};
    layout[pile("tableau2")] = {"4D"};
    layout[pile("tableau3")] = {"5C"};
    test::ArrangeLayout(e, layout);
    const uint16_t three = e.TopCard(pile("foundation1")), two = e.CardAt(pile("foundation1"), 1);
    EXPECT_EQ(CheckMove(e, three, pile("tableau2")), MoveRefusal::DropRule);
    EXPECT_EQ(CheckMove(e, three, pile("foundation2")), MoveRefusal::NoLink);
    EXPECT_EQ(CheckMove(e, two, pile("tableau1")), MoveRefusal::PickupRule);
    EXPECT_EQ(CheckMove(e, three, pile("tableau4")), MoveRefusal::None);
    ASSERT_TRUE(PlayMove(e, three, pile("tableau1")));
    EXPECT_EQ(e.TopCard(pile("tableau1")), three);
    EXPECT_EQ(e.TopCard(pile("foundation1")), two);
}

// The search's last pass, without moves off a foundation, wins a Somerset
// deal that the first two passes lose among cards taken back.
TEST(GameLibrary, SearchWinsSomersetWithoutTakingCardsBack) {
    LibraryGame g(LibraryGame::Named("Somerset"));
    ASSERT_TRUE(StartGame(g.engine, 5));
    const SearchResult r = SearchForWin(g.engine, g.game->pileNames, g.game->searchBudget);
    ASSERT_TRUE(r.won);
    EXPECT_GT(r.nodes, g.game->searchBudget);
    EXPECT_EQ(ReplayAsPlayer(g.record.data(), g.record.size(), 5, r.steps), "");
}

// Baker's Dozen deals as Portuguese Solitaire does, then moves the Kings of
// each column to its bottom: both the Kings and the other cards keep the
// order they were dealt in.
TEST(GameLibrary, KingsGoUnderTheirColumnInTheOrderTheyWereDealt) {
    LibraryGame bakers(LibraryGame::Named("Baker's Dozen"));
    LibraryGame portuguese(LibraryGame::Named("Portuguese Solitaire"));
    int columnsWithTwoKings = 0;
    for (uint32_t number = 1; number <= 200; ++number) {
        ASSERT_TRUE(StartGame(bakers.engine, number));
        ASSERT_TRUE(StartGame(portuguese.engine, number));
        for (int k = 1; k <= 13; ++k) {
            const std::string name = "tableau" + std::to_string(k);
            auto column = [&](LibraryGame& g) {
                std::vector<uint16_t> cards;
                const uint16_t pile = g.Pile(name);
                for (int i = 0; i < g.engine.pileStates[pile].count; ++i) {
                    const uint16_t c = g.engine.CardAt(pile, i);
                    cards.push_back(static_cast<uint16_t>(g.engine.cards[c].suit * 16 + g.engine.cards[c].rank));
                }
                return cards;
            };
            std::vector<uint16_t> expected = column(portuguese);
            const auto isKing = [](uint16_t c) { return c % 16 == 13; };
            std::stable_partition(expected.begin(), expected.end(), isKing);
            columnsWithTwoKings += std::count_if(expected.begin(), expected.end(), isKing) >= 2;
            EXPECT_EQ(column(bakers), expected) << "number " << number << ", " << name;
        }
    }
    EXPECT_GT(columnsWithTwoKings, 0);
}

// A solver's move of several cards, in games that move one card at a time,
// is made through the empty free cells and columns; where the game's empty
// columns take only Kings, they carry nothing, and a move beyond the free
// cells fails with the position left as it was.
TEST(GameLibrary, SeveralCardsMoveByHandThroughCellsAndColumns) {
    for (const char* name : {"FreeCell", "ForeCell"}) {
        LibraryGame game(LibraryGame::Named(name));
        CGameEngine& e = game.engine;
        const auto pile = [&](const std::string& n) { return game.Pile(n); };
        std::vector<test::PileText> layout(e.GetPileCount());
        layout[pile("tableau1")] = {"KC", "9S", "8H", "7C", "6D"};
        layout[pile("tableau2")] = {"TD"};
        layout[pile("tableau3")] = {"9C"};
        layout[pile("tableau4")] = {"2D"};
        layout[pile("tableau5")] = {"3D"};
        layout[pile("tableau6")] = {"4D"};
        layout[pile("tableau7")] = {"5D"};
        layout[pile("cell1")] = {"2C"};
        layout[pile("cell2")] = {"3C"};
        test::ArrangeLayout(e, layout);
        std::vector<int> cells, columns;
        for (int k = 1; k <= 4; ++k) cells.push_back(pile("cell" + std::to_string(k)));
        for (int k = 1; k <= 8; ++k) columns.push_back(pile("tableau" + std::to_string(k)));
        const uint16_t nine = e.CardAt(pile("tableau1"), 1), eight = e.CardAt(pile("tableau1"), 2);
        ASSERT_NE(CheckMove(e, nine, pile("tableau2")), MoveRefusal::None) << name << ": one card at a time";
        const std::vector<CardState> before = e.cardStates;
        const auto same = [&] {
            return std::memcmp(before.data(), e.cardStates.data(), before.size() * sizeof(CardState)) == 0;
        };
        std::string why;
        // Four cards need the empty column beside the two empty cells.
        const bool four = MoveByHand(e, pile("tableau1"), pile("tableau2"), 4, cells, columns, why);
        if (std::string(name) == "FreeCell") {
            ASSERT_TRUE(four) << why;
            EXPECT_EQ(e.pileStates[pile("tableau1")].count, 1);
            EXPECT_EQ(e.pileStates[pile("tableau2")].count, 5);
            EXPECT_EQ(e.CardAt(pile("tableau2"), 1), nine);
            for (const char* spare : {"cell3", "cell4", "tableau8"}) EXPECT_EQ(e.pileStates[pile(spare)].count, 0) << spare;
        } else {
            EXPECT_FALSE(four);
            EXPECT_TRUE(same()) << "a failed move leaves the position as it was";
            // Three cards go through the two cells alone.
            ASSERT_TRUE(MoveByHand(e, pile("tableau1"), pile("tableau3"), 3, cells, columns, why)) << why;
            EXPECT_EQ(e.CardAt(pile("tableau3"), 1), eight);
            EXPECT_EQ(e.pileStates[pile("tableau3")].count, 4);
        }
        EXPECT_TRUE(test::Consistent(e)) << name;
    }
}

// Duchess opens with a reserve card to the first foundation and nothing
// else; then an empty column takes a reserve card while any is left and the
// waste's top card after that, never a card from another column; undo takes
// the opening back.
TEST(GameLibrary, DuchessFillsAnEmptyColumnFromTheReserveThenTheWaste) {
    LibraryGame duchess(LibraryGame::Named("Duchess"));
    CGameEngine& e = duchess.engine;
    const auto pile = [&](const std::string& name) { return duchess.Pile(name); };
    ASSERT_TRUE(StartGame(e, 1));
    MoveRefusal why = MoveRefusal::None;
    EXPECT_FALSE(PlayClick(e, pile("stock"), &why));
    EXPECT_EQ(CheckMove(e, e.TopCard(pile("tableau1")), pile("tableau2")), MoveRefusal::NoLink);
    EXPECT_EQ(CheckMove(e, e.TopCard(pile("reserve1")), pile("tableau1")), MoveRefusal::NoLink);
    EXPECT_EQ(CheckMove(e, e.TopCard(pile("reserve1")), pile("foundation1")), MoveRefusal::None);

    std::vector<test::PileText> layout(e.GetPileCount());
    layout[pile("reserve1")] = {"5S"};
    layout[pile("reserve2")] = {"9H"};
    layout[pile("tableau1")] = {"6S"};
    layout[pile("tableau2")] = {"KD"};
    layout[pile("tableau3")] = {"2C"};
    layout[pile("tableau4")] = {"TC"};
    layout[pile("waste")] = {"7D"};
    // Every other card lies face down in the stock, so no other reserve
    // pile holds a card.
    const std::vector<std::string> rest = FaceDownRest({"5S", "9H", "6S", "KD", "2C", "TC", "7D"});
    layout[pile("stock")].assign(rest.begin(), rest.end());
    test::ArrangeLayout(e, layout);
    const uint16_t seven = e.TopCard(pile("waste")), king = e.TopCard(pile("tableau2"));
    const uint16_t nine = e.TopCard(pile("reserve2"));
    ASSERT_TRUE(PlayMove(e, e.TopCard(pile("reserve1")), pile("foundation1")));
    ASSERT_TRUE(PlayMove(e, e.TopCard(pile("tableau1")), pile("foundation1")));
    EXPECT_EQ(CheckMove(e, seven, pile("tableau1")), MoveRefusal::NoLink);
    EXPECT_EQ(CheckMove(e, king, pile("tableau1")), MoveRefusal::NoLink);
    EXPECT_EQ(CheckMove(e, nine, pile("tableau1")), MoveRefusal::None);
    // The last reserve card fills the column and moves on: the space now
    // takes the waste's card only.
    ASSERT_TRUE(PlayMove(e, nine, pile("tableau1")));
    ASSERT_TRUE(PlayMove(e, nine, pile("tableau4")));
    EXPECT_EQ(CheckMove(e, seven, pile("tableau1")), MoveRefusal::None);
    EXPECT_EQ(CheckMove(e, king, pile("tableau1")), MoveRefusal::NoLink);
    ASSERT_TRUE(UndoStep(e));
    ASSERT_TRUE(UndoStep(e));
    EXPECT_EQ(CheckMove(e, seven, pile("tableau1")), MoveRefusal::NoLink);
    EXPECT_TRUE(test::Consistent(e));
}

// Deuces ranks the Ace above the King: a column takes a King on an Ace but
// nothing on a Two, and a foundation runs from its Two to the Ace.
TEST(GameLibrary, DeucesRanksTheAceAboveTheKing) {
    LibraryGame deuces(LibraryGame::Named("Deuces"));
    CGameEngine& e = deuces.engine;
    const auto pile = [&](const std::string& name) { return deuces.Pile(name); };
    std::vector<test::PileText> layout(e.GetPileCount());
    layout[pile("foundation1")] = {"2C", "3C", "4C", "5C", "6C", "7C", "8C", "9C", "TC", "JC", "QC", "KC"};
    layout[pile("foundation2")] = {"2S"};
    layout[pile("tableau1")] = {"2D"};
    layout[pile("tableau2")] = {"AD"};
    layout[pile("tableau3")] = {"KD"};
    layout[pile("tableau5")] = {"AC"};
    layout[pile("tableau6")] = {"AS"};
    test::ArrangeLayout(e, layout);
    const uint16_t aceOfDiamonds = e.TopCard(pile("tableau2"));
    EXPECT_EQ(CheckMove(e, aceOfDiamonds, pile("tableau1")), MoveRefusal::DropRule);
    EXPECT_EQ(CheckMove(e, aceOfDiamonds, pile("tableau4")), MoveRefusal::None);
    EXPECT_EQ(CheckMove(e, e.TopCard(pile("tableau3")), pile("tableau2")), MoveRefusal::None);
    EXPECT_EQ(CheckMove(e, e.TopCard(pile("tableau6")), pile("foundation2")), MoveRefusal::DropRule);
    ASSERT_TRUE(PlayMove(e, e.TopCard(pile("tableau5")), pile("foundation1")));
    EXPECT_EQ(e.pileStates[pile("foundation1")].count, 13);
}

// Penguin's deal: the first card, the beak, lies at the bottom of the first
// column; the other three of its rank start three foundations and every
// column holds seven of the other cards.
TEST(GameLibrary, PenguinDealsTheBeakAndPutsItsRankOnTheFoundations) {
    LibraryGame penguin(LibraryGame::Named("Penguin"));
    CGameEngine& e = penguin.engine;
    const auto pile = [&](const std::string& name) { return penguin.Pile(name); };
    for (uint32_t number = 1; number <= 300; ++number) {
        ASSERT_TRUE(StartGame(e, number));
        const uint16_t beak = e.CardAt(pile("tableau1"), 0);
        const int rank = e.cards[beak].rank;
        std::set<int> suits = {e.cards[beak].suit};
        for (int f = 1; f <= 3; ++f) {
            const uint16_t p = pile("foundation" + std::to_string(f));
            ASSERT_EQ(e.pileStates[p].count, 1) << number;
            EXPECT_EQ(e.cards[e.TopCard(p)].rank, rank) << number;
            suits.insert(e.cards[e.TopCard(p)].suit);
        }
        EXPECT_EQ(suits.size(), 4u) << number;
        EXPECT_EQ(e.pileStates[pile("foundation4")].count, 0) << number;
        for (int k = 1; k <= 7; ++k) {
            const uint16_t p = pile("tableau" + std::to_string(k));
            ASSERT_EQ(e.pileStates[p].count, 7) << number;
            for (int i = (k == 1 ? 1 : 0); i < 7; ++i) EXPECT_NE(e.cards[e.CardAt(p, i)].rank, rank) << number;
        }
        for (const char* spare : {"deck", "hand", "beak"}) EXPECT_EQ(e.pileStates[pile(spare)].count, 0) << spare;
    }
}

// In Penguin an empty column takes only the rank just below the beak and
// the foundations start from the beak's rank and turn the corner: the
// search's win of a deal, replayed, shows both.
TEST(GameLibrary, PenguinBuildsFromTheBeak) {
    LibraryGame penguin(LibraryGame::Named("Penguin"));
    CGameEngine& e = penguin.engine;
    const auto pile = [&](const std::string& name) { return penguin.Pile(name); };
    // Deal 1: the beak is the Two of Spades; the Twos of Clubs, Diamonds and
    // Hearts start the foundations.
    ASSERT_TRUE(StartGame(e, 1));
    ASSERT_EQ(e.cards[e.CardAt(pile("tableau1"), 0)].rank, 2);
    const SearchResult r = SearchForWin(e, penguin.game->pileNames, penguin.game->searchBudget);
    ASSERT_TRUE(r.won);
    ASSERT_TRUE(StartGame(e, 1));
    bool sawEmpty = false;
    for (const Step& step : r.steps) {
        for (int k = 1; k <= 7 && !sawEmpty; ++k) {
            const uint16_t column = pile("tableau" + std::to_string(k));
            if (e.pileStates[column].count != 0) continue;
            sawEmpty = true;
            for (int c = 1; c <= 7; ++c) {
                const uint16_t from = pile("tableau" + std::to_string(c));
                if (e.pileStates[from].count == 0) continue;
                const uint16_t top = e.TopCard(from);
                const MoveRefusal why = CheckMove(e, top, column);
                if (e.cards[top].rank == 1) EXPECT_EQ(why, MoveRefusal::None);
                else EXPECT_EQ(why, MoveRefusal::DropRule) << "rank " << int(e.cards[top].rank);
            }
        }
        std::string reason;
        ASSERT_TRUE(ApplyStep(e, step, &reason)) << reason;
    }
    EXPECT_TRUE(sawEmpty);
    // Each foundation ran from its Two over the King to the Ace.
    for (int f = 1; f <= 4; ++f) {
        const uint16_t p = pile("foundation" + std::to_string(f));
        ASSERT_EQ(e.pileStates[p].count, 13);
        EXPECT_EQ(e.cards[e.CardAt(p, 0)].rank, 2);
        EXPECT_EQ(e.cards[e.TopCard(p)].rank, 1);
    }
}

// Fortune's Favor fills an empty column from the waste only: a column's
// card cannot go there until the waste's card has filled it, and undoing
// the fill closes the column to other columns again.
TEST(GameLibrary, FortunesFavorFillsAnEmptyColumnFromTheWasteOnly) {
    LibraryGame favor(LibraryGame::Named("Fortune's Favor"));
    CGameEngine& e = favor.engine;
    const auto pile = [&](const std::string& name) { return favor.Pile(name); };
    ASSERT_TRUE(StartGame(e, 1));
    for (int f = 1; f <= 4; ++f) {
        const uint16_t p = pile("foundation" + std::to_string(f));
        ASSERT_EQ(e.pileStates[p].count, 1);
        EXPECT_EQ(e.cards[e.TopCard(p)].rank, 1);
    }
    EXPECT_EQ(e.pileStates[pile("stock")].count, 36);

    std::vector<test::PileText> layout(e.GetPileCount());
    layout[pile("foundation1")] = {"AC"};
    layout[pile("foundation2")] = {"AS"};
    layout[pile("foundation3")] = {"AD"};
    layout[pile("foundation4")] = {"AH"};
    layout[pile("tableau1")] = {"2C"};
    layout[pile("tableau2")] = {"9H"};
    layout[pile("tableau3")] = {"TH"};
    layout[pile("tableau4")] = {"QD"};
    layout[pile("waste")] = {"KD"};
    const std::vector<std::string> rest = FaceDownRest({"AC", "AS", "AD", "AH", "2C", "9H", "TH", "QD", "KD"});
    layout[pile("stock")].assign(rest.begin(), rest.end());
    test::ArrangeLayout(e, layout);
    const uint16_t nine = e.TopCard(pile("tableau2")), queen = e.TopCard(pile("tableau4"));
    const uint16_t king = e.TopCard(pile("waste"));
    EXPECT_EQ(CheckMove(e, nine, pile("tableau3")), MoveRefusal::None);
    EXPECT_EQ(CheckMove(e, queen, pile("tableau3")), MoveRefusal::DropRule);
    ASSERT_TRUE(PlayMove(e, e.TopCard(pile("tableau1")), pile("foundation1")));
    EXPECT_EQ(CheckMove(e, nine, pile("tableau1")), MoveRefusal::NoLink);
    EXPECT_EQ(CheckMove(e, queen, pile("tableau1")), MoveRefusal::NoLink);
    ASSERT_TRUE(PlayMove(e, king, pile("tableau1")));
    EXPECT_EQ(CheckMove(e, queen, pile("tableau1")), MoveRefusal::None);
    ASSERT_TRUE(UndoStep(e));
    EXPECT_EQ(CheckMove(e, queen, pile("tableau1")), MoveRefusal::NoLink);
    EXPECT_EQ(CheckMove(e, king, pile("tableau1")), MoveRefusal::None);
    EXPECT_TRUE(test::Consistent(e));
}

// Martha deals each column face down, face up, face down, face up from the
// bottom, with the Aces on the foundations.
TEST(GameLibrary, MarthaDealsEveryOtherCardFaceUp) {
    LibraryGame martha(LibraryGame::Named("Martha"));
    CGameEngine& e = martha.engine;
    const auto pile = [&](const std::string& name) { return martha.Pile(name); };
    for (uint32_t number = 1; number <= 100; ++number) {
        ASSERT_TRUE(StartGame(e, number));
        for (int f = 1; f <= 4; ++f) {
            const uint16_t p = pile("foundation" + std::to_string(f));
            ASSERT_EQ(e.pileStates[p].count, 1) << number;
            EXPECT_EQ(e.cards[e.TopCard(p)].rank, 1) << number;
        }
        for (int k = 1; k <= 12; ++k) {
            const uint16_t p = pile("tableau" + std::to_string(k));
            ASSERT_EQ(e.pileStates[p].count, 4) << number;
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(e.cardStates[e.CardAt(p, i)].faceUp != 0, i % 2 == 1) << number << " tableau" << k << " card " << i;
        }
        EXPECT_EQ(e.pileStates[pile("held")].count, 0) << number;
    }
}

// In Martha a sequence, whole or in part, moves onto a column, but an empty
// column takes a single card only; an uncovered face-down card turns up.
TEST(GameLibrary, MarthaFillsAnEmptyColumnWithOneCard) {
    LibraryGame martha(LibraryGame::Named("Martha"));
    CGameEngine& e = martha.engine;
    const auto pile = [&](const std::string& name) { return martha.Pile(name); };
    std::vector<test::PileText> layout(e.GetPileCount());
    layout[pile("foundation1")] = {"AC", "2C", "3C"};
    layout[pile("tableau1")] = {"9S", "8H", "7C"};
    layout[pile("tableau2")] = {"TD"};
    layout[pile("tableau3")] = {"4C"};
    layout[pile("tableau4")] = {"9C"};
    layout[pile("tableau5")] = {"6h", "JH"};
    layout[pile("tableau6")] = {"QS"};
    test::ArrangeLayout(e, layout);
    const uint16_t nine = e.CardAt(pile("tableau1"), 0), eight = e.CardAt(pile("tableau1"), 1);
    const uint16_t seven = e.TopCard(pile("tableau1")), six = e.CardAt(pile("tableau5"), 0);
    EXPECT_EQ(CheckMove(e, eight, pile("tableau4")), MoveRefusal::None);
    EXPECT_EQ(CheckMove(e, nine, pile("tableau4")), MoveRefusal::DropRule);
    ASSERT_TRUE(PlayMove(e, e.TopCard(pile("tableau3")), pile("foundation1")));
    EXPECT_EQ(CheckMove(e, eight, pile("tableau3")), MoveRefusal::DropRule);
    EXPECT_EQ(CheckMove(e, nine, pile("tableau3")), MoveRefusal::DropRule);
    EXPECT_EQ(CheckMove(e, seven, pile("tableau3")), MoveRefusal::None);
    ASSERT_TRUE(PlayMove(e, nine, pile("tableau2")));
    EXPECT_EQ(e.pileStates[pile("tableau2")].count, 4);
    EXPECT_EQ(e.pileStates[pile("tableau1")].count, 0);
    ASSERT_FALSE(e.cardStates[six].faceUp);
    ASSERT_TRUE(PlayMove(e, e.TopCard(pile("tableau5")), pile("tableau6")));
    EXPECT_TRUE(e.cardStates[six].faceUp);
    EXPECT_TRUE(test::Consistent(e));
}

// The hint scan gives the same hints with a memo kept from scan to scan as
// without one, in every game, along random play that goes back and forth
// with undo as the search does (so piles come back to contents they held).
TEST(GameLibrary, HintsWithAMemoAreTheHintsWithout) {
    uint32_t rng = 99;
    const auto next = [&](uint32_t m) {
        rng = rng * 1103515245u + 12345u;
        return (rng >> 8) % m;
    };
    for (const CompiledGame& g : GameLibrary().games) {
        LibraryGame game(g);
        CGameEngine& e = game.engine;
        HintMemo memo;
        std::vector<CGameEngine::HintMove> plain, remembered;
        for (uint32_t number = 1; number <= 2; ++number) {
            ASSERT_TRUE(StartGame(e, number));
            int depth = 0;
            for (int step = 0; step < 120 && !e.finished; ++step) {
                e.FindAllHints(plain, false);
                e.FindAllHints(remembered, false, &memo);
                ASSERT_EQ(plain.size(), remembered.size()) << g.def.name << " " << number << " step " << step;
                for (size_t k = 0; k < plain.size(); ++k)
                    ASSERT_TRUE(plain[k].first == remembered[k].first && plain[k].second == remembered[k].second)
                        << g.def.name << " " << number << " step " << step << " hint " << k;
                if (depth > 0 && (plain.empty() || next(4) == 0)) {
                    ASSERT_TRUE(UndoStep(e));
                    --depth;
                    continue;
                }
                if (plain.empty()) break;
                const CGameEngine::HintMove h = plain[next(static_cast<uint32_t>(plain.size()))];
                ASSERT_TRUE(h.second == kNone ? PlayClick(e, h.first) : PlayMove(e, h.first, h.second)) << g.def.name;
                ++depth;
            }
        }
    }
}
