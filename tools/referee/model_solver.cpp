#include "tools/referee/model_solver.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace corvelle::referee {
namespace {

uint64_t Mix(uint64_t h, uint64_t v) { return (h ^ v) * 1099511628211ull; }

// The position's hash, the same for positions that differ only in the order
// of their columns or of their foundations: every rule here treats the
// columns alike and the foundations alike.
uint64_t Key(const Position& p, std::vector<uint64_t>& scratch) {
    scratch.clear();
    for (const auto& column : p.columns) {
        uint64_t h = 1469598103934665603ull;
        for (const Card& c : column) h = Mix(h, (c.suit * 16u + c.rank) * 2u + c.faceUp);
        scratch.push_back(h);
    }
    std::sort(scratch.begin(), scratch.end());
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
// further use there.
bool Safe(Rules rules, const Position& p, const Move& m) {
    if (!m.to.foundation) return false;
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

// The moves to try, most promising first: to a foundation; then moves that
// uncover a face-down card or a card that goes to its foundation; then moves
// of a card that does not lie on a card it could be built on; moves that
// take a card off such a card last. A safe foundation move is the only one
// tried.
std::vector<Move> Ordered(Rules rules, const Position& p) {
    std::vector<Move> moves = LegalMoves(rules, p);
    for (const Move& m : moves)
        if (Safe(rules, p, m)) return {m};
    uint8_t tops[5] = {0, 0, 0, 0, 0};
    for (const auto& f : p.foundations)
        if (!f.empty()) tops[f.back().suit] = f.back().rank;
    const auto rank = [&](const Move& m) {
        if (m.to.foundation) return 0;
        const auto& from = p.columns[static_cast<size_t>(m.from.index)];
        const size_t below = from.size() - static_cast<size_t>(m.count);
        if (below == 0) return 2;
        const Card& under = from[below - 1];
        if (!under.faceUp || tops[under.suit] + 1 == under.rank) return 1;
        return BuildsOn(rules, from[below], under) ? 3 : 2;
    };
    std::stable_sort(moves.begin(), moves.end(), [&](const Move& a, const Move& b) { return rank(a) < rank(b); });
    return moves;
}

}  // namespace

Solution Solve(Rules rules, const Position& start, long budget) {
    Solution out;
    Position p = start;
    if (p.Won()) {
        out.verdict = Verdict::Solved;
        return out;
    }
    struct Frame {
        std::vector<Move> moves;
        size_t next = 0;
        Undo made;   // the move of this frame last made, to take back
    };
    std::vector<uint64_t> scratch;
    std::unordered_set<uint64_t> seen{Key(p, scratch)};
    std::vector<Frame> stack;
    stack.push_back({Ordered(rules, p), 0, {}});
    out.positions = 1;
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next >= f.moves.size()) {
            stack.pop_back();
            if (!stack.empty()) TakeBack(p, stack.back().made);
            continue;
        }
        if (out.positions >= budget) return out;
        const Move m = f.moves[f.next++];
        f.made = Apply(rules, p, m);
        if (p.Won()) {
            for (const Frame& g : stack) out.moves.push_back(g.made.move);
            out.verdict = Verdict::Solved;
            return out;
        }
        if (!seen.insert(Key(p, scratch)).second) {
            TakeBack(p, f.made);
            continue;
        }
        ++out.positions;
        stack.push_back({Ordered(rules, p), 0, {}});
    }
    out.verdict = Verdict::NoSolution;
    return out;
}

}  // namespace corvelle::referee
