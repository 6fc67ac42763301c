// The rich-text layout walk; see rich_text_layout.h.
#include "panels/rich_text_layout.h"

#include <limits>

namespace corvelle {

namespace {

bool IsWordChar(char16_t c) { return c >= 33 && c <= 126 && c != u'<'; }

}  // namespace

int32_t WalkRichText(std::u16string_view text, RichTextMeasurer& measurer, int32_t x0, int32_t right, int32_t top,
                     int32_t bottom, const std::function<void(const RichTextGlyph&)>& draw) {
    const size_t n = text.size();
    size_t i = 0;
    int32_t x = x0;
    int32_t y = top;
    int32_t pendingBreaks = 0;
    bool wordStart = false;
    bool bold = false;
    auto startsWith = [&](size_t at, std::u16string_view tag) { return text.substr(at, tag.size()) == tag; };
    while (i < n) {
        // Markup: the three tags; any other "<" is dropped and what follows
        // it is text.
        while (i < n && text[i] == u'<') {
            ++i;
            if (startsWith(i, u"b>")) {
                i += 2;
                bold = true;
                wordStart = true;
            } else if (startsWith(i, u"br>")) {
                i += 3;
                ++pendingBreaks;
            } else if (startsWith(i, u"b")) {
                ++i;
            } else if (startsWith(i, u"/b>")) {
                i += 3;
                bold = false;
                wordStart = true;
            }
        }
        if (i >= n) break;
        const char16_t c = text[i];
        if (c >= 32 && c <= 126) {
            const int32_t w = measurer.CharWidth(c, bold);
            if (pendingBreaks != 0) {
                x = x0;
                y += pendingBreaks * kRichTextLineHeight;
                pendingBreaks = 0;
                if (y > bottom) return y;
                // The word begins the line: nothing left to test for it.
                if (c != u' ') wordStart = false;
            } else if (c != u' ') {
                bool wrap;
                if (wordStart) {
                    size_t end = i;
                    while (end < n && IsWordChar(text[end])) ++end;
                    wrap = x + measurer.TextWidth(text.data() + i, end - i, bold) > right;
                    wordStart = false;
                } else {
                    wrap = x + w > right;
                }
                if (wrap) {
                    x = x0;
                    y += kRichTextLineHeight;
                    if (y > bottom) return y;
                }
            }
            if (c != u' ') {
                if (draw) draw(RichTextGlyph{i, x, y, bold});
            } else {
                wordStart = true;
            }
            x += w;
        } else {
            wordStart = true;
        }
        ++i;
    }
    return y;
}

int32_t MeasureRichText(std::u16string_view text, RichTextMeasurer& measurer, int32_t width) {
    return WalkRichText(text, measurer, 0, width, 0, std::numeric_limits<int32_t>::max(), nullptr) +
           kRichTextLineHeight;
}

}  // namespace corvelle
