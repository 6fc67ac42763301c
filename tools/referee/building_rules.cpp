// Building games: cards are built on columns and carried to foundations, with
// a stock, a waste and reserves where the rules have them.
#include <algorithm>

#include "tools/referee/rules_internal.h"

namespace corvelle::referee::building {
namespace {

// The foundation's next rank after `rank`, turning the corner from King to
// Ace: a foundation stops at thirteen cards, so only one that started above
// the Ace ever turns it.
int NextUp(int rank) { return rank % kKing + 1; }

// How many of the column's top cards lie face up.
int FaceUpOnTop(const Pile& column) {
    int n = 0;
    while (n < static_cast<int>(column.size()) && column[column.size() - 1 - static_cast<size_t>(n)].faceUp) ++n;
    return n;
}

// Whether the top `count` cards of the pile form one run by the rules.
bool IsRun(const Rules& rules, const Pile& pile, int count) {
    const size_t first = pile.size() - static_cast<size_t>(count);
    for (size_t i = first; i < pile.size(); ++i) {
        if (!pile[i].faceUp) return false;
        if (i > first && !Follows(rules, rules.runs, pile[i], pile[i - 1])) return false;
    }
    return true;
}

// Whether the rules let the top `count` cards of a column leave it together.
const char* WhyNotLift(const Rules& rules, const Pile& column, int count, bool toFoundation) {
    const int size = static_cast<int>(column.size());
    if (!column[static_cast<size_t>(size - count)].faceUp) return "a face-down card does not move";
    if (count == 1) return nullptr;
    // A foundation that takes whole runs takes them at once, whatever lifts
    // other moves may make.
    if (toFoundation && rules.home == Home::Runs) return nullptr;
    switch (rules.lift) {
        case Lift::One: return "only one card moves at a time";
        case Lift::Run: return IsRun(rules, column, count) ? nullptr : "only a run moves as one";
        case Lift::Whole: return count == size && IsRun(rules, column, count) ? nullptr : "only the top card or the whole column moves";
        case Lift::FaceUp:
            return count == FaceUpOnTop(column) && IsRun(rules, column, count)
                       ? nullptr
                       : "only the top card or all the face-up cards of the column move";
        case Lift::Group: return nullptr;
    }
    return "refused";
}

bool AnyReserveCard(const Position& p) {
    for (const Pile& r : p.reserves)
        if (!r.empty()) return true;
    return false;
}

const char* WhyNotToFoundation(const Rules& rules, const Position& p, const Move& m) {
    const Pile& from = PileAt(p, m.from);
    const Pile& to = PileAt(p, m.to);
    const Card& moved = from[from.size() - static_cast<size_t>(m.count)];
    if (rules.home == Home::Sets) return "a rank goes home by itself once a column holds all its cards";
    if (rules.home == Home::Runs) {
        if (m.from.role != Role::Column) return "a foundation takes a run from a column";
        if (!to.empty()) return "a foundation takes one run";
        if (m.count != kKing) return "a foundation takes a whole run of thirteen cards";
        // From King down to Ace, or where the columns turn the corner, any
        // thirteen cards of one suit going down.
        const size_t first = from.size() - kKing;
        if (!rules.wrap && moved.rank != kKing) return "a foundation takes a run from King down to Ace";
        for (size_t i = first; i < from.size(); ++i)
            if (!from[i].faceUp || (i > first && !(from[i].suit == from[i - 1].suit && Follows(rules, SuitRule::Suit, from[i], from[i - 1]))))
                return "a foundation takes a run of one suit going down";
        return nullptr;
    }
    if (m.count != 1) return "the foundations take one card at a time";
    if (to.empty()) {
        const int base = BaseRank(rules, p);
        if (base == 0) return m.from.role == Role::Reserve && m.to.index == 0 ? nullptr : "the first foundation card comes from a reserve";
        return moved.rank == base ? nullptr : "an empty foundation takes a card of the base rank";
    }
    if (to.size() >= kKing) return "the foundation is complete";
    return SuitsAgree(rules.homeBuild, moved.suit, to.back().suit) && moved.rank == NextUp(to.back().rank) ? nullptr
                                                                                                        : "a foundation is built up by rank and suit";
}

const char* WhyNotToColumn(const Rules& rules, const Position& p, const Move& m, const Card& moved) {
    const Pile& to = PileAt(p, m.to);
    if (!to.empty()) {
        if (BuildsOn(rules, moved, to.back())) return nullptr;
        switch (rules.build) {
            case SuitRule::Alt: return "a card goes on a card one rank higher of the other colour";
            case SuitRule::Suit: return "a card goes on the card of its suit one rank higher";
            case SuitRule::Colour: return "a card goes on a card one rank higher of its colour";
            case SuitRule::Other: return "a card goes on a card one rank higher of another suit";
            case SuitRule::Any: return "a card goes on a card one rank higher";
            case SuitRule::None: return "nothing is built on the columns";
        }
    }
    switch (rules.space) {
        case Space::Any: break;
        case Space::King:
            if (moved.rank != kKing) return "only a King fills an empty column";
            break;
        case Space::None: return "an empty column is never filled";
        case Space::BelowBase: {
            const int base = BaseRank(rules, p);
            if (base == 0 || moved.rank != (base + 11) % 13 + 1) return "an empty column takes the rank below the foundations' base";
            break;
        }
    }
    switch (rules.spaceFrom) {
        case SpaceFrom::Any: return nullptr;
        case SpaceFrom::Waste: return m.from.role == Role::Waste ? nullptr : "an empty column takes the waste's card only";
        case SpaceFrom::ReserveThenWaste:
        case SpaceFrom::ReserveThenWasteOrStock:
            if (AnyReserveCard(p)) return m.from.role == Role::Reserve ? nullptr : "an empty column takes a reserve card while any is left";
            if (rules.spaceFrom == SpaceFrom::ReserveThenWaste || !p.waste.empty())
                return m.from.role == Role::Waste ? nullptr : "an empty column takes the waste's card once the reserve is used up";
            return m.from.role == Role::Stock ? nullptr : "an empty column takes the stock's card while the waste is empty";
    }
    return nullptr;
}

const char* WhyNotClick(const Rules& rules, const Position& p, const Move& m) {
    if (m.from.role != Role::Stock) return "only the stock is clicked";
    if (rules.base == Base::Chosen && BaseRank(rules, p) == 0) return "nothing moves before the first foundation card";
    switch (rules.stock) {
        case Stock::None: return "the rules have no stock";
        case Stock::Waste: return WhyNotTurn(rules, p);
        case Stock::Row:
            if (p.stock.empty()) return "the stock is empty";
            if (rules.rowOnEmpty == RowOnEmpty::Refuse)
                for (const Pile& c : p.columns)
                    if (c.empty()) return "a row is dealt only when no column is empty";
            return nullptr;
        case Stock::Reserves: return p.stock.empty() ? "the stock is empty" : nullptr;
        case Stock::Regather: return nullptr;
    }
    return "refused";
}

// The columns after Cruel's redeal: the columns' cards gathered, the first
// column's from its bottom card up, then the second's and so on, and dealt
// out again in that order, four to a column from the first on.
std::vector<Pile> Regathered(const std::vector<Pile>& columns) {
    std::vector<Pile> out(columns.size());
    size_t dealt = 0;
    for (const Pile& column : columns)
        for (const Card& c : column) out[dealt++ / 4].push_back(c);
    return out;
}

// What follows a move by itself: an uncovered face-down column card turns
// up, a column holding every card of a rank takes them home where the
// foundations take sets, an empty column takes the reserve's (or the
// stock's) top card, a reserve's last card turns up.
void Settle(const Rules& rules, Position& p) {
    for (Pile& column : p.columns)
        if (!column.empty()) column.back().faceUp = true;
    const size_t set = static_cast<size_t>(rules.decks) * rules.suits.size();
    for (Pile& column : p.columns)
        if (rules.home == Home::Sets && column.size() == set &&
            std::all_of(column.begin(), column.end(), [&](const Card& c) { return c.faceUp && c.rank == column[0].rank; })) {
            p.foundations[0].insert(p.foundations[0].end(), column.begin(), column.end());
            column.clear();
        }
    FillSpaces(rules, p);
    if (rules.reserveLastUp)
        for (Pile& r : p.reserves)
            if (r.size() == 1) r[0].faceUp = true;
}

}  // namespace

bool Interchangeable(const Rules& rules, const Position& p) {
    return rules.stock != Stock::Regather && (rules.stock != Stock::Row || p.stock.empty());
}

int BaseRank(const Rules& rules, const Position& p) {
    if (rules.base == Base::Rank) return rules.baseRank;
    for (const Pile& f : p.foundations)
        if (!f.empty()) return f[0].rank;
    return 0;
}

const char* Why(const Rules& rules, const Position& p, const Move& m) {
    if (m.click) return Exists(p, m.from) ? WhyNotClick(rules, p, m) : "no such pile";
    if (!Exists(p, m.from) || !Exists(p, m.to)) return "no such pile";
    if (m.from == m.to) return "a card does not move onto its own pile";
    const Pile& from = PileAt(p, m.from);
    if (m.count < 1 || static_cast<size_t>(m.count) > from.size()) return "the pile does not hold that many cards";
    if (rules.base == Base::Chosen && BaseRank(rules, p) == 0 && !(m.from.role == Role::Reserve && m.to.role == Role::Foundation))
        return "nothing moves before the first foundation card, which comes from a reserve";
    switch (m.from.role) {
        case Role::Column:
            if (const char* why = WhyNotLift(rules, from, m.count, m.to.role == Role::Foundation)) return why;
            break;
        case Role::Foundation:
            if (!rules.fromFoundation) return "cards on the foundations stay there";
            if (m.to.role != Role::Column) return "a foundation card goes back to a column only";
            [[fallthrough]];
        case Role::Reserve:
        case Role::Waste:
            if (m.count != 1) return "only the top card moves";
            if (!from.back().faceUp) return "a face-down card does not move";
            break;
        case Role::Stock:
            // The stock's top card fills an empty column where the rules say so.
            if (rules.spaceFrom != SpaceFrom::ReserveThenWasteOrStock) return "no card moves from there";
            if (m.count != 1) return "only the top card moves";
            if (m.to.role != Role::Column || !PileAt(p, m.to).empty()) return "the stock's card goes only into an empty column";
            break;
        default: return "no card moves from there";
    }
    const Card& moved = from[from.size() - static_cast<size_t>(m.count)];
    switch (m.to.role) {
        case Role::Foundation: return WhyNotToFoundation(rules, p, m);
        case Role::Column: return WhyNotToColumn(rules, p, m, moved);
        default: return "nothing is put there";
    }
}

void Make(const Rules& rules, Position& p, const Move& m) {
    if (m.click) {
        switch (rules.stock) {
            case Stock::Waste: Turn(rules, p); break;
            case Stock::Row: DealRow(p, p.columns, rules.rowOnEmpty == RowOnEmpty::Skip); break;
            case Stock::Reserves: DealRow(p, p.reserves); break;
            case Stock::Regather: p.columns = Regathered(p.columns); break;
            case Stock::None: break;
        }
    } else {
        Pile& from = PileAt(p, m.from);
        Pile& to = PileAt(p, m.to);
        const auto first = from.end() - m.count;
        to.insert(to.end(), first, from.end());
        from.erase(first, from.end());
    }
    Settle(rules, p);
}

void Moves(const Rules& rules, const Position& p, std::vector<Move>& out) {
    const int columns = static_cast<int>(p.columns.size());
    // Before the first foundation card, which a reserve gives, nothing else.
    if (rules.base == Base::Chosen && BaseRank(rules, p) == 0) {
        for (int r = 0; r < static_cast<int>(p.reserves.size()); ++r)
            if (!p.reserves[static_cast<size_t>(r)].empty()) out.push_back(CardsMove({Role::Reserve, r}, {Role::Foundation, 0}));
        return;
    }
    // Where single cards and runs may come from.
    std::vector<std::pair<Place, int>> sources;   // the pile, the most cards it may give at once
    for (int c = 0; c < columns; ++c) {
        const Pile& column = p.columns[static_cast<size_t>(c)];
        if (column.empty()) continue;
        int most = 1;
        switch (rules.lift) {
            case Lift::One: break;
            case Lift::Run:
                while (most < static_cast<int>(column.size()) && IsRun(rules, column, most + 1)) ++most;
                break;
            case Lift::Whole:
            case Lift::FaceUp:
            case Lift::Group: most = FaceUpOnTop(column); break;
        }
        sources.push_back({{Role::Column, c}, std::max(most, 1)});
    }
    for (int r = 0; r < static_cast<int>(p.reserves.size()); ++r)
        if (!p.reserves[static_cast<size_t>(r)].empty()) sources.push_back({{Role::Reserve, r}, 1});
    if (!p.waste.empty()) sources.push_back({{Role::Waste, 0}, 1});
    else if (rules.spaceFrom == SpaceFrom::ReserveThenWasteOrStock && !p.stock.empty()) sources.push_back({{Role::Stock, 0}, 1});
    if (rules.fromFoundation)
        for (int f = 0; f < static_cast<int>(p.foundations.size()); ++f)
            if (!p.foundations[static_cast<size_t>(f)].empty()) sources.push_back({{Role::Foundation, f}, 1});
    // To the foundations: one foundation for each card, the first that
    // takes it; the foundations are alike.
    for (const auto& [from, most] : sources) {
        if (from.role == Role::Foundation || from.role == Role::Stock) continue;
        if (rules.home == Home::Sets) break;
        const int count = rules.home == Home::Runs ? kKing : 1;
        if (count > static_cast<int>(PileAt(p, from).size())) continue;
        const Card& top = PileAt(p, from).back();
        for (int f = 0; f < static_cast<int>(p.foundations.size()); ++f) {
            const Pile& home = p.foundations[static_cast<size_t>(f)];
            if (rules.home == Home::Cards && !home.empty() && home.back().rank % kKing + 1 != top.rank) continue;
            const Move m = CardsMove(from, {Role::Foundation, f}, count);
            if (!Why(rules, p, m)) {
                out.push_back(m);
                break;
            }
        }
    }
    // To the columns. An empty column is offered once, the first, where the
    // columns are interchangeable; a whole column onto an empty one is then
    // the same position again.
    const bool alike = Interchangeable(rules, p);
    int firstEmpty = -1;
    for (int c = 0; c < columns && firstEmpty < 0; ++c)
        if (p.columns[static_cast<size_t>(c)].empty()) firstEmpty = c;
    for (const auto& [from, most] : sources) {
        const Pile& pile = PileAt(p, from);
        const int size = static_cast<int>(pile.size());
        for (int count = 1; count <= most; ++count) {
            if (from.role == Role::Column && WhyNotLift(rules, pile, count, false)) continue;
            const Card& moved = pile[static_cast<size_t>(size - count)];
            for (int to = 0; to < columns; ++to) {
                const Pile& target = p.columns[static_cast<size_t>(to)];
                if (target.empty() ? alike && (to != firstEmpty || (from.role == Role::Column && count == size))
                                   : !BuildsOn(rules, moved, target.back()))
                    continue;
                const Move m = CardsMove(from, {Role::Column, to}, count);
                if (!Why(rules, p, m)) out.push_back(m);
            }
        }
    }
    const Move click = Click({Role::Stock, 0});
    if (!Why(rules, p, click) && (rules.stock != Stock::Regather || Regathered(p.columns) != p.columns)) out.push_back(click);
}

}  // namespace corvelle::referee::building
