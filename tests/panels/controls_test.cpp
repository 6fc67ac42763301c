// The panels' controls in the test host: the rules text (what it measures
// is what it draws, in the fonts that draw it), the statistics and
// best-times controls against the registry, clearing with confirmation, and
// the advertisement banner's schedule and its fallback under this system.
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/registry.h"
#include "engine/statistics.h"
#include "panel_host.h"
#include "panels/advertisement_banner.h"
#include "panels/best_scores_table.h"
#include "panels/html_text_static.h"
#include "panels/statistics_control.h"
#include "support/registry_sandbox.h"

namespace corvelle::test {
namespace {

class ControlsTest : public RegistrySandbox {
protected:
    void SetUp() override {
        RegistrySandbox::SetUp();
        ASSERT_TRUE(host.Open(600, 500));
    }
    PanelHost host;
};

// The lowest row of `dc` (w x h) holding a pixel other than `background`; -1
// when there is none.
int LowestInkRow(HDC dc, int w, int h, COLORREF background) {
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x)
            if (::GetPixel(dc, x, y) != background) return y;
    return -1;
}

TEST_F(ControlsTest, RulesTextMeasuresWhatItDrawsInItsOwnFonts) {
    const std::wstring text = L"<b>Object of the game</b><br>Move every card to the foundations, building up by "
                              L"suit from Ace to King.<br><br><b>Play</b><br>Cards on the tableau build down.";
    CHtmlTextStatic rules;
    ASSERT_TRUE(rules.Create(text.c_str(), WS_CHILD | WS_VISIBLE, RECT{10, 10, 190, 410}, &host, 1));
    EXPECT_EQ(::GetWindowLongW(rules, GWL_STYLE) & SS_TYPEMASK, static_cast<LONG>(SS_OWNERDRAW));
    const uint32_t before = rules.MeasureHeight(180);
    rules.Invalidate(FALSE);
    rules.UpdateWindow();
    EXPECT_FALSE(rules.NeedsRedraw());
    // Measuring after a walk left the bold font selected gives the same.
    EXPECT_EQ(rules.MeasureHeight(180), before);
    const int lowest = LowestInkRow(rules.GetMemoryDC(), 180, 400, ::GetSysColor(COLOR_BTNFACE));
    ASSERT_GT(lowest, 0);
    EXPECT_GT(lowest, static_cast<int>(before) - 14);
    EXPECT_LT(lowest, static_cast<int>(before));
    // Bold text is measured in bold: a run that fits one line in the normal
    // font needs two in bold.
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, rules.GetNormalFont());
    SIZE normal{};
    ::GetTextExtentPoint32W(dc, L"MMMMMMMMMM", 10, &normal);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    rules.SetText(L"MMMMMMMMMM");
    EXPECT_EQ(rules.MeasureHeight(static_cast<uint32_t>(normal.cx)), 14u);
    rules.SetText(L"<b>MMMMMMMMMM</b>");
    EXPECT_GE(rules.MeasureHeight(static_cast<uint32_t>(normal.cx)), 28u);
    EXPECT_EQ(rules.MeasureHeight(static_cast<uint32_t>(normal.cx * 2)), 14u);
    rules.SetText(L"");
    EXPECT_EQ(rules.MeasureHeight(100), 14u);
}

TEST_F(ControlsTest, StatisticsShowWhatTheRegistryHolds) {
    AddGameStatistics(u"Golf", true, 59);
    CStatisticsControl stats(u"Golf");
    ASSERT_TRUE(stats.Create(WS_CHILD | WS_VISIBLE, RECT{10, 10, 210, 110}, &host, 1));
    EXPECT_EQ(stats.GetStatistics().played, 1);
    EXPECT_EQ(stats.GetStatistics().won, 1);
    stats.UpdateWindow();
    // Values drawn right of x = 110.
    HDC picture = stats.GetMemoryDC();
    bool ink = false;
    for (int x = 110; x < 200 && !ink; ++x)
        for (int y = 0; y < 14 && !ink; ++y) ink = ::GetPixel(picture, x, y) != ::GetSysColor(COLOR_BTNFACE);
    EXPECT_TRUE(ink);
    AddGameStatistics(u"Golf", false, 120);
    stats.Reload(nullptr);
    EXPECT_EQ(stats.GetStatistics().played, 2);
    EXPECT_EQ(stats.GetStatistics().totalSeconds, 179u);
    stats.Reload(u"Klondike");
    EXPECT_EQ(stats.GetStatistics().played, 0);
    EXPECT_EQ(stats.GetGameName(), u"Klondike");
    // A new size: a new picture on the next paint.
    stats.MoveWindow(RECT{10, 10, 260, 140});
    stats.UpdateWindow();
    BITMAP bm{};
    ::GetObjectW(::GetCurrentObject(stats.GetMemoryDC(), OBJ_BITMAP), sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 250);
    EXPECT_EQ(bm.bmHeight, 130);
}

TEST_F(ControlsTest, BestTimesListTheTableAndClearOnlyAfterYes) {
    CBestScoresTable list(u"Golf");
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED, RECT{10, 10, 188, 169}, &host, 1));
    ASSERT_EQ(list.GetItemCount(), 10);
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(list.GetCellText(row, 0), L"---");
        EXPECT_EQ(list.GetCellText(row, 1), L"---");
    }
    RECT item{LVIR_BOUNDS};
    list.SendMessage(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.bottom - item.top, 14);
    {
        CBestTimesTable table(u"Golf");
        table.Insert(u"Ann", 95);
        table.Insert(u"Bertrand", 65);
    }
    list.Reload(nullptr);
    EXPECT_EQ(list.GetCellText(0, 0), L"Bertrand");
    EXPECT_EQ(list.GetCellText(0, 1), L"1:05");
    EXPECT_EQ(list.GetCellText(1, 0), L"Ann");
    EXPECT_EQ(list.GetCellText(1, 1), L"1:35");
    EXPECT_EQ(list.GetCellText(2, 0), L"---");
    // A stored name filling its whole field without a terminator shows 15 units.
    {
        uint8_t bytes[kBestTimesDataSize] = {};
        for (int c = 0; c < 16; ++c) bytes[2 * c] = static_cast<uint8_t>('A' + c);
        bytes[32] = 30;
        CRegistryKey key;
        ASSERT_TRUE(key.Create(ProgramSubKey(u"bestScores\\Long")));
        key.WriteBinary(u"data", bytes, sizeof bytes);
    }
    list.Reload(u"Long");
    EXPECT_EQ(list.GetCellText(0, 0), L"ABCDEFGHIJKLMNO");
    EXPECT_EQ(list.GetCellText(0, 1), L"0:30");
    list.Reload(u"Golf");

    // The clear button asks first, with the clock paused meanwhile.
    CBestScoresClearButton clear(&list);
    ASSERT_TRUE(clear.Create(L"Clear", WS_CHILD | WS_VISIBLE, RECT{10, 179, 90, 199}, &host, 2));
    CGameClock clock([] { return int64_t{5000}; });
    clock.StartNewDeal();
    clear.SetClock(&clock);
    int asked = 0;
    int answer = IDNO;
    std::wstring question, caption;
    clear.SetMessageBox([&](HWND owner, const wchar_t* text, const wchar_t* title, UINT type) {
        ++asked;
        EXPECT_EQ(owner, clear.GetSafeHwnd());
        EXPECT_EQ(type, static_cast<UINT>(MB_YESNO));
        EXPECT_TRUE(clock.IsPaused());
        question = text;
        caption = title;
        return answer;
    });
    clear.SendMessage(BM_CLICK);
    Pump();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(question, L"Are you sure you want to clear best scores for the current solitaire?");
    EXPECT_EQ(caption, L"Confirmation");
    EXPECT_FALSE(clock.IsPaused());
    EXPECT_EQ(list.GetCellText(0, 0), L"Bertrand");
    EXPECT_EQ(CBestTimesTable(u"Golf").GetTime(0), 65u);
    answer = IDYES;
    clear.SendMessage(BM_CLICK);
    Pump();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(list.GetCellText(0, 0), L"---");
    EXPECT_EQ(CBestTimesTable(u"Golf").GetTime(0), 0u);
}

struct BannerWorld {
    explicit BannerWorld(PanelHost& host) : banner(L"http://ads.velmora.example/?ad_place=1", &fallback) {
        EXPECT_TRUE(fallback.Create(L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, RECT{10, 10, 170, 130}, &host, 2));
        EXPECT_TRUE(banner.Create(RECT{10, 10, 170, 130}, &host, 1));
        banner.SetClock([this] { return now; });
        banner.SetConnectionTest([this] { return online; });
    }
    uint32_t now = 50000;
    bool online = true;
    CStatic fallback;
    CAdvertisementBanner banner;
};

// Where no browser control exists (under Wine: no HTML engine) the banner
// is offline whatever the connection: the picture stays at every update,
// the page view never shows, and no load is made or counted. (When and
// what it loads where one exists is the schedule's, banner_schedule_test.)
TEST_F(ControlsTest, WithoutABrowserControlTheBannerIsOffline) {
    BannerWorld w(host);
    EXPECT_EQ(::GetWindowLongW(w.banner, GWL_STYLE) & (WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE),
              static_cast<LONG>(WS_CHILD | WS_CLIPCHILDREN));
    if (w.banner.HasBrowser()) GTEST_SKIP() << "a browser control exists here";
    w.banner.UpdateBanner(true);
    for (int i = 0; i < 10; ++i) {
        // At once, before any message runs: not even for a moment an empty
        // view instead of the picture.
        EXPECT_TRUE(w.banner.IsShowingFallback()) << i;
        w.now += 400;   // each update due
        w.banner.UpdateBanner(false);
    }
    Pump();
    EXPECT_TRUE(w.banner.IsShowingFallback());
    EXPECT_EQ(w.banner.GetLoadCount(), 0);
}

TEST_F(ControlsTest, BannerShowsItsFallbackWhereNoPageCanBeShown) {
    // The system's own clock and connection test: under Wine the connection
    // is reported and the browser control either cannot be made or cannot
    // load a page (no browser engine); the fallback picture shows either way.
    CStatic fallback;
    ASSERT_TRUE(fallback.Create(L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, RECT{10, 10, 170, 130}, &host, 2));
    CAdvertisementBanner banner(L"http://ads.velmora.example/?ad_place=1", &fallback);
    ASSERT_TRUE(banner.Create(RECT{10, 10, 170, 130}, &host, 1));
    banner.UpdateBanner(true);
    const bool atOnce = banner.IsShowingFallback();
    // The page's error arrives from the browser control a moment later.
    const bool shown = WaitFor([&] { return banner.IsShowingFallback(); }, 15000);
    std::printf("browser control: %s; online: %s; loads: %d; fallback at once: %s; fallback shown: %s\n",
                banner.HasBrowser() ? "made" : "not made",
                CAdvertisementBanner::SystemConnectionTest() ? "yes" : "no", banner.GetLoadCount(),
                atOnce ? "yes" : "no",
                banner.IsShowingFallback() ? "yes" : "no");
    EXPECT_TRUE(shown);
}

// The main panel's banner is made without its browser control and asks
// nothing of the connection until its window's paints are done: then it
// runs its first update once, and where no page can show the fallback
// picture stays without the page view coming up in between.
TEST_F(ControlsTest, ADeferredBannerStartsOnceAfterThePaintsAndKeepsItsFallback) {
    CStatic fallback;
    ASSERT_TRUE(fallback.Create(L"", WS_CHILD | WS_VISIBLE | SS_BITMAP, RECT{10, 10, 170, 130}, &host, 2));
    CAdvertisementBanner banner(L"http://ads.velmora.example/?ad_place=1", &fallback);
    ASSERT_TRUE(banner.CreateDeferred(RECT{10, 10, 170, 130}, &host, 1));
    int tests = 0;
    banner.SetClock([] { return uint32_t{50000}; });
    banner.SetConnectionTest([&] {
        ++tests;
        return true;
    });
    EXPECT_FALSE(banner.HasBrowser());
    banner.UpdateBanner(false);   // a layout of the region before the start
    EXPECT_EQ(tests, 0);
    EXPECT_EQ(banner.GetLoadCount(), 0);
    EXPECT_TRUE(banner.IsShowingFallback());

    // The start is due while a paint is pending: the paint comes first.
    banner.StartAfterPaint();
    banner.StartAfterPaint();
    host.Invalidate(FALSE);
    ::Sleep(50);
    bool paintPendingAtStart = true;
    int starts = 0;
    const DWORD until = ::GetTickCount() + 3000;
    MSG msg;
    while (starts == 0 && ::GetTickCount() < until) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::Sleep(5);
            continue;
        }
        if (msg.message == WM_TIMER && msg.hwnd == banner.GetSafeHwnd()) {
            paintPendingAtStart = ::GetUpdateRect(host, nullptr, FALSE) != FALSE;
            ++starts;
        }
        ::DispatchMessageW(&msg);
    }
    EXPECT_EQ(starts, 1);
    EXPECT_FALSE(paintPendingAtStart);
    PumpFor(100);
    // Asked twice, started once: one connection test and one load where a
    // browser control exists; without one the banner is offline (nothing
    // tested, loaded or counted) and the page view never appears.
    const int expected = banner.HasBrowser() ? 1 : 0;
    EXPECT_EQ(tests, expected);
    EXPECT_EQ(banner.GetLoadCount(), expected);
    if (!banner.HasBrowser()) {
        EXPECT_TRUE(banner.IsShowingFallback());
        EXPECT_FALSE(banner.IsWindowVisible());
    }
}

}  // namespace
}  // namespace corvelle::test
