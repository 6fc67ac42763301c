// corvelle-synthdb: writes a database of generated game records (valid, of
// varied shapes and sizes) for the tests and benchmarks of the database code.
//   corvelle-synthdb FOLDER RCFILE [COUNT] [SEED]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "writer/database_packer.h"
#include "writer/record_writer.h"

using namespace corvelle;

namespace {

struct Random {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint32_t>(hi - lo + 1)); }
    // Mostly small values, now and then one up to hi, as the sizes of real
    // games are spread.
    int Skewed(int lo, int hi) {
        const double r = (Next() % 10000) / 10000.0;
        return lo + static_cast<int>((hi - lo) * r * r * r * r * r);
    }
};

GameDefinitionData MakeGame(uint16_t id, Random& rnd) {
    GameDefinitionData g;
    g.id = id;
    g.category = static_cast<uint16_t>(rnd.Range(0, 10));
    g.skill = static_cast<uint16_t>(rnd.Range(0, 2));
    g.timeClass = static_cast<uint16_t>(rnd.Range(0, 3));
    g.denseGrid = static_cast<uint16_t>(rnd.Range(0, 1));
    g.name = "Synthetic " + std::to_string(id);
    if (rnd.Range(0, 20) == 0)
        g.extraCategories.push_back(static_cast<uint8_t>(rnd.Range(0, 10)));
    // Rules text and programs are drawn from small vocabularies so that the
    // records compress like real ones do.
    static const char* const words[] = {"the", "cards", "pile", "build", "down", "in", "suit", "move",
                                        "<b>Object</b>", "foundation", "tableau", "stock", "a", "to", "King",
                                        "Ace", "empty", "space", "may", "be", "filled", "by", "any", "card"};
    const int rulesLength = rnd.Range(292, 1494);
    while (static_cast<int>(g.rulesText.size()) < rulesLength) {
        g.rulesText += words[rnd.Range(0, 23)];
        g.rulesText += rnd.Range(0, 12) == 0 ? '\n' : ' ';
    }
    const int decks = rnd.Skewed(1, 4);
    const int groups = rnd.Range(1, 2);
    for (int d = 0; d < decks; ++d)
        for (int suit = 1; suit <= 4; ++suit)
            for (int rank = 1; rank <= 13; ++rank)
                g.cards.push_back(CardDef{static_cast<uint16_t>(groups == 2 && rank == 1 ? 1 : 0),
                                          static_cast<uint8_t>(suit), static_cast<uint8_t>(rank)});
    const int aces = groups == 2 ? 4 * decks : 0;
    const int pileCount = rnd.Skewed(3, 53);
    const int programCount = rnd.Skewed(3, 73);
    const int eventCount = rnd.Skewed(2, 60);
    // Split the cards over the piles: the last pile of each group takes the rest.
    int left = static_cast<int>(g.cards.size()) - aces;
    for (int p = 0; p < pileCount; ++p) {
        PileDef pile{};
        const bool acePile = groups == 2 && p == pileCount - 2;
        pile.cardGroup = acePile ? 1 : 0;
        pile.x = static_cast<int16_t>(rnd.Range(8, 152));
        pile.y = static_cast<int16_t>(rnd.Range(12, 148));
        pile.xAnchor = static_cast<uint8_t>(rnd.Range(0, 3));
        pile.yAnchor = static_cast<uint8_t>(rnd.Range(0, 3));
        pile.fan = static_cast<uint8_t>(rnd.Range(FanNone, kLastFanKind));
        pile.baseKind = static_cast<uint8_t>(rnd.Range(0, 3));
        pile.dealFaceUp = static_cast<uint8_t>(rnd.Range(0, 1));
        pile.acceptsDrops = 1;
        if (acePile) {
            pile.dealCount = static_cast<uint16_t>(aces);
        } else if (p == pileCount - 1) {
            pile.dealCount = static_cast<uint16_t>(left);
            left = 0;
        } else {
            pile.dealCount = static_cast<uint16_t>(rnd.Range(0, left / 4));
            left -= pile.dealCount;
        }
        pile.pickupProgram = static_cast<uint16_t>(rnd.Range(0, programCount - 1));
        pile.dropProgram = static_cast<uint16_t>(rnd.Range(0, programCount - 1));
        pile.clickEvent = static_cast<uint16_t>(rnd.Range(0, eventCount - 1));
        pile.emptyClickEvent = static_cast<uint16_t>(rnd.Range(0, eventCount - 1));
        pile.dropEvent = static_cast<uint16_t>(rnd.Range(0, eventCount - 1));
        pile.manualExposure = static_cast<uint8_t>(rnd.Range(0, 1));
        pile.enabled = 1;
        pile.drawOrder = static_cast<uint8_t>(rnd.Range(0, 14));
        pile.extentKind = static_cast<uint8_t>(rnd.Range(0, 2));
        pile.fanExtent = static_cast<uint16_t>(rnd.Range(0, 114));
        pile.attribute = static_cast<uint16_t>(rnd.Range(0, 0x0D0D));
        g.piles.push_back(pile);
    }
    for (int e = 0; e < eventCount; ++e)
        g.eventTypes.push_back(static_cast<uint8_t>(e == 0 ? 0 : rnd.Range(0, 3)));
    static const std::vector<uint8_t> blocks[] = {
        {28, 22, 13, 1, 0, 1, 1, 0, 1, 19, 20, 11, 22, 13, 28, 25, 19, 20},
        {2, 1, 1, 1, 4, 28, 22, 13, 1, 0, 1, 19, 20, 23, 5, 26, 27, 3},
        {25, 29, 25, 7, 1, 1, 1, 7, 10},
        {28, 25, 6},
        {11, 12, 16, 14, 15, 24, 17, 18},
    };
    for (int i = 0; i < programCount; ++i) {
        std::vector<uint8_t> program;
        if (i == 0) {
            program = {1, 1, 1};
        } else {
            for (int parts = rnd.Skewed(1, 12); parts > 0; --parts) {
                const auto& block = blocks[rnd.Range(0, 4)];
                program.insert(program.end(), block.begin(), block.end());
                program.insert(program.end(), {1, static_cast<uint8_t>(rnd.Range(0, 13)), 1});
            }
        }
        g.programs.push_back(program);
    }
    const int actionCount = rnd.Skewed(1, 555);
    for (int i = 0; i < actionCount; ++i) {
        ActionDef a{};
        a.kind = static_cast<uint8_t>(rnd.Range(0, 5));
        a.sourcePile = static_cast<uint16_t>(rnd.Range(0, pileCount - 1));
        a.destPile = static_cast<uint16_t>(rnd.Range(0, pileCount - 1));
        a.sourceMode = static_cast<uint8_t>(rnd.Range(0, 2));
        a.destMode = static_cast<uint8_t>(rnd.Range(1, 2));
        a.count = static_cast<uint16_t>(rnd.Range(0, 3));
        a.subKind = static_cast<uint8_t>(a.kind == 1 ? rnd.Range(6, 13) : rnd.Range(0, 1));
        a.value = static_cast<uint16_t>(a.kind == 1 && (a.subKind == 10 || a.subKind == 13)
                                            ? rnd.Range(0, programCount - 1) : rnd.Range(0, 1));
        g.actions.push_back(a);
    }
    g.links.push_back(MoveLink{kAnyPile, kAnyPile});
    for (int i = rnd.Skewed(0, 487); i > 0; --i)
        g.links.push_back(MoveLink{static_cast<uint16_t>(rnd.Range(0, pileCount - 1)),
                                   static_cast<uint16_t>(rnd.Range(0, pileCount - 1))});
    for (int i = rnd.Range(0, 16); i > 0; --i)
        g.placements.push_back(CardPlacement{static_cast<uint16_t>(rnd.Range(0, pileCount - 1)),
                                             static_cast<uint16_t>(rnd.Range(0, static_cast<int>(g.cards.size()) - 1)),
                                             static_cast<uint16_t>(rnd.Range(0, 5))});
    for (auto* list : {&g.flips, &g.locks, &g.exposures})
        for (int i = rnd.Range(0, 15); i > 0; --i)
            list->push_back(PilePosition{static_cast<uint16_t>(rnd.Range(0, pileCount - 1)),
                                         static_cast<int16_t>(rnd.Range(0, 6))});
    for (int i = rnd.Skewed(1, 900); i > 0; --i)
        g.eventActions.push_back(EventAction{static_cast<uint16_t>(rnd.Range(1, eventCount - 1)),
                                             static_cast<uint16_t>(rnd.Range(0, actionCount - 1))});
    g.conditions.push_back(RuleCondition{0, 0, kNone});
    for (int i = rnd.Skewed(1, 123); i > 0; --i)
        g.conditions.push_back(RuleCondition{static_cast<uint16_t>(rnd.Range(0, programCount - 1)),
                                             static_cast<uint16_t>(rnd.Range(0, pileCount - 1)),
                                             rnd.Range(0, 20) == 0 ? static_cast<uint16_t>(rnd.Range(0, pileCount - 1))
                                                                   : kNone});
    g.eventConditions.push_back(EventCondition{0, 0});
    for (int i = rnd.Skewed(1, 835); i > 0; --i)
        g.eventConditions.push_back(EventCondition{static_cast<uint16_t>(rnd.Range(1, eventCount - 1)),
                                                   static_cast<uint16_t>(rnd.Range(1, static_cast<int>(g.conditions.size()) - 1))});
    for (int i = rnd.Range(0, 4); i > 0; --i)
        g.counterDefs.push_back(CounterDef{static_cast<uint16_t>(rnd.Range(0, 3)),
                                        static_cast<uint16_t>(rnd.Range(0, eventCount - 1))});
    if (!g.counterDefs.empty())
        g.eventCounters.push_back(EventCounter{static_cast<uint16_t>(rnd.Range(1, eventCount - 1)),
                                               static_cast<uint16_t>(rnd.Range(0, static_cast<int>(g.counterDefs.size()) - 1))});
    return g;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: corvelle-synthdb FOLDER RCFILE [COUNT] [SEED]\n");
        return 2;
    }
    const int count = argc > 3 ? std::atoi(argv[3]) : 800;
    Random rnd{argc > 4 ? static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)) : 20261208u};
    if (count < 1 || count > 800) {
        std::fprintf(stderr, "corvelle-synthdb: COUNT must be 1 to 800\n");
        return 2;
    }
    // Ids are a permutation of the positions: position p holds id (p * 7) mod n
    // when 7 and n are coprime, else the identity.
    std::vector<std::vector<uint8_t>> records;
    std::vector<std::string> names;
    const bool permute = count % 7 != 0;
    for (int p = 0; p < count; ++p) {
        const uint16_t id = static_cast<uint16_t>(permute ? (p * 7) % count : p);
        records.push_back(SerializeGameRecord(MakeGame(id, rnd)));
        names.push_back(RecordName(records.back()));
    }
    std::string related;
    for (int i = 0; i + 1 < count && i < 100; ++i) {
        if (!related.empty())
            related += "\r\n";
        related += std::to_string(i) + "," + std::to_string((i * 13 + 5) % count == i ? (i + 1) % count : (i * 13 + 5) % count);
    }
    std::vector<ResourceBlob> blobs;
    std::string error;
    if (!PackDatabase(records, related, blobs, error) || !WriteResourceFolder(blobs, names, argv[1], argv[2], error)) {
        std::fprintf(stderr, "corvelle-synthdb: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
