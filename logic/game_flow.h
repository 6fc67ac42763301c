// The main window's game logic above the rules engine: loading the game in
// play, dealing, showing a restored game, restarting, undo, hints, the
// commands of the menu, and the game-state check that decides after every
// change whether the game is won, lost (no move left) or out of time,
// records the result in the statistics and best times, shows the
// end-of-game dialogs and starts the next deal.
//
// Plain C++: the window, the field, the side panel and the dialogs are
// reached through GameFlowView, the clock runs on an injected time source,
// so every rule is tested without a window. The main window owns one
// CGameFlow and forwards its commands, its timer and the game-state check to
// it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/game_engine.h"
#include "logic/game_clock.h"
#include "logic/preferences.h"

namespace corvelle {

// Results of the lost dialog (its button ids).
constexpr int kLostNewGame = 1004;
constexpr int kLostRestart = 1005;
constexpr int kLostUndo = 1006;

// What the game logic asks of the window around it.
class GameFlowView {
public:
    // ---- the game field
    // Rebuilds the field's copy of the game from the engine and prepares its
    // drawing; quiet leaves its full-repaint state as it is.
    virtual void BuildField(bool quiet) = 0;
    virtual void RedrawField() = 0;
    virtual void ClearFieldSelection() = 0;
    // first: a card (second the destination pile) or a pile to click
    // (second 0xFFFF).
    virtual void BlinkHint(uint16_t first, uint16_t second) = 0;

    // ---- the window
    virtual void ShowGameTime(uint32_t seconds) = 0;
    virtual void SetTitle(const std::u16string& title) = 0;
    // Sends the game-state check to the window, which hands it back to
    // CGameFlow::OnGameStateCheck before this returns.
    virtual void SendGameStateCheck() = 0;

    // ---- the side panel
    virtual void UpdateRulesText() = 0;
    virtual void UpdateStatistics() = 0;
    virtual void UpdateBestTimes() = 0;
    // After a new deal, restart, selection or game end: the first region in
    // view and the advertisement refreshed.
    virtual void RefreshPanelAfterGameChange() = 0;

    // ---- modal windows (the clock is paused around each by the caller)
    // The best-time dialog: true when the player confirmed a name, which is
    // then in the preferences' lastEnteredName.
    virtual bool RunWinDialog() = 0;
    virtual void RunSimpleWinDialog() = 0;
    // kLostNewGame, kLostRestart, kLostUndo or anything else (closed).
    virtual int RunLostDialog(bool timeUp) = 0;
    virtual void ShowNoUndoMessage() = 0;
    // The selection dialog: it may change curSolId and preview games through
    // the quiet operations; on cancel it restores curSolId.
    virtual void RunSelectDialog() = 0;
    // The options dialog: true when an option that changes the field's look
    // was changed.
    virtual bool RunOptionsDialog() = 0;
    virtual void RunAboutDialog() = 0;

    // ---- start-up: called as each step of StartUp ends (the window's
    // start-up breakdown); nothing by default.
    virtual void StartUpStepDone(const char* /*step*/) {}

protected:
    ~GameFlowView() = default;
};

class CGameFlow : public CEngineOwner {
public:
    CGameFlow(AppPreferences& prefs, GameFlowView& view,
              CGameClock::TimeSource timeSource = CGameClock::SystemTime);
    CGameFlow(const CGameFlow&) = delete;
    CGameFlow& operator=(const CGameFlow&) = delete;

    CGameEngine& Engine() { return engine; }
    CGameClock& Clock() { return gameClock; }
    uint16_t HintIndex() const { return hintIndex; }
    // The game's name as the player sees it (statistics and best times are
    // kept under it).
    std::u16string GameName() const;
    bool GameLoaded() const { return prefs.curSolId != kNoCurrentGame && engine.HasDefinition(); }

    // The start of the window: the game in play (the first of the database
    // when there is none) loaded and restored, or dealt anew, with the clock
    // running. Returns true when a new deal was made, whose game-state check
    // the window runs once it is visible (PostStartCheck). False from
    // `loaded` when no game could be loaded.
    bool StartUp(bool* loaded = nullptr);

    // ---- the game operations; quiet forms change neither the clock nor
    // the field's full-repaint state and send no game-state check (the
    // selection dialog previews games with them).
    bool LoadCurrentSolitaire();
    void NewGame(uint32_t gameNumber, bool redraw, bool quiet);
    void ShowGame(bool quiet);
    // Restores the saved game of the loaded definition with its deal number;
    // false when there is none.
    bool RestoreSavedGame();
    // Saves the game in play with its deal number.
    void SaveCurrentGame();
    void RestartGame();
    bool UndoMove();
    void ShowNextMove();

    // ---- commands
    void OnNew();
    void OnRestart();
    void OnSelect();
    void OnUndo() { UndoMove(); }
    void OnShowNextMove() { ShowNextMove(); }
    void OnOptions();
    void OnAbout();
    // Timer 1.
    void OnTimer();
    // The game-state check. A check asked for while one runs (a new deal
    // made from its dialog) runs after it, not inside it.
    void OnGameStateCheck();

    // ---- CEngineOwner
    void ResetHintIndex() override { hintIndex = 0; }
    uint32_t GetElapsedSeconds() const override { return gameClock.GetElapsed(); }
    void SetElapsedSeconds(uint32_t seconds) override { gameClock.SetElapsed(seconds); }
    uint32_t* GetSaveStamps() override { return prefs.lastPlayed.data(); }

private:
    void Deal(uint32_t gameNumber, bool quiet);
    void RecordLoss(uint32_t seconds);
    void DecideGameState();
    void HandleWin();
    void HandleNoMoveLeft();
    void HandleTimeUp();

    AppPreferences& prefs;
    GameFlowView& view;
    CGameClock gameClock;
    CGameEngine engine;
    uint16_t hintIndex = 0;
    bool checking = false;       // a game-state check is running
    bool checkPending = false;   // another was asked for meanwhile
};

// The deal number kept beside a saved game in its slot ("gameNumber"), so
// that Restart deals the game that was restored.
void WriteSavedGameNumber(uint16_t slot, uint32_t gameNumber);
bool ReadSavedGameNumber(uint16_t slot, uint32_t& gameNumber);

}  // namespace corvelle
