// The soak's run: options, the loop of steps, the program's starts and
// closes, the checks after every step, the log and the closing report.
#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cwchar>

#include "engine/registry.h"
#include "library_games.h"
#include "soak.h"
#include "stored_prefs.h"

namespace corvelle::drive {

namespace {

uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

struct KindInfo {
    StepKind kind;
    const char* name;
    int weight;   // in thousandths
};

// How often each kind of step comes: play on the field first, then the
// commands and dialogs, the panel and the window, now and then a restart.
constexpr KindInfo kKinds[] = {
    {StepKind::kFieldClick, "field-click", 70},
    {StepKind::kFieldTwoClicks, "field-two-clicks", 70},
    {StepKind::kFieldDoubleClick, "field-double-click", 25},
    {StepKind::kFieldDragSlow, "field-drag-slow", 60},
    {StepKind::kFieldDragFast, "field-drag-fast", 80},
    {StepKind::kFieldDragAway, "field-drag-away", 20},
    {StepKind::kFieldPressHold, "field-press-hold", 15},
    {StepKind::kFieldPeek, "field-peek", 35},
    {StepKind::kFieldMixedButtons, "field-mixed-buttons", 10},
    {StepKind::kFieldHintMove, "field-hint-move", 90},
    {StepKind::kFieldHintRun, "field-hint-run", 25},
    {StepKind::kFieldClickPile, "field-click-pile", 45},
    {StepKind::kShortcut, "shortcut", 55},
    {StepKind::kMenuKeys, "menu-keys", 35},
    {StepKind::kMenuMouse, "menu-mouse", 30},
    {StepKind::kBarButton, "bar-button", 30},
    {StepKind::kBarMenu, "bar-menu", 15},
    {StepKind::kOpenSelect, "open-select", 45},
    {StepKind::kOpenOptions, "open-options", 40},
    {StepKind::kOpenAbout, "open-about", 15},
    {StepKind::kOpenCustomize, "open-customize", 15},
    {StepKind::kPanelHeaderClick, "panel-header-click", 25},
    {StepKind::kPanelHeaderDrag, "panel-header-drag", 15},
    {StepKind::kPanelEdgeDrag, "panel-edge-drag", 15},
    {StepKind::kPanelControl, "panel-control", 20},
    {StepKind::kPanelWheel, "panel-wheel", 10},
    {StepKind::kWindowResize, "window-resize", 20},
    {StepKind::kWindowMaximise, "window-maximise", 10},
    {StepKind::kWindowMinimise, "window-minimise", 8},
    {StepKind::kWindowMove, "window-move", 8},
    {StepKind::kSecondStart, "second-start", 5},
    {StepKind::kIdle, "idle", 10},
    {StepKind::kChaos, "chaos", 25},
    {StepKind::kCleanRestart, "clean-restart", 8},
    {StepKind::kNearWin, "near-win", 6},
};
static_assert(sizeof kKinds / sizeof kKinds[0] == static_cast<size_t>(StepKind::kCount), "every kind has a weight");

bool IsTip(HWND window) { return _wcsicmp(ClassOf(window).c_str(), L"tooltips_class32") == 0; }

constexpr DWORD kStartMs = 60000;
constexpr DWORD kHangMs = 30000;
// The handle counts may stand this far above a run's baseline (a different
// game, a picture, another size of the window) before the growth is a fault.
constexpr int kGdiSlack = 150;
constexpr int kUserSlack = 40;
constexpr int kWindowSlack = 6;
// Steps of a run whose highest counts make its baseline.
constexpr uint64_t kBaselineSteps = 40;
// A dialog leaks when most of its last openings in one run of the program
// end above their start.
constexpr size_t kLeakWindow = 10;

}  // namespace

Dice::Dice(uint64_t seed, uint64_t step, uint64_t stream) : rng(Mix(Mix(seed) ^ Mix(step * 4 + stream))) {}

const char* StepName(StepKind kind) {
    for (const KindInfo& k : kKinds)
        if (k.kind == kind) return k.name;
    return "?";
}

StepKind PlanStep(uint64_t seed, uint64_t step) {
    Dice dice(seed, step, 0);
    int total = 0;
    for (const KindInfo& k : kKinds) total += k.weight;
    int pick = static_cast<int>(dice.Below(static_cast<uint32_t>(total)));
    for (const KindInfo& k : kKinds) {
        if (pick < k.weight) return k.kind;
        pick -= k.weight;
    }
    return StepKind::kIdle;
}

Soak::Soak(SoakOptions options) : soakOptions(std::move(options)) {
    const std::wstring path = soakOptions.folder + L"\\soak-" + std::to_wstring(soakOptions.seed) + L".log";
    logFile = _wfopen(path.c_str(), soakOptions.from == 0 ? L"w" : L"a");
    gameCount = static_cast<uint32_t>(test::LibraryGameNames().size());
}

Soak::~Soak() {
    if (logFile) std::fclose(logFile);
}

std::string Soak::Elapsed() const {
    const DWORD ms = ::GetTickCount() - startTick;
    char text[32];
    std::snprintf(text, sizeof text, "%02lu:%02lu.%lu", ms / 60000, ms / 1000 % 60, ms / 100 % 10);
    return text;
}

void Soak::Log(const char* format, ...) {
    char text[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Write(text);
}

void Soak::Note(const char* format, ...) {
    char text[2048] = "      ";
    char* rest = text + 6;
    va_list args;
    va_start(args, format);
    std::vsnprintf(rest, sizeof text - 6, format, args);
    va_end(args);
    Write(text);
}

void Soak::Write(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
    if (logFile) {
        std::fprintf(logFile, "%s\n", line);
        std::fflush(logFile);
    }
}

void Soak::Fault(const std::string& what) {
    ++faultCount;
    Log("FAULT at step %llu (%s): %s", static_cast<unsigned long long>(stepIndex), Elapsed().c_str(), what.c_str());
    const std::wstring shot = soakOptions.folder + L"\\fault-" + std::to_wstring(soakOptions.seed) + L"-" +
                              std::to_wstring(stepIndex) + L".bmp";
    if (WriteBmp(CaptureScreen(RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}), shot))
        Log("      screen: %s", Narrow(shot).c_str());
    if (!soakOptions.keepGoing) stopping = true;
}

DWORD Soak::Pid() const { return soakProgram ? soakProgram->Pid() : 0; }
HANDLE Soak::Process() const { return soakProgram ? soakProgram->Handle() : nullptr; }
bool Soak::ProgramAlive() const { return soakProgram && soakProgram->Running(); }

RECT Soak::MainRect() const {
    RECT r{};
    ::GetWindowRect(mainWnd, &r);
    return r;
}

Counts Soak::ReadCounts() {
    Counts c;
    if (!ProgramAlive()) return c;
    // Read until two readings agree: a window may be on its way out.
    for (int i = 0; i < 10; ++i) {
        Counts now;
        now.gdi = GdiObjectsOf(Process());
        now.user = userProbe.Count(Process());
        now.windows = WindowsOf(Pid());
        if (now.gdi == c.gdi && now.user == c.user && now.windows == c.windows) break;
        c = now;
        ::Sleep(150);
    }
    return c;
}

bool Soak::StartProgram(bool afterCleanClose) {
    soakProgram = std::make_unique<Program>();
    if (!soakProgram->Start()) {
        Fault("corvelle.exe did not start");
        return false;
    }
    const DWORD start = ::GetTickCount();
    mainWnd = nullptr;
    // A question about an abnormal end comes only after a run that did not
    // end cleanly; the soak ends every run cleanly.
    while (::GetTickCount() - start < kStartMs && !mainWnd) {
        if (HWND warning = FindWindowTitled(Pid(), L"Warning")) {
            if (afterCleanClose) Fault("the start after a clean close asks about an abnormal end");
            BringToFront(warning);
            PressKey('N');
            ::Sleep(300);
        }
        mainWnd = FindMainWindow(Pid());
        if (!mainWnd) {
            if (!soakProgram->Running()) {
                Fault("corvelle.exe ended during its start (exit code " + std::to_string(soakProgram->ExitCode()) + ")");
                return false;
            }
            ::Sleep(50);
        }
    }
    if (!mainWnd) {
        Fault("no main window " + std::to_string(kStartMs / 1000) + " s after the start");
        return false;
    }
    WaitUntilReady(*soakProgram, mainWnd);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(::MonitorFromWindow(mainWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    workArea = monitor.rcWork;
    seenWindows.clear();
    runSteps = 0;
    runDialogs.clear();
    // A new process starts with empty caches (the selection's previews, the
    // pictures a dialog first draws), which fill over its first openings of
    // each dialog: a leak is judged on the openings of one run only.
    recentChanges.clear();
    // A deal without a move shows the lost dialog at once.
    Settle();
    runStart = runBaseline = ReadCounts();
    if (firstCounts.gdi < 0) firstCounts = runStart;
    Note("started: pid %lu, \"%s\", gdi %d user %d windows %d", Pid(), Narrow(WindowText(mainWnd)).c_str(),
         runStart.gdi, runStart.user, runStart.windows);
    return true;
}

// how: 0 Alt+F4, 1 the close box, 2 the system menu's Close.
bool Soak::CloseProgram(int how) {
    lastCounts = ReadCounts();
    FrontOrFault(mainWnd);
    const char* way[] = {"Alt+F4", "the close box", "the system menu"};
    Note("closing with %s: gdi %d user %d windows %d", way[how % 3], lastCounts.gdi, lastCounts.user,
         lastCounts.windows);
    if (how % 3 == 0) {
        PressKey(VK_F4, false, true);
    } else if (how % 3 == 1) {
        Click(CloseBox(mainWnd));
    } else {
        PressKey(VK_SPACE, false, true);
        if (WaitForPopupMenu(Pid(), 5000)) PressKey('C');
    }
    if (!soakProgram->WaitExit(30000)) {
        // A press lost on a busy machine: once more with Alt+F4.
        FrontOrFault(mainWnd);
        PressKey(VK_F4, false, true);
        if (!soakProgram->WaitExit(30000)) {
            Fault("the program did not end after a close");
            return false;
        }
    }
    if (soakProgram->ExitCode() != 0) {
        Fault("the program ended with exit code " + std::to_string(soakProgram->ExitCode()) + " after a clean close");
        return false;
    }
    const std::string wrong = StoredPreferencesOutOfRange(workArea, gameCount, true) + StoredCommandBarLayoutWrong();
    if (!wrong.empty()) Fault("stored preferences after a clean close: " + wrong);
    mainWnd = nullptr;
    return true;
}

bool Soak::CheckAfterStep(uint64_t, const Counts& before, const std::set<std::wstring>& dialogs) {
    if (!ProgramAlive()) {
        Fault("the program is gone (exit code " + std::to_string(soakProgram ? soakProgram->ExitCode() : 0) + ")");
        return false;
    }
    mainWnd = FindMainWindow(Pid());
    if (!mainWnd) {
        Fault("the program runs without its main window: " + Narrow(WindowTitlesOf(Pid())));
        return false;
    }
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutW(mainWnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kHangMs, &answer)) {
        Fault("the main window does not answer within " + std::to_string(kHangMs / 1000) + " s");
        return false;
    }
    // No window beyond its time: dialogs and menus were closed by their step.
    std::vector<HWND> others;
    const auto lookAround = [&] {
        others = OtherWindowsOf(Pid(), mainWnd);
        return std::any_of(others.begin(), others.end(), [](HWND w) { return !IsTip(w); });
    };
    // A dialog may come seconds after the input that opens it on a busy
    // machine: it is played and closed as it would have been in its step,
    // and the counts are read again without it.
    Counts after;
    for (int round = 0; round < 3; ++round) {
        if (lookAround()) {
            Note("a window came late: %s", Narrow(WindowTitlesOf(Pid())).c_str());
            Settle();
        }
        after = ReadCounts();
        if (!lookAround()) break;
    }
    const DWORD now = ::GetTickCount();
    std::map<HWND, DWORD> stillSeen;
    for (HWND window : others) {
        const DWORD since = seenWindows.count(window) ? seenWindows[window] : now;
        stillSeen[window] = since;
        // Tooltips go by themselves.
        if (!IsTip(window) || now - since > 30000)
            Fault("a window stays open: \"" + Narrow(WindowText(window)) + "\" of class " + Narrow(ClassOf(window)) + ", " +
                  std::to_string((now - since) / 1000) + " s");
    }
    seenWindows = stillSeen;

    // Counts above the level with no window in sight: a dialog the step's
    // last input opens may be on its way (its windows made, not yet shown).
    // It is given time to show, played and closed as in its step, and the
    // counts are read again.
    if (after.gdi > runBaseline.gdi + kGdiSlack || after.user > runBaseline.user + kUserSlack ||
        after.windows > runBaseline.windows + kWindowSlack) {
        ::WaitForInputIdle(Process(), 5000);
        ::Sleep(1000);
        if (lookAround()) {
            Note("a window came late: %s", Narrow(WindowTitlesOf(Pid())).c_str());
            Settle();
        }
        after = ReadCounts();
    }
    lastCounts = after;
    ++runSteps;
    bool firstOpening = false;
    for (const std::wstring& title : dialogs) firstOpening |= runDialogs.insert(title).second;
    if (runSteps <= kBaselineSteps || firstOpening) {
        runBaseline.gdi = std::max(runBaseline.gdi, after.gdi);
        runBaseline.user = std::max(runBaseline.user, after.user);
        runBaseline.windows = std::max(runBaseline.windows, after.windows);
    } else {
        if (after.gdi > runBaseline.gdi + kGdiSlack) {
            std::map<int, int> types;
            GdiObjectsOf(Process(), &types);
            std::string line;
            for (const auto& [type, count] : types) line += " " + std::to_string(type) + ":" + std::to_string(count);
            Note("GDI objects by type:%s", line.c_str());
        }
        if (after.gdi > runBaseline.gdi + kGdiSlack)
            Fault("GDI objects grew to " + std::to_string(after.gdi) + " from a level of " +
                  std::to_string(runBaseline.gdi));
        if (after.user > runBaseline.user + kUserSlack)
            Fault("USER handles grew to " + std::to_string(after.user) + " from a level of " +
                  std::to_string(runBaseline.user));
        if (after.windows > runBaseline.windows + kWindowSlack)
            Fault("windows grew to " + std::to_string(after.windows) + " from " + std::to_string(runBaseline.windows));
    }
    // Each dialog's steps come back to the level they started from. The
    // system keeps some of what a window first drew (a dialog's first
    // opening, a page first shown) and a step may change more than its
    // dialog (a game played from the selection), so one step may end above
    // its start; a leak ends above it step after step.
    for (const std::wstring& title : dialogs) {
        if (firstOpening) break;
        Counts& d = driftByDialog[title];
        std::vector<Counts>& recent = recentChanges[title];
        if (countedOpenings[title]++ == 0) d = Counts{0, 0, 0};
        const Counts change{before.gdi >= 0 && after.gdi >= 0 ? after.gdi - before.gdi : 0,
                            before.user >= 0 && after.user >= 0 ? after.user - before.user : 0,
                            after.windows - before.windows};
        d.gdi += change.gdi;
        d.user += change.user;
        d.windows += change.windows;
        recent.push_back(change);
        if (recent.size() > kLeakWindow) recent.erase(recent.begin());
        int gdiUp = 0, userUp = 0, windowsUp = 0, gdiSum = 0, userSum = 0, windowsSum = 0;
        for (const Counts& c : recent) {
            gdiUp += c.gdi > 0;
            userUp += c.user > 0;
            windowsUp += c.windows > 0;
            gdiSum += c.gdi;
            userSum += c.user;
            windowsSum += c.windows;
        }
        const int most = static_cast<int>(kLeakWindow) * 8 / 10;
        if (recent.size() == kLeakWindow && ((gdiUp >= most && gdiSum >= most) || (userUp >= most && userSum >= most) ||
                                             (windowsUp >= most && windowsSum >= most)))
            Fault("the steps with \"" + Narrow(title) + "\" leave handles behind: over its last " +
                  std::to_string(kLeakWindow) + " openings gdi " + std::to_string(gdiSum) + ", user " +
                  std::to_string(userSum) + ", windows " + std::to_string(windowsSum));
    }
    const std::string wrong = StoredPreferencesOutOfRange(workArea, gameCount, false) + StoredCommandBarLayoutWrong();
    if (!wrong.empty()) Fault("stored preferences: " + wrong);
    Note("= gdi %d user %d windows %d%s", after.gdi, after.user, after.windows,
         after.gdi != before.gdi || after.user != before.user || after.windows != before.windows ? " (changed)" : "");
    return true;
}

int Soak::Run() {
    if (soakOptions.list) {
        for (uint64_t s = soakOptions.from; s < soakOptions.from + soakOptions.list; ++s)
            std::printf("#%llu %s\n", static_cast<unsigned long long>(s), StepName(PlanStep(soakOptions.seed, s)));
        return 0;
    }
    startTick = ::GetTickCount();
    Log("soak: seed %llu, %.1f minutes, from step %llu, %u games", static_cast<unsigned long long>(soakOptions.seed),
        soakOptions.minutes, static_cast<unsigned long long>(soakOptions.from), gameCount);
    if (!soakOptions.keepRegistry) DeleteRegistryTree(ProgramKeyPath());
    if (!StartProgram(false)) return 2;
    const DWORD budget = static_cast<DWORD>(soakOptions.minutes * 60000);
    for (stepIndex = soakOptions.from; stepIndex <= soakOptions.last && !stopping && ::GetTickCount() - startTick < budget; ++stepIndex) {
        const StepKind kind = PlanStep(soakOptions.seed, stepIndex);
        stepDice = std::make_unique<Dice>(soakOptions.seed, stepIndex, 1);
        ++kindCounts[StepName(kind)];
        const Counts before = lastCounts.gdi >= 0 ? lastCounts : ReadCounts();
        stepDialogs.clear();
        RunStep(stepIndex, kind);
        ++stepsRun;
        if (stopping) break;
        if (!soakProgram || !mainWnd) {
            if (!StartProgram(true)) break;
            continue;
        }
        Settle();
        if (!CheckAfterStep(stepIndex, before, stepDialogs)) {
            if (stopping) break;
            // Going on: a new run of the program.
            if (soakProgram) soakProgram->Kill();
            if (!StartProgram(false)) break;
        }
    }
    if (soakProgram && ProgramAlive() && mainWnd) {
        if (!stopping || faultCount == 0) CloseProgram(0);
    }
    Report();
    return faultCount == 0 ? 0 : 1;
}

void Soak::Report() {
    Log("---- soak report: seed %llu", static_cast<unsigned long long>(soakOptions.seed));
    Log("steps run %llu (steps %llu..%llu) in %s, faults %d", static_cast<unsigned long long>(stepsRun),
        static_cast<unsigned long long>(soakOptions.from), static_cast<unsigned long long>(stepIndex ? stepIndex - 1 : 0),
        Elapsed().c_str(), faultCount);
    Log("counts at the first start: gdi %d user %d windows %d; at the end: gdi %d user %d windows %d", firstCounts.gdi,
        firstCounts.user, firstCounts.windows, lastCounts.gdi, lastCounts.user, lastCounts.windows);
    std::string line;
    for (const auto& [name, count] : kindCounts) line += name + " " + std::to_string(count) + ", ";
    Log("steps by kind: %s", line.c_str());
    line.clear();
    for (const auto& [title, count] : openCounts) {
        const Counts& d = driftByDialog[title];
        line += "\"" + Narrow(title) + "\" " + std::to_string(count) +
                (countedOpenings[title] == 0 ? " (first openings only), "
                           : " (drift gdi " + std::to_string(d.gdi) + " user " + std::to_string(d.user) + "), ");
    }
    Log("windows opened: %s", line.c_str());
    line.clear();
    for (const auto& [name, count] : eventCounts) line += name + " " + std::to_string(count) + ", ";
    Log("events: %s", line.c_str());
}

}  // namespace corvelle::drive

namespace {

void Usage() {
    std::printf(
        "soak_driver [--minutes M] [--seed S] [--from STEP] [--last STEP] [--list N] [--folder DIR]\n"
        "            [--keep-going] [--keep-registry]\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    corvelle::drive::SoakOptions options;
#ifdef CORVELLE_WIN_STEPS
    options.winSteps = L"" CORVELLE_WIN_STEPS;
#endif
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool more = i + 1 < argc;
        if (arg == L"--minutes" && more) options.minutes = _wtof(argv[++i]);
        else if (arg == L"--seed" && more) options.seed = _wcstoui64(argv[++i], nullptr, 10);
        else if (arg == L"--from" && more) options.from = _wcstoui64(argv[++i], nullptr, 10);
        else if (arg == L"--last" && more) options.last = _wcstoui64(argv[++i], nullptr, 10);
        else if (arg == L"--list" && more) options.list = _wcstoui64(argv[++i], nullptr, 10);
        else if (arg == L"--folder" && more) options.folder = argv[++i];
        else if (arg == L"--keep-going") options.keepGoing = true;
        else if (arg == L"--keep-registry") options.keepRegistry = true;
        else {
            Usage();
            return 2;
        }
    }
    corvelle::drive::Soak soak(options);
    return soak.Run();
}
