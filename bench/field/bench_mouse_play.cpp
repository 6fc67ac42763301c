// Times of play with the mouse under Wine: from the button release of a
// legal drop to the end of the field's repaint, without animation (medians
// over drops in three games), and with animation the frame rate that the
// slide of a clicking-mode move reaches (its four frames over the time the
// animated move takes, from the press on the target to the end of its
// repaint).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/field/bench_field_window.h"
#include "bench/win_clock.h"
#include "engine/player_move.h"
#include "field_mouse.h"
#include "library_games.h"
#include "bench/bench_stats.h"

using namespace corvelle;

namespace {

}  // namespace

int main() {
    const int width = 1100, height = 800;
    bench::FieldWindow harness;
    if (!harness.Create(L"Mouse benchmark", width, height)) return 1;
    AppPreferences& prefs = harness.prefs;
    CSolGameField& field = harness.field;
    const test::FieldMouse mouse(&field);
    for (const char* name : {"Klondike (draw one)", "Spider (two suits)", "FreeCell"}) {
        std::vector<double> drops, fps;
        for (uint32_t number = 1; number <= 60; ++number) {
            CGameEngine engine;
            if (!test::DealLibraryGame(engine, name, number)) return 1;
            field.SetEngine(&engine);
            for (uint8_t animation : {0, 1}) {
                prefs.animation = animation;
                prefs.playMode = animation ? PlayMode::kClick : PlayMode::kDrag;
                field.ApplyOptions();
                field.BuildFromEngine(false);
                field.PrepareDrawing();
                field.Redraw();
                uint16_t pile = 0, index = 0, target = 0;
                POINT to{}, end{}, at{};
                if (!mouse.FindVisibleHint(engine, &pile, &index, &target) || !mouse.TargetPoint(target, &to)) continue;
                if (!animation) {
                    if (!mouse.DragTo(pile, index, to, false, &end)) continue;
                    const double t0 = bench::NowMilliseconds();
                    field.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(end.x, end.y));
                    drops.push_back(bench::NowMilliseconds() - t0);
                } else {
                    if (!mouse.PointOf(pile, index, &at)) continue;
                    mouse.Click(at);
                    const uint32_t frames = field.GetAnimationFramesShown();
                    const double t0 = bench::NowMilliseconds();
                    field.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(to.x, to.y));
                    const double ms = bench::NowMilliseconds() - t0;
                    field.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
                    const uint32_t shown = field.GetAnimationFramesShown() - frames;
                    if (shown) fps.push_back(shown * 1000.0 / ms);
                }
                UndoStep(engine);
            }
            field.SetEngine(nullptr);
        }
        const double median = bench::Quantile(drops, 0.5);
        std::printf("%-22s release of a legal drop to end of repaint: median %5.2f ms, 95%% %5.2f ms over %zu drops "
                    "(target < 10 ms)%s\n",
                    name, median, bench::Quantile(drops, 0.95), drops.size(), median < 10 ? "" : "  OVER");
        std::printf("%-22s animated move: median %4.0f frames/s over %zu moves\n", name, bench::Quantile(fps, 0.5),
                    fps.size());
    }
    return 0;
}
