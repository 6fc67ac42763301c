// Golf and Pyramid games: the tableau is cleared card by card, onto the
// waste by rank in Golf, in pairs adding up to thirteen (Kings alone) in
// Pyramid; a card leaves only when no card covers it.
#include <algorithm>
#include <cstdlib>

#include "tools/referee/rules_internal.h"

namespace corvelle::referee::clearing {
namespace {

// Tri Peaks: 28 cards in four rows of 3, 6, 9 and 10, counted row by row
// from the top. Each card of the three upper rows lies under the two cards
// of the row below that touch it: a peak's top card under its two cards of
// the second row, each card of the second row under two neighbours of its
// peak's three in the third, and the third row's cards under neighbouring
// pairs of the ten in the bottom row, which the three peaks share.
std::vector<std::vector<int>> PeaksCovering() {
    std::vector<std::vector<int>> out(28);
    for (int k = 0; k < 3; ++k) out[static_cast<size_t>(k)] = {3 + 2 * k, 4 + 2 * k};
    for (int j = 0; j < 6; ++j) out[static_cast<size_t>(3 + j)] = {9 + 3 * (j / 2) + j % 2, 10 + 3 * (j / 2) + j % 2};
    for (int m = 0; m < 9; ++m) out[static_cast<size_t>(9 + m)] = {18 + m, 19 + m};
    return out;
}

// Pyramid: seven rows of 1 to 7 cards; the I-th card of row R lies under the
// I-th and the next card of row R + 1.
std::vector<std::vector<int>> PyramidCovering() {
    std::vector<std::vector<int>> out(28);
    for (int r = 1; r < 7; ++r)
        for (int i = 0; i < r; ++i) {
            const int below = (r + 1) * r / 2 + i;
            out[static_cast<size_t>(r * (r - 1) / 2 + i)] = {below, below + 1};
        }
    return out;
}

bool Golf(const Rules& rules) { return rules.GetGameKind() == Kind::Golf; }

// Whether the two ranks follow each other, by Golf's rule.
bool Adjacent(const Rules& rules, int a, int b) {
    const int d = std::abs(a - b);
    return d == 1 || (rules.wrap && d == kKing - 1);
}

// Whether the top card of the pile is free: a column's when nothing covers
// it, a reserve's and the waste's always; face up in every case.
bool FreeTop(const Rules& rules, const Position& p, const Place& place) {
    const Pile& pile = PileAt(p, place);
    if (pile.empty() || !pile.back().faceUp) return false;
    return place.role != Role::Column || Free(rules, p, place.index);
}

bool Playable(Role role) { return role == Role::Column || role == Role::Reserve || role == Role::Waste; }

void Discard(Position& p, Pile& from) {
    Card c = from.back();
    from.pop_back();
    c.faceUp = true;
    const auto key = [](const Card& x) { return x.suit * 16 + x.rank; };
    p.discard.insert(std::upper_bound(p.discard.begin(), p.discard.end(), c, [&](const Card& a, const Card& b) { return key(a) < key(b); }), c);
}

}  // namespace

const std::vector<int>& Covering(const Rules& rules, int column) {
    static const std::vector<int> none;
    static const std::vector<std::vector<int>> peaks = PeaksCovering(), pyramid = PyramidCovering();
    switch (rules.layout) {
        case Layout::Peaks: return peaks[static_cast<size_t>(column)];
        case Layout::Pyramid: return pyramid[static_cast<size_t>(column)];
        case Layout::Columns: break;
    }
    return none;
}

bool Free(const Rules& rules, const Position& p, int column) {
    if (p.columns[static_cast<size_t>(column)].empty()) return false;
    for (int c : Covering(rules, column))
        if (!p.columns[static_cast<size_t>(c)].empty()) return false;
    return true;
}

const char* Why(const Rules& rules, const Position& p, const Move& m) {
    if (!Exists(p, m.from) || (!m.click && !Exists(p, m.to))) return "no such pile";
    if (m.click) {
        if (m.from.role == Role::Stock) {
            if (rules.stock == Stock::Row) return p.stock.empty() ? "the stock is empty" : nullptr;
            return rules.stock == Stock::None ? "the rules have no stock" : WhyNotTurn(rules, p);
        }
        if (Golf(rules)) return "only the stock is clicked";
        if (!Playable(m.from.role) || !FreeTop(rules, p, m.from)) return "only a free card is discarded";
        return PileAt(p, m.from).back().rank == kKing ? nullptr : "only a King is discarded alone";
    }
    if (m.count != 1) return "one card moves at a time";
    if (!Playable(m.from.role) || !FreeTop(rules, p, m.from)) return "only a free card moves";
    const Card& moved = PileAt(p, m.from).back();
    if (Golf(rules)) {
        if (m.from.role != Role::Column || m.to.role != Role::Waste) return "tableau cards go onto the waste";
        if (p.waste.empty()) return nullptr;   // any card starts it
        if (rules.deadKings && p.waste.back().rank == kKing) return "nothing goes on a King";
        return Adjacent(rules, moved.rank, p.waste.back().rank) ? nullptr : "a card goes on the waste one rank above or below its top card";
    }
    if (m.from == m.to) return "a card does not pair with itself";
    if (!Playable(m.to.role) || !FreeTop(rules, p, m.to)) return "a card pairs with a free card only";
    return moved.rank + PileAt(p, m.to).back().rank == 13 ? nullptr : "a pair adds up to thirteen";
}

void Make(const Rules& rules, Position& p, const Move& m) {
    if (m.click && m.from.role == Role::Stock) {
        if (rules.stock == Stock::Row) DealRow(p, p.columns);
        else Turn(rules, p);
    } else if (m.click) {
        Discard(p, PileAt(p, m.from));
    } else if (Golf(rules)) {
        p.waste.push_back(PileAt(p, m.from).back());
        PileAt(p, m.from).pop_back();
    } else {
        Discard(p, PileAt(p, m.from));
        Discard(p, PileAt(p, m.to));
    }
    FillSpaces(rules, p);
    // Tri Peaks turns a card up once both cards covering it are gone.
    for (int c = 0; c < static_cast<int>(p.columns.size()); ++c)
        if (Free(rules, p, c)) p.columns[static_cast<size_t>(c)].back().faceUp = true;
}

void Moves(const Rules& rules, const Position& p, std::vector<Move>& out) {
    std::vector<Place> free;
    for (int c = 0; c < static_cast<int>(p.columns.size()); ++c)
        if (FreeTop(rules, p, {Role::Column, c})) free.push_back({Role::Column, c});
    for (int r = 0; r < static_cast<int>(p.reserves.size()); ++r)
        if (FreeTop(rules, p, {Role::Reserve, r})) free.push_back({Role::Reserve, r});
    if (Golf(rules)) {
        for (const Place& from : free)
            if (!Why(rules, p, CardsMove(from, {Role::Waste, 0}))) out.push_back(CardsMove(from, {Role::Waste, 0}));
    } else {
        if (FreeTop(rules, p, {Role::Waste, 0})) free.push_back({Role::Waste, 0});
        for (const Place& at : free)
            if (PileAt(p, at).back().rank == kKing) out.push_back(Click(at));
        for (size_t a = 0; a < free.size(); ++a)
            for (size_t b = a + 1; b < free.size(); ++b)
                if (!Why(rules, p, CardsMove(free[a], free[b]))) out.push_back(CardsMove(free[a], free[b]));
    }
    if (!Why(rules, p, Click({Role::Stock, 0}))) out.push_back(Click({Role::Stock, 0}));
}

}  // namespace corvelle::referee::clearing
