// Two complete model games written with the rule assembler, for the tests,
// the benchmarks and the fuzz targets (header-only, so that each of them can
// include it without a library of its own):
//  - KlondikeLike: 52 cards; stock, waste, four foundations, seven fanned
//    tableau piles of alternating-colour descending runs, draw one card per
//    stock click, two redeals, automatic turning of tableau tops, a win.
//  - SpiderLike: 104 cards; stock, one pile for completed runs, ten fanned
//    tableau piles of same-suit runs, a stock click that deals a card to
//    every tableau pile, and repeating events that clear K..A runs.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "writer/assembler.h"
#include "writer/record_writer.h"
#include "models/action_records.h"

namespace corvelle::model {

// Bytes of a program text; a broken text aborts (these texts are fixed).
inline std::vector<uint8_t> Code(const std::string& text) {
    std::vector<uint8_t> out;
    AssemblerError error;
    if (!AssembleRuleProgram(text, out, &error)) {
        std::fprintf(stderr, "model game program: %s\n", error.ToString().c_str());
        std::abort();
    }
    return out;
}

// The program texts. Lists are top card first; truth is zero.
namespace programs {
constexpr const char* kNever = "PUSH 1";
constexpr const char* kAlways = "PUSH 0";
constexpr const char* kNotEmpty = "SUIT IF PUSH 1 ELSE PUSH 0 ENDIF";
constexpr const char* kTopFaceDown = "SUIT PUSH 6 SUB";
constexpr const char* kAtMostOne =
    "BLOCK PUSH 1 LOOP SUIT IF DROP PUSH 0 PUSH 0 BREAK ENDIF DUP IF DROP SUIT RANK BREAK ENDIF "
    "PUSH 1 SUB NEXTCARD ENDLOOP RESETCARD EXIT ENDBLOCK ABS SWAP ABS ADD";
// Leaves suit and rank of the last entry of the current list.
#define CORVELLE_LAST_ENTRY "SUIT RANK LOOP NEXTCARD SUIT IF BREAK ENDIF DROP DROP SUIT RANK ENDLOOP "
// Colour of a suit on the stack: 0 black, 1 red.
#define CORVELLE_COLOUR "PUSH 1 SUB PUSH 2 DIV "
// A face-up run whose ranks go down by one toward the top; the second part
// compares the colours (alternating) or the suits (equal).
#define CORVELLE_RUN(compare)                                               \
    "SUIT PUSH 6 SUB IF PUSH 1 EXIT ENDIF SUIT RANK "                       \
    "LOOP NEXTCARD SUIT IF DROP DROP PUSH 0 BREAK ENDIF "                   \
    "SUIT PUSH 6 SUB IF DROP DROP PUSH 1 BREAK ENDIF "                      \
    "RANK SUB PUSH 1 ADD IF ELSE DROP PUSH 1 BREAK ENDIF " compare          \
    "IF ELSE PUSH 1 BREAK ENDIF SUIT RANK ENDLOOP"
constexpr const char* kAlternatingRun =
    CORVELLE_RUN(CORVELLE_COLOUR "SUIT " CORVELLE_COLOUR "SUB ABS PUSH 1 SUB ");
constexpr const char* kSameSuitRun = CORVELLE_RUN("SUIT SUB ");
// A: moving cards, B: destination.
constexpr const char* kKlondikeDrop =
    CORVELLE_LAST_ENTRY "SWITCHLIST SUIT IF PUSH 13 SUB EXIT ENDIF "
    "SUIT PUSH 6 SUB IF PUSH 1 EXIT ENDIF RANK SUB PUSH 1 ADD IF ELSE PUSH 1 EXIT ENDIF "
    CORVELLE_COLOUR "SUIT " CORVELLE_COLOUR "SUB ABS PUSH 1 SUB";
constexpr const char* kFoundationDrop =
    "NEXTCARD SUIT IF ELSE PUSH 1 EXIT ENDIF RESETCARD SUIT RANK SWITCHLIST "
    "SUIT IF PUSH 1 SUB EXIT ENDIF RANK SUB PUSH 1 SUB IF ELSE PUSH 1 EXIT ENDIF SUIT SUB";
constexpr const char* kSpiderDrop =
    CORVELLE_LAST_ENTRY "SWITCHLIST SUIT IF DROP DROP PUSH 0 EXIT ENDIF "
    "SUIT PUSH 6 SUB IF PUSH 1 EXIT ENDIF RANK SUB PUSH 1 ADD SWAP DROP";
// The top 13 entries are A, 2, ..., K of one suit, face up.
constexpr const char* kCompleteRun =
    "RANK PUSH 1 SUB IF ELSE PUSH 1 EXIT ENDIF PUSH 12 SUIT RANK "
    "LOOP ROLLUP DUP IF DROP DROP DROP PUSH 0 BREAK ENDIF PUSH 1 SUB ROLLDOWN "
    "NEXTCARD RANK SUB PUSH 1 ADD IF ELSE DROP DROP PUSH 1 BREAK ENDIF "
    "SUIT SUB IF ELSE DROP PUSH 1 BREAK ENDIF SUIT RANK ENDLOOP";
#undef CORVELLE_RUN
#undef CORVELLE_COLOUR
#undef CORVELLE_LAST_ENTRY
// The list holds exactly n cards.
inline std::string CountIs(int n) {
    return "PUSH 0 LOOP SUIT IF BREAK ENDIF PUSH 1 ADD NEXTCARD ENDLOOP PUSH " + std::to_string(n) + " SUB";
}
}  // namespace programs

// Builds a game definition step by step.
class GameBuilder {
public:
    GameBuilder() {
        g.name = "Model";
        g.rulesText = "A model game.";
        g.eventTypes.push_back(EventAfterStep);   // event 0: never runs
        const uint16_t never = Program(programs::kNever);
        g.conditions.push_back(RuleCondition{never, 0, kNone});
        g.eventConditions.push_back(EventCondition{0, 0});
        g.links.push_back(MoveLink{kAnyPile, kAnyPile});
    }

    void Decks(int decks) {
        for (int d = 0; d < decks; ++d)
            for (uint8_t suit = 1; suit <= 4; ++suit)
                for (uint8_t rank = 1; rank <= 13; ++rank)
                    g.cards.push_back(CardDef{0, suit, rank});
    }

    uint16_t Program(const std::string& text) {
        const std::vector<uint8_t> code = Code(text);
        for (size_t i = 0; i < g.programs.size(); ++i)
            if (g.programs[i] == code)
                return static_cast<uint16_t>(i);
        g.programs.push_back(code);
        return static_cast<uint16_t>(g.programs.size() - 1);
    }

    uint16_t Pile(uint16_t dealCount, uint8_t fan, uint8_t baseKind, const std::string& pickup,
                  const std::string& drop) {
        PileDef p{};
        p.x = static_cast<int16_t>(9 + 16 * (g.piles.size() % 10));   // first card centres
        p.y = static_cast<int16_t>(12 + 40 * (g.piles.size() / 10));
        p.fan = fan;
        p.baseKind = baseKind;
        p.acceptsDrops = 1;
        p.enabled = 1;
        p.dealCount = dealCount;
        p.pickupProgram = Program(pickup);
        p.dropProgram = Program(drop);
        g.piles.push_back(p);
        return static_cast<uint16_t>(g.piles.size() - 1);
    }

    PileDef& PileAt(uint16_t pile) { return g.piles[pile]; }

    uint16_t Event(uint8_t type) {
        g.eventTypes.push_back(type);
        return static_cast<uint16_t>(g.eventTypes.size() - 1);
    }

    void Condition(uint16_t event, const std::string& program, uint16_t pileA, uint16_t pileB = kNone) {
        g.conditions.push_back(RuleCondition{Program(program), pileA, pileB});
        g.eventConditions.push_back(EventCondition{event, static_cast<uint16_t>(g.conditions.size() - 1)});
    }

    void Action(uint16_t event, const ActionDef& action) {
        g.actions.push_back(action);
        g.eventActions.push_back(EventAction{event, static_cast<uint16_t>(g.actions.size() - 1)});
    }

    uint16_t Counter(uint16_t event, uint16_t initial, uint16_t exhaustedEvent = 0) {
        g.counterDefs.push_back(CounterDef{initial, exhaustedEvent});
        const uint16_t counter = static_cast<uint16_t>(g.counterDefs.size() - 1);
        g.eventCounters.push_back(EventCounter{event, counter});
        return counter;
    }

    GameDefinitionData& GetData() { return g; }

private:
    GameDefinitionData g;
};

// Turning the top card, or every card, of a pile.
inline ActionDef TurnTop(uint16_t pile, uint16_t faceUp) {
    return test::CardAttr(pile, SourceFromTop, 0, 1, CardFaceUp, faceUp);
}
inline ActionDef TurnAll(uint16_t pile, uint16_t faceUp) {
    return test::CardAttr(pile, SourceFromPosition, 0, 0, CardFaceUp, faceUp);
}
inline ActionDef Finish() { return ActionDef{ActionFinishGame}; }

// One after-step event for each of `count` piles from `first`: the pile's
// top card turns face up when it lies face down.
inline void TurnUpTops(GameBuilder& b, uint16_t first, uint16_t count) {
    for (uint16_t t = 0; t < count; ++t) {
        const uint16_t pile = static_cast<uint16_t>(first + t);
        const uint16_t turn = b.Event(EventAfterStep);
        b.Condition(turn, programs::kTopFaceDown, pile);
        b.Action(turn, TurnTop(pile, 1));
    }
}

// Pile numbers of the Klondike-like game.
enum KlondikePiles : uint16_t { kStock = 0, kWaste = 1, kFoundation = 2, kTableau = 6 };

inline GameDefinitionData KlondikeLike() {
    using namespace programs;
    GameBuilder b;
    b.Decks(1);
    const uint16_t stock = b.Pile(24, FanNone, BasePlain, kNever, kNever);
    const uint16_t waste = b.Pile(0, FanNone, BaseNone, kAtMostOne, kNever);
    for (int f = 0; f < 4; ++f)
        b.Pile(0, FanNone, BaseMarked, kAtMostOne, kFoundationDrop);
    for (uint16_t t = 0; t < 7; ++t) {
        const uint16_t pile = b.Pile(t + 1, FanDown, BasePlain, kAlternatingRun, kKlondikeDrop);
        b.GetData().flips.push_back(PilePosition{pile, static_cast<int16_t>(t)});
    }
    const uint16_t draw = b.Event(EventPlayerOnly);
    b.Action(draw, test::Move(stock, SourceFromTop, 0, 1, waste, DestFromTop));
    b.Action(draw, TurnTop(waste, 1));
    const uint16_t redeal = b.Event(EventPlayerOnly);
    b.Condition(redeal, kNotEmpty, waste);
    b.Action(redeal, test::Move(waste, SourceFromPosition, 0, 0, stock, DestFromTop));
    b.Action(redeal, test::PileAttr(stock, PileReverse, 0));
    b.Action(redeal, TurnAll(stock, 0));
    b.Counter(redeal, 2);
    b.PileAt(stock).clickEvent = draw;
    b.PileAt(stock).emptyClickEvent = redeal;
    TurnUpTops(b, kTableau, 7);
    const uint16_t win = b.Event(EventAfterStep);
    for (uint16_t f = 0; f < 4; ++f)
        b.Condition(win, CountIs(13), kFoundation + f);
    b.Action(win, Finish());
    b.GetData().name = "Klondike-like";
    return b.GetData();
}

// Pile numbers of the Spider-like game.
enum SpiderPiles : uint16_t { kSpiderStock = 0, kSpiderDone = 1, kSpiderTableau = 2 };

inline GameDefinitionData SpiderLike() {
    using namespace programs;
    GameBuilder b;
    b.Decks(2);
    const uint16_t stock = b.Pile(50, FanNone, BasePlain, kNever, kNever);
    const uint16_t done = b.Pile(0, FanNone, BaseNone, kNever, kNever);
    b.PileAt(done).acceptsDrops = 0;
    for (uint16_t t = 0; t < 10; ++t) {
        const uint16_t cards = t < 4 ? 6 : 5;
        const uint16_t pile = b.Pile(cards, FanDown, BasePlain, kSameSuitRun, kSpiderDrop);
        b.GetData().flips.push_back(PilePosition{pile, static_cast<int16_t>(cards - 1)});
    }
    const uint16_t deal = b.Event(EventPlayerOnly);
    b.Condition(deal, kNotEmpty, stock);
    for (uint16_t t = 0; t < 10; ++t) {
        b.Action(deal, test::Move(stock, SourceFromTop, 0, 1, kSpiderTableau + t, DestFromTop));
        b.Action(deal, TurnTop(kSpiderTableau + t, 1));
    }
    b.PileAt(stock).clickEvent = deal;
    for (uint16_t t = 0; t < 10; ++t) {
        const uint16_t clear = b.Event(EventAfterStepRepeating);
        b.Condition(clear, kCompleteRun, kSpiderTableau + t);
        b.Action(clear, test::Move(kSpiderTableau + t, SourceFromTop, 0, 13, done, DestFromTop));
    }
    TurnUpTops(b, kSpiderTableau, 10);
    const uint16_t win = b.Event(EventAfterStep);
    b.Condition(win, CountIs(104), done);
    b.Action(win, Finish());
    b.GetData().name = "Spider-like";
    return b.GetData();
}

}  // namespace corvelle::model
