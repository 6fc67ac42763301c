// The game compiler: reads the game library (games/*.game, games/families,
// games/blocks) and turns every game into a GameRecord.
//
// A game file is a list of statements, one per line; a game names the family
// or game it starts from (`from`) and states only what differs. The language
// is described in README.md ("Adding a game"); the building blocks document
// themselves in games/blocks/*.blk.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "writer/record_writer.h"

namespace corvelle::gamec {

struct Diagnostic {
    std::string file;
    int line = 0;
    std::string message;
    std::string ToString() const { return file + ":" + std::to_string(line) + ": " + message; }
};

// A named, parameterised piece of rule-program text (games/blocks/*.blk).
struct BlockTest {
    std::map<std::string, std::string> args;
    std::string listA, listB;   // cards top first ("5H 6S", "xx" face down, "-" empty)
    bool hasB = false;
    bool expected = false;
    int line = 0;
};
struct Block {
    std::string name;
    std::vector<std::string> params;
    std::string body;           // mnemonics with $PARAM and @include(args)
    std::string doc;
    bool fragment = false;      // leaves other than one truth value: not a whole program
    std::string file;
    int line = 0;
    std::vector<BlockTest> tests;
};

// Limits of a rule expression: calls joined, and the text they expand to.
constexpr size_t kMaxRuleTerms = 64;
constexpr size_t kMaxRuleText = 1000000;

struct BlockLibrary {
    std::map<std::string, Block> blocks;
    // Expands a block call such as "build(down,alt,king)" into mnemonic text.
    bool Expand(const std::string& call, std::string& text, std::string& error, int depth = 0) const;
    // Compiles a program expression: calls joined by '&' (and) and '|' (or),
    // '!' negating a call, into mnemonic text.
    bool CompileExpression(const std::string& expr, std::string& text, std::string& error) const;
};

bool LoadBlocks(const std::string& folder, BlockLibrary& out, std::vector<Diagnostic>& diags);
// Parses a rule card list as the block tests write it.
bool ParseTestCards(const std::string& text, std::vector<uint32_t>& suitRank);

struct CompiledGame {
    std::string key;            // file name without extension
    std::string file;
    int idLine = 1;             // the line of its `id` statement
    GameDefinitionData def;
    std::vector<std::string> pileNames;
    std::vector<std::string> eventNames;
    std::vector<std::string> related;   // game names
    int winFirst = 1;           // the bounded search must win one of numbers winFirst..winRange
    int winRange = 20;
    int searchBudget = 20000;   // node budget of that search per number
    std::string solver;         // fc-solve arguments for the cross-check, empty: none
    std::string solverLayout;   // "tableau=..;cells=..;foundations=.."
    std::string referee;        // the rules model that referees the game, empty: none
};

struct Library {
    std::vector<CompiledGame> games;   // in database position order (by name)
    std::string relatedText;           // "id,id" lines joined by CR LF
};

// Compiles every game of `gamesFolder`. Returns false when any diagnostic is
// an error; `diags` lists them all with file and line.
bool CompileLibrary(const std::string& gamesFolder, Library& out, std::vector<Diagnostic>& diags);

// Freecell Solver options as a game's `solver` line gives them: only
// -g GAME, -l PRESET, --max-iters N and --empty-stacks-filled-by
// kings|none|all. False with the reason otherwise.
bool CheckSolverOptions(const std::vector<std::string>& options, std::string& error);

// The side file next to the packed database: one line per position with the
// pile names and the check settings the CLI and the tests need.
std::string LibraryIndexText(const Library& lib);

}  // namespace corvelle::gamec
