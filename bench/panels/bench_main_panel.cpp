// Time to build the main side panel (CreateMainPopups with every region and
// control; the banner makes its browser control once the window has
// painted, which is timed alone), to lay it out completely with
// every region expanded (RepositionRegions rebuilding every buffer and
// redrawing every child, then RedrawNow and the paints it asked for), and
// to close and open the Rules region with a header click's animation, the
// region holding the library's longest rules text; in the panels' test host
// window.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <string>

#include "bench/bench_stats.h"
#include "bench/win_clock.h"
#include "engine/registry.h"
#include "library_games.h"
#include "panel_host.h"
#include "panels/best_scores_table.h"
#include "panels/region_body.h"
#include "platform/web_browser_host.h"

using namespace corvelle;

namespace {

void Report(const char* what, const std::vector<double>& ms) {
    std::printf("%-44s median %7.2f ms  min %7.2f  max %7.2f  (%zu runs)\n", what, bench::Median(ms),
                bench::Quantile(ms, 0), bench::Quantile(ms, 1), ms.size());
}

// The library's game with the longest rules text: its name and rules.
bool LongestRules(std::string* name, std::string* rules) {
    for (const std::string& game : test::LibraryGameNames()) {
        CGameEngine engine;
        if (!test::DealLibraryGame(engine, game, 1)) continue;
        const std::string text = engine.rulesText.data();
        if (text.size() > rules->size()) {
            *name = game;
            *rules = text;
        }
    }
    return !rules->empty();
}

}  // namespace

int main() {
    SetProgramKeyPath(u"SOFTWARE\\Velmora Software\\Corvelle Bench");
    test::PanelHost host;
    if (!host.Open(900, 620)) return 1;
    const int runs = 20;
    std::vector<double> build, destroy, relayout, browser, roundTrips;
    for (int i = 0; i < runs; ++i) {
        const double t0 = bench::NowMilliseconds();
        host.panel = CreateMainPopups(&host);
        const double t1 = bench::NowMilliseconds();
        if (!host.panel) return 1;
        build.push_back(t1 - t0);
        host.RecalcLayout();
        test::Pump();
        for (int k = 0; k < 5; ++k) {
            const double r0 = bench::NowMilliseconds();
            host.panel->RepositionRegions(RegionLayout::Full);
            host.panel->RedrawNow();
            // What the layout invalidated (the headers) is painted too, so
            // that each run counts its own paints and none of the last one's.
            ::RedrawWindow(*host.panel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            relayout.push_back(bench::NowMilliseconds() - r0);
        }
        // The machine's state at this moment: 400 calls that each make a
        // round trip to the system (under Wine, to its server process, the
        // cost that dominates creating, moving and painting windows).
        const double c0 = bench::NowMilliseconds();
        for (int k = 0; k < 200; ++k) ::CloseHandle(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        roundTrips.push_back(bench::NowMilliseconds() - c0);
        const double d0 = bench::NowMilliseconds();
        host.DestroyPanel();
        destroy.push_back(bench::NowMilliseconds() - d0);
        test::Pump();
    }
    for (int i = 0; i < runs; ++i) {
        CWebBrowserHost web;
        RECT r{0, 0, 160, 120};
        const double t0 = bench::NowMilliseconds();
        web.Create(host.GetSafeHwnd(), r);
        web.Destroy();
        browser.push_back(bench::NowMilliseconds() - t0);
    }
    // The Rules region closed and opened again by its header's toggle (what
    // a click on it runs), each timed to its end; the messages it left are
    // handled between toggles.
    std::string gameName, rules;
    if (!LongestRules(&gameName, &rules)) return 1;
    test::SetGame(host.engine, gameName.c_str(), rules.c_str());
    host.prefs.mainPopupsState = kDefaultMainPopupsState;
    host.panel = CreateMainPopups(&host);
    if (!host.panel) return 1;
    host.RecalcLayout();
    host.panel->UpdateRulesText();
    test::Pump();
    const UINT rulesAt = host.panel->RegionPosition(kRegionRules);
    const uint32_t rulesHeight = host.panel->GetRegionBody(rulesAt)->GetFullHeight();
    std::vector<double> animation;
    for (int i = 0; i < 10; ++i) {
        const double t0 = bench::NowMilliseconds();
        host.panel->GetRegion(rulesAt)->Toggle();
        animation.push_back(bench::NowMilliseconds() - t0);
        test::Pump();
    }
    host.DestroyPanel();
    test::Pump();
    std::vector<double> list, paintList;
    for (int i = 0; i < runs; ++i) {
        CBestScoresTable table(u"Golf");
        const double t0 = bench::NowMilliseconds();
        table.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, RECT{10, 10, 188, 169}, &host, 9);
        const double t1 = bench::NowMilliseconds();
        table.Invalidate(TRUE);
        table.UpdateWindow();
        paintList.push_back(bench::NowMilliseconds() - t1);
        list.push_back(t1 - t0);
    }
    Report("build the main panel", build);
    Report("best-times list alone (create and fill)", list);
    Report("best-times list alone (one full paint)", paintList);
    Report("full relayout, every region expanded", relayout);
    Report("destroy the main panel", destroy);
    Report("region animation (Rules closed and opened)", animation);
    Report("400 system round trips (for comparing runs)", roundTrips);
    Report(browser.front() > 0.5 ? "browser control alone (create and destroy)"
                                 : "browser control alone (none: no HTML engine)", browser);
    std::printf("region animation: %.0f ms (median of %zu closings and openings of the %u-px Rules region of %s)\n",
                bench::Median(animation), animation.size(), rulesHeight, gameName.c_str());
    DeleteRegistryTree(u"SOFTWARE\\Velmora Software\\Corvelle Bench");
    return 0;
}
