#include "support/layouts.h"

#include <gtest/gtest.h>

#include <cctype>

#include "writer/assembler.h"
#include "engine/deal.h"

namespace corvelle::test {

void ArrangeLayout(CGameEngine& e, const std::vector<PileText>& piles) {
    e.cardStates.assign(e.GetCardCount(), CardState{});
    e.pileStates.assign(e.GetPileCount(), PileState{});
    for (uint16_t p = 0; p < e.GetPileCount(); ++p)
        e.pileStates[p] = InitialPileState(e.piles[p]);
    std::vector<bool> placed(e.GetCardCount(), false);
    std::vector<std::vector<uint16_t>> order(e.GetPileCount());
    for (size_t p = 0; p < piles.size() && p < e.GetPileCount(); ++p) {
        for (std::string_view text : piles[p]) {
            ASSERT_EQ(text.size(), 2u) << text;
            const unsigned rank = RankOfLetter(text[0]), suit = SuitOfLetter(text[1]);
            uint16_t card = 0;
            while (card < e.GetCardCount() &&
                   (placed[card] || e.cards[card].suit != suit || e.cards[card].rank != rank))
                ++card;
            ASSERT_LT(card, e.GetCardCount()) << "no free card " << text;
            placed[card] = true;
            e.cardStates[card].faceUp = std::isupper(static_cast<unsigned char>(text[1])) ? 1 : 0;
            order[p].push_back(card);
        }
    }
    std::vector<uint16_t> rest;
    for (uint16_t c = 0; c < e.GetCardCount(); ++c)
        if (!placed[c])
            rest.push_back(c);
    std::vector<uint16_t>& last = order[e.GetPileCount() - 1];
    last.insert(last.begin(), rest.begin(), rest.end());
    for (uint16_t p = 0; p < e.GetPileCount(); ++p) {
        e.pileStates[p].count = static_cast<uint16_t>(order[p].size());
        for (size_t i = 0; i < order[p].size(); ++i) {
            CardState& s = e.cardStates[order[p][i]];
            s.pile = p;
            s.position = static_cast<int16_t>(i);
            s.movable = 1;
            s.exposed = i + 1 == order[p].size() ? 1 : 0;
        }
    }
    e.moveLinks = e.links;
    e.counters.clear();
    for (const CounterDef& c : e.counterDefs)
        e.counters.push_back(CounterState{c.initialValue, c.exhaustedEvent});
    e.finished = 0;
    e.history = std::make_unique<CMoveHistory>(e.owner);
}

RuleCardList CardList(std::string_view text) {
    RuleCardList list;
    for (size_t at = 0;;) {
        while (at < text.size() && text[at] == ' ')
            ++at;
        if (at + 1 >= text.size())
            break;
        const unsigned rank = RankOfLetter(text[at]), suit = SuitOfLetter(text[at + 1]);
        EXPECT_TRUE(rank && suit) << text.substr(at, 2);
        if (std::isupper(static_cast<unsigned char>(text[at + 1])))
            list.push_back(RuleCard{suit, rank});
        else
            list.push_back(RuleCard{kFaceDownSuit, kFaceDownRank});
        at += 2;
    }
    list.push_back(RuleCard{0, 0});
    return list;
}

std::vector<uint8_t> Program(std::string_view text) {
    std::vector<uint8_t> bytes;
    AssemblerError error;
    EXPECT_TRUE(AssembleRuleProgram(text, bytes, &error)) << error.ToString();
    bytes.push_back(OpEnd);
    return bytes;
}

}  // namespace corvelle::test
