// The rich-text layout walk with fixed character widths: 5 px a character
// in the normal font, 7 in bold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panels/rich_text_layout.h"

namespace corvelle {
namespace {

class FixedMeasurer : public RichTextMeasurer {
public:
    int32_t CharWidth(char16_t, bool bold) override { return bold ? 7 : 5; }
    int32_t TextWidth(const char16_t*, size_t length, bool bold) override {
        return static_cast<int32_t>(length) * (bold ? 7 : 5);
    }
};

struct Drawn {
    char16_t c;
    int32_t x, y;
    bool bold;
};

std::vector<Drawn> Walk(std::u16string_view text, int32_t width, int32_t bottom = 1000, int32_t* lastTop = nullptr) {
    FixedMeasurer m;
    std::vector<Drawn> out;
    const int32_t y = WalkRichText(text, m, 0, width, 0, bottom, [&](const RichTextGlyph& g) {
        out.push_back(Drawn{text[g.index], g.x, g.y, g.bold});
    });
    if (lastTop) *lastTop = y;
    return out;
}

std::u16string Line(const std::vector<Drawn>& glyphs, int32_t y) {
    std::u16string s;
    for (const Drawn& d : glyphs)
        if (d.y == y) s += d.c;
    return s;
}

TEST(RichText, BoldAndLineBreaks) {
    const auto g = Walk(u"<b>Aim</b><br>Move", 200);
    ASSERT_EQ(g.size(), 7u);
    EXPECT_EQ(Line(g, 0), u"Aim");
    EXPECT_EQ(Line(g, 14), u"Move");
    EXPECT_TRUE(g[0].bold);
    EXPECT_EQ(g[1].x, 7);
    EXPECT_FALSE(g[3].bold);
    EXPECT_EQ(g[3].x, 0);
    // Two breaks before a letter put it two lines down; a trailing break
    // is not counted.
    EXPECT_EQ(Walk(u"<br><br>x", 200)[0].y, 28);
    FixedMeasurer m;
    EXPECT_EQ(MeasureRichText(u"x<br>", m, 200), 14);
    EXPECT_EQ(MeasureRichText(u"", m, 200), 14);
    EXPECT_EQ(MeasureRichText(u"a<br>b<br>c", m, 200), 42);
}

TEST(RichText, UnknownTagsLoseOnlyTheirBracket) {
    EXPECT_EQ(Line(Walk(u"<i>x", 200), 0), u"i>x");
    EXPECT_EQ(Line(Walk(u"<bx", 200), 0), u"x");
    EXPECT_EQ(Line(Walk(u"a<", 200), 0), u"a");
}

TEST(RichText, WordsWrapAtWordBoundaries) {
    // 40 px: "aaa bbb" is 35 px, "ccc" no longer fits after it.
    const auto g = Walk(u"aaa bbb ccc", 40);
    EXPECT_EQ(Line(g, 0), u"aaabbb");
    EXPECT_EQ(Line(g, 14), u"ccc");
    EXPECT_EQ(g[6].x, 0);
    // A space after a break is not drawn but moves the line's first letter.
    const auto s = Walk(u"a<br> b", 40);
    EXPECT_EQ(s[1].x, 5);
    EXPECT_EQ(s[1].y, 14);
    // A character outside 32..126 is not drawn and ends the word.
    const auto e = Walk(u"ab\u00E9cd", 200);
    EXPECT_EQ(Line(e, 0), u"abcd");
    EXPECT_EQ(e[2].x, 10);
}

TEST(RichText, AWordWiderThanTheLineBreaksBetweenCharacters) {
    // 22 px holds four characters.
    const auto g = Walk(u"ab cdefghij", 22);
    EXPECT_EQ(Line(g, 0), u"ab");
    EXPECT_EQ(Line(g, 14), u"cdef");
    EXPECT_EQ(Line(g, 28), u"ghij");
    // The same word right after a break starts its line instead of leaving
    // its first letter alone there.
    const auto b = Walk(u"ab <br>cdefghij", 22);
    EXPECT_EQ(Line(b, 14), u"cdef");
    EXPECT_EQ(Line(b, 28), u"ghij");
}

TEST(RichText, AWordThatFitsStaysOnItsLine) {
    // A word is measured up to the markup after it: "bb" ends exactly at
    // the line's end before a break and before the end of bold.
    const auto br = Walk(u"aaa bb<br>c", 30);
    EXPECT_EQ(Line(br, 0), u"aaabb");
    EXPECT_EQ(Line(br, 14), u"c");
    const auto bold = Walk(u"aaa <b>bb</b>c", 34);
    EXPECT_EQ(Line(bold, 0), u"aaabb");
    EXPECT_EQ(Line(bold, 14), u"c");
    // A word exactly as wide as the line stays whole on one line, at the
    // start of the text and on the line it wraps to.
    EXPECT_EQ(Line(Walk(u"abcde", 25), 0), u"abcde");
    const auto wrapped = Walk(u"ab abcde", 25);
    EXPECT_EQ(Line(wrapped, 0), u"ab");
    EXPECT_EQ(Line(wrapped, 14), u"abcde");
}

TEST(RichText, DrawingStopsBelowTheBottomWhileMeasuringCountsEveryLine) {
    int32_t last = 0;
    const auto g = Walk(u"a<br>b<br>c<br>d", 200, 20, &last);
    EXPECT_EQ(Line(g, 0), u"a");
    EXPECT_EQ(Line(g, 14), u"b");
    EXPECT_EQ(g.size(), 2u);
    EXPECT_EQ(last, 28);
    FixedMeasurer m;
    EXPECT_EQ(MeasureRichText(u"a<br>b<br>c<br>d", m, 200), 56);
}

TEST(RichText, MeasureEqualsWhatDraws) {
    const std::u16string text =
        u"<b>Object of the game</b><br>Move every card to the foundations, building up by suit from Ace to "
        u"King.<br><br><b>Play</b><br>Cards on the tableau build down in alternating colours; "
        u"Supercalifragilisticexpialidocious words break.";
    for (int32_t width : {60, 120, 178, 240}) {
        int32_t last = 0;
        const auto g = Walk(text, width, 100000, &last);
        FixedMeasurer m;
        EXPECT_EQ(MeasureRichText(text, m, width), g.back().y + kRichTextLineHeight) << width;
        for (const Drawn& d : g) EXPECT_LE(d.x + (d.bold ? 7 : 5), width + 0) << width;
    }
}

}  // namespace
}  // namespace corvelle
