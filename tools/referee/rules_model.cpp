#include "tools/referee/rules_model.h"

#include <algorithm>
#include <map>

#include "engine/records.h"
#include "tools/referee/rules_internal.h"

namespace corvelle::referee {

void TurnWasteOver(Position& p) {
    p.stock.assign(p.waste.rbegin(), p.waste.rend());
    for (Card& c : p.stock) c.faceUp = false;
    p.waste.clear();
    ++p.redeals;
}

const char* WhyNotTurn(const Rules& rules, const Position& p) {
    if (!p.stock.empty()) return nullptr;
    if (p.waste.empty()) return "the stock and the waste are empty";
    if (rules.redeals >= 0 && p.redeals >= rules.redeals)
        return rules.redeals == 0 ? "the stock is gone through once only" : "no redeal is left";
    return nullptr;
}

void Turn(const Rules& rules, Position& p) {
    if (p.stock.empty()) {
        TurnWasteOver(p);
        return;
    }
    for (int k = 0; k < rules.draw && !p.stock.empty(); ++k) {
        p.waste.push_back(p.stock.back());
        p.waste.back().faceUp = true;
        p.stock.pop_back();
    }
}

void DealRow(Position& p, std::vector<Pile>& piles, bool skipEmpty) {
    for (Pile& pile : piles) {
        if (p.stock.empty()) return;
        if (skipEmpty && pile.empty()) continue;
        pile.push_back(p.stock.back());
        pile.back().faceUp = true;
        p.stock.pop_back();
    }
}

void FillSpaces(const Rules& rules, Position& p) {
    if (rules.fill == Fill::None) return;
    for (Pile& column : p.columns) {
        Pile& from = rules.fill == Fill::Reserve                      ? p.reserves[0]
                     : rules.fill == Fill::Waste && !p.waste.empty() ? p.waste
                                                                      : p.stock;
        if (column.empty() && !from.empty()) {
            column.push_back(from.back());
            column.back().faceUp = true;
            from.pop_back();
        }
    }
}

std::string CardText(const Card& card) {
    std::string s{RankLetter(card.rank), SuitLetter(card.suit)};
    if (!card.faceUp) s[1] = static_cast<char>(s[1] - 'A' + 'a');
    return s;
}

std::string PlaceText(const Place& place) {
    const std::string n = std::to_string(place.index + 1);
    switch (place.role) {
        case Role::Column: return "column " + n;
        case Role::Foundation: return "foundation " + n;
        case Role::Reserve: return "reserve " + n;
        case Role::Stock: return "the stock";
        case Role::Waste: return "the waste";
        case Role::Discard: return "the discard pile";
    }
    return "";
}

Move CardsMove(Place from, Place to, int count) { return Move{from, to, count, false}; }
Move Click(Place pile) { return Move{pile, pile, 0, true}; }

std::string MoveText(const Move& move) {
    if (move.click) return "a click on " + PlaceText(move.from);
    return std::to_string(move.count) + (move.count == 1 ? " card" : " cards") + " from " + PlaceText(move.from) + " to " +
           PlaceText(move.to);
}

std::string PositionText(const Position& position) {
    std::string s;
    const auto line = [&](const std::string& name, const Pile& pile) {
        s += name + ":";
        for (const Card& c : pile) s += " " + CardText(c);
        s += "\n";
    };
    for (size_t k = 0; k < position.foundations.size(); ++k) line(PlaceText({Role::Foundation, static_cast<int>(k)}), position.foundations[k]);
    for (size_t k = 0; k < position.columns.size(); ++k) line(PlaceText({Role::Column, static_cast<int>(k)}), position.columns[k]);
    for (size_t k = 0; k < position.reserves.size(); ++k) line(PlaceText({Role::Reserve, static_cast<int>(k)}), position.reserves[k]);
    if (!position.stock.empty()) line("the stock", position.stock);
    if (!position.waste.empty()) line("the waste", position.waste);
    if (!position.discard.empty()) line("the discard pile", position.discard);
    return s;
}

bool Won(const Rules& rules, const Position& p) {
    for (const Pile& c : p.columns)
        if (!c.empty()) return false;
    for (const Pile& r : p.reserves)
        if (!r.empty()) return false;
    // Golf and Pyramid are won once their tableau is clear, with no row
    // left in the stock to deal onto it; the building games when every card
    // is home.
    if (rules.GetGameKind() == Kind::Building) return p.stock.empty() && p.waste.empty();
    return rules.stock != Stock::Row || p.stock.empty();
}

std::string CheckDeal(const Rules& rules, const Position& p) {
    const bool building = rules.GetGameKind() == Kind::Building;
    if (p.columns.size() != static_cast<size_t>(rules.columns))
        return "the rules deal " + std::to_string(rules.columns) + " columns, not " + std::to_string(p.columns.size());
    if (p.foundations.size() != static_cast<size_t>(building ? rules.foundations : 0))
        return "the rules have " + std::to_string(building ? rules.foundations : 0) + " foundations, not " + std::to_string(p.foundations.size());
    if (p.reserves.size() != static_cast<size_t>(rules.reserves))
        return "the rules have " + std::to_string(rules.reserves) + " reserve piles, not " + std::to_string(p.reserves.size());
    // Every card of the pack exactly once per deck.
    std::map<int, int> seen;
    std::string outside;
    const auto count = [&](const Pile& pile) {
        for (const Card& c : pile) {
            if (c.rank < 1 || c.rank > kKing || rules.suits.find(SuitLetter(c.suit)) == std::string::npos) outside = CardText(c);
            ++seen[c.suit * 16 + c.rank];
        }
    };
    for (const auto* group : {&p.columns, &p.foundations, &p.reserves})
        for (const Pile& pile : *group) count(pile);
    for (const Pile* pile : {&p.stock, &p.waste, &p.discard}) count(*pile);
    if (!outside.empty()) return outside + " is not a card of the rules' pack";
    for (auto [card, n] : seen)
        if (n != rules.decks)
            return "the deal holds " + std::to_string(n) + " of " + CardText({static_cast<uint8_t>(card / 16), static_cast<uint8_t>(card % 16), true}) +
                   ", the pack " + std::to_string(rules.decks);
    if (seen.size() * static_cast<size_t>(rules.decks) != static_cast<size_t>(rules.GetPackSize())) return "cards of the pack are missing";
    // The piles' sizes and which of their cards lie face up.
    const auto layout = [](const std::string& name, const Pile& pile, int size, int up) -> std::string {
        if (pile.size() != static_cast<size_t>(size))
            return name + " holds " + std::to_string(pile.size()) + " cards, the deal gives it " + std::to_string(size);
        for (size_t i = 0; i < pile.size(); ++i)
            if (pile[i].faceUp != (static_cast<int>(pile.size() - i) <= up))
                return name + ": " + CardText(pile[i]) + " lies face " + (pile[i].faceUp ? "up" : "down");
        return "";
    };
    for (size_t k = 0; k < p.columns.size(); ++k) {
        const std::string name = PlaceText({Role::Column, static_cast<int>(k)});
        if (std::string why = layout(name, p.columns[k], rules.deal[k], rules.up[k]); !why.empty()) return why;
        // Baker's Dozen puts every King beneath the other cards of its column.
        const Pile& column = p.columns[k];
        for (size_t i = 1; rules.kingsUnder && i < column.size(); ++i)
            if (column[i].rank == kKing && column[i - 1].rank != kKing)
                return name + ": " + CardText(column[i]) + " lies on a card that is not a King";
    }
    for (size_t k = 0; k < p.reserves.size(); ++k)
        if (std::string why = layout(PlaceText({Role::Reserve, static_cast<int>(k)}), p.reserves[k], rules.reserveDeal[k], rules.reserveUp[k]);
            !why.empty())
            return why;
    if (std::string why = layout("the waste", p.waste, rules.wasteDeal, rules.wasteDeal); !why.empty()) return why;
    if (std::string why = layout("the stock", p.stock, static_cast<int>(p.stock.size()), 0); !why.empty()) return why;
    if (!p.discard.empty()) return "the discard pile starts empty";
    // The foundations: empty, the base cards placed on them, or the card
    // dealt to the first one.
    std::map<int, int> suits;
    for (size_t k = 0; k < p.foundations.size(); ++k) {
        const Pile& f = p.foundations[k];
        const std::string name = PlaceText({Role::Foundation, static_cast<int>(k)});
        if (rules.placed) {
            if (f.size() != 1 || f[0].rank != rules.baseRank || !f[0].faceUp)
                return name + " starts with a face-up " + std::string(1, RankLetter(static_cast<unsigned>(rules.baseRank)));
            ++suits[f[0].suit];
        } else if (rules.base == Base::Dealt && k == 0) {
            if (f.size() != 1 || !f[0].faceUp) return name + " starts with one face-up card";
        } else if (!f.empty()) {
            return name + " starts empty";
        }
    }
    for (auto [suit, n] : suits)
        if (n != rules.foundations / static_cast<int>(rules.suits.size())) return "the foundations start with the base cards of every suit alike";
    return "";
}

bool SuitsAgree(SuitRule rule, uint8_t a, uint8_t b) {
    switch (rule) {
        case SuitRule::Alt: return Red(a) != Red(b);
        case SuitRule::Suit: return a == b;
        case SuitRule::Colour: return Red(a) == Red(b);
        case SuitRule::Other: return a != b;
        case SuitRule::Any: return true;
        case SuitRule::None: return false;
    }
    return false;
}

bool Follows(const Rules& rules, SuitRule suits, const Card& moved, const Card& onto) {
    if (!onto.faceUp) return false;
    // The rank the moved card goes on: its own, or the next one up.
    int above = moved.rank + 1;
    if (rules.sameRank) above = moved.rank;
    else if (rules.acesHigh) above = moved.rank == 1 ? 0 : moved.rank == kKing ? 1 : above;
    else if (moved.rank == kKing) above = rules.wrap ? 1 : 0;
    else if (moved.rank == 1 && rules.aceOnKing && onto.rank == kKing) above = kKing;
    return onto.rank == above && SuitsAgree(suits, moved.suit, onto.suit);
}

Rules ForDeal(const Rules& rules, const Position& start) {
    Rules forDeal = rules;
    if (rules.wrapUnlessAceBase && !start.foundations.empty() && !start.foundations[0].empty() &&
        start.foundations[0].front().rank == 1)
        forDeal.wrap = false;
    return forDeal;
}

bool BuildsOn(const Rules& rules, const Card& moved, const Card& onto) { return Follows(rules, rules.build, moved, onto); }

const char* WhyNot(const Rules& rules, const Position& p, const Move& m) {
    return rules.GetGameKind() == Kind::Building ? building::Why(rules, p, m) : clearing::Why(rules, p, m);
}

std::string Refusal(const Rules& rules, const Position& position, const Move& move) {
    const char* why = WhyNot(rules, position, move);
    return why ? why : "";
}

void Make(const Rules& rules, Position& position, const Move& move) {
    if (rules.GetGameKind() == Kind::Building) building::Make(rules, position, move);
    else clearing::Make(rules, position, move);
}

Undo Apply(const Rules& rules, Position& position, const Move& move) {
    Undo undo{position};
    Make(rules, position, move);
    return undo;
}

void TakeBack(Position& position, const Undo& undo) { position = undo.before; }

std::vector<Move> LegalMoves(const Rules& rules, const Position& position) {
    std::vector<Move> out;
    if (rules.GetGameKind() == Kind::Building) building::Moves(rules, position, out);
    else clearing::Moves(rules, position, out);
    return out;
}

}  // namespace corvelle::referee
