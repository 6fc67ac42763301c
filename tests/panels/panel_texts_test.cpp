// The side panels' texts: the rules markup, names, statistics values and
// best-times entries.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "panels/panel_texts.h"

namespace corvelle {
namespace {

TEST(PanelTexts, RulesMarkupAndNamesAreSizedFromTheirInput) {
    EXPECT_EQ(RulesMarkup("Aim\nMove"), u"Aim<br>Move");
    EXPECT_EQ(RulesMarkup("no breaks"), u"no breaks");
    EXPECT_EQ(RulesMarkup("caf\xC3\xA9"), u"caf\u00E9");
    // Line feeds only: four times the input, nothing lost.
    const std::string feeds(6000, '\n');
    EXPECT_EQ(RulesMarkup(feeds.c_str()).size(), 24000u);
    const char field[8] = {'K', 'l', 'o', 'n', 'd', 'i', 'k', 'e'};   // no terminator
    EXPECT_EQ(GameNameText(field, sizeof field), u"Klondike");
    EXPECT_EQ(GameNameText("Golf\0xx", 8), u"Golf");
}

TEST(PanelTexts, StatisticsLines) {
    using Lines = std::array<std::u16string, 5>;
    EXPECT_EQ(StatisticsValues(0, 0, 0), (Lines{u"0", u"0", u"0%", u"0:00", u"0:00"}));
    EXPECT_EQ(StatisticsValues(1, 1, 59), (Lines{u"1", u"1", u"100%", u"0:59", u"0:59"}));
    EXPECT_EQ(StatisticsValues(3, 1, 7507), (Lines{u"3", u"1", u"33%", u"125:07", u"41:42"}));
    EXPECT_EQ(StatisticsValues(65535, 65535, 0xFFFFFFFF)[2], u"100%");
}

TEST(PanelTexts, BestTimeEntries) {
    EXPECT_EQ(BestTimeNameText(u"", 0), u"---");
    EXPECT_EQ(BestTimeText(0), u"---");
    EXPECT_EQ(BestTimeText(65), u"1:05");
    EXPECT_EQ(BestTimeNameText(u"Ann", 65), u"Ann");
    // Sixteen units without a terminator: fifteen are shown.
    const char16_t full[17] = u"ABCDEFGHIJKLMNOP";
    EXPECT_EQ(BestTimeNameText(full, 10), u"ABCDEFGHIJKLMNO");
}

}  // namespace
}  // namespace corvelle
