// The game selection under Wine, over a real main window: opening the
// dialog until its list is painted (every game of the library listed and
// the current game shown in the panel), rendering one preview, and drawing
// a cached preview. Screenshot of the open dialog: pass a .bmp path.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/corvelle_dlg.h"
#include "app/select_runner.h"
#include "bench/win_clock.h"
#include "engine/registry.h"
#include "engine/resources.h"
#include "field/game_field_preview.h"
#include "field/preview_cache.h"
#include "field/sol_game_field.h"
#include "panels/sol_select_popups.h"
#include "platform/bmp_codec.h"
#include "platform/image_gdi.h"
#include "bench/bench_stats.h"

using namespace corvelle;

namespace {

void Report(const char* what, const std::vector<double>& ms, double limit) {
    std::printf("%-48s median %7.2f ms  min %7.2f  max %7.2f  (%zu runs, target < %.0f ms)\n", what,
                bench::Median(ms), bench::Quantile(ms, 0), bench::Quantile(ms, 1), ms.size(), limit);
    std::fflush(stdout);
}

constexpr UINT kMeasure = WM_APP + 9;

// Opens, waits until the list has painted, notes the time and closes.
class TimedSelectDlg : public CSelectDlg {
public:
    TimedSelectDlg(CSelectHost* selectHost, const wchar_t* shotPath) : CSelectDlg(selectHost), shot(shotPath) {}
    double painted = 0;

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CSelectDlg::OnInitDialog();
        PostMessage(kMeasure);
        return result;
    }
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message != kMeasure) return CSelectDlg::OnWndMsg(message, wParam, lParam, result);
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        painted = bench::NowMilliseconds();
        if (shot) Screenshot();
        OnCancel();
        *result = 0;
        return TRUE;
    }

private:
    void Screenshot() {
        MSG msg;
        const double until = bench::NowMilliseconds() + 500;
        while (bench::NowMilliseconds() < until) {
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
            ::Sleep(10);
        }
        RECT r;
        GetWindowRect(&r);
        HDC screen = ::GetDC(nullptr);
        PixelImage image;
        ImageFromDc(screen, r, &image);
        ::ReleaseDC(nullptr, screen);
        // The C library opens files by names in the system's code page.
        char path[MAX_PATH] = {};
        if (::WideCharToMultiByte(CP_ACP, 0, shot, -1, path, MAX_PATH, nullptr, nullptr) == 0 ||
            !WriteBmpFile(image, path))
            std::printf("screenshot not written: %ls\n", shot);
    }
    const wchar_t* shot;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetProgramKeyPath(u"SOFTWARE\\Velmora Software\\Corvelle Bench");
    DeleteRegistryTree(ProgramKeyPath());
    // End-of-game dialogs the main window may open (a deal without a move)
    // are closed at once, so that nothing waits for a player.
    const UINT_PTR closer = ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        for (const wchar_t* title : {L"Sorry...", L"Congratulations!"})
            if (HWND w = ::FindWindowW(nullptr, title)) ::PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    });
    CCorvelleDlg main;
    if (!main.CreateModeless()) return 1;
    for (const double until = bench::NowMilliseconds() + 500; bench::NowMilliseconds() < until;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(10);
    }
    std::unique_ptr<CSelectHost> host = MakeSelectHost(main);
    std::printf("games in the library: %d\n", GetGameCount());
    std::fflush(stdout);

    std::vector<double> open;
    for (int i = 0; i < 15; ++i) {
        TimedSelectDlg dialog(host.get(), nullptr);
        const double start = bench::NowMilliseconds();
        dialog.DoModal();
        open.push_back(dialog.painted - start);
    }
    Report("opening the dialog to the painted list", open, 150);

    CSolGameField* field = main.GetGameField();
    const AppPreferences& prefs = main.GetPrefs();
    CPreviewImageCache cache;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP target = ::CreateCompatibleBitmap(screen, 172, 134);
    HGDIOBJ old = ::SelectObject(dc, target);
    const RECT inner{1, 1, 171, 133};
    std::vector<double> render;
    for (int i = 0; i < 20; ++i) {
        const double start = bench::NowMilliseconds();
        CSolGameFieldPreview::RenderPreview(*field, dc, &inner, prefs.bgColor, prefs.bgPicture,
                                            prefs.bgPicturePosition, &cache, static_cast<uint32_t>(i));
        render.push_back(bench::NowMilliseconds() - start);
    }
    Report("rendering a preview (850 x 660 to 170 x 132)", render, 30);
    std::vector<double> pictured;
    for (int i = 0; i < 10; ++i) {
        const double start = bench::NowMilliseconds();
        CSolGameFieldPreview::RenderPreview(*field, dc, &inner, prefs.bgColor, 1, 2, &cache, 100);
        pictured.push_back(bench::NowMilliseconds() - start);
    }
    Report("rendering a preview on the stretched picture", pictured, 30);
    ::SelectObject(dc, old);
    ::DeleteObject(target);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);

    PreviewSource source;
    source.field = [&] { return field; };
    source.currentGame = [] { return 3u; };
    source.cache = &cache;
    CSolGameFieldPreview preview(source);
    preview.Create(L"", WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, RECT{0, 0, 172, 134}, &main, 999);
    ::RedrawWindow(preview, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);   // renders and stores
    std::vector<double> cached;
    for (int i = 0; i < 50; ++i) {
        const double start = bench::NowMilliseconds();
        ::RedrawWindow(preview, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        cached.push_back(bench::NowMilliseconds() - start);
    }
    Report("drawing a cached preview", cached, 2);

    if (argc > 1) {
        TimedSelectDlg dialog(host.get(), argv[1]);
        dialog.DoModal();
        std::printf("screenshot: %ls\n", argv[1]);
    }
    ::KillTimer(nullptr, closer);
    DeleteRegistryTree(ProgramKeyPath());
    return 0;
}
