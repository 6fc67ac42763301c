#include "tools/referee/model_solver.h"

#include <algorithm>
#include <cstdint>
#include <queue>
#include <string>
#include <unordered_set>

namespace corvelle::referee {
namespace {

uint64_t Mix(uint64_t h, uint64_t v) { return (h ^ v) * 1099511628211ull; }

// The position's hash, the same for positions that differ only in the order
// of their foundations, or of their columns where the rules treat the
// columns alike (all but Cruel, whose redeal goes through them in order).
uint64_t Key(Rules rules, const Position& p, std::vector<uint64_t>& scratch) {
    scratch.clear();
    for (const auto& column : p.columns) {
        uint64_t h = 1469598103934665603ull;
        for (const Card& c : column) h = Mix(h, (c.suit * 16u + c.rank) * 2u + c.faceUp);
        scratch.push_back(h);
    }
    if (rules != Rules::Cruel) std::sort(scratch.begin(), scratch.end());
    uint8_t tops[5] = {0, 0, 0, 0, 0};
    for (const auto& f : p.foundations)
        if (!f.empty()) tops[f.back().suit] = f.back().rank;
    uint64_t h = 1469598103934665603ull;
    for (uint64_t c : scratch) h = Mix(h, c);
    for (int s = 1; s <= 4; ++s) h = Mix(h, tops[s]);
    return h;
}

// A foundation move that no winning line needs to put off: no card that
// could still be built on the card is left in the columns, so it has no
// further use there. Not in Cruel, where every card left in the columns
// changes where the redeal puts the others.
bool Safe(Rules rules, const Position& p, const Move& m) {
    if (!m.to.foundation || rules == Rules::Cruel) return false;
    const Card& c = p.columns[static_cast<size_t>(m.from.index)].back();
    if (rules == Rules::Fan) return true;   // only its own suit's next card builds on it
    uint8_t tops[5] = {0, 0, 0, 0, 0};
    for (const auto& f : p.foundations)
        if (!f.empty()) tops[f.back().suit] = f.back().rank;
    const bool red = c.suit >= 3;
    for (uint8_t s = 1; s <= 4; ++s) {
        if (rules == Rules::Yukon && (s >= 3) == red) continue;   // only the other colour builds on it
        if (tops[s] + 1 < c.rank) return false;
    }
    return true;
}

// A position's moves, grouped: to a foundation; moves that uncover a
// face-down card or dig towards a card the foundations want next (the fewer
// cards left over it, the earlier); the other moves of a card that does not
// lie on a card it could be built on; the redeal; moves that take a card off
// a card it is built on. The search enters the newest of equally promising
// positions first, so among those the moves listed last are tried first (an
// order that solves more deals within the budget than the reverse). A safe
// foundation move is the only one listed.
std::vector<Move> Ordered(Rules rules, const Position& p) {
    std::vector<Move> moves = LegalMoves(rules, p);
    for (const Move& m : moves)
        if (Safe(rules, p, m)) return {m};
    uint8_t tops[5] = {0, 0, 0, 0, 0};
    for (const auto& f : p.foundations)
        if (!f.empty()) tops[f.back().suit] = f.back().rank;
    // Cards over the highest card the foundations want next, per column;
    // a large number where there is none.
    std::vector<int> over(p.columns.size(), 1000);
    for (size_t c = 0; c < p.columns.size(); ++c) {
        const auto& column = p.columns[c];
        for (size_t i = 0; i < column.size(); ++i)
            if (tops[column[i].suit] + 1 == column[i].rank) over[c] = static_cast<int>(column.size() - 1 - i);
    }
    const auto key = [&](const Move& m) {
        if (m.redeal) return 150;
        if (m.to.foundation) return 0;
        const auto& from = p.columns[static_cast<size_t>(m.from.index)];
        const size_t below = from.size() - static_cast<size_t>(m.count);
        if (below > 0 && !from[below - 1].faceUp) return 1;
        const int left = over[static_cast<size_t>(m.from.index)] - m.count;
        if (left >= 0 && left < 1000 - 52) return 2 + left;
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


// A position packed into bytes while it waits in the search: each
// foundation's top card, then each column's cards, a column ending in 0xFF.
// A card is suit * 16 + rank, with 0x80 when face up.
std::string Pack(const Position& p) {
    std::string out;
    for (const auto& f : p.foundations) out += static_cast<char>(f.empty() ? 0 : f.back().suit * 16 + f.back().rank);
    for (const auto& column : p.columns) {
        for (const Card& c : column) out += static_cast<char>(c.suit * 16 + c.rank + (c.faceUp ? 0x80 : 0));
        out += static_cast<char>(0xFF);
    }
    return out;
}

// The columns' vectors keep their storage from one position to the next.
void Unpack(const std::string& packed, size_t foundations, Position& p) {
    p.foundations.resize(foundations);
    for (size_t f = 0; f < foundations; ++f) {
        const auto top = static_cast<uint8_t>(packed[f]);
        p.foundations[f].clear();
        for (uint8_t r = 1; top != 0 && r <= (top & 15); ++r) p.foundations[f].push_back({static_cast<uint8_t>(top >> 4), r, true});
    }
    size_t column = 0;
    for (size_t i = foundations; i < packed.size(); ++i) {
        if (p.columns.size() <= column) p.columns.emplace_back();
        if (i == foundations || static_cast<uint8_t>(packed[i - 1]) == 0xFF) p.columns[column].clear();
        const auto b = static_cast<uint8_t>(packed[i]);
        if (b == 0xFF) ++column;
        else p.columns[column].push_back({static_cast<uint8_t>((b & 0x7F) >> 4), static_cast<uint8_t>(b & 15), (b & 0x80) != 0});
    }
    p.columns.resize(column);
}

// How promising a position looks: cards home count for it; face-down
// cards, and cards lying over those the foundations want next, against it.
int Score(const Position& p) {
    int home = 0, down = 0, buried = 0;
    uint8_t tops[5] = {0, 0, 0, 0, 0};
    for (const auto& f : p.foundations) {
        home += static_cast<int>(f.size());
        if (!f.empty()) tops[f.back().suit] = f.back().rank;
    }
    for (const auto& column : p.columns)
        for (size_t i = 0; i < column.size(); ++i) {
            down += !column[i].faceUp;
            if (tops[column[i].suit] + 1 == column[i].rank) buried += static_cast<int>(column.size() - 1 - i);
        }
    return 8 * home - 4 * down - 3 * buried;
}

}  // namespace

Solution Solve(Rules rules, const Position& start, long budget) {
    Solution out;
    if (start.Won()) {
        out.verdict = Verdict::Solved;
        return out;
    }
    // Best first: the most promising position waiting is the next one
    // entered, the newest among equals. Each remembers the position it came
    // from and the move, for the line back to the start.
    struct Node {
        std::string packed;
        long parent;
        Move move;
    };
    std::vector<Node> nodes;
    using Entry = std::pair<int, long>;   // score, node
    std::priority_queue<Entry> waiting;
    std::vector<uint64_t> scratch;
    std::unordered_set<uint64_t> seen{Key(rules, start, scratch)};
    nodes.push_back({Pack(start), -1, {}});
    waiting.push({Score(start), 0});
    out.positions = 1;
    const size_t foundations = start.foundations.size();
    Position p;
    while (!waiting.empty()) {
        const long at = waiting.top().second;
        waiting.pop();
        Unpack(nodes[static_cast<size_t>(at)].packed, foundations, p);
        for (const Move& m : Ordered(rules, p)) {
            const Undo undo = Apply(rules, p, m);
            if (p.Won()) {
                out.moves.push_back(m);
                for (long n = at; n > 0; n = nodes[static_cast<size_t>(n)].parent) out.moves.push_back(nodes[static_cast<size_t>(n)].move);
                std::reverse(out.moves.begin(), out.moves.end());
                out.verdict = Verdict::Solved;
                return out;
            }
            if (seen.insert(Key(rules, p, scratch)).second) {
                if (out.positions >= budget) return out;
                ++out.positions;
                nodes.push_back({Pack(p), at, m});
                waiting.push({Score(p), static_cast<long>(nodes.size() - 1)});
            }
            TakeBack(p, undo);
        }
    }
    out.verdict = Verdict::NoSolution;
    return out;
}

}  // namespace corvelle::referee
