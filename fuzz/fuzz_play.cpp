// Fuzz target: random sequences of player steps and undo on the two model
// games. Checks after every step that the game in play is consistent, that
// every hinted move is one the player may make, and that undoing every step
// puts every card back where the deal left it.
//
// Input: byte 0 picks the game, bytes 1..4 the game number, then one command
// per two bytes: (kind, argument).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/invariants.h"
#include "models/model_games.h"
#include "engine/player_move.h"

using namespace corvelle;

namespace {

struct Games {
    std::vector<uint8_t> records[2];
    Games() {
        records[0] = SerializeGameRecord(model::KlondikeLike());
        records[1] = SerializeGameRecord(model::SpiderLike());
    }
};

void Check(bool ok) {
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Games games;
    if (size < 5)
        return 0;
    const std::vector<uint8_t>& record = games.records[data[0] & 1];
    CGameEngine e;
    Check(e.LoadGameDefinition(record.data(), record.size()));
    const uint32_t number = 1u + (data[1] | data[2] << 8 | data[3] << 16 | static_cast<uint32_t>(data[4]) << 24) % 0xFFFFFFF0u;
    Check(StartGame(e, number));
    std::vector<CardState> dealt = e.cardStates;

    for (size_t at = 5; at + 1 < size && at < 5 + 2 * 200; at += 2) {
        const uint8_t kind = data[at] % 5, arg = data[at + 1];
        uint16_t first = 0, second = 0;
        switch (kind) {
        case 0:   // take a hint, if there is one
            if (e.FindHint(arg % 16, first, second, arg & 0x80)) {
                if (second == kNone) {
                    PlayClick(e, first);
                } else {
                    Check(CheckMove(e, first, second) == MoveRefusal::None);
                    Check(PlayMove(e, first, second));
                }
            }
            break;
        case 1:   // any move, mostly refused
            PlayMove(e, static_cast<uint16_t>(arg % e.GetCardCount()),
                     static_cast<uint16_t>((arg * 7 + at) % e.GetPileCount()));
            break;
        case 2:
            PlayClick(e, static_cast<uint16_t>(arg % e.GetPileCount()));
            break;
        case 3:
            UndoStep(e);
            break;
        default: {   // automatic events on their own, recorded as a step
            uint8_t flag = 0;
            e.RunAutomaticEvents(AutomaticEvents::AfterStep, Recording::Recorded, flag);
            break;
        }
        }
        Check(CheckGameInvariants(e));
    }
    while (UndoStep(e)) {
    }
    Check(CheckGameInvariants(e));
    for (size_t c = 0; c < dealt.size(); ++c)
        Check(dealt[c].pile == e.cardStates[c].pile && dealt[c].position == e.cardStates[c].position);
    return 0;
}
