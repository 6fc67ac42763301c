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

CGameFlow::CGameFlow(AppPreferences& preferences, CGameClock::TimeSource timeSource)
    : prefs(preferences), gameClock(std::move(timeSource)), engine(this) {}

std::u16string CGameFlow::GetGameName() const {
    // The name field need not hold its terminator: it is read within its size.
    return Utf8ToUtf16(engine.name, strnlen(engine.name, sizeof engine.name));
}

FlowStep CGameFlow::StartUp() {
    if (prefs.curSolId == kNoCurrentGame)
        prefs.curSolId = 0;
    const bool ok = LoadCurrentSolitaire();
    gameClock.Reset();
    if (!ok)
        return {};
    FlowStep step;
    if (RestoreSavedGame()) {
        step = ShowGame(FlowMode::kPlay);
        StorePreferenceValues(prefs, {kCurSolIdValue, kCurGameNumberValue});
    } else {
        // Drawn once the window is laid out; the check runs once it is
        // visible.
        step = DealGame(Deal::Random(), FlowMode::kPlay);
        step.updates |= ViewUpdate::kGameStateCheck;
    }
    step.updates |= ViewUpdate::kTitle | ViewUpdate::kRulesText;
    return step;
}

bool CGameFlow::LoadCurrentSolitaire() {
    uint32_t length = 0;
    uint8_t* record = prefs.curSolId < 0x10000u ? InflateGameRecord(static_cast<uint16_t>(prefs.curSolId), &length)
                                                : nullptr;
    bool ok = false;
    if (record) {
        ok = engine.LoadGameDefinition(record, length);
        std::free(record);
        loadFailure = ok ? LoadFailure::kLoaded : LoadFailure::kRefused;
    } else {
        loadFailure = GetGameCount() == 0 ? LoadFailure::kNoLibrary : LoadFailure::kUnreadable;
    }
    if (!ok)
        engine.FreeGameDefinition();
    return ok;
}

FlowStep CGameFlow::DealGame(Deal deal, FlowMode mode) {
    if (!engine.HasDefinition())
        return {};
    uint32_t dealt = deal.GetEngineNumber();
    StartGame(engine, dealt, &dealt);
    prefs.curGameNumber = dealt;
    ResetHintIndex();
    if (mode == FlowMode::kQuiet)
        return {ViewUpdate::kBuildFieldQuiet};
    gameClock.StartNewDeal();
    StorePreferenceValues(prefs, {kCurSolIdValue, kCurGameNumberValue});
    return {ViewUpdate::kBuildField | ViewUpdate::kClock};
}

FlowStep CGameFlow::NewGame(Deal deal, FlowMode mode) {
    FlowStep step = DealGame(deal, mode);
    if (mode == FlowMode::kPlay && engine.HasDefinition())
        step.updates |= ViewUpdate::kRedrawField | ViewUpdate::kGameStateCheck;
    return step;
}

FlowStep CGameFlow::ShowGame(FlowMode mode) {
    if (mode == FlowMode::kQuiet)
        return {ViewUpdate::kBuildFieldQuiet};
    gameClock.StartRestored();
    return {ViewUpdate::kBuildField};
}

bool CGameFlow::RestoreSavedGame() {
    if (!engine.LoadSavedGame(false))
        return false;
    if (engine.finished) {
        // A won game whose next deal was not saved (the process ended in its
        // dialog): its win is recorded, so it is not played again.
        engine.FreeGameState();
        return false;
    }
    restoredUnsaved = true;
    return true;
}

void CGameFlow::GameShown() {
    if (restoredUnsaved)
        SaveCurrentGame();
}

void CGameFlow::SaveCurrentGame() {
    if (!engine.HasGameInPlay())
        return;
    engine.SaveGame();
    restoredUnsaved = false;
    // The stamps choose the slot a new game replaces: kept at once, so that
    // the choice holds after a run that did not end cleanly. The game's
    // first save in a run makes its stamp the newest; later saves of the
    // same game change no order.
    if (stampedGame != prefs.curSolId) {
        StorePreferenceValues(prefs, {kLastPlayedValue});
        stampedGame = prefs.curSolId;
    }
}

FlowStep CGameFlow::RestartGame() {
    FlowStep step = NewGame(Deal::Number(prefs.curGameNumber), FlowMode::kPlay);
    step.updates |= ViewUpdate::kPanelAfterGameChange;
    return step;
}

FlowStep CGameFlow::UndoMove() {
    if (UndoStep(engine)) {
        SaveCurrentGame();
        return {ViewUpdate::kBuildField | ViewUpdate::kRedrawField};
    }
    return Ask(FlowDialog::kNoUndo);
}

bool CGameFlow::ShowNextMove(uint16_t& first, uint16_t& second) {
    bool found = engine.FindHint(hintIndex, first, second, false);
    if (!found && hintIndex != 0) {
        hintIndex = 0;
        found = engine.FindHint(0, first, second, false);
    }
    if (found)
        ++hintIndex;
    return found;
}

FlowStep CGameFlow::PreviewGame(uint32_t position) {
    prefs.curSolId = position;
    if (!LoadCurrentSolitaire())
        return {};
    // The game in progress of that game when it has one (its crash guard
    // untouched), a random deal otherwise; nothing is drawn.
    if (engine.LoadSavedGame(true))
        return ShowGame(FlowMode::kQuiet);
    return NewGame(Deal::Random(), FlowMode::kQuiet);
}

ViewUpdate CGameFlow::RecordLoss(uint32_t seconds) {
    if (!engine.HasDefinition())
        return ViewUpdate::kNothing;
    AddGameStatistics(GetGameName(), false, seconds);
    return ViewUpdate::kStatistics;
}

FlowStep CGameFlow::Ask(FlowDialog dialog, ViewUpdate updates) {
    gameClock.Pause();
    awaiting = dialog;
    return {updates, dialog};
}

FlowStep CGameFlow::OnNew() {
    const ViewUpdate loss = RecordLoss(gameClock.GetElapsed());
    FlowStep step = NewGame(Deal::Random(), FlowMode::kPlay);
    step.updates |= loss | ViewUpdate::kPanelAfterGameChange;
    return step;
}

FlowStep CGameFlow::OnRestart() {
    const ViewUpdate loss = RecordLoss(gameClock.GetElapsed());
    FlowStep step = RestartGame();
    step.updates |= loss;
    return step;
}

FlowStep CGameFlow::OnSelect() {
    ViewUpdate updates = ViewUpdate::kNothing;
    if (IsGameLoaded()) {
        updates = ViewUpdate::kClearSelection | ViewUpdate::kRedrawField;
        SaveCurrentGame();
    }
    selectFromGame = prefs.curSolId;
    selectFromNumber = prefs.curGameNumber;
    return Ask(FlowDialog::kSelect, updates);
}

FlowStep CGameFlow::EndSelect() {
    // The dialog's previews deal other numbers: the game that comes back
    // takes its own from its slot, or a new deal makes one.
    prefs.curGameNumber = selectFromNumber;
    LoadCurrentSolitaire();
    const bool changed = prefs.curSolId != selectFromGame;
    FlowStep step;
    if (RestoreSavedGame()) {
        step = ShowGame(FlowMode::kPlay);
        StorePreferenceValues(prefs, {kCurSolIdValue, kCurGameNumberValue});
        // The game in play before the dialog, or one whose preview showed
        // it: saved again at once, as the game in play.
        SaveCurrentGame();
    } else {
        step = NewGame(Deal::Random(), FlowMode::kPlay);
    }
    step.updates |= ViewUpdate::kPanelAfterGameChange;
    if (changed)
        step.updates |= ViewUpdate::kRulesText | ViewUpdate::kBestTimes | ViewUpdate::kStatistics |
                        ViewUpdate::kTitle | ViewUpdate::kRedrawField;
    return step;
}

FlowStep CGameFlow::OnOptions() {
    const ViewUpdate updates =
        IsGameLoaded() ? ViewUpdate::kClearSelection | ViewUpdate::kRedrawField : ViewUpdate::kNothing;
    return Ask(FlowDialog::kOptions, updates);
}

FlowStep CGameFlow::OnAbout() { return Ask(FlowDialog::kAbout); }

FlowStep CGameFlow::OnTimer() {
    const ClockTick tick = gameClock.OnTimer(prefs.timedGame != 0, prefs.timeLimit);
    FlowStep step;
    if (tick.counted)
        step.updates |= ViewUpdate::kClock;
    if (tick.timeUp)
        step.updates |= ViewUpdate::kGameStateCheck;
    return step;
}

FlowStep CGameFlow::CheckGameState() {
    if (awaiting != FlowDialog::kNoDialog) {
        // Asked for by what happens while a dialog is open (the clock's
        // tick under a win dialog): decided after its answer.
        checkPending = true;
        ResetHintIndex();
        return {};
    }
    if (IsGameLoaded())
        SaveCurrentGame();
    FlowStep step = DecideGameState();
    ResetHintIndex();
    return step;
}

FlowStep CGameFlow::DecideGameState() {
    if (!engine.HasGameInPlay())
        return {};
    uint16_t first = 0, second = 0;
    if (engine.finished) {
        const std::u16string name = GetGameName();
        winSeconds = gameClock.CountUpToNow();
        AddGameStatistics(name, true, winSeconds);
        const bool best = CBestTimesTable(name).Qualifies(winSeconds);
        return Ask(best ? FlowDialog::kBestTimeWin : FlowDialog::kSimpleWin, ViewUpdate::kStatistics);
    }
    if (!engine.FindHint(0, first, second, true))
        return Ask(FlowDialog::kLost);
    if (TimeLimitReached(gameClock.GetElapsed(), prefs.timedGame != 0, prefs.timeLimit)) {
        const ViewUpdate loss = RecordLoss(prefs.timeLimit * 60u);
        return Ask(FlowDialog::kTimeUp, loss);
    }
    return {};
}

FlowStep CGameFlow::AfterDialog(int answer) {
    const FlowDialog answered = awaiting;
    awaiting = FlowDialog::kNoDialog;
    FlowStep step;
    bool decision = true;   // the answer ends a game-state check
    switch (answered) {
    case FlowDialog::kBestTimeWin:
    case FlowDialog::kSimpleWin:
        step = AfterWin(answered == FlowDialog::kBestTimeWin && answer != 0);
        break;
    case FlowDialog::kLost:
        step = AfterLost(answer);
        break;
    case FlowDialog::kTimeUp:
        step = answer == kLostRestart ? RestartGame() : NewRandomGameAfterLoss();
        break;
    case FlowDialog::kNoUndo:
        gameClock.Resume();
        decision = noUndoEndsGame;
        if (noUndoEndsGame) {
            noUndoEndsGame = false;
            const ViewUpdate loss = RecordLoss(gameClock.GetElapsed());
            step = NewRandomGameAfterLoss();
            step.updates |= loss;
        }
        break;
    case FlowDialog::kSelect:
        decision = false;
        step = EndSelect();
        break;
    case FlowDialog::kOptions:
        decision = false;
        gameClock.Resume();
        if (answer != 0)
            step.updates = ViewUpdate::kRedrawField;
        break;
    case FlowDialog::kAbout:
        decision = false;
        gameClock.Resume();
        break;
    case FlowDialog::kNoDialog:
        return {};
    }
    if (decision && step.dialog == FlowDialog::kNoDialog)
        ResetHintIndex();
    if (checkPending && step.dialog == FlowDialog::kNoDialog) {
        checkPending = false;
        step.updates |= ViewUpdate::kGameStateCheck;
    }
    return step;
}

FlowStep CGameFlow::AfterWin(bool nameEntered) {
    ViewUpdate updates = ViewUpdate::kNothing;
    if (nameEntered) {
        const size_t length = std::char_traits<char16_t>::length(prefs.lastEnteredName.data());
        CBestTimesTable(GetGameName())
            .Insert(std::u16string(prefs.lastEnteredName.data(), std::min(length, kLastEnteredNameLength)),
                    winSeconds);
        updates = ViewUpdate::kBestTimes;
    }
    FlowStep step = NewGame(Deal::Random(), FlowMode::kPlay);
    step.updates |= updates | ViewUpdate::kPanelAfterGameChange;
    return step;
}

FlowStep CGameFlow::AfterLost(int choice) {
    if (choice == kLostRestart) {
        const ViewUpdate loss = RecordLoss(gameClock.GetElapsed());
        FlowStep step = RestartGame();
        step.updates |= loss;
        return step;
    }
    if (choice == kLostUndo) {
        gameClock.Resume();
        FlowStep step = UndoMove();
        // Nothing to undo: after its message the game counts as lost.
        noUndoEndsGame = step.dialog == FlowDialog::kNoUndo;
        return step;
    }
    const ViewUpdate loss = RecordLoss(gameClock.GetElapsed());
    FlowStep step = NewRandomGameAfterLoss();
    step.updates |= loss;
    return step;
}

FlowStep CGameFlow::NewRandomGameAfterLoss() {
    FlowStep step = NewGame(Deal::Random(), FlowMode::kPlay);
    step.updates |= ViewUpdate::kPanelAfterGameChange;
    return step;
}

}  // namespace corvelle
