#include "support/registry_sandbox.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "engine/registry.h"

namespace corvelle::test {

void RegistrySandbox::SetUp() {
#ifdef _WIN32
    const unsigned long pid = static_cast<unsigned long>(_getpid());
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    static unsigned counter = 0;
    const std::string name = std::to_string(pid) + "-" + std::to_string(++counter);
    root = u"SOFTWARE\\Velmora Software\\Corvelle Tests\\" + std::u16string(name.begin(), name.end());
    DeleteRegistryTree(root);   // a leftover of an earlier run with the same pid
    SetProgramKeyPath(root);
}

void RegistrySandbox::TearDown() {
    DeleteRegistryTree(root);
    SetProgramKeyPath(u"");
}

void DealByHand(CGameEngine& e) {
    e.FreeGameState();
    e.cardStates.assign(e.cardCount, CardState{});
    e.pileStates.assign(e.pileCount, PileState{});
    uint16_t card = 0;
    for (uint16_t p = 0; p < e.pileCount; ++p) {
        const PileDef& def = e.piles[p];
        PileState& s = e.pileStates[p];
        s.x = def.x;
        s.y = def.y;
        s.fan = def.fan;
        s.acceptsDrops = def.acceptsDrops;
        s.dropProgram = def.dropProgram;
        s.pickupProgram = def.pickupProgram;
        s.manualExposure = def.manualExposure;
        s.enabled = def.enabled;
        s.attribute = def.attribute;
        for (uint16_t k = 0; k < def.dealCount && card < e.cardCount; ++k, ++card) {
            CardState& c = e.cardStates[card];
            c.faceUp = def.dealFaceUp;
            c.movable = 1;
            c.pile = p;
            c.position = static_cast<int16_t>(k);
            ++s.count;
        }
    }
    e.moveLinks = e.links;
    e.moveLinkCount = e.linkCount;
    e.counters.clear();
    for (const CounterDef& d : e.counterDefs)
        e.counters.push_back(CounterState{d.initialValue, d.exhaustedEvent});
    e.finished = 0;
    e.history = std::make_unique<CMoveHistory>(e.owner);
}

}  // namespace corvelle::test
