// The rules model of the Klondike, Spider, Canfield, Forty Thieves, Golf and
// Pyramid families, and the referee line that sets their variants: what a
// variant lets move, where, what a click does, and what the solver makes of
// positions that need the stock.
#include <gtest/gtest.h>

#include "tests/referee/positions.h"
#include "tools/referee/model_solver.h"

using namespace corvelle::referee;

namespace {

const Place kStock{Role::Stock, 0}, kWaste{Role::Waste, 0};

Move FromWaste(Place to) { return CardsMove(kWaste, to); }

// Plays `moves` from `p` by the rules: "" when each is legal and the last
// wins, else the first refusal.
std::string Replay(const Rules& rules, Position p, const std::vector<Move>& moves) {
    for (const Move& m : moves) {
        if (std::string why = Refusal(rules, p, m); !why.empty()) return MoveText(m) + ": " + why;
        Make(rules, p, m);
    }
    return Won(rules, p) ? "" : "not won";
}

}  // namespace

// A family's word is its preset; parameters change it, a count for every
// pile follows a changed number of piles, and what cannot be read or does
// not hold together is refused with the reason.
TEST(RefereeLine, PresetsParametersAndRefusals) {
    const Rules k = Line("klondike");
    EXPECT_EQ(k.deal, std::vector<int>({1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(k.up, std::vector<int>(7, 1));
    EXPECT_TRUE(k.stock == Stock::Waste && k.draw == 1 && k.redeals == -1 && k.fromFoundation && k.space == Space::King);
    const Rules somerset = Line("klondike columns=10 deal=1..8,8,8 up=all move=one space=any stock=none");
    EXPECT_EQ(somerset.deal, std::vector<int>({1, 2, 3, 4, 5, 6, 7, 8, 8, 8}));
    EXPECT_EQ(Line("forty-thieves columns=12").deal, std::vector<int>(12, 4));
    const Rules oneSuit = Line("spider decks=8 suits=S");
    EXPECT_EQ(oneSuit.GetPackSize(), 104);
    EXPECT_EQ(oneSuit.foundations, 8);
    EXPECT_EQ(Line("fan").deal, Rules::Fan.deal);
    EXPECT_EQ(Line("klondike build=colour runs=suit").runs, SuitRule::Suit);
    EXPECT_EQ(Line("klondike build=suit").runs, SuitRule::Suit) << "a run follows the build unless told otherwise";
    const std::pair<const char*, const char*> refused[] = {
        {"spyder", "no rules named 'spyder'"},
        {"klondike drw=3", "unknown parameter 'drw'"},
        {"klondike draw", "'draw' takes a value"},
        {"klondike draw=3 draw=1", "'draw' is given twice"},
        {"klondike draw=x", "'draw=x': draw takes 1..52"},
        {"klondike suits=SS", "suits takes the letters of up to four different suits"},
        {"golf draw=3", "'draw' does not apply to the golf rules of golf"},
        {"klondike deal=1..8", "'deal' gives 8 counts for 7 columns"},
        {"klondike deal=8", "the deal gives out 56 cards, the pack holds 52"},
        {"klondike stock=none", "the deal leaves 24 cards over, and the rules have no stock"},
        {"canfield aces=high", "'wrap=yes' and 'aces=high' contradict each other"},
        {"forty-thieves foundations=4", "4 foundations do not hold the pack of 104 cards"},
        {"klondike stock=row draw=3", "'draw' and 'redeals' need 'stock=waste'"},
        {"spider base=2", "'foundation=runs' takes whole runs or ranks home: it needs base=A"},
        {"forty-thieves space-from=waste stock=row", "'space-from' names the waste"},
        {"canfield reserves=2", "'fill=reserve' fills the columns from one reserve pile"},
        {"canfield base=A wrap=unless-ace", "'wrap=unless-ace' needs a dealt base"},
        {"forty-thieves fill=waste stock=row", "'fill=waste' names the waste"},
        {"golf layout=peaks columns=7", "the peaks are 28 cards"},
        {"golf wrap=ace-on-king", "'wrap=ace-on-king' is for games that build on columns"},
    };
    for (const auto& [line, words] : refused) {
        Rules r;
        std::string error;
        EXPECT_FALSE(ParseRules(line, r, error)) << line;
        EXPECT_NE(error.find(words), std::string::npos) << line << ": " << error;
    }
}

// Klondike's stock: three cards turned one by one (fewer at the end), only
// the waste's top card in play, the waste turned back into the stock with
// its first card on top as often as the redeals allow; a foundation card
// comes back onto a column unless the variant keeps it home; only a King
// fills an empty column.
TEST(RulesFamilies, KlondikeStockRedealsAndFoundations) {
    const Rules r = Line("klondike draw=3 redeals=1");
    Position p = Make({"6S", "", "8C 7H"}, {"5H", "", "", ""});
    p.stock = Cards("2c 3c 4c 5c");
    Make(r, p, Click(kStock));
    EXPECT_EQ(p.waste, Cards("5C 4C 3C"));
    EXPECT_EQ(p.stock, Cards("2c"));
    EXPECT_NE(Refusal(r, p, CardsMove(kWaste, {Role::Column, 1}, 2)), "") << "only the top card";
    Make(r, p, Click(kStock));
    EXPECT_EQ(p.waste, Cards("5C 4C 3C 2C"));
    Make(r, p, Click(kStock));
    EXPECT_EQ(p.stock, Cards("2c 3c 4c 5c")) << "the redeal puts the waste's first card on top";
    EXPECT_TRUE(p.waste.empty());
    Make(r, p, Click(kStock));
    Make(r, p, Click(kStock));
    EXPECT_EQ(Refusal(r, p, Click(kStock)), "no redeal is left");
    EXPECT_EQ(Refusal(Line("klondike draw=3"), p, Click(kStock)), "") << "without a limit";
    // Foundation cards back onto a column, never onto another foundation.
    const Move back = CardsMove({Role::Foundation, 0}, {Role::Column, 0});
    EXPECT_EQ(Refusal(r, p, back), "");
    EXPECT_NE(Refusal(r, p, CardsMove({Role::Foundation, 0}, {Role::Foundation, 1})), "");
    EXPECT_EQ(Refusal(Line("klondike from-foundation=no"), p, back), "cards on the foundations stay there");
    EXPECT_EQ(Refusal(r, p, ToColumn(2, 1, 2)), "only a King fills an empty column");
    EXPECT_EQ(Refusal(Line("klondike space=any"), p, ToColumn(2, 1, 2)), "");
}

// Spider: a row dealt onto every column in order, face up, only while no
// column is empty unless the variant allows it; runs of one suit move as
// one whatever the build; a whole run from King to Ace goes home at once;
// a face-down card left on top turns up.
TEST(RulesFamilies, SpiderRowsRunsAndHome) {
    const Rules spider = Line("spider decks=1 columns=4 deal=1");
    Position p = Make({"KS QS JS TS 9S 8S 7S 6S 5S 4S 3S 2S AS", "9c 4H 5D", "", "6S"});
    p.stock = Cards("2d 3d 4d 5d");
    EXPECT_EQ(Refusal(spider, p, Click(kStock)), "a row is dealt only when no column is empty");
    Position q = p;
    Make(Line("spider decks=1 columns=4 deal=1 deal-on-empty=yes"), q, Click(kStock));
    EXPECT_EQ(q.columns[0].back(), Cards("5D")[0]);
    EXPECT_EQ(q.columns[2], Cards("3D"));
    EXPECT_TRUE(q.stock.empty());
    EXPECT_EQ(Refusal(spider, p, CardsMove({Role::Column, 0}, {Role::Foundation, 0}, 13)), "");
    EXPECT_NE(Refusal(spider, p, CardsMove({Role::Column, 0}, {Role::Foundation, 0}, 12)), "");
    EXPECT_EQ(Refusal(spider, p, ToColumn(1, 3)), "") << "the Five of Diamonds on the Six of Spades";
    EXPECT_EQ(Refusal(spider, p, ToColumn(1, 3, 3)), "a face-down card does not move");
    p.columns[1] = Cards("9c 5H 4H");
    EXPECT_EQ(Refusal(spider, p, ToColumn(1, 2, 2)), "") << "a run of hearts into the empty column";
    p.columns[1] = Cards("9c 5D 4H");
    EXPECT_EQ(Refusal(spider, p, ToColumn(1, 2, 2)), "only a run moves as one");
    Make(spider, p, ToColumn(1, 2));
    Make(spider, p, ToColumn(1, 3));
    EXPECT_EQ(p.columns[1], Cards("9C")) << "turned up";
    // Rows that skip the empty columns (Grounds for a Divorce), in a variant
    // whose runs turn the corner, home too.
    const Rules divorce = Line("spider decks=1 columns=4 deal=1 wrap=yes deal-on-empty=skip");
    Position g = Make({"4D 3D 2D AD KD QD JD TD 9D 8D 7D 6D 5D", "", "KC", "AS"});
    g.stock = Cards("2h 3h 4h");
    EXPECT_EQ(Refusal(divorce, g, CardsMove({Role::Column, 0}, {Role::Foundation, 0}, 13)), "");
    EXPECT_NE(Refusal(spider, g, CardsMove({Role::Column, 0}, {Role::Foundation, 0}, 13)), "") << "King down to Ace only";
    EXPECT_EQ(Refusal(divorce, g, ToColumn(2, 3)), "") << "a King on an Ace";
    Make(divorce, g, Click(kStock));
    EXPECT_EQ(g.columns, std::vector<Pile>({Cards("4D 3D 2D AD KD QD JD TD 9D 8D 7D 6D 5D 4H"), {}, Cards("KC 3H"), Cards("AS 2H")}));
}

// Canfield: the foundations start from the dealt card's rank and turn the
// corner, the columns turn it too; a column gives its top card or all of
// it; an empty column takes the reserve's top card at once, and any card
// once the reserve is used up (or, where the variant says so, the waste's
// only). Duchess: nothing moves before a reserve card starts the first
// foundation; then an empty column takes reserve cards while any is left.
TEST(RulesFamilies, CanfieldBaseCornerFillAndReserve) {
    const Rules r = Line("canfield");
    Position p = Make({"AS", "KH", "9S 8H 7C", "7D"}, {"7H", "", "", ""});
    p.reserves = {Cards("JC QD")};
    EXPECT_EQ(Refusal(r, p, ToFoundation(3, 1)), "") << "a Seven starts an empty foundation";
    EXPECT_NE(Refusal(r, p, ToFoundation(0, 1)), "");
    EXPECT_EQ(Refusal(r, p, ToColumn(1, 0)), "") << "a red King on a black Ace";
    EXPECT_EQ(Refusal(r, p, ToColumn(2, 3, 2)), "only the top card or the whole column moves");
    Make(r, p, ToFoundation(3, 1));
    EXPECT_EQ(p.columns[3], Cards("QD")) << "filled at once from the reserve";
    Make(r, p, ToColumn(1, 0));
    EXPECT_EQ(p.columns[1], Cards("JC"));
    EXPECT_TRUE(p.reserves[0].empty());
    Make(r, p, ToColumn(1, 3));
    EXPECT_TRUE(p.columns[1].empty()) << "the reserve is used up";
    EXPECT_EQ(Refusal(r, p, ToColumn(2, 1, 3)), "");
    p.waste = Cards("2C");
    EXPECT_EQ(Refusal(Line("canfield space-from=waste"), p, ToColumn(2, 1)), "an empty column takes the waste's card only");
    EXPECT_EQ(Refusal(Line("canfield space-from=waste"), p, FromWaste({Role::Column, 1})), "");
    Position home = Make({}, {"7H 8H 9H TH JH QH KH", "", "", ""});
    home.waste = Cards("AH");
    EXPECT_EQ(Refusal(r, home, FromWaste({Role::Foundation, 0})), "") << "the Ace follows the King";

    const Rules duchess = Line("canfield move=run base=chosen reserves=4 reserve-deal=3 fill=none space-from=reserve-then-waste draw=1 redeals=1");
    Position d = Make({"9S", "", "5H", "6C"});
    d.reserves = {Cards("4D"), Cards("JH"), {}, {}};
    d.stock = Cards("2c");
    const std::vector<Move> first = LegalMoves(duchess, d);
    ASSERT_EQ(first.size(), 2u) << "a reserve card to the first foundation, nothing else";
    EXPECT_EQ(Refusal(duchess, d, Click(kStock)), "nothing moves before the first foundation card");
    EXPECT_NE(Refusal(duchess, d, ToColumn(2, 3)), "");
    Make(duchess, d, CardsMove({Role::Reserve, 1}, {Role::Foundation, 0}));
    EXPECT_EQ(Refusal(duchess, d, ToColumn(2, 3)), "") << "a Jack base";
    EXPECT_EQ(Refusal(duchess, d, CardsMove({Role::Reserve, 0}, {Role::Column, 1})), "");
    Make(duchess, d, Click(kStock));
    EXPECT_EQ(Refusal(duchess, d, FromWaste({Role::Column, 1})), "an empty column takes a reserve card while any is left");
    Make(duchess, d, CardsMove({Role::Reserve, 0}, {Role::Column, 1}));
    Make(duchess, d, ToColumn(2, 3));
    EXPECT_EQ(Refusal(duchess, d, FromWaste({Role::Column, 2})), "");
    EXPECT_EQ(Refusal(duchess, d, ToColumn(3, 2)), "an empty column takes the waste's card once the reserve is used up");
    // Gate: once the posts are used up, the waste's card fills a space, and
    // the stock's top card, turning up, while the waste is empty.
    const Rules gate = Line("canfield columns=2 reserves=2 reserve-deal=1 fill=none space-from=reserve-then-waste-or-stock base=A draw=1 redeals=0");
    Position g = Make({"", "9S"});
    g.reserves = {{}, {}};
    g.stock = Cards("2c 8h");
    EXPECT_NE(Refusal(gate, g, CardsMove(kStock, {Role::Column, 1})), "") << "into an empty column only";
    EXPECT_NE(Refusal(gate, g, CardsMove(kStock, {Role::Foundation, 0})), "");
    EXPECT_NE(Refusal(duchess, g, CardsMove(kStock, {Role::Column, 0})), "");
    EXPECT_EQ(Refusal(gate, g, CardsMove(kStock, {Role::Column, 0})), "");
    Make(gate, g, CardsMove(kStock, {Role::Column, 0}));
    EXPECT_EQ(g.columns[0], Cards("8H"));
    EXPECT_EQ(Refusal(gate, g, ToColumn(0, 1)), "");
    Make(gate, g, ToColumn(0, 1));
    g.stock = Cards("2c 3d");
    Make(gate, g, Click(kStock));
    EXPECT_EQ(Refusal(gate, g, CardsMove(kStock, {Role::Column, 0})), "an empty column takes the waste's card once the reserve is used up");
    EXPECT_EQ(Refusal(gate, g, FromWaste({Role::Column, 0})), "");

    // Four Seasons: the columns turn the corner unless the dealt base is the Ace.
    const Rules seasons = Line("canfield reserves=0 fill=none wrap=unless-ace");
    const Position sevens = Make({"AS", "KH"}, {"7D", "", "", ""}), aces = Make({"AS", "KH"}, {"AD", "", "", ""});
    EXPECT_EQ(Refusal(ForDeal(seasons, sevens), sevens, ToColumn(1, 0)), "");
    EXPECT_NE(Refusal(ForDeal(seasons, aces), aces, ToColumn(1, 0)), "") << "no King on an Ace in a deal based on the Ace";
}

// Forty Thieves goes through its stock once, one card at a time. Deuces:
// the Twos start the foundations, which end with the Ace; the Ace ranks
// high in the columns, so a King goes on it and nothing on a Two.
TEST(RulesFamilies, FortyThievesOnceAndAcesHigh) {
    const Rules r = Line("forty-thieves decks=1 columns=3 deal=1");
    Position p = Make({"9H 8H", "TH", "AH"});
    p.waste = Cards("5C");
    EXPECT_EQ(Refusal(r, p, ToColumn(0, 1, 2)), "only one card moves at a time");
    EXPECT_EQ(Refusal(r, p, Click(kStock)), "the stock is gone through once only");
    EXPECT_EQ(Refusal(Line("forty-thieves decks=1 columns=3 deal=1 redeals=1"), p, Click(kStock)), "");
    const Rules deuces = Line("forty-thieves decks=1 columns=3 deal=1 base=2 placed=yes aces=high");
    Position q = Make({"AH", "KH", "2H"}, {Suit('H', 2, 13), "2C", "2S", "2D"});
    EXPECT_EQ(Refusal(deuces, q, ToColumn(1, 0)), "") << "the King on the Ace";
    EXPECT_NE(Refusal(deuces, q, ToColumn(0, 2)), "") << "nothing on a Two";
    EXPECT_EQ(Refusal(deuces, q, ToFoundation(0, 0)), "") << "the Ace after the King";
    EXPECT_NE(Refusal(r, q, ToColumn(1, 0)), "") << "without aces=high";
    // Red and Black builds its foundations in alternating colours.
    const Position red = Make({"2H", "2C"}, {"AS", "", "", ""});
    EXPECT_EQ(Refusal(Line("forty-thieves decks=1 columns=2 deal=1 home-build=alt"), red, ToFoundation(0, 0)), "");
    EXPECT_NE(Refusal(Line("forty-thieves decks=1 columns=2 deal=1 home-build=alt"), red, ToFoundation(1, 0)), "");
    EXPECT_NE(Refusal(r, red, ToFoundation(0, 0)), "") << "in suit";
    // Congress: a space takes the waste's card at once, the stock's while the waste is empty.
    const Rules congress = Line("forty-thieves decks=1 columns=3 deal=1 fill=waste space-from=waste");
    Position c = Make({"AH", "AC", "9S"});
    c.waste = Cards("5C");
    c.stock = Cards("3d");
    Make(congress, c, ToFoundation(0, 0));
    EXPECT_EQ(c.columns[0], Cards("5C"));
    Make(congress, c, ToFoundation(1, 1));
    EXPECT_EQ(c.columns[1], Cards("3D"));
    EXPECT_TRUE(c.stock.empty());
}

// Golf: a free column card goes onto the waste one rank above or below its
// top card, the Ace and the King apart unless the ranks turn the corner;
// the game is won once the columns are clear, whatever the stock holds.
// Tri Peaks: a card under two others is free, and turns up, once both are
// gone.
TEST(RulesFamilies, GolfAndTriPeaks) {
    const Rules golf = Line("golf");
    Position p = Make({"3H 2C", "KS"}, {});
    p.waste = Cards("AC");
    p.stock = Cards("9d");
    const Move first = CardsMove({Role::Column, 0}, kWaste), king = CardsMove({Role::Column, 1}, kWaste);
    EXPECT_EQ(Refusal(golf, p, first), "");
    EXPECT_NE(Refusal(golf, p, king), "") << "the King does not follow the Ace";
    EXPECT_EQ(Refusal(Line("golf wrap=yes"), p, king), "");
    EXPECT_NE(Refusal(golf, p, ToColumn(0, 1)), "") << "nothing is built on the columns";
    EXPECT_EQ(Replay(golf, p, {first, first, Click(kStock), Click(kStock)}), "a click on the stock: the stock is gone through once only");
    Position dead = p;
    dead.waste = Cards("KC");
    dead.columns[0] = Cards("QH");
    EXPECT_EQ(Refusal(golf, dead, first), "");
    EXPECT_EQ(Refusal(Line("golf dead-kings=yes"), dead, first), "nothing goes on a King");
    p.columns[1].clear();
    EXPECT_EQ(Replay(golf, p, {first, first}), "") << "won with a card left in the stock";

    const Rules peaks = Line("golf tableau=peak layout=peaks wrap=yes");
    Position t;
    for (int k = 0; k < 28; ++k) t.columns.push_back(Cards(k < 18 ? "5c" : "6D"));
    t.columns[3] = Cards("4c");
    t.waste = Cards("7S");
    EXPECT_NE(Refusal(peaks, t, CardsMove({Role::Column, 9}, kWaste)), "") << "covered";
    // Card 10 of the third row lies under cards 19 and 20 of the bottom row.
    Make(peaks, t, CardsMove({Role::Column, 18}, kWaste));
    EXPECT_FALSE(t.columns[9].back().faceUp);
    t.waste = Cards("7S");
    Make(peaks, t, CardsMove({Role::Column, 19}, kWaste));
    EXPECT_TRUE(t.columns[9].back().faceUp);
    EXPECT_EQ(Refusal(peaks, t, CardsMove({Role::Column, 9}, kWaste)), "");
}

// Pyramid: two free cards adding up to thirteen are discarded together, a
// free King alone; a covered card waits for both cards below it; the
// waste's top card pairs too, and the waste turns back into the stock as
// often as the redeals allow. Giza's reserve piles give their top cards.
TEST(RulesFamilies, PyramidPairsKingsAndRedeals) {
    const Rules r = Line("pyramid redeals=1");
    Position p;
    for (int k = 0; k < 28; ++k) p.columns.push_back(Cards("2C"));
    p.columns[21] = Cards("6H");   // the bottom row: piles 22 to 28
    p.columns[22] = Cards("7C");
    p.columns[26] = Cards("QC");
    p.columns[27] = Cards("KD");
    p.columns[15] = Cards("JS");   // the sixth row's first card, under 22 and 23
    p.waste = Cards("QD");
    p.stock = Cards("ac");
    EXPECT_EQ(Refusal(r, p, CardsMove({Role::Column, 22}, {Role::Column, 21})), "");
    EXPECT_NE(Refusal(r, p, CardsMove({Role::Column, 23}, {Role::Column, 21})), "") << "2 and 6 make eight";
    EXPECT_NE(Refusal(r, p, CardsMove({Role::Column, 15}, {Role::Column, 23})), "") << "covered";
    EXPECT_EQ(Refusal(r, p, Click({Role::Column, 27})), "");
    EXPECT_EQ(Refusal(r, p, Click({Role::Column, 25})), "only a King is discarded alone");
    Make(r, p, CardsMove({Role::Column, 22}, {Role::Column, 21}));
    EXPECT_EQ(p.discard, Cards("7C 6H"));
    EXPECT_EQ(Refusal(r, p, CardsMove({Role::Column, 15}, {Role::Column, 23})), "") << "the Jack and the Two, now free";
    Make(r, p, Click(kStock));
    EXPECT_EQ(Refusal(r, p, FromWaste({Role::Column, 26})), "") << "the waste's Ace and a free Queen";
    for (int k = 0; k < 3; ++k) Make(r, p, Click(kStock));   // the redeal, then both cards again
    EXPECT_EQ(Refusal(r, p, Click(kStock)), "no redeal is left");

    const Rules giza = Line("pyramid tableau=pyr reserves=8 reserve-deal=3 stock=none");
    Position g = p;
    g.reserves.assign(8, {});
    g.reserves[0] = Cards("5S 8D");
    g.reserves[1] = Cards("QH 5C");
    EXPECT_EQ(Refusal(giza, g, CardsMove({Role::Reserve, 0}, {Role::Reserve, 1})), "") << "8 and 5";
    EXPECT_NE(Refusal(giza, g, Click(kStock)), "");
}

// Pairs adding up to thirteen on columns whose top cards are free: Baroness
// deals rows from the stock onto them and is won only once the stock is
// dealt too; Thirteens fills each space from the stock at once. All in a
// Row's empty pile takes any card to start it.
TEST(RulesFamilies, PairsOnColumnsAndGolfWithoutStock) {
    const Rules baroness = Line("pyramid layout=columns columns=3 deal=1 stock=row");
    Position p = Make({"5C 8H", "KS", ""}, {});
    p.stock = Cards("qd");
    EXPECT_NE(Refusal(baroness, p, ToColumn(0, 1)), "") << "8 and 13";
    EXPECT_EQ(Replay(baroness, p, {Click({Role::Column, 1})}), "not won");
    EXPECT_EQ(Refusal(baroness, p, Click(kStock)), "");
    Position dealt = p;
    Make(baroness, dealt, Click(kStock));
    EXPECT_EQ(dealt.columns[0], Cards("5C 8H QD")) << "one card onto each column, from the first";
    EXPECT_EQ(Replay(baroness, Make({"KS"}, {}), {Click({Role::Column, 0})}), "");

    const Rules thirteens = Line("pyramid layout=columns columns=2 deal=1 stock=none fill=stock");
    Position t = Make({"6H", "7D"}, {});
    t.stock = Cards("ks qc");
    Make(thirteens, t, ToColumn(0, 1));
    EXPECT_EQ(t.columns, std::vector<Pile>({Cards("QC"), Cards("KS")})) << "filled at once, from the first space";
    EXPECT_EQ(Refusal(thirteens, t, Click(kStock)), "the rules have no stock");

    const Rules row = Line("golf tableau=column suits=S columns=13 deal=1 waste-deal=0 stock=none wrap=yes");
    Position g = Make({"9C", "TS"}, {});
    EXPECT_EQ(Replay(row, g, {CardsMove({Role::Column, 1}, kWaste), CardsMove({Role::Column, 0}, kWaste)}), "")
        << "any card starts the empty pile";
}

// Beehive: a card goes on a card of its rank, several of a rank move as one,
// and a column holding all four cards of a rank sends them home by itself,
// before the reserve fills the column.
TEST(RulesFamilies, SetsOfARankGoHomeByThemselves) {
    const Rules r = Line("canfield columns=3 build=any rank=same move=run reserve-deal=10 base=A foundation=sets");
    EXPECT_EQ(r.foundations, 1);
    Position p = Make({"7C 7S", "7D 7H", "9C"}, {""});
    p.reserves = {Cards("KD")};
    EXPECT_NE(Refusal(r, p, ToColumn(2, 0)), "") << "a Nine on a Seven";
    EXPECT_NE(Refusal(r, p, ToFoundation(1, 0)), "") << "sets go home by themselves";
    EXPECT_EQ(Refusal(r, p, ToColumn(1, 0, 2)), "");
    Make(r, p, ToColumn(1, 0, 2));
    EXPECT_EQ(p.foundations[0], Cards("7C 7S 7D 7H"));
    EXPECT_EQ(p.columns[0], Cards("KD")) << "then filled from the reserve";
    EXPECT_EQ(p.columns[1], Pile{}) << "the reserve is used up";
}

// The solver goes through the stock: the Ten and the Jack of clubs come out
// on the first round, the Queen lies under the King in the waste and
// needs the redeal. Without one the deal has no solution, which the solver
// shows by going through every position.
TEST(RulesSolver, GoesThroughTheStockAndItsRedeals) {
    Position p = Make({}, {Suit('C', 1, 9), Suit('S'), Suit('D'), Suit('H')});
    p.stock = Cards("jc tc kc qc");
    const Rules klondike = Line("klondike");
    const Solution s = Solve(klondike, p, 1000);
    ASSERT_EQ(s.verdict, Verdict::Solved);
    EXPECT_EQ(Replay(klondike, p, s.moves), "");
    const Solution none = Solve(Line("klondike redeals=0"), p, 1000);
    EXPECT_EQ(none.verdict, Verdict::NoSolution);
    EXPECT_TRUE(none.moves.empty());
}
