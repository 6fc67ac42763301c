// corvelle.exe as a player meets it, measured from another process under
// Wine (the prefix prepared and its wineserver running):
//  - start: from CreateProcess to the main window shown with its field
//    painted (the background colour on the screen), median of 10 starts;
//  - new deal: from Enter on the open Game menu's "New" to the field
//    repainted with the new cards, median of 10 deals.
// Both run on Klondike (draw one). With --screenshot FILE it also writes
// the main window as the screen shows it (a BMP).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/win_clock.h"
#include "driver.h"
#include "engine/registry.h"
#include "library_games.h"
#include "bench/bench_stats.h"

using namespace corvelle;
using namespace corvelle::drive;

namespace {

constexpr uint32_t kBackground = 0x008000;   // the default field colour, 0x00RRGGBB

// Starts every run on the same game with a clean run marker.
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

// The screen colour at a screen point.
uint32_t ScreenPixel(POINT p) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

POINT FieldCorner(HWND field) {
    POINT p{4, 4};
    ::ClientToScreen(field, &p);
    return p;
}

bool WriteWindow(HWND main, const std::wstring& file) {
    BringToFront(main);
    ::Sleep(300);
    RECT w;
    ::GetWindowRect(main, &w);
    return WriteBmp(CaptureScreen(w), file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring screenshot;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::wstring(argv[i]) == L"--screenshot") screenshot = argv[i + 1];
    if (!PreparePreferences()) {
        std::fprintf(stderr, "bench_app: no Klondike in the library\n");
        return 1;
    }
    std::vector<double> starts, deals;
    POINT corner{-1, -1};
    for (int run = 0; run < 10; ++run) {
        // The place of the last run's field must show something else first.
        if (corner.x >= 0) WaitFor([&] { return ScreenPixel(corner) != kBackground; }, 3000);
        Program program;
        const double t0 = bench::NowMilliseconds();
        if (!program.Start()) return 1;
        HWND main = nullptr, field = nullptr;
        const bool shown = WaitFor(
            [&] {
                if (!main) main = FindMainWindow(program.Pid());
                if (main && !field) field = FindField(main);
                return field && ScreenPixel(FieldCorner(field)) == kBackground;
            },
            30000);
        const double t1 = bench::NowMilliseconds();
        if (!shown) {
            std::fprintf(stderr, "bench_app: the main window did not show\n");
            return 1;
        }
        starts.push_back(t1 - t0);
        corner = FieldCorner(field);
        if (run == 0) {
            ::Sleep(500);
            if (!screenshot.empty() && !WriteWindow(main, screenshot))
                std::fprintf(stderr, "bench_app: cannot write the screenshot\n");
            for (int deal = 0; deal < 10; ++deal) {
                BringToFront(main);
                const Screenshot before = CaptureSettled(field, 5000);
                PressKey('G', false, true);
                ::Sleep(400);   // the menu is open
                const double d0 = bench::NowMilliseconds();
                PressKey(VK_RETURN);
                WaitFor([&] { return CaptureClient(field) != before; }, 10000);
                deals.push_back(bench::NowMilliseconds() - d0);
            }
        }
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        if (!program.WaitExit(10000)) program.Kill();
    }
    std::printf("start to main window shown and painted: median %.0f ms (min %.0f, max %.0f, 10 runs)\n",
                bench::Median(starts), *std::min_element(starts.begin(), starts.end()),
                *std::max_element(starts.begin(), starts.end()));
    std::printf("new deal from the menu to the repainted field: median %.0f ms (min %.0f, max %.0f, 10 deals)\n",
                bench::Median(deals), *std::min_element(deals.begin(), deals.end()),
                *std::max_element(deals.begin(), deals.end()));
    DeleteRegistryTree(ProgramKeyPath());
    return 0;
}
