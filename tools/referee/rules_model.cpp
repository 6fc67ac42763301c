#include "tools/referee/rules_model.h"

#include <array>

#include "engine/records.h"

namespace corvelle::referee {
namespace {

constexpr int kFoundations = 4;
constexpr uint8_t kKing = 13;

bool Red(uint8_t suit) { return suit == 3 || suit == 4; }

}  // namespace

bool BuildsOn(Rules rules, const Card& moved, const Card& onto) {
    if (!onto.faceUp || onto.rank != moved.rank + 1) return false;
    switch (rules) {
        case Rules::BakersDozen: return true;
        case Rules::Fan:
        case Rules::Cruel: return moved.suit == onto.suit;
        case Rules::Yukon: return Red(moved.suit) != Red(onto.suit);
    }
    return false;
}

namespace {

// Baker's Dozen and Cruel never fill an empty column; Fan and Yukon fill one
// with a King only (in Yukon together with the cards lying on it).
bool NeverFilled(Rules rules) { return rules == Rules::BakersDozen || rules == Rules::Cruel; }
bool FillsEmpty(Rules rules, const Card& moved) { return !NeverFilled(rules) && moved.rank == kKing; }

// The columns after Cruel's redeal.
std::vector<std::vector<Card>> Redealt(const std::vector<std::vector<Card>>& columns) {
    std::vector<std::vector<Card>> out(columns.size());
    size_t dealt = 0;
    for (const auto& column : columns)
        for (const Card& c : column) out[dealt++ / 4].push_back(c);
    return out;
}

bool OneCardAtATime(Rules rules) { return rules != Rules::Yukon; }

const std::vector<Card>& Pile(const Position& p, const Place& place) {
    return place.foundation ? p.foundations[static_cast<size_t>(place.index)] : p.columns[static_cast<size_t>(place.index)];
}
std::vector<Card>& Pile(Position& p, const Place& place) {
    return place.foundation ? p.foundations[static_cast<size_t>(place.index)] : p.columns[static_cast<size_t>(place.index)];
}

bool Exists(const Position& p, const Place& place) {
    const size_t n = place.foundation ? p.foundations.size() : p.columns.size();
    return place.index >= 0 && static_cast<size_t>(place.index) < n;
}

}  // namespace

bool RulesNamed(const std::string& word, Rules& rules) {
    for (Rules r : {Rules::BakersDozen, Rules::Fan, Rules::Yukon, Rules::Cruel})
        if (word == RulesName(r)) {
            rules = r;
            return true;
        }
    return false;
}

const char* RulesName(Rules rules) {
    switch (rules) {
        case Rules::BakersDozen: return "bakers-dozen";
        case Rules::Fan: return "fan";
        case Rules::Yukon: return "yukon";
        case Rules::Cruel: return "cruel";
    }
    return "";
}

std::string CardText(const Card& card) {
    std::string s{RankLetter(card.rank), SuitLetter(card.suit)};
    if (!card.faceUp) s[1] = static_cast<char>(s[1] - 'A' + 'a');
    return s;
}

std::string PlaceText(const Place& place) {
    return (place.foundation ? "foundation " : "column ") + std::to_string(place.index + 1);
}

std::string MoveText(const Move& move) {
    if (move.redeal) return "the redeal";
    return std::to_string(move.count) + (move.count == 1 ? " card" : " cards") + " from " + PlaceText(move.from) +
           " to " + PlaceText(move.to);
}

bool Position::Won() const {
    size_t home = 0;
    for (const auto& f : foundations) home += f.size();
    return home == 52;
}

std::string PositionText(const Position& position) {
    std::string s;
    const auto line = [&](const std::string& name, const std::vector<Card>& pile) {
        s += name + ":";
        for (const Card& c : pile) s += " " + CardText(c);
        s += "\n";
    };
    for (size_t k = 0; k < position.foundations.size(); ++k) line("foundation " + std::to_string(k + 1), position.foundations[k]);
    for (size_t k = 0; k < position.columns.size(); ++k) line("column " + std::to_string(k + 1), position.columns[k]);
    return s;
}

std::string CheckDeal(Rules rules, const Position& position) {
    if (position.foundations.size() != kFoundations) return "the rules have four foundations";
    std::array<bool, 5 * 16> seen{};
    for (const auto& f : position.foundations) {
        if (rules != Rules::Cruel && !f.empty()) return "the foundations start empty";
        // Cruel starts each foundation with an Ace, each of another suit.
        if (rules == Rules::Cruel && (f.size() != 1 || f[0].rank != 1 || f[0].suit < 1 || f[0].suit > 4 || seen[f[0].suit * 16u + 1]))
            return "the foundations start with the four Aces";
        if (rules == Rules::Cruel) seen[f[0].suit * 16u + 1] = true;
    }
    // Column sizes and how many of each column's cards lie face down.
    std::vector<size_t> sizes, down;
    switch (rules) {
        case Rules::BakersDozen: sizes.assign(13, 4); break;
        case Rules::Fan:
            sizes.assign(17, 3);
            sizes.push_back(1);
            break;
        case Rules::Yukon:
            sizes = {1, 6, 7, 8, 9, 10, 11};
            down = {0, 1, 2, 3, 4, 5, 6};
            break;
        case Rules::Cruel: sizes.assign(12, 4); break;
    }
    down.resize(sizes.size(), 0);
    if (position.columns.size() != sizes.size())
        return "the rules deal " + std::to_string(sizes.size()) + " columns, not " + std::to_string(position.columns.size());
    for (size_t k = 0; k < sizes.size(); ++k) {
        const std::vector<Card>& column = position.columns[k];
        const std::string name = "column " + std::to_string(k + 1);
        if (column.size() != sizes[k])
            return name + " holds " + std::to_string(column.size()) + " cards, the deal gives it " + std::to_string(sizes[k]);
        for (size_t i = 0; i < column.size(); ++i) {
            const Card& c = column[i];
            if (c.suit < 1 || c.suit > 4 || c.rank < 1 || c.rank > kKing) return name + " holds a card outside the pack";
            if (seen[c.suit * 16u + c.rank]) return name + " holds a second " + CardText(Card{c.suit, c.rank, true});
            seen[c.suit * 16u + c.rank] = true;
            if (c.faceUp != (i >= down[k])) return name + ": " + CardText(c) + " lies face " + (c.faceUp ? "up" : "down");
            // Baker's Dozen puts every King beneath the other cards of its column.
            if (rules == Rules::BakersDozen && c.rank == kKing && i > 0 && column[i - 1].rank != kKing)
                return name + ": " + CardText(c) + " lies on a card that is not a King";
        }
    }
    return "";
}

namespace {

// Why `move` is refused, nullptr when it is legal: the legality test of
// the solver's inner loop, without building any text.
const char* Why(Rules rules, const Position& position, const Move& move) {
    if (move.redeal) return rules == Rules::Cruel ? nullptr : "the rules have no redeal";
    if (!Exists(position, move.from) || !Exists(position, move.to)) return "no such pile";
    if (move.from.foundation) return "cards on the foundations stay there";
    if (move.from == move.to) return "a card does not move onto its own pile";
    const std::vector<Card>& from = Pile(position, move.from);
    if (move.count < 1 || static_cast<size_t>(move.count) > from.size()) return "the column does not hold that many cards";
    if (move.count > 1 && OneCardAtATime(rules)) return "only one card moves at a time";
    const Card& moved = from[from.size() - static_cast<size_t>(move.count)];
    if (!moved.faceUp) return "a face-down card does not move";
    const std::vector<Card>& to = Pile(position, move.to);
    if (move.to.foundation) {
        if (move.count != 1) return "the foundations take one card at a time";
        if (to.empty()) return moved.rank == 1 ? nullptr : "an empty foundation takes an Ace";
        return moved.suit == to.back().suit && moved.rank == to.back().rank + 1
                   ? nullptr
                   : "a foundation is built up in suit";
    }
    if (to.empty())
        return FillsEmpty(rules, moved) ? nullptr
                                        : (NeverFilled(rules) ? "an empty column is never filled" : "only a King fills an empty column");
    if (BuildsOn(rules, moved, to.back())) return nullptr;
    switch (rules) {
        case Rules::BakersDozen: return "a card goes on a card one rank higher";
        case Rules::Fan:
        case Rules::Cruel: return "a card goes on the card of its suit one rank higher";
        case Rules::Yukon: return "a card goes on a card one rank higher of the other colour";
    }
    return "refused";
}

}  // namespace

std::string Refusal(Rules rules, const Position& position, const Move& move) {
    const char* why = Why(rules, position, move);
    return why ? why : "";
}

Undo Apply(Rules rules, Position& position, const Move& move) {
    Undo undo{move, false, {}};
    if (move.redeal) {
        for (const auto& column : position.columns) undo.sizes.push_back(static_cast<uint8_t>(column.size()));
        position.columns = Redealt(position.columns);
        return undo;
    }
    std::vector<Card>& from = Pile(position, move.from);
    std::vector<Card>& to = Pile(position, move.to);
    const auto first = from.end() - move.count;
    to.insert(to.end(), first, from.end());
    from.erase(first, from.end());
    if (rules == Rules::Yukon && !from.empty() && !from.back().faceUp) {
        from.back().faceUp = true;
        undo.turnedUp = true;
    }
    return undo;
}

void TakeBack(Position& position, const Undo& undo) {
    if (undo.move.redeal) {
        std::vector<Card> all;
        for (const auto& column : position.columns) all.insert(all.end(), column.begin(), column.end());
        auto next = all.begin();
        for (size_t k = 0; k < position.columns.size(); ++k) {
            position.columns[k].assign(next, next + undo.sizes[k]);
            next += undo.sizes[k];
        }
        return;
    }
    std::vector<Card>& from = Pile(position, undo.move.from);
    std::vector<Card>& to = Pile(position, undo.move.to);
    if (undo.turnedUp) from.back().faceUp = false;
    const auto first = to.end() - undo.move.count;
    from.insert(from.end(), first, to.end());
    to.erase(first, to.end());
}

std::vector<Move> LegalMoves(Rules rules, const Position& position) {
    std::vector<Move> out;
    const int columns = static_cast<int>(position.columns.size());
    // To the foundations: the top cards. An Ace is offered one empty
    // foundation only, the first.
    for (int c = 0; c < columns; ++c) {
        if (position.columns[static_cast<size_t>(c)].empty()) continue;
        for (int f = 0; f < kFoundations; ++f) {
            const Move m{{false, c}, {true, f}, 1};
            if (!Why(rules, position, m)) {
                out.push_back(m);
                break;
            }
        }
    }
    // Between columns. An empty column is offered once, the first; a whole
    // column onto an empty one is the same position again.
    int firstEmpty = -1;
    for (int c = 0; c < columns && firstEmpty < 0; ++c)
        if (position.columns[static_cast<size_t>(c)].empty()) firstEmpty = c;
    for (int from = 0; from < columns; ++from) {
        const std::vector<Card>& pile = position.columns[static_cast<size_t>(from)];
        const int most = OneCardAtATime(rules) ? std::min<int>(1, static_cast<int>(pile.size())) : static_cast<int>(pile.size());
        for (int count = 1; count <= most; ++count) {
            if (!pile[pile.size() - static_cast<size_t>(count)].faceUp) break;
            for (int to = 0; to < columns; ++to) {
                const bool empty = position.columns[static_cast<size_t>(to)].empty();
                if (empty && (to != firstEmpty || count == static_cast<int>(pile.size()))) continue;
                const Move m{{false, from}, {false, to}, count};
                if (!Why(rules, position, m)) out.push_back(m);
            }
        }
    }
    if (rules == Rules::Cruel && Redealt(position.columns) != position.columns) {
        Move m;
        m.redeal = true;
        out.push_back(m);
    }
    return out;
}

}  // namespace corvelle::referee
