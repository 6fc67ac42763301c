// What the rules model's parts share: pile access and each kind of game's
// legality, effect and moves.
#pragma once

#include <vector>

#include "tools/referee/rules_model.h"

namespace corvelle::referee {

constexpr uint8_t kKing = 13;

inline bool Red(uint8_t suit) { return suit == 3 || suit == 4; }

inline bool Exists(const Position& p, const Place& place) {
    size_t n = 1;
    switch (place.role) {
        case Role::Column: n = p.columns.size(); break;
        case Role::Foundation: n = p.foundations.size(); break;
        case Role::Reserve: n = p.reserves.size(); break;
        default: break;
    }
    return place.index >= 0 && static_cast<size_t>(place.index) < n;
}

// Whether two suits agree by `rule`.
bool SuitsAgree(SuitRule rule, uint8_t a, uint8_t b);
// Whether `moved` may lie on `onto` one rank below it with suits by `suits`
// (the build, or the rule a run that moves as one follows).
bool Follows(const Rules& rules, SuitRule suits, const Card& moved, const Card& onto);

// Turns the waste over into a new stock, face down, the waste's first card
// on top: the stock's redeal.
void TurnWasteOver(Position& p);
// The stock's click that turns cards onto the waste: nullptr when legal.
const char* WhyNotTurn(const Rules& rules, const Position& p);
// Turns `rules.draw` cards one by one onto the waste, or the waste back into
// a stock when the stock is empty.
void Turn(const Rules& rules, Position& p);
// One card from the stock face up onto each of `piles` (but the empty ones
// with `skipEmpty`), from the first on, while the stock lasts.
void DealRow(Position& p, std::vector<Pile>& piles, bool skipEmpty = false);
// Where the rules fill empty columns at once: each, from the first on, takes
// the top card of the reserve (its only pile) or of the stock, face up,
// while there is one.
void FillSpaces(const Rules& rules, Position& p);

// Why `move` is refused, nullptr when it is legal: the legality test of
// the solver's inner loop, without building any text.
const char* WhyNot(const Rules& rules, const Position& p, const Move& m);

// Building games (Baker's Dozen, Fan, Yukon, Cruel, Klondike, Spider,
// Canfield, Forty Thieves and their variants).
namespace building {
const char* Why(const Rules& rules, const Position& p, const Move& m);
void Make(const Rules& rules, Position& p, const Move& m);
void Moves(const Rules& rules, const Position& p, std::vector<Move>& out);
// The rank the foundations start from, 0 while no card has fixed it.
int BaseRank(const Rules& rules, const Position& p);
// Whether the columns are told apart only by their cards: not where a row
// dealt from the stock or Cruel's redeal goes through them in order.
bool Interchangeable(const Rules& rules, const Position& p);
}  // namespace building

// Golf and Pyramid games: tableau cards leave when free.
namespace clearing {
// The columns that must be empty before column `c` is free, as the layout
// stacks them: none for Golf's columns, whose top card is free.
const std::vector<int>& Covering(const Rules& rules, int column);
bool Free(const Rules& rules, const Position& p, int column);
const char* Why(const Rules& rules, const Position& p, const Move& m);
void Make(const Rules& rules, Position& p, const Move& m);
void Moves(const Rules& rules, const Position& p, std::vector<Move>& out);
}  // namespace clearing

}  // namespace corvelle::referee
