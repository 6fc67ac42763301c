// The main side panel in its test host: building it from the stored order,
// mirroring order, state and width into the preferences, its updates, the
// round trip through the registry, and GDI objects over many builds.
#include <gtest/gtest.h>

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

class MainPopupsTest : public RegistrySandbox {
protected:
    void SetUp() override {
        RegistrySandbox::SetUp();
        ASSERT_TRUE(host.Open());
    }
    std::wstring Caption(UINT i) {
        wchar_t text[64] = {};
        host.panel->GetRegion(i)->GetHeader()->GetWindowText(text, 64);
        return text;
    }
    PanelHost host;
};

TEST_F(MainPopupsTest, DefaultOrderAllOpenWithTheAdvertisementLocked) {
    ASSERT_TRUE(host.BuildPanel());
    CSolMainPopups& p = *host.panel;
    ASSERT_EQ(p.GetRegionCount(), 4u);
    EXPECT_EQ(Caption(0), L"Advertisement");
    EXPECT_EQ(Caption(1), L"Rules");
    EXPECT_EQ(Caption(2), L"Best Times");
    EXPECT_EQ(Caption(3), L"Statistics");
    for (UINT i = 0; i < 4; ++i) EXPECT_TRUE(p.GetRegion(i)->IsExpanded()) << i;
    EXPECT_TRUE(p.GetRegion(0)->IsLocked());
    EXPECT_FALSE(p.GetRegion(1)->IsLocked());
    EXPECT_EQ(::GetDlgCtrlID(p), 105);
    wchar_t name[64] = {};
    ::GetWindowTextW(p, name, 64);
    EXPECT_STREQ(name, L"SetOfPopupRegions");
    // The panel sits at the right edge, 221 wide, above the status strip.
    RECT client;
    host.GetClientRect(&client);
    const RECT r = RectInParent(p);
    EXPECT_EQ(r.right, client.right);
    EXPECT_EQ(r.right - r.left, 221);
    EXPECT_EQ(r.bottom, client.bottom - 20);
}

TEST_F(MainPopupsTest, StoredStatesDecideOrderLockAndExpansion) {
    host.prefs.mainPopupsState = {{{2, 1}, {0, 0}, {1, 0}, {3, 1}}};
    ASSERT_TRUE(host.BuildPanel());
    CSolMainPopups& p = *host.panel;
    EXPECT_EQ(Caption(0), L"Best Times");
    EXPECT_TRUE(p.GetRegion(0)->IsLocked());
    EXPECT_FALSE(p.GetRegion(1)->IsLocked());
    // The advertisement is always open; the rules stay closed as stored.
    EXPECT_TRUE(p.GetRegion(1)->IsExpanded());
    EXPECT_FALSE(p.GetRegion(2)->IsExpanded());
    EXPECT_EQ(p.GetRegionBody(2)->GetVisibleHeight(), 0u);
}

TEST_F(MainPopupsTest, BadStoredStatesGiveTheDefaultOrder) {
    const std::array<PopupRegionState, 4> bad[] = {
        {{{1, 1}, {1, 1}, {2, 1}, {3, 1}}},
        {{{0, 1}, {1, 1}, {2, 1}, {6, 1}}},
        {{{0, 1}, {1, 1}, {2, 1}, {0x7FFFFFFF, 0}}},
    };
    for (const auto& states : bad) {
        host.DestroyPanel();
        host.prefs.mainPopupsState = states;
        ASSERT_TRUE(host.BuildPanel());
        EXPECT_EQ(host.prefs.mainPopupsState, kDefaultMainPopupsState);
        EXPECT_EQ(Caption(0), L"Advertisement");
        EXPECT_EQ(Caption(3), L"Statistics");
    }
}

}  // namespace
}  // namespace corvelle::test

namespace corvelle::test {
namespace {

// Keeps the host open for a screenshot (run by hand:
// --gtest_also_run_disabled_tests --gtest_filter=*Screenshot*).
TEST_F(MainPopupsTest, DISABLED_Screenshot) {
    AddGameStatistics(u"Golf", true, 185);
    AddGameStatistics(u"Golf", false, 240);
    AddGameStatistics(u"Golf", true, 95);
    CBestTimesTable table(u"Golf");
    table.Insert(u"Ann", 95);
    table.Insert(u"Bertrand", 185);
    ASSERT_TRUE(host.BuildPanel());
    PumpFor(8000);
}

}  // namespace
}  // namespace corvelle::test
