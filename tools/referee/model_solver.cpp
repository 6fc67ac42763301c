#include "tools/referee/model_solver.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <queue>
#include <string>
#include <unordered_set>

#include "tools/referee/rules_internal.h"

namespace corvelle::referee {
namespace {

uint64_t Mix(uint64_t h, uint64_t v) { return (h ^ v) * 1099511628211ull; }
constexpr uint64_t kSeed = 1469598103934665603ull;

uint8_t Code(const Card& c) { return static_cast<uint8_t>(c.suit * 16 + c.rank + (c.faceUp ? 0x80 : 0)); }

uint64_t PileHash(const Pile& pile) {
    uint64_t h = kSeed;
    for (const Card& c : pile) h = Mix(h, Code(c));
    return h;
}

// The position's hash, the same for positions that differ only in the order
// of their foundations, or of their columns where the rules treat the
// columns alike.
uint64_t Key(const Rules& rules, const Position& p, std::vector<uint64_t>& scratch) {
    // Redeals made count only where their number is limited.
    uint64_t h = Mix(kSeed, rules.redeals < 0 ? 0 : static_cast<uint64_t>(p.redeals));
    const auto group = [&](const std::vector<Pile>& piles, bool alike) {
        scratch.clear();
        for (const Pile& pile : piles) scratch.push_back(PileHash(pile));
        if (alike) std::sort(scratch.begin(), scratch.end());
        for (uint64_t v : scratch) h = Mix(h, v);
        h = Mix(h, 0xFFFF);
    };
    group(p.columns, rules.GetGameKind() == Kind::Building && building::Interchangeable(rules, p));
    group(p.foundations, true);
    group(p.reserves, false);
    h = Mix(h, PileHash(p.stock));
    // Golf never plays a card from under the waste's top card.
    if (rules.GetGameKind() == Kind::Golf) return Mix(h, p.waste.empty() ? 0 : Code(p.waste.back()));
    return Mix(h, PileHash(p.waste));
}

// How many cards of each suit and rank are home.
using Counts = std::array<std::array<uint8_t, 14>, 5>;
Counts Home(const Position& p) {
    Counts home{};
    for (const Pile& f : p.foundations)
        for (const Card& c : f) ++home[c.suit][c.rank];
    return home;
}

// The cards the foundations take next, card by card: per suit and rank.
using Wanted = std::array<std::array<bool, 14>, 5>;
Wanted WantedNext(const Rules& rules, const Position& p) {
    Wanted out{};
    // Where whole runs go home, the Aces, which end them, are the cards to
    // dig for.
    if (rules.home == Home::Runs)
        for (uint8_t s = 1; s <= 4; ++s) out[s][1] = true;
    if (rules.home != Home::Cards) return out;
    const int base = building::BaseRank(rules, p);
    bool open = false;
    for (const Pile& f : p.foundations) {
        if (f.empty()) open = true;
        else if (f.size() < 13)
            for (uint8_t s = 1; s <= 4; ++s)
                if (SuitsAgree(rules.homeBuild, s, f.back().suit)) out[s][f.back().rank % 13 + 1] = true;
    }
    if (open && base > 0)
        for (int s = 1; s <= 4; ++s) out[static_cast<size_t>(s)][static_cast<size_t>(base)] = true;
    return out;
}

// The suits a card may be built on by `rule`, as a set of bits 1 << suit.
unsigned SuitsOn(SuitRule rule, uint8_t suit) {
    unsigned out = 0;
    for (uint8_t s = 1; s <= 4; ++s) {
        const bool ok = rule == SuitRule::Any || (rule == SuitRule::Suit && s == suit) || (rule == SuitRule::Other && s != suit) ||
                        (rule == SuitRule::Alt && Red(s) != Red(suit)) || (rule == SuitRule::Colour && Red(s) == Red(suit));
        if (ok) out |= 1u << s;
    }
    return out;
}

// A move that no winning line needs to put off: a card going home that no
// card left out of the foundations could ever be built on, so that it has
// no further use in the columns (where foundation cards come back to the
// columns, not even one built on such a card in turn); or a free King that
// a Pyramid game discards alone. Only where the ranks run plainly from Ace
// to King; not in Cruel, where every card left in the columns changes where
// the redeal puts the others, nor where an empty column stops the stock's
// next row or is filled from the reserve at once; and not for the waste's
// card where the stock turns several cards at a time, as taking it away
// changes which cards the next rounds turn up.
bool Safe(const Rules& rules, const Position& p, const Counts& home, const Move& m) {
    if (rules.GetGameKind() == Kind::Pyramid) return m.click && m.from.role != Role::Stock;
    if (rules.GetGameKind() != Kind::Building || m.click || m.to.role != Role::Foundation || rules.home != Home::Cards) return false;
    if (rules.base != Base::Rank || rules.baseRank != 1 || rules.wrap || rules.aceOnKing || rules.acesHigh || rules.sameRank ||
        rules.homeBuild != SuitRule::Suit || rules.stock == Stock::Regather || (rules.stock == Stock::Row && rules.rowOnEmpty != RowOnEmpty::Deal) || rules.fill != Fill::None || (m.from.role == Role::Waste && rules.draw > 1))
        return false;
    if (rules.build == SuitRule::None) return true;
    const Card& c = PileAt(p, m.from).back();
    const int depth = rules.fromFoundation ? c.rank - 1 : 1;
    unsigned suits = SuitsOn(rules.build, c.suit) & 0x1E;
    for (int k = 1; k <= depth && c.rank - k >= 1; ++k) {
        unsigned next = 0;
        for (uint8_t s = 1; s <= 4; ++s) {
            if (!(suits & (1u << s))) continue;
            if (rules.suits.find("CSDH"[s - 1]) != std::string::npos && home[s][c.rank - k] < rules.decks) return false;
            next |= SuitsOn(rules.build, s);
        }
        suits = next & 0x1E;
    }
    return true;
}

// A move of the search: `clicks` clicks on the stock, then `move`. Where
// the stock turns cards onto the waste and back without limit, clicks
// change only which of the stock's and waste's cards lies on top of the
// waste, and every other move leaves those two piles as they are; so a line
// of play loses nothing when its clicks are put off until just before the
// move that plays the waste's top card, and the search makes them there,
// together with that move.
struct Step {
    int clicks = 0;
    Move move;
};

bool FromWaste(const Move& m) { return !m.click ? m.from.role == Role::Waste || m.to.role == Role::Waste : m.from.role == Role::Waste; }

// A move that takes a column's cards off a card they are built on and puts
// them on another column's card, where they do not join a run they did not
// join before: a shuffle that rarely helps.
bool Shuffle(const Rules& rules, const Position& p, const Move& m) {
    if (m.click || m.from.role != Role::Column || m.to.role != Role::Column) return false;
    const Pile& from = p.columns[static_cast<size_t>(m.from.index)];
    const Pile& to = p.columns[static_cast<size_t>(m.to.index)];
    const size_t below = from.size() - static_cast<size_t>(m.count);
    if (below == 0 || to.empty()) return false;
    const Card& moved = from[below];
    if (!BuildsOn(rules, moved, from[below - 1])) return false;
    return !Follows(rules, rules.runs, moved, to.back()) || Follows(rules, rules.runs, moved, from[below - 1]);
}

// The position's moves, grouped: to a foundation or off the tableau; moves
// that uncover a face-down card or dig towards a card the foundations want
// next (the fewer cards left over it, the earlier); the other moves of a
// card that does not lie on a card it could be built on; the stock; moves
// that take a card off a card it is built on; cards back from the
// foundations. The search enters the newest of equally promising positions
// first, so among those the moves listed last are tried first (an order
// that solves more deals within the budget than the reverse). In Golf and
// Pyramid games the stock comes last. A safe move is the only one listed;
// a narrow search leaves shuffles out.
std::vector<Move> Ordered(const Rules& rules, const Position& p, std::vector<Move> moves, bool narrow) {
    if (narrow) moves.erase(std::remove_if(moves.begin(), moves.end(), [&](const Move& m) { return Shuffle(rules, p, m); }), moves.end());
    const Counts home = Home(p);
    for (const Move& m : moves)
        if (Safe(rules, p, home, m)) return {m};
    if (rules.GetGameKind() != Kind::Building) {
        std::stable_partition(moves.begin(), moves.end(), [](const Move& m) { return !(m.click && m.from.role == Role::Stock); });
        return moves;
    }
    const Wanted wanted = WantedNext(rules, p);
    // Cards over the highest card the foundations want next, per column;
    // a large number where there is none.
    std::vector<int> over(p.columns.size(), 1000);
    for (size_t c = 0; c < p.columns.size(); ++c) {
        const auto& column = p.columns[c];
        for (size_t i = 0; i < column.size(); ++i)
            if (wanted[column[i].suit][column[i].rank]) over[c] = static_cast<int>(column.size() - 1 - i);
    }
    const auto key = [&](const Move& m) {
        if (m.click) return 150;
        if (m.to.role == Role::Foundation) return 0;
        if (m.from.role == Role::Foundation) return 250;
        if (m.from.role != Role::Column) return 100;
        const auto& from = p.columns[static_cast<size_t>(m.from.index)];
        const size_t below = from.size() - static_cast<size_t>(m.count);
        if (below > 0 && !from[below - 1].faceUp) return 1;
        const int left = over[static_cast<size_t>(m.from.index)] - m.count;
        if (left >= 0 && left < 1000 - 104) return 2 + left;
        if (below == 0 || !BuildsOn(rules, from[below], from[below - 1])) return 100;
        return 200;
    };
    std::vector<std::pair<int, Move>> keyed;
    keyed.reserve(moves.size());
    for (const Move& m : moves) keyed.emplace_back(key(m), m);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i) moves[i] = keyed[i].second;
    return moves;
}

// The search's steps from `p`. Where the stock turns onto a waste without
// a limit on the redeals, the clicks go through the stock and its redeals
// until the waste is as it was, and each arrangement on the way offers its
// moves of the waste's top card. (With a limit, a click is a step of its
// own: going through the stock ahead of time gives the search more steps
// than it can afford, and spends a redeal it may need.)
std::vector<Step> Steps(const Rules& rules, const Position& p, bool narrow) {
    const bool talon = rules.stock == Stock::Waste && rules.redeals < 0;
    std::vector<Move> here = LegalMoves(rules, p);
    if (talon) here.erase(std::remove_if(here.begin(), here.end(), [](const Move& m) { return m.click && m.from.role == Role::Stock; }), here.end());
    const std::vector<Move> ordered = Ordered(rules, p, here, narrow);
    std::vector<Step> out;
    for (const Move& m : ordered) out.push_back({0, m});
    if (!talon || (ordered.size() == 1 && Safe(rules, p, Home(p), ordered[0]))) return out;
    Position t = p;
    std::vector<std::pair<size_t, size_t>> met{{t.stock.size(), t.waste.size()}};
    const Move click = Click({Role::Stock, 0});
    for (int clicks = 1; !WhyNot(rules, t, click); ++clicks) {
        Make(rules, t, click);
        const std::pair<size_t, size_t> sizes{t.stock.size(), t.waste.size()};
        if (std::find(met.begin(), met.end(), sizes) != met.end()) break;
        met.push_back(sizes);
        for (const Move& m : LegalMoves(rules, t))
            if (FromWaste(m) && !(m.click && m.from.role == Role::Stock)) out.push_back({clicks, m});
    }
    return out;
}

// A position packed into bytes while it waits in the search: the redeals
// made, then each pile's cards (suit * 16 + rank, with 0x80 when face up)
// ending in 0xFF: the columns, foundations and reserves, the stock and the
// waste. The discard pile is left out: no rule reads it.
void PackPile(const Pile& pile, std::string& out) {
    for (const Card& c : pile) out += static_cast<char>(Code(c));
    out += static_cast<char>(0xFF);
}

std::string Pack(const Position& p) {
    std::string out(1, static_cast<char>(p.redeals));
    for (const auto* group : {&p.columns, &p.foundations, &p.reserves})
        for (const Pile& pile : *group) PackPile(pile, out);
    PackPile(p.stock, out);
    PackPile(p.waste, out);
    return out;
}

// The piles' vectors keep their storage from one position to the next.
void Unpack(const std::string& packed, Position& p) {
    p.redeals = static_cast<uint8_t>(packed[0]);
    size_t i = 1;
    const auto pile = [&](Pile& out) {
        out.clear();
        for (; static_cast<uint8_t>(packed[i]) != 0xFF; ++i) {
            const auto b = static_cast<uint8_t>(packed[i]);
            out.push_back({static_cast<uint8_t>((b & 0x7F) >> 4), static_cast<uint8_t>(b & 15), (b & 0x80) != 0});
        }
        ++i;
    };
    for (auto* group : {&p.columns, &p.foundations, &p.reserves})
        for (Pile& each : *group) pile(each);
    pile(p.stock);
    pile(p.waste);
}

// How promising a position looks. Building games: cards home and cards
// built on the next card up count for it; face-down cards, cards lying over
// those the foundations want next and, where the stock is gone through a
// limited number of times, cards waiting in the waste against it. Where
// whole runs go home: cards home, and cards lying on their suit's next card,
// for it; face-down cards against it. Golf: the cards gone from the
// tableau, the stock's cards kept, columns of even heights. Pyramid: the
// cards gone from the tableau and, where all of the stock comes to it, from
// the stock.
int Score(const Rules& rules, const Position& p) {
    if (rules.GetGameKind() != Kind::Building) {
        // The stock's cards count too where they all come to the tableau.
        int left = rules.stock == Stock::Row || rules.fill == Fill::Stock ? static_cast<int>(p.stock.size()) : 0;
        for (const auto* group : {&p.columns, &p.reserves})
            for (const Pile& pile : *group) left += static_cast<int>(pile.size());
        if (rules.GetGameKind() != Kind::Golf) return -8 * left;
        int tall = 0;
        for (const Pile& c : p.columns) tall += static_cast<int>(c.size() * c.size());
        return -8 * left + 8 * static_cast<int>(p.stock.size()) - tall / 2;
    }
    int home = 0, down = 0, buried = 0, runs = 0, built = 0;
    const Wanted wanted = WantedNext(rules, p);
    for (const Pile& f : p.foundations) home += static_cast<int>(f.size());
    for (const Pile& column : p.columns) {
        for (size_t i = 0; i < column.size(); ++i) {
            const Card& c = column[i];
            down += !c.faceUp;
            if (wanted[c.suit][c.rank]) buried += static_cast<int>(column.size() - 1 - i);
            if (i > 0 && c.faceUp) {
                built += BuildsOn(rules, c, column[i - 1]);
                runs += rules.home == Home::Runs && Follows(rules, rules.runs, c, column[i - 1]);
            }
        }
    }
    const int waste = rules.stock == Stock::Waste && rules.redeals >= 0 ? static_cast<int>(p.waste.size()) : 0;
    if (rules.home == Home::Runs) return 16 * home - 4 * down + 8 * runs;
    return 8 * home - 4 * down - 3 * buried + 4 * built - 4 * waste;
}

// Searches best first from `start` with `budget` positions: the most
// promising position waiting is the next one entered, the newest among
// equals. Each remembers the position it came from and the step, for the
// line back to the start.
Solution Search(const Rules& rules, const Position& start, long budget, bool narrow) {
    Solution out;
    struct Node {
        std::string packed;
        long parent;
        Step step;
    };
    std::vector<Node> nodes;
    using Entry = std::pair<int, long>;   // score, node
    std::priority_queue<Entry> waiting;
    std::vector<uint64_t> scratch;
    std::unordered_set<uint64_t> seen{Key(rules, start, scratch)};
    nodes.push_back({Pack(start), -1, {}});
    waiting.push({Score(rules, start), 0});
    out.positions = 1;
    Position p = start, q = start;
    const Move click = Click({Role::Stock, 0});
    // The line to node `at` and then `last`, each step's clicks first.
    const auto line = [&](long at, const Step& last) {
        std::vector<Step> steps{last};
        for (long n = at; n > 0; n = nodes[static_cast<size_t>(n)].parent) steps.push_back(nodes[static_cast<size_t>(n)].step);
        for (auto s = steps.rbegin(); s != steps.rend(); ++s) {
            out.moves.insert(out.moves.end(), static_cast<size_t>(s->clicks), click);
            out.moves.push_back(s->move);
        }
    };
    while (!waiting.empty()) {
        const long at = waiting.top().second;
        waiting.pop();
        Unpack(nodes[static_cast<size_t>(at)].packed, p);
        for (const Step& step : Steps(rules, p, narrow)) {
            q = p;
            for (int k = 0; k < step.clicks; ++k) Make(rules, q, click);
            Make(rules, q, step.move);
            if (Won(rules, q)) {
                line(at, step);
                out.verdict = Verdict::Solved;
                return out;
            }
            if (seen.insert(Key(rules, q, scratch)).second) {
                if (out.positions >= budget) return out;
                ++out.positions;
                nodes.push_back({Pack(q), at, step});
                waiting.push({Score(rules, q), static_cast<long>(nodes.size() - 1)});
            }
        }
    }
    // A narrow search that runs out has not seen every position.
    out.verdict = narrow ? Verdict::OutOfBudget : Verdict::NoSolution;
    return out;
}

}  // namespace

Solution Solve(const Rules& rules, const Position& start, long budget) {
    if (Won(rules, start)) return Solution{Verdict::Solved, {}, 0};
    if (rules.GetGameKind() != Kind::Building) return Search(rules, start, budget, false);
    // Every move first, with half the budget, which alone can show that a
    // deal has no solution; then, where that neither won nor went through
    // every position, a narrower search without shuffles, which wins more
    // deals within its budget.
    const Solution wide = Search(rules, start, (budget + 1) / 2, false);
    if (wide.verdict != Verdict::OutOfBudget) return wide;
    Solution narrow = Search(rules, start, std::max(1L, budget - wide.positions), true);
    narrow.positions += wide.positions;
    return narrow;
}

}  // namespace corvelle::referee
