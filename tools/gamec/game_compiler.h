// The compiler of one game: its expanded statements (source.h) in, its
// GameDefinitionData out. statements.cpp reads the statements, piles.cpp
// builds the piles and their deal, checks.cpp holds the checks that keep a
// game from misbehaving, bases.cpp gives the piles their bases, compile.cpp
// puts them together.
#pragma once

#include <algorithm>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/gamec/gamec.h"
#include "tools/gamec/source.h"

namespace corvelle::gamec {

// What one game may hold; each limit is checked at the statement that
// would pass it.
constexpr int kMaxPiles = 255;
constexpr int kMaxEvents = 1000;
constexpr int kMaxCounters = 1000;
constexpr int kMaxGroupSize = 60;
constexpr int kMaxCards = 1024;
constexpr int kMaxCardGroup = 99;
constexpr long kMaxWinNumber = 100000;          // winnable within [FIRST..]N
constexpr long kMaxSearchBudget = 100000000;    // winnable ... budget NODES

// A pile, group, event or counter name: a letter, then letters, digits,
// '-' and '_' (names are written into the library index, separated by
// commas and tabs).
bool IsName(const std::string& name);

// The index of `w` in `words`, or -1.
int WordIndex(const std::string& w, std::initializer_list<const char*> words);
std::string Lower(std::string s);

// The entry of `entries` (piles, events, counters) called `name`, or end().
template <typename Entries>
auto FindNamed(Entries& entries, const std::string& name) {
    return std::find_if(entries.begin(), entries.end(), [&](const auto& e) { return e.name == name; });
}

// Pile options as written; a group's options apply to every member, a
// member's own options win.
struct PileOpts {
    std::optional<int> xAnchor, yAnchor, x, y, dx, dy;
    std::optional<int> fan, fanMax, base, attribute, faceUp, acceptsDrops, manual, enabled, layer, cardGroup;
    std::optional<std::vector<long>> deal;    // per member (one value: every member)
    std::optional<bool> dealRest, lockAll;
    std::optional<int> topUp;
    std::optional<std::string> drop, pick, click, emptyClick, onDrop;
    std::optional<std::vector<std::string>> place;
    int line = 0;
    std::string file;
};
// Lays the options written in `b` over `a`.
void Merge(PileOpts& a, const PileOpts& b);

struct PileEntry {
    std::string name;
    std::string group;     // empty for a single pile
    int member = 0;        // 0-based within the group
    PileOpts own;
};
struct GroupEntry {
    int size = 0;
    PileOpts opts;
};
struct Condition {
    std::string expr, pileA, pileB;
    int line = 0;
    std::string file;
};
struct EventEntry {
    std::string name;
    int type = 0;
    std::vector<Condition> conditions;
    std::vector<Line> actions;
    std::string counter;
    int line = 0;
    std::string file;
};
struct CounterEntry {
    std::string name;
    int initial = 0;
    std::string exhausted;
    int line = 0;
    std::string file;
};

class GameCompiler {
public:
    GameCompiler(const BlockLibrary& blocks, std::vector<Diagnostic>& diags) : blockLibrary(blocks), diagnostics(diags) {}
    bool Compile(const std::vector<Line>& lines, CompiledGame& out);

private:
    bool Fail(const std::string& file, int line, const std::string& message) {
        diagnostics.push_back({file, line, message});
        ok = false;
        return false;
    }
    bool Fail(const Line& l, const std::string& message) { return Fail(l.file, l.line, message); }

    // Reading (statements.cpp): one handler per statement keyword.
    using StatementHandler = void (GameCompiler::*)(const Line&);
    static const std::map<std::string, StatementHandler>& Statements();
    void Statement(const Line& statement);
    void GameStatement(const Line& statement);
    void FamilyStatement(const Line& statement);
    void IdStatement(const Line& statement);
    void CategoryStatement(const Line& statement);
    void DifficultyStatement(const Line& statement);
    void TimeStatement(const Line& statement);
    void RelatedStatement(const Line& statement);
    void DenseGridStatement(const Line& statement);
    void WinnableStatement(const Line& statement);
    void SolverStatement(const Line& statement);
    void SolverLayoutStatement(const Line& statement);
    void RefereeStatement(const Line& statement);
    void RulesStatement(const Line& statement);
    void DeckStatement(const Line& statement);
    void DecksStatement(const Line& statement);
    void PileStatement(const Line& statement);
    void PilesStatement(const Line& statement);
    void RemoveStatement(const Line& statement);
    void LinkStatement(const Line& statement);
    void CounterStatement(const Line& statement);
    void EventStatement(const Line& statement);
    void EndStatement(const Line& statement);
    // False (with a diagnostic) unless the statement has exactly `count` values.
    bool TakesValues(const Line& statement, size_t count);
    // Reads `word` as a whole number within min..max; otherwise a diagnostic
    // saying what the number is (`what`) and its range.
    bool Number(const Line& statement, const std::string& word, long min, long max, const std::string& what, long& value);
    bool Number(const Line& statement, const std::string& word, long min, long max, const std::string& what, int& value);
    // False (with a diagnostic) unless `name` is a valid name.
    bool CheckName(const Line& statement, const std::string& name);
    void EventLine(const Line& l);
    bool PileOptions(const Line& l, size_t from, PileOpts& o);
    bool Action(const Line& l, std::vector<ActionDef>& out);

    // Building (compile.cpp, piles.cpp).
    std::vector<int> Piles(const std::string& ref, const Line& l, bool allowAny = false);
    int Program(const std::string& expr, const std::string& file, int line);
    bool Finish(CompiledGame& out);
    bool BuildPiles(CompiledGame& out, std::vector<PileOpts>& finals);
    bool BuildEvents(CompiledGame& out, const std::vector<PileOpts>& finals);
    // Bases from the piles' roles where the game does not choose (bases.cpp).
    void AssignBases(CompiledGame& out, const std::vector<PileOpts>& finals);

    // Checks (checks.cpp).
    void CheckGuarantees(const CompiledGame& out, const std::vector<PileOpts>& finals);
    void CheckLayout(const CompiledGame& out, const std::vector<PileOpts>& finals);

    const BlockLibrary& blockLibrary;
    std::vector<Diagnostic>& diagnostics;
    bool ok = true;
    std::string fileName;
    int headerLine = 1;
    int idLine = 0;

    std::string gameName;
    std::optional<int> gameId, gameCategory, gameSkill, gameTime;
    std::vector<uint8_t> extraCategories;
    std::vector<std::string> related;
    bool dense = false;
    int winFirst = 1, winRange = 20, searchBudget = 20000;
    std::string solver, solverLayout, refereeName;
    Line refereeLine;   // where the referee line stands
    std::string rulesText;
    int rulesLine = 0;
    std::vector<CardDef> cardDefs;
    std::vector<PileEntry> pileEntries;
    std::map<std::string, GroupEntry> groups;
    std::vector<std::pair<std::string, std::string>> links;
    std::vector<Line> linkLines;
    std::vector<CounterEntry> counters;
    std::vector<EventEntry> events;
    EventEntry* openEvent = nullptr;

    std::map<std::vector<uint8_t>, int> programIndex;
    std::map<std::string, int> expressionIndex;       // expression -> program, so each compiles once
    GameDefinitionData* def = nullptr;
    std::map<std::string, int> pileIndex;
    std::vector<std::string> programNames;
};

}  // namespace corvelle::gamec
