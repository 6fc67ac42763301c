// The standard rules of Baker's Dozen, Fan, Yukon and Cruel as a small model of
// their own: the position, the legality of a move and its effect. Written
// from the games' usual descriptions, independently of the rules engine, so
// that a line the engine accepts can be checked against it and a line found
// here can be checked in the engine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvelle::referee {

enum class Rules { BakersDozen, Fan, Yukon, Cruel };

// The word a game file uses for the rules ("bakers-dozen", "fan", "yukon",
// "cruel");
// false for any other word.
bool RulesNamed(const std::string& word, Rules& rules);
const char* RulesName(Rules rules);

struct Card {
    uint8_t suit = 0;   // 1 clubs, 2 spades (black), 3 diamonds, 4 hearts (red)
    uint8_t rank = 0;   // 1 Ace .. 13 King
    bool faceUp = true;
    bool operator==(const Card& o) const { return suit == o.suit && rank == o.rank && faceUp == o.faceUp; }
};
std::string CardText(const Card& card);   // "TD", "5c" face down

// A column or a foundation: index 0..
struct Place {
    bool foundation = false;
    int index = 0;
    bool operator==(const Place& o) const { return foundation == o.foundation && index == o.index; }
};
std::string PlaceText(const Place& place);   // "column 3", "foundation 1" (counted from 1)

// The top `count` cards of `from` go onto `to` as one move; or, with
// `redeal`, Cruel's redeal: the columns' cards gathered, the first column's
// from its bottom card up, then the second's and so on, and dealt out again
// in that order, four to a column from the first on.
struct Move {
    Place from, to;
    int count = 1;
    bool redeal = false;
};
std::string MoveText(const Move& move);

struct Position {
    std::vector<std::vector<Card>> columns;       // bottom card first
    std::vector<std::vector<Card>> foundations;   // four, bottom card first
    bool Won() const;
    bool operator==(const Position& o) const { return columns == o.columns && foundations == o.foundations; }
};
std::string PositionText(const Position& position);

// "" when `position` is the opening layout of the rules (piles of the right
// sizes, face-down cards where the deal puts them, one whole pack, empty
// foundations (Cruel's holding the four Aces), Baker's Dozen's Kings at the
// bottoms of their columns), else what differs.
std::string CheckDeal(Rules rules, const Position& position);

// Whether a column's card `moved` may lie on `onto` by the rules.
bool BuildsOn(Rules rules, const Card& moved, const Card& onto);

// "" when `move` is legal in `position`, else why it is not.
std::string Refusal(Rules rules, const Position& position, const Move& move);

// What a legal move changed, so that it can be taken back.
struct Undo {
    Move move;
    bool turnedUp = false;   // Yukon: the card it uncovered was turned face up
    std::vector<uint8_t> sizes;   // a redeal: the columns' sizes before it
};
// Makes a legal move, with what follows by itself (Yukon turns an
// uncovered face-down card up).
Undo Apply(Rules rules, Position& position, const Move& move);
void TakeBack(Position& position, const Undo& undo);

// Every legal move of `position`, foundation moves first. Moves that only
// lead to a position equal to one already listed up to the order of the
// columns and foundations are left out: a whole column onto an empty one,
// a card to a second empty foundation or column, a redeal that changes
// nothing.
std::vector<Move> LegalMoves(Rules rules, const Position& position);

}  // namespace corvelle::referee
