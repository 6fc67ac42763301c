// The main window's game logic above the rules engine: loading the game in
// play, dealing, showing a restored game, restarting, undo, hints, the
// commands of the menu, and the game-state check that decides after every
// change whether the game is won, lost (no move left) or out of time,
// records the result in the statistics and best times, asks for the
// end-of-game dialogs and starts the next deal.
//
// Plain C++: no operation calls the window. Each one returns a FlowStep:
// what the window must redraw and reload (ViewUpdate flags), and the modal
// window it must show next, whose answer goes back to AfterDialog. So a
// command that needs the player's answer (a win, a loss, the selection) is
// two calls with the dialog run by the window between them. The clock runs
// on an injected time source, so every rule is tested without a window.
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

// What the window redraws and reloads after a game operation, in this
// order: the field, the clock, the title, the side panel; then, when asked
// for, it runs the game-state check (CGameFlow::CheckGameState).
enum class ViewUpdate : uint32_t {
    kNothing = 0,
    kClearSelection = 1u << 0,    // the field drops its selected cards
    kBuildField = 1u << 1,        // the field's copy rebuilt from the engine and prepared for drawing
    kBuildFieldQuiet = 1u << 2,   // the same, the field's full-repaint state left as it is
    kRedrawField = 1u << 3,
    kClock = 1u << 4,             // the status bar shows the clock's elapsed time
    kTitle = 1u << 5,             // the window's title names the game (CGameFlow::GameName)
    kRulesText = 1u << 6,         // the side panel reloads the game's rules,
    kBestTimes = 1u << 7,         // its best times
    kStatistics = 1u << 8,        // and its statistics
    kPanelAfterGameChange = 1u << 9,   // the panel's first region in view, the advertisement refreshed
    kGameStateCheck = 1u << 10,
};
constexpr ViewUpdate operator|(ViewUpdate a, ViewUpdate b) {
    return static_cast<ViewUpdate>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}
constexpr ViewUpdate operator&(ViewUpdate a, ViewUpdate b) {
    return static_cast<ViewUpdate>(static_cast<uint32_t>(a) & static_cast<uint32_t>(b));
}
constexpr ViewUpdate operator~(ViewUpdate a) { return static_cast<ViewUpdate>(~static_cast<uint32_t>(a)); }
inline ViewUpdate& operator|=(ViewUpdate& a, ViewUpdate b) { return a = a | b; }
constexpr bool Has(ViewUpdate set, ViewUpdate flag) { return (set & flag) != ViewUpdate::kNothing; }

// The modal windows the game flow asks for. The clock is paused while one
// is open (the win dialogs included); what each answer means:
enum class FlowDialog : uint8_t {
    kNoDialog,
    kBestTimeWin,   // non-zero: the player confirmed a name, now in prefs.lastEnteredName
    kSimpleWin,
    kLost,          // kLostNewGame, kLostRestart, kLostUndo, or anything else (closed)
    kTimeUp,        // kLostRestart, or anything else
    kNoUndo,        // "Undo is not available."
    kSelect,        // the selection dialog: may change prefs.curSolId (restored on cancel)
                    // and previews games meanwhile through PreviewGame
    kOptions,       // non-zero: an option that changes the field's look was changed
    kAbout,
};

// What one game operation leaves to the window.
struct FlowStep {
    ViewUpdate updates = ViewUpdate::kNothing;
    FlowDialog dialog = FlowDialog::kNoDialog;
};

// The deal a new game gets.
class Deal {
public:
    static Deal Random() { return Deal(0); }
    static Deal Number(uint32_t number) { return Deal(number); }
    // The engine's form: 0 lets it draw a number.
    uint32_t GetEngineNumber() const { return engineNumber; }

private:
    explicit Deal(uint32_t number) : engineNumber(number) {}
    uint32_t engineNumber;
};

// Why LoadCurrentSolitaire found no game to load.
enum class LoadFailure : uint8_t {
    kLoaded,
    kNoLibrary,     // the program holds no game library (no game ids)
    kUnreadable,    // the game's record could not be read from the library
    kRefused,       // the game's record was read but is not a valid game
};

// Whether an operation is for the game played, or quiet: the selection's
// previews in the main window's engine and field, which change neither the
// clock nor the field's full-repaint state and ask for no game-state check.
enum class FlowMode : uint8_t { kPlay, kQuiet };

class CGameFlow : public CEngineOwner {
public:
    CGameFlow(AppPreferences& prefs, CGameClock::TimeSource timeSource = CGameClock::SystemTime);
    CGameFlow(const CGameFlow&) = delete;
    CGameFlow& operator=(const CGameFlow&) = delete;

    CGameEngine& GetEngine() { return engine; }
    CGameClock& GetClock() { return gameClock; }
    uint16_t GetHintIndex() const { return hintIndex; }
    // The game's name as the player sees it (statistics and best times are
    // kept under it).
    std::u16string GetGameName() const;
    bool IsGameLoaded() const { return prefs.curSolId != kNoCurrentGame && engine.HasDefinition(); }
    // The dialog whose answer AfterDialog waits for (kNoDialog: none).
    FlowDialog GetAwaitedDialog() const { return awaiting; }

    // The start of the window: the game in play (the first of the database
    // when there is none) loaded and restored, or dealt anew, with the clock
    // running. A new deal's game-state check is asked for; the window runs
    // it once it is visible. Without a loadable game (IsGameLoaded() false)
    // nothing is asked for.
    FlowStep StartUp();
    // The window has drawn the game in play. A game restored for play at
    // the start is saved again now: its slot stays marked as being restored
    // until a save, and a slot so marked is dropped at the next start, so a
    // run ended before the player's first step would otherwise lose it.
    void GameShown();

    // ---- the game operations
    bool LoadCurrentSolitaire();
    // Why the last LoadCurrentSolitaire failed (kLoaded when it did not fail).
    LoadFailure GetLastLoadFailure() const { return loadFailure; }
    FlowStep NewGame(Deal deal, FlowMode mode);
    FlowStep ShowGame(FlowMode mode);
    // Restores the saved game of the loaded definition with its deal number;
    // false when there is none, or when it was finished (its result is
    // recorded already: a new deal follows).
    bool RestoreSavedGame();
    // Saves the game in play, its deal number and the slot's stamp (which
    // also ends the slot's mark of a game being restored).
    void SaveCurrentGame();
    FlowStep RestartGame();
    // Takes back one step; without one, asks for the "No Undo" message.
    FlowStep UndoMove();
    // The next hint for the window to blink: a card and its destination
    // pile, or a pile to click and 0xFFFF. Repeated calls cycle through all
    // hints; false when there is none.
    bool ShowNextMove(uint16_t& first, uint16_t& second);
    // The selection dialog's preview of database position `position`: its
    // game in progress (its crash guard untouched) or a random deal, quiet.
    FlowStep PreviewGame(uint32_t position);

    // ---- commands
    FlowStep OnNew();
    FlowStep OnRestart();
    FlowStep OnSelect();
    FlowStep OnUndo() { return UndoMove(); }
    FlowStep OnOptions();
    FlowStep OnAbout();
    // Timer 1.
    FlowStep OnTimer();
    // The game-state check, asked for after each player step, each deal and
    // when a timed game reaches its limit. It first saves the game in play,
    // so that a killed process loses at most the step in flight. A check
    // asked for while a dialog is awaited runs after its answer.
    FlowStep CheckGameState();
    // The answer of the dialog the last step asked for.
    FlowStep AfterDialog(int answer);

    // ---- CEngineOwner
    void ResetHintIndex() override { hintIndex = 0; }
    uint32_t GetElapsedSeconds() const override { return gameClock.GetElapsed(); }
    void SetElapsedSeconds(uint32_t seconds) override { gameClock.SetElapsed(seconds); }
    uint32_t* GetSaveStamps() override { return prefs.lastPlayed.data(); }
    uint32_t GetGameNumber() const override { return prefs.curGameNumber; }
    void SetGameNumber(uint32_t number) override { prefs.curGameNumber = number; }

private:
    // The deal without the check or a redraw: the field rebuilt, and for
    // play the clock started from 0.
    FlowStep DealGame(Deal deal, FlowMode mode);
    ViewUpdate RecordLoss(uint32_t seconds);
    FlowStep Ask(FlowDialog dialog, ViewUpdate updates = ViewUpdate::kNothing);
    FlowStep DecideGameState();
    FlowStep AfterWin(bool nameEntered);
    FlowStep AfterLost(int choice);
    FlowStep EndSelect();
    FlowStep NewRandomGameAfterLoss();

    AppPreferences& prefs;
    CGameClock gameClock;
    CGameEngine engine;
    uint16_t hintIndex = 0;
    LoadFailure loadFailure = LoadFailure::kLoaded;
    FlowDialog awaiting = FlowDialog::kNoDialog;
    bool checkPending = false;          // a check was asked for while a dialog was awaited
    bool noUndoEndsGame = false;        // the "No Undo" message answers the lost dialog's Undo
    uint32_t winSeconds = 0;            // the won game's time, for its best time
    uint32_t selectFromGame = kNoCurrentGame;   // the game in play when the selection opened
    uint32_t selectFromNumber = 0;
    uint32_t stampedGame = kNoCurrentGame;      // the game whose save stamp was last stored
    bool restoredUnsaved = false;               // restored for play, not saved since
};

}  // namespace corvelle
