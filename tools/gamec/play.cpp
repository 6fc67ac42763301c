#include "tools/gamec/play.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <regex>
#include <cstring>
#include <sstream>
#include <unordered_set>

#include "engine/invariants.h"
#include "engine/player_move.h"

namespace corvelle::gamec {
namespace {

uint64_t StateHash(const CGameEngine& e) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    for (const CardState& c : e.cardStates) mix((uint64_t(c.pile) << 24) | (uint64_t(uint16_t(c.position)) << 8) | (c.faceUp << 1) | c.movable);
    for (const CounterState& c : e.counters) mix(c.value);
    for (const PileState& p : e.pileStates) mix((uint64_t(p.dropProgram) << 16) | p.acceptsDrops);
    return h;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

std::string Step::Text() const {
    return click ? "click " + std::to_string(from)
                 : std::to_string(from) + " " + std::to_string(to) + " " + std::to_string(count);
}

std::vector<Step> ListHints(const CGameEngine& engine) {
    std::vector<Step> out;
    uint16_t first = 0, second = 0;
    for (uint16_t n = 0; n < 4000 && engine.FindHint(n, first, second, false); ++n) {
        Step s;
        if (second == kNone) {
            s.click = true;
            s.from = first;
        } else {
            const CardState& c = engine.cardStates[first];
            s.from = c.pile;
            s.to = second;
            s.count = static_cast<uint16_t>(engine.pileStates[c.pile].count - c.position);
        }
        out.push_back(s);
    }
    return out;
}

bool ApplyStep(CGameEngine& engine, const Step& step, std::string* reason) {
    MoveRefusal why = MoveRefusal::None;
    bool ok = false;
    if (step.click) {
        ok = PlayClick(engine, step.from, &why);
    } else if (step.from >= engine.pileCount || step.count < 1 || step.count > engine.pileStates[step.from].count) {
        why = MoveRefusal::NoSuchCard;
    } else {
        const uint16_t card = engine.CardAt(step.from, engine.pileStates[step.from].count - step.count);
        ok = card != kNone && PlayMove(engine, card, step.to, &why);
        if (card == kNone) why = MoveRefusal::NoSuchCard;
    }
    if (!ok && reason) *reason = MoveRefusalText(why);
    return ok;
}

SearchResult SearchForWin(CGameEngine& engine, const std::vector<std::string>& pileNames, long budget) {
    SearchResult result;
    struct Frame {
        std::vector<Step> options;
        size_t next = 0;
    };
    std::unordered_set<uint64_t> seen;
    std::vector<Frame> stack;
    auto expand = [&]() {
        Frame f;
        std::vector<Step> hints = ListHints(engine);
        // Cards to the foundations first, then moves that uncover a card or
        // empty a pile, then the rest, clicks last; a whole pile moved onto an
        // empty one gains nothing and is left out.
        auto rank = [&](const Step& s) {
            if (s.click) return 3;
            if (s.to < pileNames.size() && StartsWith(pileNames[s.to], "foundation")) return 0;
            const int below = engine.pileStates[s.from].count - s.count - 1;
            if (below < 0) return 1;
            const uint16_t under = engine.CardAt(s.from, below);
            return under != kNone && !engine.cardStates[under].faceUp ? 1 : 2;
        };
        for (const Step& s : hints) {
            if (!s.click && s.count == engine.pileStates[s.from].count && engine.pileStates[s.to].count == 0) continue;
            f.options.push_back(s);
        }
        std::stable_sort(f.options.begin(), f.options.end(), [&](const Step& a, const Step& b) { return rank(a) < rank(b); });
        ++result.nodes;
        stack.push_back(std::move(f));
    };
    seen.insert(StateHash(engine));
    if (engine.finished) {
        result.won = true;
        return result;
    }
    expand();
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next >= f.options.size() || result.nodes >= budget) {
            stack.pop_back();
            if (!stack.empty()) UndoStep(engine);
            continue;
        }
        const Step step = f.options[f.next++];
        if (!ApplyStep(engine, step)) continue;
        if (engine.finished) {
            for (const Frame& g : stack) result.steps.push_back(g.options[g.next - 1]);
            result.won = true;
            // Leave the game as it was found.
            for (size_t k = 0; k < stack.size(); ++k) UndoStep(engine);
            return result;
        }
        if (!seen.insert(StateHash(engine)).second || stack.size() > 3000) {
            UndoStep(engine);
            continue;
        }
        expand();
    }
    return result;
}

std::vector<GameEntry> ParseLibraryIndex(const std::string& text) {
    std::vector<GameEntry> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> f;
        std::istringstream cols(line);
        for (std::string c; std::getline(cols, c, '\t');) f.push_back(c);
        if (f.size() != 8) continue;
        GameEntry g;
        g.position = std::atoi(f[0].c_str());
        g.key = f[1];
        g.name = f[2];
        g.winRange = std::atoi(f[3].c_str());
        g.budget = std::atol(f[4].c_str());
        g.solver = f[5] == "-" ? "" : f[5];
        g.solverLayout = f[6] == "-" ? "" : f[6];
        std::istringstream names(f[7]);
        for (std::string n; std::getline(names, n, ',');) g.pileNames.push_back(n);
        out.push_back(g);
    }
    return out;
}

namespace {

template <typename T>
bool SameBytes(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

struct Snapshot {
    std::vector<CardState> cards;
    std::vector<PileState> piles;
    std::vector<CounterState> counters;
    uint8_t finished = 0;
    bool operator==(const Snapshot& o) const {
        return finished == o.finished && SameBytes(cards, o.cards) && SameBytes(piles, o.piles) &&
               SameBytes(counters, o.counters);
    }
};
Snapshot Take(const CGameEngine& e) { return {e.cardStates, e.pileStates, e.counters, e.finished}; }

// A position without hints must offer no legal step at all.
std::string ProveStuck(CGameEngine& e) {
    for (uint16_t card = 0; card < e.cardCount; ++card) {
        if (!CanPickUp(e, card)) continue;
        for (uint16_t p = 0; p < e.pileCount; ++p)
            if (CheckDrop(e, card, p) == MoveRefusal::None && !(e.piles[p].baseKind == BaseNone && e.pileStates[p].count == 0))
                return "no hint, yet card " + std::to_string(card) + " may go to pile " + std::to_string(p);
    }
    for (uint16_t p = 0; p < e.pileCount; ++p)
        if (TryPileClick(e, p)) {
            UndoStep(e);
            return "no hint, yet a click on pile " + std::to_string(p) + " does something";
        }
    return "";
}

std::string CardText(const CGameEngine& e, uint16_t card) {
    std::string s;
    s += RankLetter(e.cards[card].rank);
    s += SuitLetter(e.cards[card].suit);
    return s;
}

std::vector<int> GroupPiles(const GameEntry& g, const std::string& group) {
    std::vector<int> v;
    for (size_t i = 0; i < g.pileNames.size(); ++i) {
        const std::string& n = g.pileNames[i];
        if (StartsWith(n, group) && n.size() > group.size() && std::isdigit(static_cast<unsigned char>(n[group.size()])))
            v.push_back(static_cast<int>(i));
    }
    return v;
}

// Cross-check against Freecell Solver: the deal as its board, its solution
// replayed through the player move. Returns "" or the failure; `solved`
// tells whether the solver found a solution at all.
std::string SolverReplay(CGameEngine& e, const GameEntry& g, bool& solved) {
    solved = false;
    std::map<std::string, std::string> layout;
    std::istringstream in(g.solverLayout);
    for (std::string kv; std::getline(in, kv, ';');) {
        const size_t eq = kv.find('=');
        if (eq != std::string::npos) layout[kv.substr(0, eq)] = kv.substr(eq + 1);
    }
    const std::vector<int> stacks = GroupPiles(g, layout["tableau"]), cells = GroupPiles(g, layout["cells"]),
                           founds = GroupPiles(g, layout["foundations"]);
    std::string board;
    auto pileCards = [&](int p) {
        std::vector<uint16_t> v;
        for (int k = 0; k < e.pileStates[p].count; ++k) v.push_back(e.CardAt(static_cast<uint16_t>(p), k));
        return v;
    };
    if (!founds.empty()) {
        int top[5] = {0, 0, 0, 0, 0};
        for (int p : founds) {
            const auto v = pileCards(p);
            if (!v.empty()) top[e.cards[v.back()].suit] = e.cards[v.back()].rank;
        }
        board += "Foundations: H-" + std::to_string(top[4]) + " C-" + std::to_string(top[1]) + " D-" +
                 std::to_string(top[3]) + " S-" + std::to_string(top[2]) + "\n";
    }
    if (!cells.empty()) {
        board += "Freecells:";
        for (int p : cells) {
            const auto v = pileCards(p);
            board += " " + (v.empty() ? std::string("-") : CardText(e, v.back()));
        }
        board += "\n";
    }
    for (int p : stacks) {
        std::string line;
        for (uint16_t c : pileCards(p)) line += (line.empty() ? "" : " ") + CardText(e, c);
        board += line + "\n";
    }
    char path[] = "/tmp/corvelle-board-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return "cannot write a board file";
    FILE* f = fdopen(fd, "w");
    std::fputs(board.c_str(), f);
    std::fclose(f);
    const std::string command = "fc-solve " + g.solver + " --freecells-num " + std::to_string(cells.size()) +
                                " --stacks-num " + std::to_string(stacks.size()) + " -m " + path + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        std::remove(path);
        return "cannot run fc-solve";
    }
    std::vector<std::string> lines;
    char buf[512];
    while (std::fgets(buf, sizeof buf, pipe)) lines.push_back(buf);
    pclose(pipe);
    std::remove(path);
    bool sawMove = false;
    for (const std::string& raw : lines) {
        if (raw.find("could not solve") != std::string::npos || raw.find("Iterations count exceeded") != std::string::npos)
            return "";
        std::smatch m;
        std::vector<int> targets;
        int from = -1;
        const std::string text = raw.substr(0, raw.find_last_not_of("\r\n") + 1);
        static const std::regex toFoundation("Move a card from (stack|freecell) (\\d+) to the foundations");
        static const std::regex toCell("Move a card from stack (\\d+) to freecell (\\d+)");
        static const std::regex fromCell("Move a card from freecell (\\d+) to stack (\\d+)");
        static const std::regex stackToStack("Move (\\d+) cards from stack (\\d+) to stack (\\d+)");
        const auto at = [](const std::vector<int>& v, const std::string& i) {
            const size_t k = std::stoul(i);
            return k < v.size() ? v[k] : -1;
        };
        if (std::regex_match(text, m, toFoundation)) { from = at(m[1] == "stack" ? stacks : cells, m[2]); targets = founds; }
        else if (std::regex_match(text, m, toCell)) { from = at(stacks, m[1]); targets = {at(cells, m[2])}; }
        else if (std::regex_match(text, m, fromCell)) { from = at(cells, m[1]); targets = {at(stacks, m[2])}; }
        else if (std::regex_match(text, m, stackToStack)) {
            if (m[1] != "1") return "the solver moved a sequence: " + text;
            from = at(stacks, m[2]);
            targets = {at(stacks, m[3])};
        } else if (StartsWith(text, "Move")) {
            return "unknown solver move: " + text;
        } else {
            continue;
        }
        if (from < 0 || std::find(targets.begin(), targets.end(), -1) != targets.end())
            return "the solver names a pile the game does not have: " + text;
        sawMove = true;
        const uint16_t card = e.TopCard(static_cast<uint16_t>(from));
        if (card == kNone) return "the solver moves from an empty pile: " + raw;
        bool done = false;
        std::string why;
        for (int t : targets)
            if (ApplyStep(e, Step{false, static_cast<uint16_t>(from), static_cast<uint16_t>(t), 1}, &why)) { done = true; break; }
        if (!done) return "solver step refused (" + why + "): " + raw;
    }
    solved = sawMove || e.finished;
    if (solved && !e.finished) return "the solver's moves do not finish the game";
    return "";
}

}  // namespace

std::vector<std::string> CheckGame(const GameEntry& game, const uint8_t* record, size_t length,
                                   const CheckOptions& options, std::vector<std::string>& log) {
    std::vector<std::string> failures;
    CGameEngine e;
    if (!e.LoadGameDefinition(record, length)) return {"the engine refuses the record"};
    std::string why;
    // 1. Deals with the invariants, after the deal and the start events.
    for (int n = 1; n <= options.dealNumbers; ++n) {
        if (!StartGame(e, static_cast<uint32_t>(n)) || !CheckGameInvariants(e, &why)) {
            failures.push_back("game number " + std::to_string(n) + ": " + why);
            break;
        }
        if (e.finished) {
            failures.push_back("game number " + std::to_string(n) + " is finished by its deal");
            break;
        }
    }
    log.push_back("dealt " + std::to_string(options.dealNumbers) + " numbers");
    // 2. Winnable by the bounded search.
    int wonAt = 0;
    long nodes = 0;
    for (int n = 1; n <= game.winRange && !wonAt; ++n) {
        StartGame(e, static_cast<uint32_t>(n));
        const SearchResult r = SearchForWin(e, game.pileNames, game.budget);
        nodes += r.nodes;
        if (r.won) {
            // Replay the winning line from the deal: every step accepted.
            StartGame(e, static_cast<uint32_t>(n));
            for (const Step& s : r.steps)
                if (!ApplyStep(e, s, &why)) {
                    failures.push_back("the winning line of number " + std::to_string(n) + " is refused at " + s.Text() + ": " + why);
                    break;
                }
            if (!e.finished) failures.push_back("the winning line of number " + std::to_string(n) + " does not finish the game");
            wonAt = n;
        }
    }
    if (!wonAt) failures.push_back("no win found in game numbers 1.." + std::to_string(game.winRange));
    log.push_back(wonAt ? "won game number " + std::to_string(wonAt) + " (" + std::to_string(nodes) + " positions searched)"
                        : "no win in 1.." + std::to_string(game.winRange));
    // 3. Random play from the hints with undo; every game undone to its deal.
    uint32_t rng = 12345;
    auto next = [&](uint32_t m) { rng = rng * 1103515245u + 12345u; return (rng >> 8) % m; };
    int steps = 0, games = 0, stuck = 0;
    for (uint32_t number = 1000; steps < options.soakSteps && failures.size() < 5; ++number) {
        StartGame(e, number);
        ++games;
        const Snapshot dealt = Take(e);
        int depth = 0;
        while (steps < options.soakSteps) {
            const std::vector<Step> hints = ListHints(e);
            if (hints.empty() || e.finished) {
                if (!e.finished) {
                    ++stuck;
                    const std::string s = ProveStuck(e);
                    if (!s.empty()) failures.push_back("number " + std::to_string(number) + ": " + s);
                }
                break;
            }
            if (depth > 0 && next(10) == 0) {
                UndoStep(e);
                --depth;
            } else {
                const Step s = hints[next(static_cast<uint32_t>(hints.size()))];
                if (!ApplyStep(e, s, &why)) {
                    failures.push_back("number " + std::to_string(number) + ": hint " + s.Text() + " refused: " + why);
                    break;
                }
                ++depth;
            }
            ++steps;
            if (!CheckGameInvariants(e, &why)) {
                failures.push_back("number " + std::to_string(number) + " after " + std::to_string(steps) + " steps: " + why);
                break;
            }
        }
        // A finished game stays finished through undo: compare the rest.
        const bool won = e.finished != 0;
        while (UndoStep(e)) {}
        Snapshot undone = Take(e);
        if (won) undone.finished = dealt.finished;
        if (!(undone == dealt)) failures.push_back("number " + std::to_string(number) + ": undoing every step does not give back the deal");
    }
    log.push_back("random play: " + std::to_string(steps) + " steps in " + std::to_string(games) + " games, " +
                  std::to_string(stuck) + " stuck positions without any move");
    // 4. The independent solver.
    if (options.runSolver && !game.solver.empty()) {
        int solved = 0, tried = 0;
        for (int n = 1; tried < options.solverNumbers && n <= options.solverNumbers * 2; ++n) {
            StartGame(e, static_cast<uint32_t>(n));
            bool ok = false;
            const std::string r = SolverReplay(e, game, ok);
            ++tried;
            if (!r.empty()) {
                failures.push_back("fc-solve, number " + std::to_string(n) + ": " + r);
                break;
            }
            solved += ok;
        }
        if (solved == 0) failures.push_back("fc-solve solved none of the deals");
        log.push_back("fc-solve: " + std::to_string(solved) + " of " + std::to_string(tried) + " deals solved and replayed");
    }
    return failures;
}

}  // namespace corvelle::gamec
