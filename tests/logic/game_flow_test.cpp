// The main window's game logic over the compiled game library, with an
// injected clock and a window whose dialogs answer as each test scripts them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/player_move.h"
#include "engine/saved_game.h"
#include "engine/statistics.h"
#include "field/library_games.h"
#include "logic/game_flow.h"
#include "support/registry_sandbox.h"

namespace corvelle {
namespace {

// Where every card lies, face up or down: the layout the player sees.
using Layout = std::vector<std::tuple<uint16_t, uint16_t, uint8_t>>;
Layout LayoutOf(const CGameEngine& engine) {
    Layout out;
    for (const CardState& c : engine.cardStates)
        out.emplace_back(c.pile, c.position, c.faceUp);
    return out;
}

uint32_t PositionOf(const std::string& name) {
    const std::vector<std::string> names = test::LibraryGameNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<uint32_t>(i);
    ADD_FAILURE() << "no game " << name;
    return 0;
}

// One step of the first hint; false when there is none.
bool PlayFirstHint(CGameEngine& engine) {
    uint16_t first = 0, second = 0;
    if (!engine.FindHint(0, first, second, false))
        return false;
    return second == 0xFFFF ? PlayClick(engine, first) : PlayMove(engine, first, second);
}

// The main window's side of the game logic: carries out each step as the
// window does (its redraws and reloads counted, its dialogs answered as the
// test scripts them), checking that the clock is paused under every modal
// window and that none opens inside another.
class FakeWindow {
public:
    explicit FakeWindow(CGameFlow& gameFlow) : flow(gameFlow) {}

    void Run(FlowStep step) {
        for (;;) {
            Apply(step.updates);
            const bool check = Has(step.updates, ViewUpdate::kGameStateCheck);
            if (step.dialog != FlowDialog::kNoDialog) {
                step = flow.AfterDialog(Modal(step.dialog));
                if (check) step.updates |= ViewUpdate::kGameStateCheck;
            } else if (check) {
                ++checksSent;
                step = flow.CheckGameState();
            } else {
                return;
            }
        }
    }
    // The game-state check as the field sends it after a step.
    void SendGameStateCheck() {
        ++checksSent;
        Run(flow.CheckGameState());
    }
    void ShowNextMove() {
        uint16_t first = 0, second = 0;
        if (flow.ShowNextMove(first, second)) blinks.emplace_back(first, second);
    }

    void Apply(ViewUpdate u) {
        if (Has(u, ViewUpdate::kBuildField)) {
            ++builds;
            if (onBuild) onBuild();
        } else if (Has(u, ViewUpdate::kBuildFieldQuiet)) {
            ++quietBuilds;
        }
        if (Has(u, ViewUpdate::kRedrawField)) ++redraws;
        if (Has(u, ViewUpdate::kClock)) shownTimes.push_back(flow.GetClock().GetElapsed());
        if (Has(u, ViewUpdate::kTitle)) title = flow.GetGameName();
        if (Has(u, ViewUpdate::kRulesText)) ++rulesUpdates;
        if (Has(u, ViewUpdate::kStatistics)) ++statisticsUpdates;
        if (Has(u, ViewUpdate::kBestTimes)) ++bestTimesUpdates;
        if (Has(u, ViewUpdate::kPanelAfterGameChange)) ++panelRefreshes;
    }

    int Modal(FlowDialog dialog) {
        EXPECT_TRUE(flow.GetClock().IsPaused()) << "a modal window opened with the clock running";
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        int answer = 0;
        switch (dialog) {
        case FlowDialog::kBestTimeWin: ++winDialogs; answer = onWin && onWin() ? 1 : 0; break;
        case FlowDialog::kSimpleWin: ++simpleWinDialogs; break;
        case FlowDialog::kLost:
        case FlowDialog::kTimeUp:
            lostDialogs.push_back(dialog == FlowDialog::kTimeUp);
            answer = onLost ? onLost(dialog == FlowDialog::kTimeUp) : kLostNewGame;
            break;
        case FlowDialog::kNoUndo: ++noUndoMessages; break;
        case FlowDialog::kSelect: if (onSelect) onSelect(); break;
        case FlowDialog::kOptions: answer = 1; break;
        case FlowDialog::kAbout: if (duringAbout) duringAbout(); break;
        case FlowDialog::kNoDialog: break;
        }
        --depth;
        return answer;
    }

    CGameFlow& flow;
    int builds = 0, quietBuilds = 0, redraws = 0, checksSent = 0;
    int rulesUpdates = 0, statisticsUpdates = 0, bestTimesUpdates = 0, panelRefreshes = 0;
    int winDialogs = 0, simpleWinDialogs = 0, noUndoMessages = 0;
    int depth = 0, maxDepth = 0;
    std::vector<bool> lostDialogs;
    std::vector<uint32_t> shownTimes;
    std::vector<std::pair<uint16_t, uint16_t>> blinks;
    std::u16string title;
    std::function<bool()> onWin;
    std::function<int(bool)> onLost;
    std::function<void()> onSelect;
    std::function<void()> duringAbout;
    std::function<void()> onBuild;
};

class GameFlowTest : public test::RegistrySandbox {
protected:
    void SetUp() override {
        RegistrySandbox::SetUp();
        static const std::vector<std::string> library = test::LibraryGameNames();   // opens the library
        ASSERT_FALSE(library.empty());
    }

    // Starts on a game of the library with a first deal.
    void StartOn(const std::string& game) {
        prefs.curSolId = PositionOf(game);
        ASSERT_TRUE(flow.LoadCurrentSolitaire());
        flow.GetClock().Reset();
        // A fixed deal, so the tests that play its hints always find some:
        // Klondike's deal 3 offers five moves at the start.
        window.Run(flow.NewGame(Deal::Number(3), FlowMode::kPlay));
    }

    // Ticks the timer over `seconds` seconds of the clock's time.
    void PlayFor(uint32_t seconds) {
        for (uint32_t i = 0; i < seconds; ++i) {
            window.Run(flow.OnTimer());
            ++now;
            window.Run(flow.OnTimer());
        }
    }

    // Deals numbers from `start` until hint-by-hint play gets stuck short
    // of a win: the game then has no move left.
    uint32_t DealStuckGame(uint32_t start) {
        for (uint32_t number = start; number < start + 200; ++number) {
            flow.NewGame(Deal::Number(number), FlowMode::kQuiet);
            int steps = 0;
            while (steps < 2000 && PlayFirstHint(flow.GetEngine())) ++steps;
            uint16_t a = 0, b = 0;
            if (!flow.GetEngine().finished && !flow.GetEngine().FindHint(0, a, b, true))
                return number;
        }
        ADD_FAILURE() << "no stuck deal found";
        return 0;
    }

    GameStatistics Statistics() {
        GameStatistics s;
        ReadGameStatistics(flow.GetGameName(), s);
        return s;
    }

    // Undo through the command: false once it says there is nothing to undo.
    bool Undo() {
        const FlowStep step = flow.UndoMove();
        window.Run(step);
        return step.dialog == FlowDialog::kNoDialog;
    }

    int64_t now = 1700000000;
    AppPreferences prefs;
    CGameFlow flow{prefs, [this] { return now; }};
    FakeWindow window{flow};
};

TEST_F(GameFlowTest, StartUpDealsTheFirstGameAndLeavesItsCheckToTheWindow) {
    const FlowStep start = flow.StartUp();
    EXPECT_TRUE(Has(start.updates, ViewUpdate::kGameStateCheck));
    window.Apply(start.updates);
    EXPECT_EQ(prefs.curSolId, 0u);
    EXPECT_EQ(window.checksSent, 0);
    EXPECT_TRUE(flow.GetEngine().HasGameInPlay());
    EXPECT_FALSE(flow.GetClock().IsPaused());
    EXPECT_EQ(window.shownTimes, std::vector<uint32_t>{0});
    EXPECT_NE(prefs.curGameNumber, 0u);
}

TEST_F(GameFlowTest, QuietDealsLeaveClockFieldAndCheckAlone) {
    StartOn("Klondike (draw one)");
    PlayFor(5);
    const int builds = window.builds, checks = window.checksSent;
    flow.GetClock().Pause();
    window.Run(flow.NewGame(Deal::Number(1234), FlowMode::kQuiet));
    window.Run(flow.ShowGame(FlowMode::kQuiet));
    EXPECT_EQ(window.builds, builds);
    EXPECT_EQ(window.quietBuilds, 2);
    EXPECT_EQ(window.checksSent, checks);
    EXPECT_EQ(flow.GetClock().GetElapsed(), 5u);
    EXPECT_TRUE(flow.GetClock().IsPaused());
    EXPECT_EQ(prefs.curGameNumber, 1234u);

    window.Run(flow.NewGame(Deal::Number(1234), FlowMode::kPlay));
    EXPECT_EQ(window.checksSent, checks + 1);
    EXPECT_EQ(flow.GetClock().GetElapsed(), 0u);
    EXPECT_FALSE(flow.GetClock().IsPaused());
}

TEST_F(GameFlowTest, AWinIsRecordedOnceWithItsBestTime) {
    StartOn("Klondike (draw one)");
    prefs.timedGame = 1;
    prefs.timeLimit = 1;
    PlayFor(40);
    const std::u16string name = flow.GetGameName();
    window.onWin = [&] {
        // The clock keeps its timer running under the dialog, and a check
        // arrives while it is open: neither may count the win again.
        PlayFor(120);
        window.SendGameStateCheck();
        const char16_t entered[] = u"Ada";
        std::copy(std::begin(entered), std::end(entered), prefs.lastEnteredName.begin());
        return true;
    };
    flow.GetEngine().finished = 1;
    window.SendGameStateCheck();

    const GameStatistics s = Statistics();
    EXPECT_EQ(s.played, 1);
    EXPECT_EQ(s.won, 1);
    EXPECT_EQ(s.totalSeconds, 40u);
    EXPECT_EQ(window.winDialogs, 1);
    EXPECT_TRUE(window.lostDialogs.empty());
    CBestTimesTable best(name);
    EXPECT_EQ(std::u16string(best.GetName(0)), u"Ada");
    EXPECT_EQ(best.GetTime(0), 40u);
    EXPECT_EQ(best.GetTime(1), 0u);
    EXPECT_EQ(window.bestTimesUpdates, 1);
    // The next deal follows, with the clock back at zero.
    EXPECT_FALSE(flow.GetEngine().finished);
    EXPECT_EQ(flow.GetClock().GetElapsed(), 0u);
    EXPECT_FALSE(flow.GetClock().IsPaused());
    EXPECT_EQ(window.maxDepth, 1);
}

TEST_F(GameFlowTest, ASlowerWinShowsTheSimpleDialogAndAWinBeforeAnyTickCountsNothing) {
    StartOn("Golf");
    CBestTimesTable best(flow.GetGameName());
    for (int i = 0; i < kBestTimeEntries; ++i) best.Insert(u"Fast", 10);
    PlayFor(30);
    flow.GetEngine().finished = 1;
    window.SendGameStateCheck();
    EXPECT_EQ(window.simpleWinDialogs, 1);
    EXPECT_EQ(window.winDialogs, 0);
    // A deal finished before the clock ever ticked.
    flow.GetEngine().finished = 1;
    now += 100000;
    window.SendGameStateCheck();
    const GameStatistics s = Statistics();
    EXPECT_EQ(s.won, 2);
    EXPECT_EQ(s.totalSeconds, 30u);
}

TEST_F(GameFlowTest, NoMoveLeftOffersNewGameRestartAndUndo) {
    StartOn("Golf");
    const uint32_t stuck = DealStuckGame(1);
    flow.GetClock().StartNewDeal();
    PlayFor(7);

    // Restart: a loss, then the same deal again.
    window.onLost = [](bool) { return kLostRestart; };
    window.SendGameStateCheck();
    ASSERT_EQ(window.lostDialogs, std::vector<bool>{false});
    EXPECT_EQ(Statistics().played, 1);
    EXPECT_EQ(Statistics().totalSeconds, 7u);
    EXPECT_EQ(prefs.curGameNumber, stuck);
    CGameEngine fresh;
    ASSERT_TRUE(test::DealLibraryGame(fresh, "Golf", stuck));
    uint8_t flag = 1;
    fresh.RunAutomaticEvents(AutomaticEvents::AtGameStart, Recording::Unrecorded, flag);
    fresh.RefreshExposedCards(Recording::Unrecorded);
    EXPECT_EQ(LayoutOf(flow.GetEngine()), LayoutOf(fresh));

    // Undo: the last step comes back, nothing is recorded.
    while (PlayFirstHint(flow.GetEngine())) {}
    const Layout beforeLast = [&] {
        UndoStep(flow.GetEngine());
        Layout l = LayoutOf(flow.GetEngine());
        PlayFirstHint(flow.GetEngine());
        return l;
    }();
    window.onLost = [](bool) { return kLostUndo; };
    window.SendGameStateCheck();
    EXPECT_EQ(Statistics().played, 1);
    EXPECT_EQ(LayoutOf(flow.GetEngine()), beforeLast);
    EXPECT_EQ(window.noUndoMessages, 0);
    EXPECT_FALSE(flow.GetClock().IsPaused());

    // New game: a loss and a new number.
    while (PlayFirstHint(flow.GetEngine())) {}
    window.onLost = [](bool) { return kLostNewGame; };
    window.SendGameStateCheck();
    EXPECT_EQ(Statistics().played, 2);
    EXPECT_NE(prefs.curGameNumber, stuck);
    EXPECT_EQ(window.maxDepth, 1);
}

TEST_F(GameFlowTest, UndoInTheLostDialogWithNothingToUndoDealsAnew) {
    StartOn("Golf");
    const uint32_t stuck = DealStuckGame(1);
    // A position without a move and without a history.
    CMoveHistory* history = flow.GetEngine().GetHistory();
    while (history->GetCount() > 0) history->RemoveAt(history->GetCount() - 1);
    window.onLost = [](bool) { return kLostUndo; };
    window.SendGameStateCheck();
    EXPECT_EQ(window.noUndoMessages, 1);
    EXPECT_EQ(Statistics().played, 1);
    EXPECT_NE(prefs.curGameNumber, stuck);
}

TEST_F(GameFlowTest, DealsThatEndAtOnceRunOneDialogAtATime) {
    StartOn("Golf");
    // The next five deals are finished by their start: each deal made after
    // a win asks for a check again, which must not open the next dialog
    // inside the current one.
    int finishedDeals = 5;
    window.onBuild = [&] {
        if (finishedDeals > 0) {
            --finishedDeals;
            flow.GetEngine().finished = 1;
        }
    };
    flow.GetEngine().finished = 1;
    window.SendGameStateCheck();
    EXPECT_EQ(window.winDialogs + window.simpleWinDialogs, 6);
    EXPECT_EQ(Statistics().won, 6);
    EXPECT_EQ(window.maxDepth, 1);
    EXPECT_FALSE(flow.GetEngine().finished);
}

TEST_F(GameFlowTest, TimeUpRecordsTheLimitOnceBeforeItsDialog) {
    StartOn("Klondike (draw one)");
    prefs.timedGame = 1;
    prefs.timeLimit = 1;
    const uint32_t number = prefs.curGameNumber;
    const Layout start = LayoutOf(flow.GetEngine());
    window.onLost = [&](bool timeUp) {
        EXPECT_TRUE(timeUp);
        EXPECT_EQ(Statistics().played, 1);   // recorded before the dialog
        PlayFor(30);                         // the paused clock sends nothing
        return kLostRestart;
    };
    PlayFor(59);
    EXPECT_TRUE(window.lostDialogs.empty());
    PlayFor(1);
    ASSERT_EQ(window.lostDialogs, std::vector<bool>{true});
    const GameStatistics s = Statistics();
    EXPECT_EQ(s.played, 1);
    EXPECT_EQ(s.won, 0);
    EXPECT_EQ(s.totalSeconds, 60u);
    EXPECT_EQ(prefs.curGameNumber, number);
    EXPECT_EQ(LayoutOf(flow.GetEngine()), start);
    EXPECT_EQ(flow.GetClock().GetElapsed(), 0u);
    EXPECT_EQ(window.shownTimes.back(), 0u);
}

TEST_F(GameFlowTest, AWinInTheStepThatReachesTheLimitCountsAsAWin) {
    StartOn("Klondike (draw one)");
    prefs.timedGame = 1;
    prefs.timeLimit = 1;
    PlayFor(59);
    flow.GetEngine().finished = 1;
    PlayFor(1);
    EXPECT_EQ(Statistics().won, 1);
    EXPECT_TRUE(window.lostDialogs.empty());
}

TEST_F(GameFlowTest, NewAndRestartRecordALossAndRestartDealsTheShownGame) {
    StartOn("Klondike (draw one)");
    window.Run(flow.OnNew());
    const uint32_t number = prefs.curGameNumber;
    const Layout dealt = LayoutOf(flow.GetEngine());
    PlayFirstHint(flow.GetEngine());
    PlayFor(3);
    window.Run(flow.OnRestart());
    EXPECT_EQ(prefs.curGameNumber, number);
    EXPECT_EQ(LayoutOf(flow.GetEngine()), dealt);
    const GameStatistics s = Statistics();
    EXPECT_EQ(s.played, 2);
    EXPECT_EQ(s.totalSeconds, 3u);
    EXPECT_GE(window.panelRefreshes, 2);
}

TEST_F(GameFlowTest, RestartAfterARestoreDealsTheRestoredGame) {
    StartOn("Klondike (draw one)");
    window.Run(flow.NewGame(Deal::Number(4242), FlowMode::kPlay));
    const Layout dealt = LayoutOf(flow.GetEngine());
    ASSERT_TRUE(PlayFirstHint(flow.GetEngine()));
    const Layout played = LayoutOf(flow.GetEngine());
    flow.SaveCurrentGame();

    // The next session: the number in the preferences is another one.
    prefs.curGameNumber = 99;
    AppPreferences nextPrefs = prefs;
    CGameFlow next(nextPrefs, [this] { return now; });
    FakeWindow nextWindow(next);
    EXPECT_FALSE(Has(next.StartUp().updates, ViewUpdate::kGameStateCheck));   // restored, not dealt
    EXPECT_EQ(LayoutOf(next.GetEngine()), played);
    EXPECT_EQ(nextPrefs.curGameNumber, 4242u);
    nextWindow.Run(next.RestartGame());
    EXPECT_EQ(LayoutOf(next.GetEngine()), dealt);
}

TEST_F(GameFlowTest, RestartAfterTheSelectionPreviewedOtherDealsDealsTheShownGame) {
    StartOn("Klondike (draw one)");
    window.Run(flow.NewGame(Deal::Number(777), FlowMode::kPlay));
    const Layout dealt = LayoutOf(flow.GetEngine());
    ASSERT_TRUE(PlayFirstHint(flow.GetEngine()));
    const Layout played = LayoutOf(flow.GetEngine());
    const uint32_t klondike = prefs.curSolId;
    window.onSelect = [&] {
        // The selection previews other games in the same engine, then is
        // cancelled: the game in play stays.
        window.Run(flow.PreviewGame(PositionOf("FreeCell")));
        window.Run(flow.NewGame(Deal::Number(31337), FlowMode::kQuiet));
        prefs.curSolId = klondike;
    };
    window.Run(flow.OnSelect());
    EXPECT_TRUE(window.title.empty());   // unchanged game, unchanged title
    EXPECT_EQ(LayoutOf(flow.GetEngine()), played);
    EXPECT_EQ(prefs.curGameNumber, 777u);
    window.Run(flow.OnRestart());
    EXPECT_EQ(LayoutOf(flow.GetEngine()), dealt);
    // No loss for the game left in the selection.
    EXPECT_EQ(Statistics().played, 1);   // the restart's

    // Playing another game changes the title and the panel's contents.
    window.onSelect = [&] { prefs.curSolId = PositionOf("FreeCell"); };
    window.Run(flow.OnSelect());
    EXPECT_EQ(window.title, u"FreeCell");
    EXPECT_EQ(window.rulesUpdates, 1);
    EXPECT_EQ(std::string(flow.GetEngine().name), "FreeCell");
}

TEST_F(GameFlowTest, UndoGoesBackToTheDealAndThenSaysSo) {
    StartOn("Klondike (draw one)");
    const Layout dealt = LayoutOf(flow.GetEngine());
    int steps = 0;
    while (steps < 15 && PlayFirstHint(flow.GetEngine())) ++steps;
    ASSERT_GT(steps, 3);
    int undone = 0;
    while (Undo()) ++undone;
    EXPECT_EQ(undone, steps);
    EXPECT_EQ(LayoutOf(flow.GetEngine()), dealt);
    EXPECT_EQ(window.noUndoMessages, 1);
    EXPECT_FALSE(flow.GetClock().IsPaused());
}

TEST_F(GameFlowTest, ShowNextMoveCyclesThroughTheHints) {
    StartOn("Klondike (draw one)");
    std::vector<CGameEngine::HintMove> hints;
    flow.GetEngine().FindAllHints(hints, false);
    ASSERT_GE(hints.size(), 2u);
    for (size_t i = 0; i < 2 * hints.size() + 1; ++i) window.ShowNextMove();
    ASSERT_EQ(window.blinks.size(), 2 * hints.size() + 1);
    for (size_t i = 0; i < window.blinks.size(); ++i) {
        EXPECT_EQ(window.blinks[i].first, hints[i % hints.size()].first);
        EXPECT_EQ(window.blinks[i].second, hints[i % hints.size()].second);
    }
    // A step resets the counter.
    PlayFirstHint(flow.GetEngine());
    EXPECT_EQ(flow.GetHintIndex(), 0);
}

TEST_F(GameFlowTest, TimeInModalWindowsIsNotCounted) {
    StartOn("Klondike (draw one)");
    PlayFor(10);
    window.duringAbout = [&] { PlayFor(50); };
    window.Run(flow.OnAbout());
    PlayFor(5);
    EXPECT_EQ(flow.GetClock().GetElapsed(), 15u);
    EXPECT_FALSE(flow.GetClock().IsPaused());
}

// The process killed at any moment: the next session starts from what the
// registry holds, preferences and slots, not from this session's memory.
TEST_F(GameFlowTest, AKilledRunComesBackToTheGameInPlayAtItsLastStep) {
    const auto nextSession = [&](AppPreferences& nextPrefs) {
        PreferencesLoadOptions options;
        options.gameIds = DatabaseGameIds();
        const PreferencesLoadResult loaded = LoadPreferences(nextPrefs, options);
        EXPECT_TRUE(loaded.abnormalEnd);
    };
    StartOn("Klondike (draw one)");
    const Layout dealt = LayoutOf(flow.GetEngine());
    PlayFor(4);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(PlayFirstHint(flow.GetEngine()));
        window.SendGameStateCheck();   // the field's check after the step
        PlayFor(3);
    }
    ASSERT_TRUE(PlayFirstHint(flow.GetEngine()));
    window.SendGameStateCheck();
    const Layout played = LayoutOf(flow.GetEngine());
    const uint32_t elapsed = flow.GetClock().GetElapsed();
    EXPECT_EQ(elapsed, 16u);
    {
        AppPreferences nextPrefs;
        nextSession(nextPrefs);
        EXPECT_EQ(nextPrefs.curSolId, prefs.curSolId);
        EXPECT_EQ(nextPrefs.lastPlayed, prefs.lastPlayed);
        CGameFlow next(nextPrefs, [this] { return now; });
        EXPECT_FALSE(Has(next.StartUp().updates, ViewUpdate::kGameStateCheck));   // restored
        EXPECT_EQ(LayoutOf(next.GetEngine()), played);
        EXPECT_EQ(next.GetClock().GetElapsed(), elapsed);
        EXPECT_EQ(nextPrefs.curGameNumber, 3u);
        // Shown, then killed again before a step: the restored game stays
        // (its slot is not left marked as being restored).
        next.GameShown();
        AppPreferences thirdPrefs;
        nextSession(thirdPrefs);
        CGameFlow third(thirdPrefs, [this] { return now; });
        EXPECT_FALSE(Has(third.StartUp().updates, ViewUpdate::kGameStateCheck));
        EXPECT_EQ(LayoutOf(third.GetEngine()), played);
        while (UndoStep(next.GetEngine())) {}
        EXPECT_EQ(LayoutOf(next.GetEngine()), dealt);
    }
    // An undo is kept as well.
    ASSERT_TRUE(Undo());
    const Layout undone = LayoutOf(flow.GetEngine());
    {
        AppPreferences nextPrefs;
        nextSession(nextPrefs);
        CGameFlow next(nextPrefs, [this] { return now; });
        next.StartUp();
        EXPECT_EQ(LayoutOf(next.GetEngine()), undone);
    }

    // A new deal, and another game chosen in the selection: each is the
    // game in play from its first moment.
    window.Run(flow.OnNew());
    const uint32_t number = prefs.curGameNumber;
    window.onSelect = [&] { prefs.curSolId = PositionOf("FreeCell"); };
    window.Run(flow.OnSelect());
    const Layout freeCell = LayoutOf(flow.GetEngine());
    {
        AppPreferences nextPrefs;
        nextSession(nextPrefs);
        EXPECT_EQ(nextPrefs.curSolId, PositionOf("FreeCell"));
        CGameFlow next(nextPrefs, [this] { return now; });
        next.StartUp();
        EXPECT_EQ(std::string(next.GetEngine().name), "FreeCell");
        EXPECT_EQ(LayoutOf(next.GetEngine()), freeCell);
        EXPECT_EQ(nextPrefs.curGameNumber, prefs.curGameNumber);
    }
    window.onSelect = [&] { prefs.curSolId = PositionOf("Klondike (draw one)"); };
    window.Run(flow.OnSelect());
    EXPECT_EQ(prefs.curGameNumber, number);
    // The game that comes back from the selection is killed before a step.
    const Layout back = LayoutOf(flow.GetEngine());
    {
        AppPreferences nextPrefs;
        nextSession(nextPrefs);
        CGameFlow next(nextPrefs, [this] { return now; });
        EXPECT_FALSE(Has(next.StartUp().updates, ViewUpdate::kGameStateCheck));
        EXPECT_EQ(LayoutOf(next.GetEngine()), back);
    }

    // Killed in a win's dialog: the win is recorded once, and the next
    // session deals anew instead of showing the finished game.
    flow.GetEngine().finished = 1;
    const FlowStep win = flow.CheckGameState();
    ASSERT_NE(win.dialog, FlowDialog::kNoDialog);
    EXPECT_EQ(Statistics().won, 1);
    {
        AppPreferences nextPrefs;
        nextSession(nextPrefs);
        CGameFlow next(nextPrefs, [this] { return now; });
        FakeWindow nextWindow(next);
        nextWindow.Run(next.StartUp());
        EXPECT_TRUE(next.GetEngine().HasGameInPlay());
        EXPECT_FALSE(next.GetEngine().finished);
        EXPECT_EQ(nextWindow.winDialogs + nextWindow.simpleWinDialogs, 0);
        GameStatistics s;
        ReadGameStatistics(next.GetGameName(), s);
        EXPECT_EQ(s.won, 1);
    }
}

}  // namespace
}  // namespace corvelle
