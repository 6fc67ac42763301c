#include "mouse_play.h"

#include "engine/player_move.h"
#include "engine/registry.h"
#include "field/pile_geometry.h"

namespace corvelle::drive {

std::function<void()> HintGesture(HWND main, HWND field, const CGameEngine& copy, uint16_t index, uint16_t& first,
                                  uint16_t& second) {
    if (!copy.FindHint(index, first, second, false))
        return {};
    RECT client;
    ::GetClientRect(field, &client);
    const bool click = second == 0xFFFF;
    CardSpot from, to;
    if (click) {
        const uint16_t count = copy.pileStates[first].count;
        if (!SpotOf(copy, first, count == 0 ? -1 : count - 1, client.right, client.bottom, from))
            return {};
        return [=] {
            BringToFront(main);
            Click(OnScreen(field, from.x + 39, from.y + 56));
        };
    }
    const CardState& card = copy.cardStates[first];
    const uint16_t destCount = copy.pileStates[second].count;
    if (!SpotOf(copy, card.pile, card.position, client.right, client.bottom, from) ||
        !SpotOf(copy, second, destCount == 0 ? -1 : destCount - 1, client.right, client.bottom, to))
        return {};
    return [=] {
        BringToFront(main);
        const POINT press = OnScreen(field, from.x + 10, from.y + 8);
        Drag(press, POINT{press.x + to.x - from.x, press.y + to.y - from.y});
    };
}

bool PlayHint(Program& program, HWND main, HWND field, CGameEngine& copy, uint16_t index) {
    uint16_t first = 0, second = 0;
    const std::function<void()> gesture = HintGesture(main, field, copy, index, first, second);
    if (!gesture)
        return false;
    const Screenshot before = CaptureSettled(field, 5000, nullptr, 60);
    gesture();
    if (!(second == 0xFFFF ? PlayClick(copy, first) : PlayMove(copy, first, second)))
        return false;
    Screenshot shown = CaptureSettled(field, 10000, &before, 60);
    if (shown == before) {
        ::WaitForInputIdle(program.Handle(), 10000);
        shown = CaptureSettled(field, 1000, &before, 60);
    }
    if (shown == before) {
        gesture();
        shown = CaptureSettled(field, 10000, &before, 60);
    }
    return shown != before;
}

bool ReadSavedGame(const CGameEngine& copy, SavedGameData& out, uint32_t* gameNumber) {
    for (unsigned slot = 0; slot < kSavedGameSlots; ++slot) {
        CRegistryKey key;
        uint8_t id[2];
        if (!key.Open(SavedGameSlotPath(slot)) || !key.ReadBinaryExact(u"solId", id, 2) ||
            (id[0] | id[1] << 8) != copy.id)
            continue;
        std::vector<uint8_t> blob;
        if (!key.ReadBinary(u"data", blob, 1u << 24) || !ParseSavedGame(copy, blob.data(), blob.size(), out))
            return false;
        if (gameNumber && !key.ReadDword(u"gameNumber", *gameNumber))
            return false;
        return true;
    }
    return false;
}

void TakeSavedGame(CGameEngine& copy, SavedGameData saved) {
    copy.cardStates = std::move(saved.cardStates);
    copy.pileStates = std::move(saved.pileStates);
    copy.moveLinks = std::move(saved.moveLinks);
    copy.counters = std::move(saved.counters);
    copy.finished = saved.finished;
    copy.shuffleState = saved.shuffleState;
    copy.history = std::make_unique<CMoveHistory>(nullptr);
    for (const HistoryRecord& record : saved.history)
        copy.history->Push(record);
}

}  // namespace corvelle::drive
