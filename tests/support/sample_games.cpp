#include "support/sample_games.h"

#include <gtest/gtest.h>

namespace corvelle::test {

GameDefinitionData MakeSimpleGame(int pileCount, int decks) {
    GameDefinitionData g;
    g.name = "Sample";
    g.rulesText = "<b>Object</b>\nA sample.";
    for (int d = 0; d < decks; ++d)
        for (int suit = 1; suit <= 4; ++suit)
            for (int rank = 1; rank <= 13; ++rank)
                g.cards.push_back(CardDef{0, static_cast<uint8_t>(suit), static_cast<uint8_t>(rank)});
    int left = static_cast<int>(g.cards.size());
    for (int i = 0; i < pileCount; ++i) {
        PileDef p{};
        p.x = static_cast<int16_t>(10 + 20 * i);
        p.y = 12;
        p.dealFaceUp = 1;
        p.acceptsDrops = 1;
        p.enabled = 1;
        p.dropProgram = 1;
        p.pickupProgram = 1;
        p.dealCount = static_cast<uint16_t>(i == pileCount - 1 ? left : 1);
        left -= p.dealCount;
        g.piles.push_back(p);
    }
    g.actions.push_back(ActionDef{ActionFinishGame});
    g.links.push_back(MoveLink{kAnyPile, kAnyPile});
    g.eventTypes.push_back(EventAfterStep);
    g.programs.push_back({OpPush, 1, 1});
    g.programs.push_back({OpPush, 0, 1});
    g.conditions.push_back(RuleCondition{0, 0, kNone});
    g.eventConditions.push_back(EventCondition{0, 0});
    return g;
}

bool LoadInto(CGameEngine& engine, const GameDefinitionData& game) {
    const std::vector<uint8_t> bytes = SerializeGameRecord(game);
    const char* why = "";
    EXPECT_TRUE(ValidateGameRecord(bytes.data(), bytes.size(), &why)) << why;
    return engine.LoadGameDefinition(bytes.data(), bytes.size());
}

}  // namespace corvelle::test
