// Times of the game field under Wine, medians of repeated runs: preparing a
// game for drawing (the draw order; the card images, made with the field's
// first game, are kept for the games that follow), a full repaint
// of a dealt Spider field (104 cards) at 1100 x 800, resampling the 890 x 700
// background picture to 1100 x 800, and one animation frame of a 13-card run
// (save what lies under it, draw it, show the field, restore).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "bench/field/bench_field_window.h"
#include "bench/win_clock.h"
#include "field/animation.h"
#include "library_games.h"
#include "bench/bench_stats.h"
#include "platform/image_gdi.h"
#include "platform/resample.h"
#include "res/art_ids.h"

using namespace corvelle;

namespace {

double Median(int runs, const std::function<void()>& step) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const double t0 = bench::NowMilliseconds();
        step();
        ms.push_back(bench::NowMilliseconds() - t0);
    }
    return bench::Median(std::move(ms));
}

void Report(const char* what, double ms, double target) {
    std::printf("%-52s median %7.2f ms (target < %.0f ms)%s\n", what, ms, target, ms < target ? "" : "  OVER");
}

}  // namespace

int main() {
    const int width = 1100, height = 800;
    bench::FieldWindow harness;
    if (!harness.Create(L"Field benchmark", width, height)) return 1;
    AppPreferences& prefs = harness.prefs;
    CSolGameField& field = harness.field;
    CGameEngine engine;
    if (!test::DealLibraryGame(engine, "Spider (two suits)", 1)) return 1;
    field.SetEngine(&engine);
    field.BuildFromEngine(false);

    Report("PrepareDrawing of a later game (draw order)", Median(30, [&] { field.PrepareDrawing(); }), 15);
    size_t cards = 0;
    for (const FieldPile& p : field.GetLayout().piles) cards += p.cards.size();
    char what[80];
    std::snprintf(what, sizeof what, "Full repaint, Spider, %zu cards, %dx%d", cards, width, height);
    Report(what, Median(50, [&] { field.Redraw(); }), 5);

    PixelImage picture;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_FIELD_PICTURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ImageFromBitmap(bitmap, &picture);
    DeleteObject(bitmap);
    Report("Background 890x700 resampled to 1100x800", Median(15, [&] { ResampleImage(picture, width, height); }), 15);
    prefs.bgPicture = 1;
    prefs.bgPicturePosition = 2;
    field.Redraw();
    Report("Full repaint on the stretched picture", Median(50, [&] { field.Redraw(); }), 5);
    prefs.bgPicture = 0;

    // The longest pile gets a 13-card run image, slid as a move slides it.
    uint16_t longest = 0;
    for (uint16_t p = 0; p < field.GetLayout().GetPileCount(); ++p)
        if (field.GetLayout().piles[p].cards.size() > field.GetLayout().piles[longest].cards.size()) longest = p;
    for (FieldCard& c : field.GetLayout().piles[longest].cards) c.faceUp = 1;
    while (field.GetLayout().piles[longest].cards.size() < 13)
        field.GetLayout().piles[longest].cards.push_back(field.GetLayout().piles[longest].cards.back());
    HDC window = GetDC(field.GetSafeHwnd());
    CMemoryBitmap run;
    field.RenderRun(longest, 0, 13, window, &run, nullptr, nullptr);
    HDC buffer = field.GetBackBufferDC();
    CMemoryBitmap under(buffer, run.GetWidth(), run.GetHeight());
    int frame = 0;
    const auto frames = AnimationFrames({100, 100}, {700, 300});
    Report("One animation frame of a 13-card run", Median(200, [&] {
               const FramePoint f = frames[static_cast<size_t>(frame++ % kAnimationFrames)];
               const POINT at{f.x, f.y};
               under.BlitFrom(buffer, &at);
               run.DrawTransparent(buffer, f.x, f.y, kRunImageKey);
               field.PresentBackBuffer(window);
               under.BlitTo(buffer, &at);
           }),
           2);
    ReleaseDC(field.GetSafeHwnd(), window);
    return 0;
}
