#include "logic/game_flow.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/player_move.h"
#include "engine/registry.h"
#include "engine/resources.h"
#include "engine/saved_game.h"
#include "engine/statistics.h"

namespace corvelle {
namespace {

const char16_t kGameNumberValue[] = u"gameNumber";

}  // namespace

void WriteSavedGameNumber(uint16_t slot, uint32_t gameNumber) {
    CRegistryKey key;
    if (slot < kSavedGameSlots && key.Open(SavedGameSlotPath(slot)))
        key.WriteDword(kGameNumberValue, gameNumber);
}

bool ReadSavedGameNumber(uint16_t slot, uint32_t& gameNumber) {
    CRegistryKey key;
    return slot < kSavedGameSlots && key.Open(SavedGameSlotPath(slot)) &&
           key.ReadDword(kGameNumberValue, gameNumber);
}

CGameFlow::CGameFlow(AppPreferences& preferences, GameFlowView& window, CGameClock::TimeSource timeSource)
    : prefs(preferences), view(window), gameClock(std::move(timeSource)), engine(this) {}

std::u16string CGameFlow::GameName() const {
    // The name field need not hold its terminator: it is read within its size.
    return Utf8ToUtf16(engine.name, strnlen(engine.name, sizeof engine.name));
}

bool CGameFlow::StartUp(bool* loaded) {
    if (prefs.curSolId == kNoCurrentGame)
        prefs.curSolId = 0;
    const bool ok = LoadCurrentSolitaire();
    view.StartUpStepDone("game_load");
    if (loaded)
        *loaded = ok;
    gameClock.Reset();
    if (!ok)
        return false;
    const bool restored = RestoreSavedGame();
    view.StartUpStepDone("saved_game");
    if (restored) {
        ShowGame(false);
        return false;
    }
    // The deal's check runs once the window is visible.
    Deal(0, false);
    return true;
}

bool CGameFlow::LoadCurrentSolitaire() {
    uint32_t length = 0;
    uint8_t* record = prefs.curSolId < 0x10000u ? InflateGameRecord(static_cast<uint16_t>(prefs.curSolId), &length)
                                                : nullptr;
    bool ok = false;
    if (record) {
        ok = engine.LoadGameDefinition(record, length);
        std::free(record);
    }
    if (!ok)
        engine.FreeGameDefinition();
    return ok;
}

void CGameFlow::Deal(uint32_t gameNumber, bool quiet) {
    if (!engine.HasDefinition())
        return;
    StartGame(engine, gameNumber, &gameNumber);
    prefs.curGameNumber = gameNumber;
    ResetHintIndex();
    view.BuildField(quiet);
    if (!quiet) {
        gameClock.StartNewDeal();
        view.ShowGameTime(0);
    }
}

void CGameFlow::NewGame(uint32_t gameNumber, bool redraw, bool quiet) {
    Deal(gameNumber, quiet);
    if (quiet)
        return;
    if (redraw)
        view.RedrawField();
    view.SendGameStateCheck();
}

void CGameFlow::ShowGame(bool quiet) {
    view.BuildField(quiet);
    if (!quiet)
        gameClock.StartRestored();
}

bool CGameFlow::RestoreSavedGame() {
    if (!engine.LoadSavedGame(false))
        return false;
    uint32_t number = 0;
    if (ReadSavedGameNumber(engine.FindSavedGameSlot(engine.id), number))
        prefs.curGameNumber = number;
    return true;
}

void CGameFlow::SaveCurrentGame() {
    if (!engine.HasGameInPlay())
        return;
    engine.SaveGame();
    WriteSavedGameNumber(engine.FindSavedGameSlot(engine.id), prefs.curGameNumber);
}

void CGameFlow::RestartGame() {
    NewGame(prefs.curGameNumber, true, false);
    view.RefreshPanelAfterGameChange();
}

bool CGameFlow::UndoMove() {
    if (UndoStep(engine)) {
        view.BuildField(false);
        view.RedrawField();
        return true;
    }
    ClockPause pause(gameClock);
    view.ShowNoUndoMessage();
    return false;
}

void CGameFlow::ShowNextMove() {
    uint16_t first = 0, second = 0;
    bool found = engine.FindHint(hintIndex, first, second, false);
    if (!found && hintIndex != 0) {
        hintIndex = 0;
        found = engine.FindHint(0, first, second, false);
    }
    if (!found)
        return;
    view.BlinkHint(first, second);
    ++hintIndex;
}

void CGameFlow::RecordLoss(uint32_t seconds) {
    if (!engine.HasDefinition())
        return;
    AddGameStatistics(GameName(), false, seconds);
    view.UpdateStatistics();
}

void CGameFlow::OnNew() {
    RecordLoss(gameClock.GetElapsed());
    NewGame(0, true, false);
    view.RefreshPanelAfterGameChange();
}

void CGameFlow::OnRestart() {
    RecordLoss(gameClock.GetElapsed());
    RestartGame();
    view.RefreshPanelAfterGameChange();
}

void CGameFlow::OnSelect() {
    gameClock.Pause();
    if (GameLoaded()) {
        view.ClearFieldSelection();
        view.RedrawField();
        SaveCurrentGame();
    }
    const uint32_t previousGame = prefs.curSolId;
    const uint32_t previousNumber = prefs.curGameNumber;
    view.RunSelectDialog();
    // The dialog's previews deal other numbers: the game that comes back
    // takes its own from its slot, or a new deal makes one.
    prefs.curGameNumber = previousNumber;
    LoadCurrentSolitaire();
    const bool changed = prefs.curSolId != previousGame;
    if (changed) {
        view.UpdateRulesText();
        view.UpdateBestTimes();
        view.UpdateStatistics();
    }
    if (RestoreSavedGame())
        ShowGame(false);
    else
        NewGame(0, true, false);
    view.RefreshPanelAfterGameChange();
    if (changed) {
        view.SetTitle(GameName());
        view.RedrawField();
    }
}

void CGameFlow::OnOptions() {
    ClockPause pause(gameClock);
    if (GameLoaded()) {
        view.ClearFieldSelection();
        view.RedrawField();
    }
    if (view.RunOptionsDialog())
        view.RedrawField();
}

void CGameFlow::OnAbout() {
    ClockPause pause(gameClock);
    view.RunAboutDialog();
}

void CGameFlow::OnTimer() {
    const ClockTick tick = gameClock.OnTimer(prefs.timedGame != 0, prefs.timeLimit);
    if (tick.counted)
        view.ShowGameTime(gameClock.GetElapsed());
    if (tick.timeUp)
        view.SendGameStateCheck();
}

void CGameFlow::OnGameStateCheck() {
    if (checking) {
        // Asked for by what the running check did (a new deal from its
        // dialog): decided when that check has finished.
        checkPending = true;
        ResetHintIndex();
        return;
    }
    checking = true;
    do {
        checkPending = false;
        DecideGameState();
        ResetHintIndex();
    } while (checkPending);
    checking = false;
}

void CGameFlow::DecideGameState() {
    if (!engine.HasGameInPlay())
        return;
    uint16_t first = 0, second = 0;
    if (engine.finished)
        HandleWin();
    else if (!engine.FindHint(0, first, second, true))
        HandleNoMoveLeft();
    else if (TimeLimitReached(gameClock.GetElapsed(), prefs.timedGame != 0, prefs.timeLimit))
        HandleTimeUp();
}

void CGameFlow::HandleWin() {
    const std::u16string name = GameName();
    CBestTimesTable bestTimes(name);
    const uint32_t elapsed = gameClock.CountUpToNow();
    gameClock.Pause();
    AddGameStatistics(name, true, elapsed);
    view.UpdateStatistics();
    if (bestTimes.Qualifies(elapsed)) {
        if (view.RunWinDialog()) {
            const size_t length = std::char_traits<char16_t>::length(prefs.lastEnteredName.data());
            bestTimes.Insert(std::u16string(prefs.lastEnteredName.data(),
                                            std::min(length, kLastEnteredNameLength)),
                             elapsed);
            view.UpdateBestTimes();
        }
    } else {
        view.RunSimpleWinDialog();
    }
    NewGame(0, true, false);
    view.RefreshPanelAfterGameChange();
}

void CGameFlow::HandleNoMoveLeft() {
    gameClock.Pause();
    const int choice = view.RunLostDialog(false);
    if (choice == kLostRestart) {
        RecordLoss(gameClock.GetElapsed());
        RestartGame();
        return;
    }
    if (choice == kLostUndo) {
        gameClock.Resume();
        if (UndoMove())
            return;
    }
    RecordLoss(gameClock.GetElapsed());
    NewGame(0, true, false);
    view.RefreshPanelAfterGameChange();
}

void CGameFlow::HandleTimeUp() {
    RecordLoss(prefs.timeLimit * 60u);
    gameClock.Pause();
    if (view.RunLostDialog(true) == kLostRestart) {
        RestartGame();
        return;
    }
    NewGame(0, true, false);
    view.RefreshPanelAfterGameChange();
}

}  // namespace corvelle
