// corvelle.exe as a player meets it, measured from another process under
// Wine beside a floor program (bench/app/floor_app: the least Win32 program
// that does the same three things), both with the same harness, alternating
// in one run, so that the difference is corvelle.exe's own work:
//  - start: from CreateProcess to the main window shown with its field
//    painted (the field's colour on the screen at its corner);
//  - new deal: from Enter on the open Game menu's first item ("New") to the
//    field repainted (the screen beside the menu changed);
//  - selection: from Ctrl+S to the dialog's list painted (a white list with
//    text in every band of rows), then Esc.
// After a round that warms up, each round starts each program once (the
// order alternating), makes kDealsPerStart deals and opens the selection
// kSelectsPerStart times.
// corvelle.exe plays Klondike (draw one); its start-up breakdown (the
// program's CORVELLE_STARTUP_TIMES lines) is printed as medians per step.
// Options: --rounds N (12), --screenshot FILE.bmp (the main window),
// --compare PROGRAM (another build of corvelle.exe, measured in the same
// rounds: before and after a change).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_stats.h"
#include "bench/win_clock.h"
#include "driver.h"
#include "engine/registry.h"
#include "library_games.h"

using namespace corvelle;
using namespace corvelle::drive;

namespace {

constexpr uint32_t kFieldColour = 0x008000;   // the default field colour, 0x00RRGGBB
constexpr int kStatusBarHeight = 20;
constexpr int kDealsPerStart = 3;
constexpr int kSelectsPerStart = 2;
constexpr DWORD kPollMs = 2;
constexpr double kTimeoutMs = 20000;

struct Subject {
    const char* name;
    std::wstring path;
    bool ours;
    std::wstring breakdownFile;
    std::vector<double> starts, deals, selects;
    // The same until nothing of the window is left unpainted.
    std::vector<double> startsWhole, selectsWhole;
    POINT lastCorner{-1, -1};
};

bool PreparePreferences() {
    const std::vector<std::string> names = test::LibraryGameNames();
    const auto it = std::find(names.begin(), names.end(), "Klondike (draw one)");
    if (it == names.end()) return false;
    DeleteRegistryTree(ProgramKeyPath());
    CRegistryKey prefs;
    if (!prefs.Create(ProgramSubKey(u"prefs"))) return false;
    const uint8_t clean = 0;
    prefs.WriteDword(u"curSolId", static_cast<uint32_t>(it - names.begin()));
    prefs.WriteBinary(u"failed", &clean, 1);
    return true;
}

uint32_t ScreenPixel(POINT p) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// The visible top-level window of the process that has a menu bar.
HWND FindMenuWindow(DWORD pid) {
    return FindVisibleWindowOf(pid, [](HWND window) { return ::GetMenu(window) != nullptr; });
}

// A visible dialog of the process other than its main window.
HWND FindDialog(DWORD pid, HWND main) {
    return FindVisibleWindowOf(pid, [main](HWND window) { return window != main && HasClass(window, L"#32770"); });
}

// The field on the screen: corvelle.exe's field window, or the floor's
// client area above its status bar.
RECT GetFieldArea(HWND main) {
    HWND field = FindField(main);
    HWND window = field ? field : main;
    RECT r;
    ::GetClientRect(window, &r);
    if (!field) r.bottom -= kStatusBarHeight;
    POINT origin{0, 0};
    ::ClientToScreen(window, &origin);
    ::OffsetRect(&r, origin.x, origin.y);
    return r;
}

// Polls `done` every kPollMs; the time it first answered true, or a
// negative value on timeout.
template <typename F>
double TimeUntil(double t0, F&& done) {
    for (;;) {
        if (done()) return bench::NowMilliseconds() - t0;
        if (bench::NowMilliseconds() - t0 > kTimeoutMs) return -1;
        ::Sleep(kPollMs);
    }
}

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> in;
    for (const auto& [vk, up] : keys) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = vk;
        i.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    }
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

Screenshot Settled(const RECT& area) {
    Screenshot last = CaptureScreen(area);
    for (int i = 0; i < 50; ++i) {
        ::Sleep(150);
        Screenshot now = CaptureScreen(area);
        if (now == last) return now;
        last = std::move(now);
    }
    return last;
}

// Whether the list view shows its rows: mostly white, and text (dark
// pixels) in every band of 20 pixels between its header and its bottom.
bool ListPainted(HWND list) {
    RECT r;
    if (!::GetClientRect(list, &r)) return false;
    POINT origin{0, 0};
    ::ClientToScreen(list, &origin);
    int top = 0;
    if (HWND header = ::FindWindowExW(list, nullptr, L"SysHeader32", nullptr)) {
        RECT h;
        ::GetWindowRect(header, &h);
        top = h.bottom - origin.y;
    }
    const Screenshot shot = CaptureScreen(RECT{origin.x, origin.y + top, origin.x + r.right, origin.y + r.bottom});
    if (shot.width < 20 || shot.height < 40) return false;
    size_t white = 0;
    for (uint32_t p : shot.pixels) white += p == 0xFFFFFF;
    if (white * 2 < shot.pixels.size()) return false;
    for (int band = 0; band + 20 <= shot.height; band += 20) {
        bool text = false;
        for (int y = band; y < band + 20 && !text; ++y)
            for (int x = 0; x < shot.width && !text; ++x) {
                const uint32_t p = shot.At(x, y);
                text = ((p >> 16) & 0xFF) < 0x60 && ((p >> 8) & 0xFF) < 0x60 && (p & 0xFF) < 0x60;
            }
        if (!text) return false;
    }
    return true;
}

// Whether every part of the window's client area has been painted: a
// window's new surface is black until its windows paint, and nothing they
// draw holds a black square of kBlock pixels (lines and text are thin).
bool FullyPainted(HWND window) {
    constexpr int kBlock = 32;
    const Screenshot shot = CaptureClient(window);
    if (shot.width == 0) return false;
    for (int by = 0; by + kBlock <= shot.height; by += kBlock)
        for (int bx = 0; bx + kBlock <= shot.width; bx += kBlock) {
            bool black = true;
            for (int y = by; y < by + kBlock && black; ++y)
                for (int x = bx; x < bx + kBlock && black; ++x) black = shot.At(x, y) == 0;
            if (black) return false;
        }
    return true;
}

bool WriteWindow(HWND main, const std::wstring& file) {
    BringToFront(main);
    ::Sleep(300);
    RECT w;
    ::GetWindowRect(main, &w);
    return WriteBmp(CaptureScreen(w), file);
}

// One start of the subject with its deals and selections; false on failure.
bool RunOnce(Subject& s, const std::vector<POINT>& corners, const std::wstring& screenshot) {
    // Where a field was shown before must show something else first.
    for (POINT c : corners)
        if (c.x >= 0) WaitFor([&] { return ScreenPixel(c) != kFieldColour; }, 5000);
    Program program;
    HWND main = nullptr;
    const double t0 = bench::NowMilliseconds();
    if (!program.Start(s.path)) return false;
    const double start = TimeUntil(t0, [&] {
        if (!main) main = FindMenuWindow(program.Pid());
        if (!main) return false;
        const RECT f = GetFieldArea(main);
        return f.right - f.left > 8 && ScreenPixel(POINT{f.left + 4, f.top + 4}) == kFieldColour;
    });
    if (start < 0) {
        std::fprintf(stderr, "bench_app: %s: the main window did not show\n", s.name);
        return false;
    }
    s.starts.push_back(start);
    const double whole = TimeUntil(t0, [&] { return FullyPainted(main); });
    if (whole >= 0) s.startsWhole.push_back(whole);
    const RECT field = GetFieldArea(main);
    s.lastCorner = POINT{field.left + 4, field.top + 4};
    WaitUntilReady(program, main);
    if (!screenshot.empty() && !WriteWindow(main, screenshot))
        std::fprintf(stderr, "bench_app: cannot write the screenshot\n");

    for (int d = 0; d < kDealsPerStart; ++d) {
        BringToFront(main);
        Settled(field);
        HWND menu = OpenMenuWith(program.Pid(), [] { PressKey('G', false, true); }, 5000);
        if (!menu) {
            std::fprintf(stderr, "bench_app: %s: the Game menu did not open\n", s.name);
            return false;
        }
        RECT m;
        ::GetWindowRect(menu, &m);
        // The part of the field beside the open menu, as it is now.
        RECT watched = field;
        watched.left = std::max(field.left, m.right + 4);
        const Screenshot before = Settled(watched);
        const double d0 = bench::NowMilliseconds();
        SendKeys({{VK_RETURN, false}, {VK_RETURN, true}});
        const double deal = TimeUntil(d0, [&] { return CaptureScreen(watched) != before; });
        if (deal < 0) {
            std::fprintf(stderr, "bench_app: %s: the field was not repainted\n", s.name);
            return false;
        }
        s.deals.push_back(deal);
        WaitForMenuClosed(program.Pid(), 5000);
    }

    for (int k = 0; k < kSelectsPerStart; ++k) {
        BringToFront(main);
        Settled(field);
        SendKeys({{VK_CONTROL, false}});
        ::Sleep(50);
        HWND dialog = nullptr, list = nullptr;
        const double s0 = bench::NowMilliseconds();
        SendKeys({{'S', false}, {'S', true}, {VK_CONTROL, true}});
        const double select = TimeUntil(s0, [&] {
            if (!dialog) dialog = FindDialog(program.Pid(), main);
            if (dialog && !list) list = ::FindWindowExW(dialog, nullptr, L"SysListView32", nullptr);
            return list && ::IsWindowVisible(list) && ListPainted(list);
        });
        if (select < 0) {
            std::fprintf(stderr, "bench_app: %s: the selection list did not show\n", s.name);
            return false;
        }
        s.selects.push_back(select);
        const double selectWhole = TimeUntil(s0, [&] { return FullyPainted(dialog); });
        if (selectWhole >= 0) s.selectsWhole.push_back(selectWhole);
        BringToFront(dialog);
        ::Sleep(200);
        SendKeys({{VK_ESCAPE, false}, {VK_ESCAPE, true}});
        if (!WaitFor([&] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 10000)) {
            std::fprintf(stderr, "bench_app: %s: the selection did not close\n", s.name);
            return false;
        }
    }
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    if (!program.WaitExit(10000)) program.Kill();
    return true;
}

void PrintRow(const char* what, const std::vector<double>& ours, const std::vector<double>& floor) {
    if (ours.empty() || floor.empty()) {
        std::printf("  %-36s (no measurement)\n", what);
        return;
    }
    const double a = bench::Median(ours), b = bench::Median(floor);
    std::printf("  %-36s %8.1f %8.1f %8.1f    %8.1f %8.1f   %zu\n", what, a, b, a - b,
                *std::max_element(ours.begin(), ours.end()), *std::max_element(floor.begin(), floor.end()),
                ours.size());
}

void PrintTable(const Subject& ours, const Subject& floor) {
    std::printf("%s, ms                            ours    floor     diff     slowest: ours   floor   runs\n",
                ours.name);
    PrintRow("start to window with field painted", ours.starts, floor.starts);
    PrintRow("menu Enter to field repainted", ours.deals, floor.deals);
    PrintRow("Ctrl+S to selection list painted", ours.selects, floor.selects);
    std::printf("  the same until the whole window is painted:\n");
    PrintRow("start to main window painted", ours.startsWhole, floor.startsWhole);
    PrintRow("Ctrl+S to selection dialog painted", ours.selectsWhole, floor.selectsWhole);
}

// The start-up steps of the lines a program appended, in their order.
struct Breakdown {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> steps;
    std::vector<double> totals;
};

Breakdown ReadBreakdown(const std::wstring& file) {
    Breakdown b;
    FILE* in = _wfopen(file.c_str(), L"r");
    if (!in) return b;
    char line[4096];
    while (std::fgets(line, sizeof line, in)) {
        std::istringstream words(line);
        std::string word;
        double total = 0;
        while (words >> word) {
            const size_t eq = word.find('=');
            if (eq == std::string::npos) continue;
            const std::string name = word.substr(0, eq);
            const double ms = std::atof(word.c_str() + eq + 1);
            if (!b.steps.count(name)) b.order.push_back(name);
            b.steps[name].push_back(ms);
            total += ms;
        }
        b.totals.push_back(total);
    }
    std::fclose(in);
    return b;
}

// The medians (and the slowest) of each step, a column pair per program.
void PrintBreakdowns(const std::vector<const Subject*>& programs) {
    std::vector<Breakdown> all;
    std::vector<std::string> order;
    for (const Subject* s : programs) {
        all.push_back(ReadBreakdown(s->breakdownFile));
        for (const std::string& name : all.back().order)
            if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
    }
    std::printf("\nstart-up by step, ms (median / slowest over the starts that took the step):\n  %-20s", "");
    for (size_t i = 0; i < programs.size(); ++i)
        std::printf(" %22s", (std::string(programs[i]->name) + " (" + std::to_string(all[i].totals.size()) + ")").c_str());
    std::printf("\n");
    auto cell = [](const std::vector<double>& v) {
        if (v.empty())
            std::printf(" %22s", "-");
        else
            std::printf(" %10.2f / %9.2f", bench::Median(v), *std::max_element(v.begin(), v.end()));
    };
    for (const std::string& name : order) {
        std::printf("  %-20s", name.c_str());
        for (const Breakdown& b : all) {
            auto it = b.steps.find(name);
            cell(it == b.steps.end() ? std::vector<double>{} : it->second);
        }
        std::printf("\n");
    }
    std::printf("  %-20s", "total");
    for (const Breakdown& b : all) cell(b.totals);
    std::printf("\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring screenshot, compare;
    int rounds = 12;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == L"--screenshot") screenshot = argv[i + 1];
        if (std::wstring(argv[i]) == L"--rounds") rounds = std::max(1, _wtoi(argv[i + 1]));
        if (std::wstring(argv[i]) == L"--compare") compare = argv[i + 1];
    }
    if (!PreparePreferences()) {
        std::fprintf(stderr, "bench_app: no Klondike in the library\n");
        return 1;
    }
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);

    std::vector<Subject> subjects;
    subjects.push_back({"corvelle.exe", ProgramPath(), true});
    subjects.push_back({"floor", HostPathToWindows(CORVELLE_FLOOR_PROGRAM), false});
    if (!compare.empty()) subjects.push_back({"compared", compare, true});
    for (size_t i = 0; i < subjects.size(); ++i) {
        subjects[i].breakdownFile = std::wstring(temp) + L"corvelle-startup-times-" + std::to_wstring(i) + L".txt";
        ::DeleteFileW(subjects[i].breakdownFile.c_str());
    }
    const size_t n = subjects.size();
    // Round 0 warms up (the first windows after the Wine server's start
    // pay for what it sets up once) and is not counted.
    for (int r = 0; r <= rounds; ++r) {
        for (size_t k = 0; k < n; ++k) {
            Subject& s = subjects[(static_cast<size_t>(r) + k) % n];
            std::vector<POINT> corners;
            for (const Subject& other : subjects) corners.push_back(other.lastCorner);
            ::SetEnvironmentVariableW(L"CORVELLE_STARTUP_TIMES", s.breakdownFile.c_str());
            if (!RunOnce(s, corners, r == 1 && k == 0 ? screenshot : std::wstring())) return 1;
        }
        if (r == 0) {
            for (Subject& s : subjects) {
                s.starts.clear();
                s.deals.clear();
                s.selects.clear();
                s.startsWhole.clear();
                s.selectsWhole.clear();
                ::DeleteFileW(s.breakdownFile.c_str());
            }
        }
    }
    PrintTable(subjects[0], subjects[1]);
    if (n > 2) {
        std::printf("\ncompared: %ls\n", compare.c_str());
        PrintTable(subjects[2], subjects[1]);
    }
    std::vector<const Subject*> programs{&subjects[0]};
    if (n > 2) programs.push_back(&subjects[2]);
    PrintBreakdowns(programs);
    DeleteRegistryTree(ProgramKeyPath());
    return 0;
}
