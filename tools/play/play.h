// Playing the compiled library without a window: a bounded search for a win
// through the engine's own hints, and the checks that the test
// command runs on every game.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/game_engine.h"
#include "engine/hint_memo.h"
#include "tools/gamec/gamec.h"

namespace corvelle::gamec {

// One step in the format of `corvelle-cli play`: "FROM TO COUNT" or "click PILE".
struct Step {
    bool click = false;
    uint16_t from = 0, to = 0, count = 0;   // click: `from` is the pile
    std::string ToString() const;
};

// The hints of the position, in the engine's order (moves, then clicks).
// A caller that lists the hints of many positions of one game passes a
// memo, kept from one call to the next.
std::vector<Step> ListHints(const CGameEngine& engine, HintMemo* memo = nullptr);
// Plays a step through the player move; false with a reason when refused.
bool ApplyStep(CGameEngine& engine, const Step& step, std::string* reason = nullptr);

// Reads one step in the format of `corvelle-cli play` ("FROM TO [COUNT]",
// COUNT 1 when left out, or "click PILE"); false when the line is not one.
bool ParseStep(const std::string& line, Step& step);
// Plays `steps` the way `corvelle-cli play` does, from a fresh deal of
// `number` on an engine of its own: each step's text read back and played
// through the player's move. "" when every step is accepted and the game is
// finished, else what went wrong.
std::string ReplayAsPlayer(const uint8_t* record, size_t length, uint32_t number, const std::vector<Step>& steps);

// For a position without hints: "" when it has no legal step either (no
// card that may be picked up and dropped on a pile, no click that changes
// anything), else what could still be done.
std::string ProveStuck(CGameEngine& engine);

// Moves the top `count` cards of pile `from` onto pile `to` as a player
// would where the game lets fewer go at once: parking the upper cards in
// the empty piles among `cells` (one card each) and `columns` and moving
// them on. True when done; when no way works, false with the last refusal
// in `why` and the game as it was.
bool MoveByHand(CGameEngine& engine, uint16_t from, uint16_t to, uint16_t count, const std::vector<int>& cells,
                const std::vector<int>& columns, std::string& why);

struct SearchResult {
    bool won = false;
    long nodes = 0;
    std::vector<Step> steps;   // the winning line when won
};
// A search for a win over the hints, in passes of up to `budget` positions
// each: best first by a measure of the position read from the game's own
// piles and rules, then depth first with undo, until the game is finished.
// Deterministic; leaves the game as it found it.
SearchResult SearchForWin(CGameEngine& engine, const std::vector<std::string>& pileNames, long budget);

// What the library index (library.txt) says of one database position.
struct GameEntry {
    int position = 0;
    std::string key, name;
    int winFirst = 1, winRange = 20;   // game numbers winFirst..winRange
    long budget = 20000;
    std::string solver, solverLayout;
    std::string referee;   // the rules model's name, empty: none
    std::vector<std::string> pileNames;
};
std::vector<GameEntry> ParseLibraryIndex(const std::string& text);

// The length of the search's win (within the game's budget) of game number
// `number`, -1 when it finds none. `known` keeps the answers, number by
// number, from one call to the next.
long SearchWinLength(CGameEngine& engine, const GameEntry& game, int number, std::map<int, long>& known);

// What Freecell Solver made of a deal: a solution (replayed to a win
// through the player move), a proof that there is none (a run with every
// kind of move the solver knows for the game went through every position
// they reach), or neither (a preset's scans or the iteration limit stopped
// it).
enum class SolverVerdict { Solved, Unsolvable, Unknown };
// Asks Freecell Solver, as the game's solver line says, about the game in
// play (as dealt) and replays its solution. "" or the failure, and the
// verdict.
std::string SolverReplay(CGameEngine& engine, const GameEntry& game, SolverVerdict& verdict);

struct CheckOptions {
    int dealNumbers = 1000;
    int soakSteps = 10000;
    int solverNumbers = 50;
    bool runSolver = true;
    int refereeNumbers = 20;   // game numbers played against the rules model, 0: none
};
// Runs every check on one game; returns the failures (empty when all pass).
// `log` receives one line per check with what it found.
std::vector<std::string> CheckGame(const GameEntry& game, const uint8_t* record, size_t length,
                                   const CheckOptions& options, std::vector<std::string>& log);

}  // namespace corvelle::gamec
