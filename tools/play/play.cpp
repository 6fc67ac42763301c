#include "tools/play/play.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <regex>
#include <cstring>
#include <sstream>
#include <queue>
#include <tuple>
#include <unordered_set>

#include "engine/invariants.h"
#include "engine/player_move.h"
#include "tools/play/referee_check.h"
#include "tools/gamec/source.h"

namespace corvelle::gamec {
namespace {

uint64_t StateHash(const CGameEngine& e) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&](uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    for (const CardState& c : e.cardStates) mix((uint64_t(c.pile) << 24) | (uint64_t(uint16_t(c.position)) << 8) | (c.faceUp << 1) | c.movable);
    for (const CounterState& c : e.counters) mix(c.value);
    for (const PileState& p : e.pileStates) mix((uint64_t(p.dropProgram) << 16) | p.acceptsDrops);
    // The generator is part of the position: a redeal deals from it.
    mix(e.shuffleState);
    return h;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

std::string Step::ToString() const {
    return click ? "click " + std::to_string(from)
                 : std::to_string(from) + " " + std::to_string(to) + " " + std::to_string(count);
}

std::vector<Step> ListHints(const CGameEngine& engine, HintMemo* memo) {
    std::vector<CGameEngine::HintMove> hints;
    engine.FindAllHints(hints, false, memo);
    std::vector<Step> out;
    out.reserve(hints.size());
    for (const CGameEngine::HintMove& h : hints) {
        Step s;
        if (h.second == kNone) {
            s.click = true;
            s.from = h.first;
        } else {
            const CardState& c = engine.cardStates[h.first];
            s.from = c.pile;
            s.to = h.second;
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
    } else if (step.from >= engine.GetPileCount() || step.count < 1 || step.count > engine.pileStates[step.from].count) {
        why = MoveRefusal::NoSuchCard;
    } else {
        const uint16_t card = engine.CardAt(step.from, engine.pileStates[step.from].count - step.count);
        ok = card != kNone && PlayMove(engine, card, step.to, &why);
        if (card == kNone) why = MoveRefusal::NoSuchCard;
    }
    if (!ok && reason) *reason = MoveRefusalText(why);
    return ok;
}

bool ParseStep(const std::string& line, Step& step) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string x; words >> x;) w.push_back(x);
    // Digits only, within min..65535.
    const auto number = [](const std::string& text, long min, uint16_t& v) {
        long x = 0;
        if (text.empty() || text[0] == '-' || !ParseInteger(text, min, 0xFFFF, x)) return false;
        v = static_cast<uint16_t>(x);
        return true;
    };
    step = Step{};
    if (w.size() == 2 && w[0] == "click") {
        step.click = true;
        return number(w[1], 0, step.from);
    }
    step.count = 1;
    return (w.size() == 2 || w.size() == 3) && number(w[0], 0, step.from) && number(w[1], 0, step.to) &&
           (w.size() == 2 || number(w[2], 1, step.count));
}

std::string ReplayAsPlayer(const uint8_t* record, size_t length, uint32_t number, const std::vector<Step>& steps) {
    CGameEngine e;
    if (!e.LoadGameDefinition(record, length) || !StartGame(e, number)) return "the game does not deal";
    std::string why;
    for (size_t i = 0; i < steps.size(); ++i) {
        Step read;
        if (!ParseStep(steps[i].ToString(), read)) return "step " + std::to_string(i + 1) + " cannot be read: " + steps[i].ToString();
        if (!ApplyStep(e, read, &why))
            return "step " + std::to_string(i + 1) + " (" + steps[i].ToString() + ") is refused: " + why;
    }
    return e.finished ? "" : "the steps do not finish the game";
}

std::string ProveStuck(CGameEngine& e) {
    for (uint16_t card = 0; card < e.GetCardCount(); ++card) {
        if (!CanPickUp(e, card)) continue;
        for (uint16_t p = 0; p < e.GetPileCount(); ++p)
            if (CheckDrop(e, card, p) == MoveRefusal::None && !(e.piles[p].baseKind == BaseNone && e.pileStates[p].count == 0))
                return "no hint, yet card " + std::to_string(card) + " may go to pile " + std::to_string(p);
    }
    for (uint16_t p = 0; p < e.GetPileCount(); ++p)
        if (TryPileClick(e, p)) {
            UndoStep(e);
            return "no hint, yet a click on pile " + std::to_string(p) + " does something";
        }
    return "";
}

namespace {

// One depth-first search over the hints with undo. Positions already seen
// (by hash) are not entered again. Moves are tried in order of promise:
// cards to a foundation, then moves that turn a card up or empty a pile,
// then the rest (with `noSplits`: those that land a card on one of its own
// suit, then those to an empty pile), clicks last. A whole pile moved onto an empty one other than a foundation gains
// nothing and is left out.
// With `noSplits` only moves that make progress are tried: a run is not
// lifted off a face-up card that it could be lifted with (splitting a run
// the player may move whole), nor moved from one face-up card onto another
// of a different suit, unless it goes to a foundation or an empty pile. Far
// fewer positions, at the price of some wins.
// With `noReturns` no card is taken back off a foundation; `sawReturn` is
// set when such a move was offered.
void Search(CGameEngine& engine, const std::vector<std::string>& pileNames, long budget, bool noSplits,
            bool noReturns, bool& sawReturn, std::unordered_set<uint64_t>& seen, SearchResult& result) {
    struct Frame {
        std::vector<Step> options;
        size_t next = 0;
    };
    std::vector<Frame> stack;
    std::vector<std::pair<int, Step>> ranked;
    HintMemo memo;
    const long limit = result.nodes + budget;
    auto isFoundation = [&](uint16_t pile) { return pile < pileNames.size() && StartsWith(pileNames[pile], "foundation"); };
    auto rank = [&](const Step& s) {
        if (s.click) return 4;
        if (isFoundation(s.to)) return 0;
        if (isFoundation(s.from)) {
            sawReturn = true;
            if (noReturns) return -1;
        }
        const int below = engine.pileStates[s.from].count - s.count - 1;
        if (below < 0) return 1;
        const uint16_t under = engine.CardAt(s.from, below);
        if (under == kNone || !engine.cardStates[under].faceUp) return 1;
        if (!noSplits) return 2;
        if (CanPickUp(engine, under)) return -1;
        const uint16_t moved = engine.CardAt(s.from, below + 1), onto = engine.TopCard(s.to);
        if (onto == kNone) return 3;
        return moved != kNone && engine.cards[moved].suit == engine.cards[onto].suit ? 2 : -1;
    };
    auto expand = [&]() {
        ranked.clear();
        for (const Step& s : ListHints(engine, &memo)) {
            if (!s.click && s.count == engine.pileStates[s.from].count && engine.pileStates[s.to].count == 0 &&
                !isFoundation(s.to))
                continue;
            const int r = rank(s);
            if (r >= 0) ranked.emplace_back(r, s);
        }
        std::stable_sort(ranked.begin(), ranked.end(),
                         [](const std::pair<int, Step>& a, const std::pair<int, Step>& b) { return a.first < b.first; });
        Frame f;
        f.options.reserve(ranked.size());
        for (const auto& r : ranked) f.options.push_back(r.second);
        ++result.nodes;
        stack.push_back(std::move(f));
    };
    expand();
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next >= f.options.size() || result.nodes >= limit) {
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
            return;
        }
        if (!seen.insert(StateHash(engine)).second || stack.size() > 3000) {
            UndoStep(engine);
            continue;
        }
        expand();
    }
}

// The value of a position for the best-first search, worked out from the
// game's own piles and rules, the same way for every game: cards on the
// foundations (much the most), face-down cards still to turn, cards in the
// stock, face-up cards covered by others that cannot leave with the top
// run, cards lying as the piles' rules build them (each pair the drop rule
// would let go on the card below it, each pair the pick-up rule lets move
// together, each pair of one suit and next ranks), piles emptied, cards
// lying on one that a foundation takes sooner, and the cards over those a
// foundation takes next. A rule that takes most pairs (a waste pile taking
// any card) or none says nothing about order and is left out. The rule
// answers for a pair of cards are kept per program: a rule reads only the
// cards it is given, here the pair alone (or, for a foundation, its top
// card and the candidate), which is close enough for a measure.
class PositionValue {
public:
    enum class Measure { Covered, Unbuilt };
    PositionValue(const CGameEngine& engine, const std::vector<std::string>& pileNames, Measure m)
        : e(engine), measure(m) {
        roles.assign(e.pileStates.size(), Role::Other);
        for (size_t p = 0; p < roles.size() && p < pileNames.size(); ++p) {
            const std::string& n = pileNames[p];
            if (StartsWith(n, "foundation")) roles[p] = Role::Foundation;
            else if (n == "stock") roles[p] = Role::Stock;
            else if (StartsWith(n, "waste")) roles[p] = Role::Waste;
        }
        answers.assign(e.programs.size() * kPairs, kUnknown);
        telling.assign(e.programs.size() * 2, kUnknown);
        faceCard.assign(kFaces, kNone);
        for (uint16_t c = 0; c < e.cards.size(); ++c)
            if (faceCard[Face(c)] == kNone) faceCard[Face(c)] = c;
    }

    long operator()() {
        long found = 0, down = 0, built = 0, runs = 0, empty = 0, covered = 0, stock = 0, suited = 0, pairs = 0;
        const size_t piles = roles.size();
        for (size_t p = 0; p < piles; ++p) {
            const PileState& s = e.pileStates[p];
            if (roles[p] == Role::Foundation) {
                found += s.count;
                continue;
            }
            if (roles[p] == Role::Stock) {
                stock += s.count;
                continue;
            }
            if (s.count == 0) {
                empty += roles[p] == Role::Other && s.acceptsDrops && e.piles[p].baseKind != BaseNone;
                continue;
            }
            uint16_t below = kNone;
            for (uint16_t pos = 0; pos < s.count; ++pos) {
                const uint16_t card = e.CardAt(static_cast<uint16_t>(p), pos);
                if (card == kNone || !e.cardStates[card].faceUp) {
                    ++down;
                    below = kNone;
                    continue;
                }
                if (below != kNone) {
                    ++pairs;
                    built += Telling(s.dropProgram, Drop) && Pair(s.dropProgram, Drop, below, card);
                    runs += Telling(s.pickupProgram, Pickup) && Pair(s.pickupProgram, Pickup, below, card);
                    const CardDef& a = e.cards[below];
                    const CardDef& b = e.cards[card];
                    suited += a.suit == b.suit && (a.rank == b.rank + 1 || b.rank == a.rank + 1);
                }
                below = card;
            }
            // The face-up cards under the run that may leave the pile
            // from its top are covered.
            int up = 0, free = 0;
            for (int pos = s.count - 1; pos >= 0; --pos) {
                const uint16_t card = e.CardAt(static_cast<uint16_t>(p), pos);
                if (card == kNone || !e.cardStates[card].faceUp) break;
                ++up;
            }
            for (int pos = s.count - 1; pos >= s.count - up; --pos) {
                ++free;
                if (pos == s.count - up) break;
                const uint16_t card = e.CardAt(static_cast<uint16_t>(p), pos);
                const uint16_t under = e.CardAt(static_cast<uint16_t>(p), pos - 1);
                if (!Pair(s.pickupProgram, Pickup, under, card)) break;
            }
            covered += up - free;
        }
        // How soon each card can go home: the fewest cards each foundation
        // needs before it takes the card, over all foundations. A card lying
        // on one that goes home sooner blocks it; the cards over the one a
        // foundation takes next bury it.
        soon.assign(kFaces, kNever);
        for (size_t f = 0; f < piles; ++f) {
            if (roles[f] != Role::Foundation) continue;
            const PileState& fs = e.pileStates[f];
            const uint8_t* d = Soon(fs.dropProgram, fs.count ? e.CardAt(static_cast<uint16_t>(f), fs.count - 1) : kNone);
            for (int x = 0; x < kFaces; ++x) soon[x] = std::min(soon[x], d[x]);
        }
        long blocked = 0, buried = 0;
        for (size_t p = 0; p < piles; ++p) {
            if (roles[p] == Role::Foundation || roles[p] == Role::Stock) continue;
            const PileState& s = e.pileStates[p];
            uint8_t least = kNever;
            for (uint16_t pos = 0; pos < s.count; ++pos) {
                const uint16_t card = e.CardAt(static_cast<uint16_t>(p), pos);
                if (card == kNone) continue;
                const uint8_t d = soon[Face(card)];
                if (d == 1) buried += s.count - 1 - pos;
                if (d != kNever && d > least) ++blocked;
                least = std::min(least, d);
            }
        }
        const long value = 40 * found - 12 * down - 3 * stock + 3 * runs + 6 * suited + 10 * empty - 2 * buried - 5 * blocked;
        // The first measure counts the covered cards; the second, which
        // finds other lines, every pair lying as no rule builds it.
        return measure == Measure::Covered ? value - 3 * covered + 3 * built : value + 3 * built - 3 * (pairs - built);
    }

    // Whether the drop rule `program` builds: takes some pairs, not most.
    bool Building(uint16_t program) { return Telling(program, Drop); }
    // Whether `card` lies on `under` as the drop rule `program` builds.
    bool Built(uint16_t program, uint16_t under, uint16_t card) {
        return Telling(program, Drop) && Pair(program, Drop, under, card);
    }

private:
    enum class Role : uint8_t { Foundation, Stock, Waste, Other };
    enum Question { Drop, Pickup, Home };
    static constexpr int kFaces = 5 * 14;   // suit 0..4 by rank 0..13
    static constexpr size_t kPairs = size_t(3) * (kFaces + 1) * kFaces;
    static constexpr int8_t kUnknown = -1;

    int Face(uint16_t card) const { return card == kNone ? kFaces : e.cards[card].suit * 14 + e.cards[card].rank; }

    // Whether `program` answers yes for `card` over `under` (kNone: an
    // empty pile, only asked of a foundation).
    bool Pair(uint16_t program, Question q, uint16_t under, uint16_t card) {
        if (program >= e.programs.size()) return false;
        int8_t& known = answers[size_t(program) * kPairs + (size_t(q) * (kFaces + 1) + Face(under)) * kFaces + Face(card)];
        if (known != kUnknown) return known != 0;
        const RuleCard end{0, 0};
        const RuleCard c{e.cards[card].suit, e.cards[card].rank};
        const RuleCard u = under == kNone ? end : RuleCard{e.cards[under].suit, e.cards[under].rank};
        bool yes;
        if (q == Pickup) {
            const RuleCard a[] = {c, u, end}, b[] = {end};
            yes = EvaluateRuleProgram(a, b, e.programs[program]);
        } else {
            const RuleCard a[] = {c, end}, b[] = {u, end};
            yes = EvaluateRuleProgram(a, b, e.programs[program]);
        }
        known = yes ? 1 : 0;
        return yes;
    }

    // Whether a pair lying as `program` would build it tells anything: the
    // rule takes fewer than half of all pairs of faces (a pile that takes
    // any card on any other is not being built).
    bool Telling(uint16_t program, Question q) {
        if (program >= e.programs.size()) return false;
        int8_t& known = telling[size_t(program) * 2 + (q == Pickup)];
        if (known == kUnknown) {
            long yes = 0, all = 0;
            for (int u = 0; u < kFaces; ++u)
                for (int x = 0; x < kFaces; ++x)
                    if (faceCard[u] != kNone && faceCard[x] != kNone) {
                        ++all;
                        yes += Pair(program, q, faceCard[u], faceCard[x]);
                    }
            known = yes > 0 && 2 * yes < all ? 1 : 0;
        }
        return known != 0;
    }

    // For a foundation with drop rule `program` and top card `top`: how
    // many cards it needs, each card's own included, before it takes each
    // face (kNever: not within a pack's worth).
    const uint8_t* Soon(uint16_t program, uint16_t top) {
        std::vector<uint8_t>& d = chains[std::make_pair(program, Face(top))];
        if (!d.empty()) return d.data();
        d.assign(kFaces, kNever);
        std::vector<uint16_t> level{top}, next;
        for (uint8_t step = 1; step <= 13 && !level.empty(); ++step) {
            next.clear();
            for (uint16_t under : level)
                for (int x = 0; x < kFaces; ++x) {
                    const uint16_t card = faceCard[x];
                    if (card == kNone || d[x] != kNever || !Pair(program, Home, under, card)) continue;
                    d[x] = step;
                    next.push_back(card);
                }
            level.swap(next);
        }
        return d.data();
    }

    const CGameEngine& e;
    Measure measure;
    std::vector<Role> roles;
    std::vector<int8_t> answers, telling;
    std::vector<uint16_t> faceCard;   // a card of each face, kNone when the game has none
    std::map<std::pair<uint16_t, int>, std::vector<uint8_t>> chains;
    std::vector<uint8_t> soon;
    static constexpr uint8_t kNever = 255;
};

template <typename T>
bool SameBytes(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

// Everything a step may change: what the best-first search keeps of each
// position it expands, to go back to it.
struct Position {
    std::vector<CardState> cards;
    std::vector<PileState> piles;
    std::vector<CounterState> counters;
    std::vector<MoveLink> links;
    uint8_t finished = 0;
    uint32_t shuffleState = 0;
};
Position Keep(const CGameEngine& e) {
    return {e.cardStates, e.pileStates, e.counters, e.moveLinks, e.finished, e.shuffleState};
}
// Puts the game back to `p`, and the history back to its first `records`.
void Restore(CGameEngine& e, const Position& p, uint32_t records) {
    e.cardStates = p.cards;
    e.pileStates = p.piles;
    e.counters = p.counters;
    e.moveLinks = p.links;
    e.finished = p.finished;
    e.shuffleState = p.shuffleState;
    while (e.history->GetCount() > records) e.history->RemoveAt(e.history->GetCount() - 1);
}

uint64_t PositionHash(const CGameEngine& e) {
    uint64_t h = StateHash(e);
    for (const MoveLink& l : e.moveLinks) h = (h ^ ((uint64_t(l.sourcePile) << 16) | l.destPile)) * 1099511628211ull;
    return h;
}

// Best-first search: the position of highest value among all those seen
// and not yet expanded is expanded next (among equals, the one found
// last), until the game is finished or `budget` positions have been
// expanded. Each position is entered once. A position's steps are valued
// when it is expanded (each played and taken back); the position a step
// leads to is made again, from its parent's kept state, when its turn comes.
void BestFirst(CGameEngine& engine, const std::vector<std::string>& pileNames, long budget, bool progressOnly,
               PositionValue::Measure measure, SearchResult& result) {
    struct Node {
        uint32_t parent;
        Step step;
    };
    struct Open {
        long value;
        uint32_t order, parent;
        Step step;
        bool operator<(const Open& o) const { return value != o.value ? value < o.value : order < o.order; }
    };
    const uint32_t records = engine.history->GetCount();
    PositionValue value(engine, pileNames, measure);
    HintMemo memo;
    std::vector<Node> nodes{Node{0, Step{}}};
    std::vector<Position> kept{Keep(engine)};
    std::priority_queue<Open> open;
    std::unordered_set<uint64_t> seen{PositionHash(engine)};
    uint32_t order = 0;
    auto isFoundation = [&](uint16_t pile) { return pile < pileNames.size() && StartsWith(pileNames[pile], "foundation"); };
    const long limit = result.nodes + budget;
    auto finish = [&](uint32_t parent, const Step& last) {
        std::vector<Step> line{last};
        for (uint32_t n = parent; n != 0; n = nodes[n].parent) line.push_back(nodes[n].step);
        result.steps.assign(line.rbegin(), line.rend());
        result.won = true;
    };
    uint32_t current = 0;   // the node whose position the engine holds
    // Each pile's group: its name without the number at its end.
    std::vector<std::string> group(engine.pileStates.size());
    for (size_t p = 0; p < group.size() && p < pileNames.size(); ++p)
        group[p] = pileNames[p].substr(0, pileNames[p].find_last_not_of("0123456789") + 1);
    std::vector<std::tuple<uint16_t, uint16_t, std::string, uint16_t, uint16_t>> emptyTried;
    while (result.nodes < limit) {
        ++result.nodes;
        emptyTried.clear();
        for (const Step& s : ListHints(engine, &memo)) {
            // A whole pile moved onto an empty one other than a foundation
            // gains nothing.
            if (!s.click && s.count == engine.pileStates[s.from].count && engine.pileStates[s.to].count == 0 &&
                !isFoundation(s.to))
                continue;
            // Of the empty piles of one group that take cards by the same
            // rules, only the first is tried: the others lead to the same
            // game with the piles' names changed.
            if (!s.click && engine.pileStates[s.to].count == 0) {
                const PileState& to = engine.pileStates[s.to];
                const auto key = std::make_tuple(s.from, s.count, group[s.to], to.dropProgram, to.pickupProgram);
                if (std::find(emptyTried.begin(), emptyTried.end(), key) != emptyTried.end()) continue;
                emptyTried.push_back(key);
            }
            if (progressOnly && !s.click && !isFoundation(s.to) && !isFoundation(s.from)) {
                // Only moves that make progress: a card built on the one
                // under it (as its pile's drop rule builds) leaves it only
                // for a card of its own suit, not breaking a pair of one
                // suit, and a run the player may move whole is not split
                // to fill an empty pile.
                const int below = engine.pileStates[s.from].count - s.count - 1;
                if (below >= 0) {
                    const uint16_t under = engine.CardAt(s.from, below);
                    if (under != kNone && engine.cardStates[under].faceUp) {
                        const uint16_t moved = engine.CardAt(s.from, below + 1), onto = engine.TopCard(s.to);
                        const CardDef& m = engine.cards[moved];
                        const CardDef& u = engine.cards[under];
                        const uint16_t program = engine.pileStates[s.from].dropProgram;
                        if (value.Building(program) &&
                            (onto == kNone ? CanPickUp(engine, under)
                                           : m.suit != engine.cards[onto].suit || (u.suit == m.suit && u.rank == m.rank + 1)))
                            continue;
                    }
                }
            }
            if (!ApplyStep(engine, s)) continue;
            if (engine.finished) {
                finish(current, s);
                Restore(engine, kept[0], records);
                return;
            }
            if (seen.insert(PositionHash(engine)).second) open.push(Open{value(), order++, current, s});
            UndoStep(engine);
        }
        // The next position: made again from its parent's kept state.
        bool made = false;
        while (!made && !open.empty()) {
            const Open next = open.top();
            open.pop();
            Restore(engine, kept[next.parent], records);
            made = ApplyStep(engine, next.step);
            if (made) {
                current = static_cast<uint32_t>(nodes.size());
                nodes.push_back(Node{next.parent, next.step});
                kept.push_back(Keep(engine));
            }
        }
        if (!made) break;
    }
    Restore(engine, kept[0], records);
}

}  // namespace

SearchResult SearchForWin(CGameEngine& engine, const std::vector<std::string>& pileNames, long budget) {
    SearchResult result;
    if (engine.finished) {
        result.won = true;
        return result;
    }
    // First the best-first search with the moves that make progress: it
    // finds the long lines of games whose every choice looks alike to a
    // depth-first search (many piles open to each card, every card dealt
    // face up). Then, each with a fresh budget, the depth-first passes:
    // every move; the progress-only moves, which reach further in games of
    // long lines; in games that let a foundation card come back, those
    // moves left out (taking cards back multiplies the positions without
    // advancing, and the first passes can spend their budget on them).
    // Then the best-first search with every move, and last both best-first
    // passes again by the second measure of the position.
    using Measure = PositionValue::Measure;
    BestFirst(engine, pileNames, budget, true, Measure::Covered, result);
    bool sawReturn = false;
    for (int pass = 0; pass < 3 && !result.won; ++pass) {
        if (pass == 2 && !sawReturn) break;
        std::unordered_set<uint64_t> seen{StateHash(engine)};
        Search(engine, pileNames, budget, pass == 1, pass == 2, sawReturn, seen, result);
    }
    if (!result.won) BestFirst(engine, pileNames, budget, false, Measure::Covered, result);
    if (!result.won) BestFirst(engine, pileNames, budget, true, Measure::Unbuilt, result);
    if (!result.won) BestFirst(engine, pileNames, budget, false, Measure::Unbuilt, result);
    return result;
}

long SearchWinLength(CGameEngine& engine, const GameEntry& game, int number, std::map<int, long>& known) {
    // The search is a function of the deal alone: a number already searched
    // needs no second search.
    if (const auto it = known.find(number); it != known.end()) return it->second;
    StartGame(engine, static_cast<uint32_t>(number));
    const SearchResult won = SearchForWin(engine, game.pileNames, game.budget);
    return known[number] = won.won ? static_cast<long>(won.steps.size()) : -1;
}

std::vector<GameEntry> ParseLibraryIndex(const std::string& text) {
    std::vector<GameEntry> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> f;
        std::istringstream cols(line);
        for (std::string c; std::getline(cols, c, '\t');) f.push_back(c);
        if (f.size() != 9) continue;
        GameEntry g;
        g.position = std::atoi(f[0].c_str());
        g.key = f[1];
        g.name = f[2];
        // The numbers the search must win within: N, or FIRST..N.
        const size_t dots = f[3].find("..");
        g.winFirst = dots == std::string::npos ? 1 : std::atoi(f[3].c_str());
        g.winRange = std::atoi(f[3].c_str() + (dots == std::string::npos ? 0 : dots + 2));
        g.budget = std::atol(f[4].c_str());
        g.solver = f[5] == "-" ? "" : f[5];
        g.solverLayout = f[6] == "-" ? "" : f[6];
        g.referee = f[7] == "-" ? "" : f[7];
        std::istringstream names(f[8]);
        for (std::string n; std::getline(names, n, ',');) g.pileNames.push_back(n);
        out.push_back(g);
    }
    return out;
}

namespace {

// Which moves the move links let go, by source and destination pile. Undo
// may give back links that say the same in other words (a forbid that broke
// up a wildcard link is undone by one explicit link), so what they allow is
// compared, not the list itself; a pile to itself is no move at all.
std::vector<bool> MovePermissions(const CGameEngine& e) {
    const size_t n = e.GetPileCount();
    std::vector<bool> allowed(n * n);
    for (size_t s = 0; s < n; ++s)
        for (size_t d = 0; d < n; ++d)
            allowed[s * n + d] = s != d && e.MoveLinkAllows(static_cast<uint16_t>(s), static_cast<uint16_t>(d));
    return allowed;
}

struct Snapshot {
    std::vector<CardState> cards;
    std::vector<PileState> piles;
    std::vector<CounterState> counters;
    uint8_t finished = 0;
    uint32_t shuffleState = 0;
    std::vector<bool> moves;
    // What differs from `o`, "" when nothing does.
    std::string Difference(const Snapshot& o) const {
        if (!SameBytes(cards, o.cards)) return "the cards";
        if (!SameBytes(piles, o.piles)) return "the piles";
        if (!SameBytes(counters, o.counters)) return "the counters";
        if (finished != o.finished) return "the finished flag";
        if (shuffleState != o.shuffleState) return "the shuffle generator";
        if (moves != o.moves) {
            const size_t n = piles.size();
            for (size_t i = 0; i < moves.size() && n > 0; ++i)
                if (moves[i] != o.moves[i])
                    return "the move links (pile " + std::to_string(i / n) + " to pile " + std::to_string(i % n) +
                           (moves[i] ? " is no longer allowed)" : " is allowed now)");
        }
        return "";
    }
};
Snapshot Take(const CGameEngine& e) {
    return {e.cardStates, e.pileStates, e.counters, e.finished, e.shuffleState, MovePermissions(e)};
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

// A solver's move of several cards that the game lets go only in smaller
// parts (one card at a time, or one run at a time, a run being cards of one
// suit, each one rank below the card beneath it): made as a player would,
// by parking the upper cards in empty free cells and empty columns and
// moving them on again. A way that fails is taken back before the next is
// tried; the number of tries is bounded, so a move no way makes fails
// quickly.
class HandMover {
public:
    HandMover(CGameEngine& engine, const std::vector<int>& cellPiles, const std::vector<int>& columnPiles)
        : e(engine), cells(cellPiles), columns(columnPiles) {}

    bool Move(uint16_t from, uint16_t to, uint16_t count) {
        if (from >= e.GetPileCount() || to >= e.GetPileCount() || count > e.pileStates[from].count) return false;
        if (Apply(from, to, count)) return true;
        if (count < 2) return false;
        const size_t mark = made;
        // An empty column takes the upper part: the upper half of the runs,
        // or as many cards as the spaces left could move on their own.
        if (const int column = Empty(columns, from, to); column >= 0) {
            const uint16_t spare = static_cast<uint16_t>(column);
            std::vector<uint16_t> parts;
            if (const uint16_t upper = UpperRuns(from, count); upper > 0) parts.push_back(upper);
            const int freeCells = Count(cells, from, to), freeColumns = Count(columns, from, to) - 1;
            const long capacity = static_cast<long>(freeCells + 1) << std::min(freeColumns, 12);
            const uint16_t most = static_cast<uint16_t>(std::min<long>(count - 1, capacity));
            if (std::find(parts.begin(), parts.end(), most) == parts.end()) parts.push_back(most);
            for (uint16_t upper : parts) {
                if (Move(from, spare, upper) && Move(from, to, static_cast<uint16_t>(count - upper)) &&
                    Move(spare, to, upper))
                    return true;
                Rollback(mark);
            }
        }
        // An empty free cell takes the top card.
        if (const int cell = Empty(cells, from, to); cell >= 0) {
            const uint16_t spare = static_cast<uint16_t>(cell);
            if (Apply(from, spare, 1) && Move(from, to, static_cast<uint16_t>(count - 1)) && Move(spare, to, 1))
                return true;
            Rollback(mark);
        }
        return false;
    }

    std::string why;

private:
    static constexpr long kMostTries = 20000;

    bool Apply(uint16_t from, uint16_t to, uint16_t count) {
        if (++tries > kMostTries || !ApplyStep(e, Step{false, from, to, count}, &why)) return false;
        ++made;
        return true;
    }
    void Rollback(size_t mark) {
        for (; made > mark; --made) UndoStep(e);
    }
    int Empty(const std::vector<int>& group, uint16_t from, uint16_t to) const {
        for (int p : group)
            if (p != from && p != to && e.pileStates[p].count == 0) return p;
        return -1;
    }
    int Count(const std::vector<int>& group, uint16_t from, uint16_t to) const {
        int n = 0;
        for (int p : group) n += p != from && p != to && e.pileStates[p].count == 0;
        return n;
    }
    // The cards in the upper half of the runs among the top `count` cards
    // of `from`, or 0 when they are one run.
    uint16_t UpperRuns(uint16_t from, uint16_t count) const {
        std::vector<uint16_t> runs;
        const uint16_t n = e.pileStates[from].count;
        for (uint16_t k = 0; k < count; ++k) {
            const uint16_t pos = static_cast<uint16_t>(n - 1 - k);
            const uint16_t card = e.CardAt(from, pos);
            if (card == kNone) return 0;
            const CardDef& c = e.cards[card];
            bool joins = false;
            if (k > 0) {
                const CardDef& above = e.cards[e.CardAt(from, static_cast<uint16_t>(pos + 1))];
                joins = above.suit == c.suit && above.rank + 1 == c.rank;
            }
            if (joins) ++runs.back(); else runs.push_back(1);
        }
        if (runs.size() < 2) return 0;
        uint16_t upper = 0;
        for (size_t r = 0; r < (runs.size() + 1) / 2; ++r) upper = static_cast<uint16_t>(upper + runs[r]);
        return upper;
    }

    CGameEngine& e;
    const std::vector<int>& cells;
    const std::vector<int>& columns;
    size_t made = 0;
    long tries = 0;
};

}  // namespace

bool MoveByHand(CGameEngine& engine, uint16_t from, uint16_t to, uint16_t count, const std::vector<int>& cells,
                const std::vector<int>& columns, std::string& why) {
    HandMover mover(engine, cells, columns);
    const bool done = mover.Move(from, to, count);
    why = mover.why;
    return done;
}

namespace {

// Runs fc-solve, found on the PATH, with `args` as its argument vector (no
// shell sees them) and collects its standard output and error. False when
// it cannot be started.
bool RunSolver(const std::vector<std::string>& args, std::vector<std::string>& lines) {
    int fds[2];
    if (pipe(fds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<char*> argv;
    static char program[] = "fc-solve";
    argv.push_back(program);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return false;
    }
    FILE* out = fdopen(fds[0], "r");
    char buf[512];
    while (out && std::fgets(buf, sizeof buf, out)) lines.push_back(buf);
    if (out) std::fclose(out); else close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    // posix_spawnp reports a program it cannot find only through the exit
    // status on some C libraries.
    return !(WIFEXITED(status) && WEXITSTATUS(status) == 127 && lines.empty());
}

std::string ReplaySolution(CGameEngine& e, const std::vector<std::string>& lines, const std::vector<int>& stacks,
                           const std::vector<int>& cells, const std::vector<int>& founds, SolverVerdict& verdict);

// The solver's options for a run that can prove a deal has no solution:
// the game's own options without its preset, and every kind of move the
// solver knows for the game (Simple Simon's own moves for its games, all
// freecell moves, single-card and combined, for the others). "I could not
// solve this game" from such a run means that it went through every
// position those moves reach. A preset's scans may leave kinds of moves
// out (one made for freecell games has none of Simple Simon's), so its
// "could not solve" proves nothing.
// The game named by the options' -g.
std::string SolverGame(const std::vector<std::string>& options) {
    for (size_t i = 0; i + 1 < options.size(); i += 2)
        if (options[i] == "-g") return options[i + 1];
    return "";
}

std::vector<std::string> ProvingOptions(const std::vector<std::string>& options) {
    std::vector<std::string> proving;
    const std::string game = SolverGame(options);
    for (size_t i = 0; i + 1 < options.size(); i += 2)
        if (options[i] != "-l") proving.insert(proving.end(), {options[i], options[i + 1]});
    proving.insert(proving.end(), {"--method", "soft-dfs", "-to", game == "simple_simon" ? "abcdefghi" : "0123456789ABCDEj"});
    return proving;
}

}  // namespace

std::string SolverReplay(CGameEngine& e, const GameEntry& g, SolverVerdict& verdict) {
    verdict = SolverVerdict::Unknown;
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
    std::vector<std::string> args;
    std::istringstream words(g.solver);
    for (std::string w; words >> w;) args.push_back(w);
    std::string refused;
    if (!CheckSolverOptions(args, refused)) return "the solver line is refused: " + refused;
    char path[] = "/tmp/corvelle-board-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return "cannot write a board file";
    FILE* f = fdopen(fd, "w");
    std::fputs(board.c_str(), f);
    std::fclose(f);
    // -sel tells a count of iterations running out from a proof of no solution.
    const std::vector<std::string> common = {"-sel", "--freecells-num", std::to_string(cells.size()), "--stacks-num",
                                             std::to_string(stacks.size()), "-m", path};
    const auto run = [&](std::vector<std::string> line, std::vector<std::string>& lines) {
        line.insert(line.end(), common.begin(), common.end());
        return RunSolver(line, lines);
    };
    std::vector<std::string> lines;
    bool ran = run(args, lines);
    std::string result = ran ? ReplaySolution(e, lines, stacks, cells, founds, verdict) : "";
    if (ran && result.empty() && verdict == SolverVerdict::Unsolvable) {
        // The game's own run ran out of positions: undecided until a run
        // with every kind of move does too. No move was made: the deal is
        // still as it was dealt.
        verdict = SolverVerdict::Unknown;
        lines.clear();
        ran = run(ProvingOptions(args), lines);
        if (ran) result = ReplaySolution(e, lines, stacks, cells, founds, verdict);
        // Simple Simon's moves leave some legal moves out (a card is never
        // moved from one card of another suit onto another, which may bare
        // the card under it): going through every position they reach
        // proves nothing.
        if (verdict == SolverVerdict::Unsolvable && SolverGame(args) == "simple_simon") verdict = SolverVerdict::Unknown;
    }
    std::remove(path);
    if (!ran) return "cannot run fc-solve";
    return result;
}

namespace {

// Replays the solver's output through the player move: "" or the failure,
// and the solver's verdict.
std::string ReplaySolution(CGameEngine& e, const std::vector<std::string>& lines, const std::vector<int>& stacks,
                           const std::vector<int>& cells, const std::vector<int>& founds, SolverVerdict& verdict) {
    verdict = SolverVerdict::Unknown;
    bool sawMove = false;
    for (const std::string& raw : lines) {
        if (raw.find("could not solve") != std::string::npos) {
            verdict = SolverVerdict::Unsolvable;
            return "";
        }
        if (raw.find("Iterations count exceeded") != std::string::npos) return "";
        std::smatch m;
        std::vector<int> targets;
        int from = -1;
        uint16_t count = 1;   // a sequence moves as one step of the player
        const std::string text = raw.substr(0, raw.find_last_not_of("\r\n") + 1);
        static const std::regex toFoundation("Move a card from (stack|freecell) (\\d+) to the foundations");
        static const std::regex toCell("Move a card from stack (\\d+) to freecell (\\d+)");
        static const std::regex fromCell("Move a card from freecell (\\d+) to stack (\\d+)");
        static const std::regex stackToStack("Move (\\d+) cards from stack (\\d+) to stack (\\d+)");
        static const std::regex runToFoundation("Move the sequence on top of Stack (\\d+) to the foundations");
        const auto at = [](const std::vector<int>& v, const std::string& i) {
            const size_t k = std::stoul(i);
            return k < v.size() ? v[k] : -1;
        };
        if (std::regex_match(text, m, toFoundation)) { from = at(m[1] == "stack" ? stacks : cells, m[2]); targets = founds; }
        else if (std::regex_match(text, m, toCell)) { from = at(stacks, m[1]); targets = {at(cells, m[2])}; }
        else if (std::regex_match(text, m, fromCell)) { from = at(cells, m[1]); targets = {at(stacks, m[2])}; }
        else if (std::regex_match(text, m, stackToStack)) {
            count = static_cast<uint16_t>(std::stoul(m[1]));
            from = at(stacks, m[2]);
            targets = {at(stacks, m[3])};
        } else if (std::regex_match(text, m, runToFoundation)) {
            // Games that move whole suits to the foundations: thirteen cards.
            count = 13;
            from = at(stacks, m[1]);
            targets = founds;
        } else if (StartsWith(text, "Move")) {
            return "unknown solver move: " + text;
        } else {
            continue;
        }
        if (from < 0 || std::find(targets.begin(), targets.end(), -1) != targets.end())
            return "the solver names a pile the game does not have: " + text;
        sawMove = true;
        if (e.pileStates[from].count < count) return "the solver moves more cards than the pile holds: " + raw;
        bool done = false;
        std::string why;
        if (targets.size() == 1 && count > 1 && targets[0] != from) {
            done = MoveByHand(e, static_cast<uint16_t>(from), static_cast<uint16_t>(targets[0]), count, cells, stacks, why);
        } else {
            for (int t : targets)
                if (ApplyStep(e, Step{false, static_cast<uint16_t>(from), static_cast<uint16_t>(t), count}, &why)) { done = true; break; }
        }
        if (!done) return "solver step refused (" + why + "): " + raw;
    }
    if (!sawMove && !e.finished) return "";
    verdict = SolverVerdict::Solved;
    return e.finished ? "" : "the solver's moves do not finish the game";
}

}  // namespace

namespace {

using CheckClock = std::chrono::steady_clock;

double SecondsSince(CheckClock::time_point start) {
    return std::chrono::duration<double>(CheckClock::now() - start).count();
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

// " [S s]": how long a part of the check took, for the log.
std::string Took(double seconds) { return " [" + Seconds(seconds) + "]"; }

}  // namespace

std::vector<std::string> CheckGame(const GameEntry& game, const uint8_t* record, size_t length,
                                   const CheckOptions& options, std::vector<std::string>& log) {
    std::vector<std::string> failures;
    CGameEngine e;
    if (!e.LoadGameDefinition(record, length)) return {"the engine refuses the record"};
    std::string why;
    auto start = CheckClock::now();
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
    log.push_back("dealt " + std::to_string(options.dealNumbers) + " numbers" + Took(SecondsSince(start)));
    start = CheckClock::now();
    // 2. Winnable by the bounded search.
    int wonAt = 0;
    long nodes = 0;
    // The search is a function of the deal alone, so its answer for each
    // number is kept for the solver's cross-check below: number -> the
    // length of its winning line, or -1 when the search found none.
    std::map<int, long> searched;
    std::vector<Step> winningLine;
    for (int n = game.winFirst; n <= game.winRange && !wonAt; ++n) {
        StartGame(e, static_cast<uint32_t>(n));
        const SearchResult r = SearchForWin(e, game.pileNames, game.budget);
        nodes += r.nodes;
        searched[n] = r.won ? static_cast<long>(r.steps.size()) : -1;
        if (r.won) {
            // The win counts only when a player can play it: replayed as
            // `play` plays it, from a fresh deal.
            const std::string replay = ReplayAsPlayer(record, length, static_cast<uint32_t>(n), r.steps);
            if (!replay.empty()) failures.push_back("the winning line of number " + std::to_string(n) + ": " + replay);
            wonAt = n;
            winningLine = r.steps;
        }
    }
    if (!wonAt) failures.push_back("no win found in game numbers " + std::to_string(game.winFirst) + ".." + std::to_string(game.winRange));
    log.push_back((wonAt ? "won game number " + std::to_string(wonAt) + " (" + std::to_string(nodes) + " positions searched)"
                         : "no win in " + std::to_string(game.winFirst) + ".." + std::to_string(game.winRange)) +
                  Took(SecondsSince(start)));
    start = CheckClock::now();
    // 3. Random play from the hints with undo; every game undone to its deal.
    uint32_t rng = 12345;
    auto next = [&](uint32_t m) { rng = rng * 1103515245u + 12345u; return (rng >> 8) % m; };
    int steps = 0, games = 0, stuck = 0;
    HintMemo memo;
    for (uint32_t number = 1000; steps < options.soakSteps && failures.size() < 5; ++number) {
        StartGame(e, number);
        ++games;
        const Snapshot dealt = Take(e);
        int depth = 0;
        while (steps < options.soakSteps) {
            const std::vector<Step> hints = ListHints(e, &memo);
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
                    failures.push_back("number " + std::to_string(number) + ": hint " + s.ToString() + " refused: " + why);
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
        // Undo never takes back the end of a game (finishing has nothing to
        // invert), so a game that random play happened to win is compared
        // without its finished flag.
        const bool won = e.finished != 0;
        while (UndoStep(e)) {}
        if (won) e.finished = 0;
        const std::string differs = dealt.Difference(Take(e));
        if (!differs.empty())
            failures.push_back("number " + std::to_string(number) + ": undoing every step does not give back the deal: " +
                               differs);
    }
    log.push_back("random play: " + std::to_string(steps) + " steps in " + std::to_string(games) + " games, " +
                  std::to_string(stuck) + " stuck positions without any move" + Took(SecondsSince(start)));
    // 4. The independent solver, both ways: its solutions replay, and where
    // it proves a deal has none, the search finds no win either.
    if (options.runSolver && !game.solver.empty()) {
        int solved = 0, unsolvable = 0, tried = 0;
        double solving = 0, searching = 0;
        for (int n = 1; tried < options.solverNumbers && n <= options.solverNumbers * 2; ++n) {
            StartGame(e, static_cast<uint32_t>(n));
            SolverVerdict verdict = SolverVerdict::Unknown;
            start = CheckClock::now();
            const std::string r = SolverReplay(e, game, verdict);
            solving += SecondsSince(start);
            ++tried;
            if (!r.empty()) {
                failures.push_back("fc-solve, number " + std::to_string(n) + ": " + r);
                break;
            }
            solved += verdict == SolverVerdict::Solved;
            if (verdict != SolverVerdict::Unsolvable) continue;
            ++unsolvable;
            start = CheckClock::now();
            const long winLength = SearchWinLength(e, game, n, searched);
            searching += SecondsSince(start);
            if (winLength >= 0)
                failures.push_back("fc-solve proves number " + std::to_string(n) + " unsolvable, yet the search wins it in " +
                                   std::to_string(winLength) + " steps");
        }
        if (solved == 0) failures.push_back("fc-solve solved none of the deals");
        log.push_back("fc-solve: " + std::to_string(solved) + " of " + std::to_string(tried) +
                      " deals solved and replayed, " + std::to_string(unsolvable) +
                      " proved unsolvable and not won by the search" + Took(solving + searching) +
                      " (fc-solve " + Seconds(solving) + ", the search " + Seconds(searching) + ")");
    }
    // 5. The rules model, both ways, where the game names one.
    if (options.refereeNumbers > 0 && !game.referee.empty()) {
        start = CheckClock::now();
        RefereeCheck(game, record, length, options.refereeNumbers, wonAt, winningLine, searched, failures, log);
        if (!log.empty()) log.back() += Took(SecondsSince(start));
    }
    return failures;
}

}  // namespace corvelle::gamec
