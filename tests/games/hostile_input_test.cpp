// Hostile and careless input to the game compiler and to corvelle-cli: each
// case must end quickly in a clear refusal, at the right place, and never in
// a crash, a hang or a silently different result. CliRun under the sanitizers.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "tools/gamec/source.h"

using namespace corvelle::gamec;

namespace {

// A valid game of 13 cards; what a case adds starts at line 18.
std::string Game(const std::string& extra, const std::string& name = "Small") {
    return "game \"" + name + "\"\nid 1\ncategory other\ndifficulty easy\ntime <3m\ndeck 1 suits S\n"
           "pile stock at 5 5 deal rest down click turn pick never\n"
           "pile pile at 25 5\n"
           "pile foundation at 45 5 drop one&build(up,same,ace)\n"
           "event turn player\n  move 1 from stock to pile\n  turn up 1 on pile\nend\n"
           "event win auto\n  if count(13) on foundation\n  finish\nend\n" +
           extra +
           "rules\n<b>Object</b>\nMove every card to the foundation, which is built up in suit from the Ace.\n"
           "<b>Play</b>\nThe top card of the pile may be played to the foundation when it fits, and a click on "
           "the\nstock turns its top card over onto the pile. This text is long enough for the compiler.\nend\n";
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

std::string Numbered(const std::string& before, int n, const std::string& after) {
    std::string out;
    for (int i = 1; i <= n; ++i) out += before + std::to_string(i) + after;
    return out;
}

std::string Errors(const std::vector<Diagnostic>& diags) {
    std::string s;
    for (const Diagnostic& d : diags) s += d.ToString() + "\n";
    return s;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

TEST(HostileGameFiles, AreRefusedAtTheirLineQuickly) {
    LibrarySources sources;
    std::vector<Diagnostic> loadDiags;
    ASSERT_TRUE(ReadLibrarySources(CORVELLE_GAMES_DIR, sources, loadDiags)) << Errors(loadDiags);
    struct Case {
        std::string text;
        int line;              // where the first diagnostic must point
        const char* words;     // what it must say
        double seconds;        // how long it may take, sanitizers included
    };
    const Case cases[] = {
        // Preprocessor arithmetic and loops.
        {Game("pile x at {(0-9223372036854775807-1)/(0-1)} 60\n"), 18, "a value leaves", 2},
        {Game("pile x at {" + Repeat("(", 200000) + "1" + Repeat(")", 200000) + "} 60\n"), 18, "nested deeper than 64", 2},
        {Game("pile x at {" + Repeat("-", 200000) + "1} 60\n"), 18, "nested deeper than 64", 2},
        {Game("pile x at {1/0} 60\n"), 18, "division by zero", 2},
        {Game(Repeat("for k in 1..1\n", 20000) + Repeat("end\n", 20000)), 34, "loops nest deeper than 16", 5},
        {Game("for k in 1..100000000\nrelated Golf\nend\n"), 18, "at most 1000 times", 2},
        {Game("for a in 1..1000\nfor b in 1..1000\nfor c in 1..1000\nrelated Golf\nend\nend\nend\n"), 21,
         "more than 20000 statements", 5},
        {Game("for k in 9223372036854775806..9223372036854775807\nrelated Golf\nend\n"), 18, "a loop reads", 2},
        // Numbers that do not fit their field.
        {Game("pile x at 4294967301 100\n"), 18, "a pile position is a number -160..160", 2},
        {Game("pile pile deal 4294967297\n"), 18, "each count 0..1024", 2},
        {Game("piles t 4 at 5 40 step 20 0 deal 0..3000000000\n"), 18, "a deal count is a number 0..1024", 2},
        {Game("piles t 7 at 5 40 step 20 0 deal -1..5\n"), 18, "a deal count is a number 0..1024", 2},
        {Game("pile pile mark 70000\n"), 18, "a mark is a number 0..65535", 2},
        {Game("event m player\n  mark pile 70000\nend\npile pile click m\n"), 19, "a mark is a number 0..65535", 2},
        {Game("deck 1 suits S cards 65536\n"), 18, "a card group is a number 0..99", 2},
        {Game("winnable within 1 budget 4294967296\n"), 18, "'winnable' reads", 2},
        {Game("winnable within 2147483648\n"), 18, "'winnable' reads", 2},
        {Game("pile stock top-up -2147483648\n"), 18, "a top-up count is a number 0..1024", 2},
        {Game("pile pile fan right max 2147483647\n"), 18, "a fan's length is a number 0..160", 2},
        {Game("pile pile layer 256\n"), 18, "a layer is a number 0..255", 2},
        {Game("counter c 65536\n"), 18, "'counter' reads", 2},
        {Game("event e player\n  move 1001 from stock to pile\nend\n"), 19, "1..1000 or 'all'", 2},
        // Sizes past what a record or the engine holds.
        {Game("piles t 7 at 5 40 step 20 0\nremove pile t2\npiles t 6 deal 5,5,5,5,5,10\n"), 19, "belongs to group 't'", 2},
        {Game(Numbered("pile p", 5000, " at 100 100\n")), 18 + 252, "at most 255 piles", 5},
        {Game("deck 16 suits " + Repeat("S", 400) + "\n"), 18, "at most 1024 cards", 2},
        {Game("pile foundation drop one" + Repeat("|one", 40000) + "\n"), 18, "at most 64 calls", 2},
        {Game(Repeat("#" + Repeat("x", 999) + "\n", 1001)), 1, "larger than 1000000 bytes", 2},
        // Text that would break the tools' own files.
        {Game("", "Sm\tall"), 1, "no tab or other control character", 2},
        {Game("pile a,b at 100 100\n"), 18, "is no name", 2},
        {Game("piles a,b 2 at 100 100 step 20 0\n"), 18, "is no name", 2},
        {Game(std::string("pile x\0y at 100 100\n", 20)), 18, "a NUL byte", 2},
        {Game("game\n"), 18, "'game' takes 1 value(s)", 2},
        {Game("set\n"), 18, "'set' reads: set NAME VALUE", 2},
        // A shell command in the solver line.
        {Game("solver --version;touch /tmp/corvelle-hostile;echo\n"), 18, "'solver' takes Freecell Solver's", 2},
        {Game("solver -g freecell -l fools-gold --output /tmp/x\n"), 18, "'solver' takes Freecell Solver's", 2},
        {Game("solver -g free`id`cell\n"), 18, "'solver' takes Freecell Solver's", 2},
        {Game("solver -g citadel --empty-stacks-filled-by queens\n"), 18, "'solver' takes Freecell Solver's", 2},
        {Game("solver-layout tableau=t;cells=c,d\n"), 18, "'solver-layout' reads", 2},
        // A referee the checks do not have, or two; parameters it does not
        // take, values out of range, rules whose piles the game lacks.
        {Game("referee spyder\n"), 18, "no rules named 'spyder'", 2},
        {Game("referee fan yukon\n"), 18, "unknown parameter 'yukon'", 2},
        {Game("referee\n"), 18, "'referee' reads: referee RULES [NAME=VALUE...] or referee none", 2},
        {Game("referee klondike draw=0\n"), 18, "'draw=0': draw takes 1..52", 2},
        {Game("referee klondike deal=" + Repeat("0..104,", 20000) + "1\n"), 18, "deal takes a count per column", 2},
        {Game("referee golf build=alt\n"), 18, "'build' does not apply to the golf rules of golf", 2},
        {Game("referee klondike columns=8\n"), 18, "'deal' gives 7 counts for 8 columns", 2},
        {Game("referee spider\n"), 18, "the rules need the piles tableau1..tableau10, and the game has no tableau1", 2},
    };
    for (const Case& c : cases) {
        const std::string shown = c.text.substr(c.text.find("end\n", c.text.find("event win")) + 4, 60);
        CompiledGame game;
        std::vector<Diagnostic> diags;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(CompileGameText(sources, "hostile.game", c.text, game, diags)) << shown;
        EXPECT_LT(Seconds(start), c.seconds) << shown;
        ASSERT_FALSE(diags.empty()) << shown;
        EXPECT_EQ(diags[0].file, "hostile.game") << shown;
        EXPECT_EQ(diags[0].line, c.line) << shown << "\n" << Errors(diags).substr(0, 400);
        EXPECT_NE(diags[0].message.find(c.words), std::string::npos) << shown << "\n" << Errors(diags).substr(0, 400);
    }
    // The library's own games still compile as text, and in bounded time.
    for (const std::string& key : sources.gameKeys) {
        const SourceFile& file = sources.files.at(key);
        std::ifstream in(file.path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        CompiledGame game;
        std::vector<Diagnostic> diags;
        EXPECT_TRUE(CompileGameText(sources, file.path, text.str(), game, diags)) << Errors(diags);
    }
}

namespace {

struct CliRun {
    int status = -1;
    std::string output;
};

// Runs corvelle-cli on the compiled library with `args` and `input` on
// standard input (the arguments are the test's own, never hostile to a shell).
CliRun Cli(const std::string& args, const std::string& input) {
    const std::string dir = testing::TempDir() + "/corvelle-cli-" + std::to_string(getpid());
    const std::string in = dir + "-in", out = dir + "-out";
    std::ofstream(in, std::ios::binary) << input;
    const std::string command = std::string(CORVELLE_CLI) + " --db " + CORVELLE_GAME_DB + " " + args + " <" + in +
                                " >" + out + " 2>&1";
    CliRun r;
    const int status = std::system(command.c_str());
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    std::ifstream result(out, std::ios::binary);
    std::stringstream text;
    text << result.rdbuf();
    r.output = text.str();
    std::remove(in.c_str());
    std::remove(out.c_str());
    return r;
}

}  // namespace

TEST(HostileCliInput, ArgumentsAreRefusedAsUsageErrors) {
    struct Case {
        std::string args;
        const char* words;
    };
    const Case cases[] = {
        {"deal golf 4294967301", "the game number is 1..4294967295"},
        {"deal golf 4294967296", "the game number is 1..4294967295"},
        {"deal golf -1", "the game number is 1..4294967295"},
        {"deal golf 99999999999999999999999", "the game number is 1..4294967295"},
        {"deal golf 0", "the game number is 1..4294967295"},
        {"deal golf 1x", "the game number is 1..4294967295"},
        {"deal 4294967296 1", "no game '4294967296'"},
        {"deal -0 1", "no game '-0'"},
        {"solve golf 1 --budget abc", "--budget takes a number"},
        {"solve golf 1 --budget -5", "--budget takes a number"},
        {"check golf --deals -1", "--deals takes a number"},
        {"check golf --soak 1e9", "--soak takes a number"},
        {"check golf --solver 4294967296", "--solver takes a number"},
        {"check golf --referee 0", "--referee takes a number"},
        {"check golf --referee", "usage: corvelle-cli check"},
        {"check golf --frobnicate", "usage: corvelle-cli check"},
    };
    for (const Case& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        const CliRun r = Cli(c.args, "");
        EXPECT_LT(Seconds(start), 10) << c.args;
        EXPECT_NE(r.status, 0) << c.args << "\n" << r.output;
        EXPECT_NE(r.output.find(c.words), std::string::npos) << c.args << "\n" << r.output;
    }
    const CliRun list = Cli("list", "");
    EXPECT_EQ(list.status, 0) << list.output;
    const std::string command = std::string(CORVELLE_CLI) + " --db /nonexistent/corvelle list >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

TEST(HostileCliInput, PlayStepsAreReadStrictly) {
    struct Case {
        std::string step;
        const char* answer;
    };
    const Case cases[] = {
        {"4294967296 7", "refused: cannot read '4294967296 7'"},
        {"0 7 65537", "refused: cannot read '0 7 65537'"},
        {"0 7 0", "refused: cannot read '0 7 0'"},
        {"-1 7", "refused: cannot read '-1 7'"},
        {"click 4294967296", "refused: cannot read 'click 4294967296'"},
        {"0 99", "refused: no such pile"},
        {std::string("0 7\0 1", 6), "refused: a NUL byte in the step"},
        {"0 7 1 2", "refused: cannot read '0 7 1 2'"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli("play golf 1", c.step + "\n");
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_EQ(r.output.compare(0, std::string(c.answer).size(), c.answer), 0) << c.step << "\n" << r.output;
        // A refused step changes nothing: the layout is the dealt one.
        EXPECT_NE(r.output.find("in play"), std::string::npos) << r.output;
    }
    const CliRun plain = Cli("play golf 1", "");
    const CliRun refused = Cli("play golf 1", "4294967296 7\n");
    EXPECT_EQ(refused.output.substr(refused.output.find('\n') + 1), plain.output);
}
