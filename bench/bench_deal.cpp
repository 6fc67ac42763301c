// Median time of a deal of a 104-card game and of one run move.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/game_engine.h"
#include "writer/record_writer.h"
#include "engine/rules.h"
#include "bench/bench_stats.h"

using namespace corvelle;

namespace {

// Two decks dealt to ten tableau piles (the first four take six cards, the
// rest five) and a stock of the remaining 50.
GameDefinitionData TwoDeckGame() {
    GameDefinitionData g;
    g.name = "Bench";
    for (int deck = 0; deck < 2; ++deck)
        for (uint8_t suit = 1; suit <= 4; ++suit)
            for (uint8_t rank = 1; rank <= 13; ++rank)
                g.cards.push_back(CardDef{0, suit, rank});
    for (int i = 0; i < 11; ++i) {
        PileDef p{};
        p.x = static_cast<int16_t>(10 + 20 * i);
        p.y = 12;
        p.fan = i < 10 ? FanDown : FanNone;
        p.dealFaceUp = i < 10 ? 1 : 0;
        p.acceptsDrops = 1;
        p.enabled = 1;
        p.dealCount = static_cast<uint16_t>(i < 4 ? 6 : i < 10 ? 5 : 50);
        g.piles.push_back(p);
    }
    g.links.push_back(MoveLink{kAnyPile, kAnyPile});
    g.eventTypes.push_back(EventAfterStep);
    g.programs.push_back({OpPush, 1, 1});
    return g;
}

}  // namespace

int main() {
    const std::vector<uint8_t> record = SerializeGameRecord(TwoDeckGame());
    CGameEngine engine;
    if (!engine.LoadGameDefinition(record.data(), record.size())) {
        std::fprintf(stderr, "the benchmark game was refused\n");
        return 1;
    }
    uint32_t number = 1;
    const double deal = bench::MedianNanoseconds(101, 200, [&](int k) {
        number = static_cast<uint32_t>(k + 1);
        engine.NewDeal(number);
    });

    number = 12345;
    engine.NewDeal(number);
    // Three cards from the top of pile 0 to pile 1 and back, alternately.
    const double move = bench::MedianNanoseconds(101, 2000, [&](int k) {
        ActionDef a{};
        a.kind = ActionMoveCards;
        a.sourceMode = SourceFromTop;
        a.count = 3;
        a.sourcePile = static_cast<uint16_t>(k & 1);
        a.destPile = static_cast<uint16_t>(1 - (k & 1));
        a.destMode = DestFromTop;
        uint16_t result = 0;
        engine.ExecuteAction(a, &result);
    });

    std::printf("NewDeal, 104 cards:          median %8.2f us (target < 20 us)\n", deal / 1000.0);
    std::printf("ExecuteAction, 3-card move:  median %8.2f us (target < 2 us)\n", move / 1000.0);
    return 0;
}
