// The player soak: corvelle.exe driven for a given time by seeded random
// input through the system's input queue, as a long life of play would
// drive it, and checked after every step. Run by scripts/soak.sh.
//
// Every step takes its random numbers from its own generator, seeded by the
// run's seed and the step's number: a run with the same seed makes the same
// choices step by step (as far as the program answers alike), --from N
// starts at step N with the choices step N had, and --list prints the steps
// a seed makes. What each step did is logged, one line a step with the
// counts the checks read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "driver.h"
#include "field/field_model.h"
#include "process_counts.h"

namespace corvelle::drive {

// One step's random numbers.
class Dice {
public:
    Dice(uint64_t seed, uint64_t step, uint64_t stream);
    uint32_t Below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(rng() % n); }
    int Between(int low, int high) { return low + static_cast<int>(Below(static_cast<uint32_t>(high - low + 1))); }
    bool OneIn(uint32_t n) { return Below(n) == 0; }
    bool Chance(double p) { return Unit() < p; }
    double Unit() { return static_cast<double>(rng() >> 11) / 9007199254740992.0; }

private:
    std::mt19937_64 rng;
};

enum class StepKind {
    kFieldClick,
    kFieldTwoClicks,
    kFieldDoubleClick,
    kFieldDragSlow,
    kFieldDragFast,
    kFieldDragAway,
    kFieldPressHold,
    kFieldPeek,
    kFieldMixedButtons,
    kFieldHintMove,
    kFieldHintRun,
    kFieldClickPile,
    kShortcut,
    kMenuKeys,
    kMenuMouse,
    kBarButton,
    kBarMenu,
    kOpenSelect,
    kOpenOptions,
    kOpenAbout,
    kOpenCustomize,
    kPanelHeaderClick,
    kPanelHeaderDrag,
    kPanelEdgeDrag,
    kPanelControl,
    kPanelWheel,
    kWindowResize,
    kWindowMaximise,
    kWindowMinimise,
    kWindowMove,
    kSecondStart,
    kIdle,
    kChaos,
    kCleanRestart,
    kNearWin,
    kCount
};

const char* StepName(StepKind kind);
// The kind of step `step` of a run seeded `seed`.
StepKind PlanStep(uint64_t seed, uint64_t step);

struct SoakOptions {
    uint64_t seed = 1;
    double minutes = 10;
    uint64_t from = 0;                 // the first step
    uint64_t last = UINT64_MAX;        // the last step
    uint64_t list = 0;                 // print this many steps from `from` and end
    std::wstring folder = L".";        // log, screenshots
    bool keepGoing = false;            // log faults and go on
    bool keepRegistry = false;         // start from the stored state instead of a clean one
    std::wstring winSteps;             // a Klondike win's steps (near-win starts)
};

// The handle counts the checks read at a quiet moment.
struct Counts {
    int gdi = -1;
    int user = -1;
    int windows = -1;
};

// The current game's piles as the field lays them out at its deal.
struct FieldView {
    HWND field = nullptr;
    int width = 0;
    int height = 0;
    std::string game;
    FieldLayout layout;
    std::vector<uint16_t> piles;        // visible piles
    std::vector<uint16_t> clickPiles;   // piles with a click or empty-click event
};

class Soak {
public:
    explicit Soak(SoakOptions options);
    ~Soak();
    int Run();

private:
    // ---- the program
    bool StartProgram(bool afterCleanClose);
    bool CloseProgram(int how);
    bool ProgramAlive() const;
    DWORD Pid() const;
    HANDLE Process() const;
    Counts ReadCounts();

    // ---- steps
    void RunStep(uint64_t step, StepKind kind);
    void FieldStep(StepKind kind);
    bool HintMove();
    void Shortcut();
    void MenuByKeys(int menu, int item);
    void MenuByMouse(int menu, int item);
    void BarButton(int command);
    void BarMenu(int choice);
    void OpenDialog(StepKind kind);
    void PanelStep(StepKind kind);
    void WindowStep(StepKind kind);
    void SecondStart();
    void Chaos();
    void CleanRestart();
    void NearWin();

    // ---- windows of the program other than the main window
    // Handles every window the program shows beyond its main window (or
    // beyond `stack`'s dialogs): menus, dropped lists, dialogs. False when
    // one could not be closed.
    bool HandleWindows(std::vector<HWND>& stack, int depth);
    bool Settle();
    void PlayDialog(HWND dialog, std::vector<HWND>& stack, int depth);
    void DialogAction(HWND dialog);
    bool CloseDialog(HWND dialog, std::vector<HWND>& stack, int depth);
    void AnswerMenu(HWND menu);
    void AnswerDroppedList(HWND list);
    bool FrontOrFault(HWND window);
    // A dialog in front with the keyboard focus in it, as BringToFront; when
    // no control has the focus (the focused button disabled itself), Tab
    // gives it one, as a player would press it, and a dialog that keeps
    // none still counts as in front while it is the active window.
    bool DialogToFront(HWND dialog);

    // ---- geometry
    FieldView& ViewField();
    POINT CardPoint(const FieldView& view, uint16_t pile, bool topStrip);
    POINT AnyFieldPoint(const FieldView& view);
    uint16_t AnyPile(const FieldView& view);
    RECT MainRect() const;
    POINT CloseBox(HWND window) const;

    // ---- checks
    bool CheckAfterStep(uint64_t step, const Counts& before, const std::set<std::wstring>& dialogs);
    void Fault(const std::string& what);
    void Log(const char* format, ...);
    void Note(const char* format, ...);   // an indented line below the step's
    void Write(const char* line);         // to the console and the log
    std::string Elapsed() const;
    void Report();

    SoakOptions soakOptions;
    std::unique_ptr<Program> soakProgram;
    HWND mainWnd = nullptr;
    std::unique_ptr<Dice> stepDice;
    FILE* logFile = nullptr;
    DWORD startTick = 0;
    uint64_t stepIndex = 0;
    uint64_t stepsRun = 0;
    int faultCount = 0;
    bool stopping = false;
    UserHandleProbe userProbe;
    std::map<std::string, FieldView> fieldViews;
    uint32_t gameCount = 0;
    RECT workArea{};

    // The counts' levels: at the first quiet moment of each program run,
    // the highest of its first steps (the baseline) and now.
    Counts runStart, runBaseline, firstCounts, lastCounts;
    uint64_t runSteps = 0;
    // Per dialog title: how often it opened, and the sum of its steps'
    // count changes.
    std::map<std::wstring, int> openCounts;
    std::map<std::wstring, Counts> driftByDialog;
    std::map<std::wstring, int> countedOpenings;   // openings whose changes are summed
    std::map<std::wstring, std::vector<Counts>> recentChanges;   // their last changes
    std::map<std::string, int> kindCounts, eventCounts;
    std::set<std::wstring> stepDialogs;
    // The dialogs opened in this run of the program: a first opening may
    // make what the program then keeps (its caches).
    std::set<std::wstring> runDialogs;
    // Windows other than dialogs the program showed, with when first seen.
    std::map<HWND, DWORD> seenWindows;
};

}  // namespace corvelle::drive
