// The standard rules of several families of patience games as a small model
// of their own: the position, the legality of a move and its effect. Written
// from the games' usual descriptions, independently of the rules engine, so
// that a line the engine accepts can be checked against it and a line found
// here can be checked in the engine.
//
// Three kinds of game share the position and the moves:
//  - building games (Baker's Dozen, Fan, Yukon, Cruel, Klondike, Spider,
//    Canfield, Forty Thieves and their variants): columns built on, cards
//    carried to foundations, with a stock, a waste and reserves where the
//    rules have them;
//  - Golf games (Golf, Tri Peaks, Black Hole): the free tableau cards go onto
//    a waste one rank above or below its top card;
//  - Pyramid games (Pyramid, Giza, Baroness, Thirteens): free cards adding up
//    to thirteen are discarded in pairs, Kings alone.
// A family's usual rules are its preset; a game's variant states what
// differs as NAME=VALUE parameters (see ParseRules).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvelle::referee {

enum class Family : uint8_t { BakersDozen, Fan, Yukon, Cruel, Klondike, Spider, Canfield, FortyThieves, Golf, Pyramid };
enum class Kind : uint8_t { Building, Golf, Pyramid };

// Which suits a card may be built on ("alt" the other colour, "suit" its
// own, "colour" its own colour, "other" any suit but its own).
enum class SuitRule : uint8_t { Alt, Suit, Colour, Other, Any, None };
// What leaves a column in one move: its top card only; any run at its top;
// the top card or the whole column when it is one run; the top card or all
// its face-up cards when they are one run with nothing face up below; any
// face-up card with everything on it.
enum class Lift : uint8_t { One, Run, Whole, FaceUp, Group };
// What an empty column takes: any card, a King, nothing, the rank one below
// the foundations' base.
enum class Space : uint8_t { Any, King, None, BelowBase };
// Where the card filling an empty column may come from: anywhere; the
// waste; a reserve while any holds a card, then the waste; the same, and
// the stock's top card (turning face up) while the waste is empty.
enum class SpaceFrom : uint8_t { Any, Waste, ReserveThenWaste, ReserveThenWasteOrStock };
// A click on the stock: nothing; turns cards onto the waste (and the waste
// back into a stock when empty); deals a card onto each column; onto each
// reserve pile; Cruel's redeal of the columns.
enum class Stock : uint8_t { None, Waste, Row, Reserves, Regather };
// The foundations' first rank: a fixed rank, the rank of the card dealt to
// the first foundation, or of the first card the player puts there.
enum class Base : uint8_t { Rank, Dealt, Chosen };
// What fills an empty column at once: nothing, the reserve's top card, the
// stock's, the waste's (the stock's while the waste is empty).
enum class Fill : uint8_t { None, Reserve, Stock, Waste };
// What a foundation takes: cards one by one, built up from the base; a whole
// run of one suit from King down to Ace (turning the corner where the
// columns do) at once; or, by itself, every card of a rank from a column
// that holds them all (all foundations then share one pile).
enum class Home : uint8_t { Cards, Runs, Sets };
// A row dealt from the stock where a column is empty: it is dealt onto every
// column, it is refused, or the empty columns get no card.
enum class RowOnEmpty : uint8_t { Deal, Refuse, Skip };
// How Golf's and Pyramid's tableau lies: columns whose top card is free,
// Tri Peaks' three peaks of 28 cards, a pyramid of 28 cards in seven rows.
enum class Layout : uint8_t { Columns, Peaks, Pyramid };

struct Rules {
    Family family = Family::Klondike;
    // The pack: `decks` copies of the 13 cards of each suit of `suits`.
    int decks = 1;
    std::string suits = "CSDH";
    // The game's pile groups that play the columns and the reserve piles,
    // and its pile that plays the waste.
    std::string tableauName = "tableau", reserveName = "reserve", wasteName = "waste";
    // The deal: cards per column and per reserve pile, and how many of each
    // pile's top cards lie face up (the others face down beneath them).
    int columns = 0, reserves = 0;
    std::vector<int> deal, up, reserveDeal, reserveUp;
    int wasteDeal = 0;   // cards dealt face up onto the waste
    bool kingsUnder = false;   // Baker's Dozen: each King moved beneath its column's other cards
    // Building on the columns.
    SuitRule build = SuitRule::Alt;
    SuitRule runs = SuitRule::Alt;   // the suits a run that moves as one must follow
    bool wrap = false;      // a King goes on an Ace (Golf: an Ace and a King follow each other)
    bool wrapUnlessAceBase = false;   // ... except in a deal whose dealt base is the Ace
    bool aceOnKing = false;   // columns built down also take an Ace on a King
    bool acesHigh = false;  // the Ace ranks above the King, nothing goes on a Two
    bool sameRank = false;  // a card goes on a card of its own rank, not on the next one up
    bool deadKings = false; // Golf: nothing goes on a King
    Lift lift = Lift::Run;
    Space space = Space::King;
    SpaceFrom spaceFrom = SpaceFrom::Any;
    Fill fill = Fill::None;
    bool reserveLastUp = false;     // a reserve's last card turns face up
    // The foundations.
    int foundations = 4;
    Home home = Home::Cards;
    SuitRule homeBuild = SuitRule::Suit;   // the suits a foundation is built up in
    Base base = Base::Rank;
    int baseRank = 1;
    bool placed = false;          // the deal puts the base cards on the foundations
    bool fromFoundation = false;  // a foundation's top card may go back onto a column
    // The stock.
    Stock stock = Stock::None;
    int draw = 1;
    int redeals = 0;   // times the waste may become the stock again; -1 without limit
    RowOnEmpty rowOnEmpty = RowOnEmpty::Deal;
    Layout layout = Layout::Columns;
    // The check's effort: positions the model's solver may enter for one
    // deal, and how many deals it shows to have no solution the engine's
    // search then tries to win (besides those it has tried already).
    long budget = 10000;
    int crossChecks = 1;

    // The usual rules of the family named by the word a game file uses
    // ("bakers-dozen", "fan", "yukon", "cruel", "klondike", "spider",
    // "canfield", "forty-thieves", "golf", "pyramid"); false for any other.
    static bool Preset(const std::string& word, Rules& rules);
    static const Rules BakersDozen, Fan, Yukon, Cruel;

    Kind GetGameKind() const;
    int GetPackSize() const { return decks * static_cast<int>(suits.size()) * 13; }
};

// The word of a family alone ("fan"), as Rules::Preset reads it.
bool RulesNamed(const std::string& word, Rules& rules);
const char* RulesName(const Rules& rules);
const char* FamilyName(Family family);

// Reads a referee line without its keyword: the family, then NAME=VALUE
// parameters that change its preset. False with the reason in `error`.
// The parameters and their values are listed in the README.
bool ParseRules(const std::string& line, Rules& rules, std::string& error);

struct Card {
    uint8_t suit = 0;   // 1 clubs, 2 spades (black), 3 diamonds, 4 hearts (red)
    uint8_t rank = 0;   // 1 Ace .. 13 King
    bool faceUp = true;
    bool operator==(const Card& o) const { return suit == o.suit && rank == o.rank && faceUp == o.faceUp; }
    bool operator!=(const Card& o) const { return !(*this == o); }
};
std::string CardText(const Card& card);   // "TD", "5c" face down

enum class Role : uint8_t { Column, Foundation, Reserve, Stock, Waste, Discard };
// A pile of the position: index 0.. within its role (0 for the single piles).
struct Place {
    Role role = Role::Column;
    int index = 0;
    bool operator==(const Place& o) const { return role == o.role && index == o.index; }
};
std::string PlaceText(const Place& place);   // "column 3", "foundation 1", "the waste" (counted from 1)

// The top `count` cards of `from` go onto `to` as one move (in a Pyramid
// game a card dropped on another discards both); or, with `click`, a click
// on `from`: the stock (turn cards, deal a row, redeal) or a King that is
// discarded alone.
struct Move {
    Place from, to;
    int count = 1;
    bool click = false;
};
Move CardsMove(Place from, Place to, int count = 1);
Move Click(Place pile);
std::string MoveText(const Move& move);

using Pile = std::vector<Card>;   // bottom card first
struct Position {
    std::vector<Pile> columns, foundations, reserves;
    Pile stock, waste, discard;   // the discard pile kept in card order: where a card went, not when
    int redeals = 0;   // times the waste has become the stock again
    bool operator==(const Position& o) const {
        return columns == o.columns && foundations == o.foundations && reserves == o.reserves && stock == o.stock &&
               waste == o.waste && discard == o.discard;
    }
};
std::string PositionText(const Position& position);
// The pile at `place`, which must exist.
inline const Pile& PileAt(const Position& position, const Place& place) {
    const auto i = static_cast<size_t>(place.index);
    switch (place.role) {
        case Role::Column: return position.columns[i];
        case Role::Foundation: return position.foundations[i];
        case Role::Reserve: return position.reserves[i];
        case Role::Stock: return position.stock;
        case Role::Waste: return position.waste;
        case Role::Discard: break;
    }
    return position.discard;
}
inline Pile& PileAt(Position& position, const Place& place) {
    return const_cast<Pile&>(PileAt(static_cast<const Position&>(position), place));
}

// The cards of `position`, pile after pile, when it is won by the rules.
bool Won(const Rules& rules, const Position& position);

// "" when `position` is the opening layout of the rules (piles of the right
// sizes, face-down cards where the deal puts them, exactly the pack, the
// foundations as the rules start them), else what differs.
std::string CheckDeal(const Rules& rules, const Position& position);

// The rules as they hold for the deal `start`: where the columns turn the
// corner unless the dealt base is the Ace, a deal based on the Ace does not.
Rules ForDeal(const Rules& rules, const Position& start);

// Whether a column's card `moved` may lie on `onto` by the rules.
bool BuildsOn(const Rules& rules, const Card& moved, const Card& onto);

// "" when `move` is legal in `position`, else why it is not.
std::string Refusal(const Rules& rules, const Position& position, const Move& move);

// Makes a legal move, with what follows by itself (an uncovered face-down
// card turning up, an empty column filled from the reserve, ...).
void Make(const Rules& rules, Position& position, const Move& move);

// The same, keeping the position before the move so that it can be taken back.
struct Undo {
    Position before;
};
Undo Apply(const Rules& rules, Position& position, const Move& move);
void TakeBack(Position& position, const Undo& undo);

// Every legal move of `position`, foundation moves first. Moves that only
// lead to a position equal to one already listed up to the order of
// interchangeable piles are left out: a whole column onto an empty one, a
// card to a second empty foundation or column, a click that changes
// nothing.
std::vector<Move> LegalMoves(const Rules& rules, const Position& position);

}  // namespace corvelle::referee
