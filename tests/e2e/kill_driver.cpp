// Kills corvelle.exe at random moments and checks every start that follows.
// Run by hand under Wine (scripts/kill-test.sh [KILLS] [SEED]), never by the
// test command: it takes about ten seconds a kill.
//
// Each round plays a few steps with the mouse, then kills the program at
// one of these moments, chosen at random with a random delay: during a step
// (the drag or click just made), during the save that follows a step (a few
// milliseconds after it), with a dialog open (options, selection, about,
// "No Undo"), during a new deal or a restart, during an undo, during a
// start-up, and during a close (Alt+F4). Then it looks at what the registry
// holds and starts the program again, answering the abnormal end's question
// (mostly No, sometimes Yes), and checks that:
//  - the program neither crashes nor ends, and opens a usable window: the
//    main window with its field drawn, taking input, titled with the game
//    the preferences name;
//  - the game shown is either the saved one restored, or a new deal. A
//    restored slot must have been a finished save (no save's unfinished
//    mark) whose game holds the engine's invariants and whose undo runs back
//    to the deal of its deal number, step by step; a new deal must be saved
//    as a consistent game in its turn.
// Every round is logged; a failure names its round, moment and delay, so
// it can be replayed from the seed.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "driver.h"
#include "game_setup.h"
#include "engine/invariants.h"
#include "engine/player_move.h"
#include "engine/registry.h"
#include "library_games.h"
#include "mouse_play.h"
#include "res/resource.h"

using namespace corvelle;
using namespace corvelle::drive;

namespace {

FILE* logFile = stdout;

void Log(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(logFile, format, args);
    va_end(args);
    std::fflush(logFile);
}


// What a slot holds, read without touching it.
struct Slot {
    bool exists = false;
    std::vector<uint8_t> data;
    std::vector<uint8_t> check;   // "saveCheck"
    uint8_t failed = 0;
    uint32_t gameNumber = 0;
    bool hasGameNumber = false;
};

Slot ReadSlotOf(uint16_t gameId) {
    Slot s;
    for (unsigned slot = 0; slot < kSavedGameSlots; ++slot) {
        CRegistryKey key;
        uint8_t id[2];
        if (!key.Open(SavedGameSlotPath(slot)) || !key.ReadBinaryExact(u"solId", id, 2) ||
            (id[0] | id[1] << 8) != gameId)
            continue;
        s.exists = true;
        key.ReadBinary(u"data", s.data, 1u << 24);
        key.ReadBinary(u"saveCheck", s.check, 8);
        key.ReadBinaryExact(u"failed", &s.failed, 1);
        s.hasGameNumber = key.ReadDword(u"gameNumber", s.gameNumber);
        return s;
    }
    return s;
}

uint32_t PrefsDword(const char16_t* name, uint32_t fallback) {
    CRegistryKey key;
    uint32_t value = fallback;
    if (key.Open(ProgramSubKey(u"prefs")))
        key.ReadDword(name, value);
    return value;
}

// The visible top-level windows of process pid other than its main window.
std::vector<HWND> OtherWindows(DWORD pid, HWND main) {
    struct Walk {
        DWORD pid;
        HWND main;
        std::vector<HWND> found;
    } walk{pid, main, {}};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* w = reinterpret_cast<Walk*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == w->pid && window != w->main && ::IsWindowVisible(window))
                w->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

// Wine's crash dialog, whatever process shows it.
bool CrashDialogShown() { return ::FindWindowW(nullptr, L"Program Error") != nullptr; }

// A saved game checked apart from the program: it parses against the game's
// definition, holds the engine's invariants, and undo takes it back step by
// step to the deal of its deal number. The reason when it does not.
std::string CheckSavedGame(const std::string& game, const Slot& slot, bool* finished = nullptr) {
    SavingOwner owner(0);
    CGameEngine copy(&owner);
    if (!test::DealLibraryGame(copy, game, 1))
        return "the game cannot be loaded";
    SavedGameData saved;
    if (!ParseSavedGame(copy, slot.data.data(), slot.data.size(), saved))
        return "its blob does not parse";
    if (finished)
        *finished = saved.finished != 0;
    if (!slot.hasGameNumber)
        return "it has no deal number";
    TakeSavedGame(copy, std::move(saved));
    std::string reason;
    if (!CheckGameInvariants(copy, &reason))
        return "its game breaks the invariants: " + reason;
    for (int steps = 0; UndoStep(copy); ++steps) {
        if (!CheckGameInvariants(copy, &reason))
            return "undo step " + std::to_string(steps) + " breaks the invariants: " + reason;
    }
    CGameEngine fresh;
    if (!test::DealLibraryGame(fresh, game, slot.gameNumber))
        return "its deal number cannot be dealt";
    if (std::memcmp(fresh.cardStates.data(), copy.cardStates.data(), fresh.cardStates.size() * sizeof(CardState)) !=
            0 ||
        fresh.cardStates.size() != copy.cardStates.size())
        return "undo does not run back to the deal of number " + std::to_string(slot.gameNumber);
    return "";
}

class KillDriver {
public:
    explicit KillDriver(uint32_t seed) : random(seed), names(test::LibraryGameNames()) {}

    // One round: a few steps, a kill at a random moment, the next start
    // checked. False on a failure.
    bool Round(int round);

    // Ends the program, whatever state it is in; the next round starts it.
    void Reset() { KillNow(); }

    std::map<std::string, int> moments, outcomes;
    int failures = 0;

private:
    int Pick(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
    bool Fail(const std::string& what) {
        ++failures;
        Log("  FAILED: %s\n", what.c_str());
        return false;
    }
    // Starts the program until its window takes input, answering the
    // question of an abnormal end; false (with the reason) when it does not.
    bool Start(std::string& answer);
    // The game the window shows, in step with its slot; false when none.
    bool SyncCopy();
    // Closes whatever dialog is open over the main window.
    void CloseDialogs();
    // Plays a game a few rows away in the selection dialog's list.
    void SelectAnotherGame();
    void KillNow();

    std::mt19937 random;
    std::vector<std::string> names;
    std::unique_ptr<Program> program;
    HWND main = nullptr;
    HWND field = nullptr;
    SavingOwner owner{0};
    std::unique_ptr<CGameEngine> copy;
};

void KillDriver::KillNow() {
    if (program && program->Running())
        program->Kill();
    program.reset();
    main = field = nullptr;
}

bool KillDriver::Start(std::string& answer) {
    program = std::make_unique<Program>();
    if (!program->Start())
        return Fail("the program did not start");
    const DWORD started = ::GetTickCount();
    while (::GetTickCount() - started < 60000) {
        if (CrashDialogShown())
            return Fail("the program crashed at start-up");
        if (!program->Running())
            return Fail("the program ended at start-up (exit code " + std::to_string(program->ExitCode()) + "): " +
                        Narrow(WindowTitlesOf(program->Pid())));
        if (HWND question = FindWindowTitled(program->Pid(), L"Warning")) {
            // Mostly No (Enter, the default), now and then Yes.
            const bool yes = Pick(10) == 0;
            answer = yes ? "yes" : "no";
            BringToFront(question);
            PressKey(yes ? 'Y' : VK_RETURN);
            WaitFor([&] { return !::IsWindow(question) || !::IsWindowVisible(question); }, 5000);
            continue;
        }
        main = FindMainWindow(program->Pid());
        if (main)
            break;
        ::Sleep(20);
    }
    if (!main)
        return Fail("no main window within a minute: " + Narrow(WindowTitlesOf(program->Pid())));
    field = FindField(main);
    if (!field)
        return Fail("the main window has no field");
    if (!WaitUntilReady(*program, main))
        return Fail("the main window does not take the focus");
    if (CrashDialogShown() || !program->Running())
        return Fail("the program ended after its window opened");
    return true;
}

bool KillDriver::SyncCopy() {
    const uint32_t position = PrefsDword(u"curSolId", 0xFFFFFFFF);
    if (position >= names.size())
        return false;
    copy = std::make_unique<CGameEngine>(&owner);
    if (!test::DealLibraryGame(*copy, names[position], 1))
        return false;
    SavedGameData saved;
    if (!ReadSavedGame(*copy, saved))
        return false;
    TakeSavedGame(*copy, std::move(saved));
    return true;
}

void KillDriver::CloseDialogs() {
    for (int i = 0; i < 5 && program && program->Running(); ++i) {
        const std::vector<HWND> open = OtherWindows(program->Pid(), main);
        if (open.empty())
            return;
        BringToFront(open.front());
        PressKey(VK_ESCAPE);
        ::Sleep(300);
    }
}

void KillDriver::SelectAnotherGame() {
    BringToFront(main);
    PressKey('S', true);
    HWND dialog = WaitForWindowTitled(program->Pid(), L"Select Solitaire", 10000);
    HWND list = dialog ? ::GetDlgItem(dialog, IDC_SELECT_LIST) : nullptr;
    if (!list)
        return;
    WaitFor([&] { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) > 10; }, 10000);
    Click(CentreOf(list));
    for (int rows = 1 + Pick(20); rows > 0; --rows)
        PressKey(Pick(2) ? VK_DOWN : VK_UP);
    PressKey(VK_RETURN);   // Play
    WaitFor([&] { return !::IsWindow(dialog); }, 10000);
    WaitUntilReady(*program, main);
}

bool KillDriver::Round(int round) {
    std::string answer = "none";
    if (!program) {
        if (!Start(answer))
            return false;
    }
    // Now and then another game, chosen in the selection dialog; then a
    // few steps of play, so that the games carry a history.
    CloseDialogs();
    if (Pick(6) == 0)
        SelectAnotherGame();
    int played = 0;
    for (int steps = Pick(5); steps > 0; --steps) {
        if (!SyncCopy() || !PlayHint(*program, main, field, *copy, static_cast<uint16_t>(Pick(3))))
            break;
        ++played;
        CloseDialogs();
    }

    static const char* const kMoments[] = {"step", "save", "dialog", "deal", "undo", "start-up", "close"};
    const int moment = Pick(7);
    int delay = 0;
    std::string detail;
    switch (moment) {
    case 0:
    case 1: {
        uint16_t first = 0, second = 0;
        std::function<void()> gesture;
        if (SyncCopy())
            gesture = HintGesture(main, field, *copy, static_cast<uint16_t>(Pick(3)), first, second);
        if (!gesture)
            gesture = [&] { PressKey('N', true); };   // no move: a new deal instead
        delay = moment == 0 ? Pick(400) : Pick(40);
        gesture();
        ::Sleep(static_cast<DWORD>(delay));
        break;
    }
    case 2: {
        static const char* const kDialogs[] = {"options", "select", "about", "no-undo"};
        const int which = Pick(4);
        detail = kDialogs[which];
        BringToFront(main);
        if (which == 0) {
            PressKey('O', true);
        } else if (which == 1) {
            PressKey('S', true);
        } else if (which == 2) {
            PressKey('H', false, true);
            ::Sleep(200);
            PressKey(VK_RETURN);
        } else {
            for (int i = 0; i < 40; ++i)
                PressKey('Z', true);   // undone to the deal, then the message
        }
        WaitFor([&] { return !OtherWindows(program->Pid(), main).empty(); }, 5000);
        delay = Pick(500);
        ::Sleep(static_cast<DWORD>(delay));
        break;
    }
    case 3:
        BringToFront(main);
        detail = Pick(2) ? "new" : "restart";
        PressKey(detail == "new" ? 'N' : 'R', true);
        delay = Pick(300);
        ::Sleep(static_cast<DWORD>(delay));
        break;
    case 4:
        BringToFront(main);
        PressKey('Z', true);
        delay = Pick(200);
        ::Sleep(static_cast<DWORD>(delay));
        break;
    case 5:
        // Killed now (that is a kill too), then again while it starts.
        KillNow();
        program = std::make_unique<Program>();
        program->Start();
        delay = Pick(4000);
        ::Sleep(static_cast<DWORD>(delay));
        break;
    case 6:
        BringToFront(main);
        PressKey(VK_F4, false, true);
        delay = Pick(500);
        ::Sleep(static_cast<DWORD>(delay));
        break;
    }
    const bool ended = program && !program->Running();
    if (ended && moment != 6)
        return Fail(std::string("the program ended by itself during the ") + kMoments[moment]);
    if (CrashDialogShown())
        return Fail(std::string("the program crashed during the ") + kMoments[moment]);
    KillNow();
    ++moments[kMoments[moment]];

    // What the registry holds: every slot, by game id.
    std::map<uint16_t, Slot> before;
    for (const std::string& name : names) {
        CGameEngine definition;
        if (test::DealLibraryGame(definition, name, 1)) {
            Slot slot = ReadSlotOf(definition.id);
            if (slot.exists)
                before[definition.id] = std::move(slot);
        }
    }

    if (!Start(answer))
        return false;
    // The start's own check of a new deal runs once the window shows; its
    // dialog, if any, is closed.
    ::Sleep(300);
    CloseDialogs();
    if (!WaitUntilReady(*program, main))
        return Fail("the window does not take input after the start");

    const uint32_t shown = PrefsDword(u"curSolId", 0xFFFFFFFF);
    if (shown >= names.size())
        return Fail("the preferences name no game after the start");
    const std::wstring title = WindowText(main);
    if (Narrow(title) != names[shown])
        return Fail("the title \"" + Narrow(title) + "\" is not the game in play, " + names[shown]);

    std::string outcome;
    CGameEngine definition;
    test::DealLibraryGame(definition, names[shown], 1);
    const auto kept = before.find(definition.id);
    const Slot* old = kept == before.end() ? nullptr : &kept->second;
    const bool unfinished = old && old->check.size() == 8 &&
                            std::all_of(old->check.begin(), old->check.end(), [](uint8_t b) { return b == 0; });
    Slot after;
    // A new deal is saved by the start's check: give it a moment.
    WaitFor(
        [&] {
            after = ReadSlotOf(definition.id);
            return after.exists && (after.failed == 1 || after.check.size() == 8);
        },
        5000);
    // A restored game is saved again once the window shows it: the same
    // game as the slot held before the start, its clock perhaps a second on.
    const auto sameGame = [](const Slot& a, const Slot& b) {
        return a.data.size() == b.data.size() && a.data.size() >= 4 &&
               std::equal(a.data.begin() + 4, a.data.end(), b.data.begin() + 4);
    };
    if (old && after.exists && sameGame(after, *old)) {
        // Restored: the slot must have been a finished, consistent save.
        outcome = "restored";
        if (unfinished)
            return Fail("a save cut short was restored");
        const std::string wrong = CheckSavedGame(names[shown], *old);
        if (!wrong.empty())
            return Fail("a slot was restored whose " + wrong);
    } else {
        outcome = !old ? "new deal" : old->failed == 1 ? "new deal (restore guard)" : "new deal (slot refused)";
        bool won = false;
        if (old && old->failed == 0 && !unfinished && CheckSavedGame(names[shown], *old, &won).empty()) {
            if (!won)
                return Fail("a good saved game was dropped for a new deal");
            outcome = "new deal (the saved game was won)";
        }
        if (answer == "yes")
            outcome = "reset, " + outcome;
        if (!after.exists)
            return Fail("the new deal of " + names[shown] + " was not saved");
        const std::string wrong = CheckSavedGame(names[shown], after);
        if (!wrong.empty())
            return Fail("the new deal was saved with " + wrong);
    }
    if (unfinished)
        outcome += ", save cut short";
    ++outcomes[outcome];
    const uint32_t history = SyncCopy() && copy->history ? copy->history->GetCount() : 0;
    Log("round %3d: %d steps, killed during the %s%s%s after %d ms; question: %s; %s (%s, %u history records)\n",
        round, played, kMoments[moment], detail.empty() ? "" : " ", detail.c_str(), delay, answer.c_str(),
        outcome.c_str(), names[shown].c_str(), history);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int kills = argc > 1 ? std::atoi(argv[1]) : 200;
    const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;
    if (argc > 3)
        logFile = std::fopen(argv[3], "w");
    if (!logFile)
        return 2;
    // The first start plays Klondike.
    DeleteRegistryTree(ProgramKeyPath());
    {
        const std::vector<std::string> names = test::LibraryGameNames();
        CRegistryKey prefs;
        prefs.Create(ProgramSubKey(u"prefs"));
        prefs.WriteDword(u"curSolId", static_cast<uint32_t>(
                                          std::find(names.begin(), names.end(), "Klondike (draw one)") - names.begin()));
        const uint8_t clean = 0;
        prefs.WriteBinary(u"failed", &clean, 1);
    }
    Log("kill driver: %d kills, seed %u\n", kills, seed);
    KillDriver driver(seed);
    for (int round = 1; round <= kills; ++round) {
        if (!driver.Round(round)) {
            Log("round %d failed\n", round);
            driver.Reset();
        }
    }
    Log("\nkills by moment:\n");
    for (const auto& [moment, count] : driver.moments)
        Log("  %-9s %d\n", moment.c_str(), count);
    Log("starts after a kill:\n");
    for (const auto& [outcome, count] : driver.outcomes)
        Log("  %-40s %d\n", outcome.c_str(), count);
    Log("failures: %d\n", driver.failures);
    return driver.failures == 0 ? 0 : 1;
}
